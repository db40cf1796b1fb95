#include "exercises/column_layout.h"

#include <algorithm>
#include <array>

#include "support/text_helpers.h"

namespace radevir {

namespace {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kMostDivisionSteps = 18;
constexpr int kMostCarry = 9;  // a carry is typed into one small cell

constexpr std::array<GridLevel, kLargestGrid - kSmallestGrid + 1> kGridLevels{{
    {4, 30, 15, 20, 35, 30, 26},
    {5, 40, 11, 15, 40, 40, 34},
    {6, 50, 9, 12, 45, 40, 32},
    {7, 60, 8, 11, 20, 30, 20},
    {8, 70, 7, 9, 40, 30, 20},
    {9, 80, 6, 8, 40, 40, 30},
}};

int DigitAt(std::string_view digits, int columnFromRight) {
    const int position = static_cast<int>(digits.size()) - 1 - columnFromRight;
    if (position < 0) return 0;
    return digits[static_cast<size_t>(position)] - '0';
}

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return IsDigit(c); });
}

// A digit text as a number; the texts here hold at most 20 digits of which the range rules keep
// the products and dividends far below the 64-bit limit.
long long Value(std::string_view digits) {
    long long value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
}

Bytes Text(long long value) {
    return std::to_string(value);
}

// Leading zeros of a difference are not typed, as on paper; one digit stays. A sum keeps its
// columns: "05+03=" is worked column by column, the 0 of the tens included.
void DropLeadingZeros(ColumnDigits& d) {
    size_t zeros = 0;
    while (zeros + 1 < d.digits.size() && d.digits[zeros] == '0') ++zeros;
    d.digits.erase(0, zeros);
    d.carries.erase(0, zeros);
}

// The field's digits without its operator character (field 1 has none).
Bytes FieldDigits(const ColumnTask& task, int n) {
    const Bytes& field = task.Field(n);
    return n == 1 ? field : field.substr(std::min<size_t>(1, field.size()));
}

bool IsOperatorChar(char c) {
    return c == '+' || c == '-' || c == '*' || c == ':' || c == '/' || c == '=';
}

// Characters written right to left from `rightCell`.
void PlaceRightAligned(std::vector<SheetChar>& out, std::string_view text, int rightCell, int row) {
    const int n = static_cast<int>(text.size());
    for (int i = 0; i < n; ++i) {
        const char c = text[static_cast<size_t>(i)];
        out.push_back({rightCell - (n - 1 - i), row, c == '/' ? ':' : c, IsOperatorChar(c)});
    }
}

void ChooseGrid(ColumnPlan& plan) {
    plan.gridSize = GridSizeFor(plan.rows, plan.columns);
    const GridLevel grid = GridLevelFor(plan.gridSize);
    plan.rowStartCell =
        (RowStartX(grid, plan.operation, plan.columns) - grid.leftMargin) / grid.cell;
    if (plan.operation != kDivision) --plan.rowStartCell;  // the cell that ends at the row start
}

ColumnPlan Rejected(ColumnPlan plan) {
    plan.operation = kNoOperation;
    plan.entries.clear();
    return plan;
}

ColumnPlan PlanAdditionOrSubtraction(const ColumnTask& task) {
    ColumnPlan plan;
    plan.operation = task.operation;
    std::vector<Bytes> shown;  // the non-empty fields, as written
    std::vector<Bytes> numbers;
    for (int n = 1; n <= task.fieldCount; ++n) {
        if (task.Field(n).empty()) continue;
        const Bytes digits = FieldDigits(task, n);
        if (!AllDigits(digits)) return Rejected(plan);
        shown.push_back(task.Field(n));
        numbers.push_back(digits);
        plan.columns =
            std::max<int>(plan.columns, static_cast<int>(task.Field(n).size()) + (n == 1 ? 1 : 0));
    }
    if (numbers.empty()) return Rejected(plan);
    plan.rows = static_cast<int>(numbers.size());
    std::optional<ColumnDigits> result;
    if (task.operation == kAddition) {
        result = AddInColumns(numbers);
    } else {
        result = SubtractByAddingOn(numbers.front(),
                                    std::vector<Bytes>(numbers.begin() + 1, numbers.end()));
    }
    if (!result) return Rejected(plan);
    ChooseGrid(plan);

    const int right = plan.rowStartCell;
    const int leftCell = right - (plan.columns - 1);
    for (int r = 0; r < plan.rows; ++r) {
        PlaceRightAligned(plan.task, numbers[static_cast<size_t>(r)], right, r);
        // the signs stand in the leftmost column: every "-", one "+" for the last addend
        const bool signed_ = shown[static_cast<size_t>(r)].front() == '-' && r > 0;
        if (signed_) plan.task.push_back({leftCell, r, '-', true});
    }
    if (task.operation == kAddition) plan.task.push_back({leftCell, plan.rows - 1, '+', true});
    plan.taskLines.push_back({plan.rows - 1, leftCell, right});
    ColumnEntry entry;
    entry.kind = EntryKind::Result;
    entry.digits = result->digits;
    entry.carries = result->carries;
    entry.row = plan.rows;
    entry.rightCell = right;
    plan.entries.push_back(entry);
    plan.resultLine = {plan.rows, leftCell, right};
    plan.lastRow = plan.rows;
    return plan;
}

