// Inside the drill engine: the state of the task being worked and the drawing steps the run and
// input loop (drill.cpp), the presentation (drill_present.cpp) and the frames and boxes
// (drill_frames.cpp) share. Not for use outside the drill.
#pragma once

#include <vector>

#include "exercises/program_code.h"
#include "support/codepage.h"
#include "training/drill_decisions.h"

namespace radevir {

class Graphics;
struct Session;

// Where things stand on the 640×480 screen.
namespace drill_layout {
constexpr int kTopLineX = 10;
constexpr int kTaskY = 239 / 2;                  // the task (and the solution) is shown here
constexpr int kReadingTaskY = 479 / 2 - 40;      // … in the reading test
constexpr int kInputY = 239 / 20 + 239 + 239 / 4;  // the input line
constexpr int kBoxLineBelowInput = 239 / 3;      // the gap boxes' line below the input line
constexpr int kModelLineAboveInput = 190;        // copying: the model line's frames
constexpr int kTaskFont = 3;
constexpr int kPlainFont = 0;
}  // namespace drill_layout

struct DrillTask {
    ProgramCode program = ProgramCode::MentalArithmetic;  // the program the run is running as
    Bytes expected;      // the task as it is to be typed
    Bytes input;         // what has been typed so far
    int textSize = 4;
    int textWidth = 0;
    int startX = 0;      // where the task starts on its lines
    int drawX = 0;       // where the next typed character goes
    int drawY = 0;       // the input line
    int inputColour = 10;
    TaskColours colours;
    // mental arithmetic: the gaps' places on the input line, and the gap being worked (0-based)
    std::vector<int> gapX;
    size_t currentGap = 0;
    HelpState help;
    bool taskHidden = false;  // "bis Taste": the first key has cleared the task
    bool skipGaps = false;    // the gap characters are not shown at the first drawing
    bool cursorShown = false;
    int cursorX = 0;
};

// --- presentation (drill_present.cpp) ---------------------------------------------------------
// Everything from the top line to the start of the input: text size, speaking, the fixation
// aid and signals, the first drawing and its exposure, the input line and its boxes.
void PresentTask(Session& session, DrillTask& task);
// The task spoken (dictation).
void SpeakTask(Session& session);
// The task drawn character by character from its start on the task line. `showGaps` false
// leaves the gap characters blank, `digitsOnly` leaves everything but digits blank; colour -1
// draws in the first-drawing colours, any other value in that colour.
void DrawTaskLine(Session& session, const DrillTask& task, int y, int colour, bool showGaps,
                  bool digitsOnly, int buildUpDelayMs = 0);
// Takes the task (or one character of it) off its line: the cells painted in `colour`.
void EraseTaskLine(Session& session, const DrillTask& task, int y, int colour, int buildUpDelayMs);
void EraseCharacter(Session& session, const DrillTask& task, int x, int y, unsigned char ch, int colour);
// The task font at the task's size, characters placed left to right and centred on their line.
void SetTaskTextStyle(Session& session, const DrillTask& task);
// The whole task shown for a while (help step 4 and 5), then taken away again.
void ShowTaskForAWhile(Session& session, DrillTask& task);
// The solution, after the task.
void ShowSolution(Session& session, const DrillTask& task);
// The reading test's "Aufbau" and "Halten" values on their line.
void ShowReadingTimes(Session& session);
// The reading test's Enter: the task again for its hold time.
void ShowReadingTaskAgain(Session& session, const DrillTask& task);
// The reading test's space: the strip of the times and the bottom line cleared.
void ClearReadingStrip(Session& session);

// --- frames and boxes (drill_frames.cpp) -------------------------------------------------------
// Frames mark the slots unless they are switched off, the input is checked on Enter, or the
// program has none (mental arithmetic, the reading test).
bool FramesShown(const Session& session, const DrillTask& task);
void DrawFrames(Session& session, const DrillTask& task);
void DrawCursorBox(Session& session, DrillTask& task, int fillColour);
void EraseCursorBox(Session& session, DrillTask& task);
void DrawGapBox(Session& session, const DrillTask& task, int fillColour);
void EraseGapBox(Session& session, const DrillTask& task);

// Fill colours of the boxes.
constexpr int kCursorBoxFill = 11;
constexpr int kDoneCursorBoxFill = 10;
constexpr int kGapBoxFill = 1;
constexpr int kGapBoxBlinkFill = 9;

}  // namespace radevir
