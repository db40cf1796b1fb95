// The spelling check ("Rechtschreibprüfung") through Hunspell with the German dictionary: a
// word is right or wrong. The dictionary is loaded once, on the first check.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class Hunspell;
class QTextDocument;

namespace radevir {

class SpellChecker {
  public:
    // `dictionaryFolders` are searched for de_DE.aff/.dic (default: the system's folders).
    explicit SpellChecker(QStringList dictionaryFolders = {});
    ~SpellChecker();
    SpellChecker(const SpellChecker&) = delete;
    SpellChecker& operator=(const SpellChecker&) = delete;

    // False when no German dictionary is installed; the check then does nothing.
    bool Available();
    // A word with its punctuation around it; words without letters or with digits (tasks,
    // numbers) count as right.
    bool IsCorrect(const QString& word);

  private:
    bool Load();
    QStringList folders_;
    std::unique_ptr<Hunspell> hunspell_;
    bool tried_ = false;
    bool utf8_ = true;
};

// A word of a text and where it starts.
struct SpellingWord {
    QString text;
    int start = 0;
    bool operator==(const SpellingWord&) const = default;
};
// The words of a text as the check visits them: split at blanks, tabs and line ends, empty ones
// dropped; `start` counts from the text's beginning.
std::vector<SpellingWord> SpellingWords(const QString& text);

// What the check marks in a document: the wrong words (dark red) and the first double blank
// (dark red, underlined), as document positions.
struct SpellingMark {
    int start = 0;
    int length = 0;
    bool doubleBlank = false;
    bool operator==(const SpellingMark&) const = default;
};

// The check over a document: every word is checked. The marks are shown over the text by the
// editor and are no change of it. Returns the number of wrong words, -1 when there is no
// dictionary.
int CheckSpelling(const QTextDocument& document, SpellChecker& checker,
                  std::vector<SpellingMark>* marks);

}  // namespace radevir
