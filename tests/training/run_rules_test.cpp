#include "training/run_rules.h"

#include <gtest/gtest.h>

#include "training/run_decisions.h"

using namespace radevir;

namespace {

constexpr int kFaceTopY = (ExerciseRun::kMaxY / 10) * 3 + 2;
constexpr int kFaceBottomY = ExerciseRun::kMaxY - (ExerciseRun::kMaxY / 10) * 3 - 2;

ExerciseRun RunAt(int tasksDone, int wrongCount = 0, int repeatCount = 0) {
    ExerciseRun run;
    run.tasksDone = tasksDone;
    run.wrongCount = wrongCount;
    run.repeatCount = repeatCount;
    return run;
}

}  // namespace

// Which face and text come after which task, with the animations on.
TEST(MotivationScreen, TasksAndPendingErrorsChooseTheScreen) {
    using End = MotivationEnd;
    const struct {
        int tasksDone, wrongCount, repeatCount;
        const char* text;  // nullptr: no screen
        End end;
        int faceX, faceY, textX, textY, textSize;
        bool centred;
    } cases[] = {
        // an error-free run
        {1, 0, 0, " Gut!", End::WaitThenWipe, 106, kFaceTopY, 213, 119, 8, false},
        {2, 0, 0, nullptr, End::WaitThenWipe, 0, 0, 0, 0, 0, false},
        {5, 0, 0, " Bist du da? ", End::WinkAnswerThenWipe, 319, kFaceTopY, 0, kInputLineY, 7, false},
        {10, 0, 0, nullptr, End::WaitThenWipe, 0, 0, 0, 0, 0, false},
        {20, 0, 0, "Super!", End::WaitThenWipe, 319, kFaceBottomY, 319, 119, 9, true},
        {30, 0, 0, " Echt stark!", End::WaitThenWipe, 319, kFaceTopY, 0, kInputLineY, 9, false},
        {40, 0, 0, nullptr, End::WaitThenWipe, 0, 0, 0, 0, 0, false},
        // with errors pending the face asks and waits
        {1, 1, 1, "Schwer? ", End::AnswerThenWipe, 106, kFaceTopY, 213, 119, 7, false},
        {20, 2, 2, " Aufpassen! ", End::WinkAnswerThenWipe, 319, kFaceBottomY, 0, 119, 7, false},
        // at task 40 once the first wrong task has come back, and once all have
        {40, 3, 3, nullptr, End::WaitThenWipe, 0, 0, 0, 0, 0, false},
        {40, 3, 2, " Aufpassen! ", End::WinkAnswerThenWipe, 106, kFaceBottomY, 0, 119, 7, false},
        {40, 3, 0, "Super!", End::WaitThenWipe, 106, kFaceBottomY, 319, 119, 9, true},
    };
    ProgramOptions options;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "task " << c.tasksDone << " errors " << c.wrongCount
                                        << "/" << c.repeatCount);
        const MotivationScreen m = ChooseMotivationScreen(RunAt(c.tasksDone, c.wrongCount, c.repeatCount),
                                                          options, false, false, false);
        ASSERT_EQ(m.shown, c.text != nullptr);
        if (!m.shown) continue;
        EXPECT_FALSE(m.asksRepeat);
        EXPECT_EQ(m.text, c.text);
        EXPECT_EQ(m.end, c.end);
        EXPECT_EQ(m.faceX, c.faceX);
        EXPECT_EQ(m.faceY, c.faceY);
        EXPECT_EQ(m.textX, c.textX);
        EXPECT_EQ(m.textY, c.textY);
        EXPECT_EQ(m.textSize, c.textSize);
        EXPECT_EQ(m.textCentred, c.centred);
    }
}

// The repeat question comes whenever it is armed, also without animations and after Esc; no
// screen at all after a skipped task, in the reading test, or once Esc was pressed twice.
TEST(MotivationScreen, RepeatQuestionAndWhatSuppressesScreens) {
    const struct {
        bool askRepeat, animation, escaped, skipped, readingMode;
        int escCount;
        bool shown;
    } cases[] = {
        {true, false, false, false, false, 0, true},
        {true, true, true, false, false, 1, true},
        {true, true, false, true, false, 0, false},
        {true, true, false, false, true, 0, false},
        {true, true, true, false, false, 2, false},
        {false, true, true, false, false, 1, false},  // Esc on task 5: no " Bist du da? "
        {false, false, false, false, false, 0, false},
    };
    for (const auto& c : cases) {
        ExerciseRun run = RunAt(5, 1, 1);
        run.askRepeat = c.askRepeat;
        run.escCount = c.escCount;
        ProgramOptions options;
        options.animation = c.animation ? option::Switch::kOn : option::Switch::kOff;
        const MotivationScreen m = ChooseMotivationScreen(run, options, c.readingMode, c.escaped, c.skipped);
        EXPECT_EQ(m.shown, c.shown) << c.askRepeat << c.animation << c.escaped << c.skipped
                                    << c.readingMode << c.escCount;
        if (m.shown && c.askRepeat) {
            EXPECT_EQ(m.text, " Wiederholung? ");
            EXPECT_EQ(m.end, MotivationEnd::AnswerThenWipe);
            EXPECT_EQ(m.faceX, ExerciseRun::kMidX);
            EXPECT_EQ(m.faceY, kFaceTopY);
            EXPECT_EQ(m.textX, 0);
            EXPECT_EQ(m.textY, kInputLineY);
        }
    }
}

