#include "console/console.h"

#include <QDir>
#include <gtest/gtest.h>

#include "support/metafile.h"
#include "tests/console/fake_host.h"
#include "tests/test_support.h"

using namespace radevir;
using radevir::test::ConsoleFixture;

namespace {

bool HasInk(const QImage& img, QRect r, QColor background = Qt::black) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixelColor(x, y) != background) return true;
    return false;
}

}  // namespace

TEST(Console, CellsFollowTheClientSize) {
    ConsoleFixture f;
    EXPECT_EQ(f.console.CellWidth(), 10);
    EXPECT_EQ(f.console.CellHeight(), 20);
    EXPECT_GT(f.console.ConsoleFontSize(), 6);
    // the font table with no fonts of our own
    const std::vector<QString> expected = {"Arial", "Arial", "Courier New", "Arial",
                                           "AvantGarde Bk BT"};
    EXPECT_EQ(f.console.FontTable(), expected);
}

TEST(Console, FontTableWithFourInstalledFonts) {
    test::FakeHost host;
    VirtualClock clock;
    ProgramEnvironment env("/x/", "radevir");
    Console console(host, clock, env);
    console.SetInstalledFontNames({"F0", "F1", "F2", "F3"});
    console.InitConsole({});
    const std::vector<QString> expected = {"Arial", "F0", "Courier New", "F0",
                                           "AvantGarde Bk BT", "F1", "F2", "F3"};
    EXPECT_EQ(console.FontTable(), expected);
}

TEST(Console, LettersStayOnTheLineWhileGlyphsWrap) {
    ConsoleFixture f;
    Console& c = f.console;
    c.Window(1, 1, 10, 5);
    c.GotoXY(10, 1);
    c.Write("abc");
    EXPECT_EQ(c.Trace().RowText(0).substr(9, 3), "abc");
    EXPECT_EQ(c.Cursor(), QPoint(2 * c.CellWidth(), c.CellHeight()));  // third cell, next line
    EXPECT_FALSE(HasInk(f.host.framebuffer, QRect(0, 20, 100, 20)));  // nothing on line 2

    c.GotoXY(10, 3);
    c.Write("\xC4\xC4\xC4");  // ───
    EXPECT_TRUE(c.Trace().At(9, 2).glyph);
    EXPECT_EQ(c.Trace().RowText(3).substr(0, 6), "──");
    EXPECT_EQ(c.Cursor(), QPoint(2 * c.CellWidth(), 3 * c.CellHeight()));
    EXPECT_TRUE(HasInk(f.host.framebuffer, QRect(0, 60, 20, 20)));  // two glyphs on line 4
    EXPECT_FALSE(HasInk(f.host.framebuffer, QRect(20, 60, 80, 20)));
}

TEST(Console, ARunOfTwentyLinesBlendsTheGlyphOnce) {
    ConsoleFixture f;
    Console& c = f.console;
    c.TextColor(14);
    c.GotoXY(1, 2);
    c.Write(std::string(20, '\xC4'));
    EXPECT_EQ(c.Stats().blends, 1);
    EXPECT_EQ(c.Stats().copies, 19);
    // the line runs through all twenty cells without a gap, in the text colour
    const int y = 20 + 10;
    for (int x = 0; x < 200; ++x)
        ASSERT_EQ(f.host.framebuffer.pixelColor(x, y), c.Palette()[14]) << "x=" << x;
    // a different glyph blends again
    c.Write("\xCD");
    EXPECT_EQ(c.Stats().blends, 2);
}

TEST(Console, ColoursFromSixteenUpAreItalicAndUnderlined) {
    ConsoleFixture f;
    Console& c = f.console;
    c.TextColor(20);
    EXPECT_EQ(c.Canvas().fontColour, c.Palette()[4]);
    EXPECT_TRUE(c.Canvas().font.italic());
    EXPECT_TRUE(c.Canvas().font.underline());
    EXPECT_EQ(c.CurrentColour(), 20);
    c.TextColor(4);
    EXPECT_FALSE(c.Canvas().font.italic());
    EXPECT_FALSE(c.Canvas().font.underline());
    c.TextBackground(12);
    EXPECT_EQ(c.Canvas().brushColour, c.Palette()[4]);
    EXPECT_EQ(c.Palette()[2], QColor(128, 0, 0));  // dark red, not green
}

TEST(Console, CursorMovesAndControlCharacters) {
    ConsoleFixture f;
    Console& c = f.console;
    c.GotoXY(5, 3);
    const QPoint at = c.Cursor();
    c.GotoXY(0, 5);
    EXPECT_EQ(c.Cursor(), at);
    c.TextBackground(1);
    c.ClrScr();
    EXPECT_EQ(c.Cursor(), at);
    EXPECT_EQ(f.host.framebuffer.pixelColor(400, 400), c.Palette()[1]);
    c.Write("\x07");
    EXPECT_EQ(f.host.beeps, 1);
    EXPECT_EQ(c.Cursor(), at);
    c.Write("\x08");
    EXPECT_EQ(c.Cursor(), at - QPoint(c.CellWidth(), 0));
    c.Writeln("x", 42, "y");
    EXPECT_EQ(c.Trace().RowText(2).substr(3, 4), "x42y");
    EXPECT_EQ(c.Cursor(), QPoint(0, 3 * c.CellHeight()));
}

