// The program menu and the options driven through the real program by scripts: what the screen
// shows and what the option files hold afterwards.
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "tests/program_process.h"
#include "tests/test_support.h"

using namespace radevir;

namespace {

// A program folder of its own: the kit's folders linked in, the option files fresh.
class ProgramFolder {
public:
    ProgramFolder() { test::LinkKitInto(dir_.Path()); }
    QString Path() const { return dir_.Path(); }
    const test::ScratchDir& Dir() const { return dir_; }

    // Runs the program on this folder with the script; returns the exit code.
    int Run(const QString& script, QString* errors = nullptr) const {
        dir_.Write("script.txt", script.toUtf8());
        const test::ProgramResult run = test::RunProgram(
            {"--data", Path(), "--script", Path() + "/script.txt", "--settings",
             Path() + "/settings.ini", "--size", "800x600", "--audio", "null"});
        if (errors) *errors = QString::fromUtf8(run.errors);
        return run.exitCode;
    }
    QStringList Lines(const QString& file) const {
        const QByteArray bytes = dir_.Read(file);
        QStringList lines = QString::fromLatin1(bytes).split("\r\n");
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        return lines;
    }
    QString Dump(const QString& file) const { return QString::fromUtf8(dir_.Read(file)); }

private:
    test::ScratchDir dir_;
};

QString Row(const QString& dump, int row) { return dump.split('\n').value(row - 1); }

}  // namespace

TEST(MenuScenario, ShortListFirstThenTheWholeList) {
    ProgramFolder folder;
    QString errors;
    ASSERT_EQ(folder.Run("dump " + folder.Path() + "/short.txt\nkey Down x4\ndump " +
                             folder.Path() + "/long.txt\nkey Esc\nkey j\n",
                         &errors),
              0)
        << errors.toStdString();
    const QString shortList = folder.Dump("short.txt");
    EXPECT_TRUE(Row(shortList, 2).contains("Programm-Auswahl"));
    EXPECT_TRUE(Row(shortList, 4).contains("   Kopfrechnen   "));
    EXPECT_TRUE(Row(shortList, 7).contains("Greifspiel"));
    EXPECT_TRUE(Row(shortList, 8).contains("weitere Programme"));
    EXPECT_FALSE(shortList.contains("Nur merken"));
    EXPECT_FALSE(shortList.contains("Tachistoskop"));
    const QString longList = folder.Dump("long.txt");
    EXPECT_TRUE(Row(longList, 9).contains("Nur merken"));
    EXPECT_TRUE(Row(longList, 16).contains("Tachistoskop"));
    EXPECT_TRUE(Row(longList, 20).contains("Optionen laden"));
    EXPECT_TRUE(Row(longList, 21).contains("Geschwindigkeit mit F10"));
}

TEST(MenuScenario, MissingOptionFileGivesTheDefaultsAndIsWrittenOnLeaving) {
    ProgramFolder folder;
    ASSERT_EQ(folder.Run("key Esc\ndump " + folder.Path() + "/question.txt\nkey j\n"), 0);
    EXPECT_TRUE(folder.Dump("question.txt").contains("Programm wirklich beenden ?"));
    const QStringList expected = {"0",    "5000", "1", "2", "1", "1", "1",   "1", "0",
                                  "1",    "2",    "4", "0", "AAR", "3", "0", "100", "280",
                                  "110",  "0",    "2", "1", "0", "0",   "1", "0",   "0",
                                  "10",   "2",    "1", "7", "1", "0",   "0", "0"};
    EXPECT_EQ(folder.Lines("aktuell.opt"), expected);
}

TEST(MenuScenario, AChangedOptionIsSavedWhenTheProgramEnds) {
    ProgramFolder folder;
    ASSERT_EQ(folder.Run("key o\nkey Right\ndump " + folder.Path() +
                         "/options.txt\nkey Esc\nkey Esc\nkey j\n"),
              0);
    EXPECT_TRUE(folder.Dump("options.txt").contains("Optionen"));
    const QStringList lines = folder.Lines("aktuell.opt");
    ASSERT_EQ(lines.size(), 35);
    EXPECT_EQ(lines[0], "1");  // Aufgaben: Zufall
}

TEST(MenuScenario, LoadingANamedSetAndLeavingDoesNotRewriteTheCurrentOptions) {
    ProgramFolder folder;
    QStringList set = {"1",   "1500", "0", "0", "1", "2", "8",   "0", "1", "0", "1", "0",
                       "1",   "AAR",  "2", "0", "200", "300", "120", "0", "1", "2", "1", "0",
                       "0",   "0",    "1", "15", "1", "0", "3", "0", "1", "2", "1"};
    folder.Dir().Write("SCHNELL.RTT", (set.join("\r\n") + "\r\n").toLatin1());
    // "Optionen laden" is the item above the first one; Enter on the only set loads it
    ASSERT_EQ(folder.Run("key Up\nkey Enter\ndump " + folder.Path() +
                         "/files.txt\nkey Enter\nkey Esc\nkey j\n"),
              0);
    EXPECT_TRUE(folder.Dump("files.txt").contains("SCHNELL"));
    EXPECT_FALSE(QFile::exists(folder.Path() + "/aktuell.opt"));
}
