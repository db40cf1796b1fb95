// The task tables of a worksheet: tokens, answers, gaps, exponents, escaping and the column
// widths shared by a group of tasks.
#include <gtest/gtest.h>

#include "editor/worksheet/column_widths.h"
#include "editor/worksheet/table_builder.h"

namespace radevir {
namespace {

TEST(ColumnWidths, GrowsOnRaiseKeepsTheLargerAndReadsZeroBeyondTheEnd) {
    ColumnWidths w;
    EXPECT_EQ(w.Count(), 1);
    w.Raise(3, 7);
    EXPECT_EQ(w.Count(), 4);
    w.Raise(3, 5);
    w.Raise(1, 2);
    EXPECT_EQ(w.Get(3), 7);
    EXPECT_EQ(w.Get(1), 2);
    EXPECT_EQ(w.Get(2), 0);
    EXPECT_EQ(w.Get(9), 0);
    EXPECT_EQ(w.Get(-1), 0);
}

TEST(TaskTokens, SplitAtBlanksAndCommasButKeepDecimalsAndQuotes) {
    const struct {
        QString line;
        QStringList tokens;
    } cases[] = {
        {"12 + 5 = _1_7", {"12", "+", "5", "=", "_1_7"}},
        {"  3  *  4 = ", {"3", "*", "4", "="}},
        // the editor spaces "2,5" into "2, 5": it stays one number, gaps included
        {"2, 5 + 1, 5 = _4", {"2,5", "+", "1,5", "=", "_4"}},
        {"8, 9 = _8_, _9", {"8,9", "=", "_8_,_9"}},
        {"a, b", {"a", "b"}},
        {"\"x y\" = 1", {"x y", "=", "1"}},
        {QString("7") + QChar(0xA0) + "+" + QChar(0xA0) + "1", {"7", "+", "1"}},
        {"5,", {"5", ""}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(TaskTokens(c.line), c.tokens) << c.line.toStdString();
}

TEST(TakeAnswers, ReadsTheCharactersAfterEachGapFromTheEnd) {
    const struct {
        QString token, answer, rest;
    } cases[] = {
        {"_1_7", "17", "__"},  {"_3R_2", "3-2", "_R_"},  // gaps more than two places apart
        {"1_7", "7", "1_"},    {"_", "000", "_"},        // nothing follows the gap
        {"5_", "000", "5_"},   {"__1", "1", "__"},       // an underscore is never an answer
        {"___", "000", "___"},
    };
    for (const auto& c : cases) {
        const TokenAnswer got = TakeAnswers(c.token);
        EXPECT_EQ(got.answer, c.answer) << c.token.toStdString();
        EXPECT_EQ(got.rest, c.rest) << c.token.toStdString();
    }
}

TEST(ConvertExponents, RaisesTheCharacterAfterTheCaretAndItsDigitsAndEscapesTheRest) {
    const struct {
        QString text, html;
    } cases[] = {
        {"3^2", "3<sup>2</sup>"},
        {"10^-3", "10<sup>-3</sup>"},
        {"2^10x", "2<sup>10</sup>x"},
        {"a^b^2", "a<sup>b</sup><sup>2</sup>"},
        {"2^", "2^"},
        {"3<5&\"'\\", "3&lt;5&amp;&quot;&#39;&#92;"},
        {"<^<", "&lt;<sup>&lt;</sup>"},
    };
    for (const auto& c : cases) EXPECT_EQ(ConvertExponents(c.text), c.html) << c.text.toStdString();
}

TEST(BuildTaskTable, GapTaskGivesItsAnswerAndAWidenedGapCell) {
    TableGroupState state;
    BuildTaskTable("12 + 5 = _1_7", TableMode::Measuring, state);
    const TaskTable table = BuildTaskTable("12 + 5 = _1_7", TableMode::Writing, state);
    EXPECT_EQ(table.answer, " 17");
    EXPECT_EQ(state.blankText, "____");
    // measured from the left, written from the right: the group is not one of "x = …" tasks
    EXPECT_EQ(table.html,
              "<table border=0 width=100% height=95%>"
              "<td width=21%></td><td width=3%>&nbsp;</td>"
              "<td align=right width=13%>12</td><td align=right width=4%>+</td>"
              "<td align=right width=4%>5</td><td align=right width=4%>=</td>"
              "<td class='ergebnis'align=right width=7%><sub>____</sub></td>"
              "<td width=24%></td></table>");
}

TEST(BuildTaskTable, AnswersOfEveryGapTokenAndOfTasksWithout) {
    const struct {
        QString line, answer, blankText;
    } cases[] = {
        {"12 + 5 = 17", "-- ", "___"},
        {"17 : 5 = _3R_2", " 3-2", "___"},
        {"_1 + 5 = _6", " 1 6", "___"},
        {"4 * 5 = ___", " 000", "_____"},
        {"123 * 1 = _1_2_3", " 123", "_____"},
        {"4 * 5 = ______", " 000", "___"},  // six underscores are text, not a gap
    };
    for (const auto& c : cases) {
        TableGroupState state;
        const TaskTable table = BuildTaskTable(c.line, TableMode::Writing, state);
        EXPECT_EQ(table.answer, c.answer) << c.line.toStdString();
        EXPECT_EQ(state.blankText, c.blankText) << c.line.toStdString();
    }
}

TEST(BuildTaskTable, TaskTextIsEscapedAndExponentsRaised) {
    TableGroupState state;
    const TaskTable table = BuildTaskTable("3^2 < <b>5</b> & \"x\"", TableMode::Writing, state);
    EXPECT_NE(table.html.indexOf(">3<sup>2</sup></td>"), -1) << table.html.toStdString();
    EXPECT_NE(table.html.indexOf(">&lt;</td>"), -1);
    EXPECT_NE(table.html.indexOf(">&lt;b&gt;5&lt;/b&gt;</td>"), -1);
    EXPECT_NE(table.html.indexOf(">&amp;</td>"), -1);
    EXPECT_EQ(table.html.indexOf("<b>"), -1);
}

TEST(BuildTaskTable, ResultFirstTasksKeepTheGroupAlignedLeft) {
    TableGroupState state;
    for (const QString& line : {QString("_7 = 3 + 4"), QString("_9 = 4 + 5")})
        BuildTaskTable(line, TableMode::Measuring, state);
    EXPECT_TRUE(state.leftAligned);
    const TaskTable table = BuildTaskTable("_7 = 3 + 4", TableMode::Writing, state);
    EXPECT_TRUE(
        table.html.startsWith("<table border=0 width=100% height=95%><td width=3%>&nbsp;</td>"));
    EXPECT_TRUE(table.html.endsWith("% align=right>&nbsp;</td></table>"));
    // one ordinary task ends left alignment for the rest of the group
    BuildTaskTable("3 + 4 = _7", TableMode::Measuring, state);
    EXPECT_FALSE(state.leftAligned);
}

TEST(BuildTaskTable, OverlongTaskStillMakesAWellFormedTable) {
    TableGroupState state;
    const QString line = QString(60, '9') + " + 1 = _1";
    BuildTaskTable(line, TableMode::Measuring, state);
    const TaskTable table = BuildTaskTable(line, TableMode::Writing, state);
    EXPECT_TRUE(table.html.startsWith("<table border=0 width=100% height=95%>"));
    EXPECT_TRUE(table.html.endsWith("</table>"));
    EXPECT_EQ(table.answer, " 1");
}

// Widths and gap texts are shared within a group of rows x columns tasks and nowhere else.
TEST(BuildWorksheetTables, GroupsOfRowsTimesColumnsAreBuiltOnTheirOwn) {
    QStringList first, second;
    for (int i = 0; i < 20; ++i) first << QString("%1 + 1 = _%2").arg(i).arg(i + 1);
    for (int i = 0; i < 5; ++i) second << QString("12345 * 7 = _8_6_4_1_5");
    QStringList all = first + second;
    all.insert(3, "; a comment line is not on the sheet");
    const WorksheetTables tables = BuildWorksheetTables(all, 10, 2);
    ASSERT_EQ(tables.tables.size(), 25);
    ASSERT_EQ(tables.answers.size(), 25);
    EXPECT_EQ(tables.tasksPerGroup, 20);
    const WorksheetTables alone1 = BuildWorksheetTables(first, 10, 2);
    const WorksheetTables alone2 = BuildWorksheetTables(second, 10, 2);
    EXPECT_EQ(tables.tables.mid(0, 20), alone1.tables);
    EXPECT_EQ(tables.tables.mid(20), alone2.tables);
    EXPECT_EQ(tables.answers.front(), " 1");
    EXPECT_EQ(tables.answers.back(), " 86415");
    // the wide gap of the second group does not reach the first
    EXPECT_NE(tables.tables[0].indexOf("<sub>___</sub>"), -1);
    EXPECT_NE(tables.tables[24].indexOf("<sub>______</sub>"), -1);
}

}  // namespace
}  // namespace radevir
