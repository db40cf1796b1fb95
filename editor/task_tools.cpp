#include "editor/task_tools.h"

#include <QDir>
#include <algorithm>
#include <cmath>
#include <optional>
#include <set>
#include <string_view>

#include "editor/worksheet/worksheet_input.h"
#include "support/program_environment.h"
#include "support/text_helpers.h"

namespace radevir {

namespace {

// How a part of a term came out.
struct Outcome {
    enum Kind { Value, Empty, Fail } kind = Fail;
    double value = 0;
};

constexpr size_t kMaxTermLength = 10000;

bool OnlyTermCharacters(const Bytes& term) {
    return term.find_first_not_of(kTermCharacters) == Bytes::npos;
}

// A number with "," as decimal separator: digits with at most one comma, at least one digit.
bool ConvertNumber(std::string_view text, double& value) {
    if (text.empty()) return false;
    Bytes dotted;
    bool comma = false;
    bool digit = false;
    for (char c : text) {
        if (IsDigit(c)) {
            digit = true;
            dotted += c;
        } else if (c == ',' && !comma) {
            comma = true;
            dotted += '.';
        } else {
            return false;
        }
    }
    if (!digit) return false;
    value = std::strtod(dotted.c_str(), nullptr);
    return std::isfinite(value);
}

std::vector<std::string_view> SplitAt(std::string_view text, char op) {
    std::vector<std::string_view> parts;
    size_t from = 0;
    for (size_t at = text.find(op); at != std::string_view::npos; at = text.find(op, from)) {
        parts.push_back(text.substr(from, at - from));
        from = at + 1;
    }
    parts.push_back(text.substr(from));
    return parts;
}

// A bracket-free term, operators searched in the order + - * : / (levels 0 to 4). Splitting at
// the first "+" (or "*") again and again adds from the right; splitting at the last "-", ":" or
// "/" works the chain from the left.
constexpr char kOperators[] = {'+', '-', '*', ':', '/'};

Outcome EvaluatePlain(std::string_view term, int level) {
    if (level == 5) {
        double v = 0;
        if (!ConvertNumber(term, v)) return {Outcome::Fail, 0};
        return {Outcome::Value, v};
    }
    const char op = kOperators[level];
    const std::vector<std::string_view> parts = SplitAt(term, op);
    if (parts.size() == 1) return EvaluatePlain(term, level + 1);
    std::vector<double> values;
    for (std::string_view part : parts) {
        const Outcome o = EvaluatePlain(part, level + 1);
        if (o.kind != Outcome::Value) return o;
        values.push_back(o.value);
    }
    double result = 0;
    if (op == '+' || op == '*') {
        result = values.back();
        for (size_t i = values.size() - 1; i-- > 0;)
            result = op == '+' ? values[i] + result : values[i] * result;
    } else {
        result = values.front();
        for (size_t i = 1; i < values.size(); ++i) {
            if (op == '-') {
                result -= values[i];
            } else {
                if (values[i] == 0) return {Outcome::Fail, 0};
                result /= values[i];
            }
        }
    }
    if (!std::isfinite(result)) return {Outcome::Fail, 0};
    return {Outcome::Value, result};
}

Outcome Evaluate(Bytes term) {
    // Brackets, innermost last one first; the bracketed part is replaced by its value written as
    // text, and the new term is looked at again (a negative value then leaves a "-" without a
    // left side, which fails).
    for (;;) {
        if (!OnlyTermCharacters(term)) return {Outcome::Empty, 0};
        size_t open = term.rfind('[');
        char close = ']';
        if (open == Bytes::npos) {
            open = term.rfind('(');
            close = ')';
        }
        if (open == Bytes::npos) break;
        const size_t end = term.find(close, open + 1);
        if (end == Bytes::npos) return {Outcome::Empty, 0};
        const Outcome inner = Evaluate(term.substr(open + 1, end - open - 1));
        if (inner.kind == Outcome::Fail) return inner;
        const Bytes value = inner.kind == Outcome::Value ? DecimalCommaText(inner.value) : Bytes();
        term = term.substr(0, open) + value + term.substr(end + 1);
    }
    return EvaluatePlain(term, 0);
}

// A task line holds "=", or only term characters and blanks; anything else is a text.
bool IsTaskLine(const QString& line) {
    if (line.contains('=')) return true;
    for (QChar c : line) {
        const char16_t u = c.unicode();
        if (u == ' ' || u == '_') continue;
        if (u >= 0x80 ||
            std::string_view(kTermCharacters).find(static_cast<char>(u)) == std::string_view::npos)
            return false;
    }
    return true;
}

// The term as it is computed: gap markers left out; nothing when a character cannot be part
// of a term at all.
std::optional<Bytes> ComputableTerm(const QString& term) {
    Bytes bytes;
    for (QChar c : term) {
        if (c == '_') continue;
        if (c.unicode() >= 0x80) return std::nullopt;
        bytes += static_cast<char>(c.unicode());
    }
    return bytes;
}

// Letter case is not distinguished.
QString CaseKey(const QString& line) {
    return line.toCaseFolded();
}

}  // namespace

TermValue EvaluateTerm(const Bytes& term) {
    // Every bracket pair rewrites the term once; a line far longer than any task (a pasted text)
    // is no term and is not worked through pair by pair.
    if (term.size() > kMaxTermLength) return {true, {}};
    const Outcome o = Evaluate(term);
    switch (o.kind) {
        case Outcome::Value:
            return {false, DecimalCommaText(o.value)};
        case Outcome::Empty:
            return {false, {}};
        case Outcome::Fail:
            break;
    }
    return {true, {}};
}

std::vector<QString> CalculateTerms(const std::vector<QString>& lines, std::vector<int>* failed,
                                    std::vector<int>* computed) {
    std::vector<QString> out = lines;
    for (size_t i = out.size(); i-- > 0;) {
        const QString& line = out[i];
        const qsizetype eq = line.indexOf('=');
        const QString term = eq < 0 ? line : line.left(eq);
        if (term.isEmpty() || !IsTaskLine(line)) continue;
        const std::optional<Bytes> bare = ComputableTerm(term);
        const TermValue v = bare ? EvaluateTerm(*bare) : TermValue{true, {}};
        if (v.failed || v.text.empty()) {
            // what cannot be computed keeps its text (the teacher's gaps and notes after "=")
            if (failed) failed->push_back(static_cast<int>(i));
            continue;
        }
        out[i] = term + '=' + FromCp1252(v.text);
        if (computed) computed->push_back(static_cast<int>(i));
    }
    return out;
}

std::vector<QString> DeleteAfterEqual(const std::vector<QString>& lines) {
    std::vector<QString> out = lines;
    for (QString& line : out) {
        const qsizetype eq = line.indexOf('=');
        if (eq >= 0) line.truncate(eq + 1);
    }
    return out;
}

std::vector<QString> MarkResults(const std::vector<QString>& lines) {
    std::vector<QString> out = lines;
    for (QString& line : out) {
        const qsizetype eq = line.indexOf('=');
        if (eq < 0) continue;
        QString marked = line.left(eq + 1);
        for (qsizetype i = eq + 1; i < line.size(); ++i) {
            // a character outside the basic plane is one character of two halves
            if (!(line[i].isLowSurrogate() && i > eq + 1 && line[i - 1].isHighSurrogate()))
                marked += '_';
            marked += line[i];
        }
        line = marked;
    }
    return out;
}

std::vector<int> DuplicateLines(const std::vector<QString>& lines) {
    std::set<QString> seen;
    std::vector<int> remove;
    for (size_t i = lines.size(); i-- > 0;)
        if (!seen.insert(CaseKey(lines[i])).second) remove.push_back(static_cast<int>(i));
    return remove;
}

LineEdit DifferingPart(const QString& before, const QString& after) {
    if (before == after) return {};
    qsizetype head = 0;
    const qsizetype shorter = std::min(before.size(), after.size());
    while (head < shorter && before[head] == after[head]) ++head;
    if (head > 0 && before[head - 1].isHighSurrogate()) --head;
    qsizetype tail = 0;
    while (tail < shorter - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    if (tail > 0 && before[before.size() - tail].isLowSurrogate()) --tail;
    return {true, static_cast<int>(head), static_cast<int>(before.size() - head - tail),
            after.mid(head, after.size() - head - tail)};
}

std::vector<TextRange> GapRanges(const QString& text) {
    std::vector<TextRange> ranges;
    bool inGap = false;
    int start = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] != kGapMarker) continue;
        if (!inGap) {
            start = i + 1;
        } else if (i > start) {
            ranges.push_back({start, i});
        }
        inGap = !inGap;
    }
    if (inGap && start < text.size()) ranges.push_back({start, static_cast<int>(text.size())});
    return ranges;
}

