// Loads the program's own font files for as long as it runs and records the face name each file
// added, so the console and the printer can ask for them by name. Fonts are application fonts of
// this process only; nothing is installed on the computer.
#pragma once

#include <string_view>
#include <utility>
#include <vector>

#include "support/codepage.h"

namespace radevir {

class ProgramEnvironment;

class FontInstaller {
public:
    explicit FontInstaller(const ProgramEnvironment& env);
    // Unloads whatever is still loaded.
    ~FontInstaller();
    FontInstaller(const FontInstaller&) = delete;
    FontInstaller& operator=(const FontInstaller&) = delete;

    // Loads folder + file. When exactly one new font family appeared, it is registered and,
    // with a list, the line "face=folder+file" is added to it. True once the file is loaded,
    // also when no single new family could be named; false when the file is missing or not a
    // font. A file of the same name loaded earlier is unloaded first.
    bool InstallFont(std::string_view folder, std::string_view file, std::vector<Bytes>* list);
    // Forgets the registration of a face; true when there was one.
    bool UninstallFont(std::string_view faceName);
    // "face=path" of an earlier load of a file with this name (folder and letter case ignored),
    // empty when there is none; its registration is dropped.
    Bytes FindRegisteredFont(std::string_view fileName);
    void RegisterFont(std::string_view faceName, std::string_view filePath);
    // Unloads the font file loaded from this path; true when it was loaded and is gone now.
    bool RemoveFontResource(std::string_view filePath);
    // The closing sequence for the host's list of installed fonts: drop each registration and
    // unload its file.
    void UninstallFonts(const std::vector<Bytes>& installed);

    // Adds every font family the system knows and the list lacks.
    static void ListFontFamilies(std::vector<Bytes>& list);

private:
    struct LoadedFont {
        Bytes path;  // as given: folder + file
        int id = -1;
    };
    const ProgramEnvironment& env_;
    std::vector<LoadedFont> loaded_;
    std::vector<std::pair<Bytes, Bytes>> registered_;  // face name → file path
};

}  // namespace radevir
