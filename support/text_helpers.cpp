#include "support/text_helpers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace radevir {
namespace {

bool IsFolderSeparator(char c) { return c == '\\' || c == '/'; }

// Control characters and the blank end an unquoted comma item and are skipped around items.
bool IsBlankOrControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 1 && u <= ' ';
}

}  // namespace

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

Bytes TrimWhitespace(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
    return Bytes(text.substr(begin, end - begin));
}

Bytes ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement) {
    if (find.empty()) return Bytes(text);
    Bytes out;
    out.reserve(text.size());
    size_t pos = 0;
    while (true) {
        const size_t hit = text.find(find, pos);
        if (hit == std::string_view::npos) break;
        out.append(text.substr(pos, hit - pos));
        out.append(replacement);
        pos = hit + find.size();
    }
    out.append(text.substr(pos));
    return out;
}

Bytes StripSuffix(std::string_view text, std::string_view suffix) {
    if (suffix.size() <= text.size() &&
        text.substr(text.size() - suffix.size()) == suffix) {
        return Bytes(text.substr(0, text.size() - suffix.size()));
    }
    return Bytes(text);
}

Bytes DisplayName(std::string_view fileName) {
    size_t start = 0;
    for (size_t i = fileName.size(); i-- > 0;) {
        if (IsFolderSeparator(fileName[i]) || fileName[i] == ':') {
            start = i + 1;
            break;
        }
    }
    std::string_view name = fileName.substr(start);
    const size_t dot = name.rfind('.');
    if (dot != std::string_view::npos) name = name.substr(0, dot);
    const size_t blank = name.find(' ');
    if (blank == std::string_view::npos) return Bytes(name);
    const std::string_view first = name.substr(0, blank);
    const std::string_view second = name.substr(blank + 1);
    if (second.find(' ') != std::string_view::npos) return Bytes(name);
    Bytes out(second);
    out.push_back(' ');
    out.append(first);
    return out;
}

int ParseLeadingInt(std::string_view text, int defaultValue) {
    size_t begin = 0;
    while (begin < text.size() && !IsDigit(text[begin])) ++begin;
    if (begin == text.size()) return defaultValue;
    size_t end = begin;
    while (end < text.size() && IsDigit(text[end])) ++end;
    // leading zeros go, one digit always stays
    while (end - begin > 1 && text[begin] == '0') ++begin;
    int value = 0;
    const auto [ptr, ec] = std::from_chars(text.data() + begin, text.data() + end, value);
    if (ec != std::errc() || ptr != text.data() + end) return defaultValue;
    return value;
}

int SplitString(std::string_view text, std::string_view separator, std::vector<Bytes>& list,
                bool keepSeparator) {
    list.clear();
    if (separator.empty()) {
        if (!text.empty()) list.emplace_back(text);
        return static_cast<int>(list.size());
    }
    std::string_view rest = text;
    while (true) {
        const size_t hit = rest.find(separator);
        if (hit == std::string_view::npos) break;
        list.emplace_back(rest.substr(0, keepSeparator ? hit + separator.size() : hit));
        rest.remove_prefix(hit + separator.size());
    }
    if (!rest.empty() && rest != separator) {
        if (!keepSeparator && rest.size() >= separator.size() &&
            rest.substr(rest.size() - separator.size()) == separator) {
            rest.remove_suffix(separator.size());
        }
        list.emplace_back(rest);
    }
    return static_cast<int>(list.size());
}

Bytes NameOfPair(std::string_view line, bool quote) {
    size_t from = 0;
    if (!line.empty() && line[0] == '"') {
        const size_t closing = line.find('"', 1);
        if (closing != std::string_view::npos) from = closing + 1;
    }
    const size_t eq = line.find('=', from);
    const Bytes name(eq == std::string_view::npos ? line : line.substr(0, eq));
    return quote ? QuoteIfNeeded(name) : name;
}

Bytes ValueOfPair(std::string_view line, bool quote) {
    size_t eq = line.find('=');
    while (eq != std::string_view::npos) {
        const auto before = std::count(line.begin(), line.begin() + static_cast<long>(eq), '"');
        const auto after = std::count(line.begin() + static_cast<long>(eq) + 1, line.end(), '"');
        if (before % 2 == 0 || after % 2 == 0) break;
        // this "=" belongs to a quoted name: look again after the name's closing quote
        const size_t closing = line.find('"', eq + 1);
        eq = line.find('=', closing + 1);
    }
    if (eq == std::string_view::npos) return {};
    const Bytes value(line.substr(eq + 1));
    return quote ? QuoteIfNeeded(value) : value;
}

