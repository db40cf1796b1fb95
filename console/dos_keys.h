// The DOS key codes ReadKey hands out, by name. A code is one byte; LastKeyExtended tells a scan
// code (cursor and function keys, mouse region codes) from a typed character with the same value:
// Up (72) and a typed "H" share their number, so logic always looks at both.
#pragma once

namespace radevir::doskey {

// Typed control characters (LastKeyExtended clear).
constexpr unsigned char kBackspace = 8;
constexpr unsigned char kTab = 9;
constexpr unsigned char kEnter = 13;
constexpr unsigned char kEscape = 27;

// Function keys as scan codes (LastKeyExtended set).
constexpr unsigned char kF1 = 59;  // also a typed ";"
constexpr unsigned char kF2 = 60;
constexpr unsigned char kF3 = 61;
constexpr unsigned char kF4 = 62;
constexpr unsigned char kF5 = 63;
constexpr unsigned char kF6 = 64;
constexpr unsigned char kF7 = 65;  // also a typed "A"
constexpr unsigned char kF8 = 66;
constexpr unsigned char kF9 = 67;  // also a typed "C"
// Not 68: F10 belongs to the host's speed dialog, and only full-screen mode lets it through.
constexpr unsigned char kF10 = 93;
constexpr unsigned char kF11 = 0x85;
constexpr unsigned char kF12 = 0x86;

// The cursor block as scan codes; the same numbers typed are the capitals G H I K M O P Q R S.
constexpr unsigned char kHome = 71;
constexpr unsigned char kUp = 72;
constexpr unsigned char kPageUp = 73;
constexpr unsigned char kLeft = 75;
constexpr unsigned char kRight = 77;
constexpr unsigned char kEnd = 79;
constexpr unsigned char kDown = 80;
constexpr unsigned char kPageDown = 81;
constexpr unsigned char kInsert = 82;
constexpr unsigned char kDelete = 83;

// F1's code is also the training programs' "back to the menu": every program returns with it
// (and a cancelled task file choice sets it), and the menu then draws itself anew.
constexpr unsigned char kBackToMenu = kF1;

// Mouse region codes. A list region answers 199 and the row is told by where it was hit; the
// codes 200–220 name the row themselves (199 + row, rows from 1); 230–241 are the items of a row
// of choices (230 + item, items from 0).
constexpr unsigned char kRegionListRow = 199;
constexpr unsigned char kRegionRowBase = 199;
constexpr unsigned char kRegionFirstRowCode = kRegionRowBase + 1;
constexpr unsigned char kRegionLastRowCode = 220;
constexpr unsigned char kRegionItemBase = 230;
constexpr unsigned char kRegionLastItemCode = 241;
// A region that answers with its own place in the table, counted from the newest region.
constexpr unsigned char kRegionReverseItem = 255;

}  // namespace radevir::doskey
