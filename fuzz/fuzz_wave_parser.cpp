// Any bytes as a wave file: parsing never reads outside the store, and what it reports is
// consistent with the bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "sound/wave_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    radevir::MemoryWaveIo io(std::vector<std::uint8_t>(data, data + size));
    const radevir::WaveLayout w = radevir::ParseWave(io);
    if (!w.valid) return 0;
    if (w.dataStart < 12 || w.dataStart > io.Size() || w.channels == 0) std::abort();
    if (w.bitsPerSample != 4 && w.bitsPerSample != 8 && w.bitsPerSample != 16) std::abort();
    const std::int64_t avail = w.AvailableData(io.Size());
    if (avail < 0 || w.dataStart + avail > io.Size()) std::abort();
    if (w.FrameCount() < 0) std::abort();
    (void)w.DurationMs(io.Size());
    // The join checks a piece from its first bytes only: a header that fits in them must give
    // the layout of the whole file.
    for (const std::int64_t head : {w.dataStart, w.dataStart + 1, std::int64_t{64}}) {
        if (head < w.dataStart || head > io.Size()) continue;
        radevir::MemoryWaveIo prefix(std::vector<std::uint8_t>(data, data + head));
        const radevir::WaveLayout p = radevir::ParseWave(prefix);
        if (!p.valid || p.dataStart != w.dataStart || p.dataSize != w.dataSize ||
            !p.SameFormat(w) || p.SaneRate() != w.SaneRate()) {
            std::abort();
        }
    }
    // read the data the way the component does, then fix the chunk sizes after an append
    std::vector<std::uint8_t> bytes(static_cast<size_t>(avail) + 1);
    if (!io.ReadAt(w.dataStart, bytes.data(), avail)) std::abort();
    const std::int64_t n = avail / 4 * 4;
    io.WriteAt(io.Size(), bytes.data(), n);
    std::uint8_t sizeField[4];
    radevir::PutLe32(sizeField, static_cast<std::uint32_t>(io.Size() - w.dataStart));
    io.WriteAt(w.dataSizeOffset, sizeField, 4);
    if (!radevir::ParseWave(io).valid) std::abort();
    return 0;
}