ColumnPlan PlanMultiplication(const ColumnTask& task) {
    ColumnPlan plan;
    plan.operation = kMultiplication;
    const Bytes first = FieldDigits(task, 1);
    const Bytes second = FieldDigits(task, 2);
    if (!AllDigits(first) || !AllDigits(second)) return Rejected(plan);
    plan.rows = static_cast<int>(task.Field(2).size());
    plan.columns = static_cast<int>(task.Field(1).size() + task.Field(2).size());
    ChooseGrid(plan);

    const int right = plan.rowStartCell;
    const int leftCell = right - (plan.columns - 1);
    const int multiplierDigits = static_cast<int>(second.size());
    PlaceRightAligned(plan.task, task.Field(1) + task.Field(2), right, 0);
    plan.taskLines.push_back({0, leftCell, right});

    const long long firstValue = Value(first);
    std::vector<Bytes> shifted;  // the partial products at their place value
    for (int k = 0; k < multiplierDigits; ++k) {
        const int digit = second[static_cast<size_t>(k)] - '0';
        ColumnEntry entry;
        entry.kind = EntryKind::PartialProduct;
        entry.digits = Text(firstValue * digit);
        entry.row = 1 + k;
        entry.rightCell = right - (multiplierDigits - 1 - k);
        entry.multiplierCell = entry.rightCell;
        entry.multiplierDigit = second[static_cast<size_t>(k)];
        entry.firstFactorRightCell = right - multiplierDigits - 1;
        entry.firstFactor = first;
        plan.entries.push_back(entry);
        shifted.push_back(entry.digits + Bytes(static_cast<size_t>(multiplierDigits - 1 - k), '0'));
    }
    plan.lastRow = multiplierDigits;
    if (multiplierDigits > 1) {
        const std::optional<ColumnDigits> sum = AddInColumns(shifted);
        if (!sum) return Rejected(plan);
        plan.sumLine = SheetLine{multiplierDigits, leftCell, right};
        ColumnEntry entry;
        entry.kind = EntryKind::ProductSum;
        entry.digits = sum->digits;
        entry.carries = sum->carries;
        entry.row = multiplierDigits + 1;
        entry.rightCell = right;
        // the board adds the column of the partial products, not the factors' digits
        for (const Bytes& addend : shifted)
            entry.boardText += (entry.boardText.empty() ? "" : "+") + addend;
        entry.boardText += "=";
        plan.entries.push_back(entry);
        plan.lastRow = multiplierDigits + 1;
    }
    plan.resultLine = {plan.lastRow, leftCell, right};
    return plan;
}

struct DivisionStep {
    int used = 0;  // dividend digits taken down so far
    Bytes part;    // the number divided in this step, as it comes (may start with 0)
    int quotientDigit = 0;
    long long product = 0;
    long long remainder = 0;
};

