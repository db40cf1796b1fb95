// The recorder window: records one wave file (22050 Hz, 16-bit mono) from the capture device,
// plays the take through the program's audio output and saves it over the old file only when
// asked, through a temporary file and a rename. Without a capture device it says so.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QString>
#include <QTemporaryFile>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "sound/audio_output.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace radevir {

constexpr int kRecordingRate_hz = 22050;
// A word or a sentence takes seconds; five minutes of speech is far more than any line needs
// and keeps the take small in memory (13 MiB).
constexpr int kMaxRecording_s = 300;

// Where recorded samples come from: the sound card in the program, fed samples in tests.
class CaptureSource {
  public:
    virtual ~CaptureSource() = default;
    // Opens the device; false with a reason for people in `error` when there is nothing to
    // record from.
    virtual bool Open(QString* error) = 0;
    virtual void Start() = 0;
    virtual void Pause() = 0;
    // The samples captured since the last call, 22050 Hz, 16-bit, mono.
    virtual std::vector<std::int16_t> Take() = 0;
};

// SDL2 audio capture from the default recording device.
std::unique_ptr<CaptureSource> MakeSdlCaptureSource();

struct SoundRecorderSetup {
    // The program's audio output; the take is played through it. Without one there is no
    // playing back.
    AudioOutput* playback = nullptr;
    // Makes the capture source; empty: SDL capture.
    std::function<std::unique_ptr<CaptureSource>()> makeCapture;
};

// Writes 22050 Hz 16-bit mono samples as a wave file through a temporary file and a rename:
// the old file stays whole when anything fails. False with a reason in `error`.
bool SaveRecording(const QString& wavePath, const std::vector<std::int16_t>& samples,
                   QString* error = nullptr);

class SoundRecorderWindow : public QDialog {
    Q_OBJECT
  public:
    SoundRecorderWindow(QWidget* parent, const QString& wavePath,
                        const SoundRecorderSetup& setup = {});
    ~SoundRecorderWindow() override;

    bool HasDevice() const { return capture_ != nullptr; }
    bool Recording() const { return recording_; }
    const std::vector<std::int16_t>& Take() const { return take_; }
    QString StatusText() const;
    QString ElapsedText() const;

    void StartRecording();
    void StopRecording();
    void PlayBack();
    // Saves the take and closes the window with Accepted; on failure the window stays open and
    // says why.
    bool SaveAndClose();
    // Takes the newly captured samples into the take (run by a timer while recording).
    void Poll();

  protected:
    void reject() override;

  private:
    // Appends what the device captured, up to the longest take; true when the take is full.
    bool TakeCaptured();
    void OnPlayed(quint32 device, bool success);
    void StopPlaying();
    void UpdateControls();
    void ShowStatus(const QString& text, bool problem = false);

    QString wavePath_;
    AudioOutput* playback_ = nullptr;
    std::unique_ptr<CaptureSource> capture_;
    std::vector<std::int16_t> take_;
    bool recording_ = false;
    bool saved_ = false;
    DeviceId playingDevice_ = kNoDevice;
    std::unique_ptr<QTemporaryFile> playFile_;

    QLabel* status_ = nullptr;
    QLabel* elapsed_ = nullptr;
    QProgressBar* level_ = nullptr;
    QPushButton* record_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* play_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* close_ = nullptr;
    QTimer* poll_ = nullptr;
};

// Opens the recorder modally with its top-left corner at `where` (screen coordinates, kept on
// the screen) and returns true when a recording was saved into wavePath.
bool RunSoundRecorder(QWidget* parent, const QString& wavePath, const QPoint& where,
                      const SoundRecorderSetup& setup = {});

}  // namespace radevir
