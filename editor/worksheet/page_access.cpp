#include "editor/worksheet/page_access.h"

#include <QDir>
#include <QFileInfo>

namespace radevir {

namespace {

// The path with links resolved, so that a link inside the folder cannot point out of it; a file
// that does not exist is taken as written, "." and ".." worked out.
QString ResolvedPath(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty()) return canonical;
    // a missing file: its folder may still be a link
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                            : QDir(folder).filePath(info.fileName());
}

}  // namespace

bool PageMayLoad(const QUrl& request, const QString& pageFolder) {
    const QString scheme = request.scheme().toLower();
    if (scheme == QLatin1String("data") || scheme == QLatin1String("blob") ||
        scheme == QLatin1String("about"))
        return true;
    if (scheme != QLatin1String("file") || pageFolder.isEmpty()) return false;
    // file://server/share is a network share
    const QString host = request.host();
    if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0)
        return false;
    const QString path = request.toLocalFile();
    if (path.isEmpty() || !QDir::isAbsolutePath(path)) return false;
    const QString folder = ResolvedPath(pageFolder);
    const QString wanted = ResolvedPath(path);
    return wanted == folder || wanted.startsWith(folder + u'/');
}

}  // namespace radevir
