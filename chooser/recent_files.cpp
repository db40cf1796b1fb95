#include "chooser/recent_files.h"

#include <algorithm>

#include "support/file_helpers.h"
#include "support/program_environment.h"
#include "support/text_helpers.h"

namespace radevir {
namespace {

// A name holding "=" is kept in double quotes; the quotes are not part of the name.
Bytes Unquoted(std::string_view name) {
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
        name = name.substr(1, name.size() - 2);
    return Bytes(name);
}

}  // namespace

int RecentLimit(const SettingsStore* settings) {
    if (settings == nullptr) return kDefaultRecentLimit;
    return std::max(1, ReadIntSetting(*settings, "Hide", "EI_Maxmerkanzahl", kDefaultRecentLimit));
}

Bytes RecentEntry(std::string_view name, int startLine) {
    const bool quoted =
        name.find('=') != std::string_view::npos || (!name.empty() && name.front() == '"');
    const Bytes key = quoted ? "\"" + Bytes(name) + "\"" : Bytes(name);
    return key + "=" + IntToText(startLine);
}

Bytes RecentNameOfEntry(std::string_view entry) {
    return Unquoted(NameOfPair(entry));
}

int RememberedStartIndex(const std::vector<Bytes>& recentList, std::string_view name) {
    const Bytes key = UpperText(Unquoted(name));
    for (const Bytes& line : recentList) {
        if (UpperText(RecentNameOfEntry(line)) != key) continue;
        const int startLine = ParseLeadingInt(ValueOfPair(line), 0);
        return startLine > 0 ? startLine - 1 : 0;
    }
    return 0;
}

QStringList NamesWithOnTop(const QStringList& names, const QString& name) {
    QStringList result{name};
    for (const QString& other : names)
        if (other.compare(name, Qt::CaseInsensitive) != 0) result.push_back(other);
    return result;
}

RecentNameParts SplitRecentName(std::string_view name) {
    const NameParts split = ExeNameParts(name);
    RecentNameParts parts;
    parts.folder = split.folder;
    parts.file = split.name + split.extension;
    return parts;
}

}  // namespace radevir
