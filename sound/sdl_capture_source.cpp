// Recording through SDL2 audio capture. SDL converts whatever the device delivers to 22050 Hz
// 16-bit mono; its callback runs on SDL's thread and only appends to a buffer under a lock.
#include <SDL.h>
#include <cstring>
#include <mutex>

#include "sound/sound_recorder.h"

namespace radevir {
namespace {

class SdlCaptureSource final : public CaptureSource {
  public:
    ~SdlCaptureSource() override {
        if (device_) SDL_CloseAudioDevice(device_);
        if (initialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool Open(QString* error) override {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return Fail(error, SDL_GetError());
        initialised_ = true;
        // The stand-in drivers "capture" silence; that is no microphone.
        const char* driver = SDL_GetCurrentAudioDriver();
        if (!driver || std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "disk") == 0)
            return Fail(error, "kein Tonsystem mit Aufnahme");
        if (SDL_GetNumAudioDevices(1) == 0) return Fail(error, "kein Mikrofon angeschlossen");
        SDL_AudioSpec want{};
        want.freq = kRecordingRate_hz;
        want.format = AUDIO_S16SYS;
        want.channels = 1;
        want.samples = 1024;
        want.callback = &SdlCaptureSource::Callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        device_ = SDL_OpenAudioDevice(nullptr, 1, &want, &have, 0);
        if (device_ == 0) return Fail(error, SDL_GetError());
        return true;
    }

    void Start() override {
        if (device_) SDL_PauseAudioDevice(device_, 0);
    }
    void Pause() override {
        if (device_) SDL_PauseAudioDevice(device_, 1);
    }

    std::vector<std::int16_t> Take() override {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<std::int16_t> out;
        out.swap(buffer_);
        return out;
    }

  private:
    static bool Fail(QString* error, const char* reason) {
        if (error) *error = QString::fromUtf8(reason ? reason : "");
        return false;
    }

    static void Callback(void* user, Uint8* stream, int len) {
        auto* self = static_cast<SdlCaptureSource*>(user);
        const auto* samples = reinterpret_cast<const std::int16_t*>(stream);
        std::lock_guard<std::mutex> lock(self->mutex_);
        self->buffer_.insert(self->buffer_.end(), samples, samples + len / 2);
    }

    SDL_AudioDeviceID device_ = 0;
    bool initialised_ = false;
    std::mutex mutex_;
    std::vector<std::int16_t> buffer_;
};

}  // namespace

std::unique_ptr<CaptureSource> MakeSdlCaptureSource() {
    return std::make_unique<SdlCaptureSource>();
}

}  // namespace radevir
