// The grab game's rules on plain boards: which tiles start in their places, catching, dropping,
// exchanging, the order rule, the joker, bouncing, the score and the claps, the options screen.
#include "training/grab_decisions.h"

#include <gtest/gtest.h>

#include "console/dos_keys.h"

using namespace radevir;
using option::GrabTarget;
namespace key = radevir::doskey;

namespace {

constexpr int kPlaceWidth = 30, kPlaceHeight = 40, kRowTop = 40;

// A board for `raw` without pictures: places side by side in the row, tiles as big as their
// places, the palette along the bottom.
GrabBoard Board(std::string_view raw, int target, bool inOrder = false, int jokers = 2) {
    const GrabText text = PrepareGrabText(raw, true);
    GrabBoard b;
    const size_t n = text.text.size();
    b.places.assign(n + 1, GrabPlace{});
    b.tiles.assign(n + 12, Sprite{});
    b.homes.assign(n + 12, QPoint());
    for (size_t i = 1; i <= n; ++i) {
        const int x = 100 + kPlaceWidth * static_cast<int>(i - 1);
        b.places[i] = GrabPlace{x, kRowTop, x + kPlaceWidth, kRowTop + kPlaceHeight, false};
    }
    for (auto& t : b.tiles) {
        t.width = kPlaceWidth;
        t.height = kPlaceHeight;
    }
    for (int d = 0; d < 10; ++d) b.homes[n + 2 + static_cast<size_t>(d)] = QPoint(60 + 50 * d, 430);
    b.jokerFlags = ColourFlagsFromMask(2);
    GrabRules rules;
    rules.target = target;
    rules.inOrder = inOrder;
    rules.jokers = jokers;
    Random random(3);
    SetUpGrabBoard(b, text, rules, random);
    // the drifting tiles apart from each other, so that each is caught where it is
    for (int i = 1; i <= b.Joker(); ++i) {
        Sprite& t = b.tiles[static_cast<size_t>(i)];
        if (t.placed) continue;
        t.x = 20 + 45 * (i % 12);
        t.y = 200 + 50 * (i / 12);
    }
    return b;
}

// Catches tile i by its corner (the button goes down there), carries it to the middle of place p
// and lets it go.
GrabFrameEvents Carry(GrabBoard& b, int i, int p) {
    const Sprite& t = b.tiles[static_cast<size_t>(i)];
    GrabFrame(b, GrabMouse{t.x + 5, t.y + 5, false});
    GrabFrame(b, GrabMouse{t.x + 5, t.y + 5, true});
    EXPECT_EQ(b.dragged, i) << "tile " << i << " was not caught";
    const GrabPlace& place = b.places[static_cast<size_t>(p)];
    const GrabMouse over{place.x1 + 5, place.y1 + 5, true};
    GrabFrame(b, over);
    return GrabFrame(b, GrabMouse{over.x, over.y, false});
}

int PaletteTile(const GrabBoard& b, int digit) {
    return b.FirstPaletteTile() + digit;
}

std::vector<bool> PlacedFlags(const GrabBoard& b) {
    std::vector<bool> placed;
    for (int i = 1; i <= b.n; ++i) placed.push_back(b.tiles[static_cast<size_t>(i)].placed);
    return placed;
}

}  // namespace

TEST(GrabBoard, TilesInTheirPlacesFromTheStart) {
    const bool T = true, F = false;
    struct Case {
        const char* raw;
        int target;
        std::vector<bool> placed;
        bool done;
    } cases[] = {
        {"3+4=7", GrabTarget::kAll, {F, F, F, F, F}, false},
        {"3+4=7", GrabTarget::kResult, {T, T, T, T, F}, false},
        {"12+3=15", GrabTarget::kResult, {T, T, T, T, T, F, F}, false},
        {"3+4", GrabTarget::kResult, {T, T, T}, true},  // no result: nothing left
        {"3+_4=7", GrabTarget::kMissingNumbers, {T, T, F, T, T}, false},
        {"3+4=7", GrabTarget::kMissingNumbers, {T, T, T, T, T}, true},
        {"12+3=15", GrabTarget::kOperators, {T, T, F, T, F, T, T}, false},
        {"3+b14=15", GrabTarget::kMarkedNumbers, {T, T, F, F, T, T, T}, false},
        {"3 + 4", GrabTarget::kAll, {F, T, F, T, F}, false},  // blanks always sit
        {"3+4=7", GrabTarget::kOverwriteAll, {F, F, F, F, F}, false},
    };
    for (const Case& c : cases) {
        const GrabBoard b = Board(c.raw, c.target);
        EXPECT_EQ(PlacedFlags(b), c.placed) << c.raw << " target " << c.target;
        EXPECT_EQ(b.done, c.done) << c.raw;
    }
}

