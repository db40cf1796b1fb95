#include "support/file_helpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "support/error_log.h"
#include "support/native_files.h"
#include "support/program_environment.h"
#include "support/settings_store.h"
#include "support/text_file.h"
#include "support/text_helpers.h"

namespace radevir {
namespace {

bool HasWildcard(std::string_view s) { return s.find_first_of("*?") != std::string_view::npos; }

// The mask's folder on disk and the name pattern of its last part.
struct MaskParts {
    QString folder;
    QString pattern;
};

MaskParts SplitMask(const ProgramEnvironment& env, std::string_view mask) {
    const std::string full = env.ResolvePath(mask);
    size_t cut = 0;
    for (size_t i = full.size(); i-- > 0;) {
        if (IsSeparator(full[i])) {
            cut = i + 1;
            break;
        }
    }
    MaskParts parts;
    parts.folder = cut == 0 ? QStringLiteral(".") : env.NativePath(full.substr(0, cut));
    parts.pattern = FromCp1252(std::string_view(full).substr(cut));
    return parts;
}

bool MatchFrom(QStringView p, QStringView n) {
    // iterative * matching with one backtrack point
    qsizetype pi = 0, ni = 0, starP = -1, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == u'?' || p[pi].toCaseFolded() == n[ni].toCaseFolded())) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == u'*') {
            starP = pi++;
            starN = ni;
        } else if (starP >= 0) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == u'*') ++pi;
    return pi == p.size();
}

// Entries of `folder` whose names match `pattern`, sorted by name. Names that are not UTF-8
// (copied from a Windows stick) are listed under their Windows-1252 name.
std::vector<FoundFile> ListMatches(const QString& folder, const QString& pattern,
                                   bool includeFolders) {
    std::vector<FoundFile> out;
    std::vector<FolderEntry> entries = ListNativeFolder(folder);
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    for (const FolderEntry& entry : entries) {
        if (entry.isFolder && !includeFolders) continue;
        if (!WildcardMatch(pattern, entry.name)) continue;
        FoundFile f;
        f.name = ToCp1252(entry.name);
        f.nativePath = QDir(folder).filePath(entry.name);
        f.isFolder = entry.isFolder;
        f.size = entry.size;
        f.modified = entry.modified;
        out.push_back(std::move(f));
    }
    return out;
}

}  // namespace

int ReadIntSetting(const SettingsStore& store, const std::string& section, const std::string& name,
                   int defaultValue) {
    try {
        const std::string text =
            store.ReadSetting("", section, name, IntToText(defaultValue));
        return ParseLeadingInt(text, defaultValue);
    } catch (...) {
        LogDroppedException("reading a setting");
        return defaultValue;
    }
}

bool WildcardMatch(QStringView pattern, QStringView name) {
    if (MatchFrom(pattern, name)) return true;
    // "abc.*" and "*.*" also take names without an extension
    if (pattern.endsWith(u".*") && !name.contains(u'.'))
        return MatchFrom(pattern, QString(name.toString() + u'.'));
    return false;
}

bool FileFound(const ProgramEnvironment& env, std::string_view name) {
    try {
        if (name.empty()) return false;
        const std::string full = env.ResolvePath(name);
        const NameParts lastPart = ExeNameParts(full);
        if (!HasWildcard(lastPart.name + lastPart.extension)) {
            // a trailing separator names the folder itself
            return NativeExists(env.NativePath(ExcludeTrailingBackslash(full)));
        }
        const MaskParts parts = SplitMask(env, full);
        return !ListMatches(parts.folder, parts.pattern, true).empty();
    } catch (...) {
        LogDroppedException("looking for a file");
        return false;
    }
}

bool DeleteMatchingFiles(const ProgramEnvironment& env, std::string_view mask) {
    try {
        const MaskParts parts = SplitMask(env, mask);
        if (parts.pattern.isEmpty()) return false;
        bool any = false;
        for (const FoundFile& f : ListMatches(parts.folder, parts.pattern, false)) {
            if (NativeRemoveFile(f.nativePath)) any = true;
        }
        return any;
    } catch (...) {
        LogDroppedException("deleting files");
        return false;
    }
}

std::vector<Bytes> LoadListFile(const ProgramEnvironment& env, std::string_view name) {
    std::vector<Bytes> lines;
    try {
        const QString path = env.NativePath(env.ResolvePath(name));
        if (NativeIsFile(path)) ReadTextFileLines(path, lines);
    } catch (...) {
        LogDroppedException("reading a list file");
        lines.clear();
    }
    return lines;
}

bool AddToListFile(const ProgramEnvironment& env, std::string_view name, std::string_view line,
                   bool atTop, bool allowDuplicate, int maximum) {
    try {
        const QString path = env.NativePath(env.ResolvePath(name));
        std::vector<Bytes> lines;
        // A list that is there but cannot be read is left alone rather than overwritten.
        if (NativeExists(path) && !ReadTextFileLines(path, lines)) return false;
        if (!allowDuplicate) {
            const Bytes key = UpperText(NameOfPair(line));
            for (auto it = lines.begin(); it != lines.end(); ++it) {
                if (UpperText(NameOfPair(*it)) == key) {
                    lines.erase(it);
                    break;
                }
            }
        }
        if (atTop) {
            lines.insert(lines.begin(), Bytes(line));
            const size_t limit = maximum < 0 ? 0 : static_cast<size_t>(maximum);
            if (lines.size() > limit) lines.resize(limit);
        } else {
            lines.emplace_back(line);
        }
        return WriteTextFileLines(path, lines);
    } catch (...) {
        LogDroppedException("saving a list file");
        return false;
    }
}

FileSearch::FileSearch(const ProgramEnvironment& env) : env_(env) {}

int FileSearch::FindFirst(std::string_view mask, bool includeFolders) {
    FindClose();
    try {
        const MaskParts parts = SplitMask(env_, mask);
        if (!NativeIsFolder(parts.folder)) {
            lastResult_ = kPathNotFound;
            return lastResult_;
        }
        entries_ = ListMatches(parts.folder, parts.pattern, includeFolders);
    } catch (...) {
        LogDroppedException("listing a folder");
        entries_.clear();
    }
    if (entries_.empty()) {
        lastResult_ = kFileNotFound;
        return lastResult_;
    }
    current_ = entries_[0];
    next_ = 1;
    lastResult_ = kFound;
    return lastResult_;
}

int FileSearch::FindNext() {
    if (next_ >= entries_.size()) {
        FindClose();
        lastResult_ = kNoMoreFiles;
        return lastResult_;
    }
    current_ = entries_[next_++];
    lastResult_ = kFound;
    return lastResult_;
}

void FileSearch::FindClose() {
    entries_.clear();
    next_ = 0;
}

}  // namespace radevir
