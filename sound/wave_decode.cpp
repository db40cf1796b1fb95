#include "sound/wave_decode.h"

#include <QFile>
#include <SDL.h>
#include <algorithm>
#include <cstring>

#include "sound/wave_format.h"

namespace radevir {
namespace {

bool Stream(const void* data, int bytes, int inRate, int inChannels, int outRate, int outChannels,
            std::vector<std::int16_t>& out, SDL_AudioFormat inFormat = AUDIO_S16SYS) {
    SDL_AudioStream* s = SDL_NewAudioStream(inFormat, static_cast<Uint8>(inChannels), inRate,
                                            AUDIO_S16SYS, static_cast<Uint8>(outChannels), outRate);
    if (!s) return false;
    bool ok = bytes == 0 || SDL_AudioStreamPut(s, data, bytes) == 0;
    // SDL's resampler keeps back the last stretch even when flushed: feed silence after the
    // sound and cut the output to the sound's own length.
    const int frameBytes = SDL_AUDIO_BITSIZE(inFormat) / 8 * inChannels;
    const std::int64_t inFrames = frameBytes > 0 ? bytes / frameBytes : 0;
    const std::int64_t outSamples = inFrames * outRate / inRate * outChannels;
    if (ok && inRate != outRate) {
        const std::vector<std::uint8_t> pad(static_cast<size_t>(frameBytes) * (inRate / 5 + 1024),
                                            inFormat == AUDIO_U8 ? 0x80 : 0);
        ok = SDL_AudioStreamPut(s, pad.data(), static_cast<int>(pad.size())) == 0;
    }
    ok = ok && SDL_AudioStreamFlush(s) == 0;
    // The converter hands its output out in pieces; take all of it.
    out.clear();
    std::vector<std::int16_t> chunk(4096);
    while (ok) {
        const int got = SDL_AudioStreamGet(s, chunk.data(), static_cast<int>(chunk.size() * 2));
        if (got < 0) ok = false;
        if (got <= 0) break;
        out.insert(out.end(), chunk.begin(), chunk.begin() + got / 2);
    }
    if (inRate != outRate && static_cast<std::int64_t>(out.size()) > outSamples) {
        out.resize(static_cast<size_t>(outSamples));
    }
    SDL_FreeAudioStream(s);
    return ok;
}

}  // namespace

bool DecodeWaveFile(const QString& nativePath, DecodedWave& out) {
    QFile f(nativePath);
    if (!f.open(QIODevice::ReadOnly)) return false;
    return DecodeWaveBytes(f.readAll(), out);
}

bool DecodeWaveBytes(const QByteArray& bytes, DecodedWave& out) {
    MemoryWaveIo io(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    const WaveLayout w = ParseWave(io);
    if (!w.valid || !w.SaneRate() || !w.SaneChannels()) {
        return false;
    }
    out = DecodedWave{};
    out.rate = static_cast<int>(w.samplesPerSecond);
    out.channels = w.channels;
    const std::int64_t avail = w.AvailableData(io.Size());
    const std::uint8_t* data = io.Bytes().data() + w.dataStart;
    if (w.formatTag == kFormatPcm && w.bitsPerSample == 16) {
        const std::int64_t frames = avail / (2 * w.channels);
        out.samples.resize(static_cast<size_t>(frames * w.channels));
        for (size_t i = 0; i < out.samples.size(); ++i) {
            out.samples[i] = static_cast<std::int16_t>(ReadLe16(data + 2 * i));
        }
        return true;
    }
    if (w.formatTag == kFormatPcm && w.bitsPerSample == 8) {
        const std::int64_t frames = avail / w.channels;
        out.samples.resize(static_cast<size_t>(frames * w.channels));
        for (size_t i = 0; i < out.samples.size(); ++i) {
            out.samples[i] = static_cast<std::int16_t>((static_cast<int>(data[i]) - 128) << 8);
        }
        return true;
    }
    // Compressed formats: SDL's reader decodes MS and IMA ADPCM. It gets the file up to the end
    // of the sample data, with the data and RIFF sizes made to fit the bytes: it takes the data
    // chunk's size on trust, and a 90-byte file whose data chunk claimed 4 GB made it ask for 4 GB.
    const std::vector<std::uint8_t> whole = FittedToItsBytes(w, io.Bytes());
    if (whole.empty()) return false;
    SDL_RWops* rw = SDL_RWFromConstMem(whole.data(), static_cast<int>(whole.size()));
    if (!rw) return false;
    SDL_AudioSpec spec{};
    Uint8* buf = nullptr;
    Uint32 len = 0;
    if (!SDL_LoadWAV_RW(rw, 1, &spec, &buf, &len)) return false;
    out.rate = spec.freq;
    out.channels = std::clamp<int>(spec.channels, 1, 2);
    const bool ok = Stream(buf, static_cast<int>(len), spec.freq, spec.channels, spec.freq,
                           out.channels, out.samples, spec.format);
    SDL_FreeWAV(buf);
    return ok;
}

bool ConvertWave(const DecodedWave& in, int rate, int channels, DecodedWave& out) {
    if (in.rate <= 0 || in.channels <= 0 || rate <= 0 || channels <= 0) return false;
    out.rate = rate;
    out.channels = channels;
    if (in.rate == rate && in.channels == channels) {
        out.samples = in.samples;
        return true;
    }
    return Stream(in.samples.data(), static_cast<int>(in.samples.size() * 2), in.rate,
                  in.channels, rate, channels, out.samples);
}

}  // namespace radevir