TEST(GrabBoard, ResultFromThePaletteKeepsThePalettesDigit) {
    GrabBoard b = Board("3+4=7", GrabTarget::kResult);
    EXPECT_EQ(b.toPlace, 1);
    EXPECT_FALSE(b.Drawn(5)) << "the missing 7 comes from the palette";
    const int seven = PaletteTile(b, 7);
    const GrabFrameEvents e = Carry(b, seven, 5);
    EXPECT_TRUE(e.placed);
    EXPECT_TRUE(b.tiles[5].placed);
    EXPECT_TRUE(b.done);
    EXPECT_EQ(b.misses, 0);
    const Sprite& seven_tile = b.tiles[static_cast<size_t>(seven)];
    EXPECT_FALSE(seven_tile.placed);
    EXPECT_EQ(QPoint(seven_tile.x, seven_tile.y), b.homes[static_cast<size_t>(seven)]);
    EXPECT_EQ(b.text[static_cast<size_t>(seven - 1)], '7');
    EXPECT_TRUE(seven_tile.StandsStill());
}

TEST(GrabBoard, AnEqualCharacterFillsTheOtherPlace) {
    GrabBoard b = Board("4+4=8", GrabTarget::kAll);
    const GrabFrameEvents e = Carry(b, 3, 1);  // the second 4 onto the first 4's place
    EXPECT_TRUE(e.placed);
    EXPECT_TRUE(b.tiles[1].placed);
    EXPECT_FALSE(b.tiles[3].placed) << "the displaced 4 drifts on";
    EXPECT_FALSE(b.tiles[3].StandsStill());
    EXPECT_EQ(b.misses, 0);
    EXPECT_TRUE(b.places[1].locked);
    // a wrong character does not stay and counts as a try in the upper part
    const GrabFrameEvents wrong = Carry(b, 2, 5);
    EXPECT_FALSE(wrong.placed);
    EXPECT_TRUE(wrong.missed);
    EXPECT_EQ(b.misses, 1);
    EXPECT_FALSE(b.tiles[2].placed);
}

TEST(GrabBoard, InOrderRefusesAPlaceBeforeItsTurnButTakesTheJoker) {
    GrabBoard b = Board("12+3=15", GrabTarget::kAll, true, 2);
    EXPECT_FALSE(b.places[1].locked);
    EXPECT_TRUE(b.places[2].locked);
    Carry(b, 1, 1);
    EXPECT_TRUE(b.tiles[1].placed);
    EXPECT_FALSE(b.places[2].locked) << "the next place's turn";
    const GrabFrameEvents refused = Carry(b, 3, 3);  // "+" onto the third place, the second empty
    EXPECT_FALSE(refused.placed);
    EXPECT_FALSE(b.tiles[3].placed);
    EXPECT_EQ(b.misses, 1);
    const GrabFrameEvents joker = Carry(b, b.Joker(), 3);
    EXPECT_TRUE(joker.placed);
    EXPECT_TRUE(b.tiles[3].placed);
    EXPECT_EQ(b.tiles[3].colourFlags, b.jokerFlags) << "the place's tile takes the joker's tint";
    EXPECT_EQ(b.jokersLeft, 1);
    EXPECT_EQ(b.misses, 2);
    EXPECT_FALSE(b.tiles[static_cast<size_t>(b.Joker())].StandsStill()) << "back to drifting";
}

