// Real sound through SDL2: one SDL device, every open wave device a voice mixed into it. The
// audio callback runs on SDL's thread; voices are changed under the device lock, and ends are
// handed to the Qt event loop as queued calls.
#include <QThread>
#include <SDL.h>
#include <algorithm>
#include <map>

#include "sound/audio_output.h"
#include "sound/wave_decode.h"

namespace radevir {
namespace {

class SdlAudioOutput final : public AudioOutput {
public:
    static std::unique_ptr<SdlAudioOutput> Create(QString* error) {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            if (error) *error = QString::fromUtf8(SDL_GetError());
            return nullptr;
        }
        std::unique_ptr<SdlAudioOutput> out(new SdlAudioOutput());
        SDL_AudioSpec want{};
        want.freq = 44100;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = 1024;
        want.callback = &SdlAudioOutput::Callback;
        want.userdata = out.get();
        SDL_AudioSpec have{};
        out->device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have,
                                           SDL_AUDIO_ALLOW_FREQUENCY_CHANGE |
                                               SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
        if (out->device_ == 0 || have.channels < 1 || have.channels > 2) {
            if (error) *error = QString::fromUtf8(SDL_GetError());
            return nullptr;  // the destructor shuts the subsystem down again
        }
        out->rate_ = have.freq;
        out->channels_ = have.channels;
        out->driver_ = QString::fromUtf8(SDL_GetCurrentAudioDriver());
        SDL_PauseAudioDevice(out->device_, 0);
        return out;
    }

    ~SdlAudioOutput() override {
        if (device_) SDL_CloseAudioDevice(device_);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    DeviceId Open(const QString& nativePath) override {
        Voice v;
        if (!Load(nativePath, v)) return kNoDevice;
        Lock lock(device_);
        const DeviceId id = nextId_++;
        voices_[id] = std::move(v);
        return id;
    }

    bool Play(DeviceId id, int fromMs, int toMs, bool notify, bool wait) override {
        std::int64_t waitMs = 0;
        {
            Lock lock(device_);
            auto it = voices_.find(id);
            if (it == voices_.end()) return false;
            Voice& v = it->second;
            const std::int64_t frames = v.Frames();
            const std::int64_t from =
                fromMs < 0 ? v.pos : std::min<std::int64_t>(MsToFrames(fromMs), frames);
            const std::int64_t to =
                toMs < 0 ? frames : std::min<std::int64_t>(MsToFrames(toMs), frames);
            if (to < from) return false;
            v.pos = from;
            v.end = to;
            v.notify = notify;
            v.playing = true;
            waitMs = (to - from) * 1000 / rate_;
        }
        if (!wait) return true;
        // A stalled sound server must not hang the program: give up a while after the end.
        const Uint64 deadline = SDL_GetTicks64() + static_cast<Uint64>(waitMs) + 5000;
        while (SDL_GetTicks64() < deadline) {
            {
                Lock lock(device_);
                auto it = voices_.find(id);
                if (it == voices_.end() || !it->second.playing) return true;
            }
            SDL_Delay(5);
        }
        return true;
    }

    bool Close(DeviceId id) override {
        Lock lock(device_);
        return voices_.erase(id) > 0;
    }
    bool CloseAll() override {
        Lock lock(device_);
        for (auto it = voices_.begin(); it != voices_.end();) {
            it = it->first == kSoundVoice ? std::next(it) : voices_.erase(it);
        }
        return true;
    }
    bool IsOpen(DeviceId id) const override {
        Lock lock(device_);
        return id != kSoundVoice && voices_.count(id) > 0;
    }
    int PositionMs(DeviceId id) const override {
        Lock lock(device_);
        auto it = voices_.find(id);
        return it == voices_.end() ? -1 : FramesToMs(it->second.pos);
    }
    int LengthMs(DeviceId id) const override {
        Lock lock(device_);
        auto it = voices_.find(id);
        return it == voices_.end() ? -1 : FramesToMs(it->second.Frames());
    }
    bool PlaySound(const QString& nativePath) override {
        Voice v;
        if (!Load(nativePath, v)) return false;
        v.end = v.Frames();
        v.playing = true;
        Lock lock(device_);
        voices_[kSoundVoice] = std::move(v);
        return true;
    }
    void StopSound() override {
        Lock lock(device_);
        voices_.erase(kSoundVoice);
    }
    QString Describe() const override { return "sdl:" + driver_; }

private:
    static constexpr DeviceId kSoundVoice = 0x7FFFFFFFu;

    struct Voice {
        std::vector<std::int16_t> samples;
        int channels = 1;
        std::int64_t pos = 0;
        std::int64_t end = 0;
        bool playing = false;
        bool notify = false;
        std::int64_t Frames() const { return static_cast<std::int64_t>(samples.size()) / channels; }
    };

    struct Lock {
        explicit Lock(SDL_AudioDeviceID d) : d_(d) { SDL_LockAudioDevice(d_); }
        ~Lock() { SDL_UnlockAudioDevice(d_); }
        SDL_AudioDeviceID d_;
    };

    SdlAudioOutput() = default;

    std::int64_t MsToFrames(int ms) const { return std::int64_t{ms} * rate_ / 1000; }
    int FramesToMs(std::int64_t f) const { return static_cast<int>(f * 1000 / rate_); }

    bool Load(const QString& nativePath, Voice& v) const {
        DecodedWave in;
        DecodedWave conv;
        if (!DecodeWaveFile(nativePath, in) || !ConvertWave(in, rate_, channels_, conv)) return false;
        v.samples = std::move(conv.samples);
        v.channels = channels_;
        return true;
    }

    static void Callback(void* user, Uint8* stream, int len) {
        auto* self = static_cast<SdlAudioOutput*>(user);
        SDL_memset(stream, 0, static_cast<size_t>(len));
        const std::int64_t want = len / (2 * self->channels_);
        for (auto& [id, v] : self->voices_) {
            if (!v.playing) continue;
            const std::int64_t n = std::min(want, v.end - v.pos);
            if (n > 0) {
                SDL_MixAudioFormat(stream,
                                   reinterpret_cast<const Uint8*>(v.samples.data() + v.pos * v.channels),
                                   AUDIO_S16SYS, static_cast<Uint32>(n * 2 * v.channels),
                                   SDL_MIX_MAXVOLUME);
                v.pos += n;
            }
            if (v.pos >= v.end) {
                v.playing = false;
                if (v.notify && id != kSoundVoice) self->PostCompleted(id, true);
            }
        }
    }

    SDL_AudioDeviceID device_ = 0;
    int rate_ = 44100;
    int channels_ = 2;
    QString driver_;
    std::map<DeviceId, Voice> voices_;
    DeviceId nextId_ = 1;
};

}  // namespace

std::unique_ptr<AudioOutput> MakeSdlAudioOutput(QString* error) {
    return SdlAudioOutput::Create(error);
}

}  // namespace radevir
