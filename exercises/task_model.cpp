#include "exercises/task_model.h"

#include <algorithm>
#include <charconv>

#include "console/console.h"
#include "console/dos_keys.h"
#include "exercises/session.h"
#include "support/program_environment.h"
#include "support/text_file.h"
#include "support/text_helpers.h"

namespace radevir {

namespace {

const Bytes kEmpty;

bool IsMarkLetter(char c) { return c >= 'a' && c <= 'j'; }

// A whole field as a signed number: an optional sign and digits, nothing else.
bool FieldToInt(std::string_view text, int& value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.front() == '+') return false;
    int parsed = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    value = parsed;
    return true;
}

}  // namespace

const Bytes& TaskList::Line(int n) const {
    if (n < 1 || n > Count()) return kEmpty;
    return lines[static_cast<size_t>(n - 1)];
}

void TaskList::Clear() {
    lines.clear();
    position = 1;
    sourcePath.clear();
    relativeName.clear();
    fileName.clear();
}

void TaskList::SetLines(const std::vector<Bytes>& fileLines) {
    lines.clear();
    for (const Bytes& line : fileLines) {
        if (line.empty()) continue;
        if (Count() >= kMaxLines) break;
        lines.push_back(line);
    }
}

bool IsSeparatorLine(std::string_view line) {
    return line.size() == 1 && static_cast<unsigned char>(line[0]) > ']';
}

bool IsHintLine(std::string_view line) { return !line.empty() && line[0] == '!'; }

Task PrepareTaskLine(std::string_view rawLine, bool markingAllowed) {
    Task task;
    task.rawLine = Bytes(rawLine);
    Bytes text;
    int gapsBefore = 0;
    for (size_t i = 0; i < rawLine.size(); ++i) {
        const char c = rawLine[i];
        if (IsMarkLetter(c)) {
            if (task.markEnd == 0) {
                task.markStart = static_cast<int>(i) + 1 - gapsBefore;
                task.markEnd = task.markStart + (c - 'a' + 1);
            }
            continue;
        }
        if (c == '_') ++gapsBefore;
        text.push_back(c);
    }
    if (task.markEnd > 0 && static_cast<int>(text.size()) < task.markEnd)
        task.markEnd = static_cast<int>(text.size()) + 1;
    if (!markingAllowed) task.markStart = task.markEnd = 0;

    for (size_t at = text.find('_'); at != Bytes::npos; at = text.find('_')) {
        text.erase(at, 1);
        if (at >= text.size()) break;  // a "_" at the very end has nothing to hide
        const TaskGap gap{static_cast<int>(at) + 1, text[at]};
        if (static_cast<int>(task.gaps.size()) < Task::kMaxGaps) task.gaps.push_back(gap);
        else task.gaps.back() = gap;  // further gaps overwrite the last entry
    }
    // Underscores behind the marked part no longer count: keep the end within the text.
    if (task.markEnd > static_cast<int>(text.size()) + 1) task.markEnd = static_cast<int>(text.size()) + 1;
    task.displayText = std::move(text);
    return task;
}

const Bytes& ColumnTask::Field(int n) const {
    if (n < 1 || n > fieldCount) return kEmpty;
    return fields[static_cast<size_t>(n - 1)];
}

int ColumnTask::Value(int n) const {
    if (n < 1 || n > kMaxFields) return 0;
    return values[static_cast<size_t>(n - 1)];
}