ColumnPlan PlanDivision(const ColumnTask& task, bool singleSteps, int divisionMethod) {
    ColumnPlan plan;
    plan.operation = kDivision;
    const Bytes dividend = FieldDigits(task, 1);
    const Bytes divisorText = FieldDigits(task, 2);
    if (!AllDigits(dividend) || !AllDigits(divisorText) || Value(divisorText) == 0) {
        plan.conversionFailed = true;
        return Rejected(plan);
    }
    const long long divisor = Value(divisorText);
    std::vector<DivisionStep> steps;
    size_t used = 1;
    while (used < dividend.size() && Value(std::string_view(dividend).substr(0, used)) < divisor)
        ++used;
    Bytes part = dividend.substr(0, used);
    if (Value(part) < divisor) return Rejected(plan);
    for (;;) {
        DivisionStep step;
        step.used = static_cast<int>(used);
        step.part = part;
        step.quotientDigit = static_cast<int>(Value(part) / divisor);
        step.product = step.quotientDigit * divisor;
        step.remainder = Value(part) - step.product;
        steps.push_back(step);
        if (used >= dividend.size() || static_cast<int>(steps.size()) >= kMostDivisionSteps) break;
        part = Text(step.remainder) + dividend[used];
        ++used;
    }
    const int quotientDigits = static_cast<int>(steps.size());
    const int len1 = static_cast<int>(task.Field(1).size());
    const int len2 = static_cast<int>(task.Field(2).size());
    plan.columns = quotientDigits + len1 + len2 + 1;
    plan.rows = 2 * quotientDigits;
    ChooseGrid(plan);

    const int first = plan.rowStartCell;
    const Bytes shown = task.Field(1) + task.Field(2) + "=";
    PlaceRightAligned(plan.task, shown, first + static_cast<int>(shown.size()) - 1, 0);
    const int quotientCell = first + static_cast<int>(shown.size());
    const bool boardSteps = singleSteps && divisorText.size() == 1;
    const bool onlyQuotient = quotientDigits == 1 && steps.front().remainder == 0;
    plan.lastRow = 0;
    for (int i = 0; i < quotientDigits; ++i) {
        const DivisionStep& s = steps[static_cast<size_t>(i)];
        const Bytes partValue = Text(Value(s.part));
        ColumnEntry quotient;
        quotient.kind = EntryKind::Quotient;
        quotient.digits = Bytes(1, static_cast<char>('0' + s.quotientDigit));
        quotient.row = 0;
        quotient.rightCell = quotientCell + i;
        if (boardSteps) {
            quotient.boardText = partValue + ":" + divisorText + "=";
            quotient.boardTitle = partValue + ":" + divisorText;
        }
        plan.entries.push_back(quotient);
        if (onlyQuotient) break;

        const int partEnd = first + s.used - 1;
        ColumnEntry product;
        product.kind = EntryKind::Product;
        product.digits = Text(s.product);
        product.row = 1 + 2 * i;
        product.rightCell = partEnd;
        if (boardSteps) {
            product.boardText = quotient.digits + "*" + divisorText + "=";
            product.boardTitle = quotient.digits + "x" + divisorText;
        }
        // the line runs under what is subtracted from and the column a digit comes down into
        int partFirst = partEnd - static_cast<int>(partValue.size()) + 1;
        if (i > 0) {
            const DivisionStep& before = steps[static_cast<size_t>(i - 1)];
            const bool differenceShown = before.product < Value(before.part);
            partFirst = differenceShown ? partEnd - static_cast<int>(Text(before.remainder).size())
                                        : partEnd;
        }
        const int productFirst = partEnd - static_cast<int>(product.digits.size()) + 1;
        product.lineAfter = SheetLine{product.row, std::min(productFirst, partFirst), partEnd + 1};
        plan.entries.push_back(product);
        plan.lastRow = std::max(plan.lastRow, product.row);

        const bool last = i + 1 == quotientDigits;
        std::optional<ColumnEntry> broughtDown;
        if (!last) {
            ColumnEntry e;
            e.kind = EntryKind::BroughtDown;
            e.digits = Bytes(1, dividend[static_cast<size_t>(s.used)]);
            e.row = 2 + 2 * i;
            e.rightCell = partEnd + 1;
            broughtDown = e;
        }
        std::optional<ColumnEntry> difference;
        if (s.product < Value(s.part)) {
            ColumnEntry e;
            e.kind = EntryKind::Difference;
            e.digits = Text(s.remainder);
            e.row = 2 + 2 * i;
            e.rightCell = partEnd;
            e.differenceStep = true;
            if (boardSteps) {
                e.boardText = partValue + "-" + product.digits + "=";
                e.boardTitle = partValue + "-" + product.digits;
            }
            difference = e;
        }
        const bool bringDownFirst = divisionMethod == 0;
        if (bringDownFirst && broughtDown) plan.entries.push_back(*broughtDown);
        if (difference) plan.entries.push_back(*difference);
        if (!bringDownFirst && broughtDown) plan.entries.push_back(*broughtDown);
        if (broughtDown || difference) plan.lastRow = std::max(plan.lastRow, 2 + 2 * i);
    }
    const long long remainder = steps.back().remainder;
    if (remainder > 0) plan.remainderText = "Rest: " + Text(remainder);
    plan.resultLine = {0, quotientCell, quotientCell + quotientDigits - 1};
    return plan;
}

}  // namespace

GridLevel GridLevelFor(int gridSize) {
    return kGridLevels[static_cast<size_t>(std::clamp(gridSize, kSmallestGrid, kLargestGrid) -
                                           kSmallestGrid)];
}

int GridSizeFor(int rows, int columns) {
    int level = 4;
    if (rows <= 3)
        level = 9;
    else if (rows == 4)
        level = 8;
    else if (rows == 5)
        level = 7;
    else if (rows == 6)
        level = 6;
    else if (rows <= 8)
        level = 5;
    if (columns >= 14)
        level = 4;
    else if (columns >= 11 && level > 5)
        level = 5;
    else if (columns >= 10 && level >= 7)
        level = 6;
    else if (columns > 7 && level > 7)
        level = 7;
    else if (columns > 6 && level > 8)
        level = 8;
    return level;
}

