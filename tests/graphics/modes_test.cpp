// Mode switching, start-up values, panels, printing, full-screen mode, and the reference scene
// that people look at.
#include <QPainter>
#include <gtest/gtest.h>

#include "tests/graphics/graphics_fixture.h"

using namespace radevir;
using radevir::test::CountColour;
using radevir::test::GraphicsFixture;
using radevir::test::InkBox;
using radevir::test::ScratchDir;

namespace {

struct RecordingPanels : PanelHostPort {
    std::vector<int> open;
    void CreatePanel(int id, QRect, const Bytes&) override { open.push_back(id); }
    void RemovePanel(int id) override { std::erase(open, id); }
};

struct RecordingPrinter : TextPrinterPort {
    Bytes file;
    bool convert = false;
    int printer = -9;
    Bytes name;
    void PrintTextFile(const Bytes& f, bool c, int p, const Bytes& n) override {
        file = f;
        convert = c;
        printer = p;
        name = n;
    }
};

struct RecordingWindow : FullScreenWindowPort {
    bool allow = true;
    int enters = 0, leaves = 0;
    bool EnterFullScreenWindow() override {
        ++enters;
        return allow;
    }
    void LeaveFullScreenWindow() override { ++leaves; }
};

}  // namespace

TEST(GraphicsModes, StartUpValuesAndTheRegionBaseSwitch) {
    ScratchDir dir;
    dir.Write("maustxt/radevir.mtb", "1 10 1 1 65\r\n1 10 2 2 66\r\n");
    GraphicsFixture f({800, 600}, {}, dir.Folder());
    Graphics& g = f.graphics;
    EXPECT_EQ(g.PrinterTextFile(), dir.Folder() + "LPTB.TXT");
    MouseRegionTable& regions = f.console.Regions();
    EXPECT_EQ(regions.Count(), 2);
    EXPECT_EQ(regions.Base(), 2);  // InitGraph: the text screens' regions stop answering

    RecordingPanels panels;
    g.SetPanelHost(&panels);
    g.PlacePanel(QRect(10, 10, 100, 50), "nicht darstellbar");
    g.PlacePanel(QRect(10, 100, 100, 50), "zweites");
    EXPECT_EQ(panels.open.size(), 2u);

    g.SetWriteMode(1);
    g.CloseGraph();
    EXPECT_FALSE(f.console.Graphics().graphicsMode);
    EXPECT_FALSE(f.console.Graphics().xorWriteMode);
    EXPECT_EQ(regions.Base(), 0);
    EXPECT_TRUE(panels.open.empty());
    EXPECT_EQ(g.PanelCount(), 0);
    EXPECT_EQ(f.console.Canvas().font.family(), QStringLiteral("Courier New"));
    EXPECT_EQ(f.console.CurrentColour(), 15);

    // InitGraph(1): graphics grid of 80×30 cells, opaque console text, the area in colour 1
    g.InitGraph(1);
    EXPECT_TRUE(f.console.Graphics().graphicsMode);
    EXPECT_TRUE(f.console.Graphics().opaqueText);
    EXPECT_EQ(f.console.CellHeight(), 20);
    EXPECT_EQ(f.console.Trace().Rows(), 30);
    EXPECT_EQ(CountColour(f.host.framebuffer, f.host.framebuffer.rect(), f.console.Palette()[1]), 800 * 600);
    const Graphics::TextSettings t = g.GetTextSettings();
    EXPECT_EQ(t.font, 3);
    EXPECT_EQ(t.vertical, 2);
}

