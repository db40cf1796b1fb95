#include "training/run_decisions.h"

#include <algorithm>

#include "support/rounding.h"

namespace radevir {
namespace {

constexpr int kMaxX = ExerciseRun::kMaxX;
constexpr int kMaxY = ExerciseRun::kMaxY;
constexpr int kMidX = ExerciseRun::kMidX;
constexpr int kMidY = ExerciseRun::kMidY;

// The task after which pending wrong tasks come back for the last time and the run ends.
bool IsFinalTask(int tasksDone, int figureOption) {
    return tasksDone == run_rule::kLastTask || tasksDone == run_rule::kFullHistory ||
           (tasksDone == run_rule::kStopTask && figureOption < option::Figure::kTaskCounter);
}

bool IsRepetitionPassTask(int tasksDone) {
    const auto& passes = run_rule::kRepetitionPassTasks;
    return std::find(passes.begin(), passes.end(), tasksDone) != passes.end() ||
           tasksDone == run_rule::kFullHistory;
}

// Task numbers that bring a motivation screen when the animations are on.
bool IsMotivationTask(const ExerciseRun& run) {
    switch (run.tasksDone) {
        case 1:
        case 5:
        case 20:
        case 30:
            return true;
        case run_rule::kStopTask:
            // once the first wrong task has come back, and once all have
            return run.wrongCount >= 1 &&
                   (run.repeatCount == 0 || run.wrongCount == run.repeatCount + 1);
        default:
            return false;
    }
}

}  // namespace

void UpdateRepetitionState(ExerciseRun& run, const ProgramOptions& options, ListPlace list,
                           bool escaped) {
    if (run.repeating && run.repeatCount == 0) run.repeating = false;
    if (escaped) {
        ++run.escCount;
        if (!run.repeating && !run.endAfterRepeat) run.tasksDone = std::max(0, run.tasksDone - 1);
        if (!run.repeating && run.repeatCount - (run.countedWrong ? 1 : 0) > 0)
            run.askRepeat = true;
        if (run.repeating && run.endAfterRepeat) run.repeating = false;
        return;
    }
    if (run.repeatCount > 0 && !run.repeating) {
        // The list is through once its last line has been worked.
        const bool listThrough = list.position == list.count;
        if (listThrough || IsFinalTask(run.tasksDone, options.figure)) run.askRepeat = true;
    }
}

MotivationScreen ChooseMotivationScreen(const ExerciseRun& run, const ProgramOptions& options,
                                        bool readingMode, bool escaped, bool skipped) {
    MotivationScreen screen;
    // After a skipped task only the repeat question comes: skipping the list's last line must
    // not take the run round to line 1 with wrong tasks pending.
    if (run.escCount >= 2 || readingMode || (skipped && !run.askRepeat)) return screen;
    const bool milestone =
        !escaped && options.animation == option::Switch::kOn && IsMotivationTask(run);
    if (!run.askRepeat && !milestone) return screen;

    const int n = run.tasksDone;
    screen.shown = true;
    screen.asksRepeat = run.askRepeat;
    screen.faceX = kMidX;
    screen.faceY = (kMaxY / 10) * 3 + 2;
    screen.textX = 0;
    screen.textY = kInputLineY;
    if (screen.asksRepeat) {
        screen.text = " Wiederholung? ";
        screen.end = MotivationEnd::AnswerThenWipe;
        return screen;
    }

    const int lowerFaceY = kMaxY - (kMaxY / 10) * 3 - 2;
    const bool errorsPending = run.repeatCount > 0;
    switch (n) {
        case 1:
            screen.faceX = kMidX / 3;
            screen.textX = kMaxX / 3;
            screen.textY = kMidY / 2;
            if (errorsPending) {
                screen.text = "Schwer? ";
                screen.end = MotivationEnd::AnswerThenWipe;
            } else {
                screen.text = " Gut!";
                screen.textSize = 8;
                screen.end = MotivationEnd::WaitThenWipe;
            }
            break;
        case 5:
            screen.text = " Bist du da? ";
            screen.end = MotivationEnd::WinkAnswerThenWipe;
            break;
        case 30:
            screen.text = " Echt stark!";
            screen.textSize = 9;
            screen.end = MotivationEnd::WaitThenWipe;
            break;
        default:  // 20 and 40
            screen.faceY = lowerFaceY;
            if (n == run_rule::kStopTask) screen.faceX = kMidX / 3;
            if (errorsPending) {
                screen.text = " Aufpassen! ";
                screen.textY = kMidY / 2;
                screen.end = MotivationEnd::WinkAnswerThenWipe;
            } else {
                screen.text = "Super!";
                screen.textX = kMidX;
                screen.textY = kMidY / 2;
                screen.textSize = 9;
                screen.textCentred = true;
                screen.end = MotivationEnd::WaitThenWipe;
            }
            break;
    }
    return screen;
}

Bytes AnswerMotivationQuestion(ExerciseRun& run, bool asksRepeat, unsigned char key,
                               bool extended) {
    const bool yes = !extended && key == 'j';
    const bool no = !extended && key == 'n';
    if (asksRepeat) {
        if (no) {
            run.endAfterRepeat = true;
            run.repeating = false;
        } else {
            // every wrong task of the run comes back, then the run ends
            run.askRepeat = false;
            run.repeating = true;
            run.repeatCount = run.wrongCount;
            run.endAfterRepeat = true;
        }
    }
    return yes ? "Ja" : no ? "Nein" : "Okay";
}

RunStep PassesAndNextPosition(ExerciseRun& run, int& position, int count,
                              const ProgramOptions& options, bool readingMode, bool escape,
                              bool timeUp) {
    const int n = run.tasksDone;
    if (options.repeat > option::Repeat::kNone && IsRepetitionPassTask(n) && run.repeatCount > 0 &&
        !run.repeating && !run.endAfterRepeat) {
        run.repeating = true;
        run.repeatCount = run.wrongCount;  // from the last one backwards
        if (IsFinalTask(n, options.figure)) run.endAfterRepeat = true;
    }
    if (!run.repeating && run.endAfterRepeat) escape = true;
    if (!run.repeating && !run.endAfterRepeat && !escape) ++position;
    if (run.taskDone == TaskEnd::GoBack) position = position < 3 ? 1 : position - 2;
    if (timeUp) {
        escape = true;
        run.endAfterRepeat = true;
    }

    RunStep step;
    step.escape = escape;
    step.goesOn = !escape && (position <= count || run.repeatCount > 0) &&
                  (n != run_rule::kStopTask || run.repeatCount > 0 ||
                   options.figure == option::Figure::kTaskCounter || readingMode) &&
                  // the history holds no further task; only a pass over the wrong ones
                  (n < run_rule::kFullHistory || run.repeating);
    return step;
}

FigurePlan PlanFigure(int tasksDone, int figureOption) {
    FigurePlan plan;
    const int n = tasksDone;
    const bool running = figureOption == option::Figure::kRunning;
    int standX = 0;
    plan.onRow = n >= 1 && n <= 2 * figure::kTasksPerRow;
    if (plan.onRow) {
        plan.topRow = n > figure::kTasksPerRow;
        const int m = plan.topRow ? n - figure::kTasksPerRow : n;
        plan.rowY = plan.topRow ? figure::kTopRowY : figure::kBottomRowY;
        plan.goalX = kMaxX + 1 - figure::kPlaceWidth * m;
        // the first tasks of a row have the longest way: the frames follow each other faster
        plan.frameDelayMs = m <= 12 ? 4 : 8;
        // near the left edge there is no room for a run
        plan.runs = running && m < 19;
        if (plan.runs) standX = plan.goalX - 100;
        plan.standX = standX;
        plan.marker = figureOption == option::Figure::kStanding || running;
    }
    // the longer the run took, the shorter the wait after it
    plan.waitMs = running ? std::max(0, 2000 - 8 * standX) : 2000;
    return plan;
}

std::vector<FigureFrame> FigureFrames(const FigurePlan& plan,
                                      const std::array<int, figure::kFrames>& widths) {
    std::vector<FigureFrame> frames;
    if (!plan.runs) return frames;
    for (int r = 0;; ++r) {
        const int x = Round(figure::kCycleAdvance * (r / figure::kFrames));
        // on the top row the width is taken from pictures 0–20 only
        const int measured = plan.topRow ? r % (figure::kFrames - 1) : r % figure::kFrames;
        if (x + widths[static_cast<size_t>(measured)] >= plan.goalX) break;
        frames.push_back({r % figure::kFrames, x});
    }
    return frames;
}

void CompactWrongTasks(ExerciseRun& run) {
    const int last = std::clamp(run.tasksDone, 0, ExerciseRun::kMaxTasks);
    int to = 1;
    for (int from = 1; from <= last; ++from) {
        Bytes& entry = run.wrongTaskList[static_cast<size_t>(from)];
        if (entry.empty()) continue;
        if (to != from) {
            run.wrongTaskList[static_cast<size_t>(to)] = std::move(entry);
            entry.clear();
        }
        ++to;
    }
}

}  // namespace radevir
