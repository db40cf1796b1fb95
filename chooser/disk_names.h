// File names as the chooser finds them on disk. Names that are not UTF-8 (files and folders
// copied from a Windows stick, "\xfcber.txt") stay invisible to QDir; here the folders are read
// byte for byte, such names are shown in Windows-1252, and a shown path finds its way back to
// the bytes on disk.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <string_view>
#include <vector>

class QFile;

namespace radevir {

// A name read from disk: UTF-8 when it is valid UTF-8, otherwise Windows-1252.
QString NameFromDisk(std::string_view raw);

// The on-disk bytes of a path built from shown names: each component is taken as UTF-8 when
// that exists, else as Windows-1252 when that exists (else as UTF-8).
QByteArray DiskPathOf(const QString& path);

struct DiskEntry {
    QString name;
    bool isFolder = false;
    bool isFile = false;
    qint64 size = 0;
    QDateTime modified;
    QByteArray canonical;  // the resolved on-disk path (links followed)
};

// The entries of a folder, in no particular order, without "." and "..".
std::vector<DiskEntry> ListFolder(const QString& folder);

bool IsFolderOnDisk(const QString& path);
bool IsFileOnDisk(const QString& path);
// Opens a file for reading, whatever its name's encoding.
bool OpenOnDisk(QFile& file, const QString& path);

}  // namespace radevir
