// The program menu's items and its key rules, as plain data and functions: which item a key,
// letter or click leads to, and what the menu does next.
#pragma once

#include <optional>
#include <string_view>

#include "exercises/program_code.h"
#include "exercises/program_options.h"
#include "support/codepage.h"

namespace radevir {

struct MenuItem {
    int number;        // 1–13; 11 does not exist
    int row;           // row inside the menu window
    const char* text;  // 27 characters, as shown
    char letter;       // 0 when the item has none
    std::optional<ProgramCode> programCode;  // none for the options menu (the code stays as it was)
};

// The items the menu itself looks at.
constexpr int kFirstMenuItem = 1;
constexpr int kLastShortListItem = 4;  // items 1–4 are all that shows while the highlight is on them
constexpr int kOptionsMenuItem = 12;
constexpr int kLastMenuItem = 13;
constexpr char kOptionsLetter = 'o';  // opens the options menu; no program letter

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

// The lines of the tachistoscope box.
constexpr int kExposureTimeLine = 1;
constexpr int kLastStyleLine = 5;  // lines 2–5: the writing styles

struct TachistoscopeBoxState {
    int line = kExposureTimeLine;
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

// What comes before the program when an item runs.
enum class ItemStart {
    Run,                // the program at once
    TachistoscopeBox,   // the tachistoscope's settings box; the program only after Enter
    ReadingBox,         // the reading test's settings box; the program only after Enter
    GrabGameOptions,    // the grab game's options screen; the game only after Enter
    LoadOptionsByName,  // no program: a named option set is loaded
};

// How an item runs: the program code and modes the program sees, and the options it runs with
// for this run only. Afterwards the modes are cleared, the item's own code and the options'
// values come back.
struct ItemRunPlan {
    ItemStart start = ItemStart::Run;
    ProgramCode runAs = ProgramCode::MentalArithmetic;
    bool computeMode = false;
    bool readingMode = false;
    std::optional<int> taskOrder;        // a partner dictates in list order
    std::optional<int> grabInsertOrder;  // see SuspendsGrabInsertOrder
};
ItemRunPlan PlanItemRun(ProgramCode code, const ProgramOptions& options);

}  // namespace radevir
