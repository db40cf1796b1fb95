// Playing through the null output on a virtual clock: the queues, the reports, clean-up.
#include <QElapsedTimer>
#include <QFileInfo>

#include "sound/sound_adapter.h"
#include "sound/wave_format.h"
#include "tests/sound/sound_fixture.h"

namespace radevir::test {
namespace {

WaveLayout ParseWaveBytes(const QByteArray& bytes) {
    MemoryWaveIo io(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    return ParseWave(io);
}

class PlayTest : public SoundTest {
protected:
    // 100 ms of sound
    std::string Clip(const QString& name) {
        return WriteFile(name, PcmWave(Sine(2205, 440, 8000)));
    }
};

TEST_F(PlayTest, NotifyingPlayEndsOnTheProgramClock) {
    const std::string f = Clip("a.wav");
    std::vector<std::pair<DeviceId, bool>> reports;
    wav_->SetNotifyHandler(NotifyWindow::Host, [&](DeviceId id, bool ok) { reports.emplace_back(id, ok); });
    ASSERT_TRUE(wav_->Play(NotifyWindow::Host, f, true));
    EXPECT_TRUE(wav_->Busy());
    const DeviceId id = wav_->CurrentDevice();
    EXPECT_NE(id, kNoDevice);
    Advance(50);
    EXPECT_TRUE(reports.empty());
    Advance(60);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], std::make_pair(id, true));
    EXPECT_FALSE(wav_->Play(NotifyWindow::Host, P("missing.wav"), true));
}

TEST_F(PlayTest, RangeRequestsWhileBusyQueueOneAndDropTheRest) {
    const std::string a = Clip("a.wav");
    const std::string b = Clip("b b.wav");
    const std::string c = Clip("c.wav");
    ASSERT_TRUE(wav_->PlayRange(NotifyWindow::Application, a, 0, 40, true));
    EXPECT_TRUE(wav_->Busy());
    EXPECT_FALSE(wav_->PlayRange(NotifyWindow::Application, b, 10, 30, true));
    EXPECT_FALSE(wav_->PlayRange(NotifyWindow::Application, c, 0, 50, true));
    EXPECT_EQ(wav_->RangeQueue(), (std::vector<std::string>{"\"" + b + "\",10,30"}));
    const DeviceId first = wav_->CurrentDevice();
    Advance(45);  // the first range ends: its device closes and the queued range starts
    EXPECT_TRUE(wav_->RangeQueue().empty());
    EXPECT_FALSE(output_->IsOpen(first));
    EXPECT_NE(wav_->CurrentDevice(), first);
    EXPECT_TRUE(wav_->Busy());
    EXPECT_EQ(output_->PositionMs(wav_->CurrentDevice()), 10);
    Advance(25);
    EXPECT_FALSE(wav_->Busy());
    EXPECT_FALSE(output_->IsOpen(wav_->CurrentDevice()));
}

TEST_F(PlayTest, StopAllDeletesToneFilesAndTheNextToneMakesThemAgain) {
    SoundAdapter port(*wav_);
    const QString tone = dir_.Path() + "/wavs/440.wav";
    QDir().mkpath(dir_.Path() + "/wavs");
    ASSERT_TRUE(port.MakeToneFile(tone, 440, 2000, 8000));
    EXPECT_EQ(wav_->FrameCount(ToCp1252(tone)), 44100);
    ASSERT_TRUE(port.PlayFile(tone, 300));
    port.StopAll();
    EXPECT_FALSE(QFileInfo::exists(tone));
    EXPECT_FALSE(wav_->Busy());
    EXPECT_FALSE(output_->IsOpen(wav_->CurrentDevice()));
    ASSERT_TRUE(port.MakeToneFile(tone, 440, 2000, 8000));
    EXPECT_TRUE(QFileInfo::exists(tone));
}

TEST(ToneSynth, HarmonicsOfHalfTheFrequency) {
    // f = 2205: base period 20 samples, partials 20, 10, 6, (5, 4 skipped), 3
    std::vector<std::int16_t> s(120);
    WaveComponent::ToneSynth(s.data(), 0, 8000, 2205, 120);
    EXPECT_EQ(s[0], 0);
    const double expected5 = std::sin(2 * M_PI * 5 / 20) * 4000 + std::sin(2 * M_PI * 5 / 10) * 8000 / 3.0 +
                             std::sin(2 * M_PI * 5 / 6) * 8000 / 4.5 + std::sin(2 * M_PI * 2 / 3) * 8000 / 15.1875;
    EXPECT_NEAR(s[5], expected5, 2);
    EXPECT_EQ(s[60], s[0]);  // the periods repeat together after 60 samples
    std::vector<std::int16_t> shifted(60);
    WaveComponent::ToneSynth(shifted.data(), 60, 8000, 2205, 60);
    EXPECT_TRUE(std::equal(shifted.begin(), shifted.end(), s.begin()));
    std::vector<std::int16_t> none(4, 1);
    WaveComponent::ToneSynth(none.data(), 0, 8000, 0, 4);  // no frequency: silence, no division by zero
    EXPECT_EQ(none, std::vector<std::int16_t>(4, 0));
}

TEST_F(PlayTest, QueuedPlaysRunWaitingEntriesBeforeBlockingOnes) {
    const std::string a = Clip("a.wav");
    const std::string b = Clip("b.wav");
    const std::string c = Clip("c.wav");
    constexpr QueuedPlayOptions kQueue{.allowDuplicate = true, .queueIfBusy = true};
    constexpr QueuedPlayOptions kQueueAndWait{
        .wait = true, .allowDuplicate = true, .queueIfBusy = true};
    ASSERT_TRUE(wav_->PlayQueued(NotifyWindow::Application, a, kQueue));
    ASSERT_EQ(wav_->DeviceList().size(), 1u);
    EXPECT_FALSE(wav_->PlayQueued(NotifyWindow::Application, b, kQueueAndWait));
    EXPECT_FALSE(wav_->PlayQueued(NotifyWindow::Application, c, kQueue));
    EXPECT_FALSE(wav_->PlayQueued(NotifyWindow::Application, c, {.queueIfBusy = true}));  // duplicate
    EXPECT_EQ(wav_->DeviceList().size(), 3u);
    EXPECT_EQ(wav_->DeviceList()[1], "Z=" + b);
    EXPECT_EQ(wav_->DeviceList()[2], "W=" + c);

    Advance(110);  // a ends: c (W=) goes before b (Z=)
    ASSERT_EQ(wav_->DeviceList().size(), 2u);
    EXPECT_EQ(wav_->DeviceList()[0], "Z=" + b);
    EXPECT_NE(wav_->DeviceList()[1].find("=" + c), std::string::npos);
    const double before = clock_.NowMs();
    Advance(110);  // c ends: b plays and the call waits for its end on the clock
    EXPECT_GE(clock_.NowMs() - before, 110 + 100);
    Advance(1);
    EXPECT_TRUE(wav_->DeviceList().empty());

    // dropping pending plays deletes dropped temporary files when asked
    ASSERT_TRUE(wav_->PlayQueued(NotifyWindow::Application, a, kQueue));
    const std::string temp = Clip("temp.wav");
    wav_->AddTempFile(temp);
    QueuedPlayOptions dropping = kQueue;
    dropping.deleteDroppedTemp = true;
    wav_->PlayQueued(NotifyWindow::Application, temp, dropping);
    dropping.dropPending = true;
    wav_->PlayQueued(NotifyWindow::Application, b, dropping);
    EXPECT_EQ(wav_->DeviceList().back(), "W=" + b);
    EXPECT_EQ(wav_->DeviceList().size(), 2u);
    EXPECT_FALSE(QFileInfo::exists(FromCp1252(temp)));
}

TEST_F(PlayTest, StaleReportsAfterStopAllAreDropped) {
    const std::string a = Clip("a.wav");
    const std::string b = Clip("b.wav");
    int reports = 0;
    wav_->SetNotifyHandler(NotifyWindow::Host, [&](DeviceId, bool) { ++reports; });
    ASSERT_TRUE(wav_->Play(NotifyWindow::Host, a, true));
    ASSERT_TRUE(wav_->PlayRange(NotifyWindow::Application, b, 0, 10, true) == false);  // busy: queued
    wav_->StopAll();
    Advance(200);
    EXPECT_EQ(reports, 0);
    EXPECT_EQ(wav_->RangeQueue().size(), 1u);  // the range queue survives StopAll
}

// What is played lands in the disk file: raw samples, or a wave file a teacher can play when the
// name ends in ".wav" (its sizes fit the samples after every play, and it is one before any).
TEST_F(PlayTest, DiskOutputRecordsWhatIsPlayed) {
    constexpr qint64 kSampleBytes = (1102 + 2205) * 2;
    const struct {
        const char* name;
        bool wave;
    } cases[] = {{"out.raw", false}, {"out", false}, {"out.wav", true}, {"OUT.WAV", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = dir_.Path() + "/" + c.name;
        auto disk = MakeDiskAudioOutput(clock_, file);
        WaveComponent wav(env_, *disk, clock_);
        if (c.wave) {
            const WaveLayout empty = ParseWaveBytes(dir_.Read(c.name));
            EXPECT_TRUE(empty.valid);
            EXPECT_EQ(empty.dataSize, 0u);
        }
        const std::string a = Clip("a.wav");
        ASSERT_TRUE(wav.PlayRange(NotifyWindow::Application, a, 0, 50, true));
        ASSERT_TRUE(wav.Play(NotifyWindow::Application, a, false));
        const QByteArray bytes = dir_.Read(c.name);
        if (!c.wave) {
            EXPECT_EQ(bytes.size(), kSampleBytes);
            continue;
        }
        const WaveLayout w = ParseWaveBytes(bytes);
        ASSERT_TRUE(w.valid);
        EXPECT_EQ(w.formatTag, kFormatPcm);
        EXPECT_EQ(w.channels, 1);
        EXPECT_EQ(w.samplesPerSecond, 22050u);
        EXPECT_EQ(w.bitsPerSample, 16);
        EXPECT_EQ(w.dataStart, 44);
        EXPECT_EQ(w.dataSize, kSampleBytes);
        EXPECT_EQ(bytes.size(), 44 + kSampleBytes);
        EXPECT_EQ(ReadLe32(reinterpret_cast<const std::uint8_t*>(bytes.constData()) + 4),
                  bytes.size() - 8);
    }
}

TEST(AudioOutputFactory, ChoosesByName) {
    VirtualClock clock;
    QString error;
    EXPECT_EQ(MakeAudioOutput("null", clock)->Describe(), "null");
    EXPECT_EQ(MakeAudioOutput("disk:/tmp/x.raw", clock)->Describe(), "disk:/tmp/x.raw");
    EXPECT_EQ(MakeAudioOutput("loud", clock, &error), nullptr);
    EXPECT_FALSE(error.isEmpty());
    // a recording that cannot be written is refused at once, not discovered never
    error.clear();
    EXPECT_EQ(MakeAudioOutput("disk:/no/such/dir/x", clock, &error), nullptr);
    EXPECT_TRUE(error.contains("/no/such/dir/x")) << error.toStdString();
    // auto: SDL (the tests run with its dummy driver) or null when no device opens
    auto out = MakeAudioOutput("auto", clock);
    ASSERT_NE(out, nullptr);
    EXPECT_TRUE(out->Describe() == "null" || out->Describe().startsWith("sdl:"));
}

}  // namespace
}  // namespace radevir::test

