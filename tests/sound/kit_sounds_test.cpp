// The generated sound kit: effect files, the sound table with German recordings, word sounds.
#include <QDir>
#include <QTextStream>

#include "sound/sound_adapter.h"
#include "sound/speak_command.h"
#include "sound/speakmath.h"
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
    TWAV wav(env_, *output_, clock_);
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
    TWAV wav(env_, *output_, clock_);
    Tspeakmath speak;
    speak.dataset = &table;
    speak.waver = &wav;
    std::int64_t frames = 0;
    for (const char* name : {"12", "+", "35", "="}) {
        ASSERT_NE(table.Find(name), nullptr) << name;
        frames += wav.FrameCount(table.Find(name)->Pfad + table.Find(name)->Wavedatei);
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
}

TEST_F(KitSoundsTest, WordSoundsAndATwoWordRecordingSplitAtItsPause) {
    TWAV wav(env_, *output_, clock_);
    const std::string base = env_.ProgramFolder() + "sounds\\";
    std::string file;
    wav.FindLineSounds("Haus Tür"_b, base, "Aufgaben\\Kopfrechnen\\liste", "1", "2", "Silben",
                       "Zeichen", "wav", 0, true, " ", false, true, file);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(wav.PieceEnds.size(), 2u);
    wav.FindLineSounds("Am 3.", base, "x", "1", "2", "Silben", "Zeichen", "wav", 0, true, " ",
                       false, true, file);
    EXPECT_FALSE(file.empty());
    const auto parts = wav.SplitBySilence(base + "2\\guten\\guten morgen.wav", 2);
    EXPECT_EQ(parts.size(), 2u);
}

}  // namespace
}  // namespace radevir::test
