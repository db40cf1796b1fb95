// Graphics text: justification, outlined text, glyph pictures in texts and text measures.
#include <QFontMetrics>
#include <gtest/gtest.h>

#include "support/rounding.h"
#include "tests/graphics/graphics_fixture.h"

using namespace radevir;
using radevir::test::GraphicsFixture;
using radevir::test::InkBox;

TEST(GraphicsText, CentredTextCoversTheRectangleAroundThePoint) {
    GraphicsFixture f({1000, 600});
    Graphics& g = f.graphics;
    g.SetTextStyle(0, 0, 5);
    g.SetColor(15);
    g.SetTextJustify(1, 1);
    QRect covered;
    g.OutTextXY(320, 240, "Rechnen", &covered);
    // the reported rectangle is centred on the point (640×480 units)
    EXPECT_NEAR(covered.center().x(), 320, 2);
    EXPECT_NEAR(covered.center().y(), 240, 2);
    const QRect ink = InkBox(f.host.framebuffer);
    ASSERT_FALSE(ink.isNull());
    const QRect coveredPx(g.VgaToPixel(covered.topLeft()), g.VgaToPixel(covered.bottomRight()));
    // every inked pixel lies inside the covered rectangle, and the ink is centred on the point
    EXPECT_TRUE(coveredPx.adjusted(-2, -2, 2, 2).contains(ink)) << ink.x() << "," << ink.y();
    const QPoint centre = g.VgaToPixel({320, 240});
    EXPECT_NEAR(ink.center().x(), centre.x(), 4);
    EXPECT_NEAR(ink.top() + ink.height() / 2.0, centre.y(), ink.height() / 3.0);
    EXPECT_NE(f.console.Trace().Dump().find("Rechnen"), std::string::npos);

    // left/top justification starts at the point
    g.SetFillStyle(1, 0);
    g.Bar(0, 0, 639, 479);
    g.SetTextJustify(0, 2);
    g.OutTextXY(100, 100, "Rechnen", &covered);
    EXPECT_EQ(covered.topLeft(), QPoint(100, 100));
    EXPECT_GE(InkBox(f.host.framebuffer).left(), g.VgaToPixel({100, 100}).x());

    // an empty text draws nothing and reports nothing
    g.Bar(0, 0, 639, 479);
    g.OutTextXY(10, 10, "");
    EXPECT_TRUE(InkBox(f.host.framebuffer).isNull());
}

TEST(GraphicsText, OutlinedTextIsTheShapeThickenedByTwoPixels) {
    GraphicsFixture f({800, 600});
    Graphics& g = f.graphics;
    g.SetTextStyle(0, 0, 6);
    g.SetColor(14);
    g.SetTextJustify(0, 2);
    g.OutTextStyled(100, 100, "Il", 0);
    const QRect plain = InkBox(f.host.framebuffer);
    g.SetFillStyle(1, 0);
    g.Bar(0, 0, 639, 479);
    g.OutTextStyled(100, 100, "Il", 1);
    const QRect outlined = InkBox(f.host.framebuffer);
    ASSERT_FALSE(plain.isNull());
    EXPECT_NEAR(outlined.left(), plain.left() - 2, 1);
    EXPECT_NEAR(outlined.right(), plain.right() + 2, 1);
    EXPECT_NEAR(outlined.height(), plain.height() + 4, 2);
    // a solid shape in the one text colour, no antialiased edge
    EXPECT_EQ(f.At(outlined.left() + 1, outlined.center().y()), f.console.Palette()[14]);

    g.Bar(0, 0, 639, 479);
    g.OutTextStyled(100, 100, " ", 1);
    EXPECT_TRUE(InkBox(f.host.framebuffer).isNull());
}

TEST(GraphicsText, FeatureTextDrawsInItsOwnStyleAndRestoresTheCurrentOne) {
    GraphicsFixture f({800, 600});
    Graphics& g = f.graphics;
    g.SetTextStyle(0, 0, 3);
    g.SetColor(15);
    const QFont before = f.console.Canvas().font;
    textfeature feature;
    feature.X = 50;
    feature.Y = 50;
    feature.Size = 30;
    feature.Colour = 4;
    feature.Text = "Zahl";
    feature.FontName = "Courier New";
    g.DrawFeatureText(feature);
    EXPECT_GT(radevir::test::CountColour(f.host.framebuffer, f.host.framebuffer.rect(), f.console.Palette()[4]), 100);
    EXPECT_EQ(f.console.Canvas().font.family(), before.family());
    EXPECT_EQ(f.console.Canvas().font.pointSize(), before.pointSize());
    EXPECT_EQ(g.GetColor(), 15);
    EXPECT_EQ(f.console.Canvas().fontColour, f.console.Palette()[15]);
}

