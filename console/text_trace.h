// What the screen says, kept beside the drawing: which byte went into which cell (and whether it
// was drawn as a glyph picture), plus the graphics texts drawn since the last mode switch. It
// never drives drawing; it serves tests, the scripted text dump and accessibility.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "support/codepage.h"

namespace radevir {

class TextTrace {
public:
    static constexpr int kColumns = 80;
    // Graphics texts kept for the dump: a screen never shows more, and a long run that keeps
    // redrawing (a game's score) must not grow the list without end; the oldest go first.
    static constexpr size_t kMaxGraphicsTexts = 1000;

    struct Cell {
        unsigned char byte = ' ';
        bool glyph = false;
    };
    struct GraphicsText {
        int x = 0, y = 0;  // 640×480 units
        Bytes text;
    };

    // Empties the grid for `rows` rows (25 in text mode, 30 in graphics mode) and forgets the
    // graphics texts.
    void Reset(int rows);
    int Rows() const { return rows_; }

    // 0-based cells; writes outside the grid are dropped.
    void Put(int column, int row, unsigned char byte, bool glyph);
    void Clear(int left, int top, int right, int bottom);  // inclusive cells
    // Moves the block of rows top+1..bottom (columns left..right) one row up and blanks the
    // bottom row of the block.
    void ScrollUp(int left, int top, int right, int bottom);
    void AddGraphicsText(int x, int y, const Bytes& text);
    size_t GraphicsTextCount() const { return texts_.size(); }
    // The cells alone, without the graphics texts (what a screen page keeps).
    TextTrace CellsOnly() const;

    const Cell& At(int column, int row) const;
    // One row as UTF-8, frame bytes decoded as code page 437 and letters as Windows-1252.
    std::string RowText(int row) const;
    // The whole dump: the rows, a line "--", then one "X Y TEXT" line per graphics text.
    std::string Dump() const;

private:
    int rows_ = 25;
    std::vector<Cell> cells_ = std::vector<Cell>(static_cast<size_t>(kColumns * 25));
    std::deque<GraphicsText> texts_;
};

}  // namespace radevir
