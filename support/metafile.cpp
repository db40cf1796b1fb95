#include "support/metafile.h"

#include <QByteArray>
#include <QFile>
#include <QPainter>
#include <QRectF>
#include <QSvgRenderer>
#include <QtEndian>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <emf2svg.h>

namespace radevir {

namespace {

constexpr quint32 kEmrHeader = 1;
constexpr quint32 kEmrEof = 14;
constexpr quint32 kEmfSignature = 0x464D4520;  // " EMF"
constexpr int kMinHeaderSize = 88;
constexpr std::size_t kMaxCachedSizes = 8;
// Glyph pictures are a few hundred bytes and sprites a few hundred kilobytes; anything this
// large is not a picture we draw.
constexpr qsizetype kMaxFileSize = 64 * 1024 * 1024;

// Little-endian words, byte by byte and checked against the end: an optimising compiler
// cannot prove the callers' own checks and would otherwise see a read past an empty array.
quint32 ReadU32(const QByteArray& b, qsizetype offset) {
    if (offset < 0 || offset > b.size() - 4) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData()) + offset;
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}
qint32 ReadI32(const QByteArray& b, qsizetype offset) { return static_cast<qint32>(ReadU32(b, offset)); }

struct Header {
    QRectF viewBox;  // the frame in the converter's coordinates
    bool ok = false;
};

// Checks the header and the chain of records before the bytes reach the converter, which
// trusts record sizes. Returns the picture frame in the converter's coordinates: device pixels,
// shifted by the bounds' top-left corner.
Header CheckHeader(const QByteArray& bytes) {
    Header h;
    const qsizetype length = bytes.size();
    if (length < kMinHeaderSize || ReadU32(bytes, 0) != kEmrHeader) return h;
    const quint32 headerSize = ReadU32(bytes, 4);
    if (headerSize < kMinHeaderSize || headerSize > length || headerSize % 4 != 0) return h;
    if (ReadU32(bytes, 40) != kEmfSignature) return h;
    // The converter reads the description (UTF-16 characters) and the pixel format where the
    // header says they are; both must lie inside the header record, after its fixed part. (Empty
    // ones get their offsets cleared before conversion, see ConvertToSvg.)
    auto insideHeader = [&](quint32 offset, quint64 length) {
        return length == 0 || (offset >= quint32(kMinHeaderSize) && offset + length <= headerSize);
    };
    if (!insideHeader(ReadU32(bytes, 64), 2 * quint64(ReadU32(bytes, 60)))) return h;
    if (headerSize >= 100 && !insideHeader(ReadU32(bytes, 92), ReadU32(bytes, 88))) return h;

    // Every record must fit, be a whole number of 32-bit words, and the chain must end with EOF.
    qsizetype offset = 0;
    bool sawEof = false;
    while (offset + 8 <= length) {
        const quint32 type = ReadU32(bytes, offset);
        const quint32 size = ReadU32(bytes, offset + 4);
        if (size < 8 || size % 4 != 0 || size > quint64(length - offset)) return h;
        offset += size;
        if (type == kEmrEof) {
            sawEof = true;
            break;
        }
    }
    if (!sawEof) return h;

    const qint32 boundsLeft = ReadI32(bytes, 8), boundsTop = ReadI32(bytes, 12);
    const qint32 boundsRight = ReadI32(bytes, 16), boundsBottom = ReadI32(bytes, 20);
    const qint32 frameLeft = ReadI32(bytes, 24), frameTop = ReadI32(bytes, 28);
    const qint32 frameRight = ReadI32(bytes, 32), frameBottom = ReadI32(bytes, 36);
    const double devicePxX = ReadI32(bytes, 72), devicePxY = ReadI32(bytes, 76);
    double deviceUmX = ReadI32(bytes, 80) * 1000.0, deviceUmY = ReadI32(bytes, 84) * 1000.0;
    if (headerSize >= 108 && ReadI32(bytes, 100) > 0 && ReadI32(bytes, 104) > 0) {
        deviceUmX = ReadI32(bytes, 100);
        deviceUmY = ReadI32(bytes, 104);
    }

    // The frame is in 0.01 mm; the converter draws in device pixels.
    if (devicePxX > 0 && devicePxY > 0 && deviceUmX > 0 && deviceUmY > 0 &&
        frameRight > frameLeft && frameBottom > frameTop) {
        const double sx = 10.0 * devicePxX / deviceUmX;
        const double sy = 10.0 * devicePxY / deviceUmY;
        h.viewBox = QRectF(frameLeft * sx - boundsLeft, frameTop * sy - boundsTop,
                           (double(frameRight) - frameLeft) * sx,
                           (double(frameBottom) - frameTop) * sy);
    } else if (boundsRight > boundsLeft && boundsBottom > boundsTop) {
        h.viewBox = QRectF(0, 0, double(boundsRight) - boundsLeft, double(boundsBottom) - boundsTop);
    } else {
        return h;
    }
    h.ok = h.viewBox.width() > 0 && h.viewBox.height() > 0;
    return h;
}

// EMF → SVG. The converter wants a writable buffer and hands back memory owned by malloc.
QByteArray ConvertToSvg(const QByteArray& bytes) {
    QByteArray input = bytes;  // private copy: the converter takes a non-const pointer
    // The converter measures the header's offsets against the file size the header gives, not
    // against the bytes it got, and reads at the description's offset even when the description
    // is empty: the size is cut to the real one, and an empty description (or pixel format)
    // loses its offset.
    if (ReadU32(input, 48) > quint32(input.size()))
        qToLittleEndian<quint32>(quint32(input.size()), input.data() + 48);
    auto clearOffsetIfEmpty = [&](qsizetype lengthAt, qsizetype offsetAt) {
        if (ReadU32(input, lengthAt) == 0 && offsetAt + 4 <= input.size())
            qToLittleEndian<quint32>(0, input.data() + offsetAt);
    };
    clearOffsetIfEmpty(60, 64);
    if (ReadU32(input, 4) >= 100) clearOffsetIfEmpty(88, 92);
    generatorOptions options{};
    char empty[] = "";
    options.nameSpace = empty;
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    options.imgWidth = 0;
    options.imgHeight = 0;
    char* out = nullptr;
    size_t outLength = 0;
    const int ok = emf2svg(input.data(), size_t(input.size()), &out, &outLength, &options);
    QByteArray svg;
    if (ok == 1 && out != nullptr) svg = QByteArray(out, qsizetype(outLength));
    std::free(out);
    return svg;
}

}  // namespace

