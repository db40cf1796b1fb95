// Any bytes as a picture folder's control file "steuer.txt": its lines applied to a folder of
// two pictures and a sound. Every entry is a loaded picture, a timing line or an existing file
// below the folder; the last picture index points at a picture; a new control file of what the
// load found names every entry once. The fractions of printed texts are shaped on the same bytes.
#include <QImage>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "film/control_file.h"
#include "printing/fractions.h"
#include "support/text_file.h"

using namespace radevir;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const Bytes bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<Bytes> lines = SplitTextLines(DecodeTextFileBytes(bytes));
    const auto picture = std::make_shared<const QImage>();
    const std::vector<FrameEntry> loaded{{"a.png", picture}, {"B.PNG", picture}, {"ton.wav", nullptr}};
    const Bytes folder = "F\\";
    const auto exists = [&](const Bytes& path) { return path == "F\\ton.wav" || path == "F\\x\\y.wav"; };
    const AppliedControlFile applied = ApplyControlFile(lines, loaded, folder, exists);
    if (applied.entries.size() > lines.size()) std::abort();
    for (const FrameEntry& e : applied.entries) {
        if (e.bitmap) {
            if (e.bitmap != picture) std::abort();
        } else if (!IsTimingLine(e.name) && !exists(e.name)) {
            std::abort();
        }
    }
    if (applied.lastPicture &&
        (*applied.lastPicture < 0 || static_cast<size_t>(*applied.lastPicture) >= applied.entries.size() ||
         !applied.entries[static_cast<size_t>(*applied.lastPicture)].bitmap))
        std::abort();
    if (NewControlFile(loaded, static_cast<int>(size)).size() != loaded.size() + 1) std::abort();

    const QString text = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (ShapeFractions(text).size() > text.size()) std::abort();
    return 0;
}
