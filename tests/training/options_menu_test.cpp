#include "training/options_menu.h"

#include <QFile>
#include <gtest/gtest.h>

#include "console/dos_keys.h"
#include "console/mouse_regions.h"
#include "exercises/session.h"
#include "tests/exercises/session_fixture.h"

using namespace radevir;
using radevir::test::SessionFixture;

namespace {

constexpr int kLeft = doskey::kLeft, kRight = doskey::kRight;

std::string Readable(const Bytes& screen) {
    std::u32string text;
    for (char c : screen) text.push_back(DecodeScreenByte(static_cast<unsigned char>(c), false));
    return Utf8(text);
}

// The lit choice texts of a line, joined by "|".
std::string LitChoices(const ProgramOptions& o, int line) {
    std::string lit;
    for (const OptionValueRow& row : OptionValueRows(o, line))
        for (const OptionChoice& c : row.choices)
            if (c.lit) lit += (lit.empty() ? "" : "|") + Readable(c.text);
    return lit;
}

int ProgramOptions::*const kFields[] = {
    nullptr, &ProgramOptions::taskOrder, &ProgramOptions::autoComma, &ProgramOptions::memoriseTime,
    &ProgramOptions::help, &ProgramOptions::inputControl, &ProgramOptions::soundLevel,
    &ProgramOptions::figure, &ProgramOptions::highlightOperators, &ProgramOptions::backgroundColour,
    &ProgramOptions::frame, &ProgramOptions::animation, &ProgramOptions::colourDifference,
    &ProgramOptions::fixationPoint, &ProgramOptions::repeat, &ProgramOptions::dictationMode,
    &ProgramOptions::dictationInput, &ProgramOptions::protocol, &ProgramOptions::hundredBoard,
    &ProgramOptions::divisionMethod, &ProgramOptions::timeLimited,
};

}  // namespace

TEST(OptionsMenu, ValueStepping) {
    struct Case {
        int line;
        int start;
        int key;
        int expected;
    };
    const Case cases[] = {
        {1, 0, kRight, 1},     {1, 1, kLeft, 0},      {2, 0, 'M', 1},        {8, 1, kRight, 2},
        {8, 2, kLeft, 1},      {19, 1, kLeft, 0},     {11, 1, kRight, 0},    {11, 0, kLeft, 1},
        {12, 1, kRight, 0},    {3, 4500, kLeft, 1500}, {3, 4500, kRight, 5000}, {3, 1500, kRight, 4000},
        {3, 4000, kRight, 5000}, {3, 5000, kLeft, 4000}, {3, 9000, kLeft, 4000}, {3, 1500, kLeft, 1500},
        {3, 5000, kRight, 5000}, {4, 3, kRight, 4},   {4, 4, kRight, 4},     {4, 0, kLeft, 0},
        {5, 2, kRight, 2},     {6, 3, kRight, 3},     {6, 3, 'K', 2},        {7, 3, kRight, 3},
        {9, 0, kRight, 1},     {9, 1, kRight, 8},     {9, 8, kRight, 2},     {9, 2, kRight, 15},
        {9, 15, kRight, 0},    {9, 0, kLeft, 15},     {9, 8, kLeft, 1},      {9, 3, kRight, 3},
        {9, 3, kLeft, 3},      {10, 2, kRight, 2},    {10, 3, kRight, 3},    {10, 3, kLeft, 2},
        {10, 7, kRight, 1},    {10, 7, kLeft, 0},     {13, 5, kRight, 5},    {14, 3, kRight, 3},
        {14, 4, kLeft, 3},     {15, 3, kRight, 3},    {16, 1, kRight, 1},    {17, 2, kRight, 2},
        {18, 7, kRight, 7},    {18, 0, kRight, 1},    {20, 0, kRight, 1},    {20, 1, kLeft, 0},
    };
    for (const Case& c : cases) {
        ProgramOptions o;
        o.*kFields[c.line] = c.start;
        EXPECT_TRUE(StepOptionValue(o, c.line, c.key)) << "line " << c.line;
        EXPECT_EQ(o.*kFields[c.line], c.expected) << "line " << c.line << " from " << c.start << " key " << c.key;
    }
    // minutes: "+" and "-" on the Dauer line only, between 1 and 20
    ProgramOptions o;
    o.timeLimitMinutes = 19;
    EXPECT_TRUE(StepOptionValue(o, 20, '+'));
    EXPECT_TRUE(StepOptionValue(o, 20, '+'));
    EXPECT_EQ(o.timeLimitMinutes, 20);
    o.timeLimitMinutes = 2;
    StepOptionValue(o, 20, '-');
    StepOptionValue(o, 20, '-');
    EXPECT_EQ(o.timeLimitMinutes, 1);
    EXPECT_FALSE(StepOptionValue(o, 19, '+'));
    EXPECT_FALSE(StepOptionValue(o, 21, kRight));
    EXPECT_FALSE(StepOptionValue(o, 4, 'x'));
}

