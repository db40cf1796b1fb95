#include "console/mouse_regions.h"

#include <QFile>
#include <algorithm>
#include <cctype>
#include <vector>

#include "console/dos_keys.h"

namespace radevir {

bool ParseRegionLine(std::string_view line, MouseRegion& region) {
    if (line.empty()) return false;
    std::vector<long long> numbers;
    size_t i = 0;
    while (i < line.size()) {
        if (!std::isdigit(static_cast<unsigned char>(line[i]))) {
            ++i;
            continue;
        }
        long long value = 0;
        size_t j = i;
        while (j < line.size() && std::isdigit(static_cast<unsigned char>(line[j]))) {
            value = std::min<long long>(value * 10 + (line[j] - '0'), 0x7FFFFFFF);
            ++j;
        }
        // a number counts only when something follows it on the line
        if (j < line.size()) numbers.push_back(value);
        i = j;
    }
    auto num = [&](size_t k) -> long long { return k < numbers.size() ? numbers[k] : 0; };
    region.leftColumn = static_cast<std::int32_t>(num(0));
    region.rightColumn = static_cast<std::int32_t>(num(1));
    region.topRow = static_cast<std::int32_t>(num(2));
    region.bottomRow = static_cast<std::int32_t>(num(3));
    region.keyCode = numbers.size() >= 5 ? static_cast<unsigned char>(numbers[4] & 0xFF)
                                         : static_cast<unsigned char>(line.back());
    return true;
}

void MouseRegionTable::Reset() { *this = MouseRegionTable(); }

void MouseRegionTable::SaveCount() {
    if (depth_ < kStackSize - 1) ++depth_;  // beyond the top the last slot is overwritten
    stack_[static_cast<size_t>(depth_)] = count_;
}

bool MouseRegionTable::Add(const MouseRegion& region) {
    if (count_ >= kCapacity) return false;
    regions_[static_cast<size_t>(count_++)] = region;
    return true;
}

void MouseRegionTable::Push(std::string_view text) {
    SaveCount();
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        MouseRegion region;
        if (ParseRegionLine(text.substr(start, end - start), region) && !Add(region)) break;
        if (end == text.size()) break;
        // CR LF counts as one line end
        start = (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? end + 2
                                                                                    : end + 1;
    }
    reverseItemHit_ = -1;
}

void MouseRegionTable::PushFile(const QString& nativePath) {
    QFile file(nativePath);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly)) bytes = file.readAll();
    Push(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

void MouseRegionTable::Pop() {
    count_ = stack_[static_cast<size_t>(depth_)];
    if (depth_ > 0) --depth_;
}

unsigned char MouseRegionTable::ClickCell(int column, int row, bool& extended) {
    const int oldLastHit = lastHit_;
    const int oldListRowHit = listRowHit_;
    listRowHit_ = itemHit_ = reverseItemHit_ = -1;
    extended = false;
    unsigned char code = 0;
    bool hit = false;
    for (int i = count_ - 1; i >= base_ && i >= 0; --i) {
        const MouseRegion& r = regions_[static_cast<size_t>(i)];
        if (column < r.leftColumn || column > r.rightColumn || row < r.topRow ||
            row > r.bottomRow)
            continue;
        code = r.keyCode;
        hit = true;
        // a repeated click on the same spot falls through to an older region below
        const bool repeated =
            i == lastHit_ && (code != doskey::kRegionListRow || row - r.topRow == oldListRowHit);
        lastHit_ = i;
        extended = true;
        if (!repeated) break;
    }
    if (hit) {
        if (code >= doskey::kRegionFirstRowCode && code <= doskey::kRegionLastRowCode) {
            listRowHit_ = code - doskey::kRegionFirstRowCode;
        } else if (code >= doskey::kRegionItemBase && code <= doskey::kRegionLastItemCode) {
            itemHit_ = code - doskey::kRegionItemBase;
            itemHitRow_ = row;
            lastHit_ = oldLastHit;
        } else if (code == doskey::kLeft || code == doskey::kRight) {
            lastHit_ = oldLastHit;
        } else if (code == doskey::kRegionReverseItem) {
            reverseItemHit_ = count_ - 1 - lastHit_;
        } else if (code == doskey::kRegionListRow) {
            listRowHit_ = row - regions_[static_cast<size_t>(lastHit_)].topRow;
        }
    } else if (column >= 80 && row == 1) {
        code = doskey::kEscape;  // the top right corner leaves the current screen
    }
    return code;
}

bool MouseRegionTable::TakeListRow(int& value, int first, int last) {
    if (listRowHit_ == -1) return false;
    value = std::min(first + listRowHit_, last);
    listRowHit_ = -1;
    return true;
}

bool MouseRegionTable::TakeItem(int& value, int first, int last) {
    if (itemHit_ == -1) return false;
    value = std::min(first + itemHit_, last);
    itemHit_ = -1;
    return true;
}

bool MouseRegionTable::TakeReverseItem(int& value, int first, int last) {
    if (reverseItemHit_ == -1) {
        value = -1;
        return false;
    }
    value = last - std::min(last, first + reverseItemHit_) + 1;
    reverseItemHit_ = -1;
    return true;
}

}  // namespace radevir
