// Any bytes as the editor's print options file ("Printopt.dfm") and as a plain text file the
// editor opens: the options read back as written, and the text is saved as the same bytes.
#include <cstdint>
#include <cstdlib>

#include "editor/editor_files.h"
#include "editor/print_options.h"

using namespace radevir;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    PrintOptions options;
    if (ReadPrintOptions(bytes, options)) {
        PrintOptions again;
        if (!ReadPrintOptions(WritePrintOptions(options), again)) std::abort();
        if (WritePrintOptions(again) != WritePrintOptions(options)) std::abort();
    }
    PlainTextLayout layout;
    const QString text = DecodePlainText(bytes, &layout);
    if (EncodePlainText(text, layout) != bytes && !layout.utf8) std::abort();
    return 0;
}
