#include "printing/printer_text.h"

#include <QFile>
#include <algorithm>

namespace radevir {
namespace {

// A printer text longer than this is no document the program wrote; the rest is not read.
constexpr qint64 kMaxPrinterTextBytes = 4 * 1024 * 1024;

constexpr unsigned char kFirstControlByte = 32;  // bytes below it are control bytes

bool IsControlByte(unsigned char byte) {
    return byte < kFirstControlByte;
}

bool HasArgument(unsigned char command) {
    return command == kSizeUpper || command == kSizeLower || command == kFractionFont ||
           command == kRightAlignMark;
}

// ESC "W" n: the larger types. Blank stands for 0 because 0 bytes are read as blanks; the
// digits are accepted as well, as line printers did.
void ApplySize(unsigned char argument, PrinterFont& font) {
    switch (argument) {
        case 3:
        case '3':
            font.size_pt = 16;
            font.bold = false;
            break;
        case 2:
        case '2':
            font.size_pt = 14;
            font.bold = false;
            break;
        case 1:
        case '1':
            font.size_pt = 12;
            font.bold = true;
            break;
        case 0:
        case '0':
        case ' ':
            font.size_pt = 10;
            font.bold = false;
            break;
        default:
            break;
    }
}

struct EscapeResult {
    PrinterFont lineFont;  // the font of the text after the escape
    size_t textStart = 2;
};

// Applies the escape at the start of `text` (ESC and at least one more byte) to `current`.
EscapeResult ApplyEscape(const Bytes& text, PrinterFont& current) {
    const auto command = static_cast<unsigned char>(text[1]);
    if (HasArgument(command) && text.size() < 3) return {current, text.size()};
    const auto argument = HasArgument(command) ? static_cast<unsigned char>(text[2]) : 0;
    const size_t start = HasArgument(command) ? 3 : 2;
    switch (command) {
        case kBoldOn:
            current.bold = true;
            break;
        case kBoldOff:
            current.bold = false;
            break;
        case kCondensed:
            current.name = kCondensedFontName;
            current.size_pt = 8;
            break;
        case kBaseFont:
            current.name = kBaseFontName;
            current.size_pt = 10;
            break;
        case kSizeUpper:
        case kSizeLower:
            ApplySize(argument, current);
            break;
        case kFractionFont:
            current.name = kFractionFontName;
            current.size_pt = std::max<int>(1, argument);
            current.bold = false;
            break;
        case kRightAlignMark: {
            // Only the marker line itself is white: the lines after it keep the font they had
            // and are printed right-aligned until a marker above size 200 ends the mode.
            PrinterFont marker = current;
            marker.white = true;
            marker.size_pt = argument;
            return {marker, start};
        }
        default:
            return {current, 2};
    }
    current.white = false;
    return {current, start};
}

}  // namespace

unsigned char PrinterByteFromCp437(unsigned char byte) {
    constexpr unsigned char kCp437BoxDash = 0xC4, kCp437SharpS = 0xE1, kCp437MiddleDot = 0xF9;
    constexpr unsigned char kCp437Peseta = 0x9E, kCp437ReversedNot = 0xA9;
    if (byte == kCp437BoxDash) return 0x97;    // em dash
    if (byte == kCp437SharpS) return 0xDF;     // ß
    if (byte == kCp437MiddleDot) return 0xB7;  // ·
    if (byte < 0x80 || byte > 0xAF || byte == kCp437Peseta || byte == kCp437ReversedNot)
        return byte;
    const int converted = UnicodeToCp1252(Cp437ToUnicode(byte));
    return converted > 0 ? static_cast<unsigned char>(converted) : byte;
}

void ConvertCp437ForPrinting(Bytes& text) {
    for (char& c : text) c = static_cast<char>(PrinterByteFromCp437(static_cast<unsigned char>(c)));
}

std::vector<Bytes> SplitPrinterText(const Bytes& bytes, bool convert) {
    std::vector<Bytes> lines;
    Bytes line;
    bool open = false;  // a line has begun that no line end closed yet
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            lines.push_back(std::move(line));
            line.clear();
            open = false;
            continue;
        }
        line.push_back(c == '\0' ? ' ' : c);
        open = true;
    }
    if (open) lines.push_back(std::move(line));
    if (convert)
        for (Bytes& l : lines) ConvertCp437ForPrinting(l);
    return lines;
}

bool LoadPrinterText(const std::optional<Bytes>& textSource, const QString& file,
                     std::vector<Bytes>& lines, bool convert) {
    if (textSource) {
        lines = SplitPrinterText(*textSource, true);
        return true;
    }
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = in.read(kMaxPrinterTextBytes);
    lines = SplitPrinterText(Bytes(bytes.constData(), static_cast<size_t>(bytes.size())), convert);
    return true;
}

std::vector<StyledLine> ParseEscapes(const std::vector<Bytes>& lines,
                                     const std::string& baseFontName) {
    std::vector<StyledLine> out;
    PrinterFont current;
    current.name = baseFontName;
    for (const Bytes& whole : lines) {
        Bytes text = whole;
        bool continuation = false;
        PrinterFont lineFont = current;
        for (;;) {
            if (text.size() >= 2 && static_cast<unsigned char>(text[0]) == kEscapeByte) {
                const EscapeResult escape = ApplyEscape(text, current);
                lineFont = escape.lineFont;
                text.erase(0, std::min(escape.textStart, text.size()));
                if (text.size() <= 2) {
                    // a short rest is printed as it stands, without looking for escapes in it
                    out.push_back({text, lineFont, false, continuation});
                    break;
                }
                continue;
            }
            const auto formFeed = static_cast<char>(kFormFeedByte);
            const auto breakPage = [&] {
                out.push_back({Bytes(1, formFeed), current, false, false});
                continuation = false;
                lineFont = current;
            };
            // A form feed with text after it on the same line: the page breaks, and the text
            // starts the new page as a line of its own.
            if (text.size() > 1 && text[0] == formFeed) {
                breakPage();
                text.erase(0, 1);
                continue;
            }
            // A control byte after the first byte splits the line: the part before it goes on
            // in the same printed line, the rest is looked at as a line of its own.
            size_t split = Bytes::npos;
            for (size_t p = 1; p < text.size(); ++p)
                if (IsControlByte(static_cast<unsigned char>(text[p]))) {
                    split = p;
                    break;
                }
            if (split == Bytes::npos) {
                out.push_back({text, lineFont, false, continuation});
                break;
            }
            // A form feed after text ("Seite 1 Ende" and the page break in one line, as a
            // teacher's own text file has it) ends the printed line and breaks the page.
            if (text[split] == formFeed) {
                out.push_back({text.substr(0, split), lineFont, false, continuation});
                breakPage();
                text.erase(0, split + 1);
                if (text.empty()) break;
                continue;
            }
            out.push_back({text.substr(0, split), lineFont, true, continuation});
            text.erase(0, split);
            continuation = true;
            lineFont = current;
        }
    }
    return out;
}

bool IsControlLine(const StyledLine& line) {
    return !line.continuation && !line.text.empty() &&
           static_cast<unsigned char>(line.text[0]) <= kLastControlLineByte;
}

bool IsFormFeedLine(const StyledLine& line) {
    return IsControlLine(line) && static_cast<unsigned char>(line.text[0]) == kFormFeedByte;
}

}  // namespace radevir
