#include "exercises/task_model.h"

#include <QScopeGuard>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "console/dos_keys.h"
#include "tests/exercises/session_fixture.h"

using namespace radevir;
using radevir::test::SessionFixture;

namespace {

// Counts the tones the console asks for.
class CountingSound : public SoundPort {
public:
    bool MakeToneFile(const QString&, int, int, int) override { return true; }
    bool PlayFile(const QString& path, int) override {
        plays.push_back(path);
        return true;
    }
    void StopAll() override {}
    void SetSpeaking(bool) override {}
    bool Speaking() const override { return false; }
    bool SpeakWordSounds(const Bytes&, const Bytes&, const QString&) override { return false; }
    std::vector<QString> plays;
};

// Hands back a fixed choice and remembers what it was asked.
class FixedChooser : public ListChooserPort {
public:
    ListChooserResult Choose(const ListChooserRequest& r) override {
        request = r;
        ++calls;
        return result;
    }
    ListChooserRequest request;
    ListChooserResult result;
    int calls = 0;
};

}  // namespace

TEST(TaskList, KeepsTheFirst82NonEmptyLines) {
    TaskList list;
    std::vector<Bytes> lines;
    for (int i = 1; i <= 100; ++i) {
        lines.push_back(std::to_string(i) + "+1=");
        lines.emplace_back();
    }
    list.SetLines(lines);
    EXPECT_EQ(list.Count(), 82);
    EXPECT_EQ(list.Line(1), "1+1=");
    EXPECT_EQ(list.Line(82), "82+1=");
    EXPECT_EQ(list.Line(83), "");
    EXPECT_EQ(list.Line(0), "");
}

TEST(TaskList, SeparatorAndHintLines) {
    EXPECT_TRUE(IsSeparatorLine("q"));
    EXPECT_TRUE(IsSeparatorLine("\xFC"));  // ü: above "]" as a byte
    EXPECT_FALSE(IsSeparatorLine("5"));
    EXPECT_FALSE(IsSeparatorLine("]"));
    EXPECT_FALSE(IsSeparatorLine("qq"));
    EXPECT_TRUE(IsHintLine("!weiter mit Plus.txt"));
    EXPECT_FALSE(IsHintLine("1+1=!"));
}

TEST(PrepareTaskLine, GapsAndMarks) {
    struct Case {
        const char* raw;
        bool marking;
        const char* display;
        int markStart, markEnd;
        std::vector<std::pair<int, char>> gaps;
    };
    const Case cases[] = {
        {"12+3_4=", true, "12+34=", 0, 0, {{5, '4'}}},
        {"7+c123=130", true, "7+123=130", 3, 6, {}},
        {"7+c123=130", false, "7+123=130", 0, 0, {}},
        // only the first letter marks; later ones are just removed
        {"a7+b12=19", true, "7+12=19", 1, 2, {}},
        // the mark counts positions without the gaps before it
        {"1_2+c345=_3_5_7", true, "12+345=357", 4, 7, {{2, '2'}, {8, '3'}, {9, '5'}, {10, '7'}}},
        // a mark running past the end stops there
        {"7+j12", true, "7+12", 3, 5, {}},
        // a gap at the very end has nothing to hide
        {"3+4=_", true, "3+4=", 0, 0, {}},
        {"", true, "", 0, 0, {}},
    };
    for (const Case& c : cases) {
        const Task t = PrepareTaskLine(c.raw, c.marking);
        EXPECT_EQ(t.rawLine, c.raw);
        EXPECT_EQ(t.displayText, c.display) << c.raw;
        EXPECT_EQ(t.markStart, c.markStart) << c.raw;
        EXPECT_EQ(t.markEnd, c.markEnd) << c.raw;
        std::vector<std::pair<int, char>> gaps;
        for (const TaskGap& g : t.gaps) gaps.emplace_back(g.position, g.expected);
        EXPECT_EQ(gaps, c.gaps) << c.raw;
    }
}

TEST(PrepareTaskLine, TheSeventeenthGapOverwritesTheSixteenth) {
    Bytes raw;
    for (int i = 0; i < 18; ++i) raw += "_" + std::to_string(i % 10);
    const Task t = PrepareTaskLine(raw, true);
    ASSERT_EQ(t.gaps.size(), 16u);
    EXPECT_EQ(t.gaps[14].position, 15);
    EXPECT_EQ(t.gaps[15].position, 18);
    EXPECT_EQ(t.gaps[15].expected, '7');
}

