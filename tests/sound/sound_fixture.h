// Shared pieces of the sound tests: a scratch program folder with a wave component on a
// virtual clock and the null output, and a wave-file builder that writes the bytes by hand.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "sound/audio_output.h"
#include "sound/wave_component.h"
#include "support/clock.h"
#include "support/program_environment.h"
#include "tests/test_support.h"

namespace radevir::test {

inline void Le16(QByteArray& b, int v) {
    b.append(static_cast<char>(v & 0xFF));
    b.append(static_cast<char>((v >> 8) & 0xFF));
}
inline void Le32(QByteArray& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}
inline std::uint32_t At32(const QByteArray& b, int offset) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[offset + i]);
    return v;
}

// A 16-bit PCM wave file with the given samples.
inline QByteArray PcmWave(const std::vector<std::int16_t>& samples, int rate = 22050,
                          int channels = 1) {
    QByteArray b("RIFF");
    Le32(b, 36 + static_cast<std::uint32_t>(samples.size() * 2));
    b.append("WAVEfmt ");
    Le32(b, 16);
    Le16(b, 1);
    Le16(b, channels);
    Le32(b, static_cast<std::uint32_t>(rate));
    Le32(b, static_cast<std::uint32_t>(rate * 2 * channels));
    Le16(b, 2 * channels);
    Le16(b, 16);
    b.append("data");
    Le32(b, static_cast<std::uint32_t>(samples.size() * 2));
    for (std::int16_t s : samples) Le16(b, s);
    return b;
}

// Overwrites a little-endian field of a hand-made wave (format tag at 20, channels at 22, rate
// at 24, bits at 34; a 16-bit field unless `bytes` is 4).
inline QByteArray WithField(QByteArray b, int offset, std::uint32_t value, int bytes = 2) {
    for (int i = 0; i < bytes; ++i) b[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return b;
}

// An 8-bit PCM wave file (unsigned samples).
inline QByteArray Pcm8Wave(const std::vector<std::uint8_t>& samples, int rate) {
    QByteArray b("RIFF");
    Le32(b, 36 + static_cast<std::uint32_t>(samples.size()));
    b.append("WAVEfmt ");
    Le32(b, 16);
    Le16(b, 1);
    Le16(b, 1);
    Le32(b, static_cast<std::uint32_t>(rate));
    Le32(b, static_cast<std::uint32_t>(rate));
    Le16(b, 1);
    Le16(b, 8);
    b.append("data");
    Le32(b, static_cast<std::uint32_t>(samples.size()));
    for (std::uint8_t s : samples) b.append(static_cast<char>(s));
    return b;
}

// A Microsoft ADPCM (format tag 2) header in the usual layout: fmt with 32 extra bytes, a fact
// chunk whose field sits at offset 78, the data chunk starting at 90.
inline QByteArray AdpcmWave(int dataBytes) {
    QByteArray b("RIFF");
    Le32(b, static_cast<std::uint32_t>(82 + dataBytes));
    b.append("WAVEfmt ");
    Le32(b, 50);
    Le16(b, 2);
    Le16(b, 1);
    Le32(b, 22050);
    Le32(b, 11155);
    Le16(b, 512);
    Le16(b, 4);
    Le16(b, 32);
    b.append(QByteArray(32, '\0'));
    b.append("fact");
    Le32(b, 4);
    Le32(b, 0);
    b.append("data");
    Le32(b, static_cast<std::uint32_t>(dataBytes));
    b.append(QByteArray(dataBytes, '\x11'));
    return b;
}

inline std::vector<std::int16_t> Sine(int frames, double hz, double amplitude, int rate = 22050) {
    std::vector<std::int16_t> s(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        s[static_cast<size_t>(i)] =
            static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * M_PI * hz * i / rate)));
    }
    return s;
}

class SoundTest : public ::testing::Test {
protected:
    SoundTest()
        : env_(dir_.Folder()),
          output_(MakeNullAudioOutput(clock_)),
          wav_(std::make_unique<WaveComponent>(env_, *output_, clock_)) {}

    std::string P(const QString& relative) const { return dir_.Folder() + relative.toStdString(); }
    std::string WriteFile(const QString& relative, const QByteArray& bytes) const {
        return ToCp1252(dir_.Write(relative, bytes));
    }
    QByteArray Read(const std::string& path) const {
        QFile f(FromCp1252(path));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Lets queued end-of-play reports run, moving the virtual clock on by `ms`.
    void Advance(double ms) {
        clock_.SleepMs(ms);
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }

    ScratchDir dir_;
    ProgramEnvironment env_;
    VirtualClock clock_;
    std::unique_ptr<AudioOutput> output_;
    std::unique_ptr<WaveComponent> wav_;
};

}  // namespace radevir::test
