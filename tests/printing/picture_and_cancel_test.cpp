// Picture printing (a picture file or the clipboard, n copies across the page), the fractions
// of the fractions font, and cancelling a running job.
#include <gtest/gtest.h>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>

#include "printing/fractions.h"
#include "printing/picture_print.h"
#include "printing/text_printer.h"
#include "support/program_environment.h"
#include "tests/test_support.h"

using namespace radevir;
using radevir::test::ScratchDir;

namespace {

// The first page of a PDF as a picture at `dpi`; null when pdftoppm is missing.
QImage PdfPage(const QString& pdf, int dpi) {
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty()) return {};
    const QString stem = pdf + ".page";
    QProcess::execute("pdftoppm", {"-r", QString::number(dpi), "-png", "-singlefile", pdf, stem});
    return QImage(stem + ".png");
}

QString PdfFonts(const QString& pdf) {
    if (QStandardPaths::findExecutable("pdffonts").isEmpty()) return {};
    QProcess p;
    p.start("pdffonts", {pdf});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Left half red, right half blue.
QImage TwoColourPicture(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(0, 0, size.width() / 2, size.height(), Qt::red);
    return image;
}

bool Near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) < 60 && std::abs(a.green() - b.green()) < 60 &&
           std::abs(a.blue() - b.blue()) < 60;
}

// Says "cancel" from its `cancelAt`-th question on (never with 0) and counts the calls.
class CountingMonitor final : public PrintJobMonitor {
  public:
    explicit CountingMonitor(int cancelAt) : cancelAt_(cancelAt) {}
    void PrintJobStarted() override { ++started; }
    bool PrintCancelRequested() override { return ++asked >= cancelAt_ && cancelAt_ > 0; }
    void PrintJobEnded() override { ++ended; }
    int started = 0, ended = 0, asked = 0;

  private:
    int cancelAt_;
};

}  // namespace

TEST(PicturePrinting, CopiesSitSideBySideBelowTheTopMargin) {
    struct Case {
        QSize page, picture;
        int copies;
        std::vector<QRect> expected;
    };
    const Case cases[] = {
        {{800, 1000}, {640, 480}, 1, {QRect(100, 62, 600, 450)}},
        {{800, 1000},
         {640, 480},
         3,
         {QRect(100, 62, 200, 150), QRect(300, 62, 200, 150), QRect(500, 62, 200, 150)}},
        // a tall picture is made smaller to fit the page instead of running off it
        {{800, 1000}, {100, 1000}, 1, {QRect(100, 62, 87, 876)}},
        {{800, 1000}, {0, 10}, 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.copies);
        EXPECT_EQ(PictureCopyRects(c.page, c.picture, c.copies), c.expected);
    }
    struct CopiesCase {
        const char* text;
        int copies;
    };
    for (const CopiesCase& c :
         {CopiesCase{"", 1}, CopiesCase{"3", 3}, CopiesCase{" 2 ", 2}, CopiesCase{"x", 1},
          CopiesCase{"0", 1}, CopiesCase{"-2", 1}, CopiesCase{"99", kMaxPictureCopies}})
        EXPECT_EQ(PictureCopies(c.text), c.copies) << c.text;
    EXPECT_TRUE(IsPicturePrintName("C:\\Bilder\\Haus.BMP"));
    EXPECT_FALSE(IsPicturePrintName("LPTB.TXT"));
    EXPECT_TRUE(IsClipboardPrintName("Clipboard.bmp"));
}

TEST(PicturePrinting, APictureFileNamedInThePrinterJobPrintsTwiceAcrossThePage) {
    ScratchDir dir;
    ASSERT_TRUE(TwoColourPicture({64, 48}).save(dir.Path() + "/bild.bmp", "BMP"));
    const ProgramEnvironment env(dir.Folder());
    TextPrinter printer(env, dir.Path() + "/out", nullptr);
    printer.SetPictureCopies(2);
    printer.PrintTextFile("bild.bmp", true, -1, {});
    ASSERT_EQ(printer.LastPdfFile(), dir.Path() + "/out/bild.pdf");
    ASSERT_TRUE(QFileInfo::exists(printer.LastPdfFile()));
    const QImage page = PdfPage(printer.LastPdfFile(), 20);
    if (page.isNull()) GTEST_SKIP() << "pdftoppm missing";
    // A4 at 20 dpi: 165 × 234, margins 20 and 14, each copy 62 × 46
    auto at = [&page](double x, double y) { return QColor(page.pixel(qRound(x), qRound(y))); };
    EXPECT_TRUE(Near(at(20 + 15, 14 + 23), Qt::red));
    EXPECT_TRUE(Near(at(20 + 46, 14 + 23), Qt::blue));
    EXPECT_TRUE(Near(at(82 + 15, 14 + 23), Qt::red));
    EXPECT_TRUE(Near(at(82 + 46, 14 + 23), Qt::blue));
    EXPECT_TRUE(Near(at(82 + 15, 14 + 60), Qt::white));  // below the pictures the page is empty
    EXPECT_TRUE(Near(at(10, 30), Qt::white));
}

