// The real program with --print-to: F9 on the file selection screen prints the listing into a PDF.
#include <gtest/gtest.h>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>

#include "tests/program_process.h"
#include "tests/test_support.h"

using namespace radevir;

TEST(PrintScenario, F9OnTheFileScreenPrintsTheListIntoThePrintFolder) {
    test::ScratchDir dir;
    test::LinkKitInto(dir.Path());
    dir.Write("SCHNELL.RTT", "0\r\n");
    // "Optionen laden" is the item above the first one; F9 prints the listed option sets
    dir.Write("script.txt", "key Up\nkey Enter\nkey F9\nkey Esc\nkey Esc\nkey j\n");
    const QString out = dir.Path() + "/druck";
    const test::ProgramResult run = test::RunProgram(
        {"--data", dir.Path(), "--script", dir.Path() + "/script.txt", "--settings",
         dir.Path() + "/settings.ini", "--size", "800x600", "--audio", "null", "--print-to", out});
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    const QString pdf = out + "/Dateiliste RTT.pdf";
    ASSERT_TRUE(QFile::exists(pdf)) << QDir(out).entryList().join(' ').toStdString();
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    p.waitForFinished(30000);
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(text.contains("Dateien unter Kennung:")) << text.toStdString();
    EXPECT_TRUE(text.contains("SCHNELL.RTT")) << text.toStdString();
}
