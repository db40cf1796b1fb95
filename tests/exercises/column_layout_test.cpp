#include "exercises/column_layout.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace radevir;
using K = EntryKind;

namespace {

ColumnPlan Plan(std::string_view line, bool singleSteps = false, int divisionMethod = 1) {
    ColumnTask task = ClassifyColumnTask(line);
    CheckColumnRange(task);
    return PlanColumnTask(task, singleSteps, divisionMethod);
}

const char* KindName(K kind) {
    switch (kind) {
        case K::Result:
            return "R";
        case K::PartialProduct:
            return "PP";
        case K::ProductSum:
            return "S";
        case K::Quotient:
            return "Q";
        case K::Product:
            return "P";
        case K::BroughtDown:
            return "B";
        case K::Difference:
            return "D";
    }
    return "?";
}

// Every entry as "kind digits/carries@cell,row", in the order they are typed.
std::string Entries(const ColumnPlan& plan) {
    std::ostringstream out;
    for (const ColumnEntry& e : plan.entries) {
        out << KindName(e.kind) << ' ' << e.digits;
        if (!e.carries.empty()) out << '/' << e.carries;
        out << '@' << e.rightCell << ',' << e.row << ' ';
    }
    return out.str();
}

}  // namespace

TEST(ColumnLayout, GridLevelFromRowsThenColumns) {
    struct Case {
        int rows, columns, level;
    };
    for (const Case& c : std::vector<Case>{{1, 3, 9},
                                           {3, 6, 9},
                                           {3, 7, 8},
                                           {3, 8, 7},
                                           {4, 7, 8},
                                           {4, 8, 7},
                                           {2, 10, 6},
                                           {5, 9, 7},
                                           {5, 10, 6},
                                           {6, 10, 6},
                                           {6, 11, 5},
                                           {3, 13, 5},
                                           {7, 4, 5},
                                           {8, 12, 5},
                                           {9, 3, 4},
                                           {2, 14, 4},
                                           {16, 1, 4}}) {
        EXPECT_EQ(GridSizeFor(c.rows, c.columns), c.level)
            << c.rows << " rows, " << c.columns << " columns";
    }
    // every level's lines end where the rows start from the right
    for (int level = kSmallestGrid; level <= kLargestGrid; ++level) {
        const GridLevel g = GridLevelFor(level);
        EXPECT_EQ(g.CellRight(g.CellCount() - 1), 640 - g.leftMargin) << level;
        EXPECT_EQ(g.RowTop(g.horizontalLines - 1), 480 - g.topMargin) << level;
    }
}

TEST(ColumnLayout, RowStartsMoveShortTasksTowardsTheMiddle) {
    struct Case {
        int level, operation, columns, x;
    };
    for (const Case& c : std::vector<Case>{{9, kAddition, 3, 440},
                                           {9, kAddition, 5, 520},
                                           {9, kAddition, 6, 600},
                                           {9, kMultiplication, 6, 520},
                                           {7, kSubtraction, 3, 440},
                                           {7, kAddition, 7, 560},
                                           {5, kAddition, 4, 440},
                                           {5, kAddition, 12, 560},
                                           {4, kMultiplication, 13, 605},
                                           {9, kDivision, 6, 40},
                                           {6, kDivision, 10, 45}}) {
        EXPECT_EQ(RowStartX(GridLevelFor(c.level), c.operation, c.columns), c.x)
            << "level " << c.level << ", operation " << c.operation << ", " << c.columns
            << " columns";
    }
}

// (task) → (what is typed, with carries, where), as the child works it on paper.
TEST(ColumnLayout, DigitsAndCarriesOfEachOperation) {
    struct Case {
        const char* line;
        int divisionMethod;
        const char* entries;
    };
    for (const Case& c : std::vector<Case>{
             // 7+8 = 15: digit 5, carry 1 typed into the tens; 4+3+1 = 8
             {"47+38=", 1, "R 85/01@4,2 "},
             // the last carry becomes the first digit
             {"95+17=", 1, "R 112/001@4,2 "},
             // adding on: 7+5 = 12, digit 5, carry 1; 1+1 = 2, 5-2 = 3
             {"52-17=", 1, "R 35/01@4,2 "},
             // several subtrahends borrow several tens; the leading zero is not typed
             {"1000-99-99-99=", 1, "R 703/133@6,4 "},
             {"05-03=", 1, "R 2/0@4,2 "},
             // a sum is worked in every column, zeros in front included
             {"05+03=", 1, "R 08/00@4,2 "},
             {"040+007=", 1, "R 047/000@5,2 "},
             // partial products from the left digit, one cell further right each; their sum
             // 4920 + 615 with its carry
             {"123*45=", 1, "PP 492@4,1 PP 615@5,2 S 5535/0100@5,3 "},
             {"183*4=", 1, "PP 732@5,1 "},
             {"204*105=", 1, "PP 204@5,1 PP 0@6,2 PP 1020@7,3 S 21420/00000@7,4 "},
             // quotient 3, product 15 under 17, nothing to bring down, difference 2
             {"17:5=", 1, "Q 3@5,0 P 15@1,1 D 2@1,2 "},
             // one step without remainder: only the quotient digit
             {"8:4=", 1, "Q 2@4,0 "},
             // four steps, the digit brought down after the difference, and before it
             {"9753:4=", 1,
              "Q 2@7,0 P 8@0,1 D 1@0,2 B 7@1,2 Q 4@8,0 P 16@1,3 D 1@1,4 B 5@2,4 "
              "Q 3@9,0 P 12@2,5 D 3@2,6 B 3@3,6 Q 8@10,0 P 32@3,7 D 1@3,8 "},
             {"9753:4=", 0,
              "Q 2@7,0 P 8@0,1 B 7@1,2 D 1@0,2 Q 4@8,0 P 16@1,3 B 5@2,4 D 1@1,4 "
              "Q 3@9,0 P 12@2,5 B 3@3,6 D 3@2,6 Q 8@10,0 P 32@3,7 D 1@3,8 "},
             // a zero difference is not typed: only the digit comes down
             {"84:4=", 1, "Q 2@5,0 P 8@0,1 B 4@1,2 Q 1@6,0 P 4@1,3 "},
         }) {
        const ColumnPlan plan = Plan(c.line, false, c.divisionMethod);
        EXPECT_EQ(Entries(plan), c.entries) << c.line << ", method " << c.divisionMethod;
    }
}

