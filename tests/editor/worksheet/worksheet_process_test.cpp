// The worksheet process as a teacher meets it: `radevir --worksheet` making a sheet's HTML and
// PDF without a display, the worksheet window starting and showing its page, and the editor's
// launcher waiting for the process.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QImage>
#include <QProcess>
#include <QTcpServer>
#include <QUrl>
#include <QWidget>

#include "editor/task_tools.h"
#include "editor/worksheet/worksheet_handover.h"
#include "editor/worksheet/worksheet_input.h"
#include "editor/worksheet/worksheet_launch.h"
#include "editor/worksheet/worksheet_page.h"
#include "support/program_environment.h"
#include "support/random.h"
#include "support/shell_helpers.h"
#include "tests/program_process.h"
#include "tests/test_support.h"

namespace radevir {
namespace {

// The web engine trips the address sanitizer inside its own library (a new/delete type mismatch
// in libQt6WebEngineCore), so the processes that load it are not run in a sanitized build.
#ifdef RADEVIR_SANITIZED_BUILD
#define SKIP_UNDER_SANITIZER() \
    GTEST_SKIP() << "the web engine aborts under the address sanitizer inside its own library"
#else
#define SKIP_UNDER_SANITIZER() (void)0
#endif

QString PdfText(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A task file of the kind teachers keep: in a folder "Kopfrechnen", Windows bytes, CR LF.
QString WriteTaskFile(const test::ScratchDir& dir) {
    return dir.Write(
        "Kopfrechnen/Plus mit L\xc3\xbc"
        "cken.txt",
        "12+5=_1_7\r\n\r\n; nur f\xfc"
        "r mich\r\n3^2=_9\r\n8,4-5,6=_2_,_8\r\n7+8=15\r\n");
}

TEST(WorksheetCommand, WritesHtmlAndPdfWithoutADisplay) {
    SKIP_UNDER_SANITIZER();
    test::ScratchDir dir;
    const QString taskFile = WriteTaskFile(dir);
    const QString out = dir.Path() + "/Blätter";
    const test::ProgramResult plain = test::RunProgram(
        {"--worksheet", taskFile, "--print-to", out, "--seed", "3"}, test::Display::None);
    ASSERT_EQ(plain.exitCode, 0) << plain.errors.toStdString();
    const QString html = QString::fromUtf8(dir.Read("Blätter/Plus mit Lücken.html"));
    EXPECT_NE(html.indexOf("3<sup>2</sup>"), -1);
    EXPECT_EQ(html.indexOf("nur f"), -1);
    const QString text = PdfText(out + "/Plus mit Lücken.pdf");
    EXPECT_NE(text.indexOf("Kopfrechnen"), -1) << text.toStdString();  // the folder's heading
    EXPECT_NE(text.indexOf("12"), -1);
    EXPECT_NE(text.indexOf("8,4"), -1);
    EXPECT_EQ(text.indexOf("15"), -1);  // 7+8=15 has no gap: its result became one
    EXPECT_EQ(text.indexOf("Selbstkontrolle"), -1);

    const test::ProgramResult checked = test::RunProgram(
        {"--worksheet", taskFile, "--self-check", "--print-to", out}, test::Display::None);
    ASSERT_EQ(checked.exitCode, 0) << checked.errors.toStdString();
    const QString withAnswers = PdfText(out + "/Plus mit Lücken.pdf");
    EXPECT_NE(withAnswers.indexOf("Selbstkontrolle"), -1) << withAnswers.toStdString();
    EXPECT_NE(withAnswers.indexOf("17"), -1);
    EXPECT_NE(withAnswers.indexOf("2,8"), -1);
    EXPECT_NE(withAnswers.indexOf("15"), -1);
}

TEST(WorksheetCommand, MissingOrEmptyTaskFileIsOneLineAndExitOne) {
    test::ScratchDir dir;
    const QString empty = dir.Write("Kopfrechnen/leer.txt", "\r\n  \r\n");
    for (const QString& file : {dir.Path() + "/fehlt.txt", empty, dir.Path()}) {
        const test::ProgramResult r = test::RunProgram(
            {"--worksheet", file, "--print-to", dir.Path() + "/out"}, test::Display::None);
        EXPECT_EQ(r.exitCode, 1) << file.toStdString();
        EXPECT_EQ(r.errors.count('\n'), 1) << r.errors.toStdString();
        EXPECT_TRUE(r.errors.startsWith("radevir: ")) << r.errors.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.Path() + "/out/leer.pdf"));
    // no folder for the sheets is a bad command line
    EXPECT_EQ(test::RunProgram({"--worksheet", empty}, test::Display::None).exitCode, 2);
}

// The kit's times table has no gaps: on the command line its results become the gaps, as the
// editor's "Ergebnis kennzeichnen" makes them, and go on the self-check list; --as-is keeps the
// lines as they stand.
TEST(WorksheetCommand, MarksTheResultsOfAListWithoutGapsUnlessAsIs) {
    SKIP_UNDER_SANITIZER();
    test::ScratchDir dir;
    const QString list = test::KitDir() + "/Aufgaben/Kopfrechnen/Einmaleins 6er-Reihe.txt";
    const QString out = dir.Path() + "/out";
    const test::ProgramResult marked =
        test::RunProgram({"--worksheet", list, "--self-check", "--print-to", out, "--seed", "2"},
                         test::Display::None);
    ASSERT_EQ(marked.exitCode, 0) << marked.errors.toStdString();
    const QString html = QString::fromUtf8(dir.Read("out/6er-Reihe Einmaleins.html"));
    EXPECT_EQ(html.indexOf(">36</td>"), -1);
    EXPECT_EQ(html.count("class='ergebnis'"), 10);
    EXPECT_NE(html.indexOf("\" 36\""), -1);  // on the self-check list
    const QString text = PdfText(out + "/6er-Reihe Einmaleins.pdf");
    EXPECT_NE(text.indexOf("Selbstkontrolle"), -1) << text.toStdString();
    EXPECT_NE(text.indexOf("36"), -1) << text.toStdString();

    const test::ProgramResult asIs =
        test::RunProgram({"--worksheet", list, "--as-is", "--print-to", out}, test::Display::None);
    ASSERT_EQ(asIs.exitCode, 0) << asIs.errors.toStdString();
    const QString plain = QString::fromUtf8(dir.Read("out/6er-Reihe Einmaleins.html"));
    EXPECT_NE(plain.indexOf(">36</td>"), -1);
    EXPECT_EQ(plain.count("class='ergebnis'"), 0);
}

// One list, one sheet: what the editor hands over and what the command line makes from the file
// give the same page (a gap for a sign, an empty line, empty lines at the end).
TEST(WorksheetCommand, GivesTheSheetTheEditorGivesForTheSameList) {
    SKIP_UNDER_SANITIZER();
    test::ScratchDir dir;
    const std::vector<Bytes> lines = {"6_+6=12", "", "12 + 5=_1_7", "8,4-5,6=_2_,_8", "7_:7=1",
                                      "",        ""};
    QByteArray file;
    for (const Bytes& line : lines) file += QByteArray::fromStdString(line) + "\r\n";
    const QString taskFile = dir.Write("Kopfrechnen/Liste.txt", file);
    const test::ProgramResult made = test::RunProgram(
        {"--worksheet", taskFile, "--self-check", "--print-to", dir.Path() + "/out", "--seed", "4"},
        test::Display::None);
    ASSERT_EQ(made.exitCode, 0) << made.errors.toStdString();

    const ProgramEnvironment kit = ProgramEnvironment::FromNativeFolder(test::KitDir());
    WorksheetRequest request =
        PrepareWorksheetRequest(lines, test::KitDir(), "Kopfrechnen\\Liste.txt");
    for (const QString& heading : WorksheetHeadings(kit, "Kopfrechnen"))
        request.headings << heading + u' ';  // as the worksheet window shows them
    request.pagePath = dir.Path() + "/editor.html";
    Random random(4);
    QString error;
    ASSERT_TRUE(BuildWorksheetPage(request, {true, kDefaultTableSpacing_pt}, random, &error))
        << error.toStdString();
    EXPECT_EQ(QString::fromUtf8(dir.Read("out/Liste.html")),
              QString::fromUtf8(dir.Read("editor.html")));
}

// A week of sheets in one run: every file its own HTML and PDF; a file that cannot be made is
// named in a line of its own and the others are made all the same.
TEST(WorksheetCommand, MakesTheSheetsOfSeveralFilesAndNamesTheOnesItCannot) {
    SKIP_UNDER_SANITIZER();
    test::ScratchDir dir;
    const QString plus = dir.Write("Kopfrechnen/Plus.txt", "1+1=2\r\n2+2=4\r\n");
    const QString minus = dir.Write("Kopfrechnen/Minus.txt", "5-3=_2\r\n");
    const QString again = dir.Write("Zweite/Plus.txt", "3+3=6\r\n");  // the same sheet name
    const QString empty = dir.Write("Kopfrechnen/leer.txt", "\r\n");
    const QString missing = dir.Path() + "/fehlt.txt";
    const QString out = dir.Path() + "/out";
    const test::ProgramResult run =
        test::RunProgram({"--worksheet", plus, missing, minus, empty, again, "--print-to", out},
                         test::Display::None);
    EXPECT_EQ(run.exitCode, 1);
    const QStringList said = QString::fromUtf8(run.errors).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(said.size(), 2) << run.errors.toStdString();
    EXPECT_TRUE(said[0].startsWith("radevir: " + missing + ": ")) << said[0].toStdString();
    EXPECT_TRUE(said[1].startsWith("radevir: " + empty + ": ")) << said[1].toStdString();
    auto compact = [](const QString& pdf) { return PdfText(pdf).remove(' '); };
    EXPECT_NE(compact(out + "/Plus.pdf").indexOf("1+1="), -1);
    EXPECT_NE(compact(out + "/Minus.pdf").indexOf("5-3="), -1);
    EXPECT_NE(compact(out + "/Plus (2).pdf").indexOf("3+3="), -1);
    EXPECT_TRUE(QFile::exists(out + "/Plus (2).html"));
    EXPECT_FALSE(QFile::exists(out + "/leer.pdf"));
}

TEST(WorksheetWindow, ShowsTheSheetRebuildsItAndPrintsItAtOnce) {
    SKIP_UNDER_SANITIZER();
    test::ScratchDir dir;
    WorksheetHandover h;
    h.request.taskLines = {"12 + 5 = _1_7", "3^2 = _9"};
    h.request.headings = {"Aufgaben"};
    h.request.templatePath = test::KitDir() + "/vorlagen/Aufgaben.html";
    h.request.pagePath = dir.Path() + "/construct.html";
    h.request.savePath = dir.Path() + "/Aufgaben/Probe.html";
    const QString request = dir.Write("request.txt", WriteHandover(h));
    QProcess p;
    p.start(test::KitDir() + "/radevir-worksheet",
            {"--request", request, "--print-to", dir.Path() + "/pdf", "--click", "SpeedButton1",
             "--click", "Check_selbstkontrolle", "--click", "Speed_print", "--screenshot",
             dir.Path() + "/window.png"});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_FALSE(QImage(dir.Path() + "/window.png").isNull());
    // "+" made the spacing 15 points, the switch put the answers in, "Sofort" printed
    const QString page = QString::fromUtf8(dir.Read("construct.html"));
    EXPECT_NE(page.indexOf("table {margin-bottom:15pt"), -1);
    EXPECT_NE(page.indexOf("<sub>____</sub>"), -1);
    EXPECT_NE(page.indexOf("\" 17\""), -1);
    const QString text = PdfText(dir.Path() + "/pdf/Probe.pdf");
    EXPECT_NE(text.indexOf("Selbstkontrolle"), -1) << text.toStdString();
    EXPECT_NE(text.indexOf("12"), -1);
}

// A page in the worksheet process may be anything a teacher picked, its scripts running: it
// reaches nothing on the network and reads no file outside its own folder, in the window as in
// an export; what lies in its folder still shows.
TEST(WorksheetProcess, PagesReadOnlyTheirOwnFolderAndReachNoNetwork) {
    SKIP_UNDER_SANITIZER();
    test::ScratchDir dir;
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QString net = QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort());
    const QString secret = dir.Write("secret.txt", "GEHEIM");
    dir.Write("out/inside.txt", "INNEN");
    const QString page =
        QStringLiteral(
            "<html><head><link rel=stylesheet href='%1/s.css'><link rel=preconnect href='%1'>"
            "</head><body>"
            "<img src='%1/i.png'><img src='%2'>"
            "<iframe src='%2'></iframe><iframe src='inside.txt'></iframe><p id=r></p><script>"
            "var out = [];"
            "function tryRead(name, url) {"
            "  try { var x = new XMLHttpRequest(); x.open('GET', url, false); x.send();"
            "    out.push(name + (x.responseText.indexOf('GEHEIM') >= 0 ? '-GELESEN' : '-leer'));"
            "  } catch (e) { out.push(name + '-abgewiesen'); } }"
            "tryRead('datei', '%2'); tryRead('netz', '%1/x');"
            "try { new WebSocket('ws://127.0.0.1:%3/'); } catch (e) {}"
            "fetch('%1/f', {mode: 'no-cors'}).catch(function () {});"
            "navigator.sendBeacon('%1/b', 'x');"
            "try { var pc = new RTCPeerConnection({iceServers: [{urls: 'stun:127.0.0.1:%3'},"
            "  {urls: 'turn:127.0.0.1:%3?transport=tcp', username: 'u', credential: 'c'}]});"
            "  pc.createDataChannel('d'); pc.createOffer().then(function (o) {"
            "  return pc.setLocalDescription(o); }); } catch (e) {}"
            "document.getElementById('r').textContent = out.join(' ');"
            "</script></body></html>")
            .arg(net, QUrl::fromLocalFile(secret).toString())
            .arg(server.serverPort());
    WorksheetHandover h;
    h.request.taskLines = {"1 + 1 = _2"};
    h.request.templatePath = dir.Write("hostile.html", page.toUtf8());
    h.request.pagePath = dir.Path() + "/out/sheet.html";
    const QString request = dir.Write("request.txt", WriteHandover(h));

