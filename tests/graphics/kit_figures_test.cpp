// The kit's running figure and task markers, read by the program's own picture loader and
// loaded the way a drill run loads them: 55 units high, the standing pose 100 units wide.
#include <gtest/gtest.h>

#include "graphics/picture_loader.h"
#include "tests/graphics/graphics_fixture.h"

using namespace radevir;
using radevir::test::CountColour;
using radevir::test::GraphicsFixture;
using radevir::test::KitDir;

namespace {

constexpr int kPictures = 24;
constexpr int kRunFrames = 22;
constexpr int kStandingPose = 21;
constexpr int kPictureHeight = 55;       // the band below y 421 is 59 units high
constexpr int kStandingPoseWidth = 100;  // the run puts it at goal − 100
constexpr int kMarkerStep = 32;          // one marker per task along the row
constexpr double kCycleAdvance = 72.6;   // where the run puts the next cycle of frames

Bytes FigureFile(int n) { return "bitplane\\schwarz\\brot" + std::to_string(n) + ".png"; }

}  // namespace

TEST(KitFigures, AllPicturesDecodeAndTheFramesShareOneSize) {
    QSizeF frameSize;
    for (int n = 0; n < kPictures; ++n) {
        const QString path = KitDir() + QStringLiteral("/bitplane/schwarz/brot%1.png").arg(n);
        const Picture picture = Picture::FromFile(path);
        ASSERT_TRUE(picture.IsValid()) << n;
        if (n == 0) frameSize = picture.NaturalSize();
        if (n < kRunFrames) {
            EXPECT_EQ(picture.NaturalSize(), frameSize) << n;
        }
    }
}

TEST(KitFigures, LoadedAsTheRunLoadsThemTheyFitTheirBandsAndLeaveNoTrace) {
    GraphicsFixture f({1280, 960}, {}, KitDir().toStdString() + "/");  // two pixels per unit
    Graphics& g = f.graphics;
    const QColor band = f.console.Palette()[9];
    std::array<QImage, kPictures> loaded;
    for (int n = 0; n < kPictures; ++n)
        g.LoadPictureBitmap(loaded[n], band, n == kStandingPose ? kStandingPoseWidth : 0,
                            kPictureHeight, FigureFile(n), false);

    const QSize frame = loaded[0].size();
    const QSize frameUnits = g.PixelSizeToVga(frame);
    EXPECT_EQ(frameUnits.height(), kPictureHeight);
    // the width from the aspect matches the standing pose's fixed width, so standing and
    // running show the child at one scale
    EXPECT_NEAR(frameUnits.width(), kStandingPoseWidth, 1);
    EXPECT_EQ(loaded[kStandingPose].size(), frame);
    for (int marker : {22, 23}) {
        EXPECT_LE(g.PixelSizeToVga(loaded[marker].size()).width(), kMarkerStep - 1) << marker;
        EXPECT_GT(loaded[marker].width(), 0);
    }

    const int cycleStrip = g.VgaSizeToPixel(QSize(static_cast<int>(kCycleAdvance), 0)).width();
    for (int n = 0; n < kPictures; ++n) {
        const QImage& img = loaded[n];
        const int pixels = img.width() * img.height();
        const int bandPixels = CountColour(img, img.rect(), band);
        // drawn on the band colour: the background shows, and so does the picture
        EXPECT_GT(bandPixels, pixels / 2) << n;
        EXPECT_LT(bandPixels, pixels - pixels / 50) << n;
        EXPECT_EQ(img.pixelColor(0, 0), band) << n;
        EXPECT_EQ(img.pixelColor(img.width() - 1, img.height() - 1), band) << n;
    }
    // The next cycle starts 72.6 units on; what the last frame has left of that stays on the
    // screen, so it must be background only.
    const QImage& last = loaded[kRunFrames - 1];
    const QRect strip(0, 0, cycleStrip - 1, last.height());
    EXPECT_EQ(CountColour(last, strip, band), strip.width() * strip.height());
}
