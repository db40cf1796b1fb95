// The program menu's items and its key rules, as plain data and functions: which item a key,
// letter or click leads to, and what the menu does next.
#pragma once

#include <optional>
#include <string_view>

#include "support/codepage.h"

namespace radevir {

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
// The item of a program letter (either letter case), 0 when the letter is none.
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

}  // namespace radevir
