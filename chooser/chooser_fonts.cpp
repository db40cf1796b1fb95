#include "chooser/chooser_fonts.h"

#include <QStringList>
#include <utility>

#include "support/program_environment.h"
#include "support/text_file.h"
#include "support/text_helpers.h"

namespace radevir {
namespace {

// The colour names a label description may use, as 0x00BBGGRR values.
constexpr std::pair<std::string_view, unsigned> kColourNames[] = {
    {"clBlack", 0x000000},   {"clMaroon", 0x000080}, {"clGreen", 0x008000},
    {"clOlive", 0x008080},   {"clNavy", 0x800000},   {"clPurple", 0x800080},
    {"clTeal", 0x808000},    {"clGray", 0x808080},   {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},     {"clLime", 0x00FF00},   {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},    {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},   {"clWindowText", 0x000000},
};

QColor FromBgr(unsigned v) { return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF); }

Bytes ColourText(const QColor& c) {
    const unsigned bgr = static_cast<unsigned>(c.red()) | static_cast<unsigned>(c.green()) << 8 |
                         static_cast<unsigned>(c.blue()) << 16;
    for (const auto& [name, value] : kColourNames)
        if (value == bgr && name != "clWindowText") return Bytes(name);
    static const char* hex = "0123456789ABCDEF";
    Bytes out = "$00";
    for (int shift = 20; shift >= 0; shift -= 4) out.push_back(hex[(bgr >> shift) & 0xF]);
    return out;
}

std::optional<QColor> ReadColour(std::string_view text) {
    for (const auto& [name, value] : kColourNames)
        if (UpperText(name) == UpperText(text)) return FromBgr(value);
    bool ok = false;
    unsigned v = 0;
    if (!text.empty() && text[0] == '$') {
        v = QString::fromLatin1(text.substr(1).data(), static_cast<qsizetype>(text.size() - 1))
                .toUInt(&ok, 16);
    } else {
        const long long n =
            QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())).toLongLong(&ok);
        v = static_cast<unsigned>(n);
        ok = ok && n >= 0;
    }
    if (!ok || (v >> 24) != 0) return std::nullopt;  // system colours have no fixed value here
    return FromBgr(v);
}

// 'Arial' → Arial, with '' standing for one quote.
Bytes Unquote(std::string_view s) {
    if (s.size() < 2 || s.front() != '\'' || s.back() != '\'') return Bytes(s);
    return ReplaceAll(s.substr(1, s.size() - 2), "''", "'");
}

}  // namespace

Bytes CommaText(const std::vector<Bytes>& items) {
    Bytes out;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0) out.push_back(',');
        const Bytes& item = items[i];
        bool needsQuotes = item.empty();
        for (char c : item)
            if (static_cast<unsigned char>(c) <= ' ' || c == '"' || c == ',') needsQuotes = true;
        if (!needsQuotes) {
            out += item;
            continue;
        }
        out.push_back('"');
        out += ReplaceAll(item, "\"", "\"\"");
        out.push_back('"');
    }
    return out;
}

std::vector<Bytes> FontLabelLines(const StoredFont& stored) {
    const QFont& f = stored.font;
    const int px = f.pixelSize() > 0 ? f.pixelSize()
                                      : static_cast<int>(f.pointSizeF() * 96.0 / 72.0 + 0.5);
    Bytes style;
    auto addStyle = [&style](bool on, const char* name) {
        if (!on) return;
        if (!style.empty()) style += ", ";
        style += name;
    };
    addStyle(f.bold(), "fsBold");
    addStyle(f.italic(), "fsItalic");
    addStyle(f.underline(), "fsUnderline");
    addStyle(f.strikeOut(), "fsStrikeOut");
    return {
        "object Font_label: TLabel",
        "  Caption = 'Font_label'",
        "  Font.Charset = DEFAULT_CHARSET",
        "  Font.Color = " + ColourText(stored.color),
        "  Font.Height = -" + IntToText(px),
        "  Font.Name = '" + ReplaceAll(ToCp1252(f.family()), "'", "''") + "'",
        "  Font.Style = [" + style + "]",
        "  ParentFont = False",
        "end",
    };
}

Bytes FontLabelLine(const StoredFont& font) { return CommaText(FontLabelLines(font)); }

std::optional<StoredFont> ReadFontLabelLine(std::string_view line, const StoredFont& base) {
    const std::vector<Bytes> items = CommaItems(line);
    if (items.empty() || TrimWhitespace(items.front()).rfind("object ", 0) != 0) return std::nullopt;
    StoredFont out = base;
    for (const Bytes& item : items) {
        const size_t eq = item.find('=');
        if (eq == Bytes::npos) continue;
        const Bytes name = UpperText(TrimWhitespace(std::string_view(item).substr(0, eq)));
        const Bytes value = TrimWhitespace(std::string_view(item).substr(eq + 1));
        if (name == "FONT.NAME") {
            const Bytes face = Unquote(value);
            if (!face.empty()) out.font.setFamily(FromCp1252(face));
        } else if (name == "FONT.HEIGHT") {
            const int h = ParseLeadingInt(value, 0);
            // negative heights give the character height; a cell height is taken as near enough
            if (h > 0 && h < 1000) out.font.setPixelSize(h);
        } else if (name == "FONT.COLOR") {
            if (const auto c = ReadColour(value)) out.color = *c;
        } else if (name == "FONT.STYLE") {
            const Bytes up = UpperText(value);
            out.font.setBold(up.find("FSBOLD") != Bytes::npos);
            out.font.setItalic(up.find("FSITALIC") != Bytes::npos);
            out.font.setUnderline(up.find("FSUNDERLINE") != Bytes::npos);
            out.font.setStrikeOut(up.find("FSSTRIKEOUT") != Bytes::npos);
        }
    }
    return out;
}

void LoadChooserFonts(const ProgramEnvironment& env, ChooserFonts& fonts) {
    std::vector<Bytes> lines;
    if (!ReadTextFileLines(env.NativePath(kChooserFontFile), lines)) return;
    for (size_t i = 0; i < fonts.size() && i < lines.size(); ++i)
        if (const auto f = ReadFontLabelLine(lines[i], fonts[i])) fonts[i] = *f;
}

bool SaveChooserFonts(const ProgramEnvironment& env, const ChooserFonts& fonts) {
    std::vector<Bytes> lines;
    for (const StoredFont& f : fonts) lines.push_back(FontLabelLine(f));
    return WriteTextFileLines(env.NativePath(kChooserFontFile), lines);
}

}  // namespace radevir
