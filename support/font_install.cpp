#include "support/font_install.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <algorithm>

#include "support/error_log.h"
#include "support/program_environment.h"
#include "support/text_helpers.h"

namespace radevir {
namespace {

// Upper-case file name without its folder, for comparing font files.
Bytes FileKey(std::string_view path) {
    const NameParts parts = ExeNameParts(path);
    return UpperText(parts.name + parts.extension);
}

}  // namespace

FontInstaller::FontInstaller(const ProgramEnvironment& env) : env_(env) {}

FontInstaller::~FontInstaller() {
    for (const LoadedFont& f : loaded_) QFontDatabase::removeApplicationFont(f.id);
}

void FontInstaller::ListFontFamilies(std::vector<Bytes>& list) {
    try {
        for (const QString& family : QFontDatabase::families()) {
            Bytes name = ToCp1252(family);
            if (std::find(list.begin(), list.end(), name) == list.end())
                list.push_back(std::move(name));
        }
    } catch (...) {
        LogDroppedException("listing font families");
    }
}

Bytes FontInstaller::FindRegisteredFont(std::string_view fileName) {
    const Bytes key = FileKey(fileName);
    for (auto it = registered_.begin(); it != registered_.end(); ++it) {
        if (FileKey(it->second) == key) {
            Bytes found = it->first + "=" + it->second;
            registered_.erase(it);
            return found;
        }
    }
    // loaded before without a face name of its own: still a stale load of the same file
    for (const LoadedFont& f : loaded_) {
        if (FileKey(f.path) == key) return "=" + f.path;
    }
    return {};
}

void FontInstaller::RegisterFont(std::string_view faceName, std::string_view filePath) {
    for (auto& entry : registered_) {
        if (entry.first == faceName) {
            entry.second = Bytes(filePath);
            return;
        }
    }
    registered_.emplace_back(Bytes(faceName), Bytes(filePath));
}

bool FontInstaller::UninstallFont(std::string_view faceName) {
    const auto it = std::find_if(registered_.begin(), registered_.end(),
                                 [&](const auto& e) { return e.first == faceName; });
    if (it == registered_.end()) return false;
    registered_.erase(it);
    return true;
}

bool FontInstaller::RemoveFontResource(std::string_view filePath) {
    const Bytes key = UpperText(filePath);
    const auto it = std::find_if(loaded_.begin(), loaded_.end(),
                                 [&](const LoadedFont& f) { return UpperText(f.path) == key; });
    if (it == loaded_.end()) return false;
    const bool removed = QFontDatabase::removeApplicationFont(it->id);
    loaded_.erase(it);
    return removed;
}

void FontInstaller::UninstallFonts(const std::vector<Bytes>& installed) {
    for (const Bytes& line : installed) {
        try {
            UninstallFont(NameOfPair(line));
            RemoveFontResource(ValueOfPair(line));
        } catch (...) {
            LogDroppedException("removing a font");
        }
    }
}

bool FontInstaller::InstallFont(std::string_view folder, std::string_view file,
                                std::vector<Bytes>* list) {
    const Bytes path = Bytes(folder) + Bytes(file);
    const QString native = env_.NativePath(path);
    if (!QFileInfo(native).isFile()) return false;
    bool result = false;
    try {
        const Bytes stale = FindRegisteredFont(file);
        if (!stale.empty()) {
            // A registration whose file is no longer loaded has nothing left to unload; only a
            // load that refuses to go stops the installation.
            const Bytes stalePath = ValueOfPair(stale);
            const bool loaded = std::any_of(loaded_.begin(), loaded_.end(), [&](const LoadedFont& f) {
                return UpperText(f.path) == UpperText(stalePath);
            });
            if (loaded && !RemoveFontResource(stalePath)) return false;
        }

        std::vector<Bytes> families;
        ListFontFamilies(families);
        const size_t before = families.size();

        const int id = QFontDatabase::addApplicationFont(native);
        if (id < 0) return false;
        loaded_.push_back({path, id});
        result = true;

        ListFontFamilies(families);
        if (families.size() == before + 1) {
            const Bytes& face = families.back();
            RegisterFont(face, path);
            if (list) list->push_back(face + "=" + path);
        }
    } catch (...) {
        LogDroppedException("installing a font");
    }
    return result;
}

}  // namespace radevir
