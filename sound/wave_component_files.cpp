// WaveComponent's wave file operations: format queries, reading and writing the data chunk, headers,
// silence, overlapping, cutting and volume.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>

#include "sound/wave_component.h"
#include "support/program_environment.h"

namespace radevir {
namespace {

class FileWaveIo final : public WaveIo {
public:
    FileWaveIo(const QString& path, QIODevice::OpenMode mode) : file_(path) {
        open_ = file_.open(mode);
    }
    bool IsOpen() const { return open_; }
    std::int64_t Size() const override { return file_.size(); }
    bool ReadAt(std::int64_t offset, void* buffer, std::int64_t n) override {
        if (offset < 0 || n < 0 || offset > Size() || n > Size() - offset) return false;
        if (!file_.seek(offset)) return false;
        return file_.read(static_cast<char*>(buffer), n) == n;
    }
    bool WriteAt(std::int64_t offset, const void* buffer, std::int64_t n) override {
        if (offset < 0 || n < 0 || !file_.seek(offset)) return false;
        return file_.write(static_cast<const char*>(buffer), n) == n;
    }

private:
    QFile file_;
    bool open_ = false;
};

bool PutU32At(WaveIo& io, std::int64_t offset, std::uint32_t v) {
    std::uint8_t b[4];
    PutLe32(b, v);
    return io.WriteAt(offset, b, 4);
}

// Scales 16-bit signed (or 8-bit unsigned) samples by volumePerMille / 1000.
void ScaleSamples(std::vector<std::uint8_t>& data, std::int64_t length, int bits,
                  int volumePerMille) {
    if (bits == 16) {
        for (std::int64_t i = 0; i + 1 < length; i += 2) {
            const auto s = static_cast<std::int16_t>(ReadLe16(data.data() + i));
            const std::int64_t v = std::clamp<std::int64_t>(
                std::int64_t{s} * volumePerMille / 1000, -32768, 32767);
            PutLe16(data.data() + i, static_cast<std::uint16_t>(static_cast<std::int16_t>(v)));
        }
    } else if (bits == 8) {
        for (std::int64_t i = 0; i < length; ++i) {
            const int s = data[static_cast<size_t>(i)] - 128;
            const std::int64_t v =
                std::clamp<std::int64_t>(std::int64_t{s} * volumePerMille / 1000, -128, 127);
            data[static_cast<size_t>(i)] = static_cast<std::uint8_t>(v + 128);
        }
    }
}

}  // namespace

QString WaveComponent::Native(const std::string& path) const { return env_.NativePath(path); }

bool WaveComponent::FileExists(const std::string& path) const {
    if (path.empty()) return false;
    const QFileInfo info(Native(path));
    return info.exists() && info.isFile();
}

bool WaveComponent::DeleteFile(const std::string& path) const {
    const QString native = Native(path);
    if (!QFileInfo(native).isFile()) return false;
    return QFile::remove(native);
}

int WaveComponent::GetWaveInfo(const std::string& file, int& rate, int& bits, bool& stereo) {
    rate = 22050;
    bits = 16;
    stereo = false;
    FileWaveIo io(Native(file), QIODevice::ReadOnly);
    if (!io.IsOpen()) return -1;
    const WaveLayout w = ParseWave(io);
    if (!w.valid) return -1;
    rate = static_cast<int>(w.samplesPerSecond);
    bits = w.bitsPerSample;
    stereo = w.Stereo();
    return static_cast<int>(w.FrameCount());
}

int WaveComponent::FrameCount(const std::string& file) {
    int rate = 0;
    int bits = 0;
    bool stereo = false;
    return GetWaveInfo(file, rate, bits, stereo);
}

std::optional<WaveInfo> WaveComponent::ReadWaveData(const std::string& file, std::int64_t startByte,
                                           std::int64_t& length) {
    FileWaveIo io(Native(file), QIODevice::ReadOnly);
    if (!io.IsOpen()) return std::nullopt;
    const WaveLayout w = ParseWave(io);
    if (!w.valid) return std::nullopt;
    WaveInfo info;
    info.bitsPerSample = w.bitsPerSample;
    info.samplesPerSecond = static_cast<int>(w.samplesPerSecond);
    info.stereo = w.Stereo();
    info.nibblesPerFrame = w.NibblesPerFrame();
    info.frameCount = static_cast<std::int32_t>(std::max<std::int64_t>(
        0, (static_cast<std::int64_t>(w.dataSize) - w.dataStart) * 2 / info.nibblesPerFrame));
    info.valid = true;
    info.formatTag = w.formatTag;
    // A size field larger than the file (a cut-off recording) reads what is really there, and
    // a start past the end reads nothing.
    const std::int64_t dataEnd = w.AvailableData(io.Size());
    std::int64_t start = std::clamp<std::int64_t>(startByte, 0, dataEnd);
    start = (start * 2 / info.nibblesPerFrame * info.nibblesPerFrame) / 2;
    if (length < 0) length = std::max<std::int64_t>(0, static_cast<std::int64_t>(w.dataSize) - start);
    const std::int64_t available = dataEnd - start;
    length = std::min(length, available);
    info.data.assign(static_cast<size_t>(length) + 1, 0);
    info.hasData = io.ReadAt(w.dataStart + start, info.data.data(), length);
    if (!info.hasData) {
        info.data.clear();
        length = 0;
    }
    info.length = length;
    return info;
}

std::optional<WaveInfo> WaveComponent::ReadWaveData(const std::string& file) {
    std::int64_t length = -1;
    return ReadWaveData(file, 0, length);
}

bool WaveComponent::WriteWaveData(const std::string& file, const std::uint8_t* buffer, std::int64_t length,
                         std::int64_t offset) {
    FileWaveIo io(Native(file), QIODevice::ReadWrite);
    if (!io.IsOpen()) return false;
    const WaveLayout w = ParseWave(io);
    if (!w.valid) return false;
    const std::int64_t dataStart = w.dataStart;
    const std::int64_t pos =
        (offset >= 0 && offset <= static_cast<std::int64_t>(w.dataSize)) ? dataStart + offset : io.Size();
    std::int64_t n = std::max<std::int64_t>(0, length);
    n = w.formatTag == kFormatMsAdpcm ? n / 512 * 512 : n / 4 * 4;
    if (n > 0 && !io.WriteAt(pos, buffer, n)) return false;
    const std::int64_t after = pos + n;
    const std::int64_t dataSize = after - dataStart;
    bool ok = PutU32At(io, w.dataSizeOffset, static_cast<std::uint32_t>(dataSize));
    std::int64_t chunkEnd = after;
    if (dataSize & 1) {
        const std::uint8_t zero = 0;
        ok = io.WriteAt(after, &zero, 1) && ok;
        ++chunkEnd;
    }
    ok = PutU32At(io, w.riffSizeOffset, static_cast<std::uint32_t>(chunkEnd - 8)) && ok;
    if (dataStart > kAdpcmFactOffset && w.formatTag == kFormatMsAdpcm) {
        PutU32At(io, kAdpcmFactOffset, static_cast<std::uint32_t>(dataSize));
    }
    return ok;
}

bool WaveComponent::CreateEmptyWave(const std::string& file, int rate, bool stereo) {
    const auto header = EmptyWaveHeader(static_cast<std::uint32_t>(std::max(rate, 0)), stereo);
    QFile f(Native(file));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return f.write(reinterpret_cast<const char*>(header.data()), header.size()) ==
           static_cast<qint64>(header.size());
}

bool WaveComponent::CopyWaveHeader(const std::string& destFile, const std::string& templateFile) {
    std::vector<std::uint8_t> header;
    {
        FileWaveIo io(Native(templateFile), QIODevice::ReadOnly);
        if (!io.IsOpen()) return false;
        const WaveLayout w = ParseWave(io);
        if (!w.valid) return false;
        // Longer headers are refused before anything is written.
        if (w.dataStart > kMaxHeaderBytes) return false;
        header.resize(static_cast<size_t>(w.dataStart));
        if (!io.ReadAt(0, header.data(), w.dataStart)) return false;
    }
    {
        QFile f(Native(destFile));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
        if (f.write(reinterpret_cast<const char*>(header.data()), static_cast<qint64>(header.size())) !=
            static_cast<qint64>(header.size())) {
            return false;
        }
    }
    FileWaveIo io(Native(destFile), QIODevice::ReadWrite);
    if (!io.IsOpen()) return false;
    const WaveLayout w = ParseWave(io);
    if (!w.valid) return false;
    bool ok = PutU32At(io, w.dataSizeOffset, 0);
    ok = PutU32At(io, w.riffSizeOffset, static_cast<std::uint32_t>(header.size() - 8)) && ok;
    if (static_cast<std::int64_t>(header.size()) > kAdpcmFactOffset && w.formatTag == kFormatMsAdpcm) {
        ok = PutU32At(io, kAdpcmFactOffset, 0) && ok;
    }
    return ok;
}

bool WaveComponent::AppendWave(const std::string& outFile, const std::string& sourceFile,
                      std::int64_t offset) {
    auto src = ReadWaveData(sourceFile);
    if (!src || !src->hasData) return false;
    if (FrameCount(outFile) < 0 && !CopyWaveHeader(outFile, sourceFile)) return false;
    return WriteWaveData(outFile, src->data.data(), src->length, offset);
}

bool WaveComponent::AppendSilence(const std::string& outFile, std::int64_t length, bool sampleUnits,
                         std::int64_t offset) {
    int rate = 0;
    int bits = 0;
    bool stereo = false;
    if (GetWaveInfo(outFile, rate, bits, stereo) < 0 && !CreateEmptyWave(outFile, rate, stereo)) {
        return false;
    }
    std::int64_t count = sampleUnits ? length * bits / 8 : std::int64_t{rate / 1000} * length * bits / 8;
    if (stereo) count *= 2;
    if (count < 0) return false;
    // a pause, never a file of gigabytes
    count = std::min(count, MsToBytes(kMaxJoinSilence_ms, rate, bits, stereo));
    const std::vector<std::uint8_t> zeros(static_cast<size_t>(count) + 1, 0);
    return WriteWaveData(outFile, zeros.data(), count, offset);
}

bool WaveComponent::OverlapWave(const std::string& outFile, const std::string& sourceFile, bool sampleUnits,
                       std::int64_t overlap) {
    int rate = 0;
    int bits = 0;
    bool stereo = false;
    if (GetWaveInfo(outFile, rate, bits, stereo) < 0) {
        if (!CopyWaveHeader(outFile, sourceFile)) return false;
        GetWaveInfo(outFile, rate, bits, stereo);
    }
    auto whole = ReadWaveData(outFile);
    if (!whole) return false;
    const std::int64_t l = whole->length;
    std::int64_t overlapBytes =
        sampleUnits ? overlap * bits / 8 : overlap * std::int64_t{rate / 1000} * bits / 8;
    if (stereo) overlapBytes *= 2;
    const std::int64_t position = std::max<std::int64_t>(0, l + overlapBytes);
    std::int64_t tailLength = -1;
    auto tail = ReadWaveData(outFile, position, tailLength);
    auto src = ReadWaveData(sourceFile);
    if (!tail || !src || !src->hasData) return false;
    const std::int64_t t = tail->hasData ? tail->length : 0;
    const std::int64_t s = src->length;
    for (std::int64_t i = 0; i < t / 2 && i < s / 2 - 1; ++i) {
        const auto a = static_cast<std::int16_t>(ReadLe16(src->data.data() + 2 * i));
        const auto b = static_cast<std::int16_t>(ReadLe16(tail->data.data() + 2 * i));
        const auto mixed = static_cast<std::int16_t>(a * 50 / 100 + 50 * b / 100);
        PutLe16(src->data.data() + 2 * i, static_cast<std::uint16_t>(mixed));
    }
    return WriteWaveData(outFile, src->data.data(), s, position);
}

bool WaveComponent::CutAndScaleWave(const std::string& source, const std::string& dest, bool msUnits,
                           int volumePerMille, std::int64_t end, std::int64_t start) {
    int rate = 0;
    int bits = 0;
    bool stereo = false;
    if (GetWaveInfo(source, rate, bits, stereo) < 0) return false;
    std::int64_t startByte = 0;
    std::int64_t length = 0;
    if (msUnits) {
        startByte = MsToBytes(start, rate, bits, stereo);
        length = MsToBytes(end, rate, bits, stereo) - startByte;
    } else {
        const int ch = stereo ? 2 : 1;
        startByte = start * bits * ch / 8;
        length = (end - start) * bits * ch / 8;
    }
    auto part = ReadWaveData(source, startByte, length);
    if (!part || !part->hasData) return false;
    if (!CopyWaveHeader(dest, source)) return false;
    if (part->formatTag == 0 || part->formatTag == kFormatPcm) {
        ScaleSamples(part->data, part->length, part->bitsPerSample, volumePerMille);
    }
    return WriteWaveData(dest, part->data.data(), part->length, 0);
}

}  // namespace radevir
