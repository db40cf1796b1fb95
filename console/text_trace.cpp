#include "console/text_trace.h"

#include <algorithm>

namespace radevir {

void TextTrace::Reset(int rows) {
    rows_ = std::max(rows, 1);
    cells_.assign(static_cast<size_t>(kColumns * rows_), Cell{});
    texts_.clear();
}

void TextTrace::Put(int column, int row, unsigned char byte, bool glyph) {
    if (column < 0 || column >= kColumns || row < 0 || row >= rows_) return;
    cells_[static_cast<size_t>(row * kColumns + column)] = Cell{byte, glyph};
}

void TextTrace::Clear(int left, int top, int right, int bottom) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, kColumns - 1);
    bottom = std::min(bottom, rows_ - 1);
    for (int r = top; r <= bottom; ++r)
        for (int c = left; c <= right; ++c) cells_[static_cast<size_t>(r * kColumns + c)] = Cell{};
}

void TextTrace::ScrollUp(int left, int top, int right, int bottom) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, kColumns - 1);
    bottom = std::min(bottom, rows_ - 1);
    for (int r = top; r < bottom; ++r)
        for (int c = left; c <= right; ++c)
            cells_[static_cast<size_t>(r * kColumns + c)] =
                cells_[static_cast<size_t>((r + 1) * kColumns + c)];
    if (bottom >= top) Clear(left, bottom, right, bottom);
}

void TextTrace::AddGraphicsText(int x, int y, const Bytes& text) {
    if (texts_.size() >= kMaxGraphicsTexts) texts_.pop_front();
    texts_.push_back(GraphicsText{x, y, text});
}

TextTrace TextTrace::CellsOnly() const {
    TextTrace copy;
    copy.rows_ = rows_;
    copy.cells_ = cells_;
    return copy;
}

const TextTrace::Cell& TextTrace::At(int column, int row) const {
    static const Cell blank;
    if (column < 0 || column >= kColumns || row < 0 || row >= rows_) return blank;
    return cells_[static_cast<size_t>(row * kColumns + column)];
}

std::string TextTrace::RowText(int row) const {
    std::u32string line;
    for (int c = 0; c < kColumns; ++c) {
        const Cell& cell = At(c, row);
        char32_t ch = DecodeScreenByte(cell.byte, cell.glyph);
        if (cell.byte == 0) ch = U' ';
        line.push_back(ch);
    }
    return Utf8(line);
}

std::string TextTrace::Dump() const {
    std::string out;
    for (int r = 0; r < rows_; ++r) out += RowText(r) + "\n";
    out += "--\n";
    for (const GraphicsText& t : texts_) {
        std::u32string text;
        for (unsigned char b : t.text) text.push_back(DecodeScreenByte(b, false));
        out += std::to_string(t.x) + " " + std::to_string(t.y) + " " + Utf8(text) + "\n";
    }
    return out;
}

}  // namespace radevir
