#include "editor/editor_files.h"

#include <QFileInfo>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

#include "support/codepage.h"

namespace radevir {

namespace {

// The bytes without a character of their own come back as they were read.
bool IsUnassignedByte(char16_t u) {
    return u == 0x81 || u == 0x8D || u == 0x8F || u == 0x90 || u == 0x9D;
}

void AppendEncoded(QByteArray& out, const QString& line, bool utf8) {
    if (utf8) {
        out += line.toUtf8();
    } else {
        for (QChar c : line) {
            const char16_t u = c.unicode();
            if (IsUnassignedByte(u)) {
                out += static_cast<char>(u);
                continue;
            }
            const int b = UnicodeToCp1252(u);
            out += (b == 0 && u != 0) ? '?' : static_cast<char>(b);
        }
    }
}

}  // namespace

QString DecodePlainText(const QByteArray& bytes, PlainTextLayout* layout) {
    PlainTextLayout found;
    const std::string_view raw(bytes.constData(), static_cast<size_t>(bytes.size()));
    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF") && IsValidUtf8(raw.substr(3))) {
        found.utf8 = found.bom = true;
        text = QString::fromUtf8(bytes.mid(3));
    } else if (IsValidUtf8(raw) && std::any_of(raw.begin(), raw.end(), [](char c) {
                   return static_cast<unsigned char>(c) >= 0x80;
               })) {
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
    // lines split at CR LF, LF or CR, each one's end kept; the first end found is the file's
    QString lines;
    lines.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != '\r' && c != '\n') {
            lines += c;
            continue;
        }
        QByteArray end = c == '\r' ? QByteArray("\r") : QByteArray("\n");
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            end = "\r\n";
            ++i;
        }
        if (found.lineEnds.empty()) found.lineEnd = end;
        found.lineEnds.push_back(end);
        lines += '\n';
    }
    // an empty file has no line at all; "\r\n" is one empty line
    found.endsWithLineEnd = !text.isEmpty() && (text.endsWith('\n') || text.endsWith('\r'));
    if (found.endsWithLineEnd) lines.chop(1);
    text = lines;
    if (layout) *layout = found;
    return text;
}

QByteArray EncodePlainText(const QString& text, const PlainTextLayout& layout) {
    QString lines = text;
    lines.replace(QChar(0x2029), '\n');
    lines.replace(QChar(0x2028), '\n');
    lines.remove(QChar(0xFFFC));
    QByteArray out;
    if (layout.utf8 && layout.bom) out += "\xEF\xBB\xBF";
    const QStringList split = lines.split('\n');
    for (qsizetype n = 0; n < split.size(); ++n) {
        AppendEncoded(out, split[n], layout.utf8);
        const bool last = n + 1 == split.size();
        if (last && !layout.endsWithLineEnd) break;
        const size_t index = static_cast<size_t>(n);
        out += index < layout.lineEnds.size() ? layout.lineEnds[index] : layout.lineEnd;
    }
    return out;
}

QString FirstCharacterOutsideCodePage(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u == 0 || u == '\n' || u == 0x2028 || u == 0x2029 || u == 0xFFFC || IsUnassignedByte(u))
            continue;
        if (UnicodeToCp1252(u) != 0) continue;
        if (text[i].isHighSurrogate() && i + 1 < text.size()) return text.mid(i, 2);
        return text.mid(i, 1);
    }
    return {};
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
