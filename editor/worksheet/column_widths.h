// The width bookkeeping of a worksheet's task tables: one width (percent of a table) per column,
// the widest seen so far. Column 0 holds the leading spacer.
#pragma once

#include <vector>

namespace radevir {

class ColumnWidths {
  public:
    ColumnWidths() : widths_{0} {}
    // Grows to index + 1 entries when needed and keeps the larger of the stored and new value.
    void Raise(int index, int value);
    // The stored value; 0 beyond the end (and for a negative index).
    int Get(int index) const;
    // The number of entries (the last index raised + 1).
    int Count() const { return static_cast<int>(widths_.size()); }

  private:
    std::vector<int> widths_;
};

}  // namespace radevir
