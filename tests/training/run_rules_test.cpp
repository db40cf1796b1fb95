#include "training/run_rules.h"

#include <gtest/gtest.h>
#include <QFileInfo>
#include <algorithm>
#include <deque>
#include <sstream>

#include "console/dos_keys.h"
#include "exercises/session.h"
#include "graphics/graphics.h"
#include "tests/exercises/session_fixture.h"
#include "tests/graphics/graphics_fixture.h"
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
        {5, 0, 0, " Bist du da? ", End::WinkAnswerThenWipe, 319, kFaceTopY, 0, kInputLineY, 7,
         false},
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
        const MotivationScreen m = ChooseMotivationScreen(
            RunAt(c.tasksDone, c.wrongCount, c.repeatCount), options, false, false, false);
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
        {true, false, false, false, false, 0, true},   {true, true, true, false, false, 1, true},
        {true, true, false, true, false, 0, true},    // the repeat question also after a skip
        {false, true, false, true, false, 0, false},  // but no " Bist du da? " after a skip
        {true, true, false, false, true, 0, false},    {true, true, true, false, false, 2, false},
        {false, true, true, false, false, 1, false},  // Esc on task 5: no " Bist du da? "
        {false, false, false, false, false, 0, false},
    };
    for (const auto& c : cases) {
        ExerciseRun run = RunAt(5, 1, 1);
        run.askRepeat = c.askRepeat;
        run.escCount = c.escCount;
        ProgramOptions options;
        options.animation = c.animation ? option::Switch::kOn : option::Switch::kOff;
        const MotivationScreen m =
            ChooseMotivationScreen(run, options, c.readingMode, c.escaped, c.skipped);
        EXPECT_EQ(m.shown, c.shown)
            << c.askRepeat << c.animation << c.escaped << c.skipped << c.readingMode << c.escCount;
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
    } keys[] = {{'j', false, "Ja"},   {'n', false, "Nein"}, {'x', false, "Okay"},
                {'N', false, "Okay"}, {27, false, "Okay"},  {'n', true, "Okay"}};
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
        {true, false, true, 2, 7, false, true},  // inside a pass the counter stays
        {true, true, true, 2, 7, false, false},  // Esc inside the final pass ends it
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
    // clang-format off
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
        {"pass brings back every wrong task", 20, 3, 1, 1, 2, false, false, false, false, false, TaskEnd::Done, 20, 30,
         true, false, true, false, 20, 3},
        {"no pass without the option", 10, 2, 2, 0, 2, false, false, false, false, false, TaskEnd::Done, 10, 30,
         true, false, false, false, 11, 2},
        {"stop at 40", 40, 0, 0, 1, 2, false, false, false, false, false, TaskEnd::Done, 40, 60,
         false, false, false, false, 41, 0},
        {"final pass at 40", 40, 1, 1, 1, 2, false, false, false, false, false, TaskEnd::Done, 40, 60,
         true, false, true, true, 40, 1},
        {"task counter goes past 40", 40, 0, 0, 1, 3, false, false, false, false, false, TaskEnd::Done, 40, 60,
         true, false, false, false, 41, 0},
        {"reading test goes past 40", 40, 0, 0, 0, 2, true, false, false, false, false, TaskEnd::Done, 40, 60,
         true, false, false, false, 41, 0},
        {"final pass at 80", 80, 1, 1, 1, 3, false, false, false, false, false, TaskEnd::Done, 80, 82,
         true, false, true, true, 80, 1},
        {"the end after the final pass", 80, 1, 0, 1, 3, false, false, true, false, false, TaskEnd::Done, 80, 82,
         false, true, false, true, 80, 0},
        {"list through", 12, 0, 0, 1, 2, false, false, false, false, false, TaskEnd::Done, 12, 12,
         false, false, false, false, 13, 0},
        {"wrong tasks keep the run going", 12, 1, 1, 0, 2, false, false, false, false, false, TaskEnd::Done, 12, 12,
         true, false, false, false, 13, 1},
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
        {"full history, wrong tasks come back first", 82, 2, 1, 1, 3, false, false, false, false, false, TaskEnd::Done, 40, 82,
         true, false, true, true, 40, 2},
        {"full history, nothing can come back", 82, 2, 1, 0, 3, false, false, false, false, false, TaskEnd::Done, 40, 82,
         false, false, false, false, 41, 1},
    };
    // clang-format on
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
        const RunStep step = PassesAndNextPosition(run, position, c.count, options, c.readingMode,
                                                   c.escape, c.timeUp);
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
    const std::vector<FigureFrame> frames =
        FigureFrames(PlanFigure(10, option::Figure::kRunning), widths);
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

