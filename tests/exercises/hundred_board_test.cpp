#include "exercises/hundred_board.h"

#include <gtest/gtest.h>

#include "console/dos_keys.h"
#include "graphics/graphics.h"
#include "tests/exercises/session_fixture.h"
#include "tests/graphics/graphics_fixture.h"
#include "tests/test_support.h"

using namespace radevir;
using radevir::test::SessionFixture;

namespace {

constexpr int kDefaultOption = 7;  // "+1↑", the options' default

// Cells from..to (numbers 1..100) in one colour; numbers count up from `firstNumber` cell by
// cell (`counting`) or stay at it; 0 means no number.
struct Run {
    int from, to, colour;
    int firstNumber = 0;
    bool counting = true;
    bool struckOut = false;
};

void ExpectRuns(const std::array<BoardCell, kBoardCells>& cells, const std::vector<Run>& runs, const std::string& what) {
    int expectedNext = 1;
    for (const Run& r : runs) {
        ASSERT_EQ(r.from, expectedNext) << what << ": the runs must cover the board";
        for (int k = r.from; k <= r.to; ++k) {
            const BoardCell& c = cells[static_cast<size_t>(k - 1)];
            const int number = r.firstNumber == 0 ? 0 : r.firstNumber + (r.counting ? k - r.from : 0);
            EXPECT_EQ(c.colour, r.colour) << what << " cell " << k;
            EXPECT_EQ(c.number, number) << what << " cell " << k;
            EXPECT_EQ(c.struckOut, r.struckOut) << what << " cell " << k;
        }
        expectedNext = r.to + 1;
    }
    EXPECT_EQ(expectedNext, kBoardCells + 1) << what;
}

// `count` groups of `size` cells from cell `from`, taking turns between two colours; at the
// middle level each group counts 1..size (products) or carries its group number (quotients).
std::vector<Run> Groups(int from, int count, int size, int colourA, int colourB, bool numbered, bool groupNumbers,
                        int firstGroup = 1) {
    std::vector<Run> runs;
    for (int g = 0; g < count; ++g) {
        const int start = from + g * size;
        const int number = !numbered ? 0 : groupNumbers ? firstGroup + g : 1;
        runs.push_back({start, start + size - 1, g % 2 == 0 ? colourA : colourB, number, !groupNumbers});
    }
    return runs;
}

// Counts the tones the console asks for.
class CountingSound : public SoundPort {
public:
    bool MakeToneFile(const QString&, int, int, int) override { return true; }
    bool PlayFile(const QString& path, int) override {
        plays.push_back(path);
        return true;
    }
    void StopAll() override {}
    void SetSpeaking(bool) override {}
    bool Speaking() const override { return false; }
    bool SpeakWordSounds(const Bytes&, const Bytes&, const QString&) override { return false; }
    std::vector<QString> plays;
};

// A session in graphics mode over a screen that is not plain (so a missing restore shows), with
// one protocol line, that keeps a picture of the screen while the board waits for its key.
struct BoardFixture : SessionFixture {
    Graphics graphics{console};
    QImage shown;  // the screen while the board waited

    BoardFixture() {
        session.graphics = &graphics;
        graphics.InitGraph(0);
        graphics.SetFillStyle(1, 1);
        graphics.Bar(0, 0, 639, 479);
        graphics.SetFillStyle(1, 14);
        for (int x = 0; x < 640; x += 40) graphics.Bar(x, 0, x + 15, 479);
        session.protocolLines[0] = "23+45=68 ";
        session.protocolCount = 1;
        session.run.hasProtocolLine = true;
        host.onPump = [this] {
            if (!console.WaitingForKey()) return;
            if (shown.isNull()) shown = host.framebuffer.copy();
            if (console.Keys().Empty()) console.RequestAbort();
        };
    }
    // The pixel rectangle of a 640×480 rectangle (right and bottom inclusive).
    QRect Pixels(int x1, int y1, int x2, int y2) {
        return QRect(graphics.VgaToPixel({x1, y1}), graphics.VgaToPixel({x2 + 1, y2 + 1}) - QPoint(1, 1));
    }
};

// Pixels that differ between two pictures of the same size, outside `except`.
int DifferencesOutside(const QImage& a, const QImage& b, QRect except) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (!except.contains(x, y) && a.pixel(x, y) != b.pixel(x, y)) ++n;
    return n;
}