int RowStartX(const GridLevel& grid, int operation, int columns) {
    int x = kScreenWidth - grid.leftMargin;
    if (operation == kDivision) {
        while (x > grid.leftMargin + grid.cell / 2) x -= grid.cell;
        return x;
    }
    int cells = 0;
    if (grid.gridSize >= 8) {
        cells = columns <= 3 ? 2 : columns <= 5 ? 1 : 0;
        if (operation == kMultiplication && columns == 6) ++cells;
    } else if (grid.gridSize >= 6) {
        cells = columns <= 3 ? 3 : columns <= 5 ? 2 : columns <= 7 ? 1 : 0;
    } else {
        cells = columns <= 4 ? 4 : columns <= 7 ? 3 : columns <= 10 ? 2 : columns <= 12 ? 1 : 0;
    }
    return x - cells * grid.cell;
}

std::optional<ColumnDigits> AddInColumns(const std::vector<Bytes>& addends) {
    size_t width = 0;
    for (const Bytes& a : addends) width = std::max(width, a.size());
    ColumnDigits d;
    int carry = 0;
    for (int column = 0; column < static_cast<int>(width); ++column) {
        int sum = carry;
        for (const Bytes& a : addends) sum += DigitAt(a, column);
        carry = sum / 10;
        if (carry > kMostCarry) return std::nullopt;
        d.digits.insert(d.digits.begin(), static_cast<char>('0' + sum % 10));
        d.carries.insert(d.carries.begin(), static_cast<char>('0' + carry));
    }
    if (carry > 0) {
        // the last carry is written as the first digit, not as a carry
        d.carries.front() = '0';
        d.digits.insert(d.digits.begin(), static_cast<char>('0' + carry));
        d.carries.insert(d.carries.begin(), '0');
    }
    return d;
}

std::optional<ColumnDigits> SubtractByAddingOn(const Bytes& minuend,
                                               const std::vector<Bytes>& subtrahends) {
    size_t width = minuend.size();
    for (const Bytes& s : subtrahends) width = std::max(width, s.size());
    ColumnDigits d;
    int borrowed = 0;
    for (int column = 0; column < static_cast<int>(width); ++column) {
        int below = borrowed;
        for (const Bytes& s : subtrahends) below += DigitAt(s, column);
        int top = DigitAt(minuend, column);
        borrowed = 0;
        if (top < below) {
            top += (below - top + 9) / 10 * 10;  // tens added until the column can be subtracted
            borrowed = top / 10;
        }
        if (borrowed > kMostCarry) return std::nullopt;
        d.digits.insert(d.digits.begin(), static_cast<char>('0' + top - below));
        d.carries.insert(d.carries.begin(), static_cast<char>('0' + borrowed));
    }
    if (borrowed > 0) return std::nullopt;  // the result would be negative
    DropLeadingZeros(d);
    return d;
}

MultiplicationHint HintAfterDigit(int multiplierDigit, int factorDigit, int typedDigit, int flags) {
    const int product = multiplierDigit * factorDigit;
    const int carry = product / 10 + (typedDigit < product % 10 ? 1 : 0);
    MultiplicationHint hint;
    if ((flags & kCarryHintFlag) && carry == 0) return hint;
    if (flags & kValueHintFlag) hint.value = Text(product);
    if (flags & kCarryHintFlag) hint.carry = Text(carry);
    return hint;
}

ColumnPlan PlanColumnTask(const ColumnTask& task, bool singleSteps, int divisionMethod) {
    ColumnPlan plan;
    switch (task.operation) {
        case kAddition:
        case kSubtraction:
            plan = PlanAdditionOrSubtraction(task);
            break;
        case kMultiplication:
            plan = PlanMultiplication(task);
            break;
        case kDivision:
            plan = PlanDivision(task, singleSteps, divisionMethod);
            break;
        default:
            return ColumnPlan{};
    }
    // Leading zeros (a divisor 00005) can make a task wider or longer than the paper: it is
    // refused like any task outside the range instead of being typed off the screen.
    const GridLevel grid = GridLevelFor(plan.gridSize);
    const auto onScreen = [&](int cell, int row) {
        return grid.CellLeft(cell) >= 0 && grid.CellRight(cell) <= kScreenWidth &&
               grid.Baseline(row) < kScreenHeight;
    };
    bool fits = true;
    for (const SheetChar& c : plan.task) fits = fits && onScreen(c.cell, c.row);
    for (const ColumnEntry& e : plan.entries) {
        fits = fits && onScreen(e.rightCell, e.row) &&
               onScreen(e.rightCell - static_cast<int>(e.digits.size()) + 1, e.row);
    }
    return fits ? plan : Rejected(plan);
}

}  // namespace radevir
