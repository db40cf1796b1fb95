// Any bytes as an enhanced metafile: converted by the metafile renderer and, when it takes
// them, rendered sharp and smooth at a glyph cell's size and at an odd small size.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "fuzz/fuzz_app.h"
#include "support/metafile.h"

using namespace radevir;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::EnsureGuiApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto picture = Metafile::FromBytes(bytes);
    if (!picture) return 0;
    (void)picture->FrameSize();
    for (const QSize cell : {QSize(10, 20), QSize(3, 1)}) {
        const QImage sharp = picture->Render(cell, false);
        if (sharp.size() != cell) std::abort();
        (void)picture->Render(cell, true);
    }
    (void)picture->Render(QSize(0, 5), false);
    return 0;
}