TEST(ColumnTask, AcceptedAndRejectedLines) {
    struct Case {
        const char* line;
        int operation;  // after ClassifyColumnTask and CheckColumnRange
        int beeps;
        std::vector<Bytes> fields;
        std::vector<int> values;  // the first values
    };
    const Case cases[] = {
        {"345+12=", kAddition, 0, {"345", "+12"}, {345, 12}},
        {"345 + 12 =", kNoOperation, 3, {"345 ", "+ 12 "}, {}},
        {"345+12", kAddition, 0, {"345"}, {345}},
        {"50-7-3=40", kSubtraction, 0, {"50", "-7", "-3"}, {50, -7, -3}},
        {"7-9=", kNoOperation, 0, {"7", "-9"}, {}},
        {"-5=", kNoOperation, 0, {"", "-5"}, {}},
        {"12-3+4=", kNoOperation, 0, {"12", "-3", "+4"}, {}},
        {"1234*56789=", kMultiplication, 0, {"1234", "*56789"}, {1234, 56789}},
        {"12345*56789=", kNoOperation, 0, {"12345", "*56789"}, {}},
        {"12*3*4=", kNoOperation, 0, {"12", "*3", "*4"}, {}},
        {"12*3", kNoOperation, 0, {"12"}, {}},
        {"123456789:3=", kNoOperation, 0, {"123456789", ":3"}, {}},
        {"3:7=", kNoOperation, 0, {"3", ":7"}, {}},
        {"12:0=", kNoOperation, 0, {"12", ":0"}, {}},
        {"17:5=3 R 2", kDivision, 3, {"17", ":5"}, {17, 5}},
        {"84/4=21", kDivision, 0, {"84", "/4"}, {84, 4}},
        {"1234567:12=", kDivision, 0, {"1234567", ":12"}, {1234567, 12}},
        {"12345678:1=", kNoOperation, 0, {"12345678", ":1"}, {}},
        {"(3+4)=", kNoOperation, 0, {"(3", "+4)"}, {}},
        {"3,5+1=", kNoOperation, 1, {"3,5", "+1"}, {}},
        {"6*7=42 Stk", kMultiplication, 4, {"6", "*7"}, {6, 7}},
        {"1+1+1+1+1+1+1+1+1+1+1+1+1+1=", kAddition, 0, {}, {}},
        {"1+1+1+1+1+1+1+1+1+1+1+1+1+1+1=", kNoOperation, 0, {}, {}},
    };
    for (const Case& c : cases) {
        ColumnTask t = ClassifyColumnTask(c.line);
        CheckColumnRange(t);
        EXPECT_EQ(t.operation, c.operation) << c.line;
        EXPECT_EQ(t.foreignCharacters, c.beeps) << c.line;
        for (size_t i = 0; i < c.fields.size(); ++i) EXPECT_EQ(t.Field(static_cast<int>(i) + 1), c.fields[i]) << c.line;
        for (size_t i = 0; i < c.values.size(); ++i) EXPECT_EQ(t.Value(static_cast<int>(i) + 1), c.values[i]) << c.line;
    }
}

TEST(ColumnTask, MoreThanTwentyFieldsAreNotUsed) {
    Bytes line = "99";
    for (int i = 0; i < 19; ++i) line += "-1";
    ColumnTask t = ClassifyColumnTask(line + "=");  // 20 fields
    EXPECT_EQ(t.operation, kSubtraction);
    EXPECT_EQ(t.Value(20), -1);
    t = ClassifyColumnTask(line + "-1=");  // 21 fields
    EXPECT_EQ(t.operation, kNoOperation);
    EXPECT_EQ(t.fieldCount, 20);
}

TEST(ColumnTask, EveryForeignCharacterBeeps) {
    SessionFixture f;
    CountingSound sound;
    f.console.SetSoundPort(&sound);
    const ColumnTask t = ClassifyColumnTask(f.console, "17:5=3 R 2");
    EXPECT_EQ(t.operation, kDivision);
    ASSERT_EQ(sound.plays.size(), 3u);
    EXPECT_TRUE(sound.plays[0].endsWith("800.wav"));
    f.console.SetSoundPort(nullptr);
}