// --- the rules at work: a drill's run over real task lists, without the typing ----------------

namespace {

// Records what is played; the wink's beep lets the child answer the face.
struct RecordingSound final : SoundPort {
    std::vector<QString> played;
    std::function<void(const QString&)> onPlay;
    bool MakeToneFile(const QString&, int, int, int) override { return true; }
    bool PlayFile(const QString& path, int) override {
        played.push_back(QFileInfo(path).fileName());
        if (onPlay) onPlay(played.back());
        return true;
    }
    void StopAll() override {}
    void SetSpeaking(bool) override {}
    bool Speaking() const override { return false; }
    bool SpeakWordSounds(const Bytes&, const Bytes&, const QString&) override { return false; }
};

constexpr char kWinkTone[] = "100.wav";

struct DrillFixture {
    test::ScratchDir dir;
    test::FakeHost host{QSize(640, 480)};
    VirtualClock clock;
    ProgramEnvironment env{dir.Folder(), "radevir"};
    Console console{host, clock, env};
    Graphics graphics{console};
    Random random{7};
    Session session{console, env, random};
    RecordingSound sound;
    // Keys the child presses, one each time the program waits for a key or the face winks;
    // with none left a wait for a key ends the test's call, unless any key will do.
    std::deque<unsigned char> answers;
    bool anyKey = false;
    int keysGiven = 0;

    explicit DrillFixture(ProgramCode code = ProgramCode::CopyTask, QSize window = QSize(640, 480))
        : host(window) {
        console.SetInstalledFontNames(test::KitFontFaces());
        console.InitConsole(test::FrameGlyphs());
        console.SetOemConversionOff(true);
        console.SetFontFace(3, QStringLiteral("DARIZODEV"));
        console.SetSoundPort(&sound);
        session.graphics = &graphics;
        session.programCode = code;
        session.options.memoriseTime =
            option::MemoriseTime::kShortMs;  // the pause waits for no key
        host.onPump = [this] {
            if (console.WaitingForKey() && console.Keys().Empty() && !Give())
                console.RequestAbort();
        };
        sound.onPlay = [this](const QString& file) {
            if (file == kWinkTone && console.Keys().Empty()) Give();
        };
    }
    // Copies the kit's figure pictures into the program folder, so the run loads them.
    void UseKitFigures() {
        QDir figures(test::KitDir() + "/bitplane/schwarz");
        for (const QString& name : figures.entryList({"*.png"}, QDir::Files)) {
            QFile file(figures.filePath(name));
            if (file.open(QIODevice::ReadOnly))
                dir.Write("bitplane/schwarz/" + name, file.readAll());
        }
    }
    bool Give() {
        if (answers.empty() && !anyKey) return false;
        unsigned char key = ' ';
        if (!answers.empty()) {
            key = answers.front();
            answers.pop_front();
        }
        console.AppendKey(key, false);
        ++keysGiven;
        return true;
    }
    void Lines(int count) {
        std::vector<Bytes> lines;
        for (int i = 1; i <= count; ++i)
            lines.push_back(std::to_string(i) + "+10=" + std::to_string(i + 10));
        session.tasks.SetLines(lines);
    }

    // Works the list as the drill does, the typing left out: the lines in `wrong` get their
    // first error. Returns the lines worked, "R " in front of a repetition's.
    std::vector<Bytes> Drill(const std::vector<Bytes>& wrong = {}, int maxTasks = 200) {
        std::vector<Bytes> worked;
        ExerciseRun& run = session.run;
        BeginRun(session);
        bool goesOn = true;
        while (goesOn && static_cast<int>(worked.size()) < maxTasks) {
            NextTask(session);
            if (run.taskDone != TaskEnd::Open) break;
            worked.push_back((run.repeating ? "R " : "") + run.task.rawLine);
            run.taskStopwatch.Start(clock);
            const bool isWrong =
                std::find(wrong.begin(), wrong.end(), run.task.rawLine) != wrong.end();
            if (isWrong && !run.countedWrong) {
                LogWrongKey(session, '9');
                FirstError(session);
            }
            run.taskDone = TaskEnd::Done;
            run.lastKey = '0';
            FinishTaskLog(session);
            goesOn = AfterTask(session, TaskOutcome{});
        }
        return worked;
    }

