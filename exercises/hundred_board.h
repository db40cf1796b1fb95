// The hundred board help: a 10 × 10 board of the numbers 1 to 100 on which a task is coloured
// cell by cell, in three levels (colours only, counting numbers, all numbers). The board task is
// derived from the task text; in column arithmetic only the column being worked is shown.
#pragma once

#include <array>
#include <string_view>

#include "support/codepage.h"

namespace radevir {

struct Session;

// Levels, from the requesting key: F1/Left H1, F2/Up/Down H2, F3/Right H3; 0 for other keys.
int HundredBoardLevel(unsigned char key);

// In column arithmetic the board shows one column; outside it `active` is false.
struct BoardColumn {
    bool active = false;
    int columnIndex = 0;  // 0 units, 1 tens, 2 hundreds …
    int carryValue = 0;
    Bytes subTaskTitle;   // shown after the operation's title for the settings that ask for it
};

// The task as the board shows it.
struct BoardTask {
    static constexpr int kMaxValues = 20;
    int operation = 0;  // 0 not displayable, 1 +, 2 -, 3 *, 4 :
    std::array<int, kMaxValues> values{};
    int valueCount = 0;
    int total = 0;          // addition: the sum
    int foreignCharacters = 0;  // characters that beep
    Bytes title;            // column arithmetic: "Übertrag eintragen" or empty
};
BoardTask MakeBoardTask(std::string_view taskText, const BoardColumn& column, int hundredBoardOption);

// One cell of the drawn board.
struct BoardCell {
    int colour = 7;
    int number = 0;        // 0: no number written
    bool struckOut = false;
};
// The 100 cells (index 0 is the number 1) for a displayable task at a level 1..3.
std::array<BoardCell, 100> BoardCells(const BoardTask& task, int level, bool columnArithmetic);

// Top-left corner of the cell of number k (1..100), in 640×480 units, from the board origin.
struct BoardPoint {
    int x = 0, y = 0;
};
BoardPoint BoardCellOrigin(int k, bool columnArithmetic);

// Draws the board for the task text, waits for a key (left waiting), restores the screen and
// reads away waiting keys. Logs "(H1)".."(H3)" and sets the task's wrong mark when it could be
// shown. Returns false when the task was not displayable.
bool ShowHundredBoard(Session& session, std::string_view taskText, unsigned char key,
                      const BoardColumn& column = {});

}  // namespace radevir