TEST(GraphicsText, GlyphPicturesInTextsAndTheirWidths) {
    GraphicsFixture f({1280, 960});
    Graphics& g = f.graphics;
    g.SetTextStyle(0, 0, 4);
    g.SetColor(10);
    const int aWidth = QFontMetrics([&] {
                           QFont font = f.console.Canvas().font;
                           font.setPixelSize((font.pointSize() * 96 + 36) / 72);
                           return font;
                       }())
                           .horizontalAdvance(QLatin1Char('A'));
    // one frame character with a picture: the pixel width of "A", not converted
    EXPECT_EQ(g.TextWidthVga("\xC4"), aWidth);
    // two of them: the sum of their scaled character widths
    QFont font = f.console.Canvas().font;
    font.setPixelSize((font.pointSize() * 96 + 36) / 72);
    const int charWidth = QFontMetrics(font).horizontalAdvance(QChar(0x00C4));
    const int scaled = Round(charWidth * 640.0 / 1280.0);  // halves to even
    EXPECT_EQ(g.TextWidthVga("\xC4\xC4"), 2 * scaled);
    EXPECT_EQ(g.TextWidthVga("ab"), g.TextWidthVga("a") + g.TextWidthVga("b"));

    // the glyph is drawn as its picture (a bar through the cell) in the text colour
    g.SetTextJustify(0, 2);
    g.OutTextXY(100, 100, "\xC4\xC4");
    const QRect ink = InkBox(f.host.framebuffer);
    EXPECT_EQ(ink.width(), 2 * aWidth);
    EXPECT_LE(ink.height(), 4);
    EXPECT_EQ(f.At(ink.left() + 1, ink.top() + 1), f.console.Palette()[10]);

    // in XOR write mode the same text drawn twice leaves nothing
    g.SetWriteMode(1);
    g.OutTextXY(100, 100, "\xC4\xC4");
    EXPECT_TRUE(InkBox(f.host.framebuffer).isNull());
}

TEST(GraphicsText, MeasuresInVgaUnits) {
    GraphicsFixture f({1280, 960});
    Graphics& g = f.graphics;
    g.SetTextStyle(0, 0, 4);
    const Graphics::GlyphBox two = g.GlyphBoxVga("12");
    EXPECT_GE(two.top, 0);
    EXPECT_GT(two.bottom, two.top);
    const Graphics::GlyphBox one = g.GlyphBoxVga("x");
    EXPECT_GT(one.bottom, one.top);
    EXPECT_LE(one.bottom, two.bottom + 10);
    EXPECT_GT(g.TextAscentVga("A"), 0);

    // FitFontHeight shrinks the font until "Äg" fits 1.2 × the height
    g.SetTextStyle(0, 0, 12);
    g.FitFontHeight(20);
    QFont font = f.console.Canvas().font;
    font.setPixelSize((font.pointSize() * 96 + 36) / 72);
    EXPECT_LE(QFontMetrics(font).height(), g.VgaSizeToPixel({0, 24}).height());
    EXPECT_GT(f.console.Canvas().font.pointSize(), 1);
}

TEST(GraphicsText, SchoolFontJustifiesTheShapedText) {
    GraphicsFixture f({1280, 960});
    Graphics& g = f.graphics;
    const auto& fonts = f.console.FontTable();
    const auto school = std::find(fonts.begin(), fonts.end(), QStringLiteral("ZOZE DOS VA"));
    ASSERT_NE(school, fonts.end()) << "the kit's school font is not installed";
    g.SetTextStyle(static_cast<int>(school - fonts.begin()), 0, 6);
    g.SetColor(15);
    g.SetTextJustify(1, 2);
    QRect covered;
    g.OutTextXY(320, 100, "Fest", &covered);  // drawn, and measured as its shaped form
    EXPECT_FALSE(InkBox(f.host.framebuffer).isNull());
    g.OutTextStyled(320, 200, "Fest", 1);
    EXPECT_EQ(f.console.Trace().Dump().find("Fest") != std::string::npos, true);
}

// Graphics texts are sized for the 640×480 area, whatever the window's shape: a wide window
// shows the same 4:3 area with margins, so after the menu's trip to text mode and back a text
// must measure as on a 4:3 window and still fit the boxes laid out in 640×480 units.
TEST(GraphicsText, SizesFollowThe640x480AreaOnEveryWindowShape) {
    const Bytes task = "34567+65432=99999";
    struct Shape {
        int width_vga = 0;
        int rightInk_px = 0;
        int right639_px = 0;
    };
    auto measure = [&](QSize client, int charSize) {
        GraphicsFixture f(client);
        Graphics& g = f.graphics;
        f.console.SetFontFace(3, QStringLiteral("DARIZODEV"));  // as the program menu does
        g.CloseGraph();  // the menu's start: graphics, text mode, then a program's graphics
        g.InitGraph(0);
        g.SetTextStyle(3, 0, charSize);
        g.SetColor(15);
        g.SetTextJustify(0, 2);
        g.OutTextXY(0, 200, task);
        return Shape{g.TextWidthVga(task), InkBox(f.host.framebuffer).right(),
                     g.VgaToPixel({639, 0}).x()};
    };
    // the largest size at which the task fits the screen's width on a 4:3 window
    int fitting = 4;
    while (fitting < 12 && measure({1280, 960}, fitting + 1).width_vga <= 639) ++fitting;
    const int reference = measure({1280, 960}, fitting).width_vga;

    // windows wider or taller than 4:3 around that same 1280×960 area measure exactly alike
    for (QSize client : {QSize(2560, 960), QSize(1280, 1024)}) {
        const Shape s = measure(client, fitting);
        EXPECT_EQ(s.width_vga, reference) << client.width() << "x" << client.height();
        EXPECT_LE(s.rightInk_px, s.right639_px) << client.width() << "x" << client.height();
    }
    // a full-HD window (a 1440×1080 area): whole font sizes scale in steps, but only by a little
    const Shape wide = measure({1920, 1080}, fitting);
    EXPECT_NEAR(wide.width_vga, reference, reference / 25);
    EXPECT_LE(wide.rightInk_px, wide.right639_px);
    EXPECT_EQ(wide.width_vga, measure({1440, 1080}, fitting).width_vga);
}
