// The grab game: its options screen on the text screen, and the game in full-screen mode —
// the task's characters drift as tiles, a hand follows the mouse, grabs, drags and drops them
// into the task row; a finished row brings clapping hands and a coin on the stack.
#pragma once

#include <optional>

#include "support/codepage.h"
#include "training/grab_decisions.h"
#include "training/grab_sprite.h"

namespace radevir {

struct Session;

// The options screen ("Joker", "greifen", "einfügen", "mitzählen"). True when it was left with
// Enter: the game is to start.
bool RunGrabGameOptions(Session& session);

// The game over the loaded task list (until Escape, the end of the list or the time limit).
void RunGrabGame(Session& session);

// What lives from the game's start to its end: the hand and clapping pictures, the coin stack,
// the frame pace.
struct GrabGame {
    static constexpr double kFramesPerSecond = 60;
    Sprite handOpen, handClosed, clapOpen, clapClosed;
    int coins = 0;
    double framePeriodMs = 1000.0 / kFramesPerSecond;
    double nextFrameMs = 0;  // on the program's clock
    long frames = 0;         // frames shown so far
};

// Loads the four pictures (empty sprites when a file is missing).
void LoadGrabPictures(Session& session, GrabGame& game);

enum class GrabTaskEnd { Solved, Skipped, Escape };

// One task of the game, from its set-up to its end.
struct GrabTask {
    GrabBoard board;
    GrabText text;
    int textSize = 7;
    QPoint mouse{100, 100};  // where the hand is drawn
    GrabTaskEnd end = GrabTaskEnd::Solved;
};

// The task's tiles, places, row and background (screen pages 0 and 1), ready for its first frame.
void SetUpGrabTask(Session& session, GrabGame& game, GrabTask& task, const GrabText& text);
// One frame: a waiting key, the picture (page 0 → page 1, tiles, hand, shown, flipped), the
// mouse and the moves. Returns how the task ended once its run-out is over.
std::optional<GrabTaskEnd> RunGrabFrame(Session& session, GrabGame& game, GrabTask& task);
// Waits for the next frame's time on the program's clock.
void WaitForNextFrame(Session& session, GrabGame& game);
// One task with its reward: Escape ends the game.
GrabTaskEnd PlayGrabTask(Session& session, GrabGame& game, const GrabText& text);

}  // namespace radevir
