// Any bytes as the head of a list file clicked in the list chooser, and as a name read from a
// folder: the listing stays bounded, its lines hold no line ends, every entry has a look, and
// a name always decodes.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "support/native_files.h"
#include "chooser/list_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string_view head(reinterpret_cast<const char*>(data), size);
    (void)radevir::DecodeFileName(head);
    if (!radevir::LooksLikeText(head)) return 0;
    const auto lines = radevir::ListLinesOfHead(head);
    if (lines.size() > radevir::kMaxListedLines) std::abort();
    for (const auto& line : lines)
        if (line.find_first_of("\r\n") != std::string::npos) std::abort();
    const auto entries = radevir::ListEntries(lines);
    for (const auto& entry : entries) (void)radevir::LookOfEntry(entry);
    const int start = radevir::AcceptedLineIndex(entries, static_cast<int>(size % 7) - 1);
    if (start >= static_cast<int>(entries.size())) std::abort();
    return 0;
}
