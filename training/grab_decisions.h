// The grab game's rules as plain functions over plain data: the options screen's keys, the
// tiles' colours, the task text's marks and gaps, which tiles start in their places, grabbing,
// dropping, exchanging, the joker, the frame's moves, the score and the claps. The game's shell
// (grab_game.cpp) draws, plays and waits around them.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "exercises/program_options.h"
#include "support/codepage.h"
#include "support/random.h"
#include "training/grab_sprite.h"

namespace radevir {

// --- the options screen -------------------------------------------------------------------------

enum GrabOptionLine : int { kGrabJokerLine = 1, kGrabTargetLine, kGrabInsertLine, kGrabCountLine };
constexpr int kGrabOptionLines = 4;
constexpr int kGrabOptionsFirstLine = kGrabCountLine;  // where the screen starts the first time

enum class GrabOptionsClose { None, Start, Cancel };

struct GrabOptionsStep {
    int line = kGrabOptionsFirstLine;
    GrabOptionsClose close = GrabOptionsClose::None;
    bool changed = false;  // an option got another value
};

// A click on the screen, as its region file reports it: a label row (the line), or a value
// (the line it was clicked on and the value's place on that line, 0-based).
struct GrabOptionsClick {
    std::optional<int> line;
    std::optional<int> valueLine;
    int value = 0;
};

// One key of the options screen: Down/Up (also typed "P"/"H") move round the four lines,
// Home/PgUp and End/PgDn jump to the first and last line, Left/Right (also "K"/"M") change the
// current line's value, Enter starts the game, Escape and 59 close the screen.
GrabOptionsStep GrabOptionsKey(int line, ProgramOptions& options, unsigned char key, bool extended,
                               const GrabOptionsClick& click);

// One row of the options screen's values: the window row, and its choices with the lit one.
struct GrabChoice {
    Bytes text;
    bool lit = false;
};
struct GrabValueRow {
    int row = 0;
    std::vector<GrabChoice> choices;
};
std::vector<GrabValueRow> GrabValueRows(const ProgramOptions& options);
// The window row of a line's label.
int GrabLabelRow(int line);
Bytes GrabLabel(int line);

// --- tiles and text
// -------------------------------------------------------------------------------

// Digits and the two division signs are drawn as digits.
bool IsDigitLikeTile(char c);
// The colour index a task character's tile is drawn in.
int GrabTileColour(int backgroundColour, char c, int highlightOperators, int colourDifference);

// A task line made ready for the game: marking letters and gap marks taken out, the first 30
// characters kept; indexes are 0-based into `text`.
struct GrabText {
    static constexpr size_t kMaxLength = 30;
    static constexpr size_t kMaxGaps = 16;
    Bytes text;
    int markStart = -1;  // none
    int markLength = 0;
    std::vector<int> gaps;
    bool Marked(int index) const {
        return markStart >= 0 && index >= markStart && index < markStart + markLength;
    }
};
GrabText PrepareGrabText(std::string_view rawLine, bool colourDifference);

// Tasks this long or longer are passed over.
constexpr size_t kLongestGrabTask = 22;

// --- the board --------------------------------------------------------------------------------

struct GrabPlace {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // the character's box in the task row
    bool locked = false;                 // occupied, or not yet its turn
};

struct GrabRules {
    int target = option::GrabTarget::kResult;
    bool inOrder = false;
    int jokers = 2;
    int soundLevel = option::SoundLevel::kKeyClickAndError;
    int backgroundColour = option::BackgroundColour::kNavy;
    bool colourDifference = true;
};

// What the tiles are: 1 … n the task's characters, n + 1 the joker, n + 2 … n + 11 the digit
// palette when the game fills from it. Index 0 is not a tile.
struct GrabBoard {
    static constexpr int kRunOutFrames = 30;
    static constexpr int kJokerLeavingFrames = 80;
    static constexpr int kJokerBlinkFrames = 10;
    static constexpr int kMissLine = 200;  // a tile let go above this line was a try
    static constexpr int kGrabReach = 40;  // how far right/below of a tile's corner it is caught
    static constexpr int kGrabRightMargin = 24;
    static constexpr int kDropSlackX = 2, kDropSlackY = 24;

    GrabRules rules;
    Bytes text;                     // the task, then "." (the joker) and the ten digits
    int n = 0;                      // characters of the task
    bool palette = false;           // missing digits come from the palette
    std::vector<Sprite> tiles;      // 0 … n + 11
    std::vector<GrabPlace> places;  // 1 … n (0 unused)
    std::vector<QPoint> homes;      // the palette digits' fixed places, by tile index
    std::array<bool, 4> jokerFlags{};
    QPoint jokerStart{10, 300};

    int dragged = 0;  // the tile following the mouse, 0 none
    QPoint grabOffset;
    bool buttonWasDown = true;  // the button at the last frame; a press is its going down
    int jokersLeft = 0;
    int jokerLeaving = 0;
    int misses = 0;
    int toPlace = 0;
    bool done = false;
    int endFrames = 0;

    int Joker() const { return n + 1; }
    int FirstPaletteTile() const { return n + 2; }
    bool IsPaletteTile(int i) const {
        return palette && i >= FirstPaletteTile() && i < FirstPaletteTile() + 10;
    }
    bool IsTaskTile(int i) const { return i >= 1 && i <= n; }
    int TileCount() const { return static_cast<int>(tiles.size()); }
    // Whether tile i is drawn now (and so can be caught).
    bool Drawn(int i) const;
};

// The effective target of a task: short tasks are grabbed whole (unless everything is
// overwritten).
int GrabTargetFor(int target, size_t textLength);
// Whether the game fills missing digits from the palette.
bool UsesDigitPalette(int target);
// Sets up the game of one task on a board whose tiles (pictures, sizes), places and palette
// homes the shell has filled for `text` (n + 12 tiles, n + 1 places): the joker, which tiles
// start in their places, the locks of the order rule, the drift areas and starting points.
void SetUpGrabBoard(GrabBoard& board, const GrabText& text, const GrabRules& rules, Random& random);
// The drift area of tile i: the lower part of the screen, a little smaller for every tile.
void SetDriftArea(Sprite& tile, int index);

// The mouse as a frame sees it, 640×480 units.
struct GrabMouse {
    int x = 0, y = 0;
    bool down = false;
};
struct GrabFrameEvents {
    bool jokerLeaves = false;  // the joker has just started leaving: its sound
    bool placed = false;       // a tile went into its place
    bool missed = false;       // a try that did not fit
    bool finished = false;     // the run-out is over: the loop ends
};
// One frame after the picture: the mouse (catching, dragging, letting go), the moves of every
// tile, the joker's leaving and, once the row is complete or left, the run-out.
GrabFrameEvents GrabFrame(GrabBoard& board, const GrabMouse& mouse);
// The task is left (Escape or "_"): the run-out starts.
void LeaveGrabTask(GrabBoard& board);

// --- the reward
// -----------------------------------------------------------------------------------

// Misses count as they are, but a few misses on many tiles count as one.
int GrabScore(int misses, int toPlace);
struct ClapPlan {
    const char* sound = nullptr;  // wave file, none for a high score or without sound
    int claps = 0;
    int openMs = 0;
    int closedMs = 0;
};
ClapPlan ClapsForScore(int score, int soundLevel);

// Coins of the stack: where coin k (1-based) lies, and where a falling coin stops.
constexpr int kMostCoins = 50;
QPoint CoinPlace(int k);
int CoinFallEnd(int coinsBefore);

}  // namespace radevir