TEST(GraphicsModes, DrawTargetPagesAndPrinting) {
    GraphicsFixture f({640, 480});
    Graphics& g = f.graphics;
    g.SelectDrawTarget(2);
    ASSERT_TRUE(f.console.HasScreenPage(2));
    g.SetFillStyle(1, 4);
    g.Bar(10, 10, 20, 20);
    EXPECT_TRUE(InkBox(f.host.framebuffer).isNull());  // the window stays as it was
    EXPECT_EQ(f.console.ScreenPage(2)->pixelColor(15, 15), QColor(255, 0, 0));
    g.SelectDrawTarget(-1);
    g.Bar(10, 10, 20, 20);
    EXPECT_EQ(f.At(15, 15), QColor(255, 0, 0));

    RecordingPrinter printer;
    g.PrintPrinterTextFile({});  // no printer attached: nothing happens
    g.SetTextPrinter(&printer);
    f.console.SetOemConversionOff(false);
    g.PrintPrinterTextFile(PrintJob{3, "Zeugnis Lea 2026-12-11"});
    EXPECT_EQ(printer.file, "/nonexistent/kit/LPTB.TXT");
    EXPECT_TRUE(printer.convert);
    EXPECT_EQ(printer.printer, 3);
    EXPECT_EQ(printer.name, "Zeugnis Lea 2026-12-11");
    f.console.SetOemConversionOff(true);
    g.PrintPrinterTextFile({});
    EXPECT_FALSE(printer.convert);
}

TEST(GraphicsFullScreen, BackBufferFlipsAndTheHostCanLeave) {
    GraphicsFixture f({640, 480});
    Graphics& g = f.graphics;
    RecordingWindow window;
    g.SetFullScreenWindow(&window);
    f.console.SaveScreenPage(0);
    g.EnterFullScreen();
    const GraphicsSettings& s = f.console.Graphics();
    ASSERT_TRUE(s.directDrawReady);
    EXPECT_TRUE(s.fullScreenActive);
    EXPECT_EQ(window.enters, 1);
    EXPECT_FALSE(f.console.HasScreenPage(0));  // pages 0–4 are freed

    // a frame: picture on page 1, restored onto the back buffer, then flipped onto the screen
    g.SetFillStyle(1, 12);
    g.Bar(0, 0, 639, 479);
    f.console.SaveScreenPage(1);
    g.SetFillStyle(1, 0);
    g.Bar(0, 0, 639, 479);
    const int repaints = f.host.repaints;
    g.RestoreScreenPageToTarget(1, false);
    EXPECT_EQ(f.At(5, 5), QColor(Qt::black));  // not on the screen yet
    g.Flip();
    EXPECT_EQ(f.At(5, 5), f.console.Palette()[12]);
    EXPECT_GT(f.host.repaints, repaints);

    // a part of a page
    f.console.SaveScreenPage(3);
    g.RestoreScreenPageRect(1, false, QRect(0, 0, 10, 10));
    ASSERT_NE(g.BackBuffer(), nullptr);

    // the host window leaves full-screen mode on a resize or deactivation
    ASSERT_TRUE(f.console.HasFullScreenExit());
    f.console.LeaveFullScreen();
    EXPECT_FALSE(s.directDrawReady);
    EXPECT_EQ(window.leaves, 1);
    EXPECT_EQ(g.BackBuffer(), nullptr);
    // restores go to the window again
    g.SetFillStyle(1, 0);
    g.Bar(0, 0, 639, 479);
    g.RestoreScreenPageToTarget(1, true);
    EXPECT_EQ(f.At(5, 5), f.console.Palette()[12]);
    EXPECT_FALSE(f.console.HasScreenPage(1));

    g.LeaveFullScreenMode();
    EXPECT_FALSE(s.fullScreenActive);
    EXPECT_FALSE(f.console.HasScreenPage(3));
}

TEST(GraphicsFullScreen, FailedSetUpKeepsDrawingOnTheWindow) {
    GraphicsFixture f({640, 480});
    RecordingWindow window;
    window.allow = false;
    f.graphics.SetFullScreenWindow(&window);
    f.graphics.EnterFullScreen();
    EXPECT_FALSE(f.console.Graphics().directDrawReady);
    EXPECT_FALSE(f.console.Graphics().fullScreenActive);
    EXPECT_EQ(f.graphics.BackBuffer(), nullptr);
    f.graphics.Flip();  // harmless
    f.graphics.LeaveFullScreenMode();
    EXPECT_EQ(window.leaves, 0);
}

