// Fitting, colours and styles, and the drawing primitives on the framebuffer.
#include <gtest/gtest.h>

#include "tests/graphics/graphics_fixture.h"

using namespace radevir;
using radevir::test::CountColour;
using radevir::test::GraphicsFixture;
using radevir::test::InkBox;

TEST(GraphicsFitting, KeepAspectAndStretchedConversions) {
    GraphicsFixture f({1000, 600});
    Graphics& g = f.graphics;
    EXPECT_EQ(g.VirtualSize(), QSize(800, 600));
    EXPECT_EQ(g.VirtualOrigin(), QPoint(100, 0));
    struct Case {
        bool keep;
        QPoint vga, pixel;
    };
    const Case cases[] = {
        {true, {0, 0}, {100, 0}},      {true, {640, 480}, {900, 600}},
        {true, {320, 240}, {500, 300}}, {true, {-10, 500}, {88, 625}},  // no clamping
        {false, {0, 0}, {0, 0}},        {false, {640, 480}, {1000, 600}},
        {false, {700, -5}, {1000, -6}},  // x clamped to 640, y only from above
        {false, {320, 240}, {500, 300}},
    };
    for (const Case& c : cases) {
        g.SetKeepAspect(c.keep);
        EXPECT_EQ(g.VgaToPixel(c.vga), c.pixel) << c.keep << " " << c.vga.x() << "," << c.vga.y();
    }
    g.SetKeepAspect(true);
    EXPECT_EQ(g.PixelToVga({900, 600}), QPoint(640, 480));
    EXPECT_EQ(g.PixelToVga({50, 0}), QPoint(-40, 0));  // the margin lies left of the area
    g.SetKeepAspect(false);
    EXPECT_EQ(g.PixelToVga({500, 300}), QPoint(320, 240));
}

TEST(GraphicsFitting, TallClientGetsMarginsAboveAndBelow) {
    GraphicsFixture f({1280, 1024});
    EXPECT_EQ(f.graphics.VirtualSize(), QSize(1280, 960));
    EXPECT_EQ(f.graphics.VirtualOrigin(), QPoint(0, 32));
}

TEST(GraphicsBar, FullBarsCoverTheMarginsSmallBarsOnlyTheirPart) {
    GraphicsFixture f({1000, 600});
    Graphics& g = f.graphics;
    const QColor red = f.console.Palette()[4];
    g.SetFillStyle(1, 4);
    g.Bar(0, 0, 639, 479);
    EXPECT_EQ(CountColour(f.host.framebuffer, f.host.framebuffer.rect(), red), 1000 * 600);

    g.SetFillStyle(1, 0);
    g.Bar(0, 0, 639, 479);
    g.SetFillStyle(1, 15);
    g.Bar(10, 10, 100, 100);
    // (10,10)…(101,101) exclusive in 640×480 units: pixels 112…225 across, 12…125 down
    EXPECT_EQ(InkBox(f.host.framebuffer), QRect(QPoint(112, 12), QPoint(225, 125)));

    // a full-width band at the top reaches both side margins and the top edge
    g.SetFillStyle(1, 0);
    g.Bar(0, 0, 639, 479);
    g.SetFillStyle(1, 15);
    g.Bar(0, 1, 639, 20);
    EXPECT_EQ(InkBox(f.host.framebuffer), QRect(QPoint(0, 0), QPoint(999, 25)));
}

TEST(GraphicsColours, SetColorSetBkColorAndFillStyles) {
    GraphicsFixture f({800, 600});
    Graphics& g = f.graphics;
    Console& c = f.console;
    g.SetColor(22);
    EXPECT_EQ(c.Canvas().penColour, QColor(144, 144, 128));
    EXPECT_EQ(g.GetColor(), 22);
    g.SetColor(200);  // beyond every table: black, no crash
    EXPECT_EQ(c.Canvas().penColour, QColor(Qt::black));

    g.SetBkColor(3);
    EXPECT_EQ(c.Palette()[16], c.DefaultPalette()[3]);
    EXPECT_EQ(g.GetBkColor(), 3);

    struct Case {
        int pattern, colour;
        QColor expected;
        Qt::BrushStyle style;
    };
    const Case cases[] = {
        {1, 18, QColor(0, 32, 64), Qt::SolidPattern},      // extended colour above 16
        {1, 4, QColor(255, 0, 0), Qt::SolidPattern},       // palette colour
        {0, 5, QColor(0, 192, 160), Qt::SolidPattern},     // background colour (set to 3 above)
        {3, 19, QColor(128, 64, 255), Qt::SolidPattern},
        {5, 20, QColor(48, 48, 96), Qt::FDiagPattern},
        {8, 21, QColor(48, 96, 144), Qt::CrossPattern},
        {9, 64, QColor(128, 64, 0), Qt::BDiagPattern},
        {15, 22, QColor(144, 144, 128), Qt::DiagCrossPattern},
        {42, 14, QColor(255, 255, 64), Qt::SolidPattern},  // any other pattern: solid
    };
    for (const Case& k : cases) {
        g.SetFillStyle(1, 0);
        g.Bar(0, 0, 639, 479);
        g.SetFillStyle(k.pattern, k.colour);
        EXPECT_EQ(g.GetFillColor(), k.colour);
        g.Bar(100, 100, 131, 131);
        const QRect inside(QPoint(125, 125), QPoint(164, 164));
        const int filled = CountColour(f.host.framebuffer, inside, k.expected);
        if (k.style == Qt::SolidPattern) {
            EXPECT_EQ(filled, 40 * 40) << k.pattern;
        } else {
            // hatches draw lines in the colour and leave the rest as it was
            EXPECT_GT(filled, 40 * 40 / 10) << k.pattern;
            EXPECT_LT(filled, 40 * 40 / 2) << k.pattern;
        }
    }
    // pattern 100 is a clear brush: Bar draws nothing
    g.SetFillStyle(1, 0);
    g.Bar(0, 0, 639, 479);
    g.SetFillStyle(100, 4);
    g.Bar(100, 100, 131, 131);
    EXPECT_TRUE(InkBox(f.host.framebuffer).isNull());
}

