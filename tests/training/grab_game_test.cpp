// The grab game's shell on a session with real graphics: which tasks come, Escape against "_",
// long tasks passed over, the options screen on the text screen.
#include "training/grab_game.h"

#include <gtest/gtest.h>
#include <QFileInfo>
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
    const Bytes longest = "12345678+123456789=222";   // 22 characters: played
    const Bytes tooLong = "1234567890+123456789=22";  // 23: passed over
    ASSERT_EQ(longest.size(), 22u);
    ASSERT_EQ(tooLong.size(), 23u);
    GameFixture g({"!Aufgaben zum Greifen", tooLong, longest});
    g.keys = {{300, key::kEscape}};
    EXPECT_TRUE(g.Run());
    EXPECT_EQ(g.Shown(1), longest);
    // a list of nothing but long tasks ends the game
    GameFixture none({tooLong});
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

namespace {

struct RecordingSound : SoundPort {
    std::vector<QString> played;
    bool MakeToneFile(const QString&, int, int, int) override { return false; }
    bool PlayFile(const QString& path, int) override {
        played.push_back(QFileInfo(path).fileName());
        return true;
    }
    void StopAll() override {}
    void SetSpeaking(bool) override {}
    bool Speaking() const override { return false; }
    bool SpeakWordSounds(const Bytes&, const Bytes&, const QString&) override { return false; }
};

}  // namespace

// The mouse through the console, frame by frame: the last joker is carried into a place, it
// stands, its sound plays, and after 80 frames it is gone.
TEST(GrabGame, TheLastJokerLeavesWithItsSound) {
    GameFixture g({"12+3=15"});
    RecordingSound sound;
    g.f.console.SetSoundPort(&sound);
    g.f.dir.Write("wavs/jokerweg.wav", "RIFF");
    Session& s = g.s;
    s.options.grabJokers = 1;
    s.options.grabTarget = option::GrabTarget::kAll;
    s.options.soundLevel = option::SoundLevel::kAllSounds;
    g.graphics.InitGraph(0);
    g.graphics.EnterFullScreen();
    GrabGame game;
    GrabTask task;
    SetUpGrabTask(s, game, task, PrepareGrabText("12+3=15", true));
    GrabBoard& b = task.board;
    const int j = b.Joker();
    const auto pixel = [&](int x, int y) { return g.graphics.VgaToPixel(QPoint(x, y)); };
    const Sprite& joker = b.tiles[static_cast<size_t>(j)];
    g.f.console.MouseMoved(pixel(joker.x + 5, joker.y + 5));
    RunGrabFrame(s, game, task);  // the pointer comes over the joker, then the button goes down
    g.f.console.MousePressed(pixel(joker.x + 5, joker.y + 5), true, false);
    RunGrabFrame(s, game, task);
    ASSERT_EQ(b.dragged, j);
    const GrabPlace& second = b.places[2];
    g.f.console.MouseMoved(pixel(second.x1 + 5, second.y1 + 5));
    RunGrabFrame(s, game, task);
    g.f.console.MouseReleased(pixel(second.x1 + 5, second.y1 + 5), true, false);
    RunGrabFrame(s, game, task);
    EXPECT_TRUE(b.tiles[2].placed);
    EXPECT_EQ(sound.played, std::vector<QString>({"jokerweg.wav"}));
    for (int frame = 0; frame < 80; ++frame) {
        EXPECT_TRUE(b.Drawn(j)) << frame;
        RunGrabFrame(s, game, task);
    }
    EXPECT_FALSE(b.Drawn(j));
    EXPECT_EQ(game.frames, 84);
    g.graphics.LeaveFullScreenMode();
}

// The click that ended the last task's reward may still be held when the next task starts: held
// over a tile it catches nothing; let go and pressed again, it catches.
TEST(GrabGame, AButtonHeldIntoTheNextTaskCatchesNothing) {
    GameFixture g({"12+3=15"});
    Session& s = g.s;
    s.options.grabJokers = 0;
    s.options.grabTarget = option::GrabTarget::kAll;
    g.graphics.InitGraph(0);
    g.graphics.EnterFullScreen();
    const auto pixel = [&](int x, int y) { return g.graphics.VgaToPixel(QPoint(x, y)); };
    g.f.console.MousePressed(pixel(100, 100), true, false);  // the click on the reward, still down
    GrabGame game;
    GrabTask task;
    SetUpGrabTask(s, game, task, PrepareGrabText("12+3=15", true));
    GrabBoard& b = task.board;
    const auto overTile = [&] {
        const Sprite& t = b.tiles[1];
        return pixel(t.x + 5, t.y + 5);
    };
    g.f.console.MouseMoved(overTile());
    RunGrabFrame(s, game, task);
    EXPECT_EQ(b.dragged, 0);
    g.f.console.MouseReleased(overTile(), true, false);
    RunGrabFrame(s, game, task);
    EXPECT_EQ(b.misses, 0);
    g.f.console.MousePressed(overTile(), true, false);
    RunGrabFrame(s, game, task);
    EXPECT_EQ(b.dragged, 1);
    g.graphics.LeaveFullScreenMode();
}