TEST(OptionsMenu, ClickedChoices) {
    struct Case {
        int line;
        int item;
        int expected;  // -1: the line has no such choice
    };
    const Case cases[] = {{3, 0, 1500}, {3, 1, 4000}, {3, 2, 5000}, {4, 3, 3},  {5, 2, 2},
                          {6, 3, 3},    {7, 3, 3},    {9, 2, 8},    {9, 4, 15}, {10, 1, 1},
                          {13, 5, 5},   {14, 3, 3},   {15, 3, 3},   {16, 1, 1}, {17, 2, 2},
                          {18, 6, 6},   {1, 1, 1},    {2, 0, 0},    {8, 1, 2},  {11, 1, 0},
                          {12, 0, 1},   {19, 0, 0},   {20, 1, 1},   {3, 3, -1}, {1, 2, -1},
                          {21, 0, -1},  {0, 0, -1}};
    for (const Case& c : cases) {
        ProgramOptions o;
        o.taskOrder = o.autoComma = 1;  // so that clicking the first choice shows
        EXPECT_EQ(ClickOptionChoice(o, c.line, c.item), c.expected >= 0) << c.line;
        if (c.expected >= 0 && c.line != 0 && c.line != 21) {
            EXPECT_EQ(o.*kFields[c.line], c.expected) << c.line << " item " << c.item;
        }
    }
    // the Dauer label's "+" and "-" are choices 2 and 3 of its line
    ProgramOptions o;
    o.timeLimitMinutes = 10;
    EXPECT_TRUE(ClickOptionChoice(o, 20, 2));
    EXPECT_EQ(o.timeLimitMinutes, 11);
    EXPECT_TRUE(ClickOptionChoice(o, 20, 3));
    EXPECT_TRUE(ClickOptionChoice(o, 20, 3));
    EXPECT_EQ(o.timeLimitMinutes, 9);
}

TEST(OptionsMenu, RowsBelongToLines) {
    const struct {
        int row, line;
    } table[] = {{1, 0}, {2, 1}, {5, 4}, {6, 5}, {7, 5}, {8, 6}, {9, 7}, {10, 7}, {11, 8}, {24, 21}, {25, 0}};
    for (const auto& c : table) EXPECT_EQ(OptionLineAtRow(c.row), c.line) << c.row;
}

TEST(OptionsMenu, LineMoves) {
    struct Case {
        int line, key, expected;
    };
    const Case cases[] = {{1, 13, 2},  {21, 13, 1}, {5, 'P', 6}, {1, 'H', 21}, {9, 72, 8},
                          {9, 'G', 1}, {9, 'I', 1}, {9, 'O', 21}, {9, 'Q', 21}, {9, 'o', 9},
                          {0, 'o', 21}, {9, 27, 9}};
    for (const Case& c : cases) EXPECT_EQ(OptionLineAfterKey(c.line, c.key), c.expected) << c.line << " " << c.key;
}

TEST(OptionsMenu, LitChoices) {
    ProgramOptions o;  // the defaults as the menu shows them
    const char* const defaults[] = {"",         " Reihenfolge ", " automatisch ", " bis Taste ",
                                    "Enter|←↓→|2.Fehler", " jede Eingabe ", " Tippton ", " laufen ",
                                    " ja ",     "bl",          " jede Zahl ",  "  ein  ",
                                    "  ein  ",  "R+A",         " 0 ",          "bis= ",
                                    "Ergebnis ", "nix",        "+1↑",          " abziehen ",
                                    " unbegrenzt "};
    for (int line = 1; line <= 20; ++line) EXPECT_EQ(LitChoices(o, line), defaults[line]) << line;
    o.help = 4;
    EXPECT_EQ(LitChoices(o, 4), "2.Fehler");
    o.help = 0;
    EXPECT_EQ(LitChoices(o, 4), "nix");
    o.backgroundColour = 3;
    EXPECT_EQ(LitChoices(o, 9), "");
    o.memoriseTime = 4500;
    EXPECT_EQ(LitChoices(o, 3), "");
    o.repeat = 4;
    EXPECT_EQ(LitChoices(o, 14), " 2x | Fehler ");
    o.timeLimited = 1;
    o.timeLimitMinutes = 7;
    EXPECT_EQ(LitChoices(o, 20), "7 Min. ");
}

