// The rules of the recently used files, free of widgets: how an entry "name=start line" is
// written and read back, which start line a file had last time, and the order the recent box
// keeps its names in.
#pragma once

#include <QString>
#include <QStringList>
#include <string_view>
#include <vector>

#include "support/codepage.h"

namespace radevir {

class SettingsStore;

// How many entries a recent file keeps: "Hide"/"EI_Maxmerkanzahl", 12 without settings.
inline constexpr int kDefaultRecentLimit = 12;
int RecentLimit(const SettingsStore* settings);

// The entry stored for a file: its name, "=", the 1-based start line. A name holding "=" (or
// starting with a quote) is written in double quotes so that name and start line stay apart.
Bytes RecentEntry(std::string_view name, int startLine);
// The name an entry stores, without the quotes.
Bytes RecentNameOfEntry(std::string_view entry);

// The start line remembered for `name` (letter case ignored, as the list file compares keys),
// minus 1; 0 when there is none or it does not read.
int RememberedStartIndex(const std::vector<Bytes>& recentList, std::string_view name);

// The recent box's names after `name` was shown: on top, any earlier copy (letter case
// ignored) taken out.
QStringList NamesWithOnTop(const QStringList& names, const QString& name);

// Splits a recent name "Kopfrechnen\Plus bis 10.txt" into folder part and file name.
struct RecentNameParts {
    Bytes folder;  // with its trailing backslash, empty when there is none
    Bytes file;
};
RecentNameParts SplitRecentName(std::string_view name);

}  // namespace radevir