TEST(MotivationScreen, AnswersAndTheRepeatDecision) {
    const struct {
        unsigned char key;
        bool extended;
        const char* answer;
    } keys[] = {{'j', false, "Ja"}, {'n', false, "Nein"}, {'x', false, "Okay"},
                {'N', false, "Okay"}, {27, false, "Okay"}, {'n', true, "Okay"}};
    for (const auto& k : keys) {
        ExerciseRun plain = RunAt(5, 2, 1);
        const ExerciseRun before = plain;
        EXPECT_EQ(AnswerMotivationQuestion(plain, false, k.key, k.extended), k.answer);
        EXPECT_EQ(plain.repeating, before.repeating);  // only an answer
        EXPECT_EQ(plain.repeatCount, before.repeatCount);
        EXPECT_EQ(plain.endAfterRepeat, before.endAfterRepeat);

        ExerciseRun asked = RunAt(12, 3, 1);
        asked.askRepeat = true;
        EXPECT_EQ(AnswerMotivationQuestion(asked, true, k.key, k.extended), k.answer);
        EXPECT_TRUE(asked.endAfterRepeat) << k.answer;
        if (k.answer == Bytes("Nein")) {
            EXPECT_FALSE(asked.repeating);
        } else {
            EXPECT_TRUE(asked.repeating) << k.answer;
            EXPECT_FALSE(asked.askRepeat);
            EXPECT_EQ(asked.repeatCount, 3);  // every wrong task, not only those still pending
        }
    }
}

TEST(RepetitionState, TheQuestionIsArmedWhenTheListIsThroughOrTheRunStops) {
    const struct {
        int tasksDone, position, count, figure, repeatCount;
        bool repeating, askRepeat;
    } cases[] = {
        {7, 12, 12, option::Figure::kRunning, 1, false, true},   // the last line was worked
        {7, 11, 12, option::Figure::kRunning, 1, false, false},  // one line is still to come
        {7, 12, 12, option::Figure::kRunning, 0, false, false},  // nothing to repeat
        {7, 12, 12, option::Figure::kRunning, 1, true, false},   // a pass is running
        {40, 3, 60, option::Figure::kRunning, 1, false, true},
        {40, 3, 60, option::Figure::kTaskCounter, 1, false, false},
        {80, 3, 82, option::Figure::kTaskCounter, 1, false, true},
        {82, 3, 82, option::Figure::kTaskCounter, 1, false, true},
        {30, 3, 60, option::Figure::kRunning, 1, false, false},
    };
    for (const auto& c : cases) {
        ExerciseRun run = RunAt(c.tasksDone, 2, c.repeatCount);
        run.repeating = c.repeating;
        ProgramOptions options;
        options.figure = c.figure;
        UpdateRepetitionState(run, options, {c.position, c.count}, false);
        EXPECT_EQ(run.askRepeat, c.askRepeat) << "task " << c.tasksDone << " line " << c.position;
        EXPECT_EQ(run.tasksDone, c.tasksDone);
    }
}

TEST(RepetitionState, EscapeDoesNotCountTheBrokenOffTask) {
    const struct {
        bool repeating, endAfterRepeat, countedWrong;
        int repeatCount;
        int tasksDoneAfter;
        bool askRepeat, repeatingAfter;
    } cases[] = {
        {false, false, false, 1, 6, true, false},
        {false, false, true, 1, 6, false, false},  // the only wrong task is the broken-off one
        {false, false, true, 2, 6, true, false},
        {true, false, true, 2, 7, false, true},    // inside a pass the counter stays
        {true, true, true, 2, 7, false, false},    // Esc inside the final pass ends it
        {true, true, true, 0, 7, false, false},
    };
    for (const auto& c : cases) {
        ExerciseRun run = RunAt(7, 3, c.repeatCount);
        run.repeating = c.repeating;
        run.endAfterRepeat = c.endAfterRepeat;
        run.countedWrong = c.countedWrong;
        run.escCount = 1;
        UpdateRepetitionState(run, ProgramOptions{}, {4, 20}, true);
        EXPECT_EQ(run.escCount, 2);
        EXPECT_EQ(run.tasksDone, c.tasksDoneAfter);
        EXPECT_EQ(run.askRepeat, c.askRepeat) << c.repeating << c.countedWrong << c.repeatCount;
        EXPECT_EQ(run.repeating, c.repeatingAfter);
    }
    // the end of a pass
    ExerciseRun run = RunAt(10, 2, 0);
    run.repeating = true;
    UpdateRepetitionState(run, ProgramOptions{}, {10, 20}, false);
    EXPECT_FALSE(run.repeating);
}

