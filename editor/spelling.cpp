#include "editor/spelling.h"

#include <hunspell/hunspell.hxx>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextCursor>
#include <QTextDocument>

#include "editor/editor_files.h"

namespace radevir {

namespace {

const QColor kWrongColour(128, 0, 0);

}  // namespace

SpellChecker::SpellChecker(QStringList dictionaryFolders) : folders_(std::move(dictionaryFolders)) {
    if (folders_.isEmpty())
        folders_ = {QStringLiteral("/usr/share/hunspell"), QStringLiteral("/usr/share/myspell/dicts"),
                    QStringLiteral("/usr/share/myspell")};
}

SpellChecker::~SpellChecker() = default;

bool SpellChecker::Load() {
    tried_ = true;
    for (const QString& folder : folders_) {
        const QString aff = QDir(folder).filePath(QStringLiteral("de_DE.aff"));
        const QString dic = QDir(folder).filePath(QStringLiteral("de_DE.dic"));
        if (!QFileInfo::exists(aff) || !QFileInfo::exists(dic)) continue;
        hunspell_ = std::make_unique<Hunspell>(QFile::encodeName(aff).constData(), QFile::encodeName(dic).constData());
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

QStringList SpellingWords(const QString& text) {
    QStringList words;
    for (const QString& piece : text.split(' ')) {
        const QString word = piece.trimmed();
        if (!word.isEmpty()) words << word;
    }
    return words;
}

int CheckSpelling(QTextDocument& document, SpellChecker& checker) {
    if (!checker.Available()) return -1;
    int wrong = 0;
    QTextCursor edit(&document);
    edit.beginEditBlock();
    QTextCursor found(&document);
    for (const QString& word : SpellingWords(DocumentText(document))) {
        const QTextCursor next = document.find(word, found, QTextDocument::FindCaseSensitively);
        if (next.isNull()) continue;
        found = next;
        QTextCharFormat colour;
        const bool right = checker.IsCorrect(word);
        colour.setForeground(right ? QColor(Qt::black) : kWrongColour);
        if (!right) ++wrong;
        QTextCursor mark = next;
        mark.mergeCharFormat(colour);
    }
    QTextCursor all(&document);
    all.select(QTextCursor::Document);
    QTextCharFormat plain;
    plain.setFontUnderline(false);
    all.mergeCharFormat(plain);
    const QTextCursor doubleBlank = document.find(QStringLiteral("  "));
    if (!doubleBlank.isNull()) {
        QTextCharFormat mark;
        mark.setForeground(kWrongColour);
        mark.setFontUnderline(true);
        QTextCursor c = doubleBlank;
        c.mergeCharFormat(mark);
    }
    edit.endEditBlock();
    return wrong;
}

}  // namespace radevir
