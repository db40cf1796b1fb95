// Picture files into bitmaps: a picture on a background (LoadPictureBitmap) and a sprite
// picture with its AND mask (LoadMaskedPicture).
#include <QPainter>
#include <algorithm>

#include "graphics/graphics.h"
#include "graphics/picture_loader.h"
#include "support/rounding.h"

namespace radevir {
namespace {

constexpr int kMaxBitmapSide = 16384;

}  // namespace

void Graphics::LoadPictureBitmap(QImage& bitmap, QColor background, int width, int height,
                                 const Bytes& file, bool stretch) {
    QSize size = VgaSizeToPixel(QSize(std::max(width, 0), std::max(height, 0)));
    const Picture picture =
        file.empty() ? Picture() : Picture::FromFile(console_.Environment().NativePath(file));
    const QSizeF natural = picture.NaturalSize();
    if (width == 0 && picture.IsValid() && natural.height() > 0)
        size.setWidth(Round(size.height() * natural.width() / natural.height()));
    size = size.boundedTo(QSize(kMaxBitmapSide, kMaxBitmapSide));
    if (size.isEmpty()) {
        bitmap = QImage();
        return;
    }
    bitmap = QImage(size, QImage::Format_RGB32);
    bitmap.fill(background);
    if (!picture.IsValid() || natural.isEmpty()) return;

    // the picture reaches two pixels beyond the bitmap on every side
    QRect target(-2, -2, size.width() + 4, size.height() + 4);
    if (!stretch) {
        const double scale = std::min(target.width() / natural.width(), target.height() / natural.height());
        const QSize fitted(std::max(1, Round(natural.width() * scale)),
                           std::max(1, Round(natural.height() * scale)));
        target = QRect(QPoint(target.x() + (target.width() - fitted.width()) / 2,
                              target.y() + (target.height() - fitted.height()) / 2),
                       fitted);
    }
    const QImage rendered = picture.Render(target.size(), true);
    QPainter p(&bitmap);
    p.drawImage(target.topLeft(), rendered);
}

void Graphics::LoadMaskedPicture(QImage& bitmap, QImage* mask, const Bytes& file) {
    if (bitmap.isNull()) return;
    if (bitmap.format() != QImage::Format_RGB32) bitmap = bitmap.convertToFormat(QImage::Format_RGB32);
    bitmap.fill(Qt::black);
    if (mask) {
        *mask = QImage(bitmap.size(), QImage::Format_RGB32);
        mask->fill(Qt::white);
    }
    const Picture picture =
        file.empty() ? Picture() : Picture::FromFile(console_.Environment().NativePath(file));
    if (!picture.IsValid()) return;
    const QSize size = bitmap.size();
    // stretched over the bitmap enlarged by two pixels on every side; a pixel belongs to the
    // picture or to the background, never half, so AND mask and OR picture fit exactly
    const QImage rendered = picture.Render(size + QSize(4, 4), false);
    if (rendered.isNull()) return;
    for (int y = 0; y < size.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(rendered.constScanLine(y + 2)) + 2;
        auto* dst = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
        auto* m = mask ? reinterpret_cast<QRgb*>(mask->scanLine(y)) : nullptr;
        for (int x = 0; x < size.width(); ++x) {
            if (qAlpha(src[x]) < 128) continue;
            dst[x] = src[x] | 0xFF000000u;
            if (m) m[x] = qRgb(0, 0, 0);
        }
    }
}

}  // namespace radevir
