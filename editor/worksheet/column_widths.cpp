#include "editor/worksheet/column_widths.h"

#include <algorithm>

namespace radevir {

void ColumnWidths::Raise(int index, int value) {
    if (index < 0) return;
    const auto i = static_cast<size_t>(index);
    if (i >= widths_.size()) widths_.resize(i + 1, 0);
    widths_[i] = std::max(widths_[i], value);
}

int ColumnWidths::Get(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= widths_.size()) return 0;
    return widths_[static_cast<size_t>(index)];
}

}  // namespace radevir
