// Printed pages: the printer text file printed into PDFs the way --print-to prints, and what the
// pages hold (text read back with pdftotext, fonts with pdffonts, positions with pdftotext -bbox).
#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include "printing/page_layout.h"
#include "printing/text_printer.h"
#include "support/program_environment.h"
#include "tests/test_support.h"

using namespace radevir;
using radevir::test::ScratchDir;

namespace {

Bytes Esc(char command) {
    return Bytes{static_cast<char>(kEscapeByte), command};
}
Bytes Esc(char command, char argument) {
    return Esc(command) + argument;
}

// Output of a poppler tool on `pdf`; empty when the tool is missing.
QString Poppler(const QString& tool, QStringList args) {
    if (QStandardPaths::findExecutable(tool).isEmpty()) return {};
    QProcess p;
    p.start(tool, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}
QString PdfText(const QString& pdf) {
    return Poppler("pdftotext", {"-layout", pdf, "-"});
}
int PdfPages(const QString& pdf) {
    const QRegularExpressionMatch m =
        QRegularExpression(R"(Pages:\s+(\d+))").match(Poppler("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}
bool HavePoppler() {
    return !QStandardPaths::findExecutable("pdftotext").isEmpty();
}

// Prints `lines` into a PDF; returns the page count PrintStyledLines reports.
int PrintToPdf(const std::vector<Bytes>& lines, const QString& pdf) {
    QPrinter printer(QPrinter::HighResolution);
    const PreparedPrinter prepared = PreparePrinter(printer, {QFileInfo(pdf).absolutePath(), {}},
                                                    QFileInfo(pdf).completeBaseName());
    EXPECT_EQ(prepared.pdfFile, pdf);
    return PrintStyledLines(printer, ParseEscapes(lines));
}

// The words of a page with their boxes (pdftotext -bbox): word → right edge.
std::map<QString, double> WordRightEdges(const QString& pdf) {
    std::map<QString, double> out;
    const QString html = Poppler("pdftotext", {"-bbox", pdf, "-"});
    const QRegularExpression word(
        R"re(<word xMin="[\d.]+" yMin="[\d.]+" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re");
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        out[m.captured(2)] = m.captured(1).toDouble();
    }
    return out;
}

}  // namespace

TEST(PrintedPages, FormFeedsAndFullPagesStartNewPages) {
    ScratchDir dir;
    // a form feed in the first fifth of a page is ignored, one further down starts a page
    EXPECT_EQ(PrintToPdf({"oben", "\x0C", "gleiche Seite"}, dir.Path() + "/früh.pdf"), 1);
    std::vector<Bytes> lines(20, "Zeile");
    lines.push_back("\x0C");
    lines.push_back("neue Seite");
    EXPECT_EQ(PrintToPdf(lines, dir.Path() + "/spät.pdf"), 2);
    // full pages go on by themselves; a form feed at the end leaves no empty page behind
    std::vector<Bytes> full(150, "Zeile");
    full.push_back("\x0C");
    EXPECT_EQ(PrintToPdf(full, dir.Path() + "/voll.pdf"), 3);
    if (HavePoppler()) {
        EXPECT_EQ(PdfPages(dir.Path() + "/früh.pdf"), 1);
        EXPECT_EQ(PdfPages(dir.Path() + "/spät.pdf"), 2);
        EXPECT_EQ(PdfPages(dir.Path() + "/voll.pdf"), 3);
    }
    EXPECT_EQ(PrintToPdf({}, dir.Path() + "/leer.pdf"), 0);

    // a teacher's text with the page break right after the page's last words
    std::vector<Bytes> own(20, "Zeile");
    own.push_back(
        "Seite 1 Ende\x0C"
        "Seite 2 Anfang");
    EXPECT_EQ(PrintToPdf(own, dir.Path() + "/eigen.pdf"), 2);
    if (HavePoppler()) {
        const QString second =
            Poppler("pdftotext", {"-f", "2", "-l", "2", dir.Path() + "/eigen.pdf", "-"});
        EXPECT_EQ(second.trimmed(), "Seite 2 Anfang");
    }
}

TEST(PrintedPages, SplitLinesCheckMarksAndLargeBoldType) {
    if (!HavePoppler()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    ScratchDir dir;
    const QString pdf = dir.Path() + "/zeugnis.pdf";
    ASSERT_EQ(PrintToPdf({Esc('W', '\x01') + "Zeugnis", "Name:\tAnna", "3+4=7\xFB",
                          Esc('W', ' ') + Esc('M') + "schmal"},
                         pdf),
              1);
    const QStringList lines = PdfText(pdf).split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0].trimmed(), "Zeugnis");
    // the tab prints as a blank and the rest stays on the printed line
    EXPECT_TRUE(lines[1].contains(QRegularExpression(R"(Name:\s+Anna)"))) << lines[1].toStdString();
    EXPECT_EQ(lines[2].trimmed(), QStringLiteral("3+4=7\u2714"));
    EXPECT_EQ(lines[3].trimmed(), "schmal");
    const QString fonts = Poppler("pdffonts", {pdf});
    EXPECT_TRUE(fonts.contains("LiberationMono-Bold")) << fonts.toStdString();
    EXPECT_TRUE(fonts.contains("LiberationMono")) << fonts.toStdString();
    EXPECT_TRUE(fonts.contains("DejaVuSans")) << fonts.toStdString();  // check mark, narrow type
}

TEST(PrintedPages, RightAlignedModeEndsLinesAtTheEdgeUntilSwitchedOff) {
    if (!HavePoppler()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    ScratchDir dir;
    const QString pdf = dir.Path() + "/spalten.pdf";
    ASSERT_EQ(PrintToPdf({Esc('\xC9', '\x28'), "345", "+1278", Bytes(31, '-'), "1623\xFB",
                          Esc('\xC9', '\xFF'), "links"},
                         pdf),
              1);
    const std::map<QString, double> right = WordRightEdges(pdf);
    const QString checked =
        QStringLiteral("1623\u2714");  // the check mark stands right of the edge
    ASSERT_TRUE(right.count("345") && right.count("+1278") && right.count(checked) &&
                right.count("links"));
    EXPECT_NEAR(right.at("345"), right.at("+1278"), 1.0);
    EXPECT_GT(right.at(checked), right.at("345") + 5);
    // the edge is 40 characters of 10 point Courier (6 pt each) right of the left margin
    const double left = 595.0 / 10;
    EXPECT_NEAR(right.at("345"), left + 40 * 6.0, 3.0);
    EXPECT_LT(right.at("links"), right.at("345") - 100);  // back at the left margin
    EXPECT_EQ(right.count(QString(31, '-')), 0u);         // the rule is drawn, not written
}

TEST(TextPrinterPort, PrintsThePrinterTextFileIntoThePrintFolderConverted) {
    ScratchDir dir;
    dir.Write("LPTB.TXT", QByteArray("\x1B"
                                     "E"
                                     "Lehrerprotokoll f\x81r Anna\r\n"
                                     "\x1B"
                                     "F"
                                     "Gr\xE1"
                                     "e\r\n\x0C\r\n"));
    const ProgramEnvironment env = ProgramEnvironment::FromNativeFolder(dir.Path(), "radevir");
    const QString out = dir.Path() + "/druck";
    TextPrinter printer(env, out, nullptr);
    printer.PrintTextFile(env.ProgramFolder() + "lptb.txt", true, -1,
                          "Lehrerprotokoll 2026-12-11");  // any letter case
    EXPECT_EQ(printer.LastPdfFile(), out + "/Lehrerprotokoll 2026-12-11.pdf");
    ASSERT_TRUE(QFileInfo::exists(out + "/Lehrerprotokoll 2026-12-11.pdf"));
    printer.PrintTextFile(env.ProgramFolder() + "LPTB.TXT", true, -1,
                          "Lehrerprotokoll 2026-12-11");  // the first stays
    EXPECT_EQ(printer.LastPdfFile(), out + "/Lehrerprotokoll 2026-12-11 (2).pdf");
    if (HavePoppler()) {
        const QString text = PdfText(out + "/Lehrerprotokoll 2026-12-11.pdf");
        EXPECT_TRUE(text.contains(QStringLiteral("Lehrerprotokoll für Anna")))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Gr\u00DFe"))) << text.toStdString();
    }
    // a job without a name is named after the printer text file
    printer.PrintTextFile(env.ProgramFolder() + "LPTB.TXT", true, -1, {});
    EXPECT_EQ(printer.LastPdfFile(), out + "/LPTB.pdf");
    printer.PrintTextFile(env.ProgramFolder() + "FEHLT.TXT", true, -1,
                          "Fehlt");  // nothing, quietly
    EXPECT_TRUE(printer.LastPdfFile().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(out + "/Fehlt.pdf"));
}

// A child's name typed into the certificate dialogue ends up in a file name.
TEST(TextPrinterPort, TypedNamesAreMadeSafeForAFileName) {
    struct Case {
        QString name, stem;
    };
    for (const Case& c : std::vector<Case>{
             {"Zeugnis Lea 2026-12-11", "Zeugnis Lea 2026-12-11"},
             {QStringLiteral("Zeugnis Jürgen 2026-12-11"),
              QStringLiteral("Zeugnis Jürgen 2026-12-11")},
             {"Zeugnis ../../etc/x 2026-12-11", "Zeugnis .._.._etc_x 2026-12-11"},
             {"Zeugnis A\\B:C*D?E\"F<G>H|I 2026-12-11", "Zeugnis A_B_C_D_E_F_G_H_I 2026-12-11"},
             {QString("Zeugnis A") + QChar(7) + QChar(0x9B) + "B", "Zeugnis A__B"},
             {"..", ""},
             {" .versteckt. ", "versteckt"},
             {QString(200, 'x'), QString(80, 'x')},
         }) {
        EXPECT_EQ(SafePdfStem(c.name), c.stem) << c.name.toStdString();
    }
    // what is left of a name is the PDF's name; a name that is all gone leaves the file's
    ScratchDir dir;
    dir.Write("LPTB.TXT", "Zeugnis\r\n");
    const ProgramEnvironment env = ProgramEnvironment::FromNativeFolder(dir.Path(), "radevir");
    TextPrinter printer(env, dir.Path() + "/druck", nullptr);
    printer.PrintTextFile(env.ProgramFolder() + "LPTB.TXT", false, -1,
                          "Zeugnis L/ea\x07 2026-12-11");
    EXPECT_EQ(QFileInfo(printer.LastPdfFile()).fileName(), "Zeugnis L_ea_ 2026-12-11.pdf");
    printer.PrintTextFile(env.ProgramFolder() + "LPTB.TXT", false, -1, " .. ");
    EXPECT_EQ(QFileInfo(printer.LastPdfFile()).fileName(), "LPTB.pdf");
}

TEST(TextPrinterPort, WithoutAPrinterTheJobBecomesANamedPdfAndTheUserIsTold) {
    if (!QPrinterInfo::availablePrinterNames().isEmpty()) GTEST_SKIP() << "a printer is installed";
    ScratchDir dir;
    dir.Write("LPTB.TXT", "Zeugnis\r\n");
    const ProgramEnvironment env = ProgramEnvironment::FromNativeFolder(dir.Path(), "radevir");
    TextPrinter printer(env, QString(), nullptr);
    printer.SetDocumentsFolder(dir.Path() + "/Dokumente");
    QString told;
    printer.SetNoPrinterNotice([&told](const QString& file) { told = file; });
    printer.PrintTextFile(env.ProgramFolder() + "LPTB.TXT", false, -1, "Zeugnis Lea 2026-12-11");
    ASSERT_FALSE(told.isEmpty());
    EXPECT_EQ(told, printer.LastPdfFile());
    EXPECT_TRUE(QFileInfo::exists(told));
    EXPECT_EQ(QFileInfo(told).fileName(), "Zeugnis Lea 2026-12-11.pdf");
    // a job that has no name of its own gets the date and time
    QPrinter unnamed(QPrinter::HighResolution);
    const PreparedPrinter prepared =
        PreparePrinter(unnamed, {}, QString(), dir.Path() + "/Dokumente");
    EXPECT_TRUE(QFileInfo(prepared.pdfFile)
                    .fileName()
                    .contains(QRegularExpression(
                        R"(^Radevir Ausdruck \d{4}-\d\d-\d\d \d\d-\d\d-\d\d\.pdf$)")))
        << prepared.pdfFile.toStdString();
}

TEST(RichEditPreview, ShowsHeadingTextAndCheckMarksWithoutControlLines) {
    QTextEdit edit;
    RenderToRichEdit(Bytes("\x1B"
                           "EFett\r\nA:\tB\r\n\x0C\r\nok\xFB\r\n"),
                     QStringLiteral("Kopf"), QString(), edit, false);
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("Kopf\nFett\nA: B\nok\u2714\n"));
    QTextCursor c(edit.document()->findBlockByNumber(1));
    c.movePosition(QTextCursor::Right);
    EXPECT_TRUE(c.charFormat().font().bold());
}

// Not a check: writes a sample page into the test output folder for people to look at.
TEST(PrintedPages, SamplePageForPeopleToLookAt) {
    const QString pdf = radevir::test::OutputDir() + "/printing_sample.pdf";
    QFile::remove(pdf);
    std::vector<Bytes> lines = {
        "",
        Esc('E') + Bytes(80, '='),
        "",
        "",
        Esc('W', '\x01') + "     Arbeitszeugnis f\xFCr Anna",
        "",
        Esc('W', ' ') + "          Radevir    Aufgabe: Kopfrechnen   Datei: plus10.txt",
        "          Dauer der gesamten \xDC"
        "bung: 1 min. 15 sek.",
        "          sek.  OK                          Probleme bei:",
        "            3  3+4=7\xFB",
        "            5                             8+5=13",
        "Name:\t" + Esc('M') + "schmale Schrift " + Esc('P') + "und wieder normal",
        Esc('\xC9', '\x28'),
        "345",
        "+1278",
        Bytes(31, '-'),
        "1623\xFB",
        Esc('\xC9', '\xFF'),
        "          Vielen Dank f\xFCr Deine gute Mitarbeit!" + Esc('F'),
        "\x0C"};
    ASSERT_EQ(PrintToPdf(lines, pdf), 1);
}
