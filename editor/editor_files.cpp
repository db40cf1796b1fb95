#include "editor/editor_files.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <QTextBlock>
#include <QTextDocument>

#include "support/codepage.h"

namespace radevir {

QString DecodePlainText(const QByteArray& bytes, PlainTextLayout* layout) {
    PlainTextLayout found;
    const std::string_view raw(bytes.constData(), static_cast<size_t>(bytes.size()));
    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF") && IsValidUtf8(raw.substr(3))) {
        found.utf8 = found.bom = true;
        text = QString::fromUtf8(bytes.mid(3));
    } else if (IsValidUtf8(raw) &&
               std::any_of(raw.begin(), raw.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
        found.utf8 = true;
        text = QString::fromUtf8(bytes);
    } else {
        text.reserve(bytes.size());
        for (char c : bytes) {
            const auto b = static_cast<unsigned char>(c);
            const char32_t u = Cp1252ToUnicode(b);
            text += u == 0xFFFD ? QChar(static_cast<char16_t>(b)) : QChar(static_cast<char16_t>(u));
        }
    }
    // the first line end found is the file's
    const qsizetype end = text.indexOf(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    if (end >= 0) {
        found.lineEnd = text.mid(end, 2) == QStringLiteral("\r\n") ? QByteArray("\r\n")
                        : text[end] == '\n'                        ? QByteArray("\n")
                                                                   : QByteArray("\r");
    }
    const QString lineEnd = QString::fromLatin1(found.lineEnd);
    // an empty file has no line at all; "\r\n" is one empty line
    found.endsWithLineEnd = text.endsWith(lineEnd);
    if (found.endsWithLineEnd) text.chop(lineEnd.size());
    if (found.lineEnd != "\n") text.replace(lineEnd, QStringLiteral("\n"));
    if (layout) *layout = found;
    return text;
}

QByteArray EncodePlainText(const QString& text, const PlainTextLayout& layout) {
    QString lines = text;
    lines.replace(QChar(0x2029), '\n');
    lines.replace(QChar(0x2028), '\n');
    lines.remove(QChar(0xFFFC));
    QByteArray out;
    if (layout.utf8) {
        if (layout.bom) out += "\xEF\xBB\xBF";
        out += lines.toUtf8();
    } else {
        out.reserve(lines.size());
        for (QChar c : lines) {
            const char16_t u = c.unicode();
            // the bytes without a character of their own come back as they were read
            if (u == 0x81 || u == 0x8D || u == 0x8F || u == 0x90 || u == 0x9D) {
                out += static_cast<char>(u);
                continue;
            }
            const int b = UnicodeToCp1252(u);
            out += (b == 0 && u != 0) ? '?' : static_cast<char>(b);
        }
    }
    if (layout.lineEnd != "\n") out.replace("\n", layout.lineEnd);
    if (layout.endsWithLineEnd) out += layout.lineEnd;
    return out;
}

bool IsRichTextName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("rtf") || suffix == QLatin1String("doc");
}

QString DocumentText(const QTextDocument& document) {
    QString text;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin()) text += '\n';
        text += block.text();
    }
    return text;
}

}  // namespace radevir
