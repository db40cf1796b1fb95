// The slots of the expected characters on the input line (a frame round the task or one round
// every character), the cursor box under the next character and mental arithmetic's gap boxes.
#include <algorithm>

#include "exercises/session.h"
#include "graphics/graphics.h"
#include "training/drill_task.h"

namespace radevir {
namespace {

using namespace drill_layout;

constexpr int kFrameColour = 15;
constexpr int kDarkFrameColour = 4;  // on a white screen
constexpr int kEveryCharacterRaise = 3;
constexpr int kSlotMargin = 2;  // between the digits' ink and their slot's lines
// The cursor box starts this far left of the next character; with its depth drawn to the right
// it lies under that character's slot.
constexpr int kCursorLead = 4;
constexpr int kCursorDepth_px = 5;
constexpr int kGapDepth_px = 10;
constexpr int kSolidFill = 1;

int LowerAreaColour(const Session& s, const DrillTask& t) {
    return AreaColour(t.program, s.options.backgroundColour, false);
}

int FrameColour(const Session& s) {
    return s.options.backgroundColour == option::BackgroundColour::kWhite ? kDarkFrameColour
                                                                          : kFrameColour;
}

// Top and bottom of a character's slot on the input line: round the ink of the digits as they
// are drawn there (the task font, centred on its line). The rows come from the font's own glyph
// of "1" and its cell, not from fixed numbers, so the digits stay inside their slots at every
// text size and window size.
struct SlotRows {
    int top = 0, bottom = 0;
};
SlotRows SlotRowsFor(Graphics& g, const DrillTask& t) {
    const Graphics::GlyphBox one = g.GlyphBoxVga("1");  // the ink below the cell's top
    const int cellHeight = g.GlyphBoxVga("00").bottom;
    const int cellTop = t.drawY - (g.AscentAlign() ? cellHeight / 4 : cellHeight / 2);
    return {cellTop + one.top - kSlotMargin, cellTop + one.bottom + kSlotMargin};
}

void DrawFrameSet(Session& s, const DrillTask& t, int raise) {
    Graphics& g = *s.graphics;
    SlotRows rows = SlotRowsFor(g, t);
    rows.top -= raise;
    rows.bottom -= raise;
    const Bytes& text = t.expected;
    const int size = t.textSize;
    std::vector<int> left(text.size()), right(text.size());
    // the slots lie on the characters' cells: typed ones start at startX, the model line's
    // (copying) two units further left
    int x = t.startX - 1;
    for (size_t i = 0; i < text.size(); ++i) {
        left[i] = x;
        x += g.TextWidthVga(Bytes(1, text[i]));
        right[i] = x;
    }
    g.SetColor(FrameColour(s));
    g.SetLineStyle(0, 0, 1);
    if (s.options.frame == option::Frame::kAroundEveryNumber) {
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] != ' ')
                g.Rectangle(left[i], rows.top - kEveryCharacterRaise, right[i], rows.bottom);
        return;
    }
    // one frame round the whole task, open where blanks part it; a little higher than the
    // slots, and lower for small sizes, never into the digits
    const int top = rows.top + (size - 14);
    const int bottom = rows.bottom + std::max(0, 6 - size);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ') continue;
        g.Line(left[i], top, right[i], top);
        g.Line(left[i], bottom, right[i], bottom);
        if (i == 0 || text[i - 1] == ' ') g.Line(left[i], top, left[i], bottom);
        if (i + 1 == text.size() || text[i + 1] == ' ') g.Line(right[i], top, right[i], bottom);
    }
}

int CursorBoxY(const DrillTask& t) {
    return t.drawY + kBoxLineBelowInput + 5 * t.textSize - 50;
}

}  // namespace

bool FramesShown(const Session& s, const DrillTask& t) {
    return !s.readingMode && t.program != ProgramCode::MentalArithmetic &&
           s.options.frame != option::Frame::kNone &&
           s.options.inputControl != option::InputControl::kCheckOnEnter;
}

void DrawFrames(Session& s, const DrillTask& t) {
    SetTaskTextStyle(s, t);
    DrawFrameSet(s, t, 0);
    if (t.program == ProgramCode::CopyTask) DrawFrameSet(s, t, kModelLineAboveInput);
}

void DrawCursorBox(Session& s, DrillTask& t, int fillColour) {
    Graphics& g = *s.graphics;
    SetTaskTextStyle(s, t);
    const int y = CursorBoxY(t);
    g.SetColor(FrameColour(s));
    g.SetFillStyle(kSolidFill, fillColour);
    const int left = t.drawX - kCursorLead;
    g.Bar3D(left, y - 5, left + g.TextWidthVga("1"), y + 4, kCursorDepth_px, true);
    t.cursorShown = true;
    t.cursorX = t.drawX;
}

void EraseCursorBox(Session& s, DrillTask& t) {
    if (!t.cursorShown) return;
    Graphics& g = *s.graphics;
    SetTaskTextStyle(s, t);
    const int y = CursorBoxY(t);
    g.SetFillStyle(kSolidFill, LowerAreaColour(s, t));
    const int left = t.cursorX - kCursorLead;
    g.Bar(left - 1, y - 7 - kCursorDepth_px, left + g.TextWidthVga("1") + 2 + kCursorDepth_px,
          y + 5);
    t.cursorShown = false;
    // the box reaches into the slots' bottom lines
    if (FramesShown(s, t)) DrawFrames(s, t);
}

void DrawGapBox(Session& s, const DrillTask& t, int fillColour) {
    if (t.currentGap >= t.gapX.size() || t.currentGap >= s.run.task.gaps.size()) return;
    Graphics& g = *s.graphics;
    SetTaskTextStyle(s, t);
    const int x = t.gapX[t.currentGap];
    const int width = g.TextWidthVga(Bytes(1, s.run.task.gaps[t.currentGap].expected));
    const int y = t.drawY + kBoxLineBelowInput;
    g.SetColor(FrameColour(s));
    g.SetFillStyle(kSolidFill, fillColour);
    g.Bar3D(x - 10, y - 5, x + width - 12, y + 4, kGapDepth_px, true);
}

void EraseGapBox(Session& s, const DrillTask& t) {
    if (t.currentGap >= t.gapX.size() || t.currentGap >= s.run.task.gaps.size()) return;
    Graphics& g = *s.graphics;
    SetTaskTextStyle(s, t);
    const int x = t.gapX[t.currentGap];
    const int width = g.TextWidthVga(Bytes(1, s.run.task.gaps[t.currentGap].expected));
    const int y = t.drawY + kBoxLineBelowInput;
    g.SetFillStyle(kSolidFill, LowerAreaColour(s, t));
    g.Bar(x - 11, y - 7 - kGapDepth_px, x + width - 10 + kGapDepth_px, y + 5);
}

}  // namespace radevir
