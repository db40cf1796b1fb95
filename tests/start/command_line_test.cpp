// The command line, and the program started as a process without a display: the modes that need
// no window work, a script draws off screen, a window without a display is refused clearly.
#include "start/command_line.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "tests/program_process.h"
#include "tests/test_support.h"

using namespace radevir;
using test::Display;

TEST(CommandLine, SizeIsBoundedOnBothSides) {
    const struct {
        const char* value;
        QSize size;  // empty: refused
    } table[] = {
        {"800x600", {800, 600}},
        {"80X50", {80, 50}},
        {"16384x16384", {16384, 16384}},
        {"0x0", {}},
        {"800x0", {}},
        {"79x600", {}},
        {"16385x600", {}},
        {"800x99999", {}},
        {"99999x99999", {}},
        {"800", {}},
        {"-800x600", {}},
    };
    for (const auto& row : table) {
        const CommandLine cl = ParseCommandLine({"--size", row.value});
        EXPECT_EQ(cl.size, row.size) << row.value;
        if (row.size.isEmpty()) {
            EXPECT_EQ(cl.error, "--size needs WIDTHxHEIGHT, from 80x50 to 16384x16384")
                << row.value;
        } else {
            EXPECT_TRUE(cl.error.isEmpty()) << row.value;
        }
    }
}

TEST(CommandLine, StartModeFollowsTheOptionsAndTheDisplay) {
    const DisplayEnvironment none{false, false}, x11{true, false}, offscreen{false, true};
    const struct {
        QStringList args;
        DisplayEnvironment display;
        StartMode mode;
    } table[] = {
        {{"--help"}, none, StartMode::ShowUsage},
        {{"--help", "--bogus"}, none, StartMode::ShowUsage},
        {{"--bogus"}, none, StartMode::BadCommandLine},
        {{"--speak", "12"}, none, StartMode::Speak},
        {{"--speak", "12"}, x11, StartMode::Speak},
        {{"--print-picture", "bild.bmp", "--copies", "3"}, none, StartMode::PrintPicture},
        {{"--print-picture"}, none, StartMode::BadCommandLine},
        {{"--worksheet", "a.txt", "--print-to", "out"}, none, StartMode::Worksheet},
        {{"--worksheet", "a.txt", "--self-check", "--print-to", "out"}, x11, StartMode::Worksheet},
        {{"--worksheet", "a.txt"}, none, StartMode::BadCommandLine},  // the sheets need a folder
        {{"--worksheet", "a.txt", "b.txt", "--as-is", "--print-to", "out"},
         none,
         StartMode::Worksheet},
        {{"--worksheet", "--print-to", "out"}, none, StartMode::BadCommandLine},
        {{"--as-is"}, x11, StartMode::BadCommandLine},
        {{"--self-check"}, x11, StartMode::BadCommandLine},
        {{"--script", "s.txt"}, none, StartMode::OffscreenWindow},
        {{"--script", "s.txt"}, x11, StartMode::Window},
        {{"--script", "s.txt"}, offscreen, StartMode::Window},
        {{}, none, StartMode::NoDisplay},
        {{}, x11, StartMode::Window},
        {{}, offscreen, StartMode::Window},
    };
    for (const auto& row : table)
        EXPECT_EQ(ChooseStartMode(ParseCommandLine(row.args), row.display), row.mode)
            << row.args.join(' ').toStdString();
}

TEST(CommandLine, WorksheetTakesEveryTaskFileUpToTheNextOption) {
    const CommandLine week =
        ParseCommandLine({"--worksheet", "Mo.txt", "Di.txt", "./--Mi.txt", "--as-is", "--print-to",
                          "out", "--worksheet", "Do.txt"});
    EXPECT_TRUE(week.error.isEmpty()) << week.error.toStdString();
    EXPECT_EQ(week.worksheet, QStringList({"Mo.txt", "Di.txt", "./--Mi.txt", "Do.txt"}));
    EXPECT_TRUE(week.asIs);
    EXPECT_EQ(week.printTo, "out");
    EXPECT_EQ(ParseCommandLine({"--worksheet"}).error, "--worksheet needs a task file");
}

