#include "support/text_helpers.h"

#include <gtest/gtest.h>

#include "support/settings_store.h"
#include "support/file_helpers.h"
#include "tests/test_support.h"

namespace radevir {
namespace {

TEST(ReplaceAll, ScansOnAfterEachReplacement) {
    struct Case {
        const char* text;
        const char* find;
        const char* replacement;
        const char* expected;
    };
    const Case cases[] = {
        {"1+2+3", "+", " + ", "1 + 2 + 3"},
        {"aaa", "a", "aa", "aaaaaa"},  // inserted text is not searched again
        {"a--b", "-", "", "ab"},
        {"abc", "", "x", "abc"},
        {"", "x", "y", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ReplaceAll(c.text, c.find, c.replacement), c.expected) << c.text;
}

TEST(StripSuffixAndDisplayName, CutAndSwap) {
    EXPECT_EQ(StripSuffix("aufgabe.txt", ".txt"), "aufgabe");
    EXPECT_EQ(StripSuffix("aufgabe.txt", ".rtf"), "aufgabe.txt");
    EXPECT_EQ(StripSuffix("x", "longer"), "x");

    EXPECT_EQ(DisplayName("C:\\Aufgaben\\Meier Hans.txt"), "Hans Meier");
    EXPECT_EQ(DisplayName("/k/Plus bis 20.txt"), "Plus bis 20");  // three words stay
    EXPECT_EQ(DisplayName("bgi7\\liste.neu.txt"), "liste.neu");
    EXPECT_EQ(DisplayName("ohne"), "ohne");
}

TEST(ParseLeadingInt, FirstDigitRunWithoutSign) {
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"007 Stück", 7}, {"abc", 99}, {"-5", 5},          {"x12y34", 12},
        {"0", 0},         {"", 99},    {"99999999999", 99}, {"000", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseLeadingInt(c.text, 99), c.expected) << c.text;
}

TEST(ReadIntSetting, ConvertsStoredTextAndFallsBack) {
    test::ScratchDir dir;
    SettingsStore store(dir.Path() + "/s.ini", "radevir");
    store.WriteSetting("", "Hide", "EI_Maxmerkanzahl", "007 Stück"_b);
    store.WriteSetting("", "Hide", "Bad", "abc");
    store.WriteSetting("", "Hide", "Neg", "-5");
    EXPECT_EQ(ReadIntSetting(store, "Hide", "EI_Maxmerkanzahl", 12), 7);
    EXPECT_EQ(ReadIntSetting(store, "Hide", "Bad", 12), 12);
    EXPECT_EQ(ReadIntSetting(store, "Hide", "Neg", 12), 5);
    EXPECT_EQ(ReadIntSetting(store, "Hide", "Missing", 12), 12);
}

TEST(SplitString, PiecesWithAndWithoutSeparator) {
    std::vector<Bytes> list{"stale"};
    EXPECT_EQ(SplitString("a;b;;c", ";", list, false), 4);
    EXPECT_EQ(list, (std::vector<Bytes>{"a", "b", "", "c"}));
    EXPECT_EQ(SplitString("a;b;", ";", list, true), 2);
    EXPECT_EQ(list, (std::vector<Bytes>{"a;", "b;"}));
    EXPECT_EQ(SplitString("a<>b", "<>", list, false), 2);
    EXPECT_EQ(list, (std::vector<Bytes>{"a", "b"}));
    EXPECT_EQ(SplitString("", ";", list, false), 0);
    EXPECT_EQ(SplitString("abc", "", list, false), 1);
}

TEST(Pairs, NamesValuesAndQuotedNames) {
    struct Case {
        const char* line;
        const char* name;
        const char* value;
    };
    const Case cases[] = {
        {"key=value", "key", "value"},
        {"a=b=c", "a", "b=c"},
        {"nokey", "nokey", ""},
        {"=v", "", "v"},
        {"\"a=b\"=c", "\"a=b\"", "c"},  // "=" inside a quoted name belongs to the name
        {"\"x y\"=1,2", "\"x y\"", "1,2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NameOfPair(c.line), c.name) << c.line;
        EXPECT_EQ(ValueOfPair(c.line), c.value) << c.line;
    }
    EXPECT_EQ(NameOfPair("Plus bis 20=x", true), "\"Plus bis 20\"");
    EXPECT_EQ(ValueOfPair("k=a,b", true), "\"a,b\"");
}

TEST(QuoteIfNeeded, OnlyBlanksAndCommasAndNotTwice) {
    EXPECT_EQ(QuoteIfNeeded("a b"), "\"a b\"");
    EXPECT_EQ(QuoteIfNeeded("a,b"), "\"a,b\"");
    EXPECT_EQ(QuoteIfNeeded("\"a b\""), "\"a b\"");
    EXPECT_EQ(QuoteIfNeeded("ab"), "ab");
    EXPECT_EQ(QuoteIfNeeded(""), "");
}

TEST(CommaItem, ItemsOfValueOrLine) {
    const char* line = "Datei=\"C:\\Meine Aufgaben\\a.txt\",12, rot";
    EXPECT_EQ(CommaItem(line, 0), "C:\\Meine Aufgaben\\a.txt");
    EXPECT_EQ(CommaItem(line, 0, true), "\"C:\\Meine Aufgaben\\a.txt\"");
    EXPECT_EQ(CommaItem(line, 1), "12");
    EXPECT_EQ(CommaItem(line, 2), "rot");
    EXPECT_EQ(CommaItem(line, 3), "");
    EXPECT_EQ(CommaItem(line, -1), "");
    EXPECT_EQ(CommaItem("x,y", 1), "y");                 // no value part: the line itself
    EXPECT_EQ(CommaItem("a b,c", 1), "b");               // blanks separate unquoted items
    EXPECT_EQ(CommaItem("k=\"say \"\"hi\"\"\"", 0), "say \"hi\"");
    EXPECT_EQ(CommaItems("a,"), (std::vector<Bytes>{"a", ""}));
}

TEST(FilterExtension, PatternOfEntry) {
    const char* filter = "Textdateien(.txt)|*.txt|RTF|*.rtf|Alle Dateien|*.*";
    EXPECT_EQ(FilterExtension(filter, 0), ".txt");
    EXPECT_EQ(FilterExtension(filter, 1), ".rtf");
    EXPECT_EQ(FilterExtension(filter, 2), ".*");
    EXPECT_EQ(FilterExtension(filter, 7), ".txt");
    EXPECT_EQ(FilterExtension(filter, -1), ".txt");
    EXPECT_EQ(FilterExtension("", 0), "");
    EXPECT_EQ(FilterExtension("Alle|*", 0), "");
}

TEST(UpperChar, Windows1252Letters) {
    EXPECT_EQ(UpperText("abz09"), "ABZ09");
    EXPECT_EQ(UpperText("äöüéàþ"_b), "ÄÖÜÉÀÞ"_b);
    EXPECT_EQ(UpperText("ß÷µ"_b), "ß÷µ"_b);  // no capitals of their own
    EXPECT_EQ(UpperText("šœžÿ"_b), "ŠŒŽŸ"_b);
}

TEST(NumberTexts, GeneralAndFixed) {
    EXPECT_EQ(IntToText(-42), "-42");
    EXPECT_EQ(FloatToText(1.5), "1.5");
    EXPECT_EQ(FloatToText(0.1), "0.1");
    EXPECT_EQ(FloatToText(3), "3");
    EXPECT_EQ(FloatToText(1e20), "1E20");
    EXPECT_EQ(FloatToText(1e-7), "1E-7");
    EXPECT_EQ(FixedToText(440, 2), "440.00");
    EXPECT_EQ(FixedToText(0.1, 2), "0.10");
    EXPECT_EQ(DecimalCommaText(2.25), "2,25");  // the screen's decimal comma
}

TEST(TrimWhitespace, ControlCharactersAndBlanksAtEitherEnd) {
    const struct {
        const char* text;
        const char* trimmed;
    } table[] = {{" \t a b \r\n", "a b"}, {"   ", ""}, {"", ""}, {"x", "x"}, {"\x01x\x7F", "x\x7F"}};
    for (const auto& row : table) EXPECT_EQ(TrimWhitespace(row.text), row.trimmed) << row.text;
}

}  // namespace
}  // namespace radevir
