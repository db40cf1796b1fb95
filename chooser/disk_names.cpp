#include "chooser/disk_names.h"

#include <QFile>
#include <QStringDecoder>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "support/codepage.h"

namespace radevir {
namespace {

bool StatOnDisk(const QByteArray& path, struct stat& st) { return ::stat(path.constData(), &st) == 0; }

bool ExistsOnDisk(const QByteArray& path) {
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0;
}

QByteArray Joined(const QByteArray& folder, const QByteArray& name) {
    if (folder.isEmpty()) return name;
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

}  // namespace

QString NameFromDisk(std::string_view raw) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString name = utf8(QByteArrayView(raw.data(), static_cast<qsizetype>(raw.size())));
    return utf8.hasError() ? FromCp1252(raw) : name;
}

QByteArray DiskPathOf(const QString& path) {
    QByteArray disk = path.startsWith('/') ? QByteArray("/") : QByteArray();
    bool found = true;  // every component so far exists
    for (const QString& part : path.split('/', Qt::SkipEmptyParts)) {
        QByteArray name = part.toUtf8();
        if (found && !ExistsOnDisk(Joined(disk, name))) {
            const Bytes cp1252 = ToCp1252(part);
            const QByteArray legacy(cp1252.data(), static_cast<qsizetype>(cp1252.size()));
            if (legacy != name && FromCp1252(cp1252) == part && ExistsOnDisk(Joined(disk, legacy)))
                name = legacy;
            else
                found = false;
        }
        disk = Joined(disk, name);
    }
    return disk;
}

std::vector<DiskEntry> ListFolder(const QString& folder) {
    std::vector<DiskEntry> entries;
    const QByteArray diskFolder = DiskPathOf(folder);
    DIR* dir = ::opendir(diskFolder.constData());
    if (dir == nullptr) return entries;
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view raw(e->d_name);
        if (raw == "." || raw == "..") continue;
        const QByteArray full = Joined(diskFolder, QByteArray(raw.data(), static_cast<qsizetype>(raw.size())));
        struct stat st {};
        if (!StatOnDisk(full, st)) continue;  // a dangling link
        DiskEntry entry;
        entry.name = NameFromDisk(raw);
        entry.isFolder = S_ISDIR(st.st_mode);
        entry.isFile = S_ISREG(st.st_mode);
        entry.size = static_cast<qint64>(st.st_size);
        entry.modified = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(st.st_mtim.tv_sec));
        if (entry.isFolder) {
            char resolved[PATH_MAX];
            if (::realpath(full.constData(), resolved) != nullptr) entry.canonical = QByteArray(resolved);
        }
        entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    return entries;
}

bool IsFolderOnDisk(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && StatOnDisk(DiskPathOf(path), st) && S_ISDIR(st.st_mode);
}

bool IsFileOnDisk(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && StatOnDisk(DiskPathOf(path), st) && S_ISREG(st.st_mode);
}

bool OpenOnDisk(QFile& file, const QString& path) {
    if (!IsFileOnDisk(path)) return false;
    const int fd = ::open(DiskPathOf(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return true;
    ::close(fd);
    return false;
}

}  // namespace radevir
