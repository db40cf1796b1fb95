// The program environment: ProgramFolder, data-path resolution and the mapping of the program's
// backslash data paths onto the real, case-sensitive file system. Every file access goes through
// NativePath.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "support/codepage.h"

namespace radevir {

// Path helpers on data-path strings. Both '\' and '/' count as folder separators.
bool IsSeparator(char c);
std::string ParentFolder(std::string_view path);
std::string MakeRelativePath(std::string_view base, std::string_view path);
std::string IncludeTrailingBackslash(std::string_view path);
std::string ExcludeTrailingBackslash(std::string_view path);
struct NameParts {
    std::string folder;     // up to and including the last separator, empty if none
    std::string name;       // between the folder and the last dot
    std::string extension;  // from the last dot, empty if none
};
NameParts ExeNameParts(std::string_view path);

// Finds an existing file or folder without regard to letter case, component by component.
// Components that do not exist keep their spelling, so the result also names new files.
QString FindPathIgnoringCase(const QString& nativePath);

// What happens to one installed kit file when the user's copy of the kit is brought up to date.
struct KitFileState {
    bool recorded = false;        // the copy was made from the kit (the copy record says so)
    bool copyExists = false;      // the user's copy has a file of that name
    bool copyUntouched = false;   // recorded, and the copy is as it was written
    bool kitFileChanged = false;  // recorded, and the kit file differs from the one copied
    bool copyMatchesKit = false;  // not recorded, and the copy has the kit file's bytes
};
enum class KitFileAction {
    Copy,   // copy the kit file (new, or replacing an untouched older copy)
    Adopt,  // the copy is the kit file already: record it
    Keep,   // leave the user's file (or its absence) alone
};
KitFileAction DecideKitFile(const KitFileState& state);

class ProgramEnvironment {
public:
    // programFolder: an absolute folder, with or without trailing separator; programFileName:
    // the executable's file name (names the settings key and the program's region file).
    explicit ProgramEnvironment(std::string programFolder = "/",
                                std::string programFileName = "radevir");
    // The program folder as the file system names it. Its name may hold characters outside
    // Windows-1252 (a home folder "/home/Łukasz"): inside the program it is a byte string like
    // every data path, but NativePath puts the real folder back in front of the paths below it.
    static ProgramEnvironment FromNativeFolder(const QString& folder,
                                               std::string programFileName = "radevir");

    const std::string& ProgramFolder() const { return programFolder_; }
    // The program folder as the file system names it, with a trailing '/'.
    QString NativeFolder() const;
    const std::string& ProgramFileName() const { return programFileName_; }

    // Data path → full data path (still with the program's separators): absolute paths stay,
    // "\x" and "x" are relative to the ProgramFolder, leading "..\" climb.
    std::string ResolvePath(std::string_view path) const;
    // Full or relative data path → an existing file-system path when one matches ignoring case.
    QString NativePath(std::string_view path) const;
    bool Exists(std::string_view path) const;

    // Locates the folder holding the data kit: the executable's folder when it holds the kit,
    // else the per-user data folder (filled from an installed kit on first start).
    static QString FindDataFolder(const QString& executableFolder);
    // Fills or upgrades the user's copy of an installed kit (see DecideKitFile); false when a
    // file could not be copied or the copy record not written.
    static bool UpdateKitCopy(const QString& installedKit, const QString& userCopy);
    // Whether `folder` holds a data kit (its marker file says so).
    static bool HoldsDataKit(const QString& folder);

private:
    // Maps a resolved data path with '/' separators onto the file system: the part that
    // names the program folder (or one of its parents) becomes the native folder.
    QString NativeOfResolved(const std::string& resolved) const;

    std::string programFolder_;
    QString nativeFolder_;  // empty: the byte string is the folder's only name
    std::string programFileName_;
};

}  // namespace radevir
