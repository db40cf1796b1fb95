// How the editor reads and writes its files: plain text exactly as it came (Windows-1252 or
// UTF-8, its line ends, with or without an end after the last line), rich text for ".rtf" and
// ".doc" names, and the print options file.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

class QTextDocument;

namespace radevir {

// What a plain text file looked like, so that saving writes it back the same way. A new file
// is Windows-1252 with CR LF.
struct PlainTextLayout {
    QByteArray lineEnd = "\r\n";  // the file's first line end, for new lines
    bool endsWithLineEnd = true;
    // each line's own end as read (a file may mix them); lines beyond get `lineEnd`
    std::vector<QByteArray> lineEnds;
    bool utf8 = false;  // the file was UTF-8 (with a byte-order mark when `bom`)
    bool bom = false;
    bool operator==(const PlainTextLayout&) const = default;
};

// The text of a plain text file, lines separated by '\n'. Windows-1252 bytes without a
// character of their own (0x81, 0x8D, 0x8F, 0x90, 0x9D) become U+0081 … so that they are
// written back as they were.
QString DecodePlainText(const QByteArray& bytes, PlainTextLayout* layout);
// `text` with lines separated by '\n' (or U+2028/U+2029) in the layout's encoding and line end.
QByteArray EncodePlainText(const QString& text, const PlainTextLayout& layout);

// The first character of `text` that Windows-1252 cannot hold (as a string, so that a character
// outside the basic plane comes whole); empty when all fit. Line and paragraph separators and
// object place holders count as fitting: they are written as line ends or left out.
QString FirstCharacterOutsideCodePage(const QString& text);

// A file is saved as rich text when its extension is "rtf" or "doc" (any letter case).
bool IsRichTextName(const QString& path);

// The document's lines as plain text ('\n' between paragraphs; soft line breaks kept as such).
QString DocumentText(const QTextDocument& document);

// Files larger than this are not opened (no task list or letter comes near it).
inline constexpr qint64 kMaxEditorFileBytes = 32 * 1024 * 1024;

}  // namespace radevir
