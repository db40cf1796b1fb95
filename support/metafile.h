// Metafile pictures (EMF): the console's glyph pictures and the drawn sprites. A file is turned
// into SVG once when loaded and rendered, stretched, into images of the sizes the callers ask for.
#pragma once

#include <QImage>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

class QSvgRenderer;

namespace radevir {

class Metafile {
public:
    // Null when the file is missing, is no enhanced metafile, or cannot be converted.
    static std::shared_ptr<const Metafile> Load(const QString& path);
    // The same from the bytes of a file already read.
    static std::shared_ptr<const Metafile> FromBytes(const QByteArray& bytes);

    ~Metafile();
    Metafile(const Metafile&) = delete;
    Metafile& operator=(const Metafile&) = delete;

    // The picture stretched over the whole image (aspect not kept): ink opaque, the rest
    // transparent. By default every pixel is all ink or none (ink where its centre lies inside
    // a shape), the way the console needs glyph pictures for its masks and for exact joins
    // between cells; `smooth` keeps antialiased edges. An empty size gives a null image. The last few sizes are kept.
    QImage Render(QSize size, bool smooth = false) const;
    // The picture frame in logical (reference-device pixel) units.
    QSizeF FrameSize() const;

private:
    Metafile();
    QImage Draw(QSize size) const;
    QImage DrawSharp(QSize size) const;

    std::unique_ptr<QSvgRenderer> renderer_;
    QSizeF frameSize_;
    // Recently rendered images by (width, height, smooth), oldest use first in `order_`.
    mutable std::map<std::tuple<int, int, bool>, QImage> cache_;
    mutable std::vector<std::tuple<int, int, bool>> order_;
};

// The glyph name a picture file stands for: the file name without folder and extension; a name
// of exactly two words ("pfeil links") has its words swapped ("links pfeil").
QString MetafileGlyphName(const QString& fileName);

}  // namespace radevir