TEST(CommandLineProcess, WithoutADisplayOnlyTheWindowIsRefused) {
    test::ScratchDir dir;
    dir.Write("script.txt", "key Esc\nkey j\n");
    const QString raw = dir.Path() + "/speech.raw";
    const QStringList quiet = {"--settings", dir.Path() + "/settings.ini", "--audio", "null"};
    const struct {
        QStringList args;
        int exitCode;
        const char* said;  // on stdout for 0, else on stderr
    } table[] = {
        {{"--help"}, 0, "usage: radevir"},
        {{"--bogus"}, 2, "radevir: unknown argument: --bogus"},
        {{"--size", "99999x99999"}, 2, "--size needs WIDTHxHEIGHT"},
        {{"--audio", "disk:" + raw, "--speak", "12 + 35 ="}, 0, ""},
        {QStringList{"--script", dir.Path() + "/script.txt", "--size", "640x480"} + quiet, 0, ""},
        {quiet, 2, "radevir: no display to show the window on"},
    };
    for (const auto& row : table) {
        const test::ProgramResult run = test::RunProgram(row.args, Display::None);
        const std::string args = row.args.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, row.exitCode) << args << "\n" << run.errors.toStdString();
        EXPECT_TRUE((row.exitCode == 0 ? run.output : run.errors).contains(row.said))
            << args << "\n"
            << run.errors.toStdString();
    }
    // the spoken text was written: four pieces, well over a second at 22050 Hz, 16 bits
    EXPECT_GT(QFileInfo(raw).size(), 2 * 22050);
    // the refusal is one line, not a crash report
    const test::ProgramResult refused = test::RunProgram(quiet, Display::None);
    EXPECT_EQ(refused.errors.count('\n'), 1) << refused.errors.toStdString();
}

TEST(CommandLineProcess, DataFolderWithoutTheKitMarkerIsRefusedAndLeftAlone) {
    test::ScratchDir dir;
    dir.Write("notes/readme.txt", "not a kit");
    const QString folder = dir.Path() + "/notes";
    dir.Write("script.txt", "key Esc\nkey j\n");
    const QStringList runs[] = {
        {"--data", folder, "--script", dir.Path() + "/script.txt", "--settings",
         dir.Path() + "/settings.ini", "--audio", "null", "--size", "640x480"},
        {"--data", folder, "--audio", "null", "--speak", "12"},
        {"--data", dir.Path() + "/no such folder", "--audio", "null", "--speak", "12"},
    };
    for (const QStringList& args : runs) {
        const test::ProgramResult run = test::RunProgram(args);
        EXPECT_EQ(run.exitCode, 2) << run.errors.toStdString();
        EXPECT_TRUE(run.errors.contains("not a data folder of this program"))
            << run.errors.toStdString();
        EXPECT_EQ(run.errors.count('\n'), 1) << run.errors.toStdString();
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"readme.txt"});
    EXPECT_FALSE(QFileInfo::exists(dir.Path() + "/no such folder"));
}

TEST(CommandLineProcess, DataFolderNamedOutsideTheCodePageIsFoundWhole) {
    test::ScratchDir dir;
    const QString folder = test::LinkKitInto(dir.Path() + QString::fromUtf8("/ŞÜkit"));
    const QString raw = dir.Path() + "/speech.raw";
    const test::ProgramResult spoken =
        test::RunProgram({"--data", folder, "--audio", "disk:" + raw, "--speak", "12 + 35 ="});
    EXPECT_EQ(spoken.exitCode, 0) << spoken.errors.toStdString();
    EXPECT_GT(QFileInfo(raw).size(), 2 * 22050);

    dir.Write("script.txt", ("dump " + dir.Path() + "/menu.txt\nkey Esc\nkey j\n").toUtf8());
    const test::ProgramResult menu =
        test::RunProgram({"--data", folder, "--script", dir.Path() + "/script.txt", "--settings",
                          dir.Path() + "/settings.ini", "--audio", "null", "--size", "800x600"});
    EXPECT_EQ(menu.exitCode, 0) << menu.errors.toStdString();
    // the menu's frames are drawn from the glyph pictures, not as the letters of their codes
    const QString dump = QString::fromUtf8(dir.Read("menu.txt"));
    EXPECT_TRUE(dump.contains(QString::fromUtf8("─"))) << dump.toStdString();
    EXPECT_FALSE(dump.contains(QString::fromUtf8("ÄÄÄ"))) << dump.toStdString();
    // nothing was written beside it under a squeezed name
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{QString::fromUtf8("ŞÜkit")});
}
