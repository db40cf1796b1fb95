// The run machinery shared by the drills and column arithmetic: the choice of the next task, the
// task history, the teacher protocol line and the stopwatch.
#include <gtest/gtest.h>

#include <set>

#include "exercises/exercise_run.h"
#include "tests/exercises/session_fixture.h"

using namespace radevir;

namespace {

struct RunFixture : test::SessionFixture {
    explicit RunFixture(std::vector<Bytes> lines, ProgramCode code = ProgramCode::MemoriseOnly) {
        session.tasks.SetLines(lines);
        session.programCode = code;
        BeginRun(session);
    }
    // Works the next task without errors and steps on as the run rules do.
    Bytes Next() {
        NextTask(session);
        return session.run.task.rawLine;
    }
    void StepOn() { ++session.tasks.position; }
    ExerciseRun& Run() { return session.run; }
};

std::vector<Bytes> Numbered(int count) {
    std::vector<Bytes> lines;
    for (int i = 1; i <= count; ++i)
        lines.push_back(std::to_string(i) + "+1=" + std::to_string(i + 1));
    return lines;
}

}  // namespace

TEST(ExerciseRun, SkippedTaskKeepsItsNumberAndHistoryEntry) {
    RunFixture f(Numbered(4));
    f.Next();
    EXPECT_EQ(f.Run().tasksDone, 1);
    f.Run().lastKey = kSkipKey;
    f.StepOn();
    f.Next();
    EXPECT_EQ(f.Run().tasksDone, 1) << "a skipped task does not count";
    EXPECT_EQ(f.Run().taskHistory[1], "2+1=3");
    f.Run().lastKey = '3';
    f.StepOn();
    f.Next();
    EXPECT_EQ(f.Run().tasksDone, 2);
}

TEST(ExerciseRun, ReturnModeBringsAWrongTaskBackAfterTheNextOne) {
    RunFixture f(Numbered(9));
    f.session.options.repeat = option::Repeat::kWrongTaskAgain;
    f.session.tasks.position = 5;
    std::vector<Bytes> order;
    order.push_back(f.Next());
    ErrorTone(f.session);  // a wrong key in line 5
    FirstError(f.session);
    for (int i = 0; i < 3; ++i) {
        f.StepOn();
        order.push_back(f.Next());
    }
    EXPECT_EQ(order, (std::vector<Bytes>{"5+1=6", "6+1=7", "5+1=6", "7+1=8"}));
    EXPECT_EQ(f.Run().wrongCount, 1) << "the returning task is not counted twice";
}

TEST(ExerciseRun, RandomOrderNeverDrawsTheLastTwoLines) {
    struct Case {
        int lines;
        std::set<Bytes> expected;
    };
    const Case cases[] = {
        {5, {"1+1=2", "2+1=3", "3+1=4", "4+1=5", "5+1=6"}},  // too short: in order
        {6, {"1+1=2", "2+1=3", "3+1=4", "4+1=5"}},
    };
    for (const Case& c : cases) {
        RunFixture f(Numbered(c.lines));
        f.session.options.taskOrder = option::TaskOrder::kRandom;
        std::set<Bytes> seen;
        Bytes previous;
        for (int i = 0; i < 60; ++i) {
            const Bytes line = f.Next();
            if (c.lines > 5 && i > 0) {
                EXPECT_NE(line, previous) << "the same task twice in a row";
            }
            previous = line;
            seen.insert(line);
            f.StepOn();
            if (f.session.tasks.position > f.session.tasks.Count()) f.session.tasks.position = 1;
        }
        EXPECT_EQ(seen, c.expected) << c.lines << " lines";
    }
}

// Every task line and every hint line of a list is reached, also the last line after a hint
// or a separator; a list of hints only has no task and logs every hint.
TEST(ExerciseRun, EveryLineOfTheListIsReached) {
    struct Case {
        std::vector<Bytes> lines;
        std::vector<Bytes> tasks;     // raw lines asked, in order
        std::vector<Bytes> protocol;  // the protocol lines, hints and tasks
    };
    const Case cases[] = {
        {{"!Erst die Plusaufgaben", "1+2=_3", "2+5=_7", "x", "3+3=_6", "!Jetzt noch eine",
          "4+1=_5"},
         {"1+2=_3", "2+5=_7", "3+3=_6", "4+1=_5"},
         {"      Erst die Plusaufgaben", "1+2=_3", "2+5=_7", "3+3=_6", "      Jetzt noch eine",
          "4+1=_5"}},
        {{"!Hinweis", "3+4=7"}, {"3+4=7"}, {"      Hinweis", "3+4=7"}},
        {{"!a", "x", "!b"}, {}, {"      a", "      b"}},
        {{"!Zuerst die Zehner", "a", "!Dann die Einer und zum Schluss alles zusammen"},
         {},
         {"      Zuerst die Zehner", "      Dann die Einer und zum Schluss"}},
        {{"!Hinweis", "b", "12+5=17", "!Ende", "3+4=7"},
         {"12+5=17", "3+4=7"},
         {"      Hinweis", "12+5=17", "      Ende", "3+4=7"}},
        {{"1+1=2", "x"}, {"1+1=2"}, {"1+1=2"}},
    };
    for (const Case& c : cases) {
        RunFixture f(c.lines);
        std::vector<Bytes> asked;
        for (int guard = 0; guard < 20; ++guard) {
            const Bytes line = f.Next();
            if (f.Run().taskDone != TaskEnd::Open) break;
            asked.push_back(line);
            f.StepOn();
            if (f.session.tasks.position > f.session.tasks.Count()) break;  // the run's end
        }
        EXPECT_EQ(asked, c.tasks) << c.lines.front();
        EXPECT_EQ(f.Run().tasksDone, static_cast<int>(c.tasks.size())) << c.lines.front();
        std::vector<Bytes> protocol;
        for (int i = 0; i < f.session.protocolCount; ++i) {
            Bytes line = f.session.protocolLines[static_cast<size_t>(i)];
            while (!line.empty() && line.back() == ' ') line.pop_back();
            protocol.push_back(line);
        }
        EXPECT_EQ(protocol, c.protocol) << c.lines.front();
    }
}

