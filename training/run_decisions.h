// The drill's run rules as plain decisions over the run state: the repetition state after a
// task, which motivation screen comes (face, text and place), the repetition passes and the next
// position, where the running figure goes, and the reading test's compaction of its wrong tasks.
// Nothing here draws, sounds or waits; run_rules.cpp does that around these.
#pragma once

#include <array>
#include <vector>

#include "exercises/exercise_run.h"
#include "exercises/program_options.h"
#include "support/codepage.h"

namespace radevir {

// Task numbers the rules look at.
namespace run_rule {
constexpr int kStopTask =
    40;  // the run stops here unless the task counter or the reading test runs
constexpr int kLastTask = 80;  // pending wrong tasks come back and the run ends
constexpr int kFullHistory = ExerciseRun::kMaxTasks;  // the history is full: the run ends here
constexpr std::array<int, 6> kRepetitionPassTasks{10, 20, 30, 40, 60, 80};
}  // namespace run_rule

// The input line of the drill screens and the box line below it (640×480 units).
constexpr int kInputLineY = ExerciseRun::kMidY / 20 + ExerciseRun::kMidY + ExerciseRun::kMidY / 4;
constexpr int kBoxLineY = kInputLineY + ExerciseRun::kMidY / 3;

// Where the run stands in its task list.
struct ListPlace {
    int position = 1;  // the line of the task just worked
    int count = 0;
};

// After every task, also after Esc: the repetition pass ends when nothing is left to repeat,
// an Esc is counted (the broken-off task does not count) and the repeat question is armed when
// the list is through, at the last task of the run, or at the stop task.
void UpdateRepetitionState(ExerciseRun& run, const ProgramOptions& options, ListPlace list,
                           bool escaped);

// How a motivation screen ends.
enum class MotivationEnd {
    WaitThenWipe,       // shown for a while, no key
    AnswerThenWipe,     // one key is read and answered
    WinkAnswerThenWipe  // the face winks until a key is waiting, then as above
};

struct MotivationScreen {
    bool shown = false;
    bool asksRepeat = false;  // " Wiederholung? "
    int faceX = 0, faceY = 0;
    Bytes text;
    int textX = 0, textY = 0;
    int textSize = 7;
    bool textCentred = false;  // else left justified
    MotivationEnd end = MotivationEnd::WaitThenWipe;
};

// Which motivation screen (if any) comes after the task just counted. `escaped`: the task ended
// with Esc; `skipped`: it ended with the skip key.
MotivationScreen ChooseMotivationScreen(const ExerciseRun& run, const ProgramOptions& options,
                                        bool readingMode, bool escaped, bool skipped);

// The answer shown after a question ("Ja", "Nein", "Okay"). The repeat question's answer also
// decides: "n" ends the run once no pass runs, anything else repeats every wrong task and then
// ends the run.
Bytes AnswerMotivationQuestion(ExerciseRun& run, bool asksRepeat, unsigned char key, bool extended);

struct RunStep {
    bool goesOn = true;
    bool escape = false;  // the run ends as by Esc (the key of the task becomes Esc)
};

// After the motivation screen: a repetition pass may start, the position moves on (or back by
// one task after PgUp), the time limit may end the run, and whether the run goes on.
// `escape`: the task's key is Esc; `timeUp`: the run's time limit is over.
RunStep PassesAndNextPosition(ExerciseRun& run, int& position, int count,
                              const ProgramOptions& options, bool readingMode, bool escape,
                              bool timeUp);

// The pause after a task: where the figure runs to and for how long the pause waits.
struct FigurePlan {
    bool onRow = false;   // tasks 1–40 have a place on the two rows
    bool topRow = false;  // tasks 21–40
    int rowY = 0;
    int goalX = 0;         // the marker's place; the figure runs up to it
    bool runs = false;     // " laufen " and far enough from the left edge
    int frameDelayMs = 4;  // between two frames of a cycle
    int standX = 0;        // the standing pose after the run
    bool marker = false;   // " stehend " and " laufen " leave a marker per task
    int waitMs = 2000;     // the wait after the figure
};

namespace figure {
constexpr int kFrames = 22;  // pictures 0–21 run; 21 is also the standing pose
constexpr int kStandingPicture = 21;
constexpr int kCorrectMarker = 22;
constexpr int kWrongMarker = 23;
constexpr double kCycleAdvance = 72.6;  // 22 frames of 3.3 each
constexpr int kBottomRowY = 421;
constexpr int kTopRowY = 0;
constexpr int kTasksPerRow = 20;
constexpr int kPlaceWidth = 32;
}  // namespace figure

FigurePlan PlanFigure(int tasksDone, int figureOption);

// One frame of the run: picture number and x.
struct FigureFrame {
    int picture = 0;
    int x = 0;
};

// The frames of the run towards the goal, given the widths (640×480 units) of the 22 frame
// pictures. Frames stop before one would reach the goal.
std::vector<FigureFrame> FigureFrames(const FigurePlan& plan,
                                      const std::array<int, figure::kFrames>& widths);

// The reading test stores each wrong task at the entry of its task number; entries
// 1..tasksDone are moved together in their order, the rest of them become empty.
void CompactWrongTasks(ExerciseRun& run);

}  // namespace radevir
