// The grab game in the real program, driven by a script: the child opens "Greifspiel", keeps
// its options, takes the task list, drags the missing 7 from the digit palette into the row,
// clicks on to the next task and leaves the game with Escape, back to the menu.
#include <gtest/gtest.h>
#include <QFile>

#include "tests/program_process.h"
#include "tests/test_support.h"

using namespace radevir;

namespace {

// The 35 option lines: "greifen" Ergebnis, two jokers, counting along, no sound.
QByteArray GrabOptions() {
    const QList<QByteArray> lines = {"0",   "1500", "3", "2", "1",   "1", "1", "0",   "0",
                                     "1",   "2",    "4", "0", "AAR", "3", "0", "100", "280",
                                     "110", "0",    "2", "1", "0",   "0", "1", "0",   "0",
                                     "10",  "2",    "1", "7", "1",   "0", "0", "0"};
    return lines.join("\r\n") + "\r\n";
}

}  // namespace

TEST(GrabScenario, SolvingOneTaskByMouseThenEscapeBackToTheMenu) {
    test::ScratchDir dir;
    test::LinkKitInto(dir.Path());
    QFile::remove(dir.Path() + "/Aufgaben");
    dir.Write("aktuell.opt", GrabOptions());
    dir.Write("Aufgaben/Kopfrechnen/Greifen.txt", "3+4=7\r\n12+5=17\r\n");
    dir.Write("bgi7/letzte9.txt", "Kopfrechnen\\Greifen.txt=1\r\n");
    const QString p = dir.Path();
    // the palette's 7 lies at x 397, its top at y 432; the result's place starts at x 379, y 50
    const QString script =
        "key g\nwait 300\ndump " + p +
        "/options.txt\nkey Enter\nwait 800\nkey Enter\nwait 1000\n"
        "mouse move 400 440\nwait 100\nmouse down 400 440\nwait 100\nmouse move 390 200\nwait 100\n"
        "mouse move 382 58\nwait 100\nmouse up 382 58\nwait 6000\nclick 300 300\nwait 500\n"
        "dump " +
        p + "/next.txt\nkey Esc\nwait 800\ndump " + p + "/menu.txt\nkey Esc\nkey j\n";
    dir.Write("script.txt", script.toUtf8());
    const test::ProgramResult run = test::RunProgram(
        {"--data", p, "--script", p + "/script.txt", "--settings", p + "/settings.ini", "--size",
         "1280x1024", "--audio", "null", "--seed", "3"});
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(dir.Read("options.txt").contains("Spiel starten mit RETURN/ENTER"));
    // the second task's tiles were made: the first was solved and the click went on
    const QList<QByteArray> texts = dir.Read("next.txt").split('\n');
    int pluses = 0;
    for (const QByteArray& line : texts) pluses += line.endsWith(" +") ? 1 : 0;
    EXPECT_EQ(pluses, 2) << dir.Read("next.txt").toStdString();
    EXPECT_TRUE(dir.Read("menu.txt").contains("Programm-Auswahl"));
}
