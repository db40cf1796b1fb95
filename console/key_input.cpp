#include "console/key_input.h"

#include <array>

#include "console/dos_keys.h"

namespace radevir {
namespace {

struct Pair {
    unsigned char ansi;
    unsigned char oem;
};
// Windows-1252 → code page 437 for the letters the program's texts use.
constexpr std::array<Pair, 44> kOemPairs = {{
    {0x8C, 0xA8}, {0xB6, 0xAE}, {0xB7, 0xF9}, {0xC0, 0xD0}, {0xC1, 0xF0}, {0xC2, 0xD7},
    {0xC4, 0x8E}, {0xC5, 0x8F}, {0xC6, 0x92}, {0xC8, 0xF5}, {0xC9, 0x90}, {0xCA, 0xD3},
    {0xCD, 0xB8}, {0xCF, 0x9E}, {0xD1, 0xA5}, {0xD2, 0xD5}, {0xD6, 0x99}, {0xD9, 0xD4},
    {0xDA, 0xF4}, {0xDC, 0x9A}, {0xDF, 0xE1}, {0xE0, 0x85}, {0xE1, 0xA0}, {0xE2, 0x83},
    {0xE4, 0x84}, {0xE5, 0x86}, {0xE6, 0x91}, {0xE7, 0x87}, {0xE8, 0x8A}, {0xE9, 0x82},
    {0xEA, 0x88}, {0xEC, 0x8D}, {0xED, 0xA1}, {0xEE, 0x8C}, {0xEF, 0x8B}, {0xF1, 0xA4},
    {0xF2, 0x95}, {0xF3, 0xA2}, {0xF4, 0x93}, {0xF6, 0x94}, {0xF9, 0x97}, {0xFA, 0xA3},
    {0xFB, 0x96}, {0xFC, 0x81},
}};

struct Tables {
    std::array<unsigned char, 256> toOem{};
    std::array<unsigned char, 256> toAnsi{};
    Tables() {
        for (int i = 0; i < 256; ++i) {
            toOem[i] = static_cast<unsigned char>(i);
            toAnsi[i] = static_cast<unsigned char>(i);
        }
        for (const Pair& p : kOemPairs) {
            toOem[p.ansi] = p.oem;
            toAnsi[p.oem] = p.ansi;
        }
        toAnsi[0x80] = 0xC7;
    }
};
const Tables& GetTables() {
    static const Tables tables;
    return tables;
}

}  // namespace

int ScanCodeForVirtualKey(int virtualKey) {
    switch (virtualKey) {
        case vk::kPageUp: return doskey::kPageUp;
        case vk::kPageDown: return doskey::kPageDown;
        case vk::kEnd: return doskey::kEnd;
        case vk::kHome: return doskey::kHome;
        case vk::kLeft: return doskey::kLeft;
        case vk::kUp: return doskey::kUp;
        case vk::kRight: return doskey::kRight;
        case vk::kDown: return doskey::kDown;
        case vk::kInsert: return doskey::kInsert;
        case vk::kDelete: return doskey::kDelete;
        case vk::kF10: return doskey::kF10;
        case vk::kF11: return doskey::kF11;
        case vk::kF12: return doskey::kF12;
        default: break;
    }
    // F1 to F9 are consecutive on both sides
    if (virtualKey >= vk::kF1 && virtualKey < vk::kF10) return doskey::kF1 + (virtualKey - vk::kF1);
    return -1;
}

bool IsCursorBlockKey(int virtualKey) { return virtualKey >= vk::kPageUp && virtualKey <= vk::kDelete; }

unsigned char ToOem(unsigned char c, bool conversionOff) {
    return conversionOff ? c : GetTables().toOem[c];
}

Bytes ToOemString(std::string_view s, bool conversionOff) {
    Bytes out(s);
    for (char& c : out) c = static_cast<char>(ToOem(static_cast<unsigned char>(c), conversionOff));
    return out;
}

unsigned char ToAnsiChar(unsigned char c, bool conversionOff) {
    return conversionOff ? c : GetTables().toAnsi[c];
}

Bytes ToAnsi(std::string_view s, bool conversionOff) {
    Bytes out(s);
    for (char& c : out)
        c = static_cast<char>(ToAnsiChar(static_cast<unsigned char>(c), conversionOff));
    return out;
}

unsigned char KeyQueue::Take() {
    if (keys_.empty()) return 0;
    const Key k = keys_.front();
    keys_.pop_front();
    lastExtended_ = k.extended;
    return k.code;
}

int AltComposer::AltReleased() {
    if (digits_.empty()) return -1;
    int value = 0;
    for (char d : digits_) value = (value * 10 + (d - '0')) % 1000;
    const bool ansi = digits_[0] == '0';
    digits_.clear();
    value &= 0xFF;
    if (ansi) return value;
    const int c = UnicodeToCp1252(Cp437ToUnicode(static_cast<unsigned char>(value)));
    return c == 0 && value != 0 ? '?' : c;
}

}  // namespace radevir
