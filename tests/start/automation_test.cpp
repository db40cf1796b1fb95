#include "start/automation.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>

#include "tests/program_process.h"
#include "tests/test_support.h"

using namespace radevir;

TEST(Script, CommandsParseAndErrorsNameTheLine) {
    std::vector<ScriptCommand> commands;
    QString error;
    ASSERT_TRUE(
        ParseScript("# start\nkey Esc\nkey a x3\nkey x\ntype 12 ä\n\nclick 10 20\n"
                    "mouse down 1 2\nwait 500\nresize 800 600\ndump out.txt\nquit\n",
                    commands, error))
        << error.toStdString();
    ASSERT_EQ(commands.size(), 1u + 3 + 1 + 4 + 1 + 1 + 1 + 1 + 1 + 1);
    EXPECT_EQ(commands[0].qtKey, Qt::Key_Escape);
    EXPECT_EQ(commands[1].text, "a");
    EXPECT_EQ(commands[4].text, "x");  // "key x" is the letter, not a repeat
    EXPECT_EQ(commands[7].qtKey, Qt::Key_Space);
    EXPECT_EQ(commands[8].text, QString::fromUtf8("ä"));
    EXPECT_EQ(commands[8].qtKey, Qt::Key_Adiaeresis);
    EXPECT_EQ(commands.back().kind, ScriptCommand::Kind::Quit);

    const struct {
        const char* script;
        const char* message;
    } bad[] = {{"key Esc\nkey Blah\n", "script line 2: unknown key name: Blah"},
               {"\n\nhop 1\n", "script line 3: unknown command: hop"},
               {"click 1\n", "script line 1: click needs two numbers"},
               {"wait -5\n", "script line 1: wait needs milliseconds"},
               {"dump\n", "script line 1: dump needs a file name"},
               // a huge repeat count would queue that many key presses
               {"key F x486048605\n", "script line 1: repeat count must be from 1 to 10000"},
               {"key a x0\n", "script line 1: repeat count must be from 1 to 10000"}};
    for (const auto& row : bad) {
        commands.clear();
        EXPECT_FALSE(ParseScript(row.script, commands, error));
        EXPECT_EQ(error.toStdString(), row.message);
    }
}

TEST(Script, KeysTakeModifiersAsAKeyboardSendsThem) {
    const struct {
        const char* name;
        int qtKey;
        Qt::KeyboardModifiers modifiers;
        const char* text;
    } rows[] = {
        {"Ctrl+S", Qt::Key_S, Qt::ControlModifier, "\x13"},
        {"Ctrl+z", Qt::Key_Z, Qt::ControlModifier, "\x1a"},
        {"Alt+F4", Qt::Key_F4, Qt::AltModifier, ""},
        {"Shift+Tab", Qt::Key_Backtab, Qt::ShiftModifier, ""},
        {"Shift+a", Qt::Key_A, Qt::ShiftModifier, "A"},
        {"Alt+x", Qt::Key_X, Qt::AltModifier, "x"},
        {"Ctrl+Shift+Z", Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "\x1a"},
        {"Ctrl++", Qt::Key_Plus, Qt::ControlModifier, "+"},
        {"+", Qt::Key_Plus, Qt::NoModifier, "+"},  // the plus key itself
        {"Ctrl+Enter", Qt::Key_Return, Qt::ControlModifier, "\r"},
    };
    for (const auto& row : rows) {
        std::vector<ScriptCommand> commands;
        QString error;
        ASSERT_TRUE(ParseScript(QStringLiteral("key %1 x2\n").arg(row.name), commands, error))
            << row.name << ": " << error.toStdString();
        ASSERT_EQ(commands.size(), 2u) << row.name;
        EXPECT_EQ(commands[0].qtKey, row.qtKey) << row.name;
        EXPECT_EQ(commands[0].modifiers, row.modifiers) << row.name;
        EXPECT_EQ(commands[0].text, QString::fromLatin1(row.text)) << row.name;
    }
    for (const char* bad :
         {"key Ctrl+\n", "key Ctrl+Blah\n", "key Hyper+S\n", "key Ctrl+Ctrl+\n"}) {
        std::vector<ScriptCommand> commands;
        QString error;
        EXPECT_FALSE(ParseScript(bad, commands, error)) << bad;
        EXPECT_TRUE(error.startsWith("script line 1: unknown key name")) << error.toStdString();
    }
}

