// Whole drill runs of the real program, driven by scripts: a child picks a program and a task
// list in the chooser, works the tasks, and comes back to the menu.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include "tests/program_process.h"
#include "tests/test_support.h"

using namespace radevir;

namespace {

// The 35 option lines with a short Merkzeit (no key needed after each task) and the motivation
// screens off, so a script only answers the questions it is about.
QByteArray QuietOptions(const QByteArray& protocol = "0") {
    const QList<QByteArray> lines = {"0",   "1500", "1", "2", "1",   "1", "1", "0",      "0",
                                     "1",   "2",    "4", "0", "AAR", "3", "0", "100",    "280",
                                     "110", "0",    "2", "1", "0",   "0", "1", protocol, "0",
                                     "10",  "2",    "1", "7", "1",   "0", "0", "0"};
    return lines.join("\r\n") + "\r\n";
}

class DrillFolder {
  public:
    DrillFolder() {
        test::LinkKitInto(dir_.Path());
        // task lists of our own, never written into the kit through its link
        QFile::remove(dir_.Path() + "/Aufgaben");
        dir_.Write("aktuell.opt", QuietOptions());
    }
    QString Path() const { return dir_.Path(); }
    void Options(const QByteArray& lines) { dir_.Write("aktuell.opt", lines); }
    // A task list of our own, chosen last time by the program `number`, so the chooser opens on
    // it and Enter takes it.
    void TaskList(int number, const QString& name, const QByteArray& lines) {
        dir_.Write("Aufgaben/Kopfrechnen/" + name, lines);
        dir_.Write("bgi7/letzte" + QString::number(number) + ".txt",
                   "Kopfrechnen\\" + name.toLatin1() + "=1\r\n");
    }
    // The same for written arithmetic (program 6), in its own task folder.
    void WrittenTaskList(const QString& name, const QByteArray& lines) {
        dir_.Write("Aufgaben/Schriftliches Rechnen/" + name, lines);
        dir_.Write("bgi7/letzte6.txt", "Schriftliches Rechnen\\" + name.toLatin1() + "=1\r\n");
    }
    int Run(const QString& script, const QString& audio = "null") const {
        dir_.Write("script.txt", script.toUtf8());
        const test::ProgramResult run =
            test::RunProgram({"--data", Path(), "--script", Path() + "/script.txt", "--settings",
                              Path() + "/settings.ini", "--size", "800x600", "--audio", audio,
                              "--print-to", Path() + "/print"});
        errors_ = QString::fromUtf8(run.errors);
        return run.exitCode;
    }
    QString Dump(const QString& file) const { return QString::fromUtf8(dir_.Read(file)); }
    QString Errors() const { return errors_; }

  private:
    test::ScratchDir dir_;
    mutable QString errors_;
};

}  // namespace

