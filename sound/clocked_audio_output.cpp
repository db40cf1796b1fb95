// The outputs without a sound device: a play lasts the file's duration on the program's clock
// (so a virtual clock finishes it as soon as waiting code moves the clock on). The disk output
// also appends the samples of every play to a file: a wave file when its name ends in ".wav" (a
// teacher can play what was spoken), raw samples otherwise.
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <map>

#include "sound/audio_output.h"
#include "sound/wave_decode.h"
#include "sound/wave_format.h"
#include "support/clock.h"

namespace radevir {
namespace {

constexpr std::uint32_t kDiskRate_hz = 22050;
constexpr qint64 kWaveHeaderBytes = 44;
constexpr qint64 kRiffSizeOffset = 4;
constexpr qint64 kDataSizeOffset = 40;
// the RIFF size field counts the file less its first 8 bytes in 32 bits
constexpr qint64 kMaxWaveFileBytes = qint64{0xFFFFFFFF} + 8;

bool WaveFileName(const QString& file) {
    return file.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive);
}

bool PutSize(QFile& f, qint64 offset, std::uint32_t value) {
    std::uint8_t le[4];
    PutLe32(le, value);
    return f.seek(offset) && f.write(reinterpret_cast<const char*>(le), 4) == 4;
}

class ClockedAudioOutput : public AudioOutput {
public:
    ClockedAudioOutput(Clock& clock, QString diskFile)
        : clock_(clock), diskFile_(std::move(diskFile)), wave_(WaveFileName(diskFile_)) {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { Check(); });
        if (!diskFile_.isEmpty()) {
            // a fresh recording per run; a wave file is one even when nothing plays
            QFile f(diskFile_);
            if (f.open(QIODevice::WriteOnly | QIODevice::Truncate) && wave_) {
                const auto header = EmptyWaveHeader(kDiskRate_hz, false);
                f.write(reinterpret_cast<const char*>(header.data()), kWaveHeaderBytes);
            }
        }
    }