namespace {

// Where the task editor's menus lie (640x480 units) when it opens over an 800x600 window.
const QString kEditorFileMenu = "86 56";
const QString kEditorHelpMenu = "227 56";
const QString kEditorWorksheetButton = "484 298";  // "Aufgabenblatt erstellen"

test::ProgramResult RunScript(const test::ScratchDir& dir, const QString& script,
                              QStringList extra = {}, int timeout_ms = 120000) {
    dir.Write("script.txt", script.toUtf8());
    QStringList args = {"--script",   dir.Path() + "/script.txt",
                        "--settings", dir.Path() + "/settings.ini",
                        "--size",     "800x600",
                        "--audio",    "null"};
    args += extra;
    return test::RunProgram(args, test::Display::Offscreen, timeout_ms);
}

}  // namespace

TEST(ScriptedRun, LeavingEndsTheProgramAndTheDumpShowsItsLastScreen) {
    test::ScratchDir dir;
    const test::ProgramResult run =
        RunScript(dir, "key Esc\nkey j\ndump " + dir.Path() + "/screen.txt\n");
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    const QByteArray dump = dir.Read("screen.txt");
    const QList<QByteArray> lines = dump.split('\n');
    ASSERT_GE(lines.size(), 26);
    EXPECT_EQ(lines[0].size(), 80);
    EXPECT_EQ(lines[25], "--");
}

TEST(ScriptedRun, ExitCodesForARunOutScriptAndAScriptError) {
    test::ScratchDir dir;
    const test::ProgramResult out =
        RunScript(dir, "wait 1000\nscreenshot " + dir.Path() + "/shot.png\n");
    EXPECT_EQ(out.exitCode, 3) << out.errors.toStdString();
    QImage shot(dir.Path() + "/shot.png");
    EXPECT_EQ(shot.size(), QSize(800, 600));

    const test::ProgramResult bad = RunScript(dir, "key Esc\nkey Nope\n");
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.errors.contains("script line 2")) << bad.errors.toStdString();

    const test::ProgramResult args = RunScript(dir, "quit\n", {"--size", "12"});
    EXPECT_EQ(args.exitCode, 2);
}

TEST(ScriptedRun, ResizeRestartsTheProgramInTheNewSize) {
    test::ScratchDir dir;
    const test::ProgramResult run = RunScript(
        dir, "resize 1000 700\nwait 100\nscreenshot " + dir.Path() + "/big.png\nkey Esc\nkey j\n");
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(QImage(dir.Path() + "/big.png").size(), QSize(1000, 700));
}

TEST(CommandLine, SpeakPlaysTheSoundTableThroughTheChosenOutput) {
    test::ScratchDir dir;
    auto speak = [&](const QString& text, const QString& audio) {
        return test::RunProgram({"--audio", audio, "--speak", text}).exitCode;
    };
    const QString raw = dir.Path() + "/out.raw";
    EXPECT_EQ(speak("12 + 35 =", "disk:" + raw), 0);
    // four pieces of speech: well over a second of 16-bit samples at 22050 Hz
    EXPECT_GT(QFileInfo(raw).size(), 2 * 22050);
    EXPECT_EQ(speak("Haus xyz", "null"), 1);
    EXPECT_EQ(speak("1", "loud"), 2);  // no such output
}

// A program folder of its own for runs that reach the editor: the kit linked in, a task folder
// of our own that the editor may write to, and "Liste.txt" as the list Kopfrechnen chose last.
QString EditorFolder(const test::ScratchDir& dir) {
    test::LinkKitInto(dir.Path());
    QFile::remove(dir.Path() + "/Aufgaben");
    dir.Write("Aufgaben/Kopfrechnen/Liste.txt", "1+1=2\r\n");
    dir.Write("bgi7/letzte2.txt", "Kopfrechnen\\Liste.txt=1\r\n");
    return dir.Path();
}
const QString kListFile = "Aufgaben/Kopfrechnen/Liste.txt";
// The menu's way into the editor: Kopfrechnen's list chooser, its "Editor" button.
const QString kOpenEditorFromChooser = "key k\nwait 200\nkey Tab x3\nkey Space\nwait 300\n";

