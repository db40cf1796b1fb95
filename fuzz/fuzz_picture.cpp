// Any bytes as a picture file: the loader tells PNG, JPEG and metafile apart by the first bytes;
// the PNG and JPEG decoders also get the bytes on their own. A picture that loads renders at a
// small size, filtered and not.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "fuzz/fuzz_app.h"
#include "graphics/picture_loader.h"

using namespace radevir;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::EnsureGuiApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)DecodePng(bytes);
    (void)DecodeJpeg(bytes);
    const Picture picture = Picture::FromBytes(bytes);
    if (!picture.IsValid()) return 0;
    const QSizeF natural = picture.NaturalSize();
    if (!(natural.width() >= 0) || !(natural.height() >= 0)) std::abort();
    for (const bool smooth : {false, true}) {
        const QImage image = picture.Render(QSize(17, 9), smooth);
        if (!image.isNull() && image.size() != QSize(17, 9)) std::abort();
    }
    return 0;
}
