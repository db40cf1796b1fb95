// Picture files as the graphics layer reads them: PNG through libpng, JPEG through libjpeg,
// enhanced metafiles through the metafile renderer, bitmaps and GIFs through Qt's readers. The format is told by the file's first
// bytes, not its name. Broken or unknown files give an invalid picture, never a crash.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <memory>

#include "support/metafile.h"

namespace radevir {

class Picture {
public:
    static Picture FromFile(const QString& nativePath);
    static Picture FromBytes(const QByteArray& bytes);
    // A picture already in memory (the clipboard's).
    static Picture FromImage(const QImage& image);

    bool IsValid() const { return !raster_.isNull() || vector_ != nullptr; }
    // Natural size (pixels for raster pictures, the frame for metafiles).
    QSizeF NaturalSize() const;
    // The picture stretched over an image of `size` (ARGB32, transparent where it has no
    // pixels); `smooth` filters raster pictures and antialiases metafile edges.
    QImage Render(QSize size, bool smooth) const;

private:
    QImage raster_;  // ARGB32
    std::shared_ptr<const Metafile> vector_;
};

// The decoders on their own: a null image for anything they cannot read.
QImage DecodePng(const QByteArray& bytes);
QImage DecodeJpeg(const QByteArray& bytes);

}  // namespace radevir
