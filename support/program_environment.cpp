#include "support/program_environment.h"

#include <QDir>
#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <algorithm>
#include <cctype>

namespace radevir {
namespace {

bool StartsWithParent(std::string_view p) {
    return p.size() >= 3 && p[0] == '.' && p[1] == '.' && IsSeparator(p[2]);
}

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// Splits a data path into its folders (the last piece is the file or last folder).
std::vector<std::string> Pieces(std::string_view p) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : p) {
        if (IsSeparator(c)) {
            out.push_back(cur);
            cur.clear();
        } else {
            cur.push_back(c);
        }
    }
    out.push_back(cur);
    return out;
}

constexpr const char* kKitMarker = "radevir.kit";
// Beside the user's copy of an installed kit: for every file copied from the kit, the kit file's
// and the copy's size and modification time at copy time. An upgrade tells from it which copies
// the user has left alone (those may be replaced) and which files are new in the kit.
constexpr const char* kKitCopyRecord = ".radevir-kit-copy.ini";

struct FileStamp {
    qint64 size = -1;
    qint64 modifiedMs = -1;
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const QString& path) {
    const QFileInfo info(path);
    return {info.size(), info.lastModified().toMSecsSinceEpoch()};
}

// A record entry is four numbers: kit size, kit time, copy size, copy time.
bool ReadRecord(const QVariant& value, FileStamp& kit, FileStamp& copy) {
    const QStringList fields = value.toStringList();
    if (fields.size() != 4) return false;
    qint64 numbers[4] = {};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = fields[i].toLongLong(&ok);
        if (!ok) return false;
    }
    kit = {numbers[0], numbers[1]};
    copy = {numbers[2], numbers[3]};
    return true;
}

QStringList RecordOf(const FileStamp& kit, const FileStamp& copy) {
    return {QString::number(kit.size), QString::number(kit.modifiedMs), QString::number(copy.size),
            QString::number(copy.modifiedMs)};
}

bool SameContent(const QString& a, const QString& b) {
    QFile fa(a);
    QFile fb(b);
    if (fa.size() != fb.size() || !fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 kChunkBytes = 1 << 16;
    while (!fa.atEnd()) {
        if (fa.read(kChunkBytes) != fb.read(kChunkBytes)) return false;
    }
    return true;
}

// Replaces (or creates) the copy in one step, so an interrupted upgrade never leaves half a file.
bool CopyFileReplacing(const QString& from, const QString& to) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) return false;
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly)) return false;
    constexpr qint64 kChunkBytes = 1 << 16;
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(kChunkBytes);
        if (chunk.isEmpty() || target.write(chunk) != chunk.size()) {
            target.cancelWriting();
            return false;
        }
    }
    return target.commit();
}

// Brings the user's copy up to the installed kit: files new in the kit are added, copies the
// user has not touched follow the kit, and whatever the user changed, removed or added stays.
bool CopyTree(const QString& from, const QString& to) {
    if (!QDir().mkpath(to)) return false;
    QSettings record(to + "/" + kKitCopyRecord, QSettings::IniFormat);
    bool ok = true;
    const QDir kit(from);
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString rel = kit.relativeFilePath(src);
        const QString dst = to + "/" + rel;
        if (it.fileInfo().isDir()) {
            ok = QDir().mkpath(dst) && ok;
            continue;
        }
        FileStamp recordedKit;
        FileStamp recordedCopy;
        KitFileState state;
        state.recorded = ReadRecord(record.value(rel), recordedKit, recordedCopy);
        state.copyExists = QFileInfo::exists(dst);
        const FileStamp kitStamp = StampOf(src);
        state.kitFileChanged = state.recorded && kitStamp != recordedKit;
        state.copyUntouched = state.recorded && state.copyExists && StampOf(dst) == recordedCopy;
        state.copyMatchesKit = !state.recorded && state.copyExists && SameContent(src, dst);
        switch (DecideKitFile(state)) {
            case KitFileAction::Copy:
                if (!CopyFileReplacing(src, dst)) {
                    ok = false;
                    break;
                }
                [[fallthrough]];
            case KitFileAction::Adopt:
                record.setValue(rel, RecordOf(kitStamp, StampOf(dst)));
                break;
            case KitFileAction::Keep:
                break;
        }
    }
    record.sync();
    return ok && record.status() == QSettings::NoError;
}

}  // namespace

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::string ParentFolder(std::string_view path) {
    if (path.size() < 2) return std::string(path);
    // the last separator before the final character
    for (size_t i = path.size() - 1; i-- > 0;) {
        if (IsSeparator(path[i])) return std::string(path.substr(0, i + 1));
    }
    return std::string(path);
}

