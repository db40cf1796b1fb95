#include "support/codepage.h"

#include <QList>
#include <algorithm>
#include <array>

namespace radevir {
namespace {

// Windows-1252 0x80-0x9F; 0 marks the five undefined bytes.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Code page 437: 0x00-0x1F as the DOS pictures, 0x7F house, 0x80-0xFF.
constexpr std::array<char16_t, 32> kCp437Low = {
    0x0000, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9,
    0x2642, 0x2640, 0x266A, 0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7,
    0x25AC, 0x21A8, 0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC};
constexpr std::array<char16_t, 128> kCp437High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8,
    0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2,
    0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1,
    0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD,
    0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562,
    0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534,
    0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560,
    0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393,
    0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6,
    0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0,
    0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

}  // namespace

char32_t Cp1252ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        const char16_t c = kCp1252High[byte - 0x80];
        return c == 0 ? U'\uFFFD' : c;
    }
    return byte;
}

char32_t Cp437ToUnicode(unsigned char byte) {
    if (byte < 0x20) return kCp437Low[byte];
    if (byte == 0x7F) return 0x2302;
    if (byte >= 0x80) return kCp437High[byte - 0x80];
    return byte;
}

int UnicodeToCp1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] != 0 && kCp1252High[i] == c) return 0x80 + i;
    return 0;
}

int UnicodeToCp437(char32_t c) {
    if (c >= 0x20 && c < 0x7F) return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (kCp437Low[i] == c) return i;
    if (c == 0x2302) return 0x7F;
    for (int i = 0; i < 128; ++i)
        if (kCp437High[i] == c) return 0x80 + i;
    return 0;
}

QString FromCp1252(std::string_view bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char b : bytes) {
        const char32_t c = Cp1252ToUnicode(b);
        out.append(QChar(static_cast<char16_t>(c)));
    }
    return out;
}

Bytes ToCp1252(QStringView text, char fallback) {
    Bytes out;
    out.reserve(static_cast<size_t>(text.size()));
    for (const char32_t c : text.toUcs4()) {
        const int b = UnicodeToCp1252(c);
        out.push_back(b == 0 && c != 0 ? fallback : static_cast<char>(b));
    }
    return out;
}

QString FromCp437(std::string_view bytes) {
    QString out;
    for (unsigned char b : bytes) out.append(QChar(static_cast<char16_t>(Cp437ToUnicode(b))));
    return out;
}

std::u32string FromUtf8(std::string_view utf8) {
    std::u32string out;
    for (size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        int extra = 0;
        char32_t c = b;
        if (b >= 0xF0) { extra = 3; c = b & 0x07; }
        else if (b >= 0xE0) { extra = 2; c = b & 0x0F; }
        else if (b >= 0xC0) { extra = 1; c = b & 0x1F; }
        else if (b >= 0x80) { out.push_back(U'\uFFFD'); ++i; continue; }
        ++i;
        for (int k = 0; k < extra && i < utf8.size(); ++k, ++i)
            c = (c << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
        out.push_back(c);
    }
    return out;
}

std::string Utf8(std::u32string_view text) {
    std::string out;
    for (char32_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr char kUnmappedCharacter = '?';

enum class Utf8Step { kValid, kInvalid, kCut };

// One strict UTF-8 character at `i`: its length and code point, or why there is none.
Utf8Step Utf8CharacterAt(std::string_view s, size_t i, size_t& length, char32_t& c) {
    const auto lead = static_cast<unsigned char>(s[i]);
    char32_t minimum = 0;
    if (lead < 0x80) {
        length = 1;
        c = lead;
        return Utf8Step::kValid;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
        minimum = 0x10000;
    } else {
        return Utf8Step::kInvalid;
    }
    for (size_t k = 1; k < length; ++k) {
        if (i + k >= s.size()) return Utf8Step::kCut;
        const auto next = static_cast<unsigned char>(s[i + k]);
        if ((next & 0xC0) != 0x80) return Utf8Step::kInvalid;
        c = (c << 6) | (next & 0x3F);
        // reject overlong forms, surrogates and too-large values as soon as they show
        if (k == 1) {
            if (length == 3 && lead == 0xE0 && next < 0xA0) return Utf8Step::kInvalid;
            if (length == 3 && lead == 0xED && next >= 0xA0) return Utf8Step::kInvalid;
            if (length == 4 && lead == 0xF0 && next < 0x90) return Utf8Step::kInvalid;
            if (length == 4 && lead == 0xF4 && next >= 0x90) return Utf8Step::kInvalid;
        }
    }
    return c >= minimum ? Utf8Step::kValid : Utf8Step::kInvalid;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes, bool allowCutEnd) {
    for (size_t i = 0; i < bytes.size();) {
        size_t length = 0;
        char32_t c = 0;
        switch (Utf8CharacterAt(bytes, i, length, c)) {
            case Utf8Step::kValid: i += length; break;
            case Utf8Step::kCut: return allowCutEnd;
            case Utf8Step::kInvalid: return false;
        }
    }
    return true;
}

Bytes DecodeTextFileBytes(std::string_view bytes, bool cutEnd) {
    const bool marked = bytes.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark;
    if (marked) {
        bytes.remove_prefix(kUtf8ByteOrderMark.size());
    } else {
        const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                       [](char b) { return static_cast<unsigned char>(b) < 0x80; });
        if (ascii || !IsValidUtf8(bytes, cutEnd)) return Bytes(bytes);
    }
    Bytes out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        size_t length = 0;
        char32_t c = 0;
        const Utf8Step step = Utf8CharacterAt(bytes, i, length, c);
        if (step == Utf8Step::kCut && cutEnd) break;
        if (step != Utf8Step::kValid) {
            out.push_back(bytes[i++]);  // not UTF-8 after all: the byte as it stands
            continue;
        }
        const int b = UnicodeToCp1252(c);
        out.push_back(b == 0 && c != 0 ? kUnmappedCharacter : static_cast<char>(b));
        i += length;
    }
    return out;
}

Bytes ScreenBytes(std::string_view utf8) {
    Bytes out;
    for (char32_t c : FromUtf8(utf8)) {
        int b = UnicodeToCp1252(c);
        if (b == 0 && c != 0) b = UnicodeToCp437(c);
        out.push_back(b == 0 && c != 0 ? '?' : static_cast<char>(b));
    }
    return out;
}

char32_t DecodeScreenByte(unsigned char byte, bool drawnAsGlyph) {
    if (drawnAsGlyph) return Cp437ToUnicode(byte);
    if (byte < 0x20) return Cp437ToUnicode(byte);
    const char32_t c = Cp1252ToUnicode(byte);
    return c == U'\uFFFD' ? Cp437ToUnicode(byte) : c;
}

}  // namespace radevir