TEST(Console, TheLastLineScrollsBeforeTheNextWrite) {
    ConsoleFixture f;
    Console& c = f.console;
    c.Window(1, 1, 20, 3);
    c.Writeln("eins");
    c.Writeln("zwei");
    c.Writeln("drei");  // the cursor falls below the window: one scroll
    EXPECT_EQ(c.Trace().RowText(0).substr(0, 4), "zwei");
    EXPECT_EQ(c.Trace().RowText(1).substr(0, 4), "drei");
    EXPECT_EQ(c.Cursor().y(), 2 * c.CellHeight());
}

TEST(Console, ScreenPagesSnapshotPictureAndText) {
    ConsoleFixture f;
    Console& c = f.console;
    c.Write("vorher");
    c.SaveScreenPage(2);
    c.TextBackground(4);
    c.ClrScr();
    EXPECT_EQ(c.Trace().RowText(0).substr(0, 6), "      ");
    c.RestoreScreenPage(3, false);  // never saved: nothing happens
    c.RestoreScreenPage(2, true);
    EXPECT_EQ(c.Trace().RowText(0).substr(0, 6), "vorher");
    EXPECT_EQ(f.host.framebuffer.pixelColor(400, 400), QColor(Qt::black));
    EXPECT_FALSE(c.HasScreenPage(2));
    c.ShadeCells(1, 1, 1, 1, 7);  // AND with (64, 64, 64) leaves black black
    EXPECT_EQ(f.host.framebuffer.pixelColor(5, 5), QColor(Qt::black));
}

TEST(ConsoleDelay, ScalingAndWaitingOnTheVirtualClock) {
    const struct {
        double ms;
        double factor;
        bool scaling;
        double waited;
    } table[] = {
        {50, 20, true, 8 * 31},   // 50 × 10 (the factor counts as 10) = 500: 8 × 31
        {200, 1, true, 8 * 25},   // doubled to 400: 8 × 25
        {20, 1, true, 4 * 2},     // 4 × (20 div 8)
        {10, 2, true, 4 * 2},     // 10 × 2 = 20
        {5, 1, true, 5},          // 5 × 1 ms
        {5, 1, false, 5},
        {500, 1, false, 50 * 10},  // 1000 ms: 50 × 10
        {60, 20, false, 4 * 7},    // no scaling: 60 → 4 × 7
    };
    for (const auto& row : table) {
        ConsoleFixture f;
        f.console.SetSpeedFactor(row.factor);
        f.console.SetSpeedScaling(row.scaling);
        const double before = f.clock.NowMs();
        f.console.Delay(row.ms);
        EXPECT_DOUBLE_EQ(f.clock.NowMs() - before, row.waited) << row.ms << " ms, factor " << row.factor;
    }
}

TEST(ConsoleDelay, AKeyEndsALongWaitAndShortWaitsSleepOnceInAHundred) {
    ConsoleFixture f;
    f.console.AppendKey('x', false);
    f.console.Delay(1000);  // 2000 ms in pieces of 20, the waiting key ends it after one
    EXPECT_DOUBLE_EQ(f.clock.NowMs(), 20);

    ConsoleFixture g;
    for (int i = 0; i < 1000; ++i) g.console.Delay(0);
    EXPECT_DOUBLE_EQ(g.clock.NowMs(), 10);
}

TEST(ConsoleInput, ReadKeyPumpsUntilAKeyArrivesAndRaisesOnAbort) {
    ConsoleFixture f;
    int pumps = 0;
    f.host.onPump = [&] {
        if (++pumps == 5) f.console.AppendKey('H', true);
    };
    EXPECT_EQ(f.console.ReadKey(), 'H');
    EXPECT_TRUE(f.console.LastKeyExtended());
    f.host.onPump = [&] { f.console.RequestAbort(); };
    EXPECT_THROW(f.console.ReadKey(), AbortRequestedError);
    EXPECT_TRUE(f.console.KeyPressed());
}

