// Any bytes as a rich text file the editor opens: read into a document, written, and read again;
// what the editor writes must read back to the same text, and never reports anything left out.
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

#include "editor/editor_files.h"
#include "editor/rtf_codec.h"
#include "fuzz/fuzz_app.h"

using namespace radevir;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::EnsureGuiApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // with and without the opening the reader asks for
    for (const QByteArray& input : {bytes, QByteArray("{\\rtf1 ") + bytes}) {
        QTextDocument doc;
        bool dropped = false;
        if (!ReadRtf(input, doc, &dropped)) continue;
        const QByteArray written = WriteRtf(doc);
        QTextDocument again;
        bool droppedAgain = false;
        if (!ReadRtf(written, again, &droppedAgain)) std::abort();
        if (droppedAgain) std::abort();
        if (DocumentText(again) != DocumentText(doc)) std::abort();
    }
    return 0;
}