namespace radevir::test {
namespace {

// The SDL output with SDL's dummy driver (set by the test main): plays run on SDL's thread and
// their ends come back through the Qt event loop.
TEST(SdlAudioOutput, PlaysRangesAndReportsTheirEnds) {
    QString error;
    auto out = MakeSdlAudioOutput(&error);
    if (!out) GTEST_SKIP() << "no SDL audio device: " << error.toStdString();
    ScratchDir dir;
    const QString file = dir.Write("a.wav", PcmWave(Sine(4410, 440, 8000)));  // 200 ms
    const DeviceId id = out->Open(file);
    ASSERT_NE(id, kNoDevice);
    EXPECT_NEAR(out->LengthMs(id), 200, 1);
    std::vector<std::pair<quint32, bool>> ends;
    QObject::connect(out.get(), &AudioOutput::Completed,
                     [&](quint32 d, bool ok) { ends.emplace_back(d, ok); });
    ASSERT_TRUE(out->Play(id, 50, 120, true, false));
    QElapsedTimer t;
    t.start();
    while (ends.empty() && t.elapsed() < 3000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0].first, id);
    EXPECT_NEAR(out->PositionMs(id), 120, 1);
    EXPECT_TRUE(out->Play(id, -1, -1, false, true));  // the rest, waiting
    EXPECT_NEAR(out->PositionMs(id), 200, 1);
    EXPECT_FALSE(out->Play(id, 150, 100, false, false));
    EXPECT_TRUE(out->PlaySound(file));
    EXPECT_TRUE(out->Close(id));
    EXPECT_FALSE(out->IsOpen(id));
    EXPECT_EQ(out->Open(dir.Path() + "/missing.wav"), kNoDevice);
}

}  // namespace
}  // namespace radevir::test
