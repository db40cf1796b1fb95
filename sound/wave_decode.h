// Decoding a wave file to plain 16-bit samples for playback: our own reader for PCM, SDL's for
// the compressed formats, SDL's converter for rate and channel changes.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace radevir {

struct DecodedWave {
    std::vector<std::int16_t> samples;  // interleaved
    int rate = 0;
    int channels = 0;
    std::int64_t Frames() const { return channels ? static_cast<std::int64_t>(samples.size()) / channels : 0; }
    double DurationMs() const { return rate ? Frames() * 1000.0 / rate : 0; }
};

// False for a file that is missing, not a valid wave, or cannot be decoded.
bool DecodeWaveFile(const QString& nativePath, DecodedWave& out);
// The same for a wave file's bytes.
bool DecodeWaveBytes(const QByteArray& bytes, DecodedWave& out);
// Converts to the given rate and channel count (1 or 2).
bool ConvertWave(const DecodedWave& in, int rate, int channels, DecodedWave& out);

}  // namespace radevir
