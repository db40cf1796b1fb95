// The program menu's items and its key rules, as plain data and functions: which item a key,
// letter or click leads to, and what the menu does next.
#pragma once

#include <optional>
#include <string_view>

#include "support/codepage.h"

namespace radevir {

// The DOS key codes the training menus react to. Scan codes arrive with the extended flag set
// (cursor and function keys, mouse regions); the same numbers typed are letters ("O" is End).
namespace keycode {
constexpr unsigned char kEnter = 13;
constexpr unsigned char kEscape = 27;
constexpr unsigned char kBack = 59;  // F1, a typed ";": back to the menu and redraw it
constexpr unsigned char kF7 = 65;
constexpr unsigned char kHome = 71;
constexpr unsigned char kUp = 72;
constexpr unsigned char kPageUp = 73;
constexpr unsigned char kLeft = 75;
constexpr unsigned char kRight = 77;
constexpr unsigned char kEnd = 79;
constexpr unsigned char kDown = 80;
constexpr unsigned char kPageDown = 81;
}  // namespace keycode

// Program codes the menu itself looks at.
namespace program {
constexpr int kDictation = 5;
constexpr int kTachistoscope = 7;
constexpr int kReadingTest = 8;
constexpr int kGrabGame = 9;
constexpr int kLoadOptions = 12;
constexpr int kMemoriseAndCompute = 13;
}  // namespace program

struct MenuItem {
    int number;        // 1–13; 11 does not exist
    int row;           // row inside the menu window
    const char* text;  // 27 characters, as shown
    char letter;       // 0 when the item has none
    int programCode;   // 0 for the options menu (the code stays as it was)
};

// The items in screen order.
const MenuItem* MenuItems(int& count);
const MenuItem* FindMenuItem(int number);
// The item of a program letter, 0 when the key is none. Program letters are lower case: the
// capitals share their codes with cursor keys ("K" is Left, "O" is End).
int MenuItemForLetter(unsigned char key);

enum class MenuAction {
    None,           // nothing happens
    Move,           // the highlight moved
    Run,            // run the highlighted item
    Options,        // open the options menu on item 12
    PrintProtocol,  // F7 with a protocol to print
    Leave,          // Escape: ask before leaving
};

struct MenuStep {
    int item = 1;
    MenuAction action = MenuAction::None;
};

// One key of the menu's inner loop. `clickedItem` is the item of a click on a menu line.
MenuStep MenuKey(int item, unsigned char key, bool extended, std::optional<int> clickedItem,
                 int protocolCount);

// The two small settings boxes opened before the tachistoscope and the reading test.
enum class BoxClose {
    None,    // the box stays open
    Start,   // Enter (or a line letter): start the program
    Cancel,  // Escape or 59 (also F1 and the top-right corner): back to the menu
};

// Closing keys of both boxes; they count whether typed, pressed as a function key or clicked.
BoxClose SettingsBoxCloseKey(unsigned char key);

struct TachistoscopeBoxState {
    int line = 1;         // 1 the time, 2–5 the writing styles
    int exposureMs = 100;
    BoxClose close = BoxClose::None;
};
// One key in the tachistoscope box: n, k, m, s choose lines 2–5 and start; Up/Down move between
// lines 1 and 5; Home/PgUp and End/PgDn jump; Left/Right on line 1 change the time by 10 ms
// within 0–3000.
TachistoscopeBoxState TachistoscopeBoxKey(TachistoscopeBoxState state, unsigned char key,
                                          bool extended);

struct ReadingBoxState {
    int buildUpMs = 280;
    int holdMs = 110;
    BoxClose close = BoxClose::None;
};
// One key in the reading test box: Left/Right lower/raise the build-up time, Up/Down raise/lower
// the hold time, by 10 ms within 0–3000.
ReadingBoxState ReadingBoxKey(ReadingBoxState state, unsigned char key, bool extended);

// Inserting in order makes no sense while operators are grabbed: for such a run the grab game's
// "einfügen" is switched off (and on again afterwards).
bool SuspendsGrabInsertOrder(int grabTarget, int grabInsertOrder);

}  // namespace radevir