Bytes LineSoundFileName(const Bytes& line) {
    Bytes name = line;
    const Bytes trailing = "!,.;?"_b + "¶"_b;
    while (!name.empty() && trailing.find(name.back()) != Bytes::npos) name.pop_back();
    for (char& c : name)
        if (Bytes("\"*/:;<>?\\").find(c) != Bytes::npos) c = '#';
    size_t lead = 0;
    while (lead < name.size() && static_cast<unsigned char>(name[lead]) <= ' ') ++lead;
    name.erase(0, lead);
    if (name.empty()) return {};
    return name + ".wav";
}

Bytes WithoutExtension(const Bytes& path) {
    const NameParts parts = ExeNameParts(path);
    return parts.folder + parts.name;
}

Bytes ListSoundName(const Bytes& relativeListPath) {
    const Bytes path = WithoutExtension(relativeListPath);
    Bytes name;
    size_t from = 0;
    while (from <= path.size()) {
        size_t to = path.find_first_of("\\/", from);
        if (to == Bytes::npos) to = path.size();
        const Bytes part = path.substr(from, to - from);
        // a climb or a drive would lead out of the sounds folder
        if (!part.empty() && part != "." && part != ".." && part.find(':') == Bytes::npos) {
            if (!name.empty()) name += '\\';
            name += part;
        }
        from = to + 1;
    }
    return name;
}

