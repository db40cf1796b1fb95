#include "chooser/folder_tree.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace radevir {
namespace {

constexpr int kMaxDepth = 64;

bool HasCompanionFile(const QFileInfoList& entries, const QString& folderName) {
    const QString btx = folderName + ".btx";
    const QString atx = folderName + ".atx";
    return std::any_of(entries.begin(), entries.end(), [&](const QFileInfo& e) {
        return e.isFile() && (e.fileName().compare(btx, Qt::CaseInsensitive) == 0 ||
                              e.fileName().compare(atx, Qt::CaseInsensitive) == 0);
    });
}

std::vector<FolderNode> Children(const QString& folder, QSet<QString>& visited, int depth) {
    std::vector<FolderNode> nodes;
    if (depth > kMaxDepth) return nodes;
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& e : entries) {
        if (!e.isDir() || e.fileName().contains('.')) continue;
        if (HasCompanionFile(entries, e.fileName())) continue;
        const QString canonical = e.canonicalFilePath();
        if (visited.contains(canonical)) continue;
        visited.insert(canonical);
        FolderNode node;
        node.text = e.fileName();
        node.path = QDir::cleanPath(e.absoluteFilePath());
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
    QSet<QString> visited{QFileInfo(folder).canonicalFilePath()};
    return Children(folder, visited, 0);
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
