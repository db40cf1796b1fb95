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

// The words of a text as the check visits them: split at blanks, trimmed, empty ones dropped.
QStringList SpellingWords(const QString& text);

// The check over a document: each word is found from the end of the previous find on and
// coloured dark red (128, 0, 0) when wrong, black when right; afterwards underlining is removed
// from the whole text and the first double blank is coloured dark red and underlined. Returns
// the number of wrong words, -1 when there is no dictionary.
int CheckSpelling(QTextDocument& document, SpellChecker& checker);

}  // namespace radevir