    QProcess exported;
    exported.start(test::KitDir() + "/radevir-worksheet",
                   {"--request", request, "--print-to", dir.Path() + "/out", "--export"});
    ASSERT_TRUE(exported.waitForFinished(120000));
    EXPECT_EQ(exported.exitCode(), 0) << exported.readAllStandardError().toStdString();
    const QString text = PdfText(dir.Path() + "/out/sheet.pdf");
    EXPECT_NE(text.indexOf("datei-abgewiesen"), -1) << text.toStdString();
    EXPECT_EQ(text.indexOf("GEHEIM"), -1) << text.toStdString();
    EXPECT_NE(text.indexOf("INNEN"), -1) << text.toStdString();

    QProcess shown;
    shown.start(test::KitDir() + "/radevir-worksheet",
                {"--request", request, "--screenshot", dir.Path() + "/window.png"});
    ASSERT_TRUE(shown.waitForFinished(120000));
    EXPECT_EQ(shown.exitCode(), 0) << shown.readAllStandardError().toStdString();
    // the system took any connection in on the server's behalf; none came
    EXPECT_FALSE(server.waitForNewConnection(200));
}

class CollectMessages final : public MessageSink {
  public:
    void ShowMessage(const QString& text) override { messages << text; }
    QStringList messages;
};

TEST(ShowWorksheet, WaitsForTheProcessAndSaysWhenItCannotStart) {
    test::ScratchDir dir;
    const ProgramEnvironment env = ProgramEnvironment::FromNativeFolder(dir.Path());
    WorksheetRequest request;
    request.pagePath = dir.Path() + "/construct.html";
    request.templatePath = dir.Path() + "/Aufgaben.html";
    QWidget parent;
    CollectMessages sink;
    WorksheetLaunchOptions options;
    options.messages = &sink;

    options.program = dir.Path() + "/no-such-program";
    EXPECT_FALSE(ShowWorksheet(&parent, env, request, options));
    ASSERT_EQ(sink.messages.size(), 1);
    EXPECT_NE(sink.messages[0].indexOf("no-such-program"), -1);
    EXPECT_TRUE(parent.isEnabled());

    // a worksheet process that reads its request and ends normally
    const QString script = dir.Write("sheet.sh", "#!/bin/sh\ngrep -q '^page=' \"$2\"\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    options.program = script;
    EXPECT_TRUE(ShowWorksheet(&parent, env, request, options));
    EXPECT_EQ(sink.messages.size(), 1);
    EXPECT_TRUE(parent.isEnabled());
}

}  // namespace
}  // namespace radevir
