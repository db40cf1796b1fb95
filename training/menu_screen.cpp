#include "training/menu_screen.h"

#include "console/console.h"
#include "training/menu_items.h"

namespace radevir {
namespace {

const Bytes kShade = "\xB2";  // ▓

// Menu colours: items 14 on 1, the lit item 0 on 7.
void ItemColours(Console& c, bool lit) {
    c.TextColor(lit ? 0 : 14);
    c.TextBackground(lit ? 7 : 1);
}

Bytes Repeat(const Bytes& piece, int times) {
    Bytes out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

}  // namespace

Bytes Padded(int value, int width) {
    Bytes text = std::to_string(value);
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<size_t>(width) - text.size(), ' ');
    return text;
}

void DrawMenuBackground(Console& c) {
    c.Window(1, 1, 80, 25);
    c.TextColor(7);
    c.TextBackground(0);
    c.ClrScr();
    for (int row = 1; row <= 25; ++row) {
        c.GotoXY(1, row);
        c.Write(Repeat(kShade, 80));
    }

    // banner
    c.GotoXY(1, 1);
    c.TextBackground(3);
    c.TextColor(0);
    c.Write("Programm: RADEVIR "_b);
    c.TextColor(15);
    c.Write("Rechentrainer f\xFCr die Grundschule ");
    c.TextColor(4);
    c.Write("Version 3.3     ");
    c.TextColor(0);
    c.Write(" ESC = Ende ");
}

void DrawMenuScreen(Console& c, int highlightedItem) {
    DrawMenuBackground(c);

    // the box
    c.Window(2, 2, 39, 23);
    c.GotoXY(1, 1);
    c.TextColor(14);
    c.TextBackground(4);
    c.Write(" ┌───────  Programm-Auswahl ───────┐ "_b);
    c.TextColor(7);
    c.TextBackground(0);
    c.Write(kShade);
    for (int row = 0; row < 18; ++row) {
        c.TextColor(14);
        c.TextBackground(4);
        c.Write(" │"_b);
        c.TextBackground(1);
        c.Write(Bytes(33, ' '));
        c.TextBackground(4);
        c.Write("│ "_b);
        c.TextColor(7);
        c.TextBackground(0);
        c.Write(kShade);
    }
    c.TextColor(14);
    c.TextBackground(4);
    c.Write(" └──── Geschwindigkeit mit F10 ────┘ "_b);
    c.TextColor(7);
    c.TextBackground(0);
    // 39 "▓" fill the rest: one ends this line, 38 the next (written apart so that the
    // background fill of one long write does not run past the box on this line)
    c.Write(kShade);
    c.Write(Repeat(kShade, 38));
    // shadow right of and below the box
    c.ShadeCells(39, 3, 39, 22, 8);
    c.ShadeCells(3, 22, 39, 22, 8);
    DrawMenuItems(c, highlightedItem);
}

void DrawMenuItems(Console& c, int highlightedItem) {
    c.Window(2, 2, 39, 23);
    int count = 0;
    const MenuItem* items = MenuItems(count);
    const bool shortList = highlightedItem <= kLastShortListItem;
    if (shortList) {
        // only the first four programs while the highlight is on them
        c.TextBackground(1);
        for (int row = 8; row <= 19; ++row) {
            c.GotoXY(6, row);
            c.Write(Bytes(27, ' '));
        }
    }
    for (int i = 0; i < count; ++i) {
        const MenuItem& item = items[i];
        if (shortList && item.number > kLastShortListItem) continue;
        ItemColours(c, item.number == highlightedItem);
        c.GotoXY(6, item.row);
        c.Write(Bytes(item.text));
    }
    c.TextColor(5);
    c.TextBackground(1);
    c.GotoXY(3, 7);
    c.Write("------- weitere Programme -------");
}

void DrawSmallBox(Console& c) {
    c.Window(1, 1, 80, 25);
    c.ShadeCells(53, 8, 53, 16, 8);
    c.ShadeCells(28, 16, 53, 16, 8);
    c.Window(27, 7, 53, 17);
    c.GotoXY(1, 1);
    c.TextColor(14);
    c.TextBackground(4);
    c.Write(" ┌──────────────────────┐ "_b);
    for (int row = 2; row <= 8; ++row) {
        c.GotoXY(1, row);
        c.TextColor(14);
        c.TextBackground(4);
        c.Write(" │"_b);
        c.Write(" ");
        c.TextBackground(1);
        c.Write(Bytes(20, ' '));
        c.TextBackground(4);
        c.Write(" │ "_b);
    }
    c.GotoXY(1, 9);
    c.Write(" └"_b + Repeat("\xC4", 22) + "┘ "_b);
}

void WriteBoxLine(Console& c, int row, const Bytes& text, bool lit) {
    ItemColours(c, lit);
    c.GotoXY(4, row);
    c.Write(text);
}

void DrawTachistoscopeBox(Console& c, int line, int timeMs) {
    WriteBoxLine(c, 2, "   Zeit ← →:        "_b, line == kExposureTimeLine);
    c.GotoXY(18, 2);
    c.Write(Padded(timeMs, 4));
    WriteBoxLine(c, 4, "   Normale Schrift  ", line == 2);
    WriteBoxLine(c, 5, "   Kleine Schrift   ", line == 3);
    WriteBoxLine(c, 6, "   Minimale Schrift ", line == 4);
    WriteBoxLine(c, 7, "   Straffiert       ", line == 5);
}

void DrawReadingBox(Console& c, int buildUpMs, int holdMs) {
    WriteBoxLine(c, 2, " Zahlen lesen können"_b, false);
    WriteBoxLine(c, 3, " Ergebnisse aufsagen", false);
    WriteBoxLine(c, 4, " Verzögerungszeit:  "_b, false);
    WriteBoxLine(c, 7, " Gut    = Taste +", false);
    WriteBoxLine(c, 8, " Falsch = Taste -", false);
    WriteBoxLine(c, 5, " Aufbau ← →:        "_b, true);
    c.GotoXY(18, 5);
    c.Write(Padded(buildUpMs, 4));
    WriteBoxLine(c, 6, " Halten ↑ ↓:        "_b, true);
    c.GotoXY(18, 6);
    c.Write(Padded(holdMs, 4));
}

void DrawProtocolHint(Console& c) {
    c.Window(1, 1, 80, 25);
    c.ShadeCells(73, 18, 73, 21, 8);
    c.ShadeCells(43, 21, 73, 21, 8);
    c.Window(42, 17, 73, 20);
    c.TextColor(0);
    c.TextBackground(7);
    c.GotoXY(1, 1);
    c.Write(" ┌───────────────────────────┐ "_b);
    c.GotoXY(1, 2);
    c.Write(" │ Lehrerprotokoll jetzt mit │ "_b);
    c.GotoXY(1, 3);
    c.Write(" │ F7      ausdruckbar.      │ "_b);
    c.GotoXY(1, 4);
    c.Write(" └───────────────────────────┘ "_b);
}

void DrawLeaveQuestion(Console& c) {
    c.Window(1, 1, 80, 25);
    c.ShadeCells(60, 11, 60, 14, 8);
    c.ShadeCells(22, 14, 60, 14, 8);
    c.Window(21, 10, 60, 15);
    c.TextColor(15);
    c.TextBackground(4);
    c.GotoXY(1, 1);
    c.Write(" ┌───────────────────────────────────┐ "_b);
    c.GotoXY(1, 2);
    c.Write(" │ Programm wirklich beenden ?       │ "_b);
    c.GotoXY(1, 3);
    c.Write(" │ Sind Sie sicher?      "_b);  // the yes/no question writes the rest
}

void WaitForKeyOrTimeout(Console& c, double timeoutMs) {
    constexpr double kPollMs = 20;
    Clock& clock = c.GetClock();
    const double deadline = clock.NowMs() + timeoutMs;
    while (!c.KeyPressed() && clock.NowMs() < deadline) clock.SleepMs(kPollMs);
    c.Keys().Take();
}

}  // namespace radevir
