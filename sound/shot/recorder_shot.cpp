// radevir_recorder_shot OUT: pictures of the recorder window for people to look at — ready,
// recording (a tone at two thirds of full scale), a finished take, and without a capture device.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>

#include "sound/audio_output.h"
#include "sound/sound_recorder.h"
#include "support/clock.h"

namespace {

using namespace radevir;

// A microphone that hears a steady tone whenever it runs.
class ToneCapture final : public CaptureSource {
  public:
    bool Open(QString*) override { return true; }
    void Start() override { running_ = true; }
    void Pause() override { running_ = false; }
    std::vector<std::int16_t> Take() override {
        std::vector<std::int16_t> out;
        if (!running_) return out;
        for (int i = 0; i < kRecordingRate_hz * 13 / 10; ++i, ++phase_)
            out.push_back(static_cast<std::int16_t>(
                21000 * std::sin(phase_ * 2 * M_PI * 440 / kRecordingRate_hz)));
        return out;
    }

  private:
    bool running_ = false;
    long phase_ = 0;
};

class NoCapture final : public CaptureSource {
  public:
    bool Open(QString* error) override {
        *error = "kein Mikrofon angeschlossen";
        return false;
    }
    void Start() override {}
    void Pause() override {}
    std::vector<std::int16_t> Take() override { return {}; }
};

void Shoot(SoundRecorderWindow& w, const QString& file) {
    w.show();
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
    if (!w.grab().save(file)) std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: radevir_recorder_shot OUT\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    QTemporaryDir scratch;
    const QString wave = scratch.filePath("Hallo, Welt.wav");
    VirtualClock clock;
    auto playback = MakeNullAudioOutput(clock);

    SoundRecorderSetup tone;
    tone.playback = playback.get();
    tone.makeCapture = [] { return std::make_unique<ToneCapture>(); };
    SoundRecorderWindow w(nullptr, wave, tone);
    Shoot(w, out.filePath("recorder_ready.png"));
    w.StartRecording();
    w.Poll();
    Shoot(w, out.filePath("recorder_recording.png"));
    w.StopRecording();
    Shoot(w, out.filePath("recorder_take.png"));

    SoundRecorderSetup none;
    none.makeCapture = [] { return std::make_unique<NoCapture>(); };
    SoundRecorderWindow missing(nullptr, wave, none);
    Shoot(missing, out.filePath("recorder_no_device.png"));
    return 0;
}
