// Drawing of the program menu's screens on the text console: background, banner, the
// "Programm-Auswahl" box with its items, the settings boxes and the leaving boxes.
#pragma once

#include "support/codepage.h"

namespace radevir {

class Console;

// The whole menu screen: background, banner, box, shadow and items.
void DrawMenuScreen(Console& console, int highlightedItem);
// Only the shaded background and the banner (the end of a drill run shows them).
void DrawMenuBackground(Console& console);
// Only the items (after a key moved the highlight).
void DrawMenuItems(Console& console, int highlightedItem);

// The small settings box of the tachistoscope and the reading test (window 27,7,53,17).
void DrawSmallBox(Console& console);
// A line of a settings box at column 4, in the highlight colours when lit.
void WriteBoxLine(Console& console, int row, const Bytes& text, bool lit);
// The tachistoscope box: line 1 is the time, lines 2–5 the type styles.
void DrawTachistoscopeBox(Console& console, int line, int timeMs);
// The reading box: build-up and hold times.
void DrawReadingBox(Console& console, int buildUpMs, int holdMs);

// "Lehrerprotokoll jetzt mit F7 ausdruckbar."
void DrawProtocolHint(Console& console);
// "Programm wirklich beenden ?" up to the Ja/Nein line, which the yes/no question draws.
void DrawLeaveQuestion(Console& console);

// How long a message that must be read (a failed save) stays at most, unless a key comes first.
constexpr double kFailedSaveShownMs = 5000;
// Leaves a message on the screen until a key arrives (the key is taken) or `timeoutMs` of the
// console's clock have passed.
void WaitForKeyOrTimeout(Console& console, double timeoutMs);

// Number written right-aligned in a field of `width` characters.
Bytes Padded(int value, int width);

}  // namespace radevir
