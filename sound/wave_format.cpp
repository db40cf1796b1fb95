#include "sound/wave_format.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace radevir {

bool MemoryWaveIo::ReadAt(std::int64_t offset, void* buffer, std::int64_t n) {
    if (offset < 0 || n < 0 || offset > Size() || n > Size() - offset) return false;
    if (n > 0) std::memcpy(buffer, bytes_.data() + offset, static_cast<size_t>(n));
    return true;
}

bool MemoryWaveIo::WriteAt(std::int64_t offset, const void* buffer, std::int64_t n) {
    if (offset < 0 || n < 0) return false;
    const auto end = static_cast<size_t>(offset + n);
    if (end > bytes_.size()) bytes_.resize(end, 0);
    if (n > 0) std::memcpy(bytes_.data() + offset, buffer, static_cast<size_t>(n));
    return true;
}

std::uint32_t ReadLe32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t ReadLe16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
void PutLe32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void PutLe16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

namespace {

struct ChunkHeader {
    char id[4] = {};
    std::uint32_t size = 0;
    std::int64_t dataOffset = 0;  // first byte after the 8-byte header
};

// Looks for a chunk with `id` among the chunks from `from` up to `end`.
bool FindChunk(WaveIo& io, std::int64_t from, std::int64_t end, const char* id, ChunkHeader& out) {
    std::int64_t pos = from;
    while (pos >= 0 && pos + 8 <= end) {
        std::uint8_t h[8];
        if (!io.ReadAt(pos, h, 8)) return false;
        ChunkHeader c;
        std::memcpy(c.id, h, 4);
        c.size = ReadLe32(h + 4);
        c.dataOffset = pos + 8;
        if (std::memcmp(c.id, id, 4) == 0) {
            out = c;
            return true;
        }
        // chunks are padded to an even length
        pos = c.dataOffset + static_cast<std::int64_t>(c.size) + (c.size & 1u);
    }
    return false;
}

}  // namespace

std::int64_t WaveLayout::FrameCount() const {
    const int nibbles = NibblesPerFrame();
    if (nibbles <= 0) return 0;
    const std::int64_t frames = static_cast<std::int64_t>(dataSize) * 2 / nibbles;
    return std::min<std::int64_t>(frames, std::numeric_limits<std::int32_t>::max());
}

std::int64_t WaveLayout::AvailableData(std::int64_t fileSize) const {
    return std::clamp<std::int64_t>(fileSize - dataStart, 0, dataSize);
}

double WaveLayout::DurationMs(std::int64_t fileSize) const {
    std::uint32_t rate = avgBytesPerSecond;
    if (rate == 0) rate = samplesPerSecond * std::max<std::uint32_t>(1, blockAlign);
    if (rate == 0) return 0;
    return static_cast<double>(AvailableData(fileSize)) * 1000.0 / rate;
}

