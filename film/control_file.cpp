#include "film/control_file.h"

#include <algorithm>
#include <limits>

#include "support/text_helpers.h"

namespace radevir {

bool IsTimingLine(const Bytes& line) {
    size_t i = line.find_first_not_of(' ');
    if (i == Bytes::npos) return false;
    bool negative = false;
    if (line[i] == '+' || line[i] == '-') {
        negative = line[i] == '-';
        ++i;
    }
    if (i >= line.size()) return false;
    long long value = 0;
    for (; i < line.size(); ++i) {
        const char c = line[i];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(std::numeric_limits<int>::max()) + (negative ? 1 : 0))
            return false;
    }
    return true;
}

AppliedControlFile ApplyControlFile(const std::vector<Bytes>& lines,
                                    const std::vector<FrameEntry>& loaded, const Bytes& folder,
                                    const std::function<bool(const Bytes& path)>& fileExists) {
    AppliedControlFile out;
    for (const Bytes& line : lines) {
        const Bytes upper = UpperText(line);
        const auto picture = std::find_if(loaded.begin(), loaded.end(), [&](const FrameEntry& e) {
            return e.bitmap && UpperText(e.name) == upper;
        });
        if (picture != loaded.end()) {
            out.entries.push_back({picture->name, picture->bitmap});
            out.lastPicture = static_cast<int>(out.entries.size()) - 1;
        } else if (!IsTimingLine(line)) {
            const Bytes path = folder + line;
            if (!line.empty() && fileExists && fileExists(path)) out.entries.push_back({path, nullptr});
        } else {
            out.entries.push_back({line, nullptr});
        }
    }
    return out;
}

std::vector<Bytes> NewControlFile(const std::vector<FrameEntry>& sortedLoaded, int delay_ms) {
    std::vector<Bytes> lines;
    for (const FrameEntry& e : sortedLoaded) {
        lines.push_back(e.name);
        if (lines.size() == 1)
            lines.push_back(IntToText(delay_ms >= kMinDelay_ms ? delay_ms : kDefaultFrameDelay_ms));
    }
    return lines;
}

void SortEntriesByName(std::vector<FrameEntry>& entries) {
    std::stable_sort(entries.begin(), entries.end(), [](const FrameEntry& a, const FrameEntry& b) {
        return UpperText(a.name) < UpperText(b.name);
    });
}

}  // namespace radevir
