// The program's one rounding rule: to the nearest integer, halves to even.
#pragma once

#include <cmath>

namespace radevir {

inline long long RoundHalfEven(double v) {
    const double f = std::floor(v);
    const double diff = v - f;
    if (diff > 0.5) return static_cast<long long>(f) + 1;
    if (diff < 0.5) return static_cast<long long>(f);
    const auto fi = static_cast<long long>(f);
    return (fi % 2 == 0) ? fi : fi + 1;
}

inline int Round(double v) { return static_cast<int>(RoundHalfEven(v)); }

}  // namespace radevir
