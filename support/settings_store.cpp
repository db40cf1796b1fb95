#include "support/settings_store.h"

#include <QSettings>

#include "support/codepage.h"

namespace radevir {
namespace {
QString Key(const std::string& subkey, const std::string& section, const std::string& name) {
    QString key = FromCp1252(section) + "/" + FromCp1252(name);
    if (!subkey.empty()) key = FromCp1252(subkey) + "/" + key;
    return key;
}
}  // namespace

SettingsStore::SettingsStore(const QString& iniFile, const std::string& programFileName) {
    if (iniFile.isEmpty()) {
        settings_ = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                QStringLiteral("Zoze"),
                                                FromCp1252(programFileName));
    } else {
        settings_ = std::make_unique<QSettings>(iniFile, QSettings::IniFormat);
    }
}

SettingsStore::~SettingsStore() = default;

std::string SettingsStore::ReadSetting(const std::string& subkey, const std::string& section,
                                       const std::string& name,
                                       const std::string& defaultValue) const {
    const QVariant v = settings_->value(Key(subkey, section, name));
    if (!v.isValid()) return defaultValue;
    return ToCp1252(v.toString());
}

void SettingsStore::WriteSetting(const std::string& subkey, const std::string& section,
                                 const std::string& name, const std::string& value) {
    settings_->setValue(Key(subkey, section, name), FromCp1252(value));
    settings_->sync();
}

QString SettingsStore::FileName() const { return settings_->fileName(); }

}  // namespace radevir
