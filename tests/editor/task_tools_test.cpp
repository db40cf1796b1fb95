#include "editor/task_tools.h"

#include <gtest/gtest.h>

using namespace radevir;

namespace {

struct TermCase {
    const char* term;
    bool failed;
    const char* result;
};

TEST(EvaluateTerm, RulesOfTheTerm) {
    const TermCase cases[] = {
        {"(3+4)*2", false, "14"},
        {"[2+(3*4)]:7", false, "2"},
        {"10-3-2", false, "5"},    // a chain of "-" from the left
        {"10-3+2-1", false, "8"},  // "+" first: (10-3) + (2-1)
        {"8:4:2", false, "1"},
        {"8/4:2", false, "1"},  // ":" before "/": (8/4) : 2
        {"8:4/2", false, "4"},  // 8 : (4/2)
        {"10:4", false, "2,5"},
        {"1,5+1,25", false, "2,75"},
        {"2*3-1", false, "5"},
        {"1:3", false, "0,333333333333333"},
        {"7:0", true, ""},
        {"(3-5)*2", true, ""},  // the bracket's -2 leaves a "-" without a left side
        {"3++4", true, ""},
        {"1,2,3+1", true, ""},
        {"3)", true, ""},
        {"3 + 4", false, ""},  // a blank is no term character: no result at all
        {"3x4", false, ""},
        {"[2+3", false, ""},  // a bracket that is never closed
        {"(2", false, ""},
    };
    for (const TermCase& c : cases) {
        const TermValue v = EvaluateTerm(c.term);
        EXPECT_EQ(v.failed, c.failed) << c.term;
        EXPECT_EQ(v.text, c.result) << c.term;
    }
}

TEST(TaskTools, CalculateTermsWritesResultsAndKeepsWhatItCannotCompute) {
    std::vector<int> failed;
    std::vector<int> computed;
    const std::vector<QString> out = CalculateTerms(
        {"(3+4)*2", "12+5=99", "7:0=", "", "3 + 4", "=5", "Aufgaben:", "34+_2_5=", "3x4=", "Hallo",
         QString::fromUtf8("Ayşe rechnet"), QString::fromUtf8("π ≈ 3,14"), "(3-5)*2"},
        &failed, &computed);
    const std::vector<QString> expected = {
        "(3+4)*2=14", "12+5=17",
        "7:0=",                 // a division by 0 keeps its text (red in the editor)
        "",           "3 + 4",  // a blank is no term character: the line stays and turns red
        "=5",
        "Aufgaben:",   // texts are no tasks
        "34+_2_5=59",  // the gaps are left out of the term
        "3x4=",       "Hallo",   QString::fromUtf8("Ayşe rechnet"), QString::fromUtf8("π ≈ 3,14"),
        "(3-5)*2"};
    EXPECT_EQ(out, expected);
    EXPECT_EQ(failed, (std::vector<int>{12, 8, 4, 2}));
    EXPECT_EQ(computed, (std::vector<int>{7, 1, 0}));
}

TEST(TaskTools, ResultsCutAndMarkedAsGaps) {
    const std::vector<QString> lines = {"12+5=17", "3*4", "a=b=c", "",
                                        QString::fromUtf8("π=3,14 ≈ 😀")};
    EXPECT_EQ(DeleteAfterEqual(lines),
              (std::vector<QString>{"12+5=", "3*4", "a=", "", QString::fromUtf8("π=")}));
    EXPECT_EQ(MarkResults(lines), (std::vector<QString>{"12+5=_1_7", "3*4", "a=_b_=_c", "",
                                                        QString::fromUtf8("π=_3_,_1_4_ _≈_ _😀")}));
}

TEST(TaskTools, DuplicatesLeaveTheLastOccurrence) {
    struct Case {
        std::vector<QString> lines;
        std::vector<int> removed;
    } cases[] = {
        {{"1+1=", "2+2=", "1+1="}, {0}},
        {{"", "1+1=", "", "", "2+2="}, {2, 0}},  // of the empty lines only the last stays
        {{"Haus", "HAUS", "haus"}, {1, 0}},      // letter case is not distinguished
        {{QString::fromUtf8("Tür"), QString::fromUtf8("TÜR")}, {0}},
        {{"1+1=", "1+1=2"}, {}},
        {{QString::fromUtf8("5 ≥ 7"), QString::fromUtf8("5 ≤ 7")}, {}},  // compared in Unicode
        {{QString::fromUtf8("Ayşe"), QString::fromUtf8("Ayse")}, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(DuplicateLines(c.lines), c.removed);
}

TEST(TaskTools, GapRangesBetweenMarkers) {
    const QString dot(kGapMarker);
    EXPECT_EQ(GapRanges("12+5=" + dot + "17" + dot + " und " + dot + "x"),
              (std::vector<TextRange>{{6, 8}, {15, 16}}));
    EXPECT_TRUE(GapRanges("ohne Lücke").empty());
    EXPECT_TRUE(GapRanges(dot + dot).empty());
}

TEST(TaskTools, SoundFileNames) {
    const struct {
        Bytes line;
        Bytes name;
    } cases[] = {
        {"Hallo, Welt!", "Hallo, Welt.wav"},
        {"a:b?", "a#b.wav"},
        {"  \t3*4=12.", "3#4=12.wav"},
        {"\"x\"/<y>\\", "#x###y##.wav"},
        {"Satz.¶"_b, "Satz.wav"},
        {"?!.", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(LineSoundFileName(c.line), c.name) << c.line;
    // a list outside the program folder: its recordings stay in the sounds folder all the same
    const struct {
        Bytes list;
        Bytes folder;
    } folders[] = {
        {"Aufgaben\\Kopfrechnen\\Tiere.txt", "Sounds\\Aufgaben\\Kopfrechnen\\Tiere"},
        {"..\\..\\home\\lehrer\\Tiere.txt", "Sounds\\home\\lehrer\\Tiere"},
        {"/tmp/./Klasse/Tiere.txt", "Sounds\\tmp\\Klasse\\Tiere"},
        {"C:\\Listen\\..\\Tiere.txt", "Sounds\\Listen\\Tiere"},
    };
    for (const auto& c : folders) EXPECT_EQ(ListSoundFolder(c.list), c.folder) << c.list;
}

TEST(TaskTools, OnlyThePartOfALineThatDiffersIsReplaced) {
    const QString smile = QString::fromUtf8("😀");
    const struct {
        QString before, after;
        LineEdit edit;
    } cases[] = {
        {"12+5=", "12+5=17", {true, 5, 0, "17"}},
        {"12+5=17", "12+5=_1_7", {true, 5, 1, "_1_"}},
        {"12+5=17", "12+5=17", {}},
        {"abc", "", {true, 0, 3, ""}},
        {"aa", "aaa", {true, 2, 0, "a"}},
        // a character of two halves is replaced whole
        {"x" + smile, "x" + QString::fromUtf8("😁"), {true, 1, 2, QString::fromUtf8("😁")}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DifferingPart(c.before, c.after), c.edit) << c.before.toStdString();
}

TEST(TaskTools, HeadingsAndWorksheetNames) {
    EXPECT_EQ(HeadingsFileName("/p/Aufgaben\\Kopfrechnen\\Plus bis 20.txt"), "Kopfrechnen.txt");
    EXPECT_EQ(HeadingsFileName("/home/a/Listen/x.txt"), "Listen.txt");
    EXPECT_EQ(WorksheetPageName("/p/Aufgaben\\Diktat 1.txt"), "1 Diktat.html");
    EXPECT_EQ(WorksheetPageName("/p/Plus bis 20.txt"), "Plus bis 20.html");
}

TEST(TaskTools, RecentFilesKeepTheMenuAtMostTwentyFourItems) {
    std::vector<QString> paths;
    EXPECT_TRUE(AddRecentFile(paths, "a"));
    EXPECT_FALSE(AddRecentFile(paths, "a"));  // only the newest entry is compared
    EXPECT_TRUE(AddRecentFile(paths, "b"));
    EXPECT_TRUE(AddRecentFile(paths, "a"));  // so a file opened again is listed twice
    EXPECT_EQ(paths, (std::vector<QString>{"a", "b", "a"}));
    // 8 items before the list and 2 after it leave room for 14 entries; item 22 is the oldest
    paths.clear();
    for (int i = 0; i < 20; ++i) AddRecentFile(paths, QString::number(i));
    ASSERT_EQ(paths.size(), 14u);
    EXPECT_EQ(paths.front(), "19");
    EXPECT_EQ(paths.back(), "6");
    // with another menu shape the item at index 22 goes, whatever it holds
    std::vector<QString> other;
    for (int i = 0; i < 30; ++i) AddRecentFile(other, QString::number(i), 2, 0);
    EXPECT_EQ(other.size(), 22u);
    EXPECT_EQ(other[19], "10");
    EXPECT_EQ(other[20], "1");  // the oldest two stay below the item that is removed each time
}

}  // namespace
