// The one random generator of the program; seeded from the command line for repeatable runs.
#pragma once

#include <cstdint>
#include <random>

namespace radevir {

class Random {
public:
    explicit Random(std::uint64_t seed = 1) : engine_(seed) {}
    void Seed(std::uint64_t seed) { engine_.seed(seed); }
    // 0 <= result < range (0 for range <= 0), like the classic Random(range).
    int Next(int range) {
        if (range <= 0) return 0;
        return std::uniform_int_distribution<int>(0, range - 1)(engine_);
    }
    double NextDouble() { return std::uniform_real_distribution<double>(0.0, 1.0)(engine_); }

private:
    std::mt19937_64 engine_;
};

}  // namespace radevir
