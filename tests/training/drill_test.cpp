#include "training/drill.h"

#include <gtest/gtest.h>
#include <QDir>
#include <deque>
#include <sstream>

#include "console/dos_keys.h"
#include "exercises/speech_port.h"
#include "graphics/graphics.h"
#include "tests/exercises/session_fixture.h"
#include "tests/graphics/graphics_fixture.h"

using namespace radevir;
namespace key = radevir::doskey;
using option::InputControl;
using P = ProgramCode;

namespace {

struct RecordingSpeech : SpeechPort {
    std::vector<Bytes> spoken;
    bool Speak(const Bytes& text, bool) override {
        spoken.push_back(text);
        return true;
    }
};

// The upper task area, where a task is shown (the input line lies below it).
constexpr int kUpperAreaTop = 239 / 4, kUpperAreaBottom = 239;
constexpr char kWrongEnterMark = '\xB6';

// A drill on a session with real graphics. Keys come from a script, one at a time, whenever the
// drill waits for one (reading it, or polling for it long enough); pending keys are read away
// by the drill before each task's input, so they cannot all be queued at once. When the script
// is used up the next wait ends the run with an abort.
struct DrillFixture {
    static constexpr int kIdlePumpsBeforeFeeding = 5000;

    test::SessionFixture f;
    Graphics graphics{f.console};
    RecordingSpeech speech;
    Session& s = f.session;
    std::deque<std::pair<unsigned char, bool>> script;
    int fed = 0;
    int pumpsSinceFeed = 0;
    // Called before key number `fed` (0-based) is handed over, and at every pump.
    std::function<void(int)> beforeFeed;
    std::function<void()> onPump;

    // `window`: the host's client size when it matters (an empty size keeps the fixture's own).
    DrillFixture(P program, std::vector<Bytes> lines, QSize window = {}) {
        if (window.isValid()) f.host.framebuffer = MakeFramebuffer(window);
        f.console.SetInstalledFontNames(test::KitFontFaces());
        f.console.InitConsole(test::FrameGlyphs());
        f.console.SetFontFace(1, QStringLiteral("DARIZODEV"));
        f.console.SetFontFace(3, QStringLiteral("DARIZODEV"));
        f.console.SetOemConversionOff(true);
        f.console.Geometry().keepAspect = true;
        f.console.Graphics().ascentAlign = true;
        s.graphics = &graphics;
        s.speech = &speech;
        s.programCode = program;
        s.tasks.SetLines(lines);
        s.tasks.position = 1;
        s.options.animation = option::Switch::kOff;
        s.options.figure = option::Figure::kNone;
        // the pause after a task would wait for a key with "bis Taste"
        s.options.memoriseTime = option::MemoriseTime::kShortMs;
        f.host.onPump = [this] { Pump(); };
    }

    void Type(std::string_view typed) {
        for (char c : typed) script.emplace_back(static_cast<unsigned char>(c), false);
    }
    void Press(unsigned char code) { script.emplace_back(code, true); }

    void Pump() {
        Console& c = f.console;
        if (onPump) onPump();
        if (!c.Keys().Empty()) {
            pumpsSinceFeed = 0;
            return;
        }
        if (!c.WaitingForKey() && ++pumpsSinceFeed < kIdlePumpsBeforeFeeding) return;
        pumpsSinceFeed = 0;
        if (script.empty()) {
            c.RequestAbort();
            return;
        }
        if (beforeFeed) beforeFeed(fed);
        const auto [code, extended] = script.front();
        script.pop_front();
        ++fed;
        c.AppendKey(code, extended);
    }

    // True when the run ended by itself, false when it ran out of keys.
    bool Run() {
        try {
            RunDrill(s);
            return true;
        } catch (const AbortRequestedError&) {
            f.console.ClearAbortRequest();
            return false;
        }
    }

    Bytes Protocol(int task) const { return s.protocolLines[static_cast<size_t>(task - 1)]; }

