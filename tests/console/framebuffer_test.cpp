#include <QPainter>
#include <cstdint>

#include <gtest/gtest.h>

#include "console/console_host.h"

namespace radevir {
namespace {

bool AllBlack(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] != qRgb(0, 0, 0)) return false;
    }
    return true;
}

TEST(Framebuffer, IsBlackRgb32At96DotsPerInchForSmallAndWindowSizes) {
    const struct {
        QSize asked, made;
    } cases[] = {{{0, 0}, {1, 1}}, {{640, 480}, {640, 480}}, {{1280, 1024}, {1280, 1024}},
                 {{1920, 1080}, {1920, 1080}}, {{1366, 768}, {1366, 768}}};
    for (const auto& c : cases) {
        const QImage image = MakeFramebuffer(c.asked);
        SCOPED_TRACE(c.asked.width());
        EXPECT_EQ(image.size(), c.made);
        EXPECT_EQ(image.format(), QImage::Format_RGB32);
        EXPECT_EQ(image.dotsPerMeterX(), 3780);
        EXPECT_EQ(image.dotsPerMeterY(), 3780);
        EXPECT_TRUE(AllBlack(image));
    }
}

TEST(Framebuffer, WindowSizedOneIsDrawnInPlaceAndCopiesStaySeparate) {
    QImage image = MakeFramebuffer({1280, 1024});
    const uchar* bits = image.constBits();
    // the large-page mapping is the picture's own memory, not a copy made on first write
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bits) % (std::uintptr_t{2} << 20), 0u);
    {
        QPainter p(&image);
        p.fillRect(QRect(10, 10, 100, 100), Qt::red);
    }
    EXPECT_EQ(image.constBits(), bits);
    EXPECT_EQ(image.pixel(50, 50), qRgb(255, 0, 0));

    QImage copy = image;
    copy.fill(Qt::blue);
    EXPECT_EQ(image.pixel(50, 50), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(500, 500), qRgb(0, 0, 0));
    image = QImage();  // the mapping goes; the copy lives on
    EXPECT_EQ(copy.pixel(50, 50), qRgb(0, 0, 255));
}

}  // namespace
}  // namespace radevir