TEST(GraphicsColours, SetColorInTextModeAlsoSetsTheTextColour) {
    GraphicsFixture f({800, 600});
    f.graphics.CloseGraph();
    f.graphics.SetColor(20);
    f.graphics.SetColor(7);
    EXPECT_EQ(f.console.Canvas().fontColour, QColor(160, 160, 160));
    EXPECT_FALSE(f.console.Canvas().font.italic());  // TextColor(7) took the blink style away
    EXPECT_EQ(f.console.CurrentColour(), 7);
}

TEST(GraphicsStyles, LineWidthsAndWriteMode) {
    GraphicsFixture f({1200, 900});  // VirtualWidth 1200
    Graphics& g = f.graphics;
    struct Case {
        int style, thickness, width;
        Qt::PenStyle pen;
    };
    const Case cases[] = {{0, 1, 1, Qt::SolidLine}, {1, 3, 6, Qt::SolidLine},
                          {3, 3, 1, Qt::DashLine},  {0, 0, 1, Qt::SolidLine}};
    for (const Case& c : cases) {
        g.SetLineStyle(c.style, 0, c.thickness);
        EXPECT_EQ(f.console.Canvas().penWidth, c.width) << c.style << "/" << c.thickness;
        EXPECT_EQ(f.console.Canvas().penStyle, c.pen);
    }
    g.SetWriteMode(1);
    EXPECT_TRUE(f.console.Graphics().xorWriteMode);
    g.SetWriteMode(7);  // not a mode: unchanged
    EXPECT_TRUE(f.console.Graphics().xorWriteMode);
    g.SetWriteMode(0);
    EXPECT_FALSE(f.console.Canvas().penXor);
}

TEST(GraphicsStyles, TextStyleSizesAndBoldRule) {
    GraphicsFixture f({800, 600});
    Graphics& g = f.graphics;
    const auto& sizes = f.console.TextSizeTable();
    const auto& fonts = f.console.FontTable();
    struct Case {
        int font, charSize, size;
    };
    const Case cases[] = {
        {3, 2, sizes[2] - 1},              // font 3 takes one size less
        {1, 2, sizes[2]},
        {0, 0, 10},                        // size 10: not bold
        {2, 1, sizes[1]},
        {1, 13, 2 * sizes[10] + 4 * 13},   // beyond the table
    };
    for (const Case& c : cases) {
        g.SetTextStyle(c.font, 0, c.charSize);
        const QFont& font = f.console.Canvas().font;
        EXPECT_EQ(font.family(), fonts[static_cast<size_t>(c.font)]) << c.font << "/" << c.charSize;
        EXPECT_EQ(font.pointSize(), c.size) << c.font << "/" << c.charSize;
        EXPECT_EQ(font.bold(), c.size < 10) << c.font << "/" << c.charSize;
    }
    g.SetTextStyle(99, 0, -4);  // unknown font keeps the name; a negative size reads entry 0
    EXPECT_EQ(f.console.Canvas().font.family(), fonts[1]);
    EXPECT_EQ(f.console.Canvas().font.pointSize(), 10);
}

TEST(GraphicsArcs, EqualAnglesDrawNothingOtherArcsTurnCounterClockwise) {
    GraphicsFixture f({640, 480});
    Graphics& g = f.graphics;
    g.SetColor(15);
    g.EllipseArc(320, 240, 45, 45, 100, 50);
    EXPECT_TRUE(InkBox(f.host.framebuffer).isNull());

    g.EllipseArc(320, 240, 0, 90, 100, 50);  // the upper right quarter
    const QRect box = InkBox(f.host.framebuffer);
    EXPECT_GE(box.left(), 318);
    EXPECT_LE(box.bottom(), 242);
    EXPECT_GE(box.right(), 418);
    EXPECT_LE(box.top(), 191);

    g.SetFillStyle(1, 0);
    g.Bar(0, 0, 639, 479);
    g.Arc(320, 240, -90, 0, 40);  // negative angles count from 360: the lower right quarter
    const QRect lower = InkBox(f.host.framebuffer);
    EXPECT_GE(lower.top(), 238);
    EXPECT_GE(lower.left(), 318);
    EXPECT_GE(lower.bottom(), 279);
}