WaveLayout ParseWave(WaveIo& io) {
    WaveLayout w;
    const std::int64_t size = io.Size();
    std::uint8_t riff[12];
    if (size < 12 || !io.ReadAt(0, riff, 12)) return w;
    if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) return w;
    // The RIFF size is often wrong in the wild; the file's own end bounds the search.
    const std::int64_t end = size;

    ChunkHeader fmt;
    if (!FindChunk(io, 12, end, "fmt ", fmt)) return w;
    // A format chunk too short for its own fields would share bytes with the next chunk, so
    // that fixing a chunk size could change the format.
    if (fmt.size < 16) return w;
    std::uint8_t f[18];
    if (!io.ReadAt(fmt.dataOffset, f, 18)) return w;
    w.formatTag = ReadLe16(f);
    w.channels = ReadLe16(f + 2);
    w.samplesPerSecond = ReadLe32(f + 4);
    w.avgBytesPerSecond = ReadLe32(f + 8);
    w.blockAlign = ReadLe16(f + 12);
    w.bitsPerSample = ReadLe16(f + 14);
    w.extraSize = ReadLe16(f + 16);
    if (w.formatTag == 0) return w;
    if (w.extraSize >= 1 && w.extraSize <= 64 && fmt.size >= 18u + w.extraSize) {
        w.extra.resize(w.extraSize);
        if (!io.ReadAt(fmt.dataOffset + 18, w.extra.data(), w.extraSize)) w.extra.clear();
    }
    ChunkHeader data;
    const std::int64_t afterFmt =
        fmt.dataOffset + static_cast<std::int64_t>(fmt.size) + (fmt.size & 1u);
    if (!FindChunk(io, afterFmt, end, "data", data)) return w;
    if (w.bitsPerSample != 4 && w.bitsPerSample != 8 && w.bitsPerSample != 16) return w;
    // A file without channels has no frames to count; it cannot be played or joined.
    if (w.channels == 0) return w;
    w.dataSizeOffset = data.dataOffset - 4;
    w.dataStart = data.dataOffset;
    w.dataSize = data.size;
    w.valid = true;
    return w;
}

std::vector<std::uint8_t> FittedToItsBytes(const WaveLayout& w, const std::vector<std::uint8_t>& bytes) {
    const auto size = static_cast<std::int64_t>(bytes.size());
    if (!w.valid || w.dataStart > size || w.dataSizeOffset < 8 || w.dataSizeOffset + 4 > w.dataStart ||
        w.riffSizeOffset < 0 || w.riffSizeOffset + 4 > w.dataSizeOffset)
        return {};
    const std::int64_t available = w.AvailableData(size);
    std::vector<std::uint8_t> fitted(bytes.begin(), bytes.begin() + (w.dataStart + available));
    PutLe32(fitted.data() + w.dataSizeOffset, static_cast<std::uint32_t>(available));
    PutLe32(fitted.data() + w.riffSizeOffset, static_cast<std::uint32_t>(fitted.size() - 8));
    return fitted;
}

std::array<std::uint8_t, 44> EmptyWaveHeader(std::uint32_t rate, bool stereo) {
    // The six stored headers: mono and stereo at 11025, 22050 and 44100 samples per second.
    static constexpr std::uint32_t kRates[3] = {11025, 22050, 44100};
    std::array<std::array<std::uint8_t, 44>, 6> templates{};
    for (int t = 0; t < 6; ++t) {
        auto& h = templates[static_cast<size_t>(t)];
        const bool st = t >= 3;
        const std::uint32_t r = kRates[t % 3];
        std::memcpy(h.data(), "RIFF", 4);
        PutLe32(h.data() + 4, 36);
        std::memcpy(h.data() + 8, "WAVEfmt ", 8);
        PutLe32(h.data() + 16, 16);
        PutLe16(h.data() + 20, kFormatPcm);
        PutLe16(h.data() + 22, st ? 2 : 1);
        PutLe32(h.data() + 24, r);
        PutLe32(h.data() + 28, r * (st ? 4 : 2));
        PutLe16(h.data() + 32, st ? 4 : 2);
        PutLe16(h.data() + 34, 16);
        std::memcpy(h.data() + 36, "data", 4);
        PutLe32(h.data() + 40, 0);
    }
    const int index = (rate <= 11025 ? 0 : rate <= 22050 ? 1 : 2) + (stereo ? 3 : 0);
    auto h = templates[static_cast<size_t>(index)];
    PutLe32(h.data() + 24, rate);
    PutLe32(h.data() + 28, rate * (stereo ? 4u : 2u));
    return h;
}

std::int64_t MsToBytes(std::int64_t ms, std::int64_t rate, std::int64_t bits, bool stereo) {
    const std::int64_t frames = ms * rate / 1000;
    std::int64_t bytes = bits * frames / 8;
    if (stereo) bytes *= 2;
    return bytes;
}

}  // namespace radevir
