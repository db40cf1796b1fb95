// The generated sound kit: effect files, the sound table with German recordings, word sounds.
#include <QDir>
#include <QTextStream>

#include "sound/sound_adapter.h"
#include "sound/speak_command.h"
#include "sound/arithmetic_speaker.h"
#include "sound/wave_decode.h"
#include "tests/sound/sound_fixture.h"

namespace radevir::test {
namespace {

class KitSoundsTest : public ::testing::Test {
protected:
    KitSoundsTest() : env_(ToCp1252(KitDir() + "/")), output_(MakeNullAudioOutput(clock_)) {}
    ProgramEnvironment env_;
    VirtualClock clock_;
    std::unique_ptr<AudioOutput> output_;
};

TEST_F(KitSoundsTest, EffectFilesAreValidWaves) {
    WaveComponent wav(env_, *output_, clock_);
    for (const char* name : {"tippton", "fehlerton", "peep440", "peep660", "korrektur", "richtig",
                             "loeschkopfrech", "loesch45", "loesch-merk-tachi", "jokerweg", "Geld",
                             "klatsch0", "klatsch1", "klatsch2"}) {
        const std::string file = std::string("wavs\\") + name + ".wav";
        EXPECT_GT(wav.FrameCount(file), 500) << name;
    }
    EXPECT_GE(QDir(KitDir() + "/wavs").entryList({"_*.wav"}).size(), 3);
}

TEST_F(KitSoundsTest, SpeakCommandPlaysATaskFromTheKitTable) {
    SoundTable table;
    ASSERT_TRUE(table.LoadFile(env_.NativePath("mathsound.xml")));
    WaveComponent wav(env_, *output_, clock_);
    ArithmeticSpeaker speak;
    speak.soundTable = &table;
    speak.wave = &wav;
    std::int64_t frames = 0;
    for (const char* name : {"12", "+", "35", "="}) {
        ASSERT_NE(table.Find(name), nullptr) << name;
        frames += wav.FrameCount(table.Find(name)->folder + table.Find(name)->waveFile);
    }
    for (const char* number : {"0", "7", "99", "345", "1278", "2000", "1000000", "3,5", "2^3"}) {
        std::vector<std::string> pieces;
        EXPECT_TRUE(speak.SpeakNumber(number, pieces)) << number;
        EXPECT_FALSE(pieces.empty()) << number;  // every record asked for exists
    }
    ScratchDir out;
    const QString raw = out.Path() + "/out.raw";
    auto disk = MakeDiskAudioOutput(clock_, raw);
    QString message;
    QTextStream err(&message);
    ASSERT_EQ(RunSpeakCommand(env_, *disk, clock_, "12 + 35 =", err), 0) << message.toStdString();
    EXPECT_NEAR(QFileInfo(raw).size() / 2, frames, 8);
    // "--audio disk:NAME.wav": the same samples in a wave file a teacher can play
    const QString wave = out.Path() + "/gesprochen.wav";
    auto waveDisk = MakeAudioOutput("disk:" + wave, clock_);
    ASSERT_NE(waveDisk, nullptr);
    ASSERT_EQ(RunSpeakCommand(env_, *waveDisk, clock_, "12 + 35 =", err), 0)
        << message.toStdString();
    DecodedWave spoken;
    ASSERT_TRUE(DecodeWaveFile(wave, spoken));
    EXPECT_EQ(spoken.rate, 22050);
    EXPECT_EQ(spoken.channels, 1);
    const QByteArray samples = out.Read("gesprochen.wav").mid(44);
    EXPECT_EQ(samples, out.Read("out.raw"));
}

TEST_F(KitSoundsTest, WordSoundsAndATwoWordRecordingSplitAtItsPause) {
    WaveComponent wav(env_, *output_, clock_);
    const std::string base = env_.ProgramFolder() + "sounds\\";
    WordSoundQuery query;
    query.baseFolder = base;
    query.listFolder = "Aufgaben\\Kopfrechnen\\liste";
    query.wordFolder = "1";
    query.pairFolder = "2";
    query.syllableFolder = "Silben";
    query.characterFolder = "Zeichen";
    query.announceCapitals = true;
    query.separators = " ";
    query.keepText = true;
    std::string file;
    wav.FindLineSounds("Haus Tür"_b, query, file);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(wav.PieceEnds().size(), 2u);
    query.listFolder = "x";
    wav.FindLineSounds("Am 3.", query, file);
    EXPECT_FALSE(file.empty());
    const auto parts = wav.SplitBySilence(base + "2\\guten\\guten morgen.wav", 2);
    EXPECT_EQ(parts.size(), 2u);
}

// "12" recorded again by a teacher at 44.1 kHz stereo (a sound editor's default) is converted
// to the format of the joined task, which keeps its length of about 2.7 seconds.
TEST_F(KitSoundsTest, ATeachersRecordingInAnotherFormatIsConverted) {
    SoundTable table;
    ASSERT_TRUE(table.LoadFile(env_.NativePath("mathsound.xml")));
    ScratchDir own;
    QByteArray rows;
    double expectedMs = 0;
    int n = 0;
    for (const char* name : {"12", "+", "35", "="}) {
        const SoundRecord* r = table.Find(name);
        ASSERT_NE(r, nullptr) << name;
        DecodedWave wave;
        ASSERT_TRUE(DecodeWaveFile(env_.NativePath(r->folder + r->waveFile), wave)) << name;
        expectedMs += wave.DurationMs();
        if (std::string(name) == "12") {
            DecodedWave cd;
            ASSERT_TRUE(ConvertWave(wave, 44100, 2, cd));
            wave = cd;
        }
        const QString file = QString("%1.wav").arg(n++);
        own.Write("aufnahmen/" + file, PcmWave(wave.samples, wave.rate, wave.channels));
        rows += QString("<ROW Name=\"%1\" Pfad=\"aufnahmen\\\" Wavedatei=\"%2\"/>\n")
                    .arg(name, file)
                    .toUtf8();
    }
    own.Write("mathsound.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><DATAPACKET><ROWDATA>\n" +
                                   rows + "</ROWDATA></DATAPACKET>");
    ProgramEnvironment env(own.Folder());
    const QString raw = own.Path() + "/out.raw";
    auto disk = MakeDiskAudioOutput(clock_, raw);
    QString message;
    QTextStream err(&message);
    ASSERT_EQ(RunSpeakCommand(env, *disk, clock_, "12 + 35 =", err), 0) << message.toStdString();
    EXPECT_GT(expectedMs, 2000);
    EXPECT_NEAR(static_cast<double>(QFileInfo(raw).size()) / 2 / 22.05, expectedMs, 5);
}

}  // namespace
}  // namespace radevir::test
