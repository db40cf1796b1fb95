// The chooser's colours and the item data roles its views and delegates share.
#pragma once

#include <QColor>
#include <Qt>

namespace radevir {

inline const QColor kLightYellow(255, 255, 225);  // the folder tree when choosing
inline const QColor kLightBlue(166, 202, 240);    // the folder tree in editor mode
inline const QColor kListGrey(224, 224, 224);     // the line list's background
inline const QColor kSilver(192, 192, 192);
inline const QColor kGrey(128, 128, 128);
inline const QColor kFocusedSelection(153, 201, 239);
inline const QColor kTreeSelection(0, 84, 166);

// Data stored in the tree and list items beside their shown text.
inline constexpr int kPathRole = Qt::UserRole;       // a folder's or file's native path
inline constexpr int kSortRole = Qt::UserRole + 1;   // what a file list column sorts by
inline constexpr int kEntryRole = Qt::UserRole + 2;  // a line list entry's Windows-1252 bytes

}  // namespace radevir
