// Any text as a join line: the reader never fails, and comma-text written by the program reads
// back as the same fields.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "sound/join_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const radevir::JoinLine j = radevir::ParseJoinLine(text);
    (void)radevir::ParseJoinLine(radevir::QuoteWaveName(radevir::LowerAscii(text)));
    if (j.file.find('\0') != std::string::npos) std::abort();

    const auto fields = radevir::SplitCommaFields(text);
    size_t last = 0;
    for (const auto& f : fields) {
        if (f.end < last || f.end > text.size()) std::abort();
        last = f.end;
    }
    auto plain = radevir::SplitCommaText(text);
    if (plain.size() == 1 && plain[0].empty()) return 0;  // one empty field writes as nothing
    const auto again = radevir::SplitCommaText(radevir::JoinCommaText(plain));
    if (again != plain) std::abort();
    return 0;
}
