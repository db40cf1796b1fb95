// The kit's running figure and task markers: read by the program's picture loader, and loaded by
// the start of a drill run on each of the band colours.
#include <QDirIterator>
#include <gtest/gtest.h>

#include "exercises/exercise_run.h"
#include "graphics/graphics.h"
#include "graphics/picture_loader.h"
#include "tests/exercises/session_fixture.h"
#include "tests/graphics/graphics_fixture.h"

using namespace radevir;
using radevir::test::CountColour;
using radevir::test::KitDir;

namespace {

constexpr int kRunFrames = 22;
constexpr int kStandingPose = 21;
constexpr int kBandHeight = 59;         // below y 421, and the top band 0 … 59
constexpr int kMarkerStep = 32;         // one marker per task along the row
constexpr int kCycleAdvance = 72;       // the next cycle of frames starts 72.6 units on
const int kMarkers[] = {22, 23};

QString FigureFolder() { return KitDir() + "/bitplane/schwarz"; }

}  // namespace

TEST(KitFigures, AllPicturesDecodeAndTheFramesShareOneSize) {
    QSizeF frameSize;
    for (int n = 0; n < ExerciseRun::kFigurePictures; ++n) {
        const Picture picture = Picture::FromFile(FigureFolder() + QStringLiteral("/brot%1.png").arg(n));
        ASSERT_TRUE(picture.IsValid()) << n;
        if (n == 0) frameSize = picture.NaturalSize();
        if (n < kRunFrames) {
            EXPECT_EQ(picture.NaturalSize(), frameSize) << n;
        }
    }
}

TEST(KitFigures, ARunLoadsThemToFitTheBandOnEveryBandColour) {
    struct Case {
        ProgramCode program;
        int band;  // palette colour behind the pictures
    };
    const Case cases[] = {{ProgramCode::CopyTask, 9}, {ProgramCode::FillInSigns, 5},
                          {ProgramCode::MentalArithmetic, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(ProgramNumber(c.program));
        test::SessionFixture f;
        QDirIterator files(FigureFolder(), {"*.png"}, QDir::Files);
        while (files.hasNext()) {
            QFile file(files.next());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            f.dir.Write("bitplane/schwarz/" + QFileInfo(file).fileName(), file.readAll());
        }
        Graphics graphics(f.console);
        f.session.graphics = &graphics;
        f.session.programCode = c.program;
        f.session.tasks.SetLines({"1+1=2"});
        BeginRun(f.session);

        const auto& pictures = f.session.run.pictures;
        const QColor band = f.console.Palette()[static_cast<size_t>(c.band)];
        const QSize frame = pictures[0].size();
        EXPECT_LE(graphics.PixelSizeToVga(frame).height(), kBandHeight - 2);
        // running and standing show the child at one scale (the standing pose's width is fixed)
        EXPECT_NEAR(pictures[kStandingPose].width(), frame.width(), 1);
        EXPECT_EQ(pictures[kStandingPose].height(), frame.height());
        for (int marker : kMarkers)
            EXPECT_LT(graphics.PixelSizeToVga(pictures[marker].size()).width(), kMarkerStep) << marker;

        for (int n = 0; n < ExerciseRun::kFigurePictures; ++n) {
            const QImage& img = pictures[static_cast<size_t>(n)];
            ASSERT_FALSE(img.isNull()) << n;
            if (n < kRunFrames) {
                EXPECT_EQ(img.size(), frame) << n;
            }
            // drawn on the band colour: both the background and the picture show
            const int pixels = img.width() * img.height();
            const int bandPixels = CountColour(img, img.rect(), band);
            EXPECT_GT(bandPixels, pixels / 2) << n;
            EXPECT_LT(bandPixels, pixels - pixels / 50) << n;
            EXPECT_EQ(img.pixelColor(0, 0), band) << n;
        }
        // What the last frame of a cycle has where the next cycle does not cover it stays on
        // the screen: background only.
        const QImage& last = pictures[kRunFrames - 1];
        const QRect strip(0, 0, graphics.VgaSizeToPixel({kCycleAdvance, 0}).width(), last.height());
        EXPECT_EQ(CountColour(last, strip, band), strip.width() * strip.height());
    }
}
