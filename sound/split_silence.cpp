// Cutting a recording at its pauses: a lead-in scan finds where the sound starts, a pause scan
// finds quiet stretches between words. Positions are sample frames.
#include <cmath>
#include <cstdlib>

#include "sound/wave_component.h"
#include "sound/wave_decode.h"
#include "support/rounding.h"

namespace radevir {
namespace {

struct Stretch {
    bool found = false;
    std::int64_t position = 0;
    std::int64_t length = 0;
};

enum class ScanKind { LeadIn, Pause };

Stretch Scan(const std::vector<std::int16_t>& x, std::int64_t frames, int rate, std::int64_t s,
             double percent, int minMs, ScanKind kind) {
    Stretch out;
    const double t = percent * 65536.0 / 100.0;
    const std::int64_t m = Round(static_cast<double>(minMs) * rate / 1000.0);
    const std::int64_t n = std::min<std::int64_t>(frames, static_cast<std::int64_t>(x.size()));
    const std::int64_t stop = n - m;
    double sum = 0;
    while (s >= 0 && s < stop && s + 1 < n) {
        sum += std::abs(x[static_cast<size_t>(s)] - x[static_cast<size_t>(s + 1)]);
        std::int64_t i = 0;
        if (sum < t) {
            int loud = 0;
            int allowance = 2;
            bool longEnough = false;
            bool atLoud = false;
            for (i = 1;; ++i) {
                const std::int64_t k = s + 1 + i;
                if (k >= stop || k >= n) break;
                if (std::abs(x[static_cast<size_t>(k)] - x[static_cast<size_t>(s)]) > t) {
                    if (++loud > allowance) {
                        atLoud = true;
                        break;
                    }
                }
                if (i > m) {
                    longEnough = true;
                    allowance = 1;
                }
            }
            if (longEnough) {
                out.found = true;
                out.length = i;
                out.position = (kind == ScanKind::LeadIn && atLoud) ? s + i / 2 : s;
                return out;
            }
        }
        s += i + 1;
        if (s % 3 == 0) sum = 0;
    }
    return out;
}

}  // namespace

std::vector<std::string> WaveComponent::SplitBySilence(const std::string& file, int maxParts) {
    std::vector<std::string> parts;
    auto info = ReadWaveData(file);
    if (!info || !info->hasData) return parts;
    const int rate = info->samplesPerSecond;
    std::vector<std::int16_t> x;
    std::int64_t frames = 0;
    bool sixteen = info->bitsPerSample == 16;
    if (sixteen) {
        x.resize(static_cast<size_t>(info->length / 2));
        for (size_t i = 0; i < x.size(); ++i) {
            x[i] = static_cast<std::int16_t>(ReadLe16(info->data.data() + 2 * i));
        }
        frames = std::min<std::int64_t>(info->frameCount, static_cast<std::int64_t>(x.size()));
    } else if (info->bitsPerSample == 4) {
        // compressed data: the lead-in scan reads the decoded samples
        DecodedWave decoded;
        if (DecodeWaveFile(Native(file), decoded) && decoded.channels == 1) {
            x = std::move(decoded.samples);
            frames = static_cast<std::int64_t>(x.size());
        }
    }
    const std::int64_t end = sixteen ? frames : std::max<std::int64_t>(0, info->frameCount);

    std::int64_t a = 0;
    std::int64_t n = 10;
    if (!x.empty()) {
        const Stretch lead = Scan(x, frames, rate, 0, 0.2, 10, ScanKind::LeadIn);
        if (lead.found) {
            a = lead.position;
            n = lead.length;
        }
    }
    std::int64_t start = a <= 100 ? a + n - ((n / 10) % 100) : 0;
    if (start > end) start = 0;
    const std::string name = QuoteIfNeeded(file);
    auto add = [&](std::int64_t from, std::int64_t to) {
        parts.push_back(name + "," + std::to_string(from) + "," + std::to_string(to));
    };
    while (sixteen && (maxParts <= 0 || static_cast<int>(parts.size()) < maxParts - 1)) {
        Stretch pause;
        for (double p : {0.1, 0.2, 0.4}) {
            pause = Scan(x, frames, rate, start + 100, p, 20, ScanKind::Pause);
            if (pause.found) break;
        }
        if (!pause.found) break;
        const std::int64_t next = pause.position + 2 * (pause.length / 2);
        add(start, next);
        start = next;
    }
    add(start, end);
    return parts;
}

}  // namespace radevir
