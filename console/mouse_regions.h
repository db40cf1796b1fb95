// Clickable screen areas: MouseRegions loaded from region files map a click on a text cell to a
// key code, so that menus written for the keyboard can be clicked.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include <QString>

namespace radevir {

struct MouseRegion {
    std::int32_t leftColumn = 0, rightColumn = 0, topRow = 0, bottomRow = 0;
    unsigned char keyCode = 0;
};

// One line of a region file: four cell numbers and a key code. Returns false for an empty line.
bool ParseRegionLine(std::string_view line, MouseRegion& region);

class MouseRegionTable {
public:
    static constexpr int kCapacity = 256;
    static constexpr int kStackSize = 16;

    void Reset();

    // Saves Count and appends the regions of the file text (lines split at CR/LF).
    void Push(std::string_view fileText);
    // Saves Count and appends the regions of the file; a missing file adds nothing.
    void PushFile(const QString& nativePath);
    void Pop();
    // Appends one region while there is room (false when full).
    bool Add(const MouseRegion& region);

    // Key code for a click on (column, row), 1-based cells; 0 when nothing answers.
    // `extended` reports whether a region answered (its code counts as a scan code).
    unsigned char ClickCell(int column, int row, bool& extended);

    bool TakeListRow(int& value, int first, int last);
    bool TakeItem(int& value, int first, int last);
    bool TakeReverseItem(int& value, int first, int last);

    int Count() const { return count_; }
    int Base() const { return base_; }
    void SetBase(int base) { base_ = base; }
    int Depth() const { return depth_; }
    int LastHit() const { return lastHit_; }
    int ListRowHit() const { return listRowHit_; }
    int ItemHit() const { return itemHit_; }
    // The cell row of the click that hit an item region (menus with choices on several rows).
    int ItemHitRow() const { return itemHitRow_; }
    int ReverseItemHit() const { return reverseItemHit_; }
    const MouseRegion& Region(int i) const { return regions_[static_cast<size_t>(i)]; }

private:
    void SaveCount();

    std::array<MouseRegion, kCapacity> regions_{};
    int count_ = 0;
    int base_ = 0;
    std::array<int, kStackSize> stack_{};
    int depth_ = 0;
    int lastHit_ = -1;
    int listRowHit_ = -1;
    int itemHit_ = -1;
    int itemHitRow_ = -1;
    int reverseItemHit_ = -1;
};

}  // namespace radevir