std::vector<Run> Join(std::vector<Run> a, const std::vector<Run>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST(HundredBoard, LevelFromTheRequestingKey) {
    using namespace doskey;
    const std::pair<unsigned char, int> cases[] = {{kF1, 1},   {kLeft, 1}, {kF2, 2},   {kUp, 2},
                                                   {kDown, 2}, {kF3, 3},   {kRight, 3}, {kEnter, 0}};
    for (auto [key, level] : cases) EXPECT_EQ(HundredBoardLevel(key), level) << int(key);
}

// Outside column arithmetic the fields count whole, and the option does not turn anything round.
TEST(HundredBoard, WholeTasksAndWhatIsNotDisplayable) {
    struct Case {
        const char* text;
        int operation;
        std::vector<int> values;
        int total;
        int beeps;
    };
    const Case cases[] = {
        {"23+45=", kAddition, {23, 45}, 68, 0},
        {"23+45=68", kAddition, {23, 45}, 68, 0},
        {"90+20=", kNoOperation, {}, 0, 0},          // above 100
        {"60+40=", kAddition, {60, 40}, 100, 0},
        {"50-7-3=", kSubtraction, {50, -7, -3}, 40, 0},
        {"100-100=", kSubtraction, {100, -100}, 0, 0},
        {"101-1=", kNoOperation, {}, 0, 0},          // minuend above 100
        {"7-9=", kNoOperation, {}, 0, 0},            // negative
        {"7*8=", kMultiplication, {7, 8}, 56, 0},
        {"7x8=56", kMultiplication, {7, 8}, 56, 0},
        {"11*10=", kNoOperation, {}, 0, 0},
        {"17:5=", kDivision, {17, 5}, 3, 0},
        {"17:5=3 R 2", kDivision, {17, 5}, 3, 3},    // the result may carry its remainder
        {"84/4=", kDivision, {84, 4}, 21, 0},
        {"3:7=", kNoOperation, {}, 0, 0},
        {"12:0=", kNoOperation, {}, 0, 0},
        {"7*=", kNoOperation, {}, 0, 0},
        {"120:6=", kNoOperation, {}, 0, 0},
        {"(3+4)=", kNoOperation, {}, 0, 0},
        {"3,5+1=", kNoOperation, {}, 0, 1},
        {"23 + 45 =", kNoOperation, {}, 0, 3},
        {"5++3=", kNoOperation, {}, 0, 0},
        {"12-3+4=", kNoOperation, {}, 0, 0},
        {"99999999999+1=", kNoOperation, {}, 0, 0},
    };
    for (const Case& c : cases) {
        const BoardTask t = MakeBoardTask(c.text, {}, kDefaultOption);
        EXPECT_EQ(t.operation, c.operation) << c.text;
        EXPECT_EQ(t.foreignCharacters, c.beeps) << c.text;
        if (c.operation == kNoOperation) continue;
        EXPECT_EQ(std::vector<int>(t.values.begin(), t.values.begin() + t.valueCount), c.values) << c.text;
        EXPECT_EQ(t.total, c.total) << c.text;
        EXPECT_TRUE(t.title.empty()) << c.text;
    }
}

TEST(HundredBoard, MoreFieldsThanTheBoardHoldsAreNotShown) {
    Bytes line = "99";
    for (int i = 0; i < 19; ++i) line += "-1";
    EXPECT_EQ(MakeBoardTask(line + "=", {}, 0).operation, kSubtraction);  // 20 fields
    EXPECT_EQ(MakeBoardTask(line + "-1=", {}, 0).operation, kNoOperation);
}

// In column arithmetic the board shows the digits of the column being worked, with the carry,
// the tens as tens below setting 4, the order turned round for the odd settings, and a
// negative column difference borrowing as on paper.
TEST(HundredBoard, ColumnArithmeticShowsTheColumnBeingWorked) {
    struct Case {
        const char* text;
        int columnIndex, carry, option;
        const char* subTask;
        int operation;
        std::vector<int> values;
        int total;
        const char* title = "";
    };
    const Case cases[] = {
        {"47+38=", 0, 0, 0, "", kAddition, {7, 8}, 15},
        {"47+38=", 1, 1, 0, "", kAddition, {40, 30, 10}, 80},
        {"47+38=", 1, 1, 1, "", kAddition, {10, 30, 40}, 80},
        {"47+38=", 1, 1, 4, "", kAddition, {4, 3, 1}, 8},
        {"47+38=", 1, 1, 5, "", kAddition, {1, 3, 4}, 8},
        {"47+58=", 2, 1, 2, "", kAddition, {0, 0, 10}, 10, "Übertrag eintragen"},
        {"147+58=", 2, 1, 2, "", kNoOperation, {}, 0},   // the hundreds hold more than the carry
        {"147+58=", 2, 1, 6, "", kAddition, {1, 0, 1}, 2},
        {"52-17=", 0, 0, 0, "", kSubtraction, {12, -7}, 5},     // 2 borrows ten
        {"52-17=", 1, 1, 0, "", kSubtraction, {50, -10, -10}, 30},
        {"95-21-43=", 0, 0, 5, "", kSubtraction, {5, -3, -1}, 1},
        {"123-45=", 1, 1, 0, "", kNoOperation, {}, 0},    // borrows a hundred: 120 is off the board
        {"123-45=", 1, 1, 4, "", kSubtraction, {12, -4, -1}, 7},
        {"52-17=", 2, 0, 0, "", kNoOperation, {}, 0},
        {"17:5=", 0, 0, 7, "17:5", kDivision, {17, 5}, 3},  // a one-step task counts whole
        {"7*8=", 1, 0, 6, "7x8", kMultiplication, {7, 8}, 56},
    };
    for (const Case& c : cases) {
        const BoardColumn column{true, c.columnIndex, c.carry, c.subTask};
        const BoardTask t = MakeBoardTask(c.text, column, c.option);
        const std::string what = std::string(c.text) + " column " + std::to_string(c.columnIndex) + " option " +
                                 std::to_string(c.option);
        EXPECT_EQ(t.operation, c.operation) << what;
        if (c.operation == kNoOperation) continue;
        EXPECT_EQ(std::vector<int>(t.values.begin(), t.values.begin() + t.valueCount), c.values) << what;
        EXPECT_EQ(t.total, c.total) << what;
        EXPECT_EQ(t.title, ScreenBytes(c.title)) << what;
    }
}

TEST(HundredBoard, AdditionColoursEachAddendAndCountsItAtTheMiddleLevel) {
    const auto cells = [](const char* text, int level) { return BoardCells(MakeBoardTask(text, {}, 0), level); };
    ExpectRuns(cells("23+45=", 2), {{1, 23, 12, 1}, {24, 68, 10, 1}, {69, 100, 7}}, "23+45= H2");
    ExpectRuns(cells("23+45=", 1), {{1, 23, 12}, {24, 68, 10}, {69, 100, 7}}, "23+45= H1");
    // the 7th addend is not drawn in the empty colour; an empty addend takes no cell
    ExpectRuns(cells("1+1+1+1+1+1+1+1=", 1),
               {{1, 1, 12}, {2, 2, 10}, {3, 3, 3}, {4, 4, 4}, {5, 5, 5}, {6, 6, 6}, {7, 7, 1}, {8, 8, 8}, {9, 100, 7}},
               "eight addends");
    ExpectRuns(cells("0+5+3=", 2), {{1, 5, 12, 1}, {6, 8, 3, 1}, {9, 100, 7}}, "0+5+3=");
    ExpectRuns(cells("0+0=", 2), {{1, 100, 7}}, "0+0=");
    // the top level numbers every cell, whatever its colour
    const auto all = cells("23+45=", 3);
    for (int k = 1; k <= kBoardCells; ++k) EXPECT_EQ(all[static_cast<size_t>(k - 1)].number, k);
}

TEST(HundredBoard, SubtrahendsAreStruckOutBackwardsFromTheMinuend) {
    const auto cells = [](const char* text, int option, bool column = false) {
        return BoardCells(MakeBoardTask(text, BoardColumn{column, 0, 0, ""}, option), 2);
    };
    ExpectRuns(cells("50-7-3=", 0),
               {{1, 40, 10, 1}, {41, 43, 3, 1, true, true}, {44, 50, 12, 1, true, true}, {51, 100, 7}}, "50-7-3=");
    // a difference of 0: the last subtrahend starts at cell 1
    ExpectRuns(cells("10-4-6=", 0), {{1, 6, 3, 1, true, true}, {7, 10, 12, 1, true, true}, {11, 100, 7}}, "10-4-6=");
    // the 7th value is not drawn in the empty colour
    ExpectRuns(cells("20-1-1-1-1-1-1=", 0),
               {{1, 14, 10, 1}, {15, 15, 14, 1, true, true}, {16, 16, 6, 1, true, true}, {17, 17, 5, 1, true, true},
                {18, 18, 4, 1, true, true}, {19, 19, 3, 1, true, true}, {20, 20, 12, 1, true, true}, {21, 100, 7}},
               "six subtrahends");
    // turned round (an odd setting, in column arithmetic): the 5 comes first and is struck last
    ExpectRuns(cells("9-2-5=", 0, true),
               {{1, 2, 10, 1}, {3, 7, 3, 1, true, true}, {8, 9, 12, 1, true, true}, {10, 100, 7}}, "9-2-5= option 0");
    ExpectRuns(cells("9-2-5=", 1, true),
               {{1, 2, 10, 1}, {3, 4, 3, 1, true, true}, {5, 9, 12, 1, true, true}, {10, 100, 7}}, "9-2-5= option 1");
}

TEST(HundredBoard, ProductsAndQuotientsInGroups) {
    const auto cells = [](const char* text, int level) { return BoardCells(MakeBoardTask(text, {}, 0), level); };
    ExpectRuns(cells("7*8=", 1), Join(Groups(1, 7, 8, 10, 12, false, false), {{57, 80, 8}, {81, 100, 7}}), "7*8= H1");
    ExpectRuns(cells("7*8=", 2), Join(Groups(1, 7, 8, 10, 12, true, false), {{57, 80, 8}, {81, 100, 7}}), "7*8= H2");
    // beyond ten groups the colours change
    ExpectRuns(cells("12*8=", 1),
               Join(Groups(1, 10, 8, 10, 12, false, false), Join(Groups(81, 2, 8, 11, 3, false, false), {{97, 100, 7}})),
               "12*8=");
    ExpectRuns(cells("0*7=", 2), {{1, 70, 8}, {71, 100, 7}}, "0*7=");
    ExpectRuns(cells("17:5=", 2), Join(Groups(1, 3, 5, 10, 12, true, true), {{16, 17, 4}, {18, 100, 7}}), "17:5= H2");
    ExpectRuns(cells("20:5=", 2), Join(Groups(1, 4, 5, 10, 12, true, true), {{21, 100, 7}}), "20:5= H2");
}

TEST(HundredBoard, CellGeometryWithTheGapBetweenTheQuarters) {
    struct Case {
        int k;
        BoardPoint board, column;
    };
    const Case cases[] = {
        {1, {200, 10}, {8, 220}},    {5, {296, 10}, {104, 220}},  {6, {323, 10}, {131, 220}},
        {51, {200, 133}, {8, 343}}, {100, {419, 229}, {227, 439}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BoardCellOrigin(c.k, false), c.board) << c.k;
        EXPECT_EQ(BoardCellOrigin(c.k, true), c.column) << c.k;
    }
}

// The board as drawn: every cell in its colour, nothing outside the board, the screen and the
// drawing settings back afterwards, the mark in the protocol and the task marked wrong without
// being counted as a wrong task; the key that closed it and the keys behind it are read away.
// The pictures are kept in the test output folder for a look.
TEST(ShowHundredBoard, DrawsMarksAndPutsEverythingBack) {
    struct Case {
        const char* text;
        unsigned char key;
        BoardColumn column;
        const char* picture;
        const char* mark;
    };
    const Case cases[] = {
        {"23+45=", doskey::kF1, {}, "board_23+45_H1", "(H1)"},
        {"23+45=68", doskey::kUp, {}, "board_23+45_H2", "(H2)"},
        {"23+45=", doskey::kRight, {}, "board_23+45_H3", "(H3)"},
        {"7*8=", doskey::kLeft, {}, "board_7x8_H1", "(H1)"},
        {"7*8=", doskey::kF2, {}, "board_7x8_H2", "(H2)"},
        {"7*8=", doskey::kF3, {}, "board_7x8_H3", "(H3)"},
        {"50-7-3=", doskey::kF2, {}, "board_50-7-3_H2", "(H2)"},
        {"47+38=", doskey::kDown, {true, 1, 1, ""}, "board_column_47+38_tens_H2", "(H2)"},
    };
    for (const Case& c : cases) {
        BoardFixture f;
        f.session.options.hundredBoard = 2;
        Graphics& g = f.graphics;
        g.SetColor(5);
        g.SetFillStyle(1, 9);
        g.SetTextStyle(1, 0, 4);
        g.SetTextJustify(0, 2);
        const CanvasState canvasBefore = f.console.Canvas();
        const GraphicsSettings settingsBefore = f.console.Graphics();
        const QImage before = f.host.framebuffer.copy();
        f.Keys("7");
        f.Scan(doskey::kF3);

        EXPECT_TRUE(ShowHundredBoard(f.session, c.text, c.key, c.column)) << c.text;

        ASSERT_FALSE(f.shown.isNull()) << c.text;
        f.shown.save(test::OutputDir() + "/" + c.picture + ".png");
        const BoardPoint o = BoardOrigin(c.column.active);
        const QRect board = f.Pixels(o.x, o.y, o.x + 243, o.y + 262);
        EXPECT_EQ(DifferencesOutside(f.shown, before, board), 0) << c.text << ": drawn outside the board";
        const int level = HundredBoardLevel(c.key);
        const auto cells = BoardCells(MakeBoardTask(c.text, c.column, 2), level);
        for (int k = 1; k <= kBoardCells; ++k) {
            const BoardPoint p = BoardCellOrigin(k, c.column.active);
            // the upper right corner of the cell, clear of the number and the stroke
            const QColor colour = f.shown.pixelColor(g.VgaToPixel({p.x + 20, p.y + 4}));
            EXPECT_EQ(colour, f.console.Palette()[static_cast<size_t>(cells[static_cast<size_t>(k - 1)].colour)])
                << c.text << " cell " << k;
        }

        EXPECT_TRUE(f.host.framebuffer == before) << c.text << ": the screen was not put back";
        EXPECT_EQ(f.console.Canvas().font, canvasBefore.font) << c.text;
        EXPECT_EQ(f.console.Canvas().brushColour, canvasBefore.brushColour) << c.text;
        EXPECT_EQ(f.console.Canvas().penColour, canvasBefore.penColour) << c.text;
        EXPECT_EQ(g.GetColor(), 5) << c.text;
        EXPECT_EQ(g.GetFillColor(), settingsBefore.fillColourIndex) << c.text;
        EXPECT_EQ(f.console.Graphics().justifyHorizontal, 0) << c.text;
        EXPECT_EQ(f.console.Graphics().charSize, 4) << c.text;

        EXPECT_EQ(f.session.protocolLines[0], Bytes("23+45=68 ") + c.mark) << c.text;
        EXPECT_TRUE(f.session.run.taskWrong) << c.text;
        EXPECT_EQ(f.session.run.wrongCount, 0) << c.text;
        EXPECT_TRUE(f.session.run.wrongTaskList[1].empty()) << c.text;
        EXPECT_TRUE(f.console.Keys().Empty()) << c.text;
        EXPECT_FALSE(f.console.AbortRequested()) << c.text;
    }
}

// The mark goes only on a protocol line with room for it; the task is marked wrong anyway.
TEST(ShowHundredBoard, NoMarkWithoutRoomOnTheProtocolLine) {
    const struct {
        Bytes line;
        bool hasLine;
    } cases[] = {{Bytes(70, 'x'), true}, {"7*8=", false}};
    for (const auto& c : cases) {
        BoardFixture f;
        f.session.protocolLines[0] = c.line;
        f.session.run.hasProtocolLine = c.hasLine;
        f.Keys(" ");
        EXPECT_TRUE(ShowHundredBoard(f.session, "7*8=", doskey::kF1));
        EXPECT_EQ(f.session.protocolLines[0], c.line);
        EXPECT_TRUE(f.session.run.taskWrong);
    }
}

// A task off the board shows the panel with its texts, beeps for foreign characters and logs
// nothing; the screen comes back.
TEST(ShowHundredBoard, ATaskOffTheBoardShowsThePanelAndLogsNothing) {
    struct Case {
        const char* text;
        ProgramCode program;
        BoardColumn column;
        int option;
        std::vector<std::string> shown, notShown;
        int beeps;
    };
    const Case cases[] = {
        {"90+20=", ProgramCode::MentalArithmetic, {}, 0,
         {"Aufgabe in", "Hundertertafel", "nicht", "darstellbar.", "90+20="}, {"H-Tafel"}, 0},
        {"90+20=", ProgramCode::Tachistoscope, {}, 0, {"darstellbar.", "Wird mit ENTER gezeigt."}, {"90+20"}, 0},
        {"23 + 45 =", ProgramCode::MentalArithmetic, {}, 0, {"darstellbar.", "23 + 45 ="}, {}, 3},
        {"147+58=", ProgramCode::WrittenArithmetic, {true, 2, 1, ""}, 3,
         {"darstellbar.", "Option \"H-Tafel\" auf", "+1↓ oder +1↑ stellen", "147+58="}, {}, 0},
        // twelve nines in the units column: 108, with single steps already set
        {"9+9+9+9+9+9+9+9+9+9+9+9=", ProgramCode::WrittenArithmetic, {true, 0, 0, ""}, 7, {"darstellbar."}, {"H-Tafel"}, 0},
    };
    for (const Case& c : cases) {
        BoardFixture f;
        CountingSound sound;
        f.console.SetSoundPort(&sound);
        f.session.programCode = c.program;
        f.session.options.hundredBoard = c.option;
        const QImage before = f.host.framebuffer.copy();
        f.Keys(" ");

        EXPECT_FALSE(ShowHundredBoard(f.session, c.text, doskey::kF2, c.column)) << c.text;

        const std::string dump = f.console.Trace().Dump();
        for (const std::string& text : c.shown) EXPECT_NE(dump.find(text), std::string::npos) << c.text << ": " << text;
        for (const std::string& text : c.notShown) EXPECT_EQ(dump.find(text), std::string::npos) << c.text << ": " << text;
        const BoardPoint o = BoardOrigin(c.column.active);
        EXPECT_EQ(f.shown.pixelColor(f.graphics.VgaToPixel({o.x + 5, o.y + 5})), f.console.Palette()[12]) << c.text;
        EXPECT_EQ(static_cast<int>(sound.plays.size()), c.beeps) << c.text;
        EXPECT_TRUE(f.host.framebuffer == before) << c.text;
        EXPECT_EQ(f.session.protocolLines[0], "23+45=68 ") << c.text;
        EXPECT_FALSE(f.session.run.taskWrong) << c.text;
        EXPECT_TRUE(f.console.Keys().Empty()) << c.text;
        if (c.program == ProgramCode::WrittenArithmetic && c.option < 4) f.shown.save(test::OutputDir() + "/board_not_displayable.png");
        f.console.SetSoundPort(nullptr);
    }
}

// The program is stopped while the board waits (the window closes): the screen under the board
// is back before the abort goes on.
TEST(ShowHundredBoard, AnAbortWhileWaitingStillPutsTheScreenBack) {
    BoardFixture f;
    const QImage before = f.host.framebuffer.copy();
    EXPECT_THROW(ShowHundredBoard(f.session, "23+45=", doskey::kF2), AbortRequestedError);
    EXPECT_FALSE(f.shown.isNull());
    EXPECT_TRUE(f.host.framebuffer == before);
    f.console.ClearAbortRequest();
}