TEST(RunStep, PassesPositionsAndTheEndOfTheRun) {
    const struct {
        const char* what;
        int tasksDone, wrongCount, repeatCount, repeat, figure;
        bool readingMode, repeating, endAfterRepeat, escape, timeUp;
        TaskEnd taskDone;
        int position, count;
        // expected
        bool goesOn, escapeAfter, repeatingAfter, endAfterRepeatAfter;
        int positionAfter, repeatCountAfter;
    } cases[] = {
        {"next line", 9, 2, 2, 1, 2, false, false, false, false, false, TaskEnd::Done, 9, 30,
         true, false, false, false, 10, 2},
        {"pass after task 10", 10, 2, 2, 1, 2, false, false, false, false, false, TaskEnd::Done, 10, 30,
         true, false, true, false, 10, 2},
        {"pass brings back every wrong task", 20, 3, 1, 1, 2, false, false, false, false, false,
         TaskEnd::Done, 20, 30, true, false, true, false, 20, 3},
        {"no pass without the option", 10, 2, 2, 0, 2, false, false, false, false, false, TaskEnd::Done,
         10, 30, true, false, false, false, 11, 2},
        {"stop at 40", 40, 0, 0, 1, 2, false, false, false, false, false, TaskEnd::Done, 40, 60,
         false, false, false, false, 41, 0},
        {"final pass at 40", 40, 1, 1, 1, 2, false, false, false, false, false, TaskEnd::Done, 40, 60,
         true, false, true, true, 40, 1},
        {"task counter goes past 40", 40, 0, 0, 1, 3, false, false, false, false, false, TaskEnd::Done,
         40, 60, true, false, false, false, 41, 0},
        {"reading test goes past 40", 40, 0, 0, 0, 2, true, false, false, false, false, TaskEnd::Done,
         40, 60, true, false, false, false, 41, 0},
        {"final pass at 80", 80, 1, 1, 1, 3, false, false, false, false, false, TaskEnd::Done, 80, 82,
         true, false, true, true, 80, 1},
        {"the end after the final pass", 80, 1, 0, 1, 3, false, false, true, false, false, TaskEnd::Done,
         80, 82, false, true, false, true, 80, 0},
        {"list through", 12, 0, 0, 1, 2, false, false, false, false, false, TaskEnd::Done, 12, 12,
         false, false, false, false, 13, 0},
        {"wrong tasks keep the run going", 12, 1, 1, 0, 2, false, false, false, false, false,
         TaskEnd::Done, 12, 12, true, false, false, false, 13, 1},
        {"Esc", 5, 0, 0, 1, 2, false, false, false, true, false, TaskEnd::Open, 5, 30,
         false, true, false, false, 5, 0},
        {"PgUp on line 1", 1, 0, 0, 0, 2, false, false, false, false, false, TaskEnd::GoBack, 1, 30,
         true, false, false, false, 1, 0},
        {"PgUp on line 2", 2, 0, 0, 0, 2, false, false, false, false, false, TaskEnd::GoBack, 2, 30,
         true, false, false, false, 1, 0},
        {"PgUp on line 5", 5, 0, 0, 0, 2, false, false, false, false, false, TaskEnd::GoBack, 5, 30,
         true, false, false, false, 4, 0},
        {"time limit", 5, 1, 1, 0, 2, false, false, false, false, true, TaskEnd::Done, 5, 30,
         false, true, false, true, 6, 1},
        {"full history", 82, 0, 0, 1, 3, false, false, false, false, false, TaskEnd::Done, 40, 82,
         false, false, false, false, 41, 0},
        {"full history, wrong tasks come back first", 82, 2, 1, 1, 3, false, false, false, false, false,
         TaskEnd::Done, 40, 82, true, false, true, true, 40, 2},
        {"full history, nothing can come back", 82, 2, 1, 0, 3, false, false, false, false, false,
         TaskEnd::Done, 40, 82, false, false, false, false, 41, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ExerciseRun run = RunAt(c.tasksDone, c.wrongCount, c.repeatCount);
        run.repeating = c.repeating;
        run.endAfterRepeat = c.endAfterRepeat;
        run.taskDone = c.taskDone;
        ProgramOptions options;
        options.repeat = c.repeat;
        options.figure = c.figure;
        int position = c.position;
        const RunStep step =
            PassesAndNextPosition(run, position, c.count, options, c.readingMode, c.escape, c.timeUp);
        EXPECT_EQ(step.goesOn, c.goesOn);
        EXPECT_EQ(step.escape, c.escapeAfter);
        EXPECT_EQ(run.repeating, c.repeatingAfter);
        EXPECT_EQ(run.endAfterRepeat, c.endAfterRepeatAfter);
        EXPECT_EQ(position, c.positionAfter);
        EXPECT_EQ(run.repeatCount, c.repeatCountAfter);
    }
}

TEST(FigurePause, RowGoalRunAndWaitPerTask) {
    const struct {
        int tasksDone, figure;
        bool onRow;
        int rowY, goalX;
        bool runs;
        int frameDelayMs, standX;
        bool marker;
        int waitMs;
    } cases[] = {
        {1, 2, true, 421, 608, true, 4, 508, true, 0},
        {10, 2, true, 421, 320, true, 4, 220, true, 240},
        {13, 2, true, 421, 224, true, 8, 124, true, 1008},
        {18, 2, true, 421, 64, true, 8, -36, true, 2288},
        {19, 2, true, 421, 32, false, 8, 0, true, 2000},
        {20, 2, true, 421, 0, false, 8, 0, true, 2000},
        {21, 2, true, 0, 608, true, 4, 508, true, 0},
        {32, 2, true, 0, 256, true, 4, 156, true, 752},
        {33, 2, true, 0, 224, true, 8, 124, true, 1008},
        {39, 2, true, 0, 32, false, 8, 0, true, 2000},
        {10, 1, true, 421, 320, false, 4, 0, true, 2000},
        {10, 0, true, 421, 320, false, 4, 0, false, 2000},
        {10, 3, true, 421, 320, false, 4, 0, false, 2000},
        {41, 2, false, 0, 0, false, 4, 0, false, 2000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "task " << c.tasksDone << " figure " << c.figure);
        const FigurePlan p = PlanFigure(c.tasksDone, c.figure);
        EXPECT_EQ(p.onRow, c.onRow);
        EXPECT_EQ(p.rowY, c.rowY);
        EXPECT_EQ(p.goalX, c.goalX);
        EXPECT_EQ(p.runs, c.runs);
        if (p.runs) {
            EXPECT_EQ(p.frameDelayMs, c.frameDelayMs);
        }
        EXPECT_EQ(p.standX, c.standX);
        EXPECT_EQ(p.marker, c.marker);
        EXPECT_EQ(p.waitMs, c.waitMs);
    }
}

// Each cycle of 22 frames moves on by 72.6; the figure never runs into its marker.
TEST(FigurePause, FramesRunUpToTheGoal) {
    std::array<int, figure::kFrames> widths{};
    widths.fill(40);
    const std::vector<FigureFrame> frames = FigureFrames(PlanFigure(10, option::Figure::kRunning), widths);
    ASSERT_EQ(frames.size(), 4u * figure::kFrames);  // x 0, 73, 145, 218; at 290 it would reach 320
    EXPECT_EQ(frames[21].x, 0);
    EXPECT_EQ(frames[22].picture, 0);
    EXPECT_EQ(frames[22].x, 73);
    EXPECT_EQ(frames.back().x, 218);
    EXPECT_EQ(frames.back().picture, 21);

    for (int n = 1; n <= 40; ++n) {
        const FigurePlan plan = PlanFigure(n, option::Figure::kRunning);
        for (const FigureFrame& f : FigureFrames(plan, widths))
            EXPECT_LT(f.x + widths[static_cast<size_t>(f.picture)], plan.goalX) << "task " << n;
    }
    EXPECT_TRUE(FigureFrames(PlanFigure(19, option::Figure::kRunning), widths).empty());
}

TEST(ReadingTest, WrongTasksMoveToTheFrontOfTheList) {
    ExerciseRun run = RunAt(6, 2);
    run.wrongTaskList[2] = "3+4=7";
    run.wrongTaskList[5] = "8-5=3";
    run.wrongTaskList[7] = "beyond the run";
    CompactWrongTasks(run);
    EXPECT_EQ(run.wrongTaskList[1], "3+4=7");
    EXPECT_EQ(run.wrongTaskList[2], "8-5=3");
    for (int i = 3; i <= 6; ++i) EXPECT_EQ(run.wrongTaskList[static_cast<size_t>(i)], "") << i;
    EXPECT_EQ(run.wrongTaskList[7], "beyond the run");
}
