// The hundred board's pure parts: the board task from a task text and the cells for a level.
// Drawing and waiting are in hundred_board.cpp.
#include <algorithm>
#include <charconv>
#include <optional>

#include "exercises/hundred_board.h"
#include "console/dos_keys.h"
#include "exercises/task_model.h"
#include "support/text_helpers.h"

namespace radevir {

namespace {

// --- colours ------------------------------------------------------------------------------------
constexpr int kFirstColour = 12;          // first addend, first subtrahend
constexpr int kSecondColour = 10;         // second addend, the difference
constexpr int kSeventhAddendColour = 1;   // the 7th would vanish in the empty colour
constexpr int kSeventhSubtrahendColour = 14;
constexpr int kGroupColourA = 10;         // groups of a product or quotient take turns
constexpr int kGroupColourB = 12;
constexpr int kBeyondTenRowsColourA = 11;  // groups of a product beyond ten rows
constexpr int kBeyondTenRowsColourB = 3;
constexpr int kUpToTenRowsColour = 8;      // the product's rows the multiplier does not fill
constexpr int kRemainderColour = 4;

constexpr int kBoardMaximum = 100;
constexpr int kGroupsInTenRows = 10;

constexpr int kUnitsColumn = 0;
constexpr int kTensColumn = 1;
constexpr int kHundredsColumn = 2;

// --- parsing ----------------------------------------------------------------------------------

struct SplitText {
    std::array<Bytes, BoardTask::kMaxFields> fields{};
    int fieldCount = 0;
    int operation = kNoOperation;
    int foreignCharacters = 0;
};

bool IsTimes(char c) { return c == '*' || c == 'x'; }

// Fields and operation as column arithmetic takes them, with "x" as a times sign. A line that
// needs more than 20 fields is not shown (the board would leave part of the task out).
SplitText Split(std::string_view text) {
    SplitText split;
    int plus = 0, minus = 0, times = 0, divide = 0, equals = 0, brackets = 0, errors = 0;
    bool tooManyFields = false;
    size_t fieldStart = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) continue;
        if (c == '=' || c == '+' || c == '-' || IsTimes(c) || c == ':' || c == '/') {
            if (c == '=') ++equals;
            else if (c == '+') ++plus;
            else if (c == '-') ++minus;
            else if (IsTimes(c)) ++times;
            else ++divide;
            if (split.fieldCount < BoardTask::kMaxFields) {
                split.fields[static_cast<size_t>(split.fieldCount++)] =
                    Bytes(text.substr(fieldStart, std::min<size_t>(i - fieldStart, ColumnTask::kMaxFieldLength)));
            } else {
                tooManyFields = true;
            }
            fieldStart = i;
        } else if (c == '(' || c == ')') {
            ++brackets;
        } else {
            // a result such as "3 R 2" may follow the "=" of a multiplication or division
            const bool allowed = equals == 1 && (divide == 1 || times == 1);
            if (!allowed) ++errors;
            ++split.foreignCharacters;
        }
    }
    int op = kNoOperation;
    if (plus > 0 && minus == 0 && times == 0 && divide == 0) op = kAddition;
    else if (minus > 0 && plus == 0 && times == 0 && divide == 0) op = kSubtraction;
    else if (times == 1 && plus == 0 && minus == 0 && divide == 0 && split.fieldCount == 2) op = kMultiplication;
    else if (divide == 1 && plus == 0 && minus == 0 && times == 0 && split.fieldCount == 2) op = kDivision;
    constexpr int kMostPlusSigns = 13;
    if (brackets > 0 || errors > 0 || tooManyFields || (op == kAddition && plus > kMostPlusSigns)) op = kNoOperation;
    split.operation = op;
    return split;
}

// A whole field as a number: an optional sign, then digits only. An empty field is 0.
std::optional<int> WholeValue(std::string_view field) {
    if (field.empty()) return 0;
    bool negative = false;
    if (field.front() == '+' || field.front() == '-') {
        negative = field.front() == '-';
        field.remove_prefix(1);
    }
    if (field.empty()) return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (ec != std::errc() || end != field.data() + field.size()) return std::nullopt;
    return negative ? -value : value;
}

// The digit of the field in the column being worked (counted from the right; 0 when the field
// is too short or holds no digit there).
int ColumnDigit(std::string_view field, int columnIndex) {
    const long long position = static_cast<long long>(field.size()) - columnIndex;  // 1-based
    if (columnIndex < 0 || position < 1) return 0;
    const char c = field[static_cast<size_t>(position - 1)];
    return IsDigit(c) ? c - '0' : 0;
}

