// The chooser's file list: the files of one folder with name, size, type and date, read byte
// for byte so that names from a Windows stick show in Windows-1252. Rows sort by name (letter
// case ignored, numbers by value), size or date, not by their shown text.
#pragma once

#include <QString>

class QTreeWidget;

namespace radevir {

// The column headers in order: Name, Größe, Typ, Änderungsdatum.
inline constexpr int kFileListColumns = 4;

// Fills `list` with the files of `folder`; each row keeps the file's path under kPathRole.
void FillFileList(QTreeWidget& list, const QString& folder);

}  // namespace radevir
