#include "support/term_helpers.h"

#include "support/text_helpers.h"

namespace radevir {
namespace {

// Operators a task is cut at; "\" also ends the head of a dictated task.
constexpr std::string_view kTermOperators = "*+-:=";
constexpr std::string_view kHeadOperators = "*+-:=\\";

}  // namespace

CharClassKind CharClass(char c) {
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
        case '.': case ',': case '!':
            return CharClassKind::Punctuation;
        case '(': case ')': case '[': case ']':
            return CharClassKind::Bracket;
        case '*': case '+': case '-': case '/': case ':': case '<': case '=': case '>': case '^':
            return CharClassKind::Operator;
        default:
            break;
    }
    if (IsDigit(c)) return CharClassKind::Digit;
    if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z')) return CharClassKind::Letter;
    // Windows-1252 letters: À-ÿ without × and ÷, and Š Œ Ž š œ ž Ÿ
    if (u >= 0xC0 && u != 0xD7 && u != 0xF7) return CharClassKind::Letter;
    if (u == 0x8A || u == 0x8C || u == 0x8E || u == 0x9A || u == 0x9C || u == 0x9E || u == 0x9F)
        return CharClassKind::Letter;
    return CharClassKind::Other;
}

Bytes TermTail(std::string_view term, int mode) {
    if (mode >= 2) return {};
    const size_t last = term.find_last_of(kTermOperators);
    if (last == std::string_view::npos) return {};
    // 1-based start p + mode - 1 is the 0-based index last + mode - 1
    const long long start = static_cast<long long>(last) + mode - 1;
    return Bytes(term.substr(static_cast<size_t>(start < 0 ? 0 : start)));
}

Bytes TermHead(std::string_view term, int mode) {
    if (mode >= 2) return Bytes(term);
    const size_t last = term.find_last_of(kHeadOperators);
    const long long p = last == std::string_view::npos ? 0 : static_cast<long long>(last) + 1;
    const long long length = p + mode - 1;
    if (length <= 0) return {};
    return Bytes(term.substr(0, static_cast<size_t>(length)));
}

Bytes SpeechTerm(std::string_view term, int mode) {
    std::string_view cut = term;
    if (mode < 2) {
        const size_t last = term.find_last_of(kTermOperators);
        if (last != std::string_view::npos) {
            long long length = static_cast<long long>(last) + 1;  // up to and including it
            if (term[last] == '=') length = static_cast<long long>(last) + mode;  // p - 1 + mode
            cut = term.substr(0, static_cast<size_t>(length < 0 ? 0 : length));
        }
    }
    Bytes out;
    for (size_t i = 0; i < cut.size(); ++i) {
        const char c = cut[i];
        if (i > 0 && CharClass(c) != CharClass(cut[i - 1])) out.push_back(' ');
        if (c == ',' || c == '.') {
            out.push_back('"');
            out.push_back(c);
            out.push_back('"');
        } else if (c == ':') {
            out.push_back('/');
        } else {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace radevir