std::vector<Bytes> CommaItems(std::string_view text) {
    std::vector<Bytes> items;
    size_t p = 0;
    const size_t n = text.size();
    auto skipBlanks = [&] {
        while (p < n && IsBlankOrControl(text[p])) ++p;
    };
    skipBlanks();
    while (p < n) {
        Bytes item;
        if (text[p] == '"') {
            ++p;
            while (p < n) {
                if (text[p] == '"') {
                    if (p + 1 < n && text[p + 1] == '"') {  // a doubled quote is one quote
                        item.push_back('"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item.push_back(text[p++]);
            }
        } else {
            const size_t start = p;
            while (p < n && !IsBlankOrControl(text[p]) && text[p] != ',' && text[p] != '\0') ++p;
            item.assign(text.substr(start, p - start));
            if (p < n && text[p] == '\0') p = n;
        }
        items.push_back(std::move(item));
        skipBlanks();
        if (p < n && text[p] == ',') {
            if (p + 1 == n) items.emplace_back();  // a trailing comma ends with an empty item
            ++p;
            skipBlanks();
        }
    }
    return items;
}

Bytes CommaItem(std::string_view line, int index, bool quote) {
    Bytes source = ValueOfPair(line);
    if (source.empty()) source = Bytes(line);
    const std::vector<Bytes> items = CommaItems(source);
    if (index < 0 || static_cast<size_t>(index) >= items.size()) return {};
    return quote ? QuoteIfNeeded(items[static_cast<size_t>(index)])
                 : items[static_cast<size_t>(index)];
}

Bytes QuoteIfNeeded(std::string_view text) {
    const bool enclosed = text.size() >= 2 && text.front() == '"' && text.back() == '"';
    if (enclosed || text.find_first_of(" ,") == std::string_view::npos) return Bytes(text);
    Bytes out = "\"";
    out.append(text);
    out.push_back('"');
    return out;
}

Bytes FilterExtension(std::string_view filter, int index) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        const size_t bar = filter.find('|', start);
        parts.push_back(filter.substr(start, bar == std::string_view::npos ? bar : bar - start));
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    const size_t entries = parts.size() / 2;
    if (entries == 0) return {};
    if (index < 0 || static_cast<size_t>(index) >= entries) index = 0;
    const std::string_view pattern = parts[2 * static_cast<size_t>(index) + 1];
    // the extension of a file name: from the last dot after the last folder separator
    for (size_t i = pattern.size(); i-- > 0;) {
        if (pattern[i] == '.') return Bytes(pattern.substr(i));
        if (IsFolderSeparator(pattern[i]) || pattern[i] == ':') break;
    }
    return {};
}

char UpperChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z') return static_cast<char>(u - 0x20);
    if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 0x20);
    switch (u) {
        case 0x9A: return static_cast<char>(0x8A);  // š
        case 0x9C: return static_cast<char>(0x8C);  // œ
        case 0x9E: return static_cast<char>(0x8E);  // ž
        case 0xFF: return static_cast<char>(0x9F);  // ÿ
        default: return c;
    }
}

Bytes UpperText(std::string_view text) {
    Bytes out(text);
    for (char& c : out) c = UpperChar(c);
    return out;
}

Bytes IntToText(long long value) { return std::to_string(value); }

Bytes FloatToText(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    // to_chars ignores the C locale, which Qt sets from the environment (a German locale would
    // otherwise turn the point into a comma)
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    // "1e+20" → "1E20", "1e-05" → "1E-5"
    Bytes s(buf, res.ptr);
    const size_t e = s.find('e');
    if (e == Bytes::npos) return s;
    Bytes mantissa = s.substr(0, e);
    Bytes exponent = s.substr(e + 1);
    Bytes sign;
    if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
        if (exponent[0] == '-') sign = "-";
        exponent.erase(0, 1);
    }
    while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
    return mantissa + "E" + sign + exponent;
}

Bytes FormatFixed(double value, int precision, int digits, char decimalSeparator) {
    if (!std::isfinite(value)) return "0";
    char buffer[64];
    const double magnitude = std::fabs(value);
    const int integerDigits = magnitude >= 1 ? static_cast<int>(std::floor(std::log10(magnitude))) + 1 : 1;
    if (integerDigits > precision) {
        // exponent form with `precision` significant digits, trailing zeros dropped
        std::snprintf(buffer, sizeof buffer, "%.*E", precision - 1, value);
        std::string s(buffer);
        const size_t e = s.find('E');
        std::string mantissa = s.substr(0, e);
        const int exponent = std::atoi(s.c_str() + e + 1);
        if (mantissa.find('.') != std::string::npos) {
            while (!mantissa.empty() && mantissa.back() == '0') mantissa.pop_back();
            if (!mantissa.empty() && mantissa.back() == '.') mantissa.pop_back();
        }
        for (char& c : mantissa)
            if (c == '.') c = decimalSeparator;
        return mantissa + "E" + std::to_string(exponent);
    }
    // round to `precision` significant digits first
    const int decimalsForPrecision = precision - integerDigits;
    const double scale = std::pow(10.0, decimalsForPrecision);
    const double rounded = std::round(value * scale) / scale;
    std::snprintf(buffer, sizeof buffer, "%.*f", digits, rounded);
    std::string s(buffer);
    for (char& c : s)
        if (c == '.') c = decimalSeparator;
    return s;
}

Bytes DecimalCommaText(double value) { return ReplaceAll(FloatToText(value), ".", ","); }

Bytes FixedToText(double value, int decimals) {
    if (!std::isfinite(value)) return FloatToText(value);
    if (decimals < 0) decimals = 0;
    if (decimals > 18) decimals = 18;
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (res.ec != std::errc()) return FloatToText(value);
    return Bytes(buf, res.ptr);
}

Bytes LowerAscii(std::string_view text) {
    Bytes out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           LowerAscii(text.substr(text.size() - suffix.size())) == LowerAscii(suffix);
}

}  // namespace radevir
