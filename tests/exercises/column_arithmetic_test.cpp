#include "exercises/column_arithmetic.h"

#include <gtest/gtest.h>
#include <deque>
#include <optional>
#include <sstream>

#include "console/console_host.h"
#include "console/dos_keys.h"
#include "exercises/column_layout.h"
#include "graphics/graphics.h"
#include "tests/exercises/session_fixture.h"
#include "tests/graphics/graphics_fixture.h"

using namespace radevir;
namespace key = radevir::doskey;

namespace {

// Written arithmetic on a session with real graphics. Keys come from a script one at a time,
// whenever the program reads one or has polled for one a while (the blinking cursor, the pause
// after a solved task, where a blank ends the pause). When the script is used up the next wait
// ends the run with an abort.
struct ColumnFixture {
    static constexpr int kIdlePumpsBeforeFeeding = 40;

    test::SessionFixture f;
    Graphics graphics{f.console};
    Session& s = f.session;
    std::deque<std::pair<unsigned char, bool>> script;
    int pumpsSinceFeed = 0;
    std::vector<std::string> tracesBeforeKey;  // the text trace just before each key was fed
    std::vector<QImage> screensBeforeKey;      // and the screen

    // `window`: the client size when it is not the fixture's own (802×502)
    explicit ColumnFixture(std::vector<Bytes> lines, QSize window = {}) {
        if (window.isValid()) f.host.framebuffer = MakeFramebuffer(window);
        f.console.SetInstalledFontNames(test::KitFontFaces());
        f.console.InitConsole(test::FrameGlyphs());
        f.console.SetFontFace(3, QStringLiteral("DARIZODEV"));
        f.console.SetOemConversionOff(true);
        f.console.Geometry().keepAspect = true;
        f.console.Graphics().ascentAlign = true;
        s.graphics = &graphics;
        s.programCode = ProgramCode::WrittenArithmetic;
        s.tasks.SetLines(lines);
        s.tasks.position = 1;
        s.options.animation = option::Switch::kOff;
        f.host.onPump = [this] { Pump(); };
    }

    void Type(std::string_view typed) {
        for (char c : typed) script.emplace_back(static_cast<unsigned char>(c), false);
    }
    void Press(unsigned char code) { script.emplace_back(code, true); }

    void Pump() {
        Console& c = f.console;
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
        const auto [code, extended] = script.front();
        script.pop_front();
        tracesBeforeKey.push_back(c.Trace().Dump());
        screensBeforeKey.push_back(f.host.framebuffer.copy());
        c.AppendKey(code, extended);
    }

    // True when the run ended by itself with every key used.
    bool Run() {
        try {
            RunColumnArithmetic(s);
            return script.empty();
        } catch (const AbortRequestedError&) {
            f.console.ClearAbortRequest();
            return false;
        }
    }

    // The colour on the screen before key `key` at a point in 640×480 units.
    QColor Before(size_t key, int x, int y) {
        return screensBeforeKey.at(key).pixelColor(graphics.VgaToPixel({x, y}));
    }
    // Pixels of `colour` on the screen before key `key` inside a rectangle in 640×480 units.
    int CountBefore(size_t key, QRect vga, QColor colour) {
        return test::CountColour(
            screensBeforeKey.at(key),
            QRect(graphics.VgaToPixel(vga.topLeft()), graphics.VgaToPixel(vga.bottomRight())),
            colour);
    }
    QColor Palette(int index) const { return f.console.Palette()[static_cast<size_t>(index)]; }

    // The protocol line of a task without its time (the first three characters).
    Bytes Protocol(int task) const {
        const Bytes& line = s.protocolLines[static_cast<size_t>(task - 1)];
        return line.size() > 3 ? line.substr(3) : line;
    }
};

Bytes Padded(const Bytes& line) {
    return line + Bytes(30 - line.size(), ' ');
}

struct DrawnText {
    int x = 0, y = 0;
    std::string text;
};
// The graphics texts of a trace dump, in the order they were drawn.
std::vector<DrawnText> DrawnTexts(const std::string& trace) {
    std::vector<DrawnText> out;
    std::istringstream dump(trace);
    std::string line;
    bool texts = false;
    while (std::getline(dump, line)) {
        if (line == "--") {
            texts = true;
            continue;
        }
        std::istringstream fields(line);
        DrawnText t;
        if (!texts || !(fields >> t.x >> t.y)) continue;
        std::getline(fields >> std::ws, t.text);
        out.push_back(t);
    }
    return out;
}
int CountDrawn(const std::string& trace, const std::string& text) {
    int n = 0;
    for (const DrawnText& t : DrawnTexts(trace)) n += t.text == text ? 1 : 0;
    return n;
}

// The grid of a task as the run lays it out.
GridLevel GridOf(std::string_view line) {
    return GridLevelFor(PlanColumnTask(ClassifyColumnTask(line), true, 1).gridSize);
}

}  // namespace

