// The written-arithmetic run: task after task from the list, the sheet of squared paper with the
// task laid out, the input (column_input.cpp), the end of a task with its pause and wipe, the
// rejection screen for a task that cannot be worked, and the end of the run.
#include "exercises/column_arithmetic.h"

#include <algorithm>

#include "console/console.h"
#include "console/dos_keys.h"
#include "exercises/column_work.h"
#include "exercises/exercise_run.h"
#include "exercises/hundred_board.h"
#include "exercises/session.h"
#include "graphics/graphics.h"

namespace radevir {

namespace {

constexpr int kSolidFill = 1;
constexpr int kTaskFont = 3;
constexpr int kPlainFont = 0;
constexpr int kJustifyLeft = 0, kJustifyCentre = 1, kJustifyRight = 2;
constexpr int kJustifyBottom = 0, kJustifyTop = 2;
constexpr int kLargestTextSize = 12;  // fitted down to the cell
constexpr int kMostTasks = 80;

// After a solved task: 41 pauses of 200 ms, each skipped while a key waits.
constexpr int kPauses = 41;
constexpr int kPauseMs = 200;
constexpr int kSolvedSoundWaitMs = 150;
constexpr double kWipeLineMs = 0.5;
constexpr int kWipeTop = 2;
constexpr int kWipeRight = 679;
// A division whose numbers did not convert.
constexpr int kRejectToneHz = 800;
constexpr int kRejectToneMs = 400;

const Bytes kEscapeNote = " mit ESC beendet";
const Bytes kSkipNote = " *übersprungen* "_b;
const Bytes kRejectedNote = " /Aufgabenstellung??";
const Bytes kSixBlanks = "      ";

bool BluePaper(const ProgramOptions& o) {
    return o.backgroundColour == option::BackgroundColour::kNavy;
}

void FillScreen(Session& s) {
    Graphics& g = *s.graphics;
    const ColumnColours colours = ColumnColoursFor(s.options);
    g.SetBkColor(colours.background);
    g.SetFillStyle(kSolidFill, colours.paper);
    g.Bar(0, 0, ExerciseRun::kMaxX, ExerciseRun::kMaxY);
    g.SetColor(colours.grid);
}

void DrawTaskNumber(Session& s) {
    Graphics& g = *s.graphics;
    g.SetColor(ColumnColoursFor(s.options).taskDigit);
    g.SetTextStyle(kPlainFont, 0, 1);
    g.SetTextJustify(kJustifyRight, kJustifyBottom);
    g.OutTextXY(550, 460, "Aufgabe: " + std::to_string(s.run.tasksDone));
}

// The task's line in the protocol with its end note; six blanks put it apart from solved tasks.
void NoteTaskEnd(Session& s, const Bytes& note) {
    if (Bytes* line = CurrentProtocolLine(s)) *line = kSixBlanks + *line + note;
}

void Wipe(Session& s) {
    Graphics& g = *s.graphics;
    // each line a bar one unit high: on a window taller than 480 pixels a line of one pixel
    // would leave stripes of the task behind
    g.SetFillStyle(kSolidFill, ColumnColoursFor(s.options).paper);
    for (int y = kWipeTop; y <= ExerciseRun::kMaxY; ++y) {
        g.Bar(0, y, kWipeRight, y);
        s.console.Delay(kWipeLineMs);
    }
}

// A solved task stays on the screen for a while; any key ends the pause. Returns the run's key:
// Escape when the child confirmed ending the run here.
unsigned char PauseAfterSolvedTask(Session& s) {
    Console& c = s.console;
    if (s.options.soundLevel == option::SoundLevel::kAllSounds) {
        c.Delay(kSolvedSoundWaitMs);
        c.PlayWaveFile("wavs\\richtig.wav");
    }
    for (int i = 0; i < kPauses; ++i) {
        if (!c.KeyPressed()) c.Delay(kPauseMs);
    }
    bool escape = false;
    while (c.KeyPressed()) {
        if (c.ReadKey() == doskey::kEscape && !c.LastKeyExtended()) escape = true;
    }
    if (s.options.animation == option::Switch::kOn) Wipe(s);
    if (!escape || AskQuit(s) != doskey::kEscape) return 0;
    s.run.endAfterRepeat = true;  // an orderly end: the protocol line stays
    return doskey::kEscape;
}

// A line the program cannot work: the message, a key, the protocol note.
unsigned char RejectTask(Session& s) {
    Console& c = s.console;
    Graphics& g = *s.graphics;
    FillScreen(s);
    g.SetColor(ColumnColoursFor(s.options).taskDigit);
    g.SetTextStyle(kPlainFont, 0, 2);
    g.SetTextJustify(kJustifyCentre, kJustifyCentre);
    int y = 100;
    for (const Bytes& text :
         {Bytes("Die gestellte Aufgabe"), s.run.task.displayText, Bytes("konnte nicht"),
          Bytes("+  -  *  :"), Bytes("zugeordnet werden"), "oder liegt außerhalb"_b,
          Bytes("des vorgegebenen Zahlenbereiches.")}) {
        g.OutTextXY(320, y, text);
        y += 20;
    }
    KeyClick(s);
    if (Bytes* line = CurrentProtocolLine(s)) *line += kRejectedNote;
    const unsigned char key = c.ReadKey();
    const bool escape = key == doskey::kEscape && !c.LastKeyExtended();
    FillScreen(s);
    if (escape && AskQuit(s) == doskey::kEscape) return doskey::kEscape;
    return 0;
}

// One task from its classification to its end; returns the run's key (Escape ends the run, the
// skip key keeps the task number for the next task).
unsigned char WorkTask(Session& s) {
    Console& c = s.console;
    ExerciseRun& run = s.run;
    ColumnTask task = ClassifyColumnTask(c, run.task.displayText);
    CheckColumnRange(task);
    ColumnPlan plan;
    if (task.operation != kNoOperation) {
        plan = PlanColumnTask(task, !BoardCountsTensAsTens(s.options.hundredBoard),
                              s.options.divisionMethod);
        if (plan.conversionFailed) c.Sound(kRejectToneHz, kRejectToneMs);
    }
    if (plan.operation == kNoOperation) return RejectTask(s);

    FillScreen(s);
    DrawTaskNumber(s);
    ColumnWork work(s, task, plan);
    work.DrawSheet();
    run.inputLog.clear();
    run.taskStopwatch.Start(c.GetClock());
    const TaskExit exit = work.Work();
    work.RemoveFrames();
    switch (exit) {
        case TaskExit::Escaped:
            NoteTaskEnd(s, kEscapeNote);
            FinishTaskLog(s);
            return doskey::kEscape;
        case TaskExit::Skipped:
            NoteTaskEnd(s, kSkipNote);
            FinishTaskLog(s);
            return kSkipKey;
        case TaskExit::Solved:
            break;
    }
    FinishTaskLog(s);
    work.DrawResult();
    return PauseAfterSolvedTask(s);
}

bool TimeIsUp(Session& s) {
    const ExerciseRun& run = s.run;
    if (s.options.timeLimited != option::TimeLimited::kLimited) return false;
    return run.runStopwatch.RunningSeconds(s.console.GetClock()) > run.timeLimit_s;
}

}  // namespace

ColumnColours ColumnColoursFor(const ProgramOptions& o) {
    ColumnColours c;
    const bool blue = BluePaper(o);
    const bool highlight = o.highlightOperators == option::HighlightOperators::kYes;
    c.paper = blue ? 1 : 7;
    c.grid = blue ? 0 : 1;
    c.background = blue ? 7 : 0;
    c.taskDigit = blue ? 14 : 0;
    c.operatorSign = highlight ? (blue ? 11 : 9) : c.taskDigit;
    c.typed = highlight ? (blue ? 15 : 2) : (blue ? 14 : 0);
    c.helpMark = blue ? 12 : 4;
    c.blink = blue ? 13 : 2;
    c.carryPrompt = blue ? 11 : 9;
    c.underline = blue ? 7 : (highlight ? 1 : 0);
    // The value hint's greys are none of the palette's (A0A0A0 is the grey paper itself,
    // 404040 is nearly as dark as a typed digit): it is drawn in its own quiet grey.
    c.productHint = blue ? QColor(0xC0, 0xC0, 0xC0) : QColor(0x80, 0x80, 0x80);
    c.carryHint = blue ? 11 : 9;  // cyan 00FFFF, blue 0000FF
    return c;
}

SavedPatch::SavedPatch(Graphics& g, QRect vgaRect) : rect_(vgaRect) {
    g.GetImage(vgaRect.left(), vgaRect.top(), vgaRect.right(), vgaRect.bottom(), picture_);
}

void SavedPatch::Restore(Graphics& g) const {
    if (!picture_.isNull()) g.PutImage(rect_.left(), rect_.top(), picture_);
}

ColumnWork::ColumnWork(Session& session, const ColumnTask& task, const ColumnPlan& plan)
    : s_(session),
      g_(*session.graphics),
      c_(session.console),
      run_(session.run),
      o_(session.options),
      task_(task),
      plan_(plan),
      grid_(GridLevelFor(plan.gridSize)),
      colours_(ColumnColoursFor(session.options)) {}

void ColumnWork::UseDigitFont() {
    if (!digitFontReady_) {
        g_.SetTextStyle(kTaskFont, 0, kLargestTextSize);
        g_.FitFontHeight(grid_.cell);
        digitFont_ = c_.Canvas().font;
        digitFontReady_ = true;
    }
    c_.Canvas().font = digitFont_;
    c_.Graphics().fontIndex = kTaskFont;
    g_.SetTextJustify(kJustifyRight, kJustifyBottom);
}

void ColumnWork::DrawChar(int cell, int row, char ch, int colour) {
    UseDigitFont();
    g_.SetColor(colour);
    g_.OutTextXY(grid_.CellRight(cell) - grid_.cell / 5, grid_.Baseline(row), Bytes(1, ch));
}

QRect ColumnWork::CellRect(int cell, int row) const {
    return QRect(QPoint(grid_.CellLeft(cell) + 1, grid_.RowTop(row) + 1),
                 QPoint(grid_.CellRight(cell) - 1, grid_.RowBottom(row) - 1));
}

// Bands of lines under a row, on the grid line below it: `linesPerBand` lines each, a band's
// height apart.
void ColumnWork::DrawLine(const SheetLine& line, int bands, int linesPerBand) {
    // the lines of a band lie next to each other: one solid bar on a screen of any size
    g_.SetFillStyle(kSolidFill, colours_.underline);
    const int left = grid_.CellLeft(line.fromCell);
    const int right = grid_.CellRight(line.toCell);
    const int top = grid_.Baseline(line.row) + grid_.gridSize;
    for (int band = 0; band < bands; ++band) {
        const int y = top + band * grid_.gridSize;
        g_.Bar(left, y, right, y + std::max(linesPerBand, 1) - 1);
    }
}

void ColumnWork::DrawSheet() {
    g_.SetColor(colours_.grid);
    g_.SetLineStyle(0, 0, 1);
    const int right = ExerciseRun::kMaxX + 1 - grid_.leftMargin;
    const int bottom = ExerciseRun::kMaxY + 1 - grid_.topMargin;
    for (int i = 0; i < grid_.horizontalLines; ++i) {
        const int y = grid_.topMargin + i * grid_.cell;
        g_.Line(grid_.leftMargin, y, right, y);
    }
    for (int i = 0; i < grid_.verticalLines; ++i) {
        const int x = grid_.leftMargin + i * grid_.cell;
        g_.Line(x, grid_.topMargin, x, bottom);
    }
    for (const SheetChar& ch : plan_.task)
        DrawChar(ch.cell, ch.row, ch.ch,
                 ch.isOperator ? colours_.operatorSign : colours_.taskDigit);
    for (const SheetLine& line : plan_.taskLines) DrawLine(line, 1, grid_.gridSize - 3);
}

void ColumnWork::DrawResult() {
    DrawLine(plan_.resultLine, 2, grid_.gridSize - 3);
    if (plan_.remainderText.empty()) return;
    g_.SetColor(colours_.typed);
    g_.SetTextStyle(kTaskFont, 0, 3);
    g_.SetTextJustify(kJustifyLeft, kJustifyTop);
    // under the last row; a division as long as the screen gets it beside its last row
    const int belowY = grid_.RowBottom(plan_.lastRow) + grid_.gridSize;
    if (belowY + grid_.cell / 2 <= ExerciseRun::kMaxY) {
        g_.OutTextXY(grid_.CellLeft(plan_.rowStartCell) + grid_.cell / 5, belowY,
                     plan_.remainderText);
    } else {
        int lastCell = plan_.rowStartCell;
        for (const ColumnEntry& e : plan_.entries)
            if (e.row == plan_.lastRow) lastCell = std::max(lastCell, e.rightCell);
        g_.OutTextXY(grid_.CellRight(lastCell + 1), grid_.RowTop(plan_.lastRow) + grid_.gridSize,
                     plan_.remainderText);
    }
}

void RunColumnArithmetic(Session& s) {
    if (s.graphics == nullptr) return;
    ExerciseRun& run = s.run;
    BeginRun(s);
    unsigned char key = 0;
    for (;;) {
        NextTask(s);
        if (run.taskDone != TaskEnd::Open) break;  // nothing left but hints and separators
        key = WorkTask(s);
        run.lastKey = key;
        run.lastKeyExtended = false;
        if (TimeIsUp(s)) {
            key = doskey::kEscape;
            run.endAfterRepeat = true;
        }
        if (key != doskey::kEscape) ++s.tasks.position;
        if (key == doskey::kEscape || s.tasks.position > s.tasks.Count() ||
            run.tasksDone >= kMostTasks)
            break;
    }
    run.lastKey = key;
    EndRunGraphics(s);
    // a task broken off with Esc leaves no protocol line
    if (key == doskey::kEscape && !run.endAfterRepeat) {
        if (Bytes* line = CurrentProtocolLine(s)) line->clear();
    }
    if (run.tasksDone > 3) {
        ShowClosingScreen(s);
        if (s.offerCertificate) s.offerCertificate();
    }
}

}  // namespace radevir