// The editor's shortcuts are pressed as a person presses them, and a child's stray Alt+F4 in the
// menu asks whether to leave, as Escape does.
TEST(ScriptedRun, ShortcutsAndAStrayAltF4ArePressedWithTheirModifiers) {
    test::ScratchDir dir;
    const QString file = EditorFolder(dir) + "/" + kListFile;
    const test::ProgramResult run = RunScript(dir,
                                              "key End\nkey Enter\ntype 3+4=7\nkey Ctrl+S\nkey "
                                              "Esc\nwait 500\nkey Alt+F4\nwait 500\ndump " +
                                                  dir.Path() + "/leave.txt\nkey j\n",
                                              {"--data", dir.Path(), "--edit", file});
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(dir.Read(kListFile), "1+1=2\r\n3+4=7\r\n");
    EXPECT_TRUE(dir.Read("leave.txt").contains("Programm wirklich beenden ?"))
        << dir.Read("leave.txt").toStdString();
}

// Keys reach a menu opened with the mouse: "Speichern" is the third entry of "Datei".
TEST(ScriptedRun, KeysReachAMenuOpenedWithTheMouse) {
    test::ScratchDir dir;
    EditorFolder(dir);
    const test::ProgramResult run =
        RunScript(dir,
                  kOpenEditorFromChooser + "key End\nkey Enter\ntype 2+2=4\nclick " +
                      kEditorFileMenu + "\nkey Down x3\nkey Enter\nwait 100\nquit\n",
                  {"--data", dir.Path()}, 60000);
    EXPECT_EQ(run.exitCode, 3) << run.errors.toStdString();
    EXPECT_EQ(dir.Read(kListFile), "1+1=2\r\n2+2=4\r\n");
}

// Whatever is open when the script quits or runs out (a question, a menu, a window the program
// waits on), the run ends with exit code 3 and leaves the files as they were.
TEST(ScriptedRun, AScriptEndsTheRunWhateverIsOpen) {
    const struct {
        const char* what;
        const char* script;
    } rows[] = {
        {"quit at the save question", "type 5+5=10\nkey Esc\nwait 100\nquit\n"},
        {"running out at the save question", "type 5+5=10\nkey Esc\nwait 100\n"},
        {"quit in an open menu", "click %HELP%\nkey Down\nquit\n"},
        {"running out in an open menu", "click %HELP%\nkey Down\n"},
        // the worksheet runs in a process of its own; the editor waits for it
        {"quit while the worksheet is shown", "click %SHEET%\nwait 3000\nquit\n"},
    };
    for (const auto& row : rows) {
        test::ScratchDir dir;
        EditorFolder(dir);
        QString script = kOpenEditorFromChooser + QString::fromLatin1(row.script);
        script.replace("%HELP%", kEditorHelpMenu).replace("%SHEET%", kEditorWorksheetButton);
        // a run that hangs is stopped well before the test's own time runs out
        const test::ProgramResult run = RunScript(dir, script, {"--data", dir.Path()}, 60000);
        EXPECT_EQ(run.exitCode, 3) << row.what << ": " << run.errors.toStdString();
        EXPECT_EQ(dir.Read(kListFile), "1+1=2\r\n") << row.what;
    }
}

// A script that runs out while a task waits for its answer (the gap blinks, the program looks
// for a key between the blinks) ends the run too.
TEST(ScriptedRun, AScriptThatRunsOutDuringATaskEndsTheRun) {
    test::ScratchDir dir;
    EditorFolder(dir);
    const test::ProgramResult run =
        RunScript(dir, "key k\nkey Enter\nwait 2000\n", {"--data", dir.Path()}, 60000);
    EXPECT_EQ(run.exitCode, 3) << run.errors.toStdString();
}

// A key typed while the program pauses before a dialog (the tachistoscope box closes half a
// second after Enter, then the list chooser opens) stays queued for the program: the dialog
// still gets the script's next input, and the program reads the key when it is back.
TEST(ScriptedRun, AKeyTypedDuringThePauseBeforeADialogDoesNotStallTheScript) {
    test::ScratchDir dir;
    EditorFolder(dir);
    const test::ProgramResult run = RunScript(
        dir,
        "key t\nkey Enter\nkey 8\nwait 1000\nscreenshot " + dir.Path() +
            "/chooser.png\nkey Esc\nwait 500\ndump " + dir.Path() + "/menu.txt\nkey Esc\nkey j\n",
        {"--data", dir.Path()}, 60000);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(dir.Read("menu.txt").contains("Programm-Auswahl"))
        << dir.Read("menu.txt").toStdString();
}
