// The learning card box in whole runs of the real program, driven by scripts: the save dialog is
// answered by typing a name and Enter, as a teacher does.
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "tests/program_process.h"
#include "tests/test_support.h"

using namespace radevir;

namespace {

// The option lines of a quiet run (short Merkzeit, no motivation screens, no teacher protocol
// file at the end), so a script answers only the questions it is about.
QByteArray QuietOptions() {
    const QList<QByteArray> lines = {"0", "1500", "1", "2", "1", "1", "1", "0", "0", "1", "2", "4",
                                     "0", "AAR", "3", "0", "100", "280", "110", "0", "2", "1",
                                     "0", "0", "1", "0", "0", "10", "2", "1", "7", "1", "0", "0", "0"};
    return lines.join("\r\n") + "\r\n";
}

class CardBoxFolder {
public:
    CardBoxFolder() {
        test::LinkKitInto(dir_.Path());
        QFile::remove(dir_.Path() + "/Aufgaben");  // our own task folders, not the kit's
        dir_.Write("aktuell.opt", QuietOptions());
    }
    QString Path() const { return dir_.Path(); }
    // A task list the program `number` chose last time, so that Enter in the chooser takes it.
    void TaskList(int number, const QString& name, const QByteArray& lines) {
        dir_.Write("Aufgaben/Kopfrechnen/" + name, lines);
        dir_.Write("bgi7/letzte" + QString::number(number) + ".txt", "Kopfrechnen\\" + name.toLatin1() + "=1\r\n");
    }
    int Run(const QString& script) {
        dir_.Write("script.txt", script.toUtf8());
        const test::ProgramResult run = test::RunProgram(
            {"--data", Path(), "--script", Path() + "/script.txt", "--settings", Path() + "/settings.ini",
             "--size", "800x600", "--audio", "null"});
        errors = QString::fromUtf8(run.errors);
        return run.exitCode;
    }
    QByteArray Read(const QString& file) const { return dir_.Read(file); }
    QString errors;

private:
    test::ScratchDir dir_;
};

}  // namespace

// A task wrong in the run and wrong again in the repetition pass is counted wrong once, so it is
// kept once; the card box is a new file named in the dialog, with the default extension.
TEST(CardBoxScenario, ATaskWrongTwiceIsKeptOnce) {
    CardBoxFolder f;
    f.TaskList(2, "Zwei.txt", "3+3=_6\r\n4+4=_8\r\n");
    const QString p = f.Path();
    ASSERT_EQ(f.Run("key k\nkey Enter\n"
                    "type 6\nwait 5000\ntype 9\ntype 8\nwait 5000\n"
                    "dump " + p + "/question.txt\nkey j\nwait 5000\ntype 9\ntype 8\nwait 5000\nkey Space\nwait 500\n"
                    "type Karte\nkey Enter\ndump " + p + "/saved.txt\nwait 5000\n"
                    "dump " + p + "/menu.txt\nkey Esc\nkey j\n"),
              0)
        << f.errors.toStdString();
    EXPECT_TRUE(f.Read("question.txt").contains(" Wiederholung? ")) << f.Read("question.txt").toStdString();
    EXPECT_EQ(f.Read("Aufgaben/Kopfrechnen/Lernkartei/Karte.txt"), "4+4=_8\r\n");
    EXPECT_TRUE(f.Read("saved.txt").contains("in der Lernkartei Karte.txt gespeichert!"))
        << f.Read("saved.txt").toStdString();
    EXPECT_TRUE(f.Read("menu.txt").contains("Programm-Auswahl"));
}

// The reading test keeps only the tasks marked "-", in task order, without the gaps left by the
// ones marked "+"; a second run adds them after the old lines.
TEST(CardBoxScenario, TheReadingTestKeepsItsMinusTasksInOrder) {
    CardBoxFolder f;
    f.TaskList(3, "Lesen.txt", "12+5=17\r\n3+4=7\r\n8-2=6\r\n");
    QDir().mkpath(f.Path() + "/Aufgaben/Kopfrechnen/Lernkartei");
    QFile old(f.Path() + "/Aufgaben/Kopfrechnen/Lernkartei/Lesen-Karte.txt");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("1+1=2\r\n");
    old.close();
    const QString p = f.Path();
    // the dump lets the first task finish building up before the second wait starts
    ASSERT_EQ(f.Run("key l\nkey Enter\nkey Enter\nwait 5000\ndump " + p + "/first.txt\nwait 5000\n"
                    "type -\nwait 5000\ntype +\nwait 5000\ntype -\nwait 5000\n"
                    "type Lesen-Karte\nkey Enter\ndump " + p + "/saved.txt\nwait 5000\nkey Esc\nkey j\n"),
              0)
        << f.errors.toStdString();
    EXPECT_EQ(f.Read("Aufgaben/Kopfrechnen/Lernkartei/Lesen-Karte.txt"), "1+1=2\r\n12+5=17\r\n8-2=6\r\n");
    EXPECT_TRUE(f.Read("saved.txt").contains("der Lernkartei Lesen-Karte.txt hinzugef"))
        << f.Read("saved.txt").toStdString();
}
