// Picture files: PNG and JPEG through their libraries, metafiles, and broken files.
#include <QBuffer>
#include <QPainter>
#include <gtest/gtest.h>

#include "graphics/picture_loader.h"
#include "tests/graphics/graphics_fixture.h"

using namespace radevir;
using radevir::test::CountColour;
using radevir::test::GraphicsFixture;
using radevir::test::ScratchDir;

namespace {

// A 200×100 picture: red, with a transparent band at the top when `alpha`.
QByteArray Encoded(const char* format, bool alpha) {
    QImage image(200, 100, QImage::Format_ARGB32);
    image.fill(QColor(255, 0, 0));
    if (alpha) {
        QPainter p(&image);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(0, 0, 200, 20, Qt::transparent);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 95);
    return bytes;
}

bool Near(QColor a, QColor b, int tolerance = 12) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

}  // namespace

TEST(Pictures, DecodersReadTheirFormatsAndRefuseBrokenBytes) {
    const QImage png = DecodePng(Encoded("PNG", true));
    ASSERT_EQ(png.size(), QSize(200, 100));
    EXPECT_EQ(qAlpha(png.pixel(5, 5)), 0);
    EXPECT_EQ(png.pixelColor(100, 60), QColor(255, 0, 0));
    const QImage jpeg = DecodeJpeg(Encoded("JPEG", false));
    ASSERT_EQ(jpeg.size(), QSize(200, 100));
    EXPECT_TRUE(Near(jpeg.pixelColor(100, 50), QColor(255, 0, 0)));

    QByteArray corrupt = Encoded("PNG", false);
    corrupt.truncate(60);
    const QByteArray cases[] = {corrupt, QByteArray("\x89PNG\r\n\x1A\n garbage"), QByteArray(),
                                QByteArray("\xFF\xD8\xFF\xE0 not a jpeg"), QByteArray(100000, '\xFF')};
    for (const QByteArray& bytes : cases) {
        EXPECT_TRUE(DecodePng(bytes).isNull());
        EXPECT_TRUE(DecodeJpeg(bytes).isNull());
        EXPECT_FALSE(Picture::FromBytes(bytes).IsValid());
    }
}

TEST(Pictures, PngAndJpegFillBitmapsWithAspectFitting) {
    ScratchDir dir;
    dir.Write("bitplane/Rot.png", Encoded("PNG", false));
    dir.Write("bitplane/rot.jpg", Encoded("JPEG", false));
    GraphicsFixture f({800, 600}, {}, dir.Folder());  // 1.25 pixels per unit
    Graphics& g = f.graphics;
    const QColor blue(0, 0, 255);
    for (const char* file : {"bitplane\\rot.png", "BITPLANE\\ROT.JPG"}) {
        SCOPED_TRACE(file);
        // width 0: from the picture's aspect (2:1) at the given height
        QImage bitmap;
        g.LoadPictureBitmap(bitmap, blue, 0, 80, file, false);
        EXPECT_EQ(bitmap.size(), QSize(200, 100));
        EXPECT_TRUE(Near(bitmap.pixelColor(100, 50), QColor(255, 0, 0)));
        EXPECT_TRUE(Near(bitmap.pixelColor(0, 0), QColor(255, 0, 0)));  // enlarged by 2 pixels

        // a square bitmap: the picture keeps its aspect, the background shows above and below
        g.LoadPictureBitmap(bitmap, blue, 80, 80, file, false);
        EXPECT_EQ(bitmap.size(), QSize(100, 100));
        EXPECT_EQ(bitmap.pixelColor(50, 5), blue);
        EXPECT_TRUE(Near(bitmap.pixelColor(50, 50), QColor(255, 0, 0)));
        // stretched it fills the whole bitmap
        g.LoadPictureBitmap(bitmap, blue, 80, 80, file, true);
        EXPECT_TRUE(Near(bitmap.pixelColor(50, 5), QColor(255, 0, 0)));
    }
}

TEST(Pictures, MissingOrCorruptFilesLeaveTheFilledBitmap) {
    ScratchDir dir;
    QByteArray corrupt = Encoded("PNG", false);
    corrupt.truncate(corrupt.size() / 2);
    dir.Write("bitplane/kaputt.png", corrupt);
    dir.Write("bitplane/leer.jpg", QByteArray());
    dir.Write("bitplane/text.emf", QByteArray("no metafile at all"));
    GraphicsFixture f({800, 600}, {}, dir.Folder());
    Graphics& g = f.graphics;
    const QColor green(0, 224, 0);
    for (const char* file : {"bitplane\\kaputt.png", "bitplane\\leer.jpg", "bitplane\\text.emf",
                             "bitplane\\fehlt.png", ""}) {
        SCOPED_TRACE(file);
        QImage bitmap;
        g.LoadPictureBitmap(bitmap, green, 40, 40, file, false);
        ASSERT_EQ(bitmap.size(), QSize(50, 50));
        EXPECT_EQ(CountColour(bitmap, bitmap.rect(), green), 50 * 50);

        QImage sprite(30, 30, QImage::Format_RGB32);
        sprite.fill(Qt::red);
        QImage mask;
        g.LoadMaskedPicture(sprite, &mask, file);
        EXPECT_EQ(CountColour(sprite, sprite.rect(), Qt::black), 30 * 30);
        EXPECT_EQ(CountColour(mask, mask.rect(), Qt::white), 30 * 30);
    }
}

TEST(Pictures, MaskedPictureMaskIsBlackExactlyWhereThePictureShows) {
    ScratchDir dir;
    dir.Write("bitplane/hand.png", Encoded("PNG", true));  // top fifth transparent
    GraphicsFixture f({800, 600}, {}, dir.Folder());
    QImage sprite(96, 54, QImage::Format_RGB32);
    QImage mask;
    f.graphics.LoadMaskedPicture(sprite, &mask, "bitplane\\hand.png");
    ASSERT_EQ(mask.size(), sprite.size());
    for (int y = 0; y < sprite.height(); ++y) {
        for (int x = 0; x < sprite.width(); ++x) {
            const bool ink = mask.pixelColor(x, y) == QColor(Qt::black);
            ASSERT_TRUE(ink || mask.pixelColor(x, y) == QColor(Qt::white));
            // where the mask lets the background through, the picture adds nothing to OR
            if (!ink) {
                ASSERT_EQ(sprite.pixelColor(x, y), QColor(Qt::black)) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(mask.pixelColor(48, 2), QColor(Qt::white));
    EXPECT_EQ(mask.pixelColor(48, 40), QColor(Qt::black));
    EXPECT_EQ(sprite.pixelColor(48, 40), QColor(255, 0, 0));
}

TEST(Pictures, MetafilePicturesRenderThroughTheMetafileRenderer) {
    const QString emf = test::KitDir() + "/emfs/196.emf";
    ASSERT_TRUE(QFile::exists(emf));
    const Picture picture = Picture::FromFile(emf);
    ASSERT_TRUE(picture.IsValid());
    EXPECT_FALSE(picture.NaturalSize().isEmpty());
    const QImage image = picture.Render(QSize(40, 80), false);
    ASSERT_EQ(image.size(), QSize(40, 80));
    int ink = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 40; ++x) ink += qAlpha(image.pixel(x, y)) >= 128;
    EXPECT_GT(ink, 0);
    EXPECT_LT(ink, 40 * 80);
}
