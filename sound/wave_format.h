// RIFF/WAVE layout: finding the format and data chunks, the validity rules, the canonical empty
// header and byte/time conversions. Works on any random-access byte store (file or memory), so
// the parser has no file-system or Qt dependencies.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace radevir {

// Random access to the bytes of one wave file.
class WaveIo {
public:
    virtual ~WaveIo() = default;
    virtual std::int64_t Size() const = 0;
    // Reads exactly n bytes at offset; false when they are not all there.
    virtual bool ReadAt(std::int64_t offset, void* buffer, std::int64_t n) = 0;
    // Writes n bytes at offset, growing the store as needed.
    virtual bool WriteAt(std::int64_t offset, const void* buffer, std::int64_t n) = 0;
};

// A wave file held in memory (tests, fuzzing, headers under construction).
class MemoryWaveIo final : public WaveIo {
public:
    MemoryWaveIo() = default;
    explicit MemoryWaveIo(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    std::int64_t Size() const override { return static_cast<std::int64_t>(bytes_.size()); }
    bool ReadAt(std::int64_t offset, void* buffer, std::int64_t n) override;
    bool WriteAt(std::int64_t offset, const void* buffer, std::int64_t n) override;
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatMsAdpcm = 2;
// The fact chunk's first field in the usual ADPCM header layout.
constexpr std::int64_t kAdpcmFactOffset = 78;
// Longest header CopyWaveHeader copies.
constexpr std::int64_t kMaxHeaderBytes = 65546;
// Recordings outside these bounds are damaged or not meant for speech: a rate below 1000 Hz
// gives no samples per millisecond, and the converter takes at most eight channels.
constexpr std::uint32_t kMinSampleRate_hz = 1000;
constexpr std::uint32_t kMaxSampleRate_hz = 384000;
constexpr int kMaxChannels = 8;

struct WaveLayout {
    bool valid = false;
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSecond = 0;
    std::uint32_t avgBytesPerSecond = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;
    std::vector<std::uint8_t> extra;  // extra format bytes, read when 1..64 of them
    std::int64_t riffSizeOffset = 4;
    std::int64_t dataSizeOffset = 0;  // file offset of the data chunk's size field
    std::int64_t dataStart = 0;       // file offset of the first sample byte
    std::uint32_t dataSize = 0;       // the data chunk's size field, as stored

    bool Stereo() const { return channels == 2; }
    // Plain PCM the join appends byte by byte: 8 or 16 bits.
    bool PlainPcm() const {
        return formatTag == kFormatPcm && (bitsPerSample == 8 || bitsPerSample == 16);
    }
    bool SaneRate() const {
        return samplesPerSecond >= kMinSampleRate_hz && samplesPerSecond <= kMaxSampleRate_hz;
    }
    bool SaneChannels() const { return channels >= 1 && channels <= kMaxChannels; }
    // Same sample layout: the bytes of one can follow the bytes of the other.
    bool SameFormat(const WaveLayout& other) const {
        return formatTag == other.formatTag && channels == other.channels &&
               samplesPerSecond == other.samplesPerSecond &&
               bitsPerSample == other.bitsPerSample && blockAlign == other.blockAlign;
    }
    // channels × (bits ÷ 4): 4 for 16-bit mono, 1 for 4-bit mono.
    int NibblesPerFrame() const { return channels * (bitsPerSample / 4); }
    // Frames the data chunk holds by its size field.
    std::int64_t FrameCount() const;
    // Bytes of sample data actually present in a store of `fileSize` bytes.
    std::int64_t AvailableData(std::int64_t fileSize) const;
    // Playing time of the data by the average byte rate.
    double DurationMs(std::int64_t fileSize) const;
};

// Parses the RIFF structure. Never reads outside the store; bad input gives valid = false.
WaveLayout ParseWave(WaveIo& io);

// The file up to the end of the sample data present, its data and RIFF sizes set to fit those
// bytes (a data chunk cut short says less than it claimed). Empty when the layout does not
// belong to the bytes.
std::vector<std::uint8_t> FittedToItsBytes(const WaveLayout& w, const std::vector<std::uint8_t>& bytes);

// The 44-byte canonical header (16-bit PCM) for a rate and channel count, with an empty data
// chunk; taken from one of six stored templates and given the requested rate.
std::array<std::uint8_t, 44> EmptyWaveHeader(std::uint32_t rate, bool stereo);

// ms × rate ÷ 1000 frames (truncated), then bits × frames ÷ 8 bytes, doubled for stereo.
std::int64_t MsToBytes(std::int64_t ms, std::int64_t rate, std::int64_t bits, bool stereo);

std::uint32_t ReadLe32(const std::uint8_t* p);
std::uint16_t ReadLe16(const std::uint8_t* p);
void PutLe32(std::uint8_t* p, std::uint32_t v);
void PutLe16(std::uint8_t* p, std::uint16_t v);

}  // namespace radevir
