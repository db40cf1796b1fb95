// The grab game's shell on a session with real graphics: which tasks come, Escape against "_",
// long tasks passed over, the options screen on the text screen.
#include "training/grab_game.h"

#include <gtest/gtest.h>
#include <deque>
#include <functional>

#include "console/dos_keys.h"
#include "graphics/graphics.h"
#include "tests/exercises/session_fixture.h"
#include "tests/graphics/graphics_fixture.h"

using namespace radevir;
namespace key = radevir::doskey;

namespace {

// A game on a session with graphics. Keys are handed over after a number of pumps (the game
// polls for keys every frame); when they are used up, the game is ended by an abort.
struct GameFixture {
    static constexpr int kPumpsBeforeAbort = 200000;
    test::SessionFixture f;
    Graphics graphics{f.console};
    Session& s = f.session;
    std::deque<std::pair<int, unsigned char>> keys;  // pumps to wait, key
    int pumps = 0;

    explicit GameFixture(std::vector<Bytes> lines) {
        f.console.SetInstalledFontNames(test::KitFontFaces());
        f.console.InitConsole(test::FrameGlyphs());
        f.console.SetFontFace(3, QStringLiteral("DARIZODEV"));
        f.console.SetOemConversionOff(true);
        f.console.Geometry().keepAspect = true;
        s.graphics = &graphics;
        s.tasks.SetLines(lines);
        s.tasks.position = 1;
        s.options.soundLevel = option::SoundLevel::kSilent;
        f.host.onPump = [this] {
            ++pumps;
            if (!keys.empty() && pumps >= keys.front().first) {
                f.console.AppendKey(keys.front().second, false);
                keys.pop_front();
                pumps = 0;
            } else if (keys.empty() && pumps > kPumpsBeforeAbort) {
                f.console.RequestAbort();
            }
        };
    }
    // Runs the game; true when it ended by itself (not by the test's abort).
    bool Run() {
        try {
            RunGrabGame(s);
            return true;
        } catch (const AbortRequestedError&) {
            return false;
        }
    }
    Bytes Shown(int k) const { return s.run.taskHistory[static_cast<size_t>(1 + k)]; }
};

}  // namespace

TEST(GrabGame, EscapeEndsTheGameWhileSkipGoesOn) {
    {
        GameFixture g({"1+2=3", "2+2=4", "3+3=6"});
        g.keys = {{300, key::kEscape}};
        EXPECT_TRUE(g.Run());
        EXPECT_EQ(g.Shown(1), "1+2=3");
        EXPECT_EQ(g.Shown(2), "");
        EXPECT_FALSE(g.f.console.Graphics().directDrawReady) << "full-screen mode is left";
        EXPECT_FALSE(g.f.console.Graphics().graphicsMode) << "back in text mode";
    }
    {
        GameFixture g({"1+2=3", "2+2=4", "3+3=6"});
        g.keys = {{300, kSkipKey}, {300, key::kEscape}};
        EXPECT_TRUE(g.Run());
        EXPECT_EQ(g.Shown(1), "1+2=3");
        EXPECT_EQ(g.Shown(2), "2+2=4");
        EXPECT_EQ(g.Shown(3), "");
    }
}

TEST(GrabGame, LongTasksAndHintLinesArePassedOver) {
    GameFixture g({"!Aufgaben zum Greifen", "1234567890+1234567890=20", "12+3=15"});
    g.keys = {{300, key::kEscape}};
    EXPECT_TRUE(g.Run());
    EXPECT_EQ(g.Shown(1), "12+3=15");
    // a list of nothing but long tasks ends the game
    GameFixture none({"1234567890+1234567890=20"});
    EXPECT_TRUE(none.Run());
    EXPECT_EQ(none.Shown(1), "");
}

TEST(GrabGame, TheEndOfTheListEndsTheGame) {
    // "Ergebnis" on tasks without a result to fill: each counts as done at once
    GameFixture g({"3+4", "5+6"});
    g.s.options.grabTarget = option::GrabTarget::kResult;
    g.s.options.grabCountAlong = option::Switch::kOff;
    g.keys = {{2000, ' '}, {2000, ' '}};
    EXPECT_TRUE(g.Run());
    EXPECT_EQ(g.Shown(2), "5+6");
    EXPECT_GT(g.s.tasks.position, g.s.tasks.Count());
}

TEST(GrabOptionsScreen, ShowsTheOptionsAndKeepsItsLine) {
    test::SessionFixture f;
    f.UseRegionFile("radevir.mt3");
    Session& s = f.session;
    s.options.grabJokers = 1;
    s.options.grabTarget = option::GrabTarget::kOperators;
    // keys and clicks, each when the screen waits for the next one
    std::deque<std::function<void()>> input;
    f.host.onPump = [&] {
        if (!f.console.WaitingForKey() || !f.console.Keys().Empty()) return;
        if (input.empty()) {
            f.console.RequestAbort();
            return;
        }
        const auto next = input.front();
        input.pop_front();
        next();
    };
    input = {[&] { f.Scan(key::kUp); }, [&] { f.Scan(key::kRight); }, [&] { f.Keys("\r"); }};
    EXPECT_TRUE(RunGrabGameOptions(s));
    EXPECT_EQ(s.options.grabInsertOrder, option::GrabInsertOrder::kInOrder) << "line 3: einfügen";
    EXPECT_EQ(s.grabOptionsLine, 3);
    EXPECT_EQ(f.Text(6, 41, 37), "┌─────────────Greifspiel────────────┐");
    EXPECT_EQ(f.Text(8, 41, 37), "│   Spiel starten mit RETURN/ENTER  │");
    EXPECT_EQ(f.Text(11, 42, 23), "Joker     │ 0  1  2  3 ");
    EXPECT_EQ(f.Text(15, 53, 12), " Operatoren ");
    EXPECT_EQ(f.Text(18, 42, 30), "einfügen  │ egal  Reihenfolge ");
    EXPECT_EQ(f.Text(19, 42, 21), "mitzählen │ aus  ein ");
    EXPECT_TRUE(s.optionsDirty);

    // a click on a greifen value, one on the Joker label, Right, Escape
    input = {[&] { f.Click(60, 16); }, [&] { f.Click(45, 11); }, [&] { f.Scan(key::kRight); },
             [&] { f.Keys("\x1b"); }};
    EXPECT_FALSE(RunGrabGameOptions(s));
    EXPECT_EQ(s.options.grabTarget, option::GrabTarget::kMarkedNumbers);
    EXPECT_EQ(s.options.grabJokers, 2);
    EXPECT_EQ(s.grabOptionsLine, 1);
    // the click on "Spiel starten" starts the game
    input = {[&] { f.Click(50, 8); }};
    EXPECT_TRUE(RunGrabGameOptions(s));
}
