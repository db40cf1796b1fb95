// The per-user settings store: sections and string values in an ini file (organisation "Zoze",
// application = the program file name), or in a file named on the command line.
#pragma once

#include <QString>
#include <memory>
#include <string>

class QSettings;

namespace radevir {

class SettingsStore {
public:
    // An empty file name selects the user's own store for `programFileName`.
    SettingsStore(const QString& iniFile, const std::string& programFileName);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // subkey is always empty at the program's call sites; a non-empty one prefixes the section.
    std::string ReadSetting(const std::string& subkey, const std::string& section,
                            const std::string& name, const std::string& defaultValue) const;
    void WriteSetting(const std::string& subkey, const std::string& section,
                      const std::string& name, const std::string& value);
    QString FileName() const;

private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace radevir
