#include "console/mouse_regions.h"

#include <gtest/gtest.h>

#include <string>

using namespace radevir;

TEST(RegionFile, LinesGiveFourCellNumbersAndAKeyCode) {
    const struct {
        const char* line;
        int left, right, top, bottom, key;
    } table[] = {
        {"10 30 5 5 13;", 10, 30, 5, 5, 13},
        {"10 30 5 5 H", 10, 30, 5, 5, 'H'},      // four numbers and a letter: the letter
        {"10 30 5 5 13", 10, 30, 5, 5, '3'},     // a number ending the line does not count
        {"1,2;3-4 200 x", 1, 2, 3, 4, 200},      // any separators
        {"7 8 K", 7, 8, 0, 0, 'K'},              // missing numbers are 0
        {"1 2 3 4 300 ", 1, 2, 3, 4, 300 & 0xFF},
    };
    for (const auto& row : table) {
        MouseRegion r;
        ASSERT_TRUE(ParseRegionLine(row.line, r)) << row.line;
        EXPECT_EQ(r.leftColumn, row.left) << row.line;
        EXPECT_EQ(r.rightColumn, row.right) << row.line;
        EXPECT_EQ(r.topRow, row.top) << row.line;
        EXPECT_EQ(r.bottomRow, row.bottom) << row.line;
        EXPECT_EQ(r.keyCode, row.key) << row.line;
    }
    MouseRegion r;
    EXPECT_FALSE(ParseRegionLine("", r));
}

TEST(RegionTable, PushAndPopRestoreTheCountAndTheTableStopsAt256) {
    MouseRegionTable t;
    t.Push("1 2 1 1 a\r\n\r\n3 4 1 1 b\r\n");
    EXPECT_EQ(t.Count(), 2);  // empty lines add nothing
    t.Push("5 6 1 1 c\n");
    EXPECT_EQ(t.Count(), 3);
    t.Pop();
    EXPECT_EQ(t.Count(), 2);
    t.Pop();
    EXPECT_EQ(t.Count(), 0);

    std::string many;
    for (int i = 0; i < 300; ++i) many += "1 1 1 1 x\r\n";
    t.Push(many);
    EXPECT_EQ(t.Count(), MouseRegionTable::kCapacity);
    t.PushFile("/nonexistent/region.mtb");  // a missing file adds nothing
    EXPECT_EQ(t.Count(), MouseRegionTable::kCapacity);
}

TEST(RegionTable, RepeatedListClickFallsThroughToTheOlderRegionBelow) {
    MouseRegionTable t;
    t.Push("1 80 1 25 27;\n");   // older: the whole screen answers Escape
    t.Push("10 40 5 9 199;\n");  // newer: a list of five rows
    bool extended = false;
    EXPECT_EQ(t.ClickCell(12, 7, extended), 199);
    EXPECT_TRUE(extended);
    EXPECT_EQ(t.ListRowHit(), 2);
    // the same row again, not consumed: the click falls through to the older region
    EXPECT_EQ(t.ClickCell(12, 7, extended), 27);
    // a consumed row stops the fall-through
    EXPECT_EQ(t.ClickCell(12, 8, extended), 199);
    int row = 0;
    EXPECT_TRUE(t.TakeListRow(row, 1, 10));
    EXPECT_EQ(row, 4);
    EXPECT_FALSE(t.TakeListRow(row, 1, 10));
    EXPECT_EQ(t.ClickCell(12, 8, extended), 199);
}

TEST(RegionTable, TopRightCornerIsEscapeOnlyWhenNoRegionAnswers) {
    MouseRegionTable t;
    bool extended = true;
    EXPECT_EQ(t.ClickCell(80, 1, extended), 27);
    EXPECT_FALSE(extended);
    EXPECT_EQ(t.ClickCell(79, 1, extended), 0);
    EXPECT_EQ(t.ClickCell(80, 2, extended), 0);
    t.Push("70 80 1 1 X\n");
    EXPECT_EQ(t.ClickCell(80, 1, extended), 'X');
    // regions below Base (text screens under a graphics screen) do not answer
    t.SetBase(t.Count());
    EXPECT_EQ(t.ClickCell(75, 1, extended), 0);
}

TEST(RegionTable, ItemCodesAndTakeOperations) {
    MouseRegionTable t;
    t.Push("1 5 1 1 a\n1 5 2 2 232;\n1 5 3 3 255;\n1 5 4 4 205;\n");
    bool extended = false;
    int value = 0;
    EXPECT_EQ(t.ClickCell(2, 2, extended), 232);
    EXPECT_TRUE(t.TakeItem(value, 10, 20));
    EXPECT_EQ(value, 12);
    EXPECT_EQ(t.LastHit(), -1);  // item clicks keep the previous LastHit
    EXPECT_EQ(t.ClickCell(2, 3, extended), 255);
    EXPECT_EQ(t.ReverseItemHit(), 1);  // Count − 1 − LastHit
    EXPECT_TRUE(t.TakeReverseItem(value, 1, 5));
    EXPECT_EQ(value, 5 - 2 + 1);
    EXPECT_FALSE(t.TakeReverseItem(value, 1, 5));
    EXPECT_EQ(value, -1);
    EXPECT_EQ(t.ClickCell(2, 4, extended), 205);
    EXPECT_TRUE(t.TakeListRow(value, 3, 6));
    EXPECT_EQ(value, 6);  // 3 + 5, capped at the last
}
