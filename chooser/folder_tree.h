// The folders the chooser's tree shows below a root: only names without a dot, never a folder
// that belongs to a same-named ".btx"/".atx" file beside it, folders with sub-folders first.
#pragma once

#include <QString>
#include <vector>

namespace radevir {

struct FolderNode {
    QString text;  // the folder's name
    QString path;  // its full native path, no trailing separator
    std::vector<FolderNode> children;
};

// The sub-folders of `folder`, recursively, in display order. Folders reached twice (links that
// lead back up) are listed once and not entered again.
std::vector<FolderNode> FolderChildren(const QString& folder);

// A whole tree: the root named after the folder's last name, holding the folder itself.
FolderNode FolderTree(const QString& folder);

}  // namespace radevir