std::string IncludeTrailingBackslash(std::string_view path) {
    std::string out(path);
    if (out.empty() || !IsSeparator(out.back())) out.push_back('\\');
    return out;
}

std::string ExcludeTrailingBackslash(std::string_view path) {
    std::string out(path);
    if (!out.empty() && IsSeparator(out.back())) out.pop_back();
    return out;
}

std::string MakeRelativePath(std::string_view base, std::string_view path) {
    const std::string ub = Upper(base);
    const std::string up = Upper(path);
    if (!ub.empty() && up.compare(0, ub.size(), ub) == 0) return std::string(path.substr(base.size()));
    // remove the common leading folders
    const auto bp = Pieces(ub);
    const auto pp = Pieces(up);
    // folders of base: every piece but an empty last one (base ends with a separator)
    size_t baseFolders = bp.size();
    if (!bp.empty() && bp.back().empty()) --baseFolders;
    size_t common = 0;
    size_t offset = 0;  // characters of path covered by the common folders
    while (common < baseFolders && common + 1 < pp.size() && bp[common] == pp[common]) {
        offset += pp[common].size() + 1;
        ++common;
    }
    if (common == 0) return std::string(path);
    std::string out;
    for (size_t i = common; i < baseFolders; ++i) out += "..\\";
    out += path.substr(offset);
    return out;
}

NameParts ExeNameParts(std::string_view path) {
    NameParts parts;
    size_t folderEnd = 0;
    for (size_t i = path.size(); i-- > 0;) {
        if (IsSeparator(path[i])) {
            folderEnd = i + 1;
            break;
        }
    }
    parts.folder = std::string(path.substr(0, folderEnd));
    const std::string_view rest = path.substr(folderEnd);
    const size_t dot = rest.rfind('.');
    if (dot == std::string_view::npos) {
        parts.name = std::string(rest);
    } else {
        parts.name = std::string(rest.substr(0, dot));
        parts.extension = std::string(rest.substr(dot));
    }
    return parts;
}

QString FindPathIgnoringCase(const QString& nativePath) {
    if (nativePath.isEmpty()) return nativePath;
    const bool absolute = nativePath.startsWith('/');
    const QStringList parts = nativePath.split('/', Qt::KeepEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QString();
    bool found = true;  // every component so far exists
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        const bool last = i + 1 == parts.size();
        if (part.isEmpty()) {
            if (last && !current.endsWith('/')) current += '/';
            continue;
        }
        const QString base = current.isEmpty() ? QStringLiteral(".") : current;
        QString next = part;
        if (found && part != QLatin1String(".") && part != QLatin1String("..") &&
            !QFileInfo::exists(base + "/" + part)) {
            const QStringList entries =
                QDir(base).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                     QDir::NoDotAndDotDot);
            auto hit = std::find_if(entries.begin(), entries.end(), [&](const QString& e) {
                return e.compare(part, Qt::CaseInsensitive) == 0;
            });
            if (hit != entries.end()) {
                next = *hit;
            } else {
                found = false;
            }
        }
        if (!current.isEmpty() && !current.endsWith('/')) current += '/';
        current += next;
    }
    return current;
}

ProgramEnvironment::ProgramEnvironment(std::string programFolder, std::string programFileName)
    : programFolder_(std::move(programFolder)), programFileName_(std::move(programFileName)) {
    if (programFolder_.empty()) programFolder_ = "/";
    if (!IsSeparator(programFolder_.back())) {
        // a native folder keeps its own separator style
        const bool native = programFolder_.find('\\') == std::string::npos;
        programFolder_.push_back(native ? '/' : '\\');
    }
}