Metafile::Metafile() = default;

QImage Metafile::Draw(QSize size) const {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return image;
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer_->render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

// The SVG renderer always antialiases. For whole-pixel ink the picture is drawn five times as
// large in each direction and each pixel takes the sample at its centre: a pixel is ink when its
// centre lies inside a shape, the way a plain polygon fill decides. Unlike a threshold on a
// pixel's coverage, this keeps a straight edge straight where shapes meet at a corner.
QImage Metafile::DrawSharp(QSize size) const {
    constexpr int kSamples = 5;  // odd, so one sample sits on the pixel's centre
    if (size.width() > 16000 / kSamples || size.height() > 16000 / kSamples) return {};
    const QImage fine = Draw(size * kSamples);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (fine.isNull() || image.isNull()) return {};
    for (int y = 0; y < size.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(fine.constScanLine(y * kSamples + 2));
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const QRgb centre = in[x * kSamples + 2];
            out[x] = qAlpha(centre) >= 128 ? (qUnpremultiply(centre) | 0xFF000000u) : 0u;
        }
    }
    return image;
}

Metafile::~Metafile() = default;

std::shared_ptr<const Metafile> Metafile::Load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize) return nullptr;
    return FromBytes(file.readAll());
}

std::shared_ptr<const Metafile> Metafile::FromBytes(const QByteArray& bytes) {
    const Header header = CheckHeader(bytes);
    if (!header.ok) return nullptr;
    const QByteArray svg = ConvertToSvg(bytes);
    if (svg.isEmpty()) return nullptr;

    auto renderer = std::make_unique<QSvgRenderer>(svg);
    if (!renderer->isValid()) return nullptr;
    renderer->setViewBox(header.viewBox);

    std::shared_ptr<Metafile> picture(new Metafile());
    picture->renderer_ = std::move(renderer);
    picture->frameSize_ = header.viewBox.size();
    return picture;
}

QImage Metafile::Render(QSize size, bool smooth) const {
    if (size.isEmpty()) return {};
    const auto key = std::make_tuple(size.width(), size.height(), smooth);
    if (auto it = cache_.find(key); it != cache_.end()) {
        order_.erase(std::find(order_.begin(), order_.end(), key));
        order_.push_back(key);
        return it->second;
    }

    QImage image = smooth ? Draw(size) : DrawSharp(size);
    if (image.isNull()) return {};  // a size too large to allocate

    if (order_.size() >= kMaxCachedSizes) {
        cache_.erase(order_.front());
        order_.erase(order_.begin());
    }
    cache_.emplace(key, image);
    order_.push_back(key);
    return image;
}

QSizeF Metafile::FrameSize() const { return frameSize_; }

QString MetafileGlyphName(const QString& fileName) {
    const qsizetype slash = std::max(fileName.lastIndexOf(u'/'), fileName.lastIndexOf(u'\\'));
    QString name = fileName.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0) name.truncate(dot);
    const qsizetype blank = name.indexOf(u' ');
    if (blank >= 0) {
        const QString first = name.left(blank);
        const QString second = name.mid(blank + 1);
        if (!second.contains(u' ')) name = second + u' ' + first;
    }
    return name;
}

}  // namespace radevir
