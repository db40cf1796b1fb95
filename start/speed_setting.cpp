#include "start/speed_setting.h"

#include <QLocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "support/error_log.h"
#include "support/settings_store.h"
#include "support/text_helpers.h"

namespace radevir {

double ParseSpeedFactor(const std::string& text) {
    std::string s;
    for (char c : text) {
        if (c == ',') c = '.';
        if (c != ' ') s.push_back(c);
    }
    if (s.empty()) return 1.0;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (end == s.c_str() || *end != '\0' || !std::isfinite(v) || v < 0) return 1.0;
    return v;
}

void WriteSpeedSetting(SettingsStore& settings, double factor) {
    try {
        const QString point = QLocale().decimalPoint();
        const char separator = point.isEmpty() ? '.' : point.at(0).toLatin1();
        settings.WriteSetting("", "Allgemein", "Delay", FormatFixed(factor, 2, 2, separator));
    } catch (...) {
        LogDroppedException("saving the speed setting");
    }
}

}  // namespace radevir