Bytes ListSoundFolder(const Bytes& relativeListPath) {
    return "Sounds\\" + ListSoundName(relativeListPath);
}

Bytes HeadingsFileName(const Bytes& filePath) {
    const Bytes folder = ExcludeTrailingBackslash(ExeNameParts(filePath).folder);
    const NameParts parts = ExeNameParts(folder);
    return parts.name + parts.extension + ".txt";
}

Bytes WorksheetPageName(const Bytes& filePath) {
    Bytes name = ExeNameParts(filePath).name;
    const size_t blank = name.find(' ');
    if (blank != Bytes::npos && name.find(' ', blank + 1) == Bytes::npos)
        name = name.substr(blank + 1) + " " + name.substr(0, blank);
    return name + ".html";
}

WorksheetRequest PrepareWorksheetRequest(const std::vector<Bytes>& lines,
                                         const QString& programFolder, const Bytes& editedFile) {
    WorksheetRequest request;
    request.rows = QStringLiteral("10");
    request.columns = QStringLiteral("2");
    request.start = QStringLiteral("1");
    request.taskLines = WorksheetTaskLines(lines);
    const QDir folder(programFolder);
    request.pagePath =
        FindPathIgnoringCase(folder.filePath(QStringLiteral("vorlagen/construct.html")));
    request.templatePath =
        FindPathIgnoringCase(folder.filePath(QStringLiteral("vorlagen/Aufgaben.html")));
    request.savePath = FindPathIgnoringCase(folder.filePath(QStringLiteral("Aufgaben"))) + '/' +
                       FromCp1252(WorksheetPageName(editedFile));
    return request;
}

bool AddRecentFile(std::vector<QString>& paths, const QString& path, int fixedItems,
                   int trailingItems) {
    if (!paths.empty() && paths.front() == path) return false;
    paths.insert(paths.begin(), path);
    constexpr int kMaxMenuItems = 24;
    constexpr int kRemovedItem = 22;
    const int menuItems = fixedItems + static_cast<int>(paths.size()) + trailingItems;
    const int removed = kRemovedItem - fixedItems;
    if (menuItems > kMaxMenuItems && removed >= 0 && removed < static_cast<int>(paths.size()))
        paths.erase(paths.begin() + removed);
    return true;
}

}  // namespace radevir
