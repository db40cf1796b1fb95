#include "console/school_shaping.h"

#include <array>

namespace radevir {
namespace {

// The font's variant glyphs.
constexpr unsigned char kTzJoin = 0xAA;       // t before z
constexpr unsigned char kSAlone = 0xB1;       // s standing alone
constexpr unsigned char kStAtStart = 0xB2;    // s of "st" at the start of a word
constexpr unsigned char kStJoined = 0xB3;     // s of "st" after a joining letter
constexpr unsigned char kSAtStart = 0xB4;     // s at the start of a word
constexpr unsigned char kSAtEnd = 0xB5;       // s at the end of a word
constexpr unsigned char kSharpS = 0xDF;       // ß
constexpr unsigned char kEuro = 0x80;
constexpr unsigned char kEuroGlyph = 0xEA;

using CharSet = std::array<bool, 256>;

constexpr CharSet MakeSet(std::string_view members, unsigned char rangeFrom = 1,
                          unsigned char rangeTo = 0) {
    CharSet set{};
    for (char c : members) set[static_cast<unsigned char>(c)] = true;
    for (int c = rangeFrom; c <= rangeTo; ++c) set[static_cast<size_t>(c)] = true;
    return set;
}

// Members written as bytes; the 0x00-0x20 range is added through MakeSet's range.
constexpr CharSet kNonLetters = MakeSet(
    "!\"#$%&'()*+,-./0123456789:;<=>?@[\\]^_`{}"
    "\x84\x93\x94\xA0\xA7\xB6\xE2\xEA\xEE\xEF",
    0x00, 0x20);
constexpr CharSet kJoiningLower = MakeSet(
    "&abcdefghijklmnopqrstuvwxyz\xA8\xA9\xAA\xB1\xB2\xB3\xB4\xB5\xDF\xE4\xF4\xF6\xFC");
constexpr CharSet kJoiningCapitals = MakeSet("ACEGHJKLMPQRUXYZ\xC4\xDC");
constexpr CharSet kNonJoining = MakeSet("!,-.:;?[]^|\xA0\xE2\xEF", 0x00, 0x20);
constexpr CharSet kNonJoiningCapitals = MakeSet("'BDINOPSTVW\xD6");

bool In(const CharSet& set, unsigned char c) { return set[c]; }

// One step of the simplified script on the pair (previous, current).
void ApplyRule(unsigned char& p, unsigned char& c) {
    if (In(kNonLetters, p) && In(kNonLetters, c)) return;
    if (c == kSAtStart && In(kJoiningLower, p)) c = 's';
    if (p == kSAtEnd && In(kJoiningLower, c)) p = 's';
    if (p == kSAlone && In(kJoiningLower, c)) p = kSAtStart;
    if (p == 't' && c == 'z') p = kTzJoin;
    if (p == 's' && c == 't') p = kStJoined;
    if (p == kSAtStart && c == 't') p = kStAtStart;
    if (c == kStJoined && !In(kJoiningLower, p) && !In(kJoiningCapitals, p)) c = kStAtStart;
    if (p == kSharpS && c == 't') p = '&';
    if (p == kSharpS && In(kJoiningLower, c)) p = '\\';
    if (c == 's' && (In(kNonJoining, p) || In(kNonJoiningCapitals, p))) c = kSAtStart;
    if (p == 's' && !In(kJoiningLower, c)) p = kSAtEnd;
    if (p == kSAtStart && !In(kJoiningLower, c)) p = kSAlone;
    if (p == kEuro) p = kEuroGlyph;
}

bool IsSimplifiedScript(std::string_view suffix) {
    return suffix.find(" VA") != std::string_view::npos ||
           suffix.find("_VA") != std::string_view::npos;
}

}  // namespace

Bytes ShapeSchoolText(std::string_view suffix, std::string_view text, int& position) {
    if (text.empty() || text == " " || !IsSimplifiedScript(suffix)) return Bytes(text);
    Bytes out;
    out.reserve(text.size());
    unsigned char p = 0;
    for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        const unsigned char before = p;
        ApplyRule(p, c);
        if (p != before && !out.empty()) out.back() = static_cast<char>(p);
        out.push_back(static_cast<char>(c));
        p = c;
    }
    unsigned char end = 0;
    const unsigned char before = p;
    ApplyRule(p, end);
    if (p != before && !out.empty()) out.back() = static_cast<char>(p);
    // The simplified script writes one glyph per letter, so a position keeps its place.
    static_cast<void>(position);
    return out;
}

Bytes ShapeSchoolText(std::string_view suffix, std::string_view text) {
    int none = 0;
    return ShapeSchoolText(suffix, text, none);
}

}  // namespace radevir
