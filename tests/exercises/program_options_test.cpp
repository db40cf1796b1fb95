#include "exercises/program_options.h"

#include <gtest/gtest.h>

#include "tests/exercises/session_fixture.h"

using namespace radevir;
using radevir::test::ScratchDir;
using radevir::test::SessionFixture;

namespace {

// The 35 lines of a file written with default values, as CR LF text.
QByteArray FileOf(const std::vector<Bytes>& lines) {
    QByteArray bytes;
    for (const Bytes& l : lines) bytes += QByteArray::fromStdString(l) + "\r\n";
    return bytes;
}

std::vector<Bytes> DefaultLines() { return OptionFileLines(ProgramOptions{}); }

ProgramOptions LoadFrom(const ScratchDir& dir, const QByteArray& bytes, ProgramOptions start = {}) {
    dir.Write("test.opt", bytes);
    ProgramEnvironment env(dir.Folder());
    LoadOptions(env, "test.opt", start);
    return start;
}

}  // namespace

TEST(ProgramOptions, MissingFileGivesTheDefaultsButKeepsTheChooserSwitches) {
    ScratchDir dir;
    ProgramEnvironment env(dir.Folder());
    ProgramOptions o;
    o.taskOrder = 1;
    o.frame = 0;
    o.dictationInput = 1;
    o.writtenHelpFlags = 3;
    o.highlightCurrentDigits = true;
    EXPECT_FALSE(LoadOptions(env, "aktuell.opt", o));
    ProgramOptions expected;
    expected.dictationInput = 1;
    expected.writtenHelpFlags = 3;
    expected.highlightCurrentDigits = true;
    EXPECT_EQ(OptionFileLines(o), OptionFileLines(expected));
    // the defaults read as the menu names them
    EXPECT_EQ(DefaultLines(),
              (std::vector<Bytes>{"0", "5000", "1", "2", "1", "1", "1", "1", "0", "1", "2", "4", "0",
                                  "AAR", "3", "0", "100", "280", "110", "0", "2", "1", "0", "0", "1",
                                  "0", "0", "10", "2", "1", "7", "1", "0", "0", "0"}));
}

TEST(ProgramOptions, ChecksAfterLoading) {
    struct Case {
        int line;          // 1-based file line
        const char* text;  // what the file holds there
        int ProgramOptions::*field;
        int expected;
    };
    const Case cases[] = {
        {1, "5", &ProgramOptions::taskOrder, 0},      {1, "1", &ProgramOptions::taskOrder, 1},
        {2, "4500", &ProgramOptions::memoriseTime, 4500},
        {3, "4", &ProgramOptions::soundLevel, 0},     {3, "-1", &ProgramOptions::soundLevel, 0},
        {4, "3", &ProgramOptions::inputControl, 2},   {5, "7", &ProgramOptions::reserved1, 1},
        {6, "0", &ProgramOptions::highlightOperators, 1},
        {7, "3", &ProgramOptions::backgroundColour, 3},
        {7, "16", &ProgramOptions::backgroundColour, 0},
        {8, "2", &ProgramOptions::animation, 0},      {9, "4", &ProgramOptions::dictationMode, 0},
        {10, "0", &ProgramOptions::colourDifference, 0},
        {11, "9", &ProgramOptions::frame, 9},         {13, "4", &ProgramOptions::repeat, 4},
        {13, "5", &ProgramOptions::repeat, 0},        {15, "4", &ProgramOptions::help, 4},
        {17, "900", &ProgramOptions::tachistoscopeTime, 800},
        {18, "3010", &ProgramOptions::buildUpTime, 3000},
        {19, "5000", &ProgramOptions::holdTime, 3000},
        {20, "2", &ProgramOptions::reserved3, 0},     {21, "4", &ProgramOptions::grabJokers, 0},
        {22, "9", &ProgramOptions::grabTarget, 4},    {22, "5", &ProgramOptions::grabTarget, 5},
        {23, "2", &ProgramOptions::grabInsertOrder, 0},
        {24, "3", &ProgramOptions::reserved4, 0},     {25, "2", &ProgramOptions::grabCountAlong, 0},
        {26, "3", &ProgramOptions::protocol, 0},      {27, "2", &ProgramOptions::timeLimited, 0},
        {28, "0", &ProgramOptions::timeLimitMinutes, 10},
        {28, "21", &ProgramOptions::timeLimitMinutes, 10},
        {28, "20", &ProgramOptions::timeLimitMinutes, 20},
        {29, "4", &ProgramOptions::figure, 2},        {30, "2", &ProgramOptions::autoComma, 0},
        {31, "12", &ProgramOptions::hundredBoard, 12},
        {32, "2", &ProgramOptions::divisionMethod, 1},
        {33, "1", &ProgramOptions::dictationInput, 1},
        {34, "3", &ProgramOptions::writtenHelpFlags, 3},
    };
    ScratchDir dir;
    for (const Case& c : cases) {
        std::vector<Bytes> lines = DefaultLines();
        lines[static_cast<size_t>(c.line - 1)] = c.text;
        const ProgramOptions o = LoadFrom(dir, FileOf(lines));
        EXPECT_EQ(o.*c.field, c.expected) << "line " << c.line << " = " << c.text;
    }
    std::vector<Bytes> lines = DefaultLines();
    lines[13] = "XYZ";
    EXPECT_EQ(LoadFrom(dir, FileOf(lines)).reservedCode, "AAR");
    lines[13] = "ABRACADABRA";
    EXPECT_EQ(LoadFrom(dir, FileOf(lines)).reservedCode, "ABRACADABRA");
    lines[34] = "-2";
    EXPECT_TRUE(LoadFrom(dir, FileOf(lines)).highlightCurrentDigits);
}

