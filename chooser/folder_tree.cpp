#include "chooser/folder_tree.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "support/native_files.h"

namespace radevir {
namespace {

constexpr int kMaxDepth = 64;

bool HasCompanionFile(const std::vector<FolderEntry>& entries, const QString& folderName) {
    const QString btx = folderName + ".btx";
    const QString atx = folderName + ".atx";
    return std::any_of(entries.begin(), entries.end(), [&](const FolderEntry& e) {
        return e.isFile && (e.name.compare(btx, Qt::CaseInsensitive) == 0 ||
                            e.name.compare(atx, Qt::CaseInsensitive) == 0);
    });
}

std::vector<FolderNode> Children(const QString& folder, QSet<QByteArray>& visited, int depth) {
    std::vector<FolderNode> nodes;
    if (depth > kMaxDepth) return nodes;
    // read byte for byte: names from a Windows stick that are not UTF-8 show in Windows-1252
    const std::vector<FolderEntry> entries = ListNativeFolder(folder);
    for (const FolderEntry& e : entries) {
        if (!e.isFolder || e.name.contains('.')) continue;
        if (HasCompanionFile(entries, e.name)) continue;
        if (e.canonical.isEmpty() || visited.contains(e.canonical)) continue;
        visited.insert(e.canonical);
        FolderNode node;
        node.text = e.name;
        node.path = QDir::cleanPath(folder + '/' + e.name);
        node.children = Children(node.path, visited, depth + 1);
        nodes.push_back(std::move(node));
    }
    std::sort(nodes.begin(), nodes.end(), [](const FolderNode& a, const FolderNode& b) {
        if (a.children.empty() != b.children.empty()) return !a.children.empty();
        return QString::localeAwareCompare(a.text, b.text) < 0;
    });
    return nodes;
}

}  // namespace

std::vector<FolderNode> FolderChildren(const QString& folder) {
    QSet<QByteArray> visited;
    char resolved[PATH_MAX];
    if (::realpath(NativePathBytes(folder).constData(), resolved) != nullptr) visited.insert(QByteArray(resolved));
    return Children(QDir::cleanPath(folder), visited, 0);
}

FolderNode FolderTree(const QString& folder) {
    FolderNode root;
    root.path = QDir::cleanPath(folder);
    root.text = QFileInfo(root.path).fileName();
    if (root.text.isEmpty()) root.text = root.path;
    root.children = FolderChildren(root.path);
    return root;
}

}  // namespace radevir