// On the real clock a waiting program sleeps in the host's event loop instead of polling:
// ReadKey waits for the next event (looking round a few times a second), a delay waits for
// what is left of each piece.
TEST(ConsoleInput, OnTheRealClockWaitsSleepInTheEventLoop) {
    test::FakeHost host;
    RealClock clock;
    ProgramEnvironment env("/nonexistent/kit/", "radevir");
    Console c(host, clock, env);
    c.InitConsole({});
    host.onWait = [&] {
        if (host.waits.size() == 3) c.AppendKey('a', false);
    };
    host.onPump = [&] {  // a polling ReadKey gets its key too, and fails below instead of hanging
        if (host.pumps == 50) c.AppendKey('a', false);
    };
    EXPECT_EQ(c.ReadKey(), 'a');
    ASSERT_EQ(host.waits.size(), 3u);
    for (double maxMs : host.waits) {
        EXPECT_GT(maxMs, 0);
        EXPECT_LE(maxMs, 1000);
    }
    EXPECT_LE(host.pumps, 8);  // a few passes, not one per millisecond

    host.onWait = nullptr;
    host.onPump = nullptr;
    host.waits.clear();
    c.SetSpeedScaling(false);
    const double before = clock.NowMs();
    c.Delay(40);  // four pieces of 5 ms
    EXPECT_GE(clock.NowMs() - before, 20);
    ASSERT_GE(host.waits.size(), 4u);
    for (double maxMs : host.waits) {
        EXPECT_GT(maxMs, 0);
        EXPECT_LE(maxMs, 5);
    }
}

TEST(ConsoleInput, AClickCountsWithinTwoPixels) {
    ConsoleFixture f;
    Console& c = f.console;
    c.Regions().Push("1 80 1 25 107;\n");
    const struct {
        QPoint release;
        bool key;
    } table[] = {{{101, 100}, true}, {{103, 100}, false}, {{98, 98}, true}, {{97, 100}, false},
                 {{100, 102}, false}};
    for (const auto& row : table) {
        c.MousePressed(QPoint(100, 100), true, false);
        c.MouseReleased(row.release, true, false);
        EXPECT_EQ(!c.Keys().Empty(), row.key) << row.release.x() << "," << row.release.y();
        c.Keys().Clear();
    }
    // the top right cell leaves the screen
    c.Regions().Reset();
    EXPECT_EQ(c.MouseClickToKey(QPoint(795, 5)), 27);
}

TEST(ConsoleInput, TodayComesFromTheClock) {
    ConsoleFixture f;
    const Console::Today t = f.console.TodayParts();
    EXPECT_EQ(t.text, "03.03.2025");
    EXPECT_EQ(t.year, 2025);
    EXPECT_EQ(t.month, 3);
    EXPECT_EQ(t.day, 3);
    EXPECT_EQ(t.weekday, 1);  // Monday; Sunday is 0
}

// Renders a typical text screen with the kit's glyph pictures so people can look at it.
TEST(ConsoleReference, TextScreenWithFramesRendersToPng) {
    const QString emfs = test::KitDir() + "/emfs";
    std::vector<GlyphSource> glyphs;
    QDir dir(emfs);
    for (const QString& file : dir.entryList({"*.emf"}, QDir::Files, QDir::Name)) {
        auto mf = Metafile::Load(emfs + "/" + file);
        if (mf) glyphs.push_back({ToCp1252(MetafileGlyphName(file)), [mf](QSize s) { return mf->Render(s, false); }});
    }
    if (glyphs.empty()) GTEST_SKIP() << "no glyph pictures in the kit";
    test::FakeHost host(QSize(1280, 1024));
    VirtualClock clock;
    ProgramEnvironment env("/x/", "radevir");
    Console c(host, clock, env);
    c.InitConsole(glyphs);
    c.EnterTextMode();
    c.TextBackground(1);
    c.ClrScr();
    c.TextColor(14);
    c.GotoXY(20, 5);
    c.Write("┌"_b + std::string(38, '\xC4') + "┐"_b);
    for (int row = 6; row < 12; ++row) {
        c.GotoXY(20, row);
        c.Write("│"_b + std::string(38, ' ') + "│"_b);
    }
    c.GotoXY(20, 12);
    c.Write("└"_b + std::string(38, '\xC4') + "┘"_b);
    c.TextColor(15);
    c.GotoXY(24, 7);
    c.Write("Programm-Auswahl"_b);
    c.GotoXY(24, 9);
    c.Write("Kopfrechnen  Übertrag  ▓▒░ ↑↓←→"_b);
    c.GotoXY(20, 14);
    c.TextColor(11);
    c.Write("╔═══╦═══╗"_b);
    c.GotoXY(20, 15);
    c.Write("║ 1 ║ 2 ║"_b);
    c.GotoXY(20, 16);
    c.Write("╚═══╩═══╝"_b);
    c.ShadeCells(21, 13, 59, 13, 8);
    const QString out = test::OutputDir() + "/console_reference.png";
    ASSERT_TRUE(host.framebuffer.save(out));
    // the corner joins the line: ink in the corner cell's right edge and the next cell's left
    const int y = 4 * c.CellHeight() + c.CellHeight() / 2;
    const int x = 20 * c.CellWidth();
    EXPECT_EQ(host.framebuffer.pixelColor(x - 1, y), c.Palette()[14]);
    EXPECT_EQ(host.framebuffer.pixelColor(x, y), c.Palette()[14]);
}
