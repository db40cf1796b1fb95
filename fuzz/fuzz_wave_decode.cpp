// Any bytes as a recording to play: decoded to 16-bit samples (our own reader for PCM, SDL's for
// ADPCM), then converted the two ways the players do (22050 Hz mono, 44100 Hz stereo). What comes
// out is whole frames, and a conversion gives the length the rates say.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "sound/wave_decode.h"

using namespace radevir;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    DecodedWave wave;
    if (!DecodeWaveBytes(bytes, wave)) return 0;
    if (wave.rate <= 0 || wave.channels <= 0) std::abort();
    if (wave.samples.size() % static_cast<size_t>(wave.channels) != 0) std::abort();
    for (const auto& [rate, channels] : {std::pair{22050, 1}, std::pair{44100, 2}}) {
        DecodedWave converted;
        if (!ConvertWave(wave, rate, channels, converted)) continue;
        if (converted.rate != rate || converted.channels != channels) std::abort();
        if (converted.samples.size() % static_cast<size_t>(channels) != 0) std::abort();
        const std::int64_t most = wave.Frames() * rate / wave.rate + 1;
        if (converted.Frames() > most) std::abort();
    }
    return 0;
}