// (task, keys) → (protocol line, counted wrong): digits right to left, every carry typed; a blank
// ends the pause after each solved task.
TEST(ColumnArithmetic, KeysOfATaskGoIntoItsProtocolLine) {
    struct Case {
        const char* line;
        const char* keys;
        const char* logged;  // after the 30 characters of the task
        bool wrong;
        int divisionMethod = 1;
    };
    for (const Case& c : std::vector<Case>{
             {"47+38=", "518 ", "", false},
             // a wrong first key: logged in brackets, the task counts wrong, later keys follow
             {"47+38=", "6518 ", "(6)518", true},
             // a wrong carry is no error: the prompt simply stays
             {"52-17=", "5213 ", "", false},
             {"52-17=", "5143 ", "51(4)3", true},
             // 492, 615 one cell further right, then 5535 with its carry
             {"123*45=",
              "294516535"
              "15 ",
              "", false},
             {"123*45=",
              "294516535"
              "615 ",
              "", false},
             {"123*45=",
              "2946516535"
              "15 ",
              "294(6)516535"
              "15",
              true},
             // quotient 3, product 15, difference 2
             {"17:5=", "3512 ", "", false},
             // a wrong digit brought down counts the task, but gets no help of its own
             {"9753:4=",
              "2899"
              "7146151321338231 ",
              "28(9)(9)7146151321338231", true, 0},
             {"9753:4=",
              "2817"
              "46115321338231 ",
              "", false, 1},
         }) {
        ColumnFixture x({c.line});
        x.s.options.divisionMethod = c.divisionMethod;
        x.Type(c.keys);
        ASSERT_TRUE(x.Run()) << c.line << " " << c.keys;
        EXPECT_EQ(x.Protocol(1), Bytes(c.wrong ? " F " : "   ") + Padded(c.line) + c.logged + " ")
            << c.line << " " << c.keys;
        EXPECT_EQ(x.s.run.wrongCount, c.wrong ? 1 : 0) << c.line << " " << c.keys;
        EXPECT_EQ(x.s.run.wrongTaskList[1], c.wrong ? c.line : "") << c.line;
    }
}

// Help 3: the first wrong key counts the task, the next ones bring the hundred board at H1, H2
// and H3 (each closed by a key), the fifth shows the digit, which the child then types.
TEST(ColumnArithmetic, WrongKeysBringTheHelpStepsOneByOne) {
    ColumnFixture x({"47+38="});
    x.s.options.help = option::Help::kAtSecondError;
    x.Type(
        "66 6 6 6"
        "518 ");
    ASSERT_TRUE(x.Run());
    EXPECT_EQ(x.Protocol(1), " F " + Padded("47+38=") + "(6)(6)(H1)(6)(H2)(6)(H3)(6)(H4)518 ");
    EXPECT_EQ(x.s.run.wrongCount, 1);

    // help on Enter only: the same steps without counting the task wrong
    ColumnFixture enter({"47+38="});
    enter.s.options.help = option::Help::kOnEnter;
    enter.Type("\r \r \r \r518 ");
    ASSERT_TRUE(enter.Run());
    EXPECT_EQ(enter.Protocol(1), " F " + Padded("47+38=") + "(H1)(H2)(H3)(H4)518 ");
    EXPECT_EQ(enter.s.run.wrongCount, 0);

    // F2 opens the board at H2 for the column being worked; help 4 has no help keys
    ColumnFixture board({"47+38="});
    board.Press(key::kF2);
    board.Type(" 518 ");
    ASSERT_TRUE(board.Run());
    EXPECT_EQ(board.Protocol(1), " F " + Padded("47+38=") + "(H2)518 ");
    ColumnFixture noKeys({"47+38="});
    noKeys.s.options.help = option::Help::kAtSecondErrorOnly;
    noKeys.Press(key::kF2);
    noKeys.Type("518 ");
    ASSERT_TRUE(noKeys.Run());
    EXPECT_EQ(noKeys.Protocol(1), "   " + Padded("47+38=") + " ");
}

