// File helpers on the program's data paths: integer settings, existence checks and directory
// searches with * and ? wildcards, deleting by mask, and the small list files (recent files,
// filters). Every path goes through ProgramEnvironment, so letter case never matters.
#pragma once

#include <QDateTime>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "support/codepage.h"

namespace radevir {

class ProgramEnvironment;
class SettingsStore;

// The setting's text converted with ParseLeadingInt; the default when absent or unreadable.
int ReadIntSetting(const SettingsStore& store, const std::string& section, const std::string& name,
                   int defaultValue);

// Case-insensitive match of a file name against a pattern with * and ?; "name.*" also matches
// a name without any dot, as the program's masks expect ("*.*" matches everything).
bool WildcardMatch(QStringView pattern, QStringView name);

// True when the name (wildcards allowed in its last part) names an existing file or folder.
bool FileFound(const ProgramEnvironment& env, std::string_view name);
// Deletes every file matching the mask in the mask's folder; true when one or more went.
bool DeleteMatchingFiles(const ProgramEnvironment& env, std::string_view mask);

// The lines of ResolvePath(name); empty when the file is missing or unreadable.
std::vector<Bytes> LoadListFile(const ProgramEnvironment& env, std::string_view name);
// Puts `line` into the list file ResolvePath(name): an entry with the same key (text before
// "=", letter case ignored) goes first unless allowDuplicate; the line goes on top (and the list
// is cut to `maximum` lines) or at the end. True when the file was saved.
bool AddToListFile(const ProgramEnvironment& env, std::string_view name, std::string_view line,
                   bool atTop, bool allowDuplicate, int maximum);

// One entry of a directory search.
struct FoundFile {
    Bytes name;          // file name with extension, no folder
    QString nativePath;  // where it is on disk
    qint64 size = 0;
    QDateTime modified;
    bool isFolder = false;
};

// A directory search over one folder and a mask with wildcards. The result codes are the
// classic ones: 0 found, 2 nothing matches, 3 folder missing, 18 no more entries.
class FileSearch {
public:
    static constexpr int kFound = 0;
    static constexpr int kFileNotFound = 2;
    static constexpr int kPathNotFound = 3;
    static constexpr int kNoMoreFiles = 18;

    explicit FileSearch(const ProgramEnvironment& env);

    // includeFolders = false lists ordinary files only; "." and ".." are never listed.
    int FindFirst(std::string_view mask, bool includeFolders);
    // Closes the search when it fails.
    int FindNext();
    void FindClose();

    const FoundFile& Current() const { return current_; }
    int LastResult() const { return lastResult_; }

private:
    const ProgramEnvironment& env_;
    std::vector<FoundFile> entries_;
    size_t next_ = 0;
    FoundFile current_;
    int lastResult_ = kFileNotFound;
};

}  // namespace radevir