// Every click target of the region file sits on the text it stands for.
TEST(OptionsMenu, RegionFileMatchesTheScreen) {
    QFile file(QStringLiteral(RADEVIR_TEST_SOURCE_DIR) + "/../data/kit/maustxt/radevir.mop");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    MouseRegionTable regions;
    regions.Push(file.readAll().toStdString());
    auto click = [&](int column, int row) {
        bool extended = false;
        return regions.ClickCell(column, row, extended);
    };
    const ProgramOptions o;
    for (int line = 1; line <= kOptionsLines; ++line) {
        for (int row : OptionLineRows(line)) EXPECT_EQ(click(42, row), 199 + line) << line;
        if (line == kOptionsLines) continue;
        int item = 0;
        for (const OptionValueRow& row : OptionValueRows(o, line)) {
            int column = 40 + row.column;
            for (const OptionChoice& choice : row.choices) {
                const int width = static_cast<int>(choice.text.size());
                const int code = click(column + width / 2, row.row);
                ProgramOptions clicked;
                if (choice.text == "hervorheben ") {
                    EXPECT_EQ(code, 0);
                } else {
                    EXPECT_TRUE(ClickOptionChoice(clicked, line, item)) << "line " << line;
                    EXPECT_EQ(code, 230 + item) << "line " << line << " item " << item;
                    EXPECT_EQ(OptionLineAtRow(row.row), line);
                    ++item;
                }
                column += width;
            }
        }
    }
    EXPECT_EQ(click(49, 23), 232);  // "+" of "Dauer: +/-"
    EXPECT_EQ(click(51, 23), 233);  // "-"
}

TEST(OptionsMenu, ScreenDump) {
    SessionFixture f;
    std::string dump;
    f.host.onPump = [&] {
        if (!f.console.WaitingForKey() || !f.console.Keys().Empty()) return;
        if (dump.empty()) {
            dump = f.console.Trace().Dump();
            f.Keys("\x1b");
        } else {
            f.console.RequestAbort();
        }
    };
    f.session.menuKey = 'o';
    EXPECT_EQ(RunOptionsMenu(f.session), 27);
    const QString expectedPath = QStringLiteral(RADEVIR_TEST_SOURCE_DIR) + "/training/options_menu_screen.txt";
    QFile expected(expectedPath);
    const QByteArray want = expected.open(QIODevice::ReadOnly) ? expected.readAll() : QByteArray();
    if (want.toStdString() != dump) {
        QFile actual(QStringLiteral(RADEVIR_TEST_SOURCE_DIR) + "/training/options_menu_screen.actual.txt");
        if (actual.open(QIODevice::WriteOnly)) actual.write(QByteArray::fromStdString(dump));
        ADD_FAILURE() << "screen differs; actual written beside " << expectedPath.toStdString();
    }
    // closing brings the screen back
    EXPECT_EQ(f.Row(1), std::string(80, ' '));
}

TEST(OptionsMenu, KeysChangeValuesAndAProgramLetterClosesTheMenu) {
    SessionFixture f;
    f.session.optionsDirty = false;
    f.session.optionsMenuLine = 3;
    f.session.menuKey = 13;  // opened with Enter: one line down, to "Hilfe"
    f.Scan(kLeft);           // Hilfe 3 -> 2
    f.Scan('P');             // Eingabekontrolle
    f.Scan(kLeft);           // 2 -> 1
    f.Scan('G');             // Aufgaben
    f.Keys("M");             // typed "M" counts as Right: Zufall
    f.Keys("k");             // a program letter
    EXPECT_EQ(RunOptionsMenu(f.session), 'k');
    EXPECT_EQ(f.session.menuKey, 'k');
    EXPECT_EQ(f.session.options.help, 2);
    EXPECT_EQ(f.session.options.inputControl, 1);
    EXPECT_EQ(f.session.options.taskOrder, 1);
    EXPECT_TRUE(f.session.optionsDirty);
    EXPECT_EQ(f.session.optionsMenuLine, 1);
    EXPECT_EQ(f.readKeyAborts, 0);
}