// The numbers a trace shows written inside the hundred board's area beside the paper.
int BoardNumbers(const std::string& trace) {
    std::istringstream dump(trace);
    std::string line;
    bool texts = false;
    int count = 0;
    while (std::getline(dump, line)) {
        if (line == "--") {
            texts = true;
            continue;
        }
        std::istringstream fields(line);
        int x = 0, y = 0;
        std::string text;
        if (!texts || !(fields >> x >> y >> text)) continue;
        const bool number = text.find_first_not_of("0123456789") == std::string::npos;
        if (number && x >= 8 && x < 8 + 244 && y >= 220 && y < 220 + 244) ++count;
    }
    return count;
}

// The board shows the column being worked: in the tens of 47+38, with the tens counted as tens,
// 40 + 30 and the carry 10, each numbered from 1 at H2.
TEST(ColumnArithmetic, TheBoardShowsTheColumnWithItsCarry) {
    ColumnFixture x({"47+38="});
    x.s.options.hundredBoard = 0;
    x.Type("51");
    x.Press(key::kF2);
    x.Type(" 8 ");
    ASSERT_TRUE(x.Run());
    ASSERT_EQ(x.tracesBeforeKey.size(), 6u);
    EXPECT_EQ(BoardNumbers(x.tracesBeforeKey[3]), 40 + 30 + 10);
    EXPECT_EQ(BoardNumbers(x.tracesBeforeKey[2]), 0);
}

// With single steps a division's difference has no smaller step: Enter shows its digit at once.
TEST(ColumnArithmetic, DivisionStepsOnTheBoardAndTheDifferenceAtOnce) {
    ColumnFixture x({"17:5="});
    x.s.options.help = option::Help::kAtSecondError;
    x.s.options.hundredBoard = 7;
    x.Type("\r 351\r2 ");
    ASSERT_TRUE(x.Run());
    EXPECT_EQ(x.Protocol(1), " F " + Padded("17:5=") + "(H1)351(H4)2 ");
}

TEST(ColumnArithmetic, EscapeSkipAndRejectedLines) {
    // the skip key keeps the task number; the line gets its note
    ColumnFixture skip({"47+38=", "17:5=", "52-17="});
    skip.Type("_w513 ");
    ASSERT_TRUE(skip.Run());
    EXPECT_EQ(skip.s.run.tasksDone, 1);
    EXPECT_EQ(skip.Protocol(1), "         " + Padded("47+38=") + " *übersprungen*  "_b);
    EXPECT_EQ(skip.Protocol(2), "         " + Padded("17:5=") + " *übersprungen*  "_b);
    EXPECT_EQ(skip.Protocol(3), "   " + Padded("52-17=") + " ");
    EXPECT_EQ(skip.s.run.taskHistory[1].substr(3), "  52-17=");

    // Esc asks, "n" goes on (here at a carry), "j" ends the run and the broken-off line is emptied
    ColumnFixture escape({"47+38=", "52-17="});
    escape.Type("5\x1bn18 \x1bj");
    ASSERT_TRUE(escape.Run());
    EXPECT_EQ(escape.Protocol(1), "   " + Padded("47+38=") + " ");
    EXPECT_EQ(escape.s.protocolLines[1], "");
    EXPECT_EQ(escape.s.run.tasksDone, 2);

    // a line outside the range is shown with the message and noted; the run goes on
    ColumnFixture rejected({"1+1+1+1+1+1+1+1+1+1+1+1+1+1+1=", "1+1+1+1+1+1+1+1+1+1+1+1+1+1="});
    rejected.Type(" 41 ");
    ASSERT_TRUE(rejected.Run());
    EXPECT_EQ(rejected.s.protocolLines[0], "1+1+1+1+1+1+1+1+1+1+1+1+1+1+1= /Aufgabenstellung??");
    EXPECT_EQ(rejected.Protocol(2), "   " + Padded("1+1+1+1+1+1+1+1+1+1+1+1+1+1=") + " ");
    EXPECT_EQ(rejected.s.run.tasksDone, 2);

    // Esc in the pause after a solved task ends the run in order: its line stays
    ColumnFixture pause({"47+38=", "52-17="});
    pause.Type("518\x1bj");
    ASSERT_TRUE(pause.Run());
    EXPECT_EQ(pause.Protocol(1), "   " + Padded("47+38=") + " ");
    EXPECT_TRUE(pause.s.run.endAfterRepeat);
    EXPECT_EQ(pause.s.run.tasksDone, 1);
}