ProgramEnvironment ProgramEnvironment::FromNativeFolder(const QString& folder,
                                                        std::string programFileName) {
    QString native = folder.isEmpty() ? QStringLiteral("/") : folder;
    if (!native.endsWith('/')) native += '/';
    ProgramEnvironment env(ToCp1252(native), std::move(programFileName));
    env.nativeFolder_ = native;
    return env;
}

QString ProgramEnvironment::NativeFolder() const {
    if (!nativeFolder_.isEmpty()) return nativeFolder_;
    std::string folder = programFolder_;
    std::replace(folder.begin(), folder.end(), '\\', '/');
    return FromCp1252(folder);
}

std::string ProgramEnvironment::ResolvePath(std::string_view path) const {
    if (path.find(':') != std::string_view::npos) return std::string(path);
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') return std::string(path);
    if (!path.empty() && path[0] == '/') return std::string(path);  // absolute on this system
    if (!path.empty() && path[0] == '\\') path.remove_prefix(1);
    std::string base = programFolder_;
    while (StartsWithParent(path)) {
        path.remove_prefix(3);
        base = ParentFolder(base);
    }
    return base + std::string(path);
}

QString ProgramEnvironment::NativeOfResolved(const std::string& resolved) const {
    if (nativeFolder_.isEmpty()) return FromCp1252(resolved);
    // The byte folder and the native folder have the same separators at the same places (no
    // character becomes '/' in the code page), so the n-th separator of one matches the n-th
    // of the other; the longest common folder wins, which also covers "..\" climbing out.
    std::string byteFolder = programFolder_;
    std::replace(byteFolder.begin(), byteFolder.end(), '\\', '/');
    const std::string withSeparator = resolved + '/';
    for (size_t end = byteFolder.size(); end > 0; end = byteFolder.rfind('/', end - 2) + 1) {
        // byteFolder[0, end) is a folder ending in '/'
        const std::string_view prefix(byteFolder.data(), end);
        const bool below = resolved.compare(0, end, prefix) == 0;
        const bool itself = !below && withSeparator.size() == end && withSeparator == prefix;
        if (below || itself) {
            const auto separators = std::count(prefix.begin(), prefix.end(), '/');
            qsizetype nativeEnd = 0;
            for (qsizetype seen = 0; seen < separators; ++nativeEnd)
                if (nativeFolder_[nativeEnd] == '/') ++seen;
            if (itself) return nativeFolder_.left(nativeEnd - 1);
            return nativeFolder_.left(nativeEnd) + FromCp1252(std::string_view(resolved).substr(end));
        }
        if (end == 1) break;
    }
    return FromCp1252(resolved);
}

QString ProgramEnvironment::NativePath(std::string_view path) const {
    std::string full = ResolvePath(path);
    std::replace(full.begin(), full.end(), '\\', '/');
    return FindPathIgnoringCase(NativeOfResolved(full));
}

bool ProgramEnvironment::Exists(std::string_view path) const {
    return QFileInfo::exists(NativePath(path));
}

KitFileAction DecideKitFile(const KitFileState& s) {
    if (!s.recorded) {
        if (!s.copyExists) return KitFileAction::Copy;         // first start, or new in the kit
        return s.copyMatchesKit ? KitFileAction::Adopt : KitFileAction::Keep;  // else the user's own
    }
    if (!s.copyExists) return KitFileAction::Keep;             // the user removed it
    if (!s.copyUntouched) return KitFileAction::Keep;          // the user changed it
    return s.kitFileChanged ? KitFileAction::Copy : KitFileAction::Keep;
}

bool ProgramEnvironment::UpdateKitCopy(const QString& installedKit, const QString& userCopy) {
    return CopyTree(installedKit, userCopy);
}

bool ProgramEnvironment::HoldsDataKit(const QString& folder) {
    return QFileInfo(folder + "/" + kKitMarker).isFile();
}

QString ProgramEnvironment::FindDataFolder(const QString& executableFolder) {
    if (HoldsDataKit(executableFolder)) return executableFolder;
    const QString installed = QDir::cleanPath(executableFolder + "/../share/radevir");
    if (HoldsDataKit(installed)) {
        const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                             "/Zoze/radevir";
        UpdateKitCopy(installed, user);
        return user;
    }
    return executableFolder;
}

}  // namespace radevir