BoardTask NotDisplayable(BoardTask task) {
    task.operation = kNoOperation;
    return task;
}

}  // namespace

int HundredBoardLevel(unsigned char key) {
    switch (key) {
        case doskey::kF1:
        case doskey::kLeft:
            return 1;
        case doskey::kF2:
        case doskey::kUp:
        case doskey::kDown:
            return 2;
        case doskey::kF3:
        case doskey::kRight:
            return 3;
        default:
            return 0;
    }
}

BoardTask MakeBoardTask(std::string_view taskText, const BoardColumn& column, int hundredBoardOption) {
    const SplitText split = Split(taskText);
    BoardTask task;
    task.foreignCharacters = split.foreignCharacters;
    task.operation = split.operation;
    if (task.operation == kNoOperation) return task;

    const int option = std::clamp(hundredBoardOption, 0, 7);
    const int columnIndex = std::max(column.columnIndex, 0);
    // A one-step task of the column counts whole; otherwise column arithmetic shows the digits
    // of the column being worked.
    const bool digitsOnly = column.active && column.subTaskTitle.empty();
    const bool reverse = column.active && BoardReversesOrder(option);
    const int placeFactor = digitsOnly && BoardCountsTensAsTens(option) && columnIndex == kTensColumn ? 10 : 1;
    const int carry = digitsOnly && columnIndex > kUnitsColumn ? std::max(column.carryValue, 0) : 0;
    const int carryFactor = BoardCountsTensAsTens(option) ? 10 : 1;

    // the operands, with the sign of their field
    std::array<long long, BoardTask::kMaxValues> operands{};
    int count = split.fieldCount;
    for (int n = 0; n < count; ++n) {
        const Bytes& field = split.fields[static_cast<size_t>(n)];
        long long value = 0;
        if (digitsOnly) {
            value = static_cast<long long>(ColumnDigit(field, columnIndex)) * placeFactor;
            if (task.operation == kSubtraction && n > 0) value = -value;
        } else {
            // multiplication and division need both operands; their second field starts with
            // its operator
            const bool twoOperands = task.operation == kMultiplication || task.operation == kDivision;
            const std::string_view text = twoOperands && n > 0 ? std::string_view(field).substr(1) : std::string_view(field);
            const std::optional<int> whole = WholeValue(text);
            if (!whole || (twoOperands && text.empty())) return NotDisplayable(task);
            value = *whole;
        }
        operands[static_cast<size_t>(n)] = value;
    }

    long long result = 0;
    switch (task.operation) {
        case kAddition: {
            long long columnTotal = 0;
            for (int n = 0; n < count; ++n) columnTotal += operands[static_cast<size_t>(n)];
            if (carry > 0) operands[static_cast<size_t>(count++)] = static_cast<long long>(carry) * carryFactor;
            if (reverse) std::reverse(operands.begin(), operands.begin() + count);
            for (int n = 0; n < count; ++n) result += operands[static_cast<size_t>(n)];
            if (result > kBoardMaximum) return NotDisplayable(task);
            if (digitsOnly && BoardCountsTensAsTens(option) && columnIndex > kTensColumn) {
                // Beyond the tens the board has no room; only a column that holds nothing but
                // the carry is shown, to say that the carry goes down.
                if (columnIndex != kHundredsColumn || columnTotal != 0) return NotDisplayable(task);
                task.title = "Übertrag eintragen"_b;
            }
            break;
        }
        case kSubtraction: {
            if (carry > 0) operands[static_cast<size_t>(count++)] = -static_cast<long long>(carry) * carryFactor;
            if (reverse) std::reverse(operands.begin() + 1, operands.begin() + count);
            long long subtrahends = 0;
            for (int n = 1; n < count; ++n) subtrahends += operands[static_cast<size_t>(n)];
            long long& minuend = operands[0];
            if (digitsOnly) {
                if (BoardCountsTensAsTens(option) && columnIndex > kTensColumn) return NotDisplayable(task);
                // A column that comes out negative borrows as on paper, while the whole minuend
                // has that much to give.
                const long long whole = WholeValue(split.fields[0]).value_or(0);
                const long long borrow = columnIndex == kTensColumn && BoardCountsTensAsTens(option) ? 100 : 10;
                while (minuend + subtrahends < 0 && whole >= minuend + borrow) minuend += borrow;
            }
            result = minuend + subtrahends;
            if (subtrahends < -kBoardMaximum || minuend > kBoardMaximum || result < 0) return NotDisplayable(task);
            break;
        }
        case kMultiplication: {
            if (digitsOnly && BoardCountsTensAsTens(option) && columnIndex > kTensColumn) return NotDisplayable(task);
            result = operands[0] * operands[1];
            if (operands[0] < 0 || operands[1] < 0 || result > kBoardMaximum) return NotDisplayable(task);
            break;
        }
        case kDivision: {
            if (digitsOnly && BoardCountsTensAsTens(option) && columnIndex > kTensColumn) return NotDisplayable(task);
            // a divisor of 0 cuts nothing into groups
            if (operands[1] <= 0 || operands[0] < operands[1] || operands[0] > kBoardMaximum) return NotDisplayable(task);
            result = operands[0] / operands[1];
            break;
        }
        default:
            return NotDisplayable(task);
    }

    // Every operand is within the board now (or the product of two within it), so they fit.
    task.valueCount = count;
    for (int n = 0; n < count; ++n) task.values[static_cast<size_t>(n)] = static_cast<int>(operands[static_cast<size_t>(n)]);
    task.total = static_cast<int>(result);
    return task;
}