TEST(GrabBoard, TheLastJokerBlinksForEightyFramesAndGoes) {
    GrabBoard b = Board("12+3=15", GrabTarget::kAll, false, 1);
    const int j = b.Joker();
    const GrabFrameEvents used = Carry(b, j, 2);
    EXPECT_TRUE(used.jokerLeaves);
    EXPECT_EQ(b.jokerLeaving, 80);
    EXPECT_TRUE(b.tiles[static_cast<size_t>(j)].StandsStill());
    int toggles = 0;
    bool flag = b.tiles[static_cast<size_t>(j)].colourFlags[1];
    int frames = 0;
    while (b.tiles[static_cast<size_t>(j)].shown && frames < 200) {
        EXPECT_TRUE(b.Drawn(j));
        GrabFrame(b, GrabMouse{600, 470, false});
        ++frames;
        if (b.tiles[static_cast<size_t>(j)].colourFlags[1] != flag) {
            ++toggles;
            flag = !flag;
        }
    }
    EXPECT_EQ(frames, 80);
    EXPECT_EQ(toggles, 8);
    EXPECT_FALSE(b.Drawn(j));

    const GrabBoard none = Board("12+3=15", GrabTarget::kAll, false, 0);
    EXPECT_FALSE(none.Drawn(none.Joker()));
    EXPECT_FALSE(none.tiles[static_cast<size_t>(none.Joker())].shown);
}

TEST(GrabBoard, TheRowCompleteRunsOutInThirtyFrames) {
    GrabBoard b = Board("3+4=7", GrabTarget::kResult);
    Carry(b, PaletteTile(b, 7), 5);
    ASSERT_TRUE(b.done);
    int frames = 1;  // the drop's frame counts down already
    do {
        ++frames;
    } while (!GrabFrame(b, GrabMouse{}).finished);
    EXPECT_EQ(frames, 30);
    EXPECT_EQ(b.jokersLeft, 0);
}

// A tile is caught when the button goes down over it. The button still held from the click
// that ended the last task's reward catches nothing, and neither does a button held while the
// pointer moves over a tile; let go and pressed again, it catches.
TEST(GrabBoard, CatchingTakesAPressNotAHeldButton) {
    const struct {
        const char* name;
        std::vector<bool> downs;  // the button, frame by frame, over the tile's corner
        int caughtAtFrame;        // -1: never
    } cases[] = {
        {"held from before the task", {true, true, true}, -1},
        {"held, let go, pressed", {true, false, true}, 2},
        {"up, then pressed", {false, true}, 1},
    };
    for (const auto& c : cases) {
        GrabBoard b = Board("3+4=7", GrabTarget::kAll);
        int caught = -1;
        for (size_t f = 0; f < c.downs.size() && caught < 0; ++f) {
            const Sprite& t = b.tiles[1];
            GrabFrame(b, GrabMouse{t.x + 5, t.y + 5, c.downs[f]});
            if (b.dragged != 0) caught = static_cast<int>(f);
        }
        EXPECT_EQ(caught, c.caughtAtFrame) << c.name;
        EXPECT_EQ(b.misses, 0) << c.name;
    }
    // a held button moved over a drifting tile does not pick it up on the way
    GrabBoard b = Board("3+4=7", GrabTarget::kAll);
    GrabFrame(b, GrabMouse{600, 470, false});
    GrabFrame(b, GrabMouse{600, 470, true});
    const Sprite& t = b.tiles[1];
    GrabFrame(b, GrabMouse{t.x + 5, t.y + 5, true});
    EXPECT_EQ(b.dragged, 0);
}

TEST(Sprite, BouncesAtItsLimits) {
    struct Case {
        QPoint at, velocity;
        QRect limits;  // minX, minY to maxX, maxY
        QPoint next, nextVelocity;
    } cases[] = {
        {{50, 50}, {1, 1}, QRect(QPoint(0, 0), QPoint(100, 100)), {51, 51}, {1, 1}},
        {{99, 50}, {1, 1}, QRect(QPoint(0, 0), QPoint(100, 100)), {100, 51}, {-1, 1}},
        {{1, 1}, {-1, -1}, QRect(QPoint(0, 0), QPoint(100, 100)), {0, 0}, {1, 1}},
        {{50, 20},
         {1, -1},
         QRect(QPoint(0, 160), QPoint(100, 300)),
         {51, 19},
         {1, 1}},  // above: heads down
        {{40, 40},
         {1, 1},
         QRect(QPoint(40, 40), QPoint(40, 40)),
         {40, 40},
         {1, 1}},  // one point: stands
    };
    for (const Case& c : cases) {
        Sprite s;
        s.x = c.at.x();
        s.y = c.at.y();
        s.dx = c.velocity.x();
        s.dy = c.velocity.y();
        s.minX = c.limits.left();
        s.minY = c.limits.top();
        s.maxX = c.limits.right();
        s.maxY = c.limits.bottom();
        s.Step();
        EXPECT_EQ(QPoint(s.x, s.y), c.next) << c.at.x() << "," << c.at.y();
        EXPECT_EQ(QPoint(s.dx, s.dy), c.nextVelocity) << c.at.x() << "," << c.at.y();
    }
    // a tile above the drift area drifts down into it and stays there
    Sprite t;
    t.width = t.height = 20;
    SetDriftArea(t, 1);
    t.x = 100;
    t.y = 10;
    t.dy = -1;
    for (int i = 0; i < 400; ++i) t.Step();
    EXPECT_GE(t.y, t.minY - 1);
    EXPECT_LE(t.y, t.maxY + 1);
}