TEST(GraphicsBar3D, XorTwiceRestoresThePictureCopyModeKeepsTheSurroundings) {
    GraphicsFixture f({800, 600});
    Graphics& g = f.graphics;
    // a busy background
    for (int i = 0; i < 16; ++i) {
        g.SetFillStyle(1, i);
        g.Bar(i * 40, 0, i * 40 + 39, 479);
    }
    const QImage before = f.host.framebuffer.copy();
    g.SetFillStyle(1, 14);
    g.SetColor(15);
    g.SetWriteMode(1);
    g.Bar3D(100, 100, 300, 200, 20, true);
    EXPECT_NE(f.host.framebuffer, before);
    g.Bar3D(100, 100, 300, 200, 20, true);
    EXPECT_EQ(f.host.framebuffer, before);

    g.SetWriteMode(0);
    g.Bar3D(100, 100, 300, 200, 20, true);
    const QPoint a = g.VgaToPixel({100, 100});
    const QPoint b = g.VgaToPixel({300, 200});
    // the front face sits where Bar would put it; above-left of the top face nothing changed
    EXPECT_EQ(f.At(a.x() + 5, a.y() + 5), f.console.Palette()[14]);
    EXPECT_EQ(f.At(b.x() - 5, b.y() - 5), f.console.Palette()[14]);
    EXPECT_EQ(f.At(a.x() + 2, a.y() - 18), before.pixelColor(a.x() + 2, a.y() - 18));
    EXPECT_EQ(f.At(a.x() - 1, b.y()), before.pixelColor(a.x() - 1, b.y()));
}

TEST(GraphicsImages, PutImageIsCutAtTheRightEdgeOfTheArea) {
    GraphicsFixture f({1000, 600});
    Graphics& g = f.graphics;
    QImage sprite(100, 40, QImage::Format_RGB32);
    sprite.fill(Qt::green);
    g.PutImage(620, 100, sprite);
    const QPoint at = g.VgaToPixel({620, 100});  // x 875, the area ends at 900
    EXPECT_EQ(InkBox(f.host.framebuffer), QRect(QPoint(at.x(), at.y()), QPoint(899, at.y() + 39)));

    // GetImage copies inclusive corners back
    QImage copy;
    g.GetImage(620, 100, 630, 110, copy);
    const QPoint end = g.VgaToPixel({630, 110});
    EXPECT_EQ(copy.size(), QSize(end.x() - at.x() + 1, end.y() - at.y() + 1));
    EXPECT_EQ(copy.pixelColor(0, 0), QColor(Qt::green));

    // without KeepAspect nothing is cut
    g.SetKeepAspect(false);
    g.PutImage(620, 300, sprite);
    const QPoint at2 = g.VgaToPixel({620, 300});
    EXPECT_EQ(f.At(999, at2.y() + 1), QColor(Qt::green));
}

TEST(GraphicsImages, MaskedSpriteShowsOnlyItsShape) {
    GraphicsFixture f({640, 480});
    Graphics& g = f.graphics;
    g.SetFillStyle(1, 1);
    g.Bar(0, 0, 639, 479);
    QImage image(10, 10, QImage::Format_RGB32), mask(10, 10, QImage::Format_RGB32);
    image.fill(Qt::black);
    mask.fill(Qt::white);
    for (int i = 0; i < 10; ++i) {
        image.setPixelColor(i, i, Qt::yellow);
        mask.setPixelColor(i, i, Qt::black);
    }
    g.PutMaskedImage(50, 50, image, mask);
    EXPECT_EQ(f.At(53, 53), QColor(Qt::yellow));
    EXPECT_EQ(f.At(54, 53), f.console.Palette()[1]);
}

TEST(GraphicsLines, ThickAndHorizontalLines) {
    GraphicsFixture f({1200, 900});  // thick pen: 2 pixels
    Graphics& g = f.graphics;
    g.SetColor(15);
    g.HorizontalLine(100, true);
    const int row = g.VgaToPixel({0, 100}).y();
    const QRect thick = InkBox(f.host.framebuffer);
    EXPECT_EQ(thick.left(), 0);
    EXPECT_EQ(thick.right(), 1199);
    EXPECT_EQ(thick.height(), 3);  // two 2-pixel lines, the second one pixel higher
    EXPECT_TRUE(thick.contains(0, row));
    g.SetFillStyle(1, 0);
    g.Bar(0, 0, 639, 479);
    g.HorizontalLine(100, false);
    EXPECT_EQ(InkBox(f.host.framebuffer), QRect(0, row, 1200, 1));
    g.SetFillStyle(1, 0);
    g.Bar(0, 0, 639, 479);
    g.Rectangle(10, 10, 20, 20);
    const QPoint a = g.VgaToPixel({10, 10}), b = g.VgaToPixel({20, 20});
    EXPECT_EQ(InkBox(f.host.framebuffer), QRect(a, b));
    EXPECT_EQ(f.At(a.x() + 5, a.y() + 5), QColor(Qt::black));  // outline only
}
