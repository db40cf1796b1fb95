#include "graphics/picture_loader.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <png.h>

namespace radevir {
namespace {

// Pictures beyond this many pixels a side are refused rather than allocated.
constexpr int kMaxSide = 16384;

bool IsPng(const QByteArray& b) {
    return b.size() >= 8 && std::memcmp(b.constData(), "\x89PNG\r\n\x1A\n", 8) == 0;
}

bool IsJpeg(const QByteArray& b) {
    return b.size() >= 3 && static_cast<unsigned char>(b[0]) == 0xFF &&
           static_cast<unsigned char>(b[1]) == 0xD8 && static_cast<unsigned char>(b[2]) == 0xFF;
}

bool IsEmf(const QByteArray& b) {
    return b.size() >= 44 && b[0] == 1 && b[1] == 0 && b[2] == 0 && b[3] == 0 &&
           std::memcmp(b.constData() + 40, " EMF", 4) == 0;
}

bool IsBmp(const QByteArray& b) { return b.size() >= 26 && b[0] == 'B' && b[1] == 'M'; }

bool IsGif(const QByteArray& b) { return b.size() >= 6 && (b.startsWith("GIF87a") || b.startsWith("GIF89a")); }

// Bitmaps and GIFs (picture folders, printed pictures) through Qt's own readers, refused
// beyond the side bound before anything is allocated; a GIF gives its first frame.
QImage DecodeWithQt(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly)) return {};
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxSide || size.height() > kMaxSide) return {};
    const QImage image = reader.read();
    return image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32);
}

// libjpeg reports fatal errors through this hook; it must not return (the library's own
// handler would end the program), so it jumps back into DecodeJpegInto.
struct JpegError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void JpegErrorExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

void JpegSilent(j_common_ptr) {}

// Only C objects live in this frame across setjmp; the image is the caller's.
bool DecodeJpegInto(const unsigned char* data, unsigned long size, QImage* out) {
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.pub);
    error.pub.error_exit = JpegErrorExit;
    error.pub.output_message = JpegSilent;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&info);
    const int width = static_cast<int>(info.output_width);
    const int height = static_cast<int>(info.output_height);
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    *out = QImage(width, height, QImage::Format_ARGB32);
    if (out->isNull()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    const int channels = static_cast<int>(info.output_components);
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               static_cast<JDIMENSION>(width * channels), 1);
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        if (jpeg_read_scanlines(&info, row, 1) != 1) break;
        auto* line = reinterpret_cast<QRgb*>(out->scanLine(y));
        const unsigned char* s = row[0];
        for (int x = 0; x < width; ++x, s += channels) {
            if (cmyk) {
                // Adobe writes CMYK inverted: the values are already 255 − ink
                line[x] = qRgb(s[0] * s[3] / 255, s[1] * s[3] / 255, s[2] * s[3] / 255);
            } else if (channels >= 3) {
                line[x] = qRgb(s[0], s[1], s[2]);
            } else {
                line[x] = qRgb(s[0], s[0], s[0]);
            }
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

QImage DecodePng(const QByteArray& bytes) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.constData(), static_cast<size_t>(bytes.size())))
        return {};
    if (image.width == 0 || image.height == 0 || image.width > kMaxSide || image.height > kMaxSide) {
        png_image_free(&image);
        return {};
    }
    // QImage's ARGB32 is a native 0xAARRGGBB word, not premultiplied
    image.format = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
    QImage out(static_cast<int>(image.width), static_cast<int>(image.height), QImage::Format_ARGB32);
    if (out.isNull()) {
        png_image_free(&image);
        return {};
    }
    if (!png_image_finish_read(&image, nullptr, out.bits(), static_cast<png_int_32>(out.bytesPerLine()),
                               nullptr)) {
        png_image_free(&image);
        return {};
    }
    return out;
}

QImage DecodeJpeg(const QByteArray& bytes) {
    if (bytes.isEmpty()) return {};
    QImage out;
    if (!DecodeJpegInto(reinterpret_cast<const unsigned char*>(bytes.constData()),
                        static_cast<unsigned long>(bytes.size()), &out))
        return {};
    return out;
}

Picture Picture::FromBytes(const QByteArray& bytes) {
    Picture picture;
    if (IsPng(bytes)) {
        picture.raster_ = DecodePng(bytes);
    } else if (IsJpeg(bytes)) {
        picture.raster_ = DecodeJpeg(bytes);
    } else if (IsEmf(bytes)) {
        picture.vector_ = Metafile::FromBytes(bytes);
    } else if (IsBmp(bytes) || IsGif(bytes)) {
        picture.raster_ = DecodeWithQt(bytes);
    }
    return picture;
}

Picture Picture::FromImage(const QImage& image) {
    Picture picture;
    if (!image.isNull()) picture.raster_ = image.convertToFormat(QImage::Format_ARGB32);
    return picture;
}

Picture Picture::FromFile(const QString& nativePath) {
    QFile file(nativePath);
    if (nativePath.isEmpty() || !file.open(QIODevice::ReadOnly)) return {};
    return FromBytes(file.readAll());
}

QSizeF Picture::NaturalSize() const {
    if (!raster_.isNull()) return raster_.size();
    if (vector_) return vector_->FrameSize();
    return {};
}

QImage Picture::Render(QSize size, bool smooth) const {
    if (size.isEmpty() || !IsValid()) return {};
    if (vector_) return vector_->Render(size, smooth).convertToFormat(QImage::Format_ARGB32);
    return raster_
        .scaled(size, Qt::IgnoreAspectRatio, smooth ? Qt::SmoothTransformation : Qt::FastTransformation)
        .convertToFormat(QImage::Format_ARGB32);
}

}  // namespace radevir
