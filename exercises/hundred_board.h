// The hundred board help: a 10 × 10 board of the numbers 1 to 100 on which a task is coloured
// cell by cell, in three levels (colours only, counting numbers, all numbers). The board task is
// derived from the task text; in column arithmetic only the column being worked is shown. The
// pure parts (task, cells, geometry) are separate from the drawing and waiting.
#pragma once

#include <array>
#include <string_view>

#include "support/codepage.h"

namespace radevir {

struct Session;

// Levels, from the requesting key: F1/Left H1, F2/Up/Down H2, F3/Right H3; 0 for other keys.
int HundredBoardLevel(unsigned char key);

// In column arithmetic the board shows one column; outside it `active` is false (and the
// board's option is not used).
struct BoardColumn {
    bool active = false;
    int columnIndex = 0;  // 0 units, 1 tens, 2 hundreds …
    int carryValue = 0;
    // Set while the board is given a one-step task of the column ("17:5=", "7*8="): shown after
    // the operation's title for the settings that ask for it, and its numbers count whole.
    Bytes subTaskTitle;
};

// The task as the board shows it.
struct BoardTask {
    static constexpr int kMaxFields = 20;
    static constexpr int kMaxValues = kMaxFields + 1;  // the fields and a column's carry
    int operation = 0;  // 0 not displayable, 1 +, 2 -, 3 *, 4 : (the TaskOperation values)
    // Addition: the addends in board order. Subtraction: the minuend, then the subtrahends as
    // negative values in board order. Multiplication and division: the two operands.
    std::array<int, kMaxValues> values{};
    int valueCount = 0;
    int total = 0;              // addition: the sum; subtraction: the result
    int foreignCharacters = 0;  // characters that beep
    Bytes title;                // column arithmetic: "Übertrag eintragen" or empty
};
// `hundredBoardOption` is the option 0..7 (orientation and numbering); it counts only in column
// arithmetic.
BoardTask MakeBoardTask(std::string_view taskText, const BoardColumn& column, int hundredBoardOption);

// One cell of the drawn board.
struct BoardCell {
    int colour = 7;
    int number = 0;        // 0: no number written
    bool struckOut = false;
};
constexpr int kBoardCells = 100;
// The 100 cells (index 0 is the number 1) for a displayable task at a level 1..3.
std::array<BoardCell, kBoardCells> BoardCells(const BoardTask& task, int level);

// --- geometry, in 640×480 units ------------------------------------------------------------------
struct BoardPoint {
    int x = 0, y = 0;
    friend bool operator==(const BoardPoint&, const BoardPoint&) = default;
};
constexpr int kBoardCellSize = 24;
// The board falls into four quarters of 5 × 5 cells with a gap between them.
constexpr int kBoardQuarterCells = 5;
constexpr int kBoardQuarterGap = 3;

// Top-left corner of the board; in column arithmetic it stands beside the squared paper.
constexpr BoardPoint BoardOrigin(bool columnArithmetic) {
    return columnArithmetic ? BoardPoint{8, 220} : BoardPoint{200, 10};
}
// Top-left corner of the cell of number k (1..100).
constexpr BoardPoint BoardCellOrigin(int k, bool columnArithmetic) {
    constexpr int kColumns = 10;
    const BoardPoint origin = BoardOrigin(columnArithmetic);
    const int row = (k - 1) / kColumns;
    const int column = (k - 1) % kColumns;
    return {origin.x + kBoardCellSize * column + (column >= kBoardQuarterCells ? kBoardQuarterGap : 0),
            origin.y + kBoardCellSize * row + (row >= kBoardQuarterCells ? kBoardQuarterGap : 0)};
}

// The board's option (0..7, counted only in column arithmetic): odd settings ("↑") turn the
// order of addends and subtrahends round; below 4 the tens column counts ten times (from 4 on
// column arithmetic hands the board single steps); 2, 3, 6 and 7 ("+") add the step's title.
constexpr bool BoardReversesOrder(int option) { return option % 2 == 1; }
constexpr bool BoardCountsTensAsTens(int option) { return option < 4; }
constexpr bool BoardShowsStepTitle(int option) { return option == 2 || option == 3 || option == 6 || option == 7; }

// Draws the board for the task text, waits for a key, restores the screen and reads away the
// waiting keys. Logs "(H1)".."(H3)" and sets the task's wrong mark when it could be shown.
// Returns false when the task was not displayable (the not-displayable panel was shown; nothing
// is logged). Without session.graphics nothing is drawn, the rest happens as usual.
bool ShowHundredBoard(Session& session, std::string_view taskText, unsigned char key,
                      const BoardColumn& column = {});

}  // namespace radevir