// After the run the certificate dialogue, then the card box keeps the wrong task in a new file;
// F7 at the exit question prints the protocol and brings the menu back; leaving with the protocol
// option "Lehrer" saves Protokoll\LEHRER.TXT.
TEST(DrillScenario, MentalArithmeticWithOneWrongKeyEndsAtTheRepeatQuestion) {
    DrillFolder f;
    f.Options(QuietOptions("1"));
    f.TaskList(2, "Fuenf.txt", "3+3=_6\r\n4+4=_8\r\n2+5=_7\r\n9-5=_4\r\n1+1=_2\r\n");
    const QString p = f.Path();
    ASSERT_EQ(f.Run("key k\nkey Enter\ndump " + p +
                    "/first.txt\n"
                    "type 6\nwait 5000\ntype 9\ntype 8\nwait 5000\ntype 7\nwait 5000\ntype 4\nwait "
                    "5000\ntype 2\nwait 5000\n"
                    "dump " +
                    p + "/question.txt\nkey n\nwait 500\ndump " + p +
                    "/closing.txt\n"
                    "key Space\nwait 500\ndump " +
                    p +
                    "/certificate.txt\ntype anna\nkey Enter\nwait 500\n"
                    "type Fehler\nkey Enter\nwait 4000\n"
                    "dump " +
                    p + "/menu.txt\nkey Esc\nkey F7\nwait 500\ndump " + p +
                    "/after_f7.txt\n"
                    "key Esc\nkey j\n"),
              0)
        << f.Errors().toStdString();
    EXPECT_TRUE(f.Dump("first.txt").contains("F1, F2, F3 = Hundertertafel"));
    EXPECT_TRUE(f.Dump("question.txt").contains(" Wiederholung? "))
        << f.Dump("question.txt").toStdString();
    EXPECT_TRUE(f.Dump("closing.txt").contains("bung ist beendet"))
        << f.Dump("closing.txt").toStdString();
    EXPECT_TRUE(f.Dump("certificate.txt").contains("Zeugnis drucken mit Enter-Taste"))
        << f.Dump("certificate.txt").toStdString();
    EXPECT_TRUE(f.Dump("menu.txt").contains("Programm-Auswahl"));
    EXPECT_TRUE(f.Dump("after_f7.txt").contains("Programm-Auswahl"))
        << f.Dump("after_f7.txt").toStdString();
    EXPECT_TRUE(f.Dump("LPTB.TXT").contains("Lehrerprotokoll")) << f.Dump("LPTB.TXT").toStdString();
    EXPECT_EQ(f.Dump("Aufgaben/Kopfrechnen/Lernkartei/Fehler.txt"), "4+4=_8\r\n");
    const QString teacher = f.Dump("Protokoll/LEHRER.TXT");
    EXPECT_TRUE(teacher.startsWith("LEHRER.TXT\r\nFuenf.txt\r\n")) << teacher.toStdString();
    EXPECT_TRUE(teacher.contains("  4 F 4+4=_8                        (9)8 "))
        << teacher.toStdString();

    // the certificate, then the protocol, each a print job of its own
    const QStringList jobs =
        QDir(p + "/print").entryList({"*.pdf"}, QDir::Files, QDir::Time | QDir::Reversed);
    ASSERT_EQ(jobs.size(), 2) << jobs.join(", ").toStdString();
    // each named after what it is and whom it is for, dated by the program's clock
    const QStringList certificates =
        jobs.filter(QRegularExpression(R"(^Zeugnis Anna \d{4}-\d\d-\d\d\.pdf$)"));
    const QStringList protocols =
        jobs.filter(QRegularExpression(R"(^Lehrerprotokoll \d{4}-\d\d-\d\d\.pdf$)"));
    ASSERT_EQ(certificates.size(), 1) << jobs.join(", ").toStdString();
    ASSERT_EQ(protocols.size(), 1) << jobs.join(", ").toStdString();
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    const auto pdfText = [&](const QString& file) {
        QProcess pdftotext;
        pdftotext.start("pdftotext", {"-layout", p + "/print/" + file, "-"});
        pdftotext.waitForFinished();
        return QString::fromUtf8(pdftotext.readAllStandardOutput());
    };
    const QString certificate = pdfText(certificates.front());
    EXPECT_TRUE(certificate.contains("Anna")) << certificate.toStdString();
    EXPECT_TRUE(certificate.contains("4+4=8")) << certificate.toStdString();
    const QString protocol = pdfText(protocols.front());
    EXPECT_TRUE(protocol.contains("Lehrerprotokoll")) << protocol.toStdString();
    EXPECT_TRUE(protocol.contains("(9)8")) << protocol.toStdString();
}

TEST(DrillScenario, DictationSpeaksTheTask) {
    DrillFolder f;
    f.TaskList(5, "Diktat.txt", "12+35=47\r\n20+5=25\r\n");
    const QString raw = f.Path() + "/speech.raw";
    const QString p = f.Path();
    ASSERT_EQ(f.Run("key d\nkey Enter\nwait 3000\ndump " + p +
                        "/task.txt\nkey Esc\nkey j\n"
                        "wait 500\nkey Esc\nkey j\n",
                    "disk:" + raw),
              0)
        << f.Errors().toStdString();
    EXPECT_TRUE(f.Dump("task.txt").contains("Nur Ergebnis aufschreiben. F5 = h"))
        << f.Dump("task.txt").toStdString();
    // "zwölf plus fünfunddreißig": well over half a second of 16-bit samples at 22050 Hz
    EXPECT_GT(QFileInfo(raw).size(), 22050);
}

TEST(DrillScenario, EscapeAndYesLeavesTheRunForTheMenu) {
    DrillFolder f;
    f.TaskList(2, "Zwei.txt", "3+3=_6\r\n4+4=_8\r\n");
    const QString p = f.Path();
    ASSERT_EQ(f.Run("key k\nkey Enter\nkey Esc\ndump " + p + "/ask.txt\nkey j\nwait 500\ndump " +
                    p + "/menu.txt\nkey Esc\nkey j\n"),
              0)
        << f.Errors().toStdString();
    EXPECT_TRUE(f.Dump("ask.txt").contains("Jetzt schon beenden?  j oder n"));
    EXPECT_TRUE(f.Dump("menu.txt").contains("Programm-Auswahl"));
    EXPECT_FALSE(f.Dump("menu.txt").contains("bung ist beendet"));
}

