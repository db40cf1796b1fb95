// Written arithmetic on squared paper, the pure half: the grid level a task needs, where its rows
// start, how the task is laid out cell by cell, and every digit and carry the child is to type
// (partial products and their sum, the steps of a long division). Drawing and input are in
// column_arithmetic.cpp and column_input.cpp.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "exercises/task_model.h"
#include "support/codepage.h"

namespace radevir {

// One grid level: cell size and margins in 640×480 units. Cells are numbered from the left
// margin (cell 0), rows from the top margin (row 0 holds the task).
struct GridLevel {
    int gridSize = 9;
    int cell = 80;
    int horizontalLines = 6;
    int verticalLines = 8;
    int leftMargin = 40;
    int topMargin = 40;
    int firstRowY = 30;

    int CellLeft(int cellX) const { return leftMargin + cellX * cell; }
    int CellRight(int cellX) const { return leftMargin + (cellX + 1) * cell; }
    int RowTop(int row) const { return topMargin + row * cell; }
    int RowBottom(int row) const { return topMargin + (row + 1) * cell; }
    // Texts stand on this line: a few units above the row's lower grid line.
    int Baseline(int row) const { return firstRowY + (row + 1) * cell; }
    int CellCount() const { return verticalLines - 1; }
};

constexpr int kSmallestGrid = 4;
constexpr int kLargestGrid = 9;

// The level for `gridSize` 4..9 (other values are clamped).
GridLevel GridLevelFor(int gridSize);
// The level a task of `rows` rows and `columns` columns gets: from the rows, then corrected by
// the columns.
int GridSizeFor(int rows, int columns);
// The x of the right end of the rows (addition, subtraction, multiplication), moved left by
// whole cells so that short tasks stand towards the middle; division rows start at the left.
int RowStartX(const GridLevel& grid, int operation, int columns);

// A character of the task as it is shown.
struct SheetChar {
    int cell = 0;
    int row = 0;
    char ch = ' ';
    bool isOperator = false;
    friend bool operator==(const SheetChar&, const SheetChar&) = default;
};

// A line under `row` across the cells fromCell..toCell.
struct SheetLine {
    int row = 0;
    int fromCell = 0;
    int toCell = 0;
    friend bool operator==(const SheetLine&, const SheetLine&) = default;
};

// What one piece of input is.
enum class EntryKind {
    Result,          // the result of an addition or subtraction, with carries
    PartialProduct,  // one row of a multiplication
    ProductSum,      // the sum of the partial products, with carries
    Quotient,        // one quotient digit of a division (typed left to right)
    Product,         // a division step's product
    BroughtDown,     // the dividend digit brought down
    Difference,      // a division step's difference
};

// One piece of input, typed right to left from `rightCell` in `row` (a single digit for the
// quotient and a brought-down digit).
struct ColumnEntry {
    EntryKind kind = EntryKind::Result;
    Bytes digits;  // as written, left to right
    // carries[j]: the carry typed after the j-th digit from the right ('0': none); empty when the
    // row has no carries
    Bytes carries;
    int row = 0;
    int rightCell = 0;
    // Multiplication rows: the cell of the second factor's digit and the first factor's digits
    // being multiplied (for the frames and the hints).
    int multiplierCell = -1;
    char multiplierDigit = 0;
    int firstFactorRightCell = -1;
    Bytes firstFactor;
    // The text the hundred board shows while this entry is typed, when it is not the task's
    // own text: a one-step task with its title (single steps), or the sum of the partial
    // products as an addition.
    Bytes boardText;
    Bytes boardTitle;
    bool differenceStep = false;  // a division difference: Enter help shows the digit at once
    std::optional<SheetLine> lineAfter;  // a division step's underline, drawn after its product
};

struct ColumnPlan {
    int operation = kNoOperation;   // kNoOperation: the task cannot be worked
    bool conversionFailed = false;  // a division's numbers did not convert (the long tone)
    int rows = 0;                   // R
    int columns = 0;                // C
    int gridSize = kLargestGrid;
    int rowStartCell = 0;  // the rightmost cell of the rows; division: the first cell
    std::vector<SheetChar> task;
    std::vector<SheetLine> taskLines;  // under the operands
    std::vector<ColumnEntry> entries;  // in the order they are typed
    std::optional<SheetLine> sumLine;  // multiplication: under the partial products
    SheetLine resultLine;              // the double underline of the finished task
    Bytes remainderText;               // "Rest: 2"
    int lastRow = 0;                   // the lowest row written
};

// The digits of a column addition of the addends (digit texts), with the carry typed after each
// result digit. The carries of the last column go in front as digits. nullopt when a column's
// carry would take two digits.
struct ColumnDigits {
    Bytes digits;
    Bytes carries;
    friend bool operator==(const ColumnDigits&, const ColumnDigits&) = default;
};
std::optional<ColumnDigits> AddInColumns(const std::vector<Bytes>& addends);
// Subtraction by adding on: the subtrahends of a column and the borrowed tens are added up to
// the minuend's digit; the tens borrowed are the carry of the next column.
std::optional<ColumnDigits> SubtractByAddingOn(const Bytes& minuend,
                                               const std::vector<Bytes>& subtrahends);

// The hints a multiplication row can show after a digit, as flags of the chooser's setting.
constexpr int kValueHintFlag = 1;  // "Multiplikationswert anzeigen"
constexpr int kCarryHintFlag = 2;  // "Übertrag anzeigen"
// What is written small into the next cell after a digit of a partial product: the product of
// the digit pair and the carry into the next column (the product's tens, one more when the
// digit typed is smaller than the product's last digit, so that the carry brought in is
// counted). An empty text is not written; with the carry hint on, a carry of 0 writes neither.
struct MultiplicationHint {
    Bytes value;
    Bytes carry;
    friend bool operator==(const MultiplicationHint&, const MultiplicationHint&) = default;
};
MultiplicationHint HintAfterDigit(int multiplierDigit, int factorDigit, int typedDigit, int flags);

// The whole plan of a classified task. `singleSteps` (the hundred board's option above 3) gives
// a division by a one-digit number its one-step board tasks; `divisionMethod` 0 brings the next
// digit down before the difference is typed, 1 after it.
ColumnPlan PlanColumnTask(const ColumnTask& task, bool singleSteps, int divisionMethod);

}  // namespace radevir