TEST(GrabReward, ScoreAndClaps) {
    using option::SoundLevel;
    struct Case {
        int misses, toPlace, soundLevel;
        int score;
        const char* sound;
        int claps, openMs, closedMs;
    } cases[] = {
        {0, 5, SoundLevel::kAllSounds, 0, "wavs\\klatsch0.wav", 13, 80, 100},
        {4, 10, SoundLevel::kKeyClickAndError, 1, "wavs\\klatsch1.wav", 12, 160, 180},
        {2, 3, SoundLevel::kAllSounds, 2, "wavs\\klatsch2.wav", 11, 240, 260},
        {3, 6, SoundLevel::kAllSounds, 3, "wavs\\klatsch2.wav", 10, 320, 340},
        {4, 6, SoundLevel::kAllSounds, 4, nullptr, 9, 400, 420},
        {0, 5, SoundLevel::kErrorOnly, 0, nullptr, 13, 80, 100},
        {20, 20, SoundLevel::kAllSounds, 20, nullptr, 0, 1680, 1700},
    };
    for (const Case& c : cases) {
        const int score = GrabScore(c.misses, c.toPlace);
        EXPECT_EQ(score, c.score) << c.misses << " of " << c.toPlace;
        const ClapPlan plan = ClapsForScore(score, c.soundLevel);
        EXPECT_STREQ(plan.sound ? plan.sound : "", c.sound ? c.sound : "") << c.misses;
        EXPECT_EQ(plan.claps, c.claps) << c.misses;
        EXPECT_EQ(plan.openMs, c.openMs) << c.misses;
        EXPECT_EQ(plan.closedMs, c.closedMs) << c.misses;
    }
    EXPECT_EQ(CoinPlace(1), QPoint(100, 390));
    EXPECT_EQ(CoinPlace(7), QPoint(200, 380));
    EXPECT_EQ(CoinFallEnd(6), 382);
}

TEST(GrabText, MarksGapsAndLength) {
    const GrabText t = PrepareGrabText("3+b14=_15", true);
    EXPECT_EQ(t.text, "3+14=15");
    EXPECT_EQ(t.markStart, 2);
    EXPECT_EQ(t.markLength, 2);
    EXPECT_EQ(t.gaps, std::vector<int>({5}));
    EXPECT_EQ(PrepareGrabText("3+b14=15", false).markStart, -1);
    EXPECT_TRUE(PrepareGrabText("1+1=2_", true).gaps.empty())
        << "a gap mark at the end hides nothing";
    EXPECT_EQ(PrepareGrabText(std::string(40, '1'), true).text.size(), 30u);
    EXPECT_EQ(GrabTargetFor(GrabTarget::kResult, 2), GrabTarget::kAll);
    EXPECT_EQ(GrabTargetFor(GrabTarget::kOverwriteAll, 2), GrabTarget::kOverwriteAll);
    EXPECT_EQ(GrabTargetFor(GrabTarget::kResult, 3), GrabTarget::kResult);
}