TEST(GraphicsScene, ReferenceSceneAt1280x1024) {
    ScratchDir dir;
    {
        QImage picture(120, 80, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(255, 200, 0));
        p.setPen(QPen(QColor(160, 60, 0), 4));
        p.drawEllipse(QRect(4, 4, 112, 72));
        p.end();
        picture.save(dir.Path() + "/sonne.png");
    }
    GraphicsFixture f({1280, 1024}, test::KitGlyphs(), dir.Folder());
    Graphics& g = f.graphics;
    Console& c = f.console;
    g.InitGraph(1);

    // bars: full-width title band and the hatch patterns with their numbers
    g.SetFillStyle(1, 21);
    g.Bar(0, 0, 639, 40);
    const int patterns[] = {1, 3, 5, 7, 9, 11, 0, 100};
    for (int i = 0; i < 8; ++i) {
        g.SetFillStyle(patterns[i], i == 0 ? 4 : 19 + i % 3);
        g.Bar(20 + i * 75, 60, 80 + i * 75, 120);
        g.SetColor(15);
        g.Rectangle(20 + i * 75, 60, 80 + i * 75, 120);
    }
    g.SetFillStyle(1, 12);
    g.SetColor(15);
    g.Bar3D(40, 170, 140, 260, 15, true);
    g.SetFillStyle(1, 10);
    g.Bar3D(170, 200, 250, 260, 15, true);

    // ellipses and arcs
    g.SetFillStyle(1, 13);
    g.SetColor(14);
    g.FillEllipse(340, 215, 50, 35);
    g.SetLineStyle(0, 0, 3);
    g.SetColor(11);
    g.EllipseArc(460, 215, 30, 240, 60, 40);
    g.Arc(560, 215, 90, 360, 40);
    g.SetLineStyle(3, 0, 1);
    g.Line(20, 290, 620, 290);
    g.SetLineStyle(0, 0, 1);
    g.ThickLine(20, 296, 620, 296, true);

    // justified and outlined text, a glyph-picture frame inside a text
    g.SetTextStyle(0, 0, 6);
    g.SetColor(15);
    g.SetTextJustify(1, 1);
    g.OutTextXY(320, 20, "Kopfrechnen \xFC" "ben");
    g.SetTextJustify(0, 2);
    g.SetTextStyle(1, 0, 5);
    g.SetColor(14);
    g.OutTextStyled(30, 310, "345 + 1278 =", 1);
    g.SetColor(1);
    g.OutTextStyled(30, 310, "345 + 1278 =", 0);
    g.SetTextStyle(0, 0, 4);
    g.SetColor(10);
    g.SetTextJustify(2, 0);
    g.OutTextXY(500, 460, "\xDA\xC4\xC4\xC4\xC4\xBF rechts");
    const auto& fonts = c.FontTable();
    const auto school = std::find(fonts.begin(), fonts.end(), QStringLiteral("ZOZE DOS VA"));
    if (school != fonts.end()) {
        g.SetTextStyle(static_cast<int>(school - fonts.begin()), 0, 5);
        g.SetTextJustify(0, 2);
        g.SetColor(15);
        g.OutTextXY(30, 400, "Fest Haus Katze");
    }

    // a PNG picture and a masked sprite of the same picture
    QImage sun;
    g.LoadPictureBitmap(sun, c.Palette()[1], 0, 60, "sonne.png", false);
    g.PutImage(520, 320, sun);
    QImage sprite(sun.size(), QImage::Format_RGB32), mask;
    g.LoadMaskedPicture(sprite, &mask, "sonne.png");
    g.PutMaskedImage(520, 400, sprite, mask);

    const QString out = test::OutputDir() + "/graphics_reference_scene.png";
    ASSERT_TRUE(f.host.framebuffer.save(out));
    // the margins above and below the 4:3 area are only touched by full-width bars
    EXPECT_EQ(f.At(640, 1020), c.Palette()[1]);
    EXPECT_EQ(f.At(640, 5), c.ExtendedColours()[21]);
}