    DeviceId Open(const QString& nativePath) override {
        QFile f(nativePath);
        if (!f.open(QIODevice::ReadOnly)) return kNoDevice;
        const QByteArray bytes = f.readAll();
        MemoryWaveIo io(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        const WaveLayout w = ParseWave(io);
        if (!w.valid) return kNoDevice;
        Device d;
        d.path = nativePath;
        d.lengthMs = static_cast<int>(std::lround(w.DurationMs(io.Size())));
        const DeviceId id = nextId_++;
        devices_[id] = d;
        return id;
    }

    bool Play(DeviceId id, int fromMs, int toMs, bool notify, bool wait) override {
        auto it = devices_.find(id);
        if (it == devices_.end()) return false;
        Device& d = it->second;
        const int from = fromMs < 0 ? d.positionMs : std::min(fromMs, d.lengthMs);
        const int to = toMs < 0 ? d.lengthMs : std::min(toMs, d.lengthMs);
        if (to < from) return false;
        // A recording that cannot be written is a play that failed, not silence.
        if (!Record(d.path, from, (toMs < 0 || toMs >= d.lengthMs) ? -1 : to)) return false;
        d.playing = true;
        d.notify = notify;
        d.positionMs = from;
        d.toMs = to;
        d.startClockMs = clock_.NowMs();
        d.endClockMs = d.startClockMs + (to - from);
        if (wait) {
            clock_.SleepMs(to - from);
            Finish(id, d);
            return true;
        }
        Arm();
        return true;
    }

    bool Close(DeviceId id) override { return devices_.erase(id) > 0; }
    bool CloseAll() override {
        devices_.clear();
        return true;
    }
    bool IsOpen(DeviceId id) const override { return devices_.count(id) > 0; }
    int PositionMs(DeviceId id) const override {
        auto it = devices_.find(id);
        if (it == devices_.end()) return -1;
        const Device& d = it->second;
        if (!d.playing) return d.positionMs;
        const double t = clock_.NowMs() - d.startClockMs;
        return std::min(d.toMs, d.positionMs + static_cast<int>(t));
    }
    int LengthMs(DeviceId id) const override {
        auto it = devices_.find(id);
        return it == devices_.end() ? -1 : it->second.lengthMs;
    }
    bool PlaySound(const QString& nativePath) override {
        if (!QFileInfo::exists(nativePath)) return false;
        if (!diskFile_.isEmpty()) return Record(nativePath, 0, -1);
        return true;
    }
    void StopSound() override {}
    QString Describe() const override { return diskFile_.isEmpty() ? "null" : "disk:" + diskFile_; }

private:
    struct Device {
        QString path;
        int lengthMs = 0;
        int positionMs = 0;
        int toMs = 0;
        bool playing = false;
        bool notify = false;
        double startClockMs = 0;
        double endClockMs = 0;
    };

    void Finish(DeviceId id, Device& d) {
        d.playing = false;
        d.positionMs = d.toMs;
        if (d.notify) PostCompleted(id, true);
    }

    void Check() {
        const double now = clock_.NowMs();
        for (auto& [id, d] : devices_) {
            if (d.playing && d.endClockMs <= now) Finish(id, d);
        }
        Arm();
    }

    // Wakes up when the next play ends; on a virtual clock at every pass of the event loop,
    // since only waiting code moves that clock on.
    void Arm() {
        double next = -1;
        for (auto& [id, d] : devices_) {
            if (d.playing && (next < 0 || d.endClockMs < next)) next = d.endClockMs;
        }
        if (next < 0) {
            timer_.stop();
            return;
        }
        const double wait = clock_.IsVirtual() ? 0 : std::max(0.0, next - clock_.NowMs());
        timer_.start(static_cast<int>(std::ceil(wait)));
    }

    bool Record(const QString& path, int fromMs, int toMs) {
        if (diskFile_.isEmpty()) return true;
        DecodedWave in;
        DecodedWave mono;
        if (!DecodeWaveFile(path, in) || !ConvertWave(in, kDiskRate_hz, 1, mono)) return false;
        const std::int64_t total = mono.Frames();
        const std::int64_t a =
            std::clamp<std::int64_t>(std::int64_t{fromMs} * kDiskRate_hz / 1000, 0, total);
        const std::int64_t b =
            toMs < 0 ? total
                     : std::clamp<std::int64_t>(std::int64_t{toMs} * kDiskRate_hz / 1000, a, total);
        QByteArray raw;
        raw.resize(static_cast<qsizetype>((b - a) * 2));
        for (std::int64_t i = a; i < b; ++i) {
            PutLe16(reinterpret_cast<std::uint8_t*>(raw.data()) + 2 * (i - a),
                    static_cast<std::uint16_t>(mono.samples[static_cast<size_t>(i)]));
        }
        QFile f(diskFile_);
        if (!wave_)
            return f.open(QIODevice::WriteOnly | QIODevice::Append) && f.write(raw) == raw.size();
        // the samples go after the others, then the RIFF and data sizes are made to fit them
        if (!f.open(QIODevice::ReadWrite)) return false;
        const qint64 size = f.size() + raw.size();
        if (f.size() < kWaveHeaderBytes || size > kMaxWaveFileBytes) return false;
        return f.seek(f.size()) && f.write(raw) == raw.size() &&
               PutSize(f, kRiffSizeOffset, static_cast<std::uint32_t>(size - 8)) &&
               PutSize(f, kDataSizeOffset, static_cast<std::uint32_t>(size - kWaveHeaderBytes));
    }

    Clock& clock_;
    QString diskFile_;
    bool wave_ = false;  // the disk file is a wave file, not raw samples
    std::map<DeviceId, Device> devices_;
    DeviceId nextId_ = 1;
    QTimer timer_;
};

}  // namespace

void AudioOutput::PostCompleted(DeviceId id, bool success) {
    QMetaObject::invokeMethod(
        this, [this, id, success] { Q_EMIT Completed(id, success); }, Qt::QueuedConnection);
}

std::unique_ptr<AudioOutput> MakeNullAudioOutput(Clock& clock) {
    return std::make_unique<ClockedAudioOutput>(clock, QString());
}

std::unique_ptr<AudioOutput> MakeDiskAudioOutput(Clock& clock, const QString& file) {
    return std::make_unique<ClockedAudioOutput>(clock, file);
}

std::unique_ptr<AudioOutput> MakeAudioOutput(const QString& choice, Clock& clock, QString* error) {
    if (choice.isEmpty() || choice == QLatin1String("auto")) {
        if (auto sdl = MakeSdlAudioOutput()) return sdl;
        return MakeNullAudioOutput(clock);
    }
    if (choice == QLatin1String("null")) return MakeNullAudioOutput(clock);
    if (choice.startsWith(QLatin1String("disk:")) && choice.size() > 5) {
        const QString file = choice.mid(5);
        QFile probe(file);
        if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            if (error) {
                *error = QStringLiteral("cannot write the audio file \"%1\" (%2)")
                             .arg(file, probe.errorString());
            }
            return nullptr;
        }
        return MakeDiskAudioOutput(clock, file);
    }
    if (error) *error = QStringLiteral("unknown audio output \"%1\" (auto, null or disk:FILE)").arg(choice);
    return nullptr;
}

}  // namespace radevir
