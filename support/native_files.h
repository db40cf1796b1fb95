// File names as the disk stores them. Linux keeps names as raw bytes; Qt decodes them as UTF-8
// and turns a name copied from a Windows stick ("\xFC" "ber.txt") into "?ber.txt" that no longer
// opens. Here a name that is not valid UTF-8 is read as Windows-1252 instead, and a path made of
// such names is turned back into the bytes on disk before a file is opened.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <string_view>
#include <vector>

class QFile;

namespace radevir {

// A name from the disk: UTF-8 when it is valid UTF-8, else Windows-1252.
QString DecodeFileName(std::string_view raw);

// The bytes of `path` on disk. Each piece that does not exist as spelled (UTF-8) is looked up
// among the folder's entries by its decoded name, exactly first, then ignoring letter case;
// pieces that exist nowhere keep their UTF-8 spelling, so the result also names new files.
QByteArray NativePathBytes(const QString& path);

struct FolderEntry {
    QString name;       // decoded as DecodeFileName does
    QByteArray rawPath; // folder + "/" + the name's bytes on disk
    bool isFolder = false;
    bool isFile = false;  // a regular file (a dangling link is neither)
    qint64 size = 0;
    QDateTime modified;
    QByteArray canonical;  // folders: the resolved path on disk (links followed), to see loops
};

// Every entry of the folder except "." and "..", in the order the disk gives them; empty when
// the folder cannot be read. Symbolic links count as what they point to.
std::vector<FolderEntry> ListNativeFolder(const QString& folder);

bool NativeIsFolder(const QString& path);
bool NativeIsFile(const QString& path);
bool NativeExists(const QString& path);
bool NativeRemoveFile(const QString& path);
// Opens a file for reading, whatever its name's encoding.
bool OpenNativeFile(QFile& file, const QString& path);

}  // namespace radevir
