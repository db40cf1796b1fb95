// The drawn picture of text screens, pixel for pixel, against pictures kept beside this file:
// letters, frame glyphs, colours, windows, wrapping and graphics-mode text all in one screen.
#include <QFile>
#include <QPainter>
#include <gtest/gtest.h>

#include "console/console.h"
#include "tests/console/fake_host.h"
#include "tests/test_support.h"

using namespace radevir;

namespace {

// A glyph picture with a bar down the middle and one across (like ┼), or only across.
GlyphSource CrossGlyph(const std::string& name, bool vertical) {
    return GlyphSource{name, [vertical](QSize s) {
                           QImage img(s, QImage::Format_ARGB32);
                           img.fill(Qt::transparent);
                           QPainter p(&img);
                           p.fillRect(QRect(0, s.height() / 2 - 1, s.width(), 3), Qt::black);
                           if (vertical) p.fillRect(QRect(s.width() / 2 - 1, 0, 3, s.height()), Qt::black);
                           return img;
                       }};
}

std::vector<GlyphSource> FrameGlyphs() {
    return {CrossGlyph("196", false), CrossGlyph("205", false), CrossGlyph("179", true),
            CrossGlyph("218", true),  CrossGlyph("191", true),  CrossGlyph("177", true),
            CrossGlyph("197", true)};
}

// Compares with the expected picture; a mismatch leaves the actual picture beside it.
void ExpectPicture(const QImage& actual, const QString& name) {
    const QString dir = QStringLiteral(RADEVIR_TEST_SOURCE_DIR) + "/console/";
    const QImage expected(dir + name + ".png");
    const QImage got = actual.convertToFormat(QImage::Format_RGB32);
    const bool same = !expected.isNull() && expected.convertToFormat(QImage::Format_RGB32) == got;
    if (!same) got.save(dir + name + ".actual.png");
    EXPECT_TRUE(same) << "see " << qPrintable(dir + name) << ".actual.png";
}

void WriteTextScreen(Console& c) {
    c.TextBackground(1);
    c.ClrScr();
    const Bytes frame = "\xDA" + Bytes(38, '\xC4') + "\xBF";
    for (int row = 1; row <= 12; ++row) {
        c.GotoXY(1, row);
        c.TextColor(row % 15 + 1);
        c.Write(row % 2 == 1 ? frame : Bytes("\xB3 Kopfrechnen 12 + 35 = 47 \xB1\xB1\xB1 \xB3"));
    }
    c.TextColor(15);
    c.GotoXY(1, 13);
    c.Write("Übertrag ÄÖÜ äöü ß – €§°²³µ «»"_b, " zwei Werte"_b, 42);  // values continue at the pen
    c.GotoXY(1, 14);
    c.Write(Bytes("\x80\x81\x96\x01 Ende"));                 // 0x80 shows as Ç, odd bytes too
    c.SetOemConversionOff(true);
    c.GotoXY(30, 14);
    c.Write(Bytes("\x80\x81\x96\x01 Ende"));                 // the en dash is drawn long
    c.TextColor(20);                                         // italic and underlined
    c.GotoXY(1, 15);
    c.Write("blinkt rot ═══ und fährt fort"_b);
    c.TextColor(14);
    c.GotoXY(76, 16);
    c.Write("Randtext"_b);                                  // letters run past the edge
    c.GotoXY(77, 17);
    c.Write(Bytes(6, '\xC4'));                               // glyphs wrap
    c.Window(41, 2, 70, 10);
    c.TextBackground(2);
    c.ClrScr();
    c.TextColor(11);
    for (int i = 0; i < 12; ++i) c.Writeln("Fenster Zeile "_b, i, " ─┼─"_b);  // scrolls
    c.Window(1, 1, 80, 25);
    c.Graphics().xorWriteMode = true;
    c.GotoXY(1, 20);
    c.TextColor(12);
    c.Write(Bytes(5, '\xC5') + "\xB3\xB3");
    c.Graphics().xorWriteMode = false;
}

}  // namespace

TEST(ConsoleScreen, TextModeScreenIsDrawnPixelForPixel) {
    test::FakeHost host(QSize(1042, 627));  // cells of 13 × 25 pixels
    VirtualClock clock;
    ProgramEnvironment env("/x/", "radevir");
    Console c(host, clock, env);
    c.InitConsole(FrameGlyphs());
    c.EnterTextMode();
    WriteTextScreen(c);
    ExpectPicture(host.framebuffer, QStringLiteral("text_screen_expected"));
}

TEST(ConsoleScreen, GraphicsModeTextIsDrawnTransparentlyPixelForPixel) {
    test::FakeHost host(QSize(640, 480));
    VirtualClock clock;
    ProgramEnvironment env("/x/", "radevir");
    Console c(host, clock, env);
    c.InitConsole(FrameGlyphs());  // graphics mode until the first switch to text mode
    {
        QPainter p(&host.framebuffer);
        QLinearGradient gradient(0, 0, 640, 480);
        gradient.setColorAt(0, Qt::darkGreen);
        gradient.setColorAt(1, Qt::darkMagenta);
        p.fillRect(host.framebuffer.rect(), gradient);
    }
    c.Window(1, 1, 80, 30);
    c.TextColor(15);
    for (int row = 1; row <= 6; ++row) {
        c.GotoXY(3, row * 2);
        c.TextColor(row + 8);
        c.Write("Grafik über dem Bild ─┼─ 1234567890 äöü"_b);
    }
    ExpectPicture(host.framebuffer, QStringLiteral("graphics_text_expected"));
}