namespace {

int AddendColour(int index) {  // 1-based index among the values
    if (index == 2) return kSecondColour;
    if (index == 7) return kSeventhAddendColour;
    return index;
}

int SubtrahendColour(int index) {  // 1-based index among the values; the minuend is 1
    if (index == 2) return kFirstColour;
    if (index == 7) return kSeventhSubtrahendColour;
    return index;
}

// Fills `length` cells from `next` in one colour, counting them from 1 for the middle level.
void ColourRun(std::array<BoardCell, kBoardCells>& cells, int& next, int length, int colour, bool struckOut,
               int level) {
    for (int j = 1; j <= length && next < kBoardCells; ++j, ++next) {
        BoardCell& cell = cells[static_cast<size_t>(next)];
        cell.colour = colour;
        cell.struckOut = struckOut;
        if (level == 2) cell.number = j;
    }
}

}  // namespace

std::array<BoardCell, kBoardCells> BoardCells(const BoardTask& task, int level) {
    std::array<BoardCell, kBoardCells> cells{};
    const auto value = [&](int n) { return task.values[static_cast<size_t>(n)]; };
    int next = 0;  // index of the next cell to colour
    switch (task.operation) {
        case kAddition: {
            bool first = true;
            for (int n = 0; n < task.valueCount; ++n) {
                if (value(n) <= 0) continue;
                ColourRun(cells, next, value(n), first ? kFirstColour : AddendColour(n + 1), false, level);
                first = false;
            }
            break;
        }
        case kSubtraction: {
            // the difference first, then the subtrahends struck out backwards up to the minuend
            ColourRun(cells, next, task.total, kSecondColour, false, level);
            for (int n = task.valueCount - 1; n >= 1; --n) {
                if (value(n) >= 0) continue;
                ColourRun(cells, next, -value(n), SubtrahendColour(n + 1), true, level);
            }
            break;
        }
        case kMultiplication: {
            const int a = value(0), b = value(1);
            const int product = a * b;
            for (int k = 1; k <= kBoardCells && b > 0; ++k) {
                BoardCell& cell = cells[static_cast<size_t>(k - 1)];
                const int group = (k - 1) / b;
                if (k <= product) {
                    if (group < kGroupsInTenRows) {
                        cell.colour = group % 2 == 0 ? kGroupColourA : kGroupColourB;
                    } else {
                        cell.colour = (group - kGroupsInTenRows) % 2 == 0 ? kBeyondTenRowsColourA : kBeyondTenRowsColourB;
                    }
                    if (level == 2) cell.number = (k - 1) % b + 1;
                } else if (k <= kGroupsInTenRows * b) {
                    cell.colour = kUpToTenRowsColour;
                }
            }
            break;
        }
        case kDivision: {
            const int dividend = value(0), divisor = value(1);
            const int grouped = divisor > 0 ? dividend / divisor * divisor : 0;
            for (int k = 1; k <= kBoardCells && divisor > 0; ++k) {
                BoardCell& cell = cells[static_cast<size_t>(k - 1)];
                const int group = (k - 1) / divisor;
                if (k <= grouped) {
                    cell.colour = group % 2 == 0 ? kGroupColourA : kGroupColourB;
                    if (level == 2) cell.number = group + 1;
                } else if (k <= dividend) {
                    cell.colour = kRemainderColour;
                }
            }
            break;
        }
        default:
            break;
    }
    if (level == 3) {
        for (int k = 1; k <= kBoardCells; ++k) cells[static_cast<size_t>(k - 1)].number = k;
    }
    return cells;
}

}  // namespace radevir
