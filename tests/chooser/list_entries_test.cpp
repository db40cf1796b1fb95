#include "chooser/list_entries.h"

#include <gtest/gtest.h>

using namespace radevir;

TEST(ListEntries, NumberedToTheDigitsOfTheLineCountInTwoToFourColumns) {
    const struct {
        size_t lines;
        int columns;
        const char* first;
        const char* last;
    } table[] = {{9, 2, "1   x", "9   x"},       {80, 2, "01   x", "80   x"},
                 {81, 3, "01   x", "81   x"},    {90, 3, "01   x", "90   x"},
                 {100, 3, "001   x", "100   x"},  {101, 4, "001   x", "101   x"},
                 {250, 4, "001   x", "250   x"},  {1000, 4, "0001   x", "1000   x"}};
    for (const auto& row : table) {
        const std::vector<Bytes> lines(row.lines, "x");
        const std::vector<Bytes> entries = ListEntries(lines);
        ASSERT_EQ(entries.size(), row.lines);
        EXPECT_EQ(ListColumnCount(row.lines), row.columns) << row.lines;
        EXPECT_EQ(entries.front(), row.first) << row.lines;
        EXPECT_EQ(entries.back(), row.last) << row.lines;
    }
    EXPECT_EQ(ListColumnCount(100), 2 + 1);  // 100 is "more than 80", not "more than 100"
}

TEST(ListEntries, LinesOfBlanksAndCommasShowOnlyTheirNumber) {
    const std::vector<Bytes> entries = ListEntries({"3+4=7", "", "  , ,", " 5 ", "17:5=3 R 2"});
    EXPECT_EQ(entries, (std::vector<Bytes>{"1   3+4=7", "2   ", "3   ", "4    5 ", "5   17:5=3 R 2"}));
}

TEST(ListEntries, LookOfAnEntry) {
    using Kind = ListEntryLook::Kind;
    const struct {
        const char* entry;
        Kind kind;
        bool silver;
        const char* shown;
    } table[] = {
        {"01   3+4=_7", Kind::Task, false, "01   3+4=_?"},
        {"01   12+5=_1_7", Kind::Task, false, "01   12+5=_?_?"},
        {"01   __7+1=8", Kind::Task, false, "01   _??+1=8"},
        {"01   _", Kind::Task, false, "01   _"},                      // nothing follows the gap
        {"01   !3+4=_7 zuerst", Kind::Task, true, "01   !3+4=_7 zuerst"},  // hints stay as written
        {"01   a3+4=7", Kind::Task, false, "01   a3+4=7"},
        {"01   #Tempo=3", Kind::Setting, false, ""},
        {"01   #~ Einmaleins mit 7", Kind::Comment, false, ""},
        {"01   ~ vor #", Kind::Setting, false, ""},  // only a "~" after the "#" counts
        {"01   3+4=7 # ~", Kind::Comment, false, ""},
    };
    for (const auto& row : table) {
        const ListEntryLook look = LookOfEntry(row.entry);
        EXPECT_EQ(look.kind, row.kind) << row.entry;
        EXPECT_EQ(look.silverBackground, row.silver) << row.entry;
        if (row.kind == Kind::Task) {
            EXPECT_EQ(look.shownText, row.shown) << row.entry;
        }
        EXPECT_EQ(look.numberLength, 2) << row.entry;
    }
    EXPECT_EQ(LookWord(Kind::Setting), "Einstellung");
    EXPECT_EQ(LookWord(Kind::Comment), "Kommentar");
    EXPECT_EQ(LookOfEntry("250   x").numberLength, 3);
}

TEST(ListEntries, AcceptedLineStepsOverSettingsAndComments) {
    const std::vector<Bytes> entries =
        ListEntries({"#Tempo=3", "#~ Kommentar", "3+4=7", "#Stufe=2", "5+5=10", "#am Ende"});
    const struct {
        int selected;
        int accepted;
    } table[] = {{-1, 2}, {0, 2}, {1, 2}, {2, 2}, {3, 4}, {4, 4}, {5, 5}, {99, 5}};
    for (const auto& row : table)
        EXPECT_EQ(AcceptedLineIndex(entries, row.selected), row.accepted) << row.selected;
    EXPECT_EQ(AcceptedLineIndex({}, 0), -1);
    // a "#" inside a task line without a blank before it does not make it a setting line
    EXPECT_EQ(AcceptedLineIndex(ListEntries({"3#4", "x"}), 0), 0);
}

TEST(ListEntries, AcceptedExtensions) {
    EXPECT_TRUE(ExtensionAccepted(".txt;.*", ".btx"));
    EXPECT_TRUE(ExtensionAccepted(".txt;.*", ""));
    EXPECT_TRUE(ExtensionAccepted(".txt;.rtf", ".TXT"));
    EXPECT_FALSE(ExtensionAccepted(".txt;.rtf", ".doc"));
    EXPECT_FALSE(ExtensionAccepted(".txt;.rtf", ""));
}

TEST(ListFiles, TextIsToldFromOtherFilesAndACutLastLineIsDropped) {
    using namespace std::string_view_literals;
    EXPECT_TRUE(LooksLikeText("3+4=7\r\n\xFC" "ben\r\n"));
    EXPECT_TRUE(LooksLikeText(""));
    EXPECT_FALSE(LooksLikeText("\x7F" "ELF\x02\x01\x01\0\0"sv));
    EXPECT_FALSE(LooksLikeText("3+4=7\r\n\0"sv));

    const struct {
        std::string_view head;
        std::vector<Bytes> lines;
    } table[] = {
        {"1+1=2\r\n2+2=4\r\n3+3", {"1+1=2", "2+2=4"}},  // "3+3" was cut
        {"1+1=2\n2+2=4\n", {"1+1=2", "2+2=4"}},
        {"1+1=2\r", {"1+1=2"}},  // cut between CR and LF: the line is whole
        {"ohne Zeilenende", {}},
        {"", {}},
    };
    for (const auto& c : table) EXPECT_EQ(ListLinesOfHead(c.head), c.lines) << c.head;

    std::string many;
    for (size_t i = 0; i < kMaxListedLines + 5; ++i) many += "x\r\n";
    EXPECT_EQ(ListLinesOfHead(many).size(), kMaxListedLines);
    std::vector<Bytes> whole(kMaxListedLines + 1, "x");
    BoundListLines(whole);
    EXPECT_EQ(whole.size(), kMaxListedLines);
}
