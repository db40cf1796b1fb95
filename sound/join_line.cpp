#include "sound/join_line.h"

#include <charconv>
#include <limits>

namespace radevir {
namespace {

bool IsBlankOrControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 1 && u <= ' ';
}

}  // namespace

std::vector<CommaField> SplitCommaFields(std::string_view text) {
    // A NUL ends the text, as it would for a C string.
    if (const auto nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
    std::vector<CommaField> out;
    size_t p = 0;
    const size_t n = text.size();
    while (p < n && IsBlankOrControl(text[p])) ++p;
    while (p < n) {
        CommaField f;
        if (text[p] == '"') {
            ++p;
            while (p < n) {
                if (text[p] == '"') {
                    if (p + 1 < n && text[p + 1] == '"') {
                        f.text.push_back('"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                f.text.push_back(text[p++]);
            }
        } else {
            const size_t start = p;
            while (p < n && !IsBlankOrControl(text[p]) && text[p] != ',') ++p;
            f.text.assign(text.substr(start, p - start));
        }
        f.end = p;
        out.push_back(std::move(f));
        while (p < n && IsBlankOrControl(text[p])) ++p;
        if (p < n && text[p] == ',') {
            if (p + 1 == n) out.push_back(CommaField{std::string(), n});
            do {
                ++p;
            } while (p < n && IsBlankOrControl(text[p]));
        }
    }
    return out;
}

std::vector<std::string> SplitCommaText(std::string_view text) {
    std::vector<std::string> out;
    for (auto& f : SplitCommaFields(text)) out.push_back(std::move(f.text));
    return out;
}

std::string JoinCommaText(const std::vector<std::string>& fields) {
    std::string out;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) out.push_back(',');
        const std::string& s = fields[i];
        bool quote = false;
        for (char c : s) {
            const auto u = static_cast<unsigned char>(c);
            if (u <= ' ' || c == '"' || c == ',') quote = true;
        }
        if (!quote) {
            out += s;
            continue;
        }
        out.push_back('"');
        for (char c : s) {
            if (c == '"') out.push_back('"');
            out.push_back(c);
        }
        out.push_back('"');
    }
    return out;
}

std::optional<int> ParseInt(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    long long v = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || ptr != last) return std::nullopt;
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(v);
}

int IntOr(const std::vector<std::string>& fields, size_t index, int fallback) {
    if (index >= fields.size()) return fallback;
    return ParseInt(fields[index]).value_or(fallback);
}

JoinLine ParseJoinLine(std::string_view line) {
    bool inQuotes = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') inQuotes = !inQuotes;
        if (line[i] == '=' && !inQuotes) {
            line = line.substr(i + 1);
            break;
        }
    }
    const auto fields = SplitCommaText(line);
    JoinLine j;
    if (!fields.empty()) j.file = fields[0];
    j.start = IntOr(fields, 1, 0);
    j.end = IntOr(fields, 2, -1);
    j.volume_percent = IntOr(fields, 3, 100);
    j.gapBefore = IntOr(fields, 4, 0);
    j.silenceAfter = IntOr(fields, 5, 0);
    return j;
}

std::string QuoteWaveName(std::string_view line) {
    const size_t at = LowerAscii(line).find(".wav");
    if (at == std::string_view::npos) return std::string(line);
    const std::string_view head = line.substr(0, at + 4);
    const std::string_view rest = line.substr(at + 4);
    if (rest.empty()) return QuoteIfNeeded(line);
    if (rest.front() == '"') return std::string(line);
    return QuoteIfNeeded(head) + std::string(rest);
}

}  // namespace radevir