TEST(ColumnLayout, DivisionRemainderLinesAndStepTasks) {
    const ColumnPlan p = Plan("17:5=", true);
    EXPECT_EQ(p.remainderText, "Rest: 2");
    ASSERT_EQ(p.entries.size(), 3u);
    EXPECT_EQ(p.entries[0].boardText, "17:5=");
    EXPECT_EQ(p.entries[0].boardTitle, "17:5");
    EXPECT_EQ(p.entries[1].boardText, "3*5=");
    EXPECT_EQ(p.entries[1].boardTitle, "3x5");
    EXPECT_EQ(p.entries[2].boardText, "17-15=");
    EXPECT_TRUE(p.entries[2].differenceStep);
    // the line under the product reaches one cell past it; the double line is under the quotient
    EXPECT_EQ(p.entries[1].lineAfter, (SheetLine{1, 0, 2}));
    EXPECT_EQ(p.resultLine, (SheetLine{0, 5, 5}));
    // a product shorter than its part is underlined from the part's first digit
    EXPECT_EQ(Plan("10:7=").entries[1].lineAfter, (SheetLine{1, 0, 2}));
    // no one-step tasks for a divisor of two digits, or without single steps
    EXPECT_TRUE(Plan("96:12=", true).entries[0].boardText.empty());
    EXPECT_TRUE(Plan("17:5=", false).entries[0].boardText.empty());
    EXPECT_TRUE(Plan("84:4=").remainderText.empty());
}

TEST(ColumnLayout, TaskLaidOutRightAlignedWithSignsInTheLeftColumn) {
    const ColumnPlan add = Plan("47+38=");
    EXPECT_EQ(add.gridSize, 9);
    EXPECT_EQ(add.task, (std::vector<SheetChar>{{3, 0, '4', false},
                                                {4, 0, '7', false},
                                                {3, 1, '3', false},
                                                {4, 1, '8', false},
                                                {2, 1, '+', true}}));
    EXPECT_EQ(add.taskLines, (std::vector<SheetLine>{{1, 2, 4}}));
    EXPECT_EQ(add.resultLine, (SheetLine{2, 2, 4}));

    const ColumnPlan sub = Plan("100-9-12=");
    std::string minusCells;
    for (const SheetChar& c : sub.task)
        if (c.ch == '-') minusCells += std::to_string(c.cell) + "," + std::to_string(c.row) + " ";
    EXPECT_EQ(minusCells, "2,1 2,2 ");

    // "/" is shown as ":", the division starts in the first cell
    const ColumnPlan div = Plan("17/5=");
    std::string shown;
    for (const SheetChar& c : div.task) shown += c.ch;
    EXPECT_EQ(shown, "17:5=");
    EXPECT_EQ(div.task.front().cell, 0);
}

TEST(ColumnLayout, TasksBeyondTheRangeOrACellAreRejected) {
    const std::string fourteen = "1+1+1+1+1+1+1+1+1+1+1+1+1+1=";
    EXPECT_EQ(Plan(fourteen).operation, kAddition);
    EXPECT_EQ(Plan(fourteen).entries.front().digits, "14");
    EXPECT_EQ(Plan("1+" + fourteen).operation, kNoOperation);
    // twelve nines: the units carry 10 over, which has no place in one small cell
    EXPECT_EQ(Plan("9+9+9+9+9+9+9+9+9+9+9+9=").operation, kNoOperation);
    EXPECT_EQ(Plan("9+9+9+9+9+9+9+9+9+9+9=").entries.front().digits, "99");
    EXPECT_EQ(Plan("7-9=").operation, kNoOperation);
    // zeros in front of a divisor let a division through the range that the paper cannot hold
    EXPECT_EQ(Plan("44710855:00005=").operation, kNoOperation);
    EXPECT_EQ(Plan("99999999:09=").operation, kNoOperation);
    EXPECT_EQ(Plan("4471085:5=").operation, kDivision);
    EXPECT_EQ(Plan("3:7=").operation, kNoOperation);
}
