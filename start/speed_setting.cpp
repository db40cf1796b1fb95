#include "start/speed_setting.h"

#include <QLocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "support/error_log.h"
#include "support/settings_store.h"

namespace radevir {

std::string FormatFixed(double value, int precision, int digits, char decimalSeparator) {
    if (!std::isfinite(value)) return "0";
    char buffer[64];
    const double magnitude = std::fabs(value);
    const int integerDigits = magnitude >= 1 ? static_cast<int>(std::floor(std::log10(magnitude))) + 1 : 1;
    if (integerDigits > precision) {
        // exponent form with `precision` significant digits, trailing zeros dropped
        std::snprintf(buffer, sizeof buffer, "%.*E", precision - 1, value);
        std::string s(buffer);
        const size_t e = s.find('E');
        std::string mantissa = s.substr(0, e);
        const int exponent = std::atoi(s.c_str() + e + 1);
        if (mantissa.find('.') != std::string::npos) {
            while (!mantissa.empty() && mantissa.back() == '0') mantissa.pop_back();
            if (!mantissa.empty() && mantissa.back() == '.') mantissa.pop_back();
        }
        for (char& c : mantissa)
            if (c == '.') c = decimalSeparator;
        return mantissa + "E" + std::to_string(exponent);
    }
    // round to `precision` significant digits first
    const int decimalsForPrecision = precision - integerDigits;
    const double scale = std::pow(10.0, decimalsForPrecision);
    const double rounded = std::round(value * scale) / scale;
    std::snprintf(buffer, sizeof buffer, "%.*f", digits, rounded);
    std::string s(buffer);
    for (char& c : s)
        if (c == '.') c = decimalSeparator;
    return s;
}

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
