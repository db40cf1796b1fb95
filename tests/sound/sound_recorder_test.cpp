// The recorder window on fed samples: a take becomes a 22050 Hz 16-bit mono wave only when it is
// saved, a failed save or a closed window leave the old file alone, the take plays through the
// program's output, and without a capture device nothing can be recorded.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDirIterator>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "sound/sound_recorder.h"
#include "sound/wave_format.h"
#include "support/clock.h"
#include "tests/sound/sound_fixture.h"
#include "tests/test_support.h"

namespace radevir {
namespace {

using test::PcmWave;
using test::ScratchDir;

// A device the test speaks into: samples arrive only while it runs and wait in its buffer until
// they are taken, also after a pause.
struct FedDevice {
    bool running = false;
    std::vector<std::int16_t> buffered;
    void Deliver(const std::vector<std::int16_t>& samples) {
        if (running) buffered.insert(buffered.end(), samples.begin(), samples.end());
    }
};

class FedCapture final : public CaptureSource {
  public:
    explicit FedCapture(FedDevice* device) : device_(device) {}
    bool Open(QString*) override { return true; }
    void Start() override { device_->running = true; }
    void Pause() override { device_->running = false; }
    std::vector<std::int16_t> Take() override {
        std::vector<std::int16_t> out;
        out.swap(device_->buffered);
        return out;
    }