TEST(ExerciseRun, AWrongKeyInTheProtocolLineAndHistory) {
    RunFixture f({"12+5=17", "3+4=7"});
    f.Next();
    f.Run().taskStopwatch.Start(f.clock);
    LogCorrectKey(f.session, '1');
    LogCorrectKey(f.session, '2');
    ErrorTone(f.session);
    LogWrongKey(f.session, '6');
    FirstError(f.session);
    LogWrongKey(f.session, '8');  // a second wrong key, the task already counted
    LogCorrectKey(f.session, '5');
    f.clock.SleepMs(7400);
    FinishTaskLog(f.session);
    EXPECT_EQ(f.session.protocolLines[0], "  7 F 12+5=17                       12(6)(8)5 ");
    EXPECT_EQ(f.Run().taskHistory[1], "  7  " + Bytes(29, ' ') + "12+5=17");
    EXPECT_EQ(f.Run().wrongCount, 1);
    EXPECT_EQ(f.Run().wrongTaskList[1], "12+5=17");

    f.StepOn();
    f.Next();
    f.Run().taskStopwatch.Start(f.clock);
    f.clock.SleepMs(12500);  // halves go to the even second
    FinishTaskLog(f.session);
    EXPECT_EQ(f.session.protocolLines[1], " 12   3+4=7                          ");
    EXPECT_EQ(f.Run().taskHistory[2], " 12  3+4=7");
}

TEST(ExerciseRun, LoggingStopsAtItsLimits) {
    RunFixture f({"1+1=2"});
    f.Next();
    for (int i = 0; i < 150; ++i) LogCorrectKey(f.session, '1');
    EXPECT_EQ(f.Run().inputLog.size(), 100u);
    LogWrongKey(f.session, '9');  // the line is already longer than 70: the key is not logged
    EXPECT_EQ(f.session.protocolLines[0], Bytes("1+1=2") + Bytes(25, ' ') + Bytes(100, '1'));

    RunFixture g({"1+1=2"});
    g.Next();
    LogWrongKey(g.session, '9');
    for (int i = 0; i < 80; ++i) LogCorrectKey(g.session, '1');
    EXPECT_EQ(g.session.protocolLines[0].size(), 70u);
}

TEST(ExerciseRun, ProtocolKeepsNinetyNineTaskLines) {
    RunFixture f({"1+1=2", "2+2=4"});
    f.session.protocolCount = 98;
    f.Next();
    EXPECT_EQ(f.session.protocolCount, 99);
    EXPECT_NE(CurrentProtocolLine(f.session), nullptr);
    f.StepOn();
    EXPECT_EQ(f.Next(), "2+2=4");
    EXPECT_EQ(f.session.protocolCount, 99);
    EXPECT_EQ(CurrentProtocolLine(f.session), nullptr) << "no line of its own past the 99th";
    LogWrongKey(f.session, '7');
    EXPECT_EQ(f.session.protocolLines[98], "1+1=2                         ")
        << "an earlier line stays as it was";
    EXPECT_TRUE(f.Run().taskWrong);
}

TEST(ExerciseRun, MentalArithmeticAlwaysHasAGap) {
    RunFixture f({"12 + 5 = 17", "3+4=_7"}, ProgramCode::MentalArithmetic);
    f.session.currentText = "long enough";
    f.Next();
    ASSERT_EQ(f.Run().task.gaps.size(), 1u);
    const TaskGap gap = f.Run().task.gaps[0];
    EXPECT_GE(gap.position, 2);
    EXPECT_NE(gap.expected, ' ');
    EXPECT_EQ(gap.expected, f.Run().task.displayText[static_cast<size_t>(gap.position - 1)]);
    f.StepOn();
    f.Next();
    ASSERT_EQ(f.Run().task.gaps.size(), 1u) << "a task's own gaps only";
    EXPECT_EQ(f.Run().task.gaps[0].expected, '7');
}

TEST(ExerciseRun, StopwatchWrapsAcrossMidnight) {
    VirtualClock clock(QDateTime(QDate(2025, 3, 3), QTime(23, 59, 58)));
    Stopwatch watch;
    watch.Start(clock);
    clock.SleepMs(5000);
    watch.Stop(clock);
    EXPECT_EQ(watch.ElapsedSeconds(), 5);
    EXPECT_EQ(watch.RunningSeconds(clock), 5);
}

TEST(ExerciseRun, MentalArithmeticOnShortLinesBecomesCopying) {
    struct Case {
        std::vector<Bytes> lines;
        int startPosition;
        ProgramCode expected;
    };
    const Case cases[] = {
        {{"12+5=17"}, 1, ProgramCode::MentalArithmetic},  // one task is still a task
        {{"ab", "cd", "ef"}, 3, ProgramCode::CopyTask},   // words to copy
        {{"ab", "3+4=7"}, 2, ProgramCode::MentalArithmetic},
    };
    for (const Case& c : cases) {
        RunFixture f(c.lines, ProgramCode::MentalArithmetic);
        f.session.tasks.position = c.startPosition;
        f.Next();
        EXPECT_EQ(f.session.programCode, c.expected) << c.lines.front();
    }
}
