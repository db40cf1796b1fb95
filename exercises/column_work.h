// One written-arithmetic task on the screen, shared by the run (column_arithmetic.cpp: the sheet,
// the end of the task) and the input (column_input.cpp: digits, carries, help, hints, frames).
// Not used outside these two files.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <optional>

#include "exercises/column_layout.h"
#include "exercises/task_model.h"

namespace radevir {

class Console;
class Graphics;
struct ExerciseRun;
struct ProgramOptions;
struct Session;

// The colours of the sheet, by scheme (blue paper or grey paper) and the operator highlight.
struct ColumnColours {
    int paper = 1;
    int grid = 0;
    int background = 7;
    int taskDigit = 14;
    int operatorSign = 11;
    int typed = 15;
    int helpMark = 12;
    int blink = 13;
    int carryPrompt = 11;
    int underline = 7;
    QColor productHint{0xC0, 0xC0, 0xC0};  // no colour of the palette: drawn as it is
    int carryHint = 11;
};
ColumnColours ColumnColoursFor(const ProgramOptions& options);

// A piece of the screen kept to be put back (blinking, hints, frames).
class SavedPatch {
  public:
    SavedPatch() = default;
    SavedPatch(Graphics& g, QRect vgaRect);
    void Restore(Graphics& g) const;
    bool Empty() const { return picture_.isNull(); }

  private:
    QRect rect_;
    QImage picture_;
};

enum class TaskExit { Solved, Escaped, Skipped };

class ColumnWork {
  public:
    ColumnWork(Session& session, const ColumnTask& task, const ColumnPlan& plan);

    void DrawSheet();
    // Types every entry; the key that ended the task is in Exit().
    TaskExit Work();
    // The double underline and the remainder of a solved task.
    void DrawResult();
    void RemoveFrames();

  private:
    // --- drawing helpers ---
    void UseDigitFont();
    void DrawChar(int cell, int row, char ch, int colour);
    void DrawLine(const SheetLine& line, int bands, int linesPerBand);
    QRect CellRect(int cell, int row) const;
    QPoint CarryPoint(int cell, int row) const;  // right/bottom corner of the carry print
    void UseCarryFont();

    // --- input ---
    bool TypeEntry(const ColumnEntry& entry);
    bool TypeDigit(const ColumnEntry& entry, int indexFromRight);
    bool TypeCarry(int cell, int row, char expected);
    // Reads one key for the cell (kept clean in `cell`); Enter help and board keys are handled
    // inside. Returns false when the task ends (Esc confirmed, skip key).
    bool ReadDigit(const SavedPatch& clean, int cell, int row, char expected, unsigned char& key);
    void WrongDigit(const ColumnEntry& entry, int cell, int row, unsigned char key);
    void HelpStep(int cell, int row);
    void Board(unsigned char levelKey);
    // `draw` shows the character; the clean patch is put back between the phases.
    template <typename Draw>
    void BlinkUntilKey(const SavedPatch& clean, Draw draw);
    bool HandleEscape(unsigned char& key);
    void ShowHints(const ColumnEntry& entry, int indexFromRight, char typed);
    void EraseCarryHint();
    void DrawFrames(const ColumnEntry& entry, int indexFromRight);
    void SetStep(const ColumnEntry& entry, int indexFromRight);

    Session& s_;
    Graphics& g_;
    Console& c_;
    ExerciseRun& run_;
    const ProgramOptions& o_;
    const ColumnTask& task_;
    const ColumnPlan& plan_;
    GridLevel grid_;
    ColumnColours colours_;
    QFont digitFont_;
    bool digitFontReady_ = false;

    int helpCount_ = 0;
    int columnIndex_ = 0;
    int carryValue_ = 0;
    Bytes subTask_;
    Bytes subTaskTitle_;
    int subTaskState_ = 0;       // 0 none, 1 a one-step task, 100 a division difference
    Bytes boardText_;            // the text for the board when there is no one-step task
    bool showExpected_ = false;  // after the fourth help step the digit blinks in the cell
    unsigned char lastKey_ = 0;
    bool lastExtended_ = false;
    TaskExit exit_ = TaskExit::Solved;

    struct Frame {
        SavedPatch top, bottom, left, right;
    };
    std::vector<Frame> frames_;
    SavedPatch carryHint_;
    int carryHintCell_ = -1, carryHintRow_ = -1;
    // the digit typed last: drawn again when the carry hint in its cell is erased
    int lastTypedCell_ = -1, lastTypedRow_ = -1;
    char lastTypedDigit_ = 0;
};

}  // namespace radevir