    // The texts drawn on the graphics screen so far, in order, with their x.
    std::vector<std::pair<int, std::string>> DrawnTexts() const {
        std::vector<std::pair<int, std::string>> texts;
        std::istringstream dump(console.Trace().Dump());
        std::string line;
        bool below = false;
        while (std::getline(dump, line)) {
            if (line == "--") {
                below = true;
            } else if (below) {
                std::istringstream fields(line);
                int x = 0, y = 0;
                fields >> x >> y;
                std::string text;
                std::getline(fields, text);
                texts.emplace_back(x, text.empty() ? text : text.substr(1));
            }
        }
        return texts;
    }
    std::vector<std::string> ScreenTexts() const {
        std::vector<std::string> texts;
        for (const auto& [x, text] : DrawnTexts()) texts.push_back(text);
        return texts;
    }
    // Where the last text drawn as `text` starts, -1 when none was.
    int TextX(const std::string& wanted) const {
        int found = -1;
        for (const auto& [x, text] : DrawnTexts())
            if (text == wanted) found = x;
        return found;
    }
    int Played(const QString& file) const {
        return static_cast<int>(std::count(sound.played.begin(), sound.played.end(), file));
    }
};

std::vector<Bytes> Lines(std::initializer_list<int> numbers, bool repeated = false) {
    std::vector<Bytes> out;
    for (int i : numbers)
        out.push_back((repeated ? "R " : "") + std::to_string(i) + "+10=" + std::to_string(i + 10));
    return out;
}

std::vector<Bytes> Concat(std::initializer_list<std::vector<Bytes>> parts) {
    std::vector<Bytes> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::vector<Bytes> Range(int first, int last) {
    std::vector<Bytes> out;
    for (int i = first; i <= last; ++i) out.push_back(Lines({i}).front());
    return out;
}

}  // namespace

// " Gut!" after task 1, " Bist du da? " after task 5 (the face winks until a key), "Super!"
// after 20 and " Echt stark!" after 30; the only key asked for is the answer at task 5.
TEST(DrillRun, ErrorFreeRunShowsTheMotivationSequence) {
    DrillFixture f;
    f.Lines(31);
    f.answers = {'x'};
    const std::vector<Bytes> worked = f.Drill();
    EXPECT_EQ(worked, Range(1, 31));
    EXPECT_EQ(f.ScreenTexts(), (std::vector<std::string>{" Gut!", " Bist du da? ", "Okay", "Super!",
                                                         " Echt stark!"}));
    EXPECT_EQ(f.keysGiven, 1);
    EXPECT_GE(f.Played(kWinkTone), 2) << "the eye closes and opens with a beep";
    EXPECT_EQ(f.session.console.Keys().Empty(), true);
}

// Wrong tasks pending when the last line has been worked: " Wiederholung? ". "n" ends the run,
// any other key brings every wrong task back from the last one backwards, then the run ends.
TEST(DrillRun, RepeatQuestionAtTheEndOfTheList) {
    const struct {
        unsigned char key;
        const char* answer;
        std::vector<Bytes> worked;
    } cases[] = {
        {'n', "Nein", Range(1, 6)},
        {'j', "Ja", Concat({Range(1, 6), Lines({4, 2}, true)})},
        {'x', "Okay", Concat({Range(1, 6), Lines({4, 2}, true)})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        DrillFixture f;
        f.session.options.animation = option::Switch::kOff;  // the question comes all the same
        f.Lines(6);
        f.answers = {c.key};
        f.anyKey = true;  // every repeated task waits for a key before it goes
        EXPECT_EQ(f.Drill(Lines({2, 4})), c.worked);
        EXPECT_EQ(f.ScreenTexts(), (std::vector<std::string>{" Wiederholung? ", c.answer}));
        EXPECT_EQ(f.session.run.lastKey, doskey::kEscape);
        EXPECT_TRUE(f.session.run.endAfterRepeat);
        EndDrillRun(f.session);
        EXPECT_NE(f.session.protocolLines[5], "") << "the last task's line stays";
    }
}

// "Repeat 1": two wrong tasks among the first ten come back right after task 10; a new error
// later brings all three back after task 20.
TEST(DrillRun, RepetitionPassesAfterTasks10And20) {
    DrillFixture f;
    f.session.options.animation = option::Switch::kOff;
    f.session.options.repeat = option::Repeat::kWrongTasks;
    f.Lines(30);
    f.anyKey = true;
    const std::vector<Bytes> worked = f.Drill(Lines({3, 7, 15}), 26);
    EXPECT_EQ(worked, Concat({Range(1, 10), Lines({7, 3}, true), Range(11, 20),
                              Lines({15, 7, 3}, true), Range(21, 21)}));
    EXPECT_EQ(f.session.run.tasksDone, 21);
    EXPECT_EQ(f.session.run.taskHistory[10].substr(5), "10+10=20")
        << "repetitions keep the history";
}

// The run stops after task 40, unless the task counter is shown; then it goes on until the list
// is through, and in random order it ends cleanly once the history is full. Wrong tasks pending
// at 40 (or at 80 with the task counter) come back once more, and then the run ends.
TEST(DrillRun, WhereTheRunStops) {
    const struct {
        int figure, lines, taskOrder, wrongLine;
        int worked, tasksDone;
    } cases[] = {
        {option::Figure::kRunning, 60, option::TaskOrder::kInOrder, 0, 40, 40},
        {option::Figure::kNone, 60, option::TaskOrder::kInOrder, 0, 40, 40},
        {option::Figure::kRunning, 60, option::TaskOrder::kInOrder, 35, 41, 40},
        {option::Figure::kTaskCounter, 60, option::TaskOrder::kInOrder, 0, 60, 60},
        {option::Figure::kTaskCounter, 82, option::TaskOrder::kInOrder, 75, 81, 80},
        {option::Figure::kTaskCounter, 20, option::TaskOrder::kRandom, 0, ExerciseRun::kMaxTasks,
         ExerciseRun::kMaxTasks},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "figure " << c.figure << " lines " << c.lines << " wrong " << c.wrongLine);
        DrillFixture f;
        f.session.options.animation = option::Switch::kOff;
        f.session.options.figure = c.figure;
        f.session.options.taskOrder = c.taskOrder;
        f.Lines(c.lines);
        f.anyKey = c.wrongLine > 0;  // "Wiederholung?" and the repeated task's key
        const std::vector<Bytes> wrong = c.wrongLine ? Lines({c.wrongLine}) : std::vector<Bytes>{};
        const std::vector<Bytes> worked = f.Drill(wrong);
        EXPECT_EQ(static_cast<int>(worked.size()), c.worked);
        if (c.wrongLine) {
            EXPECT_EQ(worked.back(), Lines({c.wrongLine}, true).front());
        }
        EXPECT_EQ(f.session.run.tasksDone, c.tasksDone);
        const bool brokenOff =
            f.session.run.lastKey == doskey::kEscape && !f.session.run.endAfterRepeat;
        EXPECT_FALSE(brokenOff) << "an orderly end keeps the last protocol line";
    }
}

// With errors at task 1 the face asks "Schwer? " and waits for a key (no winking); the answer
// is only shown, nothing is repeated.
TEST(DrillRun, ErrorsAtTheFirstTaskAsk) {
    DrillFixture f;
    f.Lines(3);
    f.answers = {'j'};
    EXPECT_EQ(f.Drill(Lines({1}), 2), Range(1, 2));
    EXPECT_EQ(f.ScreenTexts(), (std::vector<std::string>{"Schwer? ", "Ja"}));
    EXPECT_EQ(f.Played(kWinkTone), 0);
    EXPECT_FALSE(f.session.run.repeating);
    EXPECT_FALSE(f.session.run.endAfterRepeat);
}

// Esc ends the run, and the broken-off task leaves no protocol line; with wrong tasks pending the
// repeat question comes first and its answer decides. The time limit ends the run in order.
TEST(DrillRun, EndsByEscapeOrTimeLimit) {
    const struct {
        const char* what;
        bool escaped, timeUp;
        unsigned char answer;  // 0: no question expected
        bool goesOn, endAfterRepeat, lineKept;
    } cases[] = {
        {"Esc, nothing to repeat", true, false, 0, false, false, false},
        {"Esc, then no repetition", true, false, 'n', false, true, true},
        {"Esc, then the repetition", true, false, 'j', true, true, true},
        {"time limit", false, true, 0, false, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DrillFixture f;
        f.session.options.animation = option::Switch::kOff;
        f.Lines(8);
        const std::vector<Bytes> wrong = c.answer ? Lines({2}) : std::vector<Bytes>{};
        f.Drill(wrong, 3);  // tasks 1..3 done, the run goes on
        ExerciseRun& run = f.session.run;
        NextTask(f.session);  // task 4
        if (c.timeUp) {
            f.session.options.timeLimited = option::TimeLimited::kLimited;
            run.timeLimit_s = 60;
            f.clock.SleepMs(61'000);
        }
        run.lastKey = c.escaped ? doskey::kEscape : '0';
        if (c.escaped) f.session.protocolLines[3] += " mit ESC beendet";
        if (c.answer) f.answers = {c.answer};
        EXPECT_EQ(AfterTask(f.session, TaskOutcome{c.escaped, false}), c.goesOn);
        EXPECT_TRUE(f.answers.empty());
        EXPECT_EQ(run.endAfterRepeat, c.endAfterRepeat);
        if (c.escaped) {
            EXPECT_EQ(run.tasksDone, 3) << "the broken-off task does not count";
        }
        if (c.goesOn) {
            NextTask(f.session);
            EXPECT_EQ(run.task.rawLine, Lines({2}).front());
            EXPECT_TRUE(run.repeating);
            continue;
        }
        EXPECT_EQ(run.lastKey, doskey::kEscape);
        f.anyKey = true;  // the closing screen waits for a key
        EndDrillRun(f.session);
        EXPECT_EQ(f.session.protocolLines[3] != "", c.lineKept);
        EXPECT_NE(f.session.protocolLines[2], "");
    }
}

// The end: text mode, the closing screen and the certificate after more than three tasks, and
// the reading test's wrong tasks moved to the front for the card box.
TEST(DrillRun, EndOfTheRun) {
    const struct {
        int tasks;
        bool closingScreen;
    } cases[] = {{3, false}, {4, true}};
    for (const auto& c : cases) {
        DrillFixture f;
        f.session.readingMode = true;
        f.session.options.animation = option::Switch::kOff;
        f.Lines(c.tasks);
        int certificates = 0;
        f.session.offerCertificate = [&] { ++certificates; };
        EXPECT_EQ(static_cast<int>(f.Drill().size()), c.tasks);
        f.session.run.wrongTaskList[2] = "2+10=12";  // as the reading test stores a wrong task
        f.session.run.wrongCount = 1;
        f.session.run.wipeSound = true;
        f.anyKey = true;  // the closing screen waits for a key
        EndDrillRun(f.session);
        EXPECT_FALSE(f.console.Graphics().graphicsMode);
        EXPECT_FALSE(f.session.run.wipeSound);
        EXPECT_EQ(f.session.run.wrongTaskList[1], "2+10=12");
        EXPECT_EQ(f.session.run.wrongTaskList[2], "");
        EXPECT_EQ(certificates, c.closingScreen ? 1 : 0);
        EXPECT_EQ(f.console.Trace().RowText(24).find("beendet") != std::string::npos,
                  c.closingScreen);
        EXPECT_EQ(f.session.protocolLines[static_cast<size_t>(c.tasks - 1)] != "", true);
    }
}

// Both ways of clearing leave each task area in one colour: the scheme colour where the
// program's screen has it, black where the screen is black.
TEST(DrillRun, WipesAndClearsLeaveTheProgramsColours) {
    const QColor black(Qt::black);
    const struct {
        ProgramCode program;
        bool upperInScheme, lowerInScheme;
        const char* sound;
    } cases[] = {
        {ProgramCode::MemoriseOnly, true, false, "loesch-merk-tachi.wav"},
        {ProgramCode::MentalArithmetic, false, true, "loeschkopfrech.wav"},
        {ProgramCode::CopyTask, true, true, "loeschkopfrech.wav"},
        {ProgramCode::FillInSigns, true, true, "loesch45.wav"},
        {ProgramCode::Dictation, true, true, "loesch45.wav"},
        {ProgramCode::Tachistoscope, true, false, "loesch-merk-tachi.wav"},
    };
    // a window larger than 640×480 must be wiped without gaps between the rows
    for (const QSize window : {QSize(640, 480), QSize(1440, 1080)})
        for (const auto& c : cases) {
            for (const bool animated : {true, false}) {
                SCOPED_TRACE(testing::Message()
                             << ProgramNumber(c.program) << (animated ? " wiped" : " cleared")
                             << " at " << window.width());
                DrillFixture f(c.program, window);
                f.session.options.soundLevel = option::SoundLevel::kAllSounds;
                f.dir.Write("wavs/" + QString(c.sound), "RIFF");
                BeginRun(f.session);
                const QColor scheme =
                    f.console.Palette()[static_cast<size_t>(f.session.options.backgroundColour)];
                // ink in both areas, as a task and an input leave it
                f.graphics.SetFillStyle(1, 15);
                f.graphics.Bar(100, 80, 500, 200);
                f.graphics.Bar(50, 270, 600, 400);
                f.session.run.wipeSound = true;
                if (animated) {
                    WipeTaskAreas(f.session);
                } else {
                    ClearTaskAreas(f.session);
                }
                const QImage& screen = f.host.framebuffer;
                const auto pixels = [&](QPoint a, QPoint b) {
                    return QRect(f.graphics.VgaToPixel(a), f.graphics.VgaToPixel(b));
                };
                const QRect upper = pixels(QPoint(4, 62), QPoint(635, 225));
                const QRect lower = pixels(QPoint(4, 260), QPoint(635, 415));
                EXPECT_EQ(test::CountColour(screen, upper, c.upperInScheme ? scheme : black),
                          upper.width() * upper.height());
                EXPECT_EQ(test::CountColour(screen, lower, c.lowerInScheme ? scheme : black),
                          lower.width() * lower.height());
                EXPECT_EQ(f.Played(c.sound), animated ? 1 : 0);
                EXPECT_EQ(f.session.run.wipeSound, !animated) << "a wipe takes the sound";
            }
        }
}

// The second typing of a task: after a pause the input area is cleared (memorising: the lower
// area; the others: both areas in the scheme colour).
TEST(DrillRun, SecondPassClearsTheInputArea) {
    for (const ProgramCode program : {ProgramCode::MemoriseOnly, ProgramCode::FillInSigns}) {
        DrillFixture f(program);
        BeginRun(f.session);
        f.graphics.SetFillStyle(1, 15);
        f.graphics.Bar(50, 270, 600, 400);
        f.graphics.Bar(100, 80, 500, 200);
        const double before = f.clock.NowMs();
        ClearForSecondPass(f.session);
        EXPECT_GE(f.clock.NowMs() - before, 2000);
        const QColor scheme =
            f.console.Palette()[static_cast<size_t>(f.session.options.backgroundColour)];
        const QImage& screen = f.host.framebuffer;
        const QRect input(QPoint(50, 270), QPoint(600, 400));
        const QRect model(QPoint(100, 80), QPoint(500, 200));
        const bool memorising = program == ProgramCode::MemoriseOnly;
        EXPECT_EQ(test::CountColour(screen, input, memorising ? QColor(Qt::black) : scheme),
                  input.width() * input.height());
        EXPECT_EQ(test::CountColour(screen, model, memorising ? QColor(Qt::white) : scheme),
                  model.width() * model.height());
    }
}

// The pause after task 10: the figure runs from the left and stands 100 short of the marker,
// which shows whether the task went wrong. The pictures here are plain coloured blocks.
TEST(DrillRun, FigureRunsToTheMarker) {
    DrillFixture f(ProgramCode::MentalArithmetic);
    BeginRun(f.session);
    ExerciseRun& run = f.session.run;
    const auto block = [&](QColor colour, int width) {
        QImage picture(f.graphics.VgaSizeToPixel(QSize(width, 50)), QImage::Format_RGB32);
        picture.fill(colour);
        return picture;
    };
    for (int i = 0; i < figure::kFrames; ++i)
        run.pictures[static_cast<size_t>(i)] = block(Qt::green, 40);
    run.pictures[figure::kStandingPicture] = block(Qt::blue, 40);
    run.pictures[figure::kCorrectMarker] = block(Qt::white, 20);
    run.pictures[figure::kWrongMarker] = block(Qt::red, 20);
    run.tasksDone = 10;
    run.countedWrong = true;
    PauseWithFigure(f.session);
    const QImage& screen = f.host.framebuffer;
    EXPECT_EQ(screen.pixelColor(320 + 10, 421 + 10), QColor(Qt::red)) << "the wrong task's marker";
    EXPECT_EQ(screen.pixelColor(220 + 10, 421 + 10), QColor(Qt::blue)) << "standing";
    EXPECT_NE(screen.pixelColor(100, 421 + 10), QColor(Qt::black)) << "the run's trace";
    EXPECT_EQ(screen.pixelColor(330 + 25, 421 + 10), QColor(Qt::black)) << "not past the marker";

    run.tasksDone = 11;
    run.countedWrong = false;
    PauseWithFigure(f.session);
    EXPECT_EQ(screen.pixelColor(288 + 10, 421 + 10), QColor(Qt::white))
        << "a correct task's marker";
    EXPECT_EQ(screen.pixelColor(320 + 10, 421 + 10), QColor(Qt::red)) << "the earlier marker stays";
}

// Two screens to look at: the repeat question with its answer, and the figure after task 25
// with the markers of both rows (three tasks went wrong).
TEST(DrillRun, ScreensToLookAt) {
    DrillFixture f(ProgramCode::MentalArithmetic);
    f.UseKitFigures();
    f.session.options.soundLevel = option::SoundLevel::kAllSounds;
    f.dir.Write("wavs/loeschkopfrech.wav", "RIFF");
    QImage question;
    f.sound.onPlay = [&, answerWink = f.sound.onPlay](const QString& file) {
        answerWink(file);
        // the wipe after the question starts with its sound: question and answer still stand
        if (file == "loeschkopfrech.wav" && f.session.run.repeating)
            question = f.host.framebuffer.copy();
    };
    f.Lines(25);
    f.anyKey = true;
    f.answers = {' ', ' ', ' ', 'j'};  // Schwer?, Bist du da?, Aufpassen!, Wiederholung?
    const std::vector<Bytes> worked = f.Drill(Lines({1, 7, 22}));
    ASSERT_EQ(worked.size(), 28u);
    EXPECT_EQ(f.ScreenTexts(),
              (std::vector<std::string>{"Schwer? ", "Okay", " Bist du da? ", "Okay", " Aufpassen! ",
                                        "Okay", " Wiederholung? ", "Ja"}));
    const QImage figure = f.host.framebuffer.copy();
    question.save(test::OutputDir() + "/run_rules_repeat_question.png");
    figure.save(test::OutputDir() + "/run_rules_figure_after_task_25.png");

    ASSERT_FALSE(question.isNull());
    EXPECT_EQ(question.pixelColor(ExerciseRun::kMidX, kFaceTopY - 40), f.console.Palette()[14])
        << "the face";
    // the answer stands on the screen, after the question
    const int answerX = f.TextX("Ja");
    EXPECT_GT(answerX, f.TextX(" Wiederholung? "));
    f.graphics.SetTextStyle(3, 0, f.graphics.GetTextSettings().charSize);
    EXPECT_LE(answerX + f.graphics.TextWidthVga("Ja"), ExerciseRun::kMaxX);
    // the markers' ticks and crosses on both rows
    for (const int rowY : {figure::kTopRowY, figure::kBottomRowY})
        EXPECT_GT(test::CountColour(figure, QRect(0, rowY, 640, 58), QColor(Qt::white)), 100)
            << rowY;
}