TEST(GrabTiles, ColoursByBackground) {
    struct Case {
        int background;
        char c;
        int highlight, difference, colour;
    } cases[] = {
        {0, '+', 1, 1, 10}, {0, '+', 2, 1, 15}, {0, '7', 1, 1, 11}, {0, '7', 1, 0, 15},
        {1, '=', 1, 1, 11}, {1, ':', 1, 1, 14}, {2, '-', 1, 0, 13}, {2, '3', 2, 1, 14},
        {8, '+', 2, 1, 11}, {8, '+', 1, 1, 14}, {8, '5', 1, 0, 11}, {15, '+', 1, 1, 13},
        {15, '+', 2, 1, 9}, {15, '5', 1, 1, 9},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GrabTileColour(c.background, c.c, c.highlight, c.difference), c.colour)
            << c.background << " " << c.c;
    // the tint: grey and white backgrounds mix the components, the others keep them grey
    const std::array<bool, 4> redGreen{false, true, true, false};
    EXPECT_EQ(TintColour(redGreen, 1, true), qRgb(255, 255, 255));
    EXPECT_EQ(TintColour(redGreen, 8, true), qRgb(255, 255, 0));
    EXPECT_EQ(TintColour(redGreen, 8, false), qRgb(0, 255, 255));
    EXPECT_EQ(TintColour(redGreen, 15, false), qRgb(255, 0, 255));
    EXPECT_EQ(TintColour({true, true, false, false}, 0, true), qRgb(128, 128, 128));
}

TEST(GrabOptionsScreen, KeysAndClicks) {
    struct Case {
        int line;
        unsigned char key;
        bool extended;
        int nextLine;
        GrabOptionsClose close;
    } moves[] = {
        {4, key::kDown, true, 1, GrabOptionsClose::None},
        {1, key::kUp, true, 4, GrabOptionsClose::None},
        {2, 'P', false, 3, GrabOptionsClose::None},
        {3, 'H', false, 2, GrabOptionsClose::None},
        {3, key::kHome, true, 1, GrabOptionsClose::None},
        {2, key::kPageDown, true, 4, GrabOptionsClose::None},
        {2, key::kEnter, false, 2, GrabOptionsClose::Start},
        {2, key::kEscape, false, 2, GrabOptionsClose::Cancel},
        {2, key::kBackToMenu, true, 2, GrabOptionsClose::Cancel},
        {2, 'x', false, 2, GrabOptionsClose::None},
    };
    for (const Case& c : moves) {
        ProgramOptions o;
        const GrabOptionsStep step = GrabOptionsKey(c.line, o, c.key, c.extended, {});
        EXPECT_EQ(step.line, c.nextLine) << c.line << " key " << int(c.key);
        EXPECT_EQ(step.close, c.close) << c.line << " key " << int(c.key);
    }
    struct Value {
        int line;
        int before;
        unsigned char key;
        int after;
    } values[] = {
        {kGrabJokerLine, 0, key::kLeft, 0},   {kGrabJokerLine, 2, key::kRight, 3},
        {kGrabJokerLine, 3, key::kRight, 3},  {kGrabTargetLine, 5, key::kRight, 5},
        {kGrabTargetLine, 1, key::kLeft, 0},  {kGrabInsertLine, 0, key::kRight, 1},
        {kGrabInsertLine, 1, key::kRight, 1}, {kGrabCountLine, 1, key::kLeft, 0},
        {kGrabCountLine, 0, 'M', 1},
    };
    for (const Value& v : values) {
        ProgramOptions o;
        int* fields[] = {nullptr, &o.grabJokers, &o.grabTarget, &o.grabInsertOrder,
                         &o.grabCountAlong};
        *fields[v.line] = v.before;
        const GrabOptionsStep step = GrabOptionsKey(v.line, o, v.key, true, {});
        EXPECT_EQ(*fields[v.line], v.after) << "line " << v.line << " from " << v.before;
        EXPECT_EQ(step.changed, v.before != v.after);
    }
    // a click on a label selects its line; a click on a value selects line and value
    ProgramOptions o;
    GrabOptionsClick label;
    label.line = 2;
    EXPECT_EQ(GrabOptionsKey(4, o, 201, true, label).line, 2);
    GrabOptionsClick value;
    value.valueLine = kGrabTargetLine;
    value.value = 4;
    const GrabOptionsStep step = GrabOptionsKey(1, o, 230, true, value);
    EXPECT_EQ(step.line, kGrabTargetLine);
    EXPECT_EQ(o.grabTarget, GrabTarget::kMarkedNumbers);
    EXPECT_TRUE(step.changed);
}