// More than three tasks: the closing screen, then the certificate.
TEST(ColumnArithmetic, CertificateAfterMoreThanThreeTasks) {
    for (const int tasks : {3, 4}) {
        std::vector<Bytes> lines(static_cast<size_t>(tasks), "2+3=");
        ColumnFixture x(lines);
        int offered = 0;
        x.s.offerCertificate = [&] { ++offered; };
        for (int i = 0; i < tasks; ++i) x.Type("5 ");
        if (tasks > 3) x.Type(" ");  // the closing screen
        ASSERT_TRUE(x.Run()) << tasks;
        EXPECT_EQ(offered, tasks > 3 ? 1 : 0) << tasks;
        EXPECT_EQ(x.s.run.taskHistory[static_cast<size_t>(tasks)].substr(3), "  2+3=") << tasks;
    }
}

// Hint and separator lines before the last task: every line of the list is reached, the hint in
// the protocol and the last task asked.
TEST(ColumnArithmetic, HintAndSeparatorLinesBeforeTheLastTask) {
    for (const Bytes& between : {Bytes("!weiter mit Minus.txt"), Bytes("x")}) {
        ColumnFixture x({"47+38=", between, "52-17="});
        x.Type("518 513 ");
        ASSERT_TRUE(x.Run()) << between;
        EXPECT_EQ(x.s.run.tasksDone, 2) << between;
        EXPECT_EQ(x.s.run.taskHistory[2].substr(3), "  52-17=") << between;
        const bool hint = between.front() == '!';
        EXPECT_EQ(x.s.protocolCount, hint ? 3 : 2) << between;
        if (hint) {
            EXPECT_EQ(x.s.protocolLines[1], "      weiter mit Minus.txt");
        }
        EXPECT_EQ(x.Protocol(hint ? 3 : 2), "   " + Padded("52-17=") + " ") << between;
    }
    // a hint as the last line reaches the protocol too
    ColumnFixture last({"47+38=", "!Ende"});
    last.Type("518 ");
    ASSERT_TRUE(last.Run());
    EXPECT_EQ(last.s.protocolLines[1], "      Ende");
}

// (multiplier digit, factor digit, digit typed, flags) → the value and carry written small: the
// carry counts one more when the digit typed is smaller than the product's last digit (a carry
// came in); with the carry hint on, a carry of 0 writes nothing at all.
TEST(ColumnArithmetic, MultiplicationHintsByFlag) {
    struct Case {
        int a, b, typed, flags;
        MultiplicationHint hint;
    };
    for (const Case& c : std::vector<Case>{
             {4, 3, 2, 1, {"12", ""}},
             {4, 3, 2, 2, {"", "1"}},
             {4, 3, 2, 3, {"12", "1"}},
             {4, 2, 9, 1, {"8", ""}},
             {4, 2, 9, 2, {"", ""}},
             {4, 2, 9, 3, {"", ""}},
             {7, 6, 2, 3, {"42", "4"}},
             {7, 5, 9, 3, {"35", "3"}},
             {7, 1, 0, 3, {"7", "1"}},  // 7 and the 3 carried make 10: a carry of 1
             {7, 1, 0, 1, {"7", ""}},
             {5, 2, 1, 3, {"10", "1"}},
             {3, 3, 9, 0, {"", ""}},
         }) {
        EXPECT_EQ(HintAfterDigit(c.a, c.b, c.typed, c.flags), c.hint)
            << c.a << "x" << c.b << " typed " << c.typed << " flags " << c.flags;
    }
}