    // The graphics texts drawn so far in the upper task area (where the task is shown).
    std::string TaskLineTexts() const {
        std::istringstream dump(f.console.Trace().Dump());
        std::string line, out;
        bool texts = false;
        while (std::getline(dump, line)) {
            if (line == "--") {
                texts = true;
                continue;
            }
            if (!texts) continue;
            int x = 0, y = 0;
            std::istringstream fields(line);
            fields >> x >> y;
            if (y < kUpperAreaTop || y >= kUpperAreaBottom) continue;
            std::string text;
            std::getline(fields, text);
            out += text.empty() ? "" : text.substr(1);
        }
        return out;
    }

    void SaveScreen(const QString& name) const {
        QDir().mkpath(test::OutputDir());
        f.host.framebuffer.save(test::OutputDir() + "/" + name + ".png");
    }
};

Bytes Padded(Bytes text, size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

const Bytes kNoTime = "  0";  // a task worked on the virtual clock takes no time

}  // namespace

// One wrong key in a copied task: " Total " refuses it (the task gets its " F " but is not
// counted wrong), " jede Eingabe " counts it. The protocol line and the history entry are
// compared character for character.
TEST(DrillTask, AWrongKeyInTheProtocolAndTheHistory) {
    const struct {
        int inputControl;
        int wrongCount;
        Bytes wrongTask, history;
    } cases[] = {
        {InputControl::kRefuseWrongKeys, 0, "", kNoTime + "  12+5=17"},
        {InputControl::kCountEveryKey, 1, "12+5=17", kNoTime + "  " + Bytes(29, ' ') + "12+5=17"},
    };
    for (const auto& c : cases) {
        DrillFixture d(P::CopyTask, {"12+5=17"});
        d.s.options.inputControl = c.inputControl;
        d.Type("132+5=17n");  // "n": no repetition of the wrong task
        EXPECT_TRUE(d.Run());
        EXPECT_EQ(d.Protocol(1), kNoTime + " F " + Padded("12+5=17", 30) + "1(3)2+5=17 ")
            << c.inputControl;
        EXPECT_EQ(d.s.run.taskHistory[1], c.history) << c.inputControl;
        EXPECT_EQ(d.s.run.wrongCount, c.wrongCount) << c.inputControl;
        EXPECT_EQ(d.s.run.wrongTaskList[1], c.wrongTask) << c.inputControl;
    }
}

// " bei ENTER ": anything up to the task's length, Backspace corrects, a wrong Enter counts the
// task wrong and the input goes on; the right Enter ends the task.
TEST(DrillTask, CheckOnEnterWithBackspaceAndAWrongEnter) {
    DrillFixture d(P::CopyTask, {"12+5=17"});
    d.s.options.inputControl = InputControl::kCheckOnEnter;
    d.Type("13\b2+5=18\r\b7\rn");
    EXPECT_TRUE(d.Run());
    EXPECT_EQ(d.s.run.wrongCount, 1);
    EXPECT_EQ(d.s.run.taskHistory[1], kNoTime + "  " + Bytes(29, ' ') + "12+5=17");
    EXPECT_EQ(d.Protocol(1),
              kNoTime + " F " + Padded("12+5=17", 30) + "132+5=18(" + kWrongEnterMark + ")7 ");
}

// Keys that stand for others: the comma comes by itself after the 3 of 3,5; "/" is taken as
// ":" where ":" is expected. Both tasks are solved without an error.
TEST(DrillTask, AutomaticCommaAndSlashForDivision) {
    const struct { Bytes line, typed; } cases[] = {{"3,5+1=4,5", "35+1=45"}, {"8:2=4", "8/2=4"}};
    for (const auto& c : cases) {
        DrillFixture d(P::CopyTask, {c.line});
        d.Type(c.typed);
        EXPECT_TRUE(d.Run()) << c.line;
        EXPECT_EQ(d.Protocol(1), kNoTime + "   " + Padded(c.line, 30) + " ") << c.line;
        EXPECT_EQ(d.s.run.wrongCount, 0) << c.line;
    }
}

// Filling in signs shows only the digits and expects the whole task, signs included.
TEST(DrillTask, FillInSignsShowsOnlyTheDigits) {
    DrillFixture d(P::FillInSigns, {"12+5=17"});
    std::string shown;
    d.beforeFeed = [&](int n) {
        if (n == 0) {
            shown = d.TaskLineTexts();
            d.SaveScreen("drill_fill_in_signs");
        }
    };
    d.Type("12+5=17");
    EXPECT_TRUE(d.Run());
    EXPECT_EQ(shown, "12517");
    EXPECT_EQ(d.s.run.wrongCount, 0);
}

// "Merken und rechnen": the gap (the result) is not shown while memorising, is typed, and
// appears in the solution.
TEST(DrillTask, MemoriseAndComputeHidesTheGapUntilTheSolution) {
    DrillFixture d(P::MemoriseOnly, {"3+4=_7", "1+1=_2"});
    d.s.computeMode = true;
    d.s.options.memoriseTime = option::MemoriseTime::kShortMs;
    std::string whileMemorising, afterSolution;
    d.beforeFeed = [&](int n) {
        if (n == 0) {
            whileMemorising = d.TaskLineTexts();
            d.SaveScreen("drill_memorise_and_compute");
        }
        if (n == 5) afterSolution = d.TaskLineTexts();
    };
    d.Type("3+4=71+1=2");
    EXPECT_TRUE(d.Run());
    EXPECT_EQ(whileMemorising.find('7'), std::string::npos) << whileMemorising;
    EXPECT_NE(whileMemorising.find("3+4="), std::string::npos) << whileMemorising;
    EXPECT_NE(afterSolution.find("3+4=7"), std::string::npos) << afterSolution;
    EXPECT_EQ(d.s.run.wrongCount, 0);
}

// Dictation speaks the task and, with "Ergebnis ", only the result is typed; a list with a
// decimal comma is worked as mental arithmetic with gaps (nothing spoken) and the program is a
// dictation again afterwards.
TEST(DrillTask, DictationSpeaksOrRunsAsMentalArithmetic) {
    const struct {
        Bytes line, typed;
        P programDuringRun;
        std::vector<Bytes> spoken;
    } cases[] = {
        {"12+5=17", "17", P::Dictation, {"12 + 5", "1 + 1"}},
        {"2,5+1=_3,5", "3", P::MentalArithmetic, {}},
    };
    for (const auto& c : cases) {
        // mental arithmetic turns a one-line list into copying: two lines
        DrillFixture d(P::Dictation, {c.line, "1+1=_2"});
        P during = P::TaskEditor;
        d.beforeFeed = [&](int n) {
            if (n == 0) {
                during = d.s.programCode;
                d.SaveScreen(c.programDuringRun == P::Dictation ? "drill_dictation"
                                                                : "drill_dictation_as_mental");
            }
        };
        d.Type(c.typed);
        d.Type("2");
        EXPECT_TRUE(d.Run()) << c.line;
        EXPECT_EQ(during, c.programDuringRun) << c.line;
        EXPECT_EQ(d.speech.spoken, c.spoken) << c.line;
        EXPECT_EQ(d.s.programCode, P::Dictation) << c.line;
        EXPECT_EQ(d.s.run.wrongCount, 0) << c.line;
    }
}

// Help comes at the second wrong key with "2.Fehler", and Enter gives help in " Total " even
// with help switched off. The board is noted in the protocol line; a space closes it.
TEST(DrillTask, WhenTheHundredBoardComes) {
    const struct {
        int inputControl, help;
        Bytes typed, protocolKeys;
    } cases[] = {
        {InputControl::kCountEveryKey, option::Help::kAtSecondError, "56 7", "(5)(H1)(6)7"},
        {InputControl::kRefuseWrongKeys, option::Help::kNone, "\r 7", "(H1)7"},
    };
    for (const auto& c : cases) {
        DrillFixture d(P::MentalArithmetic, {"3+4=_7", "1+1=_2"});
        d.s.options.inputControl = c.inputControl;
        d.s.options.help = c.help;
        d.Type(c.typed + "2n");
        EXPECT_TRUE(d.Run()) << c.typed;
        // the gap blinks while the drill waits for a key, so the task takes its time
        EXPECT_EQ(d.Protocol(1).substr(3), " F " + Padded("3+4=_7", 30) + c.protocolKeys + " ")
            << c.typed;
    }
}

// The reading test: "-" keeps the task at the entry of its task number and moves its history
// entry right, "+" only notes it; the arrows change the build-up and hold times.
TEST(DrillTask, ReadingTestKeys) {
    DrillFixture d(P::CopyTask, {"12+5=17", "3+4=7"});
    d.s.readingMode = true;
    d.s.options.memoriseTime = option::MemoriseTime::kShortMs;
    d.beforeFeed = [&](int n) {
        if (n == 0) d.SaveScreen("drill_reading_test");
    };
    d.Press(key::kRight);
    d.Press(key::kUp);
    d.Press(key::kUp);
    d.Type("-+");
    d.Run();
    EXPECT_EQ(d.s.options.buildUpTime, 290);
    EXPECT_EQ(d.s.options.holdTime, 130);
    EXPECT_EQ(d.s.run.wrongCount, 1);
    EXPECT_EQ(d.s.run.wrongTaskList[1], "12+5=17");
    EXPECT_EQ(d.s.run.taskHistory[1], kNoTime + "  " + Bytes(32, ' ') + "12+5=17");
    EXPECT_EQ(d.Protocol(1), kNoTime + " F - " + Padded("12+5=17", 30) + " ");
    EXPECT_EQ(d.Protocol(2), kNoTime + " F + " + Padded("3+4=7", 30) + " ");
}

// Skipping: PgDn and "_" skip with the note, "w" goes on without it; Esc asks first and "n"
// goes on with the task.
TEST(DrillTask, SkipKeysAndTheQuitQuestion) {
    using Keys = std::vector<std::pair<unsigned char, bool>>;
    const struct {
        Keys keys;
        Bytes ending;
    } cases[] = {
        {{{key::kPageDown, true}}, " *übersprungen*  "_b},
        {{{'_', false}}, " *übersprungen*  "_b},
        {{{'w', false}}, Padded("1+1=2", 30) + " "},
        {{{'1', false},
          {'+', false},
          {'1', false},
          {'=', false},
          {key::kEscape, false},
          {'n', false},
          {'2', false}},
         Padded("1+1=2", 30) + " "},
    };
    for (const auto& c : cases) {
        DrillFixture d(P::CopyTask, {"1+1=2"});
        for (const auto& k : c.keys) d.script.push_back(k);
        EXPECT_TRUE(d.Run());
        const Bytes line = d.Protocol(1);
        ASSERT_GE(line.size(), c.ending.size());
        EXPECT_EQ(line.substr(line.size() - c.ending.size()), c.ending) << line;
        EXPECT_EQ(line.find("ESC"), Bytes::npos);
    }
}

// "2x": every task is typed twice; in dictation with "Ergebnis " the first time only the result.
TEST(DrillTask, TypedTwice) {
    const struct {
        P program;
        Bytes first, second;
    } cases[] = {{P::CopyTask, "3+4=7", "3+4=7"}, {P::Dictation, "7", "3+4=7"}};
    for (const auto& c : cases) {
        DrillFixture d(c.program, {"3+4=7"});
        d.s.options.repeat = option::Repeat::kTypeTwice;
        d.Type(c.first);
        EXPECT_FALSE(d.Run()) << "one typing is not enough";
        DrillFixture twice(c.program, {"3+4=7"});
        twice.s.options.repeat = option::Repeat::kTypeTwice;
        twice.Type(c.first + c.second);
        EXPECT_TRUE(twice.Run());
        EXPECT_EQ(twice.s.run.wrongCount, 0);
    }
}

// The task screens of the drills, saved for people to look at: the input line after two keys,
// and the tachistoscope while its task is flashed.
TEST(DrillScreens, EachDrillsTaskScreen) {
    const struct {
        const char* name;
        P program;
        Bytes line, typed;
        int tachistoscopeStyle;
        size_t textsWhenFlashed;  // tachistoscope: graphics texts drawn once the task shows
    } cases[] = {
        {"drill_memorise", P::MemoriseOnly, "23+4b5=68", "23+45=681+1=2", 1, 0},
        {"drill_mental_arithmetic", P::MentalArithmetic, "23+45=_6_8", "682", 1, 0},
        {"drill_copy", P::CopyTask, "23+4b5=68", "23+45=681+1=2", 1, 0},
        {"drill_tachistoscope_small", P::Tachistoscope, "23+45=68", "23+45=681+1=2", 3, 2},
        {"drill_tachistoscope_hatched", P::Tachistoscope, "23+45=68", "23+45=681+1=2", 5, 9},
    };
    for (const auto& c : cases) {
        DrillFixture d(c.program, {c.line, "1+1=_2"});
        d.s.tachistoscopeStyle = c.tachistoscopeStyle;
        d.s.options.tachistoscopeTime = 800;
        bool saved = false;
        d.beforeFeed = [&](int n) {
            if (n == 1 && c.textsWhenFlashed == 0) {
                d.SaveScreen(c.name);
                saved = true;
            }
        };
        d.onPump = [&] {
            if (c.textsWhenFlashed > 0 && !saved &&
                d.f.console.Trace().GraphicsTextCount() >= c.textsWhenFlashed) {
                d.SaveScreen(c.name);
                saved = true;
            }
        };
        d.Type(c.typed);
        EXPECT_TRUE(d.Run()) << c.name;
        EXPECT_TRUE(saved) << c.name;
        EXPECT_EQ(d.s.run.wrongCount, 0) << c.name;
    }
}

namespace {

std::vector<Bytes> ProtocolLines(const Session& s) {
    std::vector<Bytes> lines;
    for (int i = 0; i < s.protocolCount; ++i) {
        Bytes line = s.protocolLines[static_cast<size_t>(i)];
        while (!line.empty() && line.back() == ' ') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

// A task after a hint or a separator line at the end of the list is asked too; with four tasks
// the run ends with the closing screen and the certificate, and both hints are in the protocol.
TEST(DrillRun, TheLastTaskAfterAHintIsAsked) {
    DrillFixture d(P::CopyTask, {"!Erst die Plusaufgaben", "1+2=_3", "2+5=_7", "x", "3+3=_6",
                                 "!Jetzt noch eine", "4+1=_5"});
    int certificates = 0;
    d.s.offerCertificate = [&] { ++certificates; };
    d.Type("1+2=32+5=73+3=64+1=5 ");  // the blank passes the closing screen
    EXPECT_TRUE(d.Run());
    EXPECT_EQ(d.s.run.tasksDone, 4);
    EXPECT_EQ(certificates, 1);
    const std::vector<Bytes> expected = {"  0   1+2=_3", "  0   2+5=_7", "  0   3+3=_6",
                                         "      Jetzt noch eine", "  0   4+1=_5"};
    std::vector<Bytes> lines = ProtocolLines(d.s);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines.front(), "      Erst die Plusaufgaben");
    EXPECT_EQ(std::vector<Bytes>(lines.begin() + 1, lines.end()), expected);
}

// "17:5=_3 R _2" can be finished in every drill it is offered to: the blanks and the "R" are
// stepped over as the automatic comma is; the protocol keeps what the child typed.
TEST(DrillRun, BlanksAndLettersAreSteppedOver) {
    const Bytes line = "17:5=_3 R _2";
    const struct {
        const char* name;
        P program;
        bool compute;
        int inputControl;
        int dictationInput;
        Bytes typed;
        int wrongCount;
        Bytes protocolKeys;
    } cases[] = {
        {"memorise", P::MemoriseOnly, false, InputControl::kCountEveryKey, 0, "17:5=32", 0, ""},
        {"memorise and compute", P::MemoriseOnly, true, InputControl::kCountEveryKey, 0, "17:5=32",
         0, ""},
        {"copy", P::CopyTask, false, InputControl::kCountEveryKey, 0, "17:5=32", 0, ""},
        {"copy, refusing", P::CopyTask, false, InputControl::kRefuseWrongKeys, 0, "17:5=32", 0, ""},
        {"copy, on Enter", P::CopyTask, false, InputControl::kCheckOnEnter, 0, "17:5=3\b32\r", 0,
         ""},
        {"copy, a wrong key", P::CopyTask, false, InputControl::kCountEveryKey, 0, "17:5=342n", 1,
         "17:5=3(4)2"},
        {"fill in signs", P::FillInSigns, false, InputControl::kCountEveryKey, 0, "17:5=32", 0, ""},
        {"dictation", P::Dictation, false, InputControl::kCountEveryKey,
         option::DictationInput::kEverything, "17:5=32", 0, ""},
        {"dictation, result", P::Dictation, false, InputControl::kCountEveryKey,
         option::DictationInput::kResult, "32", 0, ""},
        {"tachistoscope", P::Tachistoscope, false, InputControl::kCountEveryKey, 0, "17:5=32", 0,
         ""},
    };
    for (const auto& c : cases) {
        DrillFixture d(c.program, {line});
        d.s.computeMode = c.compute;
        d.s.options.inputControl = c.inputControl;
        if (c.program == P::Dictation) d.s.options.dictationInput = c.dictationInput;
        d.Type(c.typed);
        EXPECT_TRUE(d.Run()) << c.name << ": the task could not be finished";
        EXPECT_EQ(d.s.run.wrongCount, c.wrongCount) << c.name;
        const Bytes mark = c.wrongCount > 0 ? " F " : "   ";
        EXPECT_EQ(d.Protocol(1), kNoTime + mark + Padded(line, 30) + c.protocolKeys + " ")
            << c.name;
    }
}

// Mental arithmetic with " bei ENTER ": Backspace takes the last gap digit back (and its gap is
// the one to fill again) or, before the first gap is filled, does nothing; nothing is drawn
// outside the task.
TEST(DrillRun, BackspaceInMentalArithmeticTakesBackAGapDigit) {
    const struct { Bytes typed; } cases[] = {{"6\b68"}, {"\b68"}, {"6\b\b68"}};
    for (const auto& c : cases) {
        DrillFixture d(P::MentalArithmetic, {"23+45=_6_8", "1+1=_2"});
        d.s.options.inputControl = InputControl::kCheckOnEnter;
        QImage before, afterBackspace;
        const size_t lastBackspace = c.typed.rfind('\b');
        d.beforeFeed = [&](int n) {
            if (n == 0) before = d.f.host.framebuffer.copy();
            if (n == static_cast<int>(lastBackspace) + 1)
                afterBackspace = d.f.host.framebuffer.copy();
        };
        d.Type(c.typed + "2");
        EXPECT_TRUE(d.Run()) << c.typed;
        EXPECT_EQ(d.s.run.wrongCount, 0) << c.typed;
        // the screen is as it was before the first key, apart from the blinking gap box
        ASSERT_EQ(before.size(), afterBackspace.size());
        QRect changed;
        for (int y = 0; y < before.height(); ++y)
            for (int x = 0; x < before.width(); ++x)
                if (before.pixel(x, y) != afterBackspace.pixel(x, y)) changed |= QRect(x, y, 1, 1);
        EXPECT_LT(changed.width(), before.width() / 10) << c.typed;
    }
}

// "Merken und rechnen": the task shown again as help keeps its gaps blank, so the result the
// child is to work out is not given away; the help is noted in the protocol.
TEST(DrillRun, HelpInMemoriseAndComputeHidesTheResult) {
    DrillFixture d(P::MemoriseOnly, {"3+4=_7", "1+1=_2"});
    d.s.computeMode = true;
    d.s.options.help = option::Help::kOnEnter;
    bool shown = false, resultShown = false;
    d.onPump = [&] {
        if (d.fed != 1) return;  // while Enter's help shows the task
        const std::string texts = d.TaskLineTexts();
        if (texts.find("3+4=") == std::string::npos) return;
        if (!shown) d.SaveScreen("drill_memorise_and_compute_help");
        shown = true;
        resultShown = resultShown || texts.find('7') != std::string::npos;
    };
    d.Type("\r3+4=71+1=2");
    EXPECT_TRUE(d.Run());
    EXPECT_TRUE(shown);
    EXPECT_FALSE(resultShown);
    EXPECT_EQ(d.Protocol(1).substr(3), " F " + Padded("3+4=_7", 30) + "(H4)3+4=7 ");
}

// Skipping the list's last line with a wrong task pending brings the repeat question, not line 1
// again: "n" ends the run, "j" repeats the wrong task and then ends it. The same after the last
// task of a list that ends with a hint.
TEST(DrillRun, SkippingTheLastLineAsksForTheRepetition) {
    const Bytes wrong = "  0 F " + Padded("1+1=2", 30) + "1+1=(3)2";
    const Bytes right = "  0   2+2=4";
    const Bytes skipped = "  0   " + Padded("3+3=6", 30) + " *übersprungen*"_b;
    const std::vector<Bytes> list = {"1+1=2", "2+2=4", "3+3=6"};
    const struct {
        std::vector<Bytes> lines;
        Bytes typed;
        std::vector<Bytes> protocol;
    } cases[] = {
        {list, "1+1=322+2=4_n", {wrong, right, skipped}},
        {list, "1+1=322+2=4_j1+1=2 ", {wrong, right, skipped, "  0   1+1=2"}},
        // only a hint after the last task: the list is through after that task
        {{"1+1=2", "2+2=4", "!Fertig"}, "1+1=322+2=4n", {wrong, right, "      Fertig"}},
        {{"1+1=2", "2+2=4", "!Fertig"},
         "1+1=322+2=4j1+1=2 ",
         {wrong, right, "      Fertig", "  0   1+1=2"}},
    };
    for (const auto& c : cases) {
        DrillFixture d(P::CopyTask, c.lines);
        d.s.options.repeat = option::Repeat::kWrongTasks;
        d.Type(c.typed);
        EXPECT_TRUE(d.Run()) << c.typed << ": the run did not end by itself";
        EXPECT_TRUE(d.script.empty()) << c.typed;
        EXPECT_EQ(ProtocolLines(d.s), c.protocol) << c.typed;
    }
}

// The reading test's times stay within 0 … 3000 ms when the option file held a value that is no
// multiple of ten.
TEST(DrillRun, ReadingTimesStayInTheirRange) {
    const struct {
        int buildUp, hold;
        unsigned char key;
        int buildUpAfter, holdAfter;
    } cases[] = {
        {5, 100, key::kLeft, 0, 100},    {2995, 100, key::kRight, 3000, 100},
        {100, 5, key::kDown, 100, 0},    {100, 2995, key::kUp, 100, 3000},
        {105, 105, key::kLeft, 95, 105},
    };
    for (const auto& c : cases) {
        DrillFixture d(P::CopyTask, {"3+4=7"});
        d.s.readingMode = true;
        d.s.options.buildUpTime = c.buildUp;
        d.s.options.holdTime = c.hold;
        d.Press(c.key);
        d.Type("+");
        EXPECT_TRUE(d.Run());
        EXPECT_EQ(d.s.options.buildUpTime, c.buildUpAfter) << c.buildUp << " " << int(c.key);
        EXPECT_EQ(d.s.options.holdTime, c.holdAfter) << c.hold << " " << int(c.key);
    }
}

// "Zeichen eintragen" on large windows: the typed digits stand inside their frame, also where the
// window's pixels do not divide evenly into the 640×480 screen.
TEST(DrillScreens, TypedDigitsStayInsideTheirFrames) {
    for (const QSize window : {QSize(1280, 1024), QSize(1920, 1080)}) {
        DrillFixture d(P::FillInSigns, {"7+8=15"}, window);
        const std::string name = "drill_fill_in_signs_" + std::to_string(window.width());
        QImage screen;
        d.beforeFeed = [&](int n) {
            if (n == 3) {
                screen = d.f.host.framebuffer.copy();
                d.SaveScreen(QString::fromStdString(name));
            }
        };
        d.Type("7+8=15");
        EXPECT_TRUE(d.Run()) << name;
        ASSERT_FALSE(screen.isNull()) << name;
        // the lower half: white frame lines and the green typed digits
        QRect frame, ink;
        for (int y = screen.height() / 2; y < screen.height(); ++y)
            for (int x = 0; x < screen.width(); ++x) {
                const QColor c = screen.pixelColor(x, y);
                if (c.red() > 200 && c.green() > 200 && c.blue() > 200) frame |= QRect(x, y, 1, 1);
                if (c.green() > 150 && c.red() < 100 && c.blue() < 100) ink |= QRect(x, y, 1, 1);
            }
        ASSERT_FALSE(ink.isEmpty()) << name;
        // the frame's own lines are above and below the ink (the cursor box lies lower still)
        EXPECT_GT(ink.top(), frame.top()) << name;
        int frameBottom = -1;
        for (int y = ink.bottom(); y < screen.height() && frameBottom < 0; ++y)
            if (screen.pixelColor(ink.center().x(), y).lightness() > 200) frameBottom = y;
        EXPECT_GT(frameBottom, ink.bottom())
            << name << ": the digits reach into the frame's bottom line";
        EXPECT_GT(ink.left(), frame.left()) << name;
    }
}