TEST(OptionsMenu, ClicksSelectLinesAndChoices) {
    SessionFixture f;
    f.UseRegionFile("radevir.mop");
    std::vector<std::pair<int, int>> clicks = {{45, 8}, {70, 8}, {45, 13}, {60, 13}};
    size_t next = 0;
    f.host.onPump = [&] {
        if (!f.console.WaitingForKey() || !f.console.Keys().Empty()) return;
        if (next < clicks.size()) {
            f.Click(clicks[next].first, clicks[next].second);
            ++next;
        } else if (next == clicks.size()) {
            f.Keys("\x1b");
            ++next;
        } else {
            f.console.RequestAbort();
        }
    };
    f.session.menuKey = 'o';
    EXPECT_EQ(RunOptionsMenu(f.session), 27);
    EXPECT_EQ(f.session.options.soundLevel, 2);  // " aus " on row 8
    EXPECT_EQ(f.session.options.frame, 1);       // " Rand " on row 13
    EXPECT_EQ(f.session.optionsMenuLine, 10);
    EXPECT_EQ(f.console.Regions().Depth(), 0);
}

// A choice clicked on another line than the current one changes that line, never the current one.
TEST(OptionsMenu, AClickedChoiceActsOnItsOwnLine) {
    SessionFixture f;
    f.UseRegionFile("radevir.mop");
    f.session.options.help = 3;
    f.session.options.taskOrder = 0;
    f.session.options.timeLimitMinutes = 10;
    f.session.optionsMenuLine = 4;  // "Hilfe" is current
    const std::pair<int, int> clicks[] = {
        {70, 8},   // " aus " on the Ton line
        {70, 2},   // " Zufall " on the Aufgaben line
        {49, 23},  // "+" of Dauer, twice: both count
        {49, 23},
    };
    size_t next = 0;
    f.host.onPump = [&] {
        if (!f.console.WaitingForKey() || !f.console.Keys().Empty()) return;
        if (next < std::size(clicks)) {
            f.Click(clicks[next].first, clicks[next].second);
        } else if (next == std::size(clicks)) {
            f.Keys("\x1b");
        } else {
            f.console.RequestAbort();
        }
        ++next;
    };
    f.session.menuKey = 'o';
    EXPECT_EQ(RunOptionsMenu(f.session), 27);
    EXPECT_EQ(f.session.options.soundLevel, 2);
    EXPECT_EQ(f.session.options.taskOrder, 1);
    EXPECT_EQ(f.session.options.timeLimitMinutes, 12);
    EXPECT_EQ(f.session.options.help, 3);  // the current line is left alone
    EXPECT_EQ(f.session.optionsMenuLine, 4);
}

TEST(OptionsMenu, SavingUnderANameFromTheLastLine) {
    SessionFixture f;
    f.session.options.frame = 0;
    f.session.optionsMenuLine = 21;
    f.session.menuKey = 'o';
    f.Keys("\rtest1\r\x1b");
    EXPECT_EQ(RunOptionsMenu(f.session), 27);
    const QByteArray saved = f.dir.Read("TEST1.RTT");
    EXPECT_EQ(saved.count("\r\n"), 35);
    ProgramOptions back;
    ASSERT_TRUE(LoadOptions(f.env, "TEST1.RTT", back));
    EXPECT_EQ(back.frame, 0);
    EXPECT_FALSE(f.session.optionsDirty);  // a named save counts as saved
    EXPECT_EQ(f.session.selectionMode, SelectionMode::None);
    EXPECT_EQ(f.readKeyAborts, 0);
}

TEST(OptionsMenu, LoadingANamedSet) {
    SessionFixture f;
    std::vector<Bytes> lines = OptionFileLines(ProgramOptions{});
    lines[10] = "1";  // frame
    Bytes text;
    for (const Bytes& l : lines) text += l + "\r\n";
    f.dir.Write("RAHMEN.RTT", QByteArray::fromStdString(text));
    f.session.optionsDirty = true;
    f.Keys("\r");
    SaveOrLoadOptionsByName(f.session, OptionSetAction::Load);
    EXPECT_EQ(f.session.options.frame, 1);
    EXPECT_FALSE(f.session.optionsDirty);
    EXPECT_EQ(f.session.selectionMode, SelectionMode::None);
    EXPECT_EQ(f.Row(3), std::string(80, ' '));  // the screen is back
}