// 123*45= with single steps on the board and both hints: after the 2 of 492 the hints "12" and
// "1" stand small in the next cell; the 9 after it has a carry of 0, and the "1" must go although
// no new hint comes. The value hint is drawn in its own grey on either paper.
TEST(ColumnArithmetic, MultiplicationHintsOnTheScreen) {
    struct Case {
        int scheme;
        QColor valueGrey;
        int paletteGrey;
    };
    for (const Case& c : {Case{option::BackgroundColour::kNavy, QColor(0xC0, 0xC0, 0xC0), 7},
                          Case{0, QColor(0x80, 0x80, 0x80), 8}}) {
        ColumnFixture x({"123*45="});
        x.s.options.hundredBoard = 4;
        x.s.options.writtenHelpFlags = kValueHintFlag | kCarryHintFlag;
        x.s.options.backgroundColour = c.scheme;
        x.Type(
            "294516535"
            "15 ");
        ASSERT_TRUE(x.Run()) << c.scheme;
        const GridLevel g = GridOf("123*45=");
        // the cell of the 9 of 492: row 1, the second cell from the right end of the row
        const int cell = 3, row = 1;
        const QRect carryHint(QPoint(g.CellLeft(cell), g.RowTop(row)),
                              QPoint(g.CellLeft(cell) + g.cell / 3, g.RowTop(row) + g.cell / 3));
        const QRect valueHint(QPoint(g.CellLeft(cell), g.RowBottom(row) - g.cell / 3),
                              QPoint(g.CellLeft(cell) + g.cell / 3, g.RowBottom(row) - 1));
        const QColor carryColour = x.Palette(c.scheme == option::BackgroundColour::kNavy ? 11 : 9);
        EXPECT_GT(x.CountBefore(1, carryHint, carryColour), 0) << c.scheme;
        EXPECT_GT(x.CountBefore(1, valueHint, c.valueGrey), 0) << c.scheme;
        // not the palette's grey of that paper (A0A0A0 on blue, 404040 on grey)
        EXPECT_EQ(x.CountBefore(1, valueHint, x.Palette(c.paletteGrey)), 0) << c.scheme;
        // before the 4 of 492: the carry hint of the 2 is gone
        EXPECT_EQ(x.CountBefore(2, carryHint, carryColour), 0) << c.scheme;
        EXPECT_EQ(x.Protocol(1), "   " + Padded("123*45=") + " ");
    }
}

// With the current digits highlighted, each digit of a partial product frames the two digits
// being multiplied (red) and the cell the digit goes into (dark red); the frames move on with
// the digits and are gone for the sum.
TEST(ColumnArithmetic, FramesRoundTheDigitsBeingMultiplied) {
    ColumnFixture x({"123*45="});
    x.s.options.highlightCurrentDigits = true;
    x.Type(
        "294516535"
        "15 ");
    ASSERT_TRUE(x.Run());
    const GridLevel g = GridOf("123*45=");
    struct Framed {
        int factorCell, multiplierCell, targetCell, targetRow;
    };
    const std::vector<std::optional<Framed>> before = {
        Framed{2, 4, 4, 1}, Framed{1, 4, 3, 1}, Framed{0, 4, 2, 1},  // 4 × 123
        Framed{2, 5, 5, 2}, Framed{1, 5, 4, 2}, Framed{0, 5, 3, 2},  // 5 × 123
        std::nullopt,                                                // the sum
    };
    const QColor red = x.Palette(4), darkRed = x.Palette(2);
    for (size_t key = 0; key < before.size(); ++key) {
        // the task row by the middle of each cell's top edge, the rows below by their bottom edge
        for (int cell = 0; cell <= 5; ++cell) {
            const QColor top = x.Before(key, g.CellLeft(cell) + g.cell / 2, g.RowTop(0));
            const bool framed = before[key] && (cell == before[key]->factorCell ||
                                                cell == before[key]->multiplierCell);
            EXPECT_EQ(top == red, framed) << "key " << key << ", task cell " << cell;
        }
        for (int row = 1; row <= 2; ++row) {
            for (int cell = 2; cell <= 5; ++cell) {
                const QColor bottom =
                    x.Before(key, g.CellLeft(cell) + g.cell / 2, g.RowBottom(row));
                // a frame in the row below shares this edge
                const bool framed =
                    before[key] && cell == before[key]->targetCell &&
                    (row == before[key]->targetRow || row + 1 == before[key]->targetRow);
                EXPECT_EQ(bottom == darkRed, framed)
                    << "key " << key << ", cell " << cell << ", row " << row;
            }
        }
    }
}