TEST(ProgramOptions, DamagedFilesAreReadUpToTheirFirstBadLine) {
    ScratchDir dir;
    ProgramOptions start;
    start.frame = 0;
    start.repeat = 2;
    start.help = 1;

    // A file of five lines: the switches of lines 8 and 10 go off, the rest keep their values.
    ProgramOptions o = LoadFrom(dir, "1\r\n1500\r\n2\r\n0\r\n1\r\n", start);
    EXPECT_EQ(o.taskOrder, 1);
    EXPECT_EQ(o.memoriseTime, 1500);
    EXPECT_EQ(o.soundLevel, 2);
    EXPECT_EQ(o.inputControl, 0);
    EXPECT_EQ(o.animation, 0);
    EXPECT_EQ(o.colourDifference, 0);
    EXPECT_EQ(o.frame, 0);
    EXPECT_EQ(o.help, 1);

    // A bad line stops the reading there; lines 34 and 35 are still taken.
    std::vector<Bytes> lines = DefaultLines();
    lines[10] = "0";      // frame
    lines[11] = "zwei";   // fixation point: not a number
    lines[12] = "1";      // repeat: never read
    lines[33] = "2";
    lines[34] = "1";
    o = LoadFrom(dir, FileOf(lines), start);
    EXPECT_EQ(o.frame, 0);
    EXPECT_EQ(o.fixationPoint, 4);
    EXPECT_EQ(o.repeat, 2);
    EXPECT_EQ(o.writtenHelpFlags, 2);
    EXPECT_TRUE(o.highlightCurrentDigits);
    EXPECT_EQ(o.animation, 1);  // lines 8 and 10 came before the bad line

    // A bad line 34 does not stop line 35.
    lines = DefaultLines();
    lines[33] = "x";
    lines[34] = "1";
    o = LoadFrom(dir, FileOf(lines), start);
    EXPECT_EQ(o.writtenHelpFlags, 0);
    EXPECT_TRUE(o.highlightCurrentDigits);
}

TEST(ProgramOptions, AFileThatCannotBeReadKeepsTheValuesButSwitchesOff) {
    ScratchDir dir;
    QDir(dir.Path()).mkdir("aktuell.opt");  // exists, but is no readable file
    ProgramEnvironment env(dir.Folder());
    ProgramOptions o;
    o.frame = 0;
    o.grabTarget = 9;
    EXPECT_FALSE(LoadOptions(env, "aktuell.opt", o));
    EXPECT_EQ(o.frame, 0);
    EXPECT_EQ(o.grabTarget, 4);  // the checks still run
    EXPECT_EQ(o.taskOrder, 0);
    EXPECT_EQ(o.animation, 0);
    EXPECT_EQ(o.colourDifference, 0);
}

TEST(ProgramOptions, SaveAndLoadRoundTrip) {
    ScratchDir dir;
    ProgramEnvironment env(dir.Folder());
    ProgramOptions o;
    o.taskOrder = 1;
    o.memoriseTime = 4500;
    o.backgroundColour = 15;
    o.animation = 0;
    o.reservedCode = "XYR";
    o.timeLimited = 1;
    o.timeLimitMinutes = 3;
    o.dictationInput = 1;
    o.writtenHelpFlags = 3;
    o.highlightCurrentDigits = true;
    ASSERT_TRUE(SaveOptions(env, "MEIN.RTT", o));
    const QByteArray bytes = dir.Read("MEIN.RTT");
    EXPECT_TRUE(bytes.startsWith("1\r\n4500\r\n1\r\n2\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), 35);
    ProgramOptions back;
    back.dictationInput = 0;
    ASSERT_TRUE(LoadOptions(env, "mein.rtt", back));  // letter case does not matter
    EXPECT_EQ(OptionFileLines(back), OptionFileLines(o));
}

TEST(ProgramOptions, AFailedSaveLeavesTheOldFileAndShowsTheMessage) {
    SessionFixture f;
    // A name so long that no temporary file can be made beside it: the write must fail.
    const Bytes name = Bytes(250, 'A') + ".RTT";
    const QByteArray old = "old contents\r\n";
    f.dir.Write(QString::fromStdString(name), old);
    f.session.optionsDirty = true;
    EXPECT_FALSE(SaveSessionOptions(f.session, f.session.ProgramFolder() + name));
    EXPECT_EQ(f.dir.Read(QString::fromStdString(name)), old);
    EXPECT_TRUE(f.session.optionsDirty);
    EXPECT_EQ(f.Row(1).substr(0, 48), "Die >Optionen< konnten nicht gespeichert werden!");

    EXPECT_TRUE(SaveSessionOptions(f.session, f.session.ProgramFolder() + "aktuell.opt"));
    EXPECT_FALSE(f.session.optionsDirty);
    f.session.optionsDirty = true;
    LoadSessionOptions(f.session, f.session.ProgramFolder() + "aktuell.opt");
    EXPECT_FALSE(f.session.optionsDirty);
}
