// The stored speed factor ("Allgemein"/"Delay"): written fixed-point with two significant digits
// and two decimals, read back leniently (either decimal separator, fallback 1).
#pragma once

#include <string>

namespace radevir {

class SettingsStore;

// The factor from the stored text; text that does not convert gives 1.
double ParseSpeedFactor(const std::string& text);
// Stores the factor the speed dialog confirmed, with the locale's decimal separator. A store
// that cannot be written is logged and left as it was.
void WriteSpeedSetting(SettingsStore& settings, double factor);

}  // namespace radevir
