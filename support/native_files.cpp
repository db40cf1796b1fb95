#include "support/native_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <climits>
#include <cstdlib>
#include <memory>

#include "support/codepage.h"

namespace radevir {
namespace {

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

bool StatPath(const QByteArray& raw, struct stat& info) { return ::stat(raw.constData(), &info) == 0; }

QDateTime ModifiedTime(const struct stat& info) {
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(info.st_mtim.tv_sec) * 1000 +
                                          info.st_mtim.tv_nsec / 1000000);
}

// The raw names of a folder's entries with their decoded form.
template <typename Visit>
void ForEachName(const QByteArray& rawFolder, Visit visit) {
    std::unique_ptr<DIR, DirCloser> dir(::opendir(rawFolder.isEmpty() ? "." : rawFolder.constData()));
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view raw(entry->d_name);
        if (raw == "." || raw == "..") continue;
        if (!visit(raw, DecodeFileName(raw))) return;
    }
}

QByteArray Join(const QByteArray& folder, std::string_view name) {
    QByteArray out = folder;
    if (!out.isEmpty() && !out.endsWith('/')) out += '/';
    out.append(name.data(), static_cast<qsizetype>(name.size()));
    return out;
}

}  // namespace

QString DecodeFileName(std::string_view raw) {
    if (IsValidUtf8(raw)) return QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));
    return FromCp1252(raw);
}

QByteArray NativePathBytes(const QString& path) {
    const QByteArray asSpelled = path.toUtf8();
    struct stat info {};
    if (path.isEmpty() || StatPath(asSpelled, info)) return asSpelled;

    QByteArray current = path.startsWith('/') ? QByteArray("/") : QByteArray();
    bool found = true;  // every piece so far exists
    const QStringList pieces = path.split('/', Qt::SkipEmptyParts);
    for (const QString& piece : pieces) {
        const QByteArray spelled = piece.toUtf8();
        QByteArray next = Join(current, std::string_view(spelled.constData(), size_t(spelled.size())));
        if (found && !StatPath(next, info) && piece != QLatin1String(".") &&
            piece != QLatin1String("..")) {
            QByteArray exact, ignoringCase;
            ForEachName(current, [&](std::string_view raw, const QString& name) {
                if (name == piece) {
                    exact = Join(current, raw);
                    return false;
                }
                if (ignoringCase.isEmpty() && name.compare(piece, Qt::CaseInsensitive) == 0)
                    ignoringCase = Join(current, raw);
                return true;
            });
            if (!exact.isEmpty()) next = exact;
            else if (!ignoringCase.isEmpty()) next = ignoringCase;
            else found = false;
        }
        current = next;
    }
    if (path.endsWith('/') && !current.endsWith('/')) current += '/';
    return current;
}

std::vector<FolderEntry> ListNativeFolder(const QString& folder) {
    std::vector<FolderEntry> entries;
    const QByteArray rawFolder = NativePathBytes(folder);
    ForEachName(rawFolder, [&](std::string_view raw, const QString& name) {
        FolderEntry entry;
        entry.name = name;
        entry.rawPath = Join(rawFolder, raw);
        struct stat info {};
        if (StatPath(entry.rawPath, info)) {
            entry.isFolder = S_ISDIR(info.st_mode);
            entry.isFile = S_ISREG(info.st_mode);
            entry.size = entry.isFolder ? 0 : static_cast<qint64>(info.st_size);
            entry.modified = ModifiedTime(info);
            if (entry.isFolder) {
                char resolved[PATH_MAX];
                if (::realpath(entry.rawPath.constData(), resolved) != nullptr)
                    entry.canonical = QByteArray(resolved);
            }
        }
        entries.push_back(std::move(entry));
        return true;
    });
    return entries;
}

bool NativeIsFolder(const QString& path) {
    struct stat info {};
    return StatPath(NativePathBytes(path), info) && S_ISDIR(info.st_mode);
}

bool NativeIsFile(const QString& path) {
    struct stat info {};
    return StatPath(NativePathBytes(path), info) && S_ISREG(info.st_mode);
}

bool NativeExists(const QString& path) {
    struct stat info {};
    return StatPath(NativePathBytes(path), info);
}

bool NativeRemoveFile(const QString& path) {
    const QByteArray raw = NativePathBytes(path);
    struct stat info {};
    return ::lstat(raw.constData(), &info) == 0 && !S_ISDIR(info.st_mode) && ::unlink(raw.constData()) == 0;
}

bool OpenNativeFile(QFile& file, const QString& path) {
    if (!NativeIsFile(path)) return false;
    const int fd = ::open(NativePathBytes(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return true;
    ::close(fd);
    return false;
}

}  // namespace radevir