ColumnTask ClassifyColumnTask(std::string_view text) {
    ColumnTask task;
    int plus = 0, minus = 0, times = 0, divide = 0, equals = 0, brackets = 0, errors = 0;
    bool tooManyFields = false;
    size_t fieldStart = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) continue;
        if (c == '=' || c == '+' || c == '-' || c == '*' || c == ':' || c == '/') {
            switch (c) {
                case '=': ++equals; break;
                case '+': ++plus; break;
                case '-': ++minus; break;
                case '*': ++times; break;
                default: ++divide; break;
            }
            if (task.fieldCount < ColumnTask::kMaxFields) {
                task.fields[static_cast<size_t>(task.fieldCount++)] =
                    Bytes(text.substr(fieldStart, std::min<size_t>(i - fieldStart, ColumnTask::kMaxFieldLength)));
            } else {
                tooManyFields = true;
            }
            fieldStart = i;
        } else if (c == '(' || c == ')') {
            ++brackets;
        } else {
            const bool allowed = equals == 1 && (divide == 1 || times == 1);
            if (!allowed) ++errors;
            ++task.foreignCharacters;
        }
    }
    task.plusCount = plus;

    int op = kNoOperation;
    if (plus > 0 && minus == 0 && times == 0 && divide == 0) op = kAddition;
    else if (minus > 0 && plus == 0 && times == 0 && divide == 0) op = kSubtraction;
    else if (times == 1 && plus == 0 && minus == 0 && divide == 0 && task.fieldCount == 2) op = kMultiplication;
    else if (divide == 1 && plus == 0 && minus == 0 && times == 0 && task.fieldCount == 2) op = kDivision;
    if (brackets > 0 || errors > 0 || tooManyFields) op = kNoOperation;
    if (op == kAddition && plus > 13) op = kNoOperation;

    if (op == kAddition || op == kSubtraction) {
        long long sum = 0;
        for (int n = 0; n < task.fieldCount; ++n) {
            const Bytes& field = task.fields[static_cast<size_t>(n)];
            if (field.empty()) continue;
            int value = 0;
            if (!FieldToInt(field, value)) {
                op = kNoOperation;
                break;
            }
            task.values[static_cast<size_t>(n)] = value;
            sum += value;
        }
        if (op == kSubtraction && sum < 0) op = kNoOperation;
    } else if (op == kMultiplication || op == kDivision) {
        int first = 0, second = 0;
        const Bytes& f2 = task.fields[1];
        if (!FieldToInt(task.fields[0], first) || f2.size() < 2 ||
            !FieldToInt(std::string_view(f2).substr(1), second) || second == 0) {
            op = kNoOperation;
        } else {
            task.values[0] = first;
            task.values[1] = second;
        }
    }
    task.operation = op;
    return task;
}

ColumnTask ClassifyColumnTask(Console& console, std::string_view displayText) {
    ColumnTask task = ClassifyColumnTask(displayText);
    for (int i = 0; i < task.foreignCharacters; ++i) {
        console.Sound(800, 100);
        console.Delay(20);
    }
    return task;
}

void CheckColumnRange(ColumnTask& task) {
    const int len1 = static_cast<int>(task.Field(1).size());
    const int len2 = static_cast<int>(task.Field(2).size());
    if (task.operation == kMultiplication) {
        if (len1 + len2 > 10) task.operation = kNoOperation;
    } else if (task.operation == kDivision) {
        if (len1 > 8 || len1 + len2 > 14 || (len1 > 6 && len1 - 6 >= len2) ||
            task.Value(1) < task.Value(2))
            task.operation = kNoOperation;
    }
}

bool LoadTaskFile(Session& session, const Bytes& path, int startIndex) {
    std::vector<Bytes> fileLines;
    // a task file is read only as far as the lines a run can hold
    const TextReadLimit limit{.maxLines = TaskList::kMaxLines, .skipEmptyLines = true};
    if (!ReadTextFileLines(session.env.NativePath(path), fileLines, limit)) return false;
    TaskList list;
    list.SetLines(fileLines);
    if (list.Count() == 0) return false;  // nothing to work: keep the list we have
    list.sourcePath = session.env.ResolvePath(path);
    list.relativeName = MakeRelativePath(session.ProgramFolder(), list.sourcePath);
    const NameParts parts = ExeNameParts(list.sourcePath);
    list.fileName = parts.name + parts.extension;
    list.position = std::clamp(startIndex + 1, 1, list.Count());
    session.tasks = std::move(list);
    session.taskFilePath = session.tasks.sourcePath;
    return true;
}

bool LoadTaskListFromChooser(Session& session) {
    const ProgramCode program = session.programCode;
    const bool forEditor = program == ProgramCode::TaskEditor;
    const Bytes mental = session.taskFolder + "\\Kopfrechnen";
    const Bytes written = session.taskFolder + "\\Schriftliches Rechnen";
    const Bytes path =
        session.ProgramFolder() + (program == ProgramCode::WrittenArithmetic || forEditor ? written : mental);
    const Bytes editorFolder = forEditor ? session.ProgramFolder() + mental : Bytes();
    const Bytes recentFile = "bgi7\\letzte" + std::to_string(ProgramNumber(program)) + ".txt";

    bool markDigits = session.options.highlightCurrentDigits;
    int help = session.options.writtenHelpFlags;
    int startIndex = 0;
    std::vector<Bytes> files;
    const bool chosen = session.console.ChooseListFile(path, editorFolder, recentFile, markDigits,
                                                       help, startIndex, files);
    session.options.highlightCurrentDigits = markDigits;
    session.options.writtenHelpFlags = help;
    if (chosen && !files.empty() && LoadTaskFile(session, files.front(), startIndex)) return true;
    session.menuKey = doskey::kBackToMenu;
    return false;
}

}  // namespace radevir