TEST(PicturePrinting, TheClipboardPrintsAt640By480) {
    ScratchDir dir;
    QGuiApplication::clipboard()->setImage(TwoColourPicture({200, 50}));
    const ProgramEnvironment env(dir.Folder());
    TextPrinter printer(env, dir.Path(), nullptr);
    ASSERT_TRUE(printer.PrintPicture("Clipboard.bmp"));
    const QImage page = PdfPage(printer.LastPdfFile(), 20);
    if (page.isNull()) GTEST_SKIP() << "pdftoppm missing";
    // one copy 124 wide and 93 high (4:3, not the clipboard's 4:1)
    EXPECT_TRUE(Near(QColor(page.pixel(50, 14 + 85)), Qt::red));
    EXPECT_TRUE(Near(QColor(page.pixel(120, 14 + 85)), Qt::blue));
    EXPECT_TRUE(Near(QColor(page.pixel(120, 14 + 100)), Qt::white));

    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(printer.PrintPicture("Clipboard.bmp"));
    EXPECT_FALSE(printer.PrintPicture(dir.Path() + "/fehlt.bmp"));
}

TEST(Fractions, FractionsBecomeOneGlyphEach) {
    auto glyph = [](int n, int d) {
        const char32_t c = kFractionGlyphBase + static_cast<char32_t>(n * 32 + d);
        return QString::fromUcs4(&c, 1);
    };
    struct Case {
        QString text, shaped;
    };
    const Case cases[] = {
        {"3/4", glyph(3, 4)},
        {"1/2 + 1/4 = 3/4", glyph(1, 2) + " + " + glyph(1, 4) + " = " + glyph(3, 4)},
        {"20/20 0/5", glyph(20, 20) + " " + glyph(0, 5)},
        {"21/4 1/0 1/21", "21/4 1/0 1/21"},  // beyond the font
        {"12/2024 123/4", "12/2024 123/4"},  // digits running on are no fraction
        {"a/b 3/", "a/b 3/"},
    };
    for (const Case& c : cases) EXPECT_EQ(ShapeFractions(c.text), c.shaped) << c.text.toStdString();
}

TEST(Fractions, TheKitFontPrintsThemUnderItsFaceName) {
    const QString fontFile = test::KitDir() + "/bgi7/zuvurevuz.TTF";
    ASSERT_TRUE(QFileInfo::exists(fontFile));
    ASSERT_TRUE(EnsureFractionFont(fontFile));
    QFont font(QString::fromLatin1(kFractionFontName));
    EXPECT_TRUE(QFontMetrics(font).inFontUcs4(kFractionGlyphBase + 3 * 32 + 4));
    EXPECT_TRUE(QFontMetrics(font).inFontUcs4('7'));

    ScratchDir dir;
    dir.Write("LPTB.TXT", QByteArray("Br\xFC"
                                     "che:\r\n\x1B\xC8\x10"
                                     "1/2 + 1/4 = 3/4\r\n"
                                     "2/3 - 1/6 = 1/2   7/10 + 3/10 = 1   12/20\r\n"
                                     "\x1BP"
                                     "Zur\xFC"
                                     "ck in der Grundschrift: 3/4 bleibt 3/4\r\n"));
    const ProgramEnvironment env(dir.Folder());
    TextPrinter printer(env, dir.Path(), nullptr);
    printer.PrintTextFile("LPTB.TXT", false, -1, {});
    ASSERT_TRUE(QFileInfo::exists(printer.LastPdfFile()));
    QFile::remove(test::OutputDir() + "/fractions.pdf");
    QFile::copy(printer.LastPdfFile(),
                test::OutputDir() + "/fractions.pdf");  // for people to look at
    const QString fonts = PdfFonts(printer.LastPdfFile());
    if (fonts.isEmpty()) GTEST_SKIP() << "pdffonts missing";
    EXPECT_TRUE(fonts.contains("ZUVUREVUZ")) << fonts.toStdString();
}

TEST(PrintCancel, ACancelledJobLeavesNoPdfAndAFinishedOneDoes) {
    ScratchDir dir;
    QByteArray text;
    for (int i = 0; i < 200; ++i) text += "Zeile " + QByteArray::number(i) + "\r\n";  // three pages
    dir.Write("LPTB.TXT", text);
    const ProgramEnvironment env(dir.Folder());
    TextPrinter printer(env, dir.Path() + "/out", nullptr);

    CountingMonitor cancelling(80);  // asked before every line: cancelled before the 80th
    printer.SetJobMonitor(&cancelling);
    printer.PrintTextFile("LPTB.TXT", false, -1, {});
    EXPECT_TRUE(printer.LastJobCancelled());
    EXPECT_TRUE(printer.LastPdfFile().isEmpty());
    EXPECT_EQ(cancelling.started, 1);
    EXPECT_EQ(cancelling.ended, 1);
    EXPECT_EQ(cancelling.asked, 80);  // the job stopped at once
    EXPECT_TRUE(QDir(dir.Path() + "/out").entryList(QDir::Files).isEmpty());

    CountingMonitor patient(0);
    printer.SetJobMonitor(&patient);
    printer.PrintTextFile("LPTB.TXT", false, -1, {});
    EXPECT_FALSE(printer.LastJobCancelled());
    EXPECT_TRUE(QFileInfo::exists(printer.LastPdfFile()));
    EXPECT_GE(patient.asked, 200);
    EXPECT_EQ(patient.ended, 1);

    ASSERT_TRUE(TwoColourPicture({64, 48}).save(dir.Path() + "/bild.bmp", "BMP"));
    CountingMonitor pictureCancel(1);
    printer.SetJobMonitor(&pictureCancel);
    EXPECT_FALSE(printer.PrintPicture(dir.Path() + "/bild.bmp"));
    EXPECT_TRUE(printer.LastJobCancelled());
}