  private:
    FedDevice* device_;
};

class NoCapture final : public CaptureSource {
  public:
    bool Open(QString* error) override {
        *error = "kein Mikrofon angeschlossen";
        return false;
    }
    void Start() override { ADD_FAILURE() << "started without a device"; }
    void Pause() override {}
    std::vector<std::int16_t> Take() override { return {}; }
};

std::vector<std::int16_t> Ramp(int n, int step = 7) {
    std::vector<std::int16_t> s(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        s[static_cast<size_t>(i)] = static_cast<std::int16_t>((i * step) % 30000 - 15000);
    return s;
}

QPushButton* Button(QWidget& w, const char* text) {
    for (auto* b : w.findChildren<QPushButton*>())
        if (b->text() == QString::fromUtf8(text)) return b;
    ADD_FAILURE() << "no button " << text;
    return nullptr;
}

// Lets queued events (a play's end) arrive.
void Settle() {
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
}

// Answers the question a window asks next.
void AnswerNextQuestion(QMessageBox::StandardButton answer) {
    QTimer::singleShot(0, [answer] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(answer)->click();
    });
}

class SoundRecorderTest : public ::testing::Test {
  protected:
    SoundRecorderSetup Fed() {
        SoundRecorderSetup s;
        s.makeCapture = [this] { return std::make_unique<FedCapture>(&mic); };
        return s;
    }
    ScratchDir dir;
    FedDevice mic;
};

TEST_F(SoundRecorderTest, ASavedTakeReplacesTheOldFileWithA22050HzMonoWave) {
    const QString path = dir.Write("Sounds/Liste/Hallo, Welt.wav", "alte Aufnahme");
    SoundRecorderWindow w(nullptr, path, Fed());
    ASSERT_TRUE(w.HasDevice());
    EXPECT_FALSE(Button(w, "Speichern")->isEnabled());

    mic.Deliver(Ramp(500));  // before the button: not recorded
    Button(w, "Aufnehmen")->click();
    const auto first = Ramp(22050, 3), second = Ramp(11025, 11);
    mic.Deliver(first);
    w.Poll();
    mic.Deliver(second);  // still in the device when Stopp is pressed
    Button(w, "Stopp")->click();
    EXPECT_FALSE(w.Recording());
    EXPECT_EQ(w.ElapsedText(), "0:01,5");
    EXPECT_EQ(dir.Read("Sounds/Liste/Hallo, Welt.wav"), "alte Aufnahme");  // not saved yet

    Button(w, "Speichern")->click();
    EXPECT_EQ(w.result(), QDialog::Accepted);
    std::vector<std::int16_t> expected = first;
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(dir.Read("Sounds/Liste/Hallo, Welt.wav"), PcmWave(expected));
    // Nothing but the wave is left in its folder (the temporary file was renamed).
    EXPECT_EQ(QDir(dir.Path() + "/Sounds/Liste").entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(SoundRecorderTest, MakesTheMissingSoundFolderOnSave) {
    const QString path = dir.Path() + "/Sounds/Neu/Liste/a#b.wav";
    SoundRecorderWindow w(nullptr, path, Fed());
    Button(w, "Aufnehmen")->click();
    mic.Deliver(Ramp(100));
    EXPECT_TRUE(w.SaveAndClose());
    EXPECT_EQ(dir.Read("Sounds/Neu/Liste/a#b.wav"), PcmWave(Ramp(100)));
}

TEST_F(SoundRecorderTest, StopsByItselfAtTheLongestTake) {
    SoundRecorderWindow w(nullptr, dir.Path() + "/lang.wav", Fed());
    Button(w, "Aufnehmen")->click();
    const size_t longest = size_t{kRecordingRate_hz} * kMaxRecording_s;
    mic.Deliver(std::vector<std::int16_t>(longest + 1000, 5));
    w.Poll();
    EXPECT_FALSE(w.Recording());
    EXPECT_EQ(w.Take().size(), longest);
    EXPECT_EQ(w.ElapsedText(), "5:00,0");
    EXPECT_TRUE(w.StatusText().contains("nach 5 Minuten beendet")) << w.StatusText().toStdString();
    EXPECT_TRUE(Button(w, "Speichern")->isEnabled());
}

TEST_F(SoundRecorderTest, AFailedSaveOrAClosedWindowKeepsTheOldFile) {
    // A file stands where the folder should be: the save cannot succeed.
    dir.Write("Sounds/Liste", "eine Datei");
    SoundRecorderWindow blocked(nullptr, dir.Path() + "/Sounds/Liste/x.wav", Fed());
    Button(blocked, "Aufnehmen")->click();
    mic.Deliver(Ramp(2000));
    EXPECT_FALSE(blocked.SaveAndClose());
    EXPECT_NE(blocked.result(), QDialog::Accepted);
    EXPECT_TRUE(blocked.StatusText().contains("nicht gespeichert"))
        << blocked.StatusText().toStdString();
    EXPECT_TRUE(Button(blocked, "Speichern")->isEnabled());  // the take is still there to retry
    EXPECT_EQ(dir.Read("Sounds/Liste"), "eine Datei");

    const QString path = dir.Write("old.wav", PcmWave({1, 2, 3}));
    SoundRecorderWindow w(nullptr, path, Fed());
    Button(w, "Aufnehmen")->click();
    mic.Deliver(Ramp(4000));
    w.Poll();
    AnswerNextQuestion(QMessageBox::No);  // "close anyway?" — no: the window stays
    Button(w, "Schließen")->click();
    EXPECT_FALSE(w.Recording());
    EXPECT_EQ(w.Take().size(), 4000u);
    AnswerNextQuestion(QMessageBox::Yes);
    Button(w, "Schließen")->click();
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_EQ(dir.Read("old.wav"), PcmWave({1, 2, 3}));
}

TEST_F(SoundRecorderTest, PlaysTheTakeOrTheOldRecordingThroughTheProgramsOutput) {
    VirtualClock clock;
    const QString played = dir.Path() + "/played.raw";
    auto out = MakeDiskAudioOutput(clock, played);
    SoundRecorderSetup setup = Fed();
    setup.playback = out.get();

    const QString path = dir.Write("old.wav", PcmWave({5, 6, 7, 8}));
    SoundRecorderWindow w(nullptr, path, setup);
    ASSERT_TRUE(Button(w, "Abspielen")->isEnabled());  // the old recording can be heard
    Button(w, "Abspielen")->click();
    EXPECT_FALSE(Button(w, "Abspielen")->isEnabled());
    Settle();  // the end of the play arrives
    EXPECT_TRUE(Button(w, "Abspielen")->isEnabled());

    Button(w, "Aufnehmen")->click();
    EXPECT_FALSE(Button(w, "Abspielen")->isEnabled());  // not while recording
    mic.Deliver({100, -100, 200, -200});
    Button(w, "Stopp")->click();
    Button(w, "Abspielen")->click();
    Settle();
    EXPECT_EQ(dir.Read("played.raw"),
              PcmWave({5, 6, 7, 8}).mid(44) + PcmWave({100, -100, 200, -200}).mid(44));
}

TEST_F(SoundRecorderTest, WithoutACaptureDeviceItSaysSoAndRecordsNothing) {
    const QString path = dir.Write("old.wav", PcmWave({1, 2}));
    SoundRecorderSetup none;
    none.makeCapture = [] { return std::make_unique<NoCapture>(); };
    {
        SoundRecorderWindow w(nullptr, path, none);
        EXPECT_FALSE(w.HasDevice());
        EXPECT_TRUE(w.StatusText().startsWith(QString::fromUtf8("Kein Aufnahmegerät gefunden")));
        EXPECT_TRUE(w.StatusText().contains("kein Mikrofon angeschlossen"));
        EXPECT_FALSE(Button(w, "Aufnehmen")->isEnabled());
        EXPECT_FALSE(Button(w, "Speichern")->isEnabled());
        w.StartRecording();
        EXPECT_FALSE(w.Recording());
    }
    // The modal window, closed by the user: nothing saved.
    QTimer::singleShot(0, [] {
        if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    EXPECT_FALSE(RunSoundRecorder(nullptr, path, QPoint(50, 50), none));
    EXPECT_EQ(dir.Read("old.wav"), PcmWave({1, 2}));

    // SDL's stand-in driver (the tests run on it) is no microphone either.
    SoundRecorderWindow sdl(nullptr, path, {});
    EXPECT_FALSE(sdl.HasDevice());
    EXPECT_TRUE(sdl.StatusText().startsWith(QString::fromUtf8("Kein Aufnahmegerät gefunden")));
}

}  // namespace
}  // namespace radevir