TEST(LoadTaskListFromChooser, LoadsTheChosenFileAndTakesBackTheSwitches) {
    SessionFixture f;
    FixedChooser chooser;
    f.console.SetListChooser(&chooser);
    Bytes text;
    for (int i = 1; i <= 5; ++i) text += std::to_string(i) + "*3=\r\n\r\n";
    f.dir.Write("Aufgaben/Schriftliches Rechnen/mal3.txt", QByteArray::fromStdString(text));
    chooser.result.accepted = true;
    chooser.result.lines = {f.session.ProgramFolder() + "Aufgaben\\Schriftliches Rechnen\\mal3.txt"};
    chooser.result.startIndex = 9;  // beyond the end: kept within the list
    chooser.result.markDigits = true;
    chooser.result.showCarry = true;

    f.session.programCode = ProgramCode::WrittenArithmetic;
    ASSERT_TRUE(LoadTaskListFromChooser(f.session));
    EXPECT_EQ(chooser.request.lastName, "Schriftliches Rechnen\\");
    EXPECT_EQ(chooser.request.folder, f.session.ProgramFolder() + "Aufgaben\\");
    EXPECT_EQ(chooser.request.editorFolder, "");
    EXPECT_EQ(chooser.request.recentFile, "bgi7\\letzte6.txt");
    EXPECT_TRUE(chooser.request.showMultiplicationHelp);
    EXPECT_EQ(f.session.tasks.Count(), 5);
    EXPECT_EQ(f.session.tasks.Line(5), "5*3=");
    EXPECT_EQ(f.session.tasks.position, 5);
    EXPECT_EQ(f.session.tasks.relativeName, "Aufgaben\\Schriftliches Rechnen\\mal3.txt");
    EXPECT_EQ(f.session.tasks.fileName, "mal3.txt");
    EXPECT_TRUE(f.session.options.highlightCurrentDigits);
    EXPECT_EQ(f.session.options.writtenHelpFlags, 2);

    // The editor's choice opens the written folder with the mental folder for the editor.
    f.session.programCode = ProgramCode::TaskEditor;
    chooser.result.startIndex = 1;
    ASSERT_TRUE(LoadTaskListFromChooser(f.session));
    EXPECT_EQ(chooser.request.editorFolder, f.session.ProgramFolder() + "Aufgaben\\Kopfrechnen\\");
    EXPECT_EQ(f.session.tasks.position, 2);

    // An empty file is no task list: the loaded one stays.
    f.dir.Write("Aufgaben/Kopfrechnen/leer.txt", "\r\n\r\n");
    f.session.programCode = ProgramCode::MentalArithmetic;
    chooser.result.lines = {f.session.ProgramFolder() + "Aufgaben/Kopfrechnen/leer.txt"};
    f.session.menuKey = 0;
    EXPECT_FALSE(LoadTaskListFromChooser(f.session));
    EXPECT_EQ(chooser.request.lastName, "Kopfrechnen\\");
    EXPECT_FALSE(chooser.request.showMultiplicationHelp);
    EXPECT_EQ(f.session.menuKey, doskey::kBackToMenu);
    EXPECT_EQ(f.session.tasks.Count(), 5);

    // Cancelled.
    chooser.result.accepted = false;
    f.session.menuKey = 0;
    EXPECT_FALSE(LoadTaskListFromChooser(f.session));
    EXPECT_EQ(f.session.menuKey, doskey::kBackToMenu);
    EXPECT_EQ(f.session.tasks.fileName, "mal3.txt");
    f.console.SetListChooser(nullptr);
}

TEST(LoadTaskListFromChooser, TaskFilesFromTodaysEditorsAndWindowsSticks) {
    SessionFixture f;
    FixedChooser chooser;
    f.console.SetListChooser(&chooser);
    chooser.result.accepted = true;
    f.session.programCode = ProgramCode::MentalArithmetic;
    const Bytes folder = f.session.ProgramFolder() + "Aufgaben\\Kopfrechnen\\";

    // saved by Notepad as UTF-8: the mark is no part of the first task
    f.dir.Write("Aufgaben/Kopfrechnen/notepad.txt", "\xEF\xBB\xBF" "12+5=17\r\n7\xC2\xB7" "8=56\r\n");
    chooser.result.lines = {folder + "notepad.txt"};
    ASSERT_TRUE(LoadTaskListFromChooser(f.session));
    EXPECT_EQ(f.session.tasks.Count(), 2);
    EXPECT_EQ(f.session.tasks.Line(1), "12+5=17");
    EXPECT_EQ(f.session.tasks.Line(2), "7\xB7" "8=56");

    // a name in Windows-1252 bytes, as a Windows stick shows it
    const QByteArray raw = f.dir.Path().toUtf8() + "/Aufgaben/Kopfrechnen/\xFC" "ben.txt";
    const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    // the scratch folder's clean-up cannot see a name that is no UTF-8
    const auto removeRaw = qScopeGuard([&] { ::unlink(raw.constData()); });
    ASSERT_EQ(::write(fd, "9-4=5\r\n", 7), 7);
    ::close(fd);
    chooser.result.lines = {folder + "\xFC" "ben.txt"};
    ASSERT_TRUE(LoadTaskListFromChooser(f.session));
    EXPECT_EQ(f.session.tasks.Line(1), "9-4=5");
    EXPECT_EQ(f.session.tasks.fileName, "\xFC" "ben.txt");
    f.console.SetListChooser(nullptr);
}
