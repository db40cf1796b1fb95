#include "editor/spelling.h"

#include <hunspell/hunspell.hxx>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextDocument>

#include "editor/editor_files.h"

namespace radevir {

SpellChecker::SpellChecker(QStringList dictionaryFolders) : folders_(std::move(dictionaryFolders)) {
    if (folders_.isEmpty())
        folders_ = {QStringLiteral("/usr/share/hunspell"),
                    QStringLiteral("/usr/share/myspell/dicts"),
                    QStringLiteral("/usr/share/myspell")};
}

SpellChecker::~SpellChecker() = default;

bool SpellChecker::Load() {
    tried_ = true;
    for (const QString& folder : folders_) {
        const QString aff = QDir(folder).filePath(QStringLiteral("de_DE.aff"));
        const QString dic = QDir(folder).filePath(QStringLiteral("de_DE.dic"));
        if (!QFileInfo::exists(aff) || !QFileInfo::exists(dic)) continue;
        hunspell_ = std::make_unique<Hunspell>(QFile::encodeName(aff).constData(),
                                               QFile::encodeName(dic).constData());
        const QString encoding = QString::fromStdString(hunspell_->get_dict_encoding()).toUpper();
        utf8_ = encoding == QLatin1String("UTF-8");
        return true;
    }
    return false;
}

bool SpellChecker::Available() {
    if (!tried_) Load();
    return hunspell_ != nullptr;
}

bool SpellChecker::IsCorrect(const QString& word) {
    qsizetype from = 0;
    qsizetype to = word.size();
    while (from < to && !word[from].isLetterOrNumber()) ++from;
    while (to > from && !word[to - 1].isLetterOrNumber()) --to;
    const QString core = word.mid(from, to - from);
    bool letters = false;
    for (QChar c : core) {
        if (c.isDigit()) return true;
        letters = letters || c.isLetter();
    }
    if (!letters || !Available()) return true;
    std::string bytes;
    if (utf8_) {
        bytes = core.toStdString();
    } else {
        QStringEncoder encoder(QStringConverter::Latin1);
        bytes = QByteArray(encoder.encode(core)).toStdString();
    }
    return hunspell_->spell(bytes);
}

std::vector<SpellingWord> SpellingWords(const QString& text) {
    std::vector<SpellingWord> words;
    qsizetype start = -1;
    const auto isBreak = [](QChar c) {
        return c.isSpace() || c == QChar(0x2028) || c == QChar(0x2029);
    };
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool gap = i == text.size() || isBreak(text[i]);
        if (!gap && start < 0) start = i;
        if (gap && start >= 0) {
            words.push_back({text.mid(start, i - start), static_cast<int>(start)});
            start = -1;
        }
    }
    return words;
}

int CheckSpelling(const QTextDocument& document, SpellChecker& checker,
                  std::vector<SpellingMark>* marks) {
    if (!checker.Available()) return -1;
    // the document's positions are those of its text with one character between paragraphs
    const QString text = DocumentText(document);
    int wrong = 0;
    for (const SpellingWord& word : SpellingWords(text)) {
        if (checker.IsCorrect(word.text)) continue;
        ++wrong;
        if (marks) marks->push_back({word.start, static_cast<int>(word.text.size()), false});
    }
    const qsizetype doubleBlank = text.indexOf(QStringLiteral("  "));
    if (marks && doubleBlank >= 0) marks->push_back({static_cast<int>(doubleBlank), 2, true});
    return wrong;
}

}  // namespace radevir