// Written arithmetic over four tasks with one wrong key: the closing screen, the certificate
// with the program's name, the wrong task in the card box and the protocol lines.
TEST(DrillScenario, WrittenArithmeticOverFourTasksEndsWithTheCertificate) {
    DrillFolder f;
    f.Options(QuietOptions("1"));
    f.WrittenTaskList("Vier.txt", "47+38=\r\n52-17=\r\n123*4=\r\n17:5=\r\n");
    const QString p = f.Path();
    ASSERT_EQ(f.Run("key s\nkey Enter\nwait 1000\ndump " + p +
                    "/first.txt\n"
                    "type 6518\nkey Space\nwait 1000\ntype 513\nkey Space\nwait 1000\n"
                    "type 294\nkey Space\nwait 1000\ntype 3512\nkey Space\nwait 1000\n"
                    "dump " +
                    p + "/closing.txt\nkey Space\nwait 500\ndump " + p +
                    "/certificate.txt\n"
                    "type ben\nkey Enter\nwait 500\ntype Fehler\nkey Enter\nwait 4000\n"
                    "dump " +
                    p + "/menu.txt\nkey Esc\nkey j\n"),
              0)
        << f.Errors().toStdString();
    EXPECT_TRUE(f.Dump("first.txt").contains("Aufgabe: 1")) << f.Dump("first.txt").toStdString();
    EXPECT_TRUE(f.Dump("closing.txt").contains("bung ist beendet"))
        << f.Dump("closing.txt").toStdString();
    EXPECT_TRUE(f.Dump("certificate.txt").contains("Zeugnis drucken mit Enter-Taste"));
    EXPECT_TRUE(f.Dump("menu.txt").contains("Programm-Auswahl"));
    EXPECT_EQ(f.Dump("Aufgaben/Schriftliches Rechnen/Lernkartei/Fehler.txt"), "47+38=\r\n");
    const QString teacher = f.Dump("Protokoll/LEHRER.TXT");
    EXPECT_TRUE(teacher.startsWith("LEHRER.TXT\r\nVier.txt\r\n")) << teacher.toStdString();
    for (const char* line :
         {" F 47+38=                        (6)518 \r\n", "   52-17=                         \r\n",
          "   123*4=                         \r\n", "   17:5=                          \r\n"})
        EXPECT_TRUE(teacher.contains(line)) << line << "\n" << teacher.toStdString();

    const QStringList jobs = QDir(p + "/print").entryList({"*.pdf"}, QDir::Files);
    ASSERT_EQ(jobs.size(), 1) << jobs.join(", ").toStdString();
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", p + "/print/" + jobs.front(), "-"});
    pdftotext.waitForFinished();
    const QString certificate = QString::fromUtf8(pdftotext.readAllStandardOutput());
    EXPECT_TRUE(certificate.contains("Ben")) << certificate.toStdString();
    EXPECT_TRUE(certificate.contains("Schriftliches Rechnen")) << certificate.toStdString();
    EXPECT_TRUE(certificate.contains("17:5=")) << certificate.toStdString();
}

// The kit's list of divisions with a remainder ("17:5=_3 R _2") copied in the real program: the
// blanks and the "R" come by themselves, the child types the digits and signs, and both tasks
// are solved without an error (the protocol is kept from three lines on).
TEST(DrillScenario, DivisionsWithRemainderCanBeCopied) {
    DrillFolder f;
    f.Options(QuietOptions("1"));
    f.TaskList(3, "Rest.txt", "17:5=_3 R _2\r\n31:6=_5 R _1\r\n21:4=_5 R _1\r\n");
    const QString p = f.Path();
    ASSERT_EQ(f.Run("key a\nkey Enter\nwait 1000\ntype 17:5=32\nwait 5000\ntype 31/6=51\nwait "
                    "5000\ntype 21:4=51\nwait 5000\n"
                    "dump " +
                    p + "/menu.txt\nkey Esc\nkey j\n"),
              0)
        << f.Errors().toStdString();
    EXPECT_TRUE(f.Dump("menu.txt").contains("Programm-Auswahl"))
        << f.Dump("menu.txt").toStdString();
    const QString teacher = f.Dump("Protokoll/LEHRER.TXT");
    for (const char* line :
         {"   17:5=_3 R _2                   \r\n", "   31:6=_5 R _1                   \r\n"})
        EXPECT_TRUE(teacher.contains(line)) << line << "\n" << teacher.toStdString();
}
