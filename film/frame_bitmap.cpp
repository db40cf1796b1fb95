#include "film/frame_bitmap.h"

#include <QPainter>

#include "graphics/picture_loader.h"
#include "support/rounding.h"

namespace radevir {
namespace {

constexpr int kStripHeadBytes = 4;
constexpr int kPlaneBytes = kStripFrameWidth_px / 8;  // 10
constexpr int kPlanesPerRow = 4;
constexpr int kStripPixelBytes = kStripRecordBytes - kStripHeadBytes - 5;  // offsets 4 … 2239
const QColor kStripInk(64, 64, 64);
// Frames are loaded from folders a user can fill; a picture cannot ask for a frame larger than this.
constexpr int kMaxFrameSide_px = 4096;

}  // namespace

QRect FrameRectangle(int width, int height, QSizeF pictureSize) {
    const double pw = pictureSize.width();
    const double ph = pictureSize.height();
    if (pw <= 0 || ph <= 0) return {};
    if (height == 0) height = Round(ph / pw * width);
    // left, top, right, bottom with the right and bottom edges outside, as the frame is measured
    int left = 0, top = 0, right = width, bottom = height;
    const int fittedWidth = height == 0 ? 0 : Round(pw / ph * height);
    if (fittedWidth == 0 || height == 0 || fittedWidth == width) return QRect(QPoint(0, 0), QSize(width, height));
    if (static_cast<double>(width) / height > static_cast<double>(fittedWidth) / height) {
        const int newWidth = Round(static_cast<double>(fittedWidth) / height * height);
        const int inward = (width - newWidth) / 2;
        left += inward;
        right -= inward;
    } else {
        const int newHeight = Round(static_cast<double>(width) * height / fittedWidth);
        const int inward = (height - newHeight) / 2;
        top += inward;
        bottom -= inward;
    }
    left += left % 2;
    top += top % 2;
    right -= right % 2;
    bottom -= bottom % 2;
    return QRect(QPoint(left, top), QSize(right - left, bottom - top));
}

QImage MakeFrameBitmap(const Picture& picture, int width, int height, QColor background, int border) {
    if (!picture.IsValid()) return {};
    const QRect fitted = FrameRectangle(width, height, picture.NaturalSize());
    const int bitmapWidth = fitted.width() + border;
    const int bitmapHeight = fitted.height() + border;
    if (bitmapWidth <= 0 || bitmapHeight <= 0 || bitmapWidth > kMaxFrameSide_px ||
        bitmapHeight > kMaxFrameSide_px)
        return {};
    QImage bitmap(bitmapWidth, bitmapHeight, QImage::Format_RGB32);
    bitmap.fill(background);
    const QSize drawn(bitmapWidth - border + 1, bitmapHeight - border + 1);
    if (drawn.isEmpty()) return bitmap;
    // shrinking is filtered; enlarging keeps the pixels sharp (a strip frame grows by one pixel)
    const QSizeF natural = picture.NaturalSize();
    const bool shrinking = natural.width() > drawn.width() || natural.height() > drawn.height();
    const QImage rendered = picture.Render(drawn, shrinking);
    QPainter painter(&bitmap);
    painter.drawImage(QPoint(0, 0), rendered);  // transparent where the picture has no pixels
    return bitmap;
}

std::optional<QImage> DecodeStripFrame(const QByteArray& file, int index) {
    if (file.isEmpty() || file.size() % kStripRecordBytes != 0 || index < 0 ||
        index >= file.size() / kStripRecordBytes)
        return std::nullopt;
    const auto* record = reinterpret_cast<const unsigned char*>(file.constData()) +
                         static_cast<qsizetype>(index) * kStripRecordBytes + kStripHeadBytes;
    QImage frame(kStripFrameWidth_px, kStripFrameHeight_px, QImage::Format_RGB32);
    frame.fill(Qt::black);
    const QRgb ink = kStripInk.rgb();
    for (int i = 0; i < kStripPixelBytes; ++i) {
        const int row = i / (kPlaneBytes * kPlanesPerRow);
        const int plane = (i / kPlaneBytes) % kPlanesPerRow;
        if (plane != 0) continue;  // the other planes are not drawn
        const int firstPixel = (i % kPlaneBytes) * 8;
        for (int bit = 0; bit < 8; ++bit)
            if (record[i] & (0x80 >> bit)) frame.setPixel(firstPixel + bit, row, ink);
    }
    return frame;
}

}  // namespace radevir