// A division with a remainder shows "Rest: " and the remainder under its last row once it is
// solved; one without shows none.
TEST(ColumnArithmetic, TheRemainderIsWrittenUnderTheSolvedDivision) {
    struct Case {
        const char* line;
        const char* keys;
        const char* remainder;  // "" for none
    };
    for (const Case& c : std::vector<Case>{{"17:5=", "3512 ", "Rest: 2"},
                                           {"9753:4=",
                                            "2817"
                                            "46115321338231 ",
                                            "Rest: 1"},
                                           {"84:4=", "28414 ", ""}}) {
        ColumnFixture x({c.line});
        x.Type(c.keys);
        ASSERT_TRUE(x.Run()) << c.line;
        const std::string& solved = x.tracesBeforeKey.back();  // in the pause after the task
        const ColumnPlan plan = PlanColumnTask(ClassifyColumnTask(c.line), true, 1);
        const GridLevel g = GridLevelFor(plan.gridSize);
        int rests = 0;
        for (const DrawnText& t : DrawnTexts(solved)) {
            if (t.text.rfind("Rest", 0) != 0) continue;
            ++rests;
            EXPECT_EQ(t.text, c.remainder) << c.line;
            EXPECT_GE(t.y, g.RowBottom(plan.lastRow)) << c.line;
            EXPECT_LE(t.y, 479) << c.line;
        }
        EXPECT_EQ(rests, *c.remainder ? 1 : 0) << c.line;
        EXPECT_EQ(CountDrawn(x.tracesBeforeKey[x.tracesBeforeKey.size() - 2], c.remainder), 0)
            << c.line;
    }
}

// A time limit ends the run after the task in which it ran out, in order: the task's protocol
// line stays, and the rest of the list is not asked.
TEST(ColumnArithmetic, TheTimeLimitEndsTheRunKeepingTheProtocolLine) {
    struct Case {
        int limit_s;
        const char* keys;
        int tasksDone;
    };
    for (const Case& c : std::vector<Case>{{1, "518 ", 1}, {3600, "518 513 ", 2}}) {
        ColumnFixture x({"47+38=", "52-17="});
        x.s.options.timeLimited = option::TimeLimited::kLimited;
        x.s.run.timeLimit_s = c.limit_s;
        x.s.run.runStopwatch.Start(x.f.clock);
        x.Type(c.keys);
        ASSERT_TRUE(x.Run()) << c.limit_s;
        EXPECT_EQ(x.s.run.tasksDone, c.tasksDone) << c.limit_s;
        EXPECT_EQ(x.s.run.endAfterRepeat, c.tasksDone == 1) << c.limit_s;
        EXPECT_EQ(x.s.run.lastKey, c.tasksDone == 1 ? key::kEscape : 0) << c.limit_s;
        EXPECT_EQ(x.Protocol(1), "   " + Padded("47+38=") + " ") << c.limit_s;
    }
}

// Enter on a carry prompt shows the carry in place of the "?" when help on Enter is on; the
// child still types it, and nothing is logged against the task.
TEST(ColumnArithmetic, EnterOnACarryPrompt) {
    struct Case {
        int help;
        bool shown;
    };
    for (const Case& c : std::vector<Case>{{option::Help::kNone, false},
                                           {option::Help::kOnEnter, true},
                                           {option::Help::kHelpKeys, true},
                                           {option::Help::kAtSecondError, true},
                                           {option::Help::kAtSecondErrorOnly, false}}) {
        ColumnFixture x({"47+38="});
        x.s.options.help = c.help;
        x.Type("5\r18 ");
        ASSERT_TRUE(x.Run()) << c.help;
        ASSERT_GE(x.tracesBeforeKey.size(), 3u);
        EXPECT_EQ(CountDrawn(x.tracesBeforeKey[1], "1"), 0) << c.help;  // before Enter: "?"
        EXPECT_EQ(CountDrawn(x.tracesBeforeKey[2], "1") > 0, c.shown) << c.help;
        EXPECT_EQ(x.Protocol(1), "   " + Padded("47+38=") + " ") << c.help;
        EXPECT_EQ(x.s.run.wrongCount, 0) << c.help;
    }
}

// With the wipe on, a solved task is wiped off line by line: on a tall window too, where one
// unit of the 640×480 screen is two pixel rows, nothing of the task is left in between.
TEST(ColumnArithmetic, TheWipeLeavesNothingOfTheTask) {
    for (const QSize window : {QSize(802, 502), QSize(1280, 1024), QSize(1920, 1080)}) {
        ColumnFixture x({"47+38="}, window);
        x.s.options.animation = option::Switch::kOn;
        x.Type("518 ");
        ASSERT_TRUE(x.Run());
        const QRect sheet(x.graphics.VgaToPixel({0, 2}), x.graphics.VgaToPixel({639, 479}));
        const QColor paper = x.Palette(1);  // the blue paper
        EXPECT_EQ(test::CountColour(x.f.host.framebuffer, sheet, paper),
                  sheet.width() * sheet.height())
            << window.width() << "x" << window.height();
    }
}
