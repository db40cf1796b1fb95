// Spoken arithmetic: the sound table, tokens, the number speaker and the --speak command.
#include <QTextStream>

#include "sound/speak_command.h"
#include "sound/arithmetic_speaker.h"
#include "tests/sound/sound_fixture.h"

namespace radevir::test {
namespace {

SoundRecord Record(const std::string& name, const std::string& file = "x.wav") {
    SoundRecord r;
    r.name = name;
    r.waveFile = file;
    return r;
}

// Every record name the number speaker may ask for, except 3hoch3.
SoundTable NumberTable() {
    SoundTable t;
    for (int i = 0; i < 100; ++i) t.Add(Record(std::to_string(i)));
    for (int h = 1; h <= 9; ++h) t.Add(Record(std::to_string(h) + "00"));
    for (const char* n : {"3", "6", "9"}) {
        t.Add(Record(std::string("hoch") + n));
        t.Add(Record(std::string("1hoch") + n));
        for (int d = 2; d <= 9; ++d) {
            if (!(d == 3 && std::string(n) == "3")) t.Add(Record(std::to_string(d) + "hoch" + n));
        }
    }
    t.Add(Record(","));
    t.Add(Record("^"));
    return t;
}

TEST(SpeakNumber, AsksForTheGermanGroupRecords) {
    const SoundTable table = NumberTable();
    ArithmeticSpeaker speak;
    speak.soundTable = &table;
    const std::vector<std::pair<std::string, std::vector<Bytes>>> cases = {
        {"2000", {"2hoch3"}},
        {"12000", {"12", "hoch3"}},
        {"101000", {"100", "1hoch3"}},
        {"1001", {"1hoch3", "1"}},
        {"305", {"300", "5"}},
        {"1000000", {"1hoch6"}},
        {"007", {"7"}},
        {"0", {"0"}},
        {"1,5", {"1", ",", "5"}},
        {"2^3", {"2", "^", "3"}},
        {"2.5", {"2", ",", "5"}},
        {"3000", {}},  // 3hoch3 is missing: a gap, no error
        {"1234567", {"1hoch6", "200", "34", "hoch3", "500", "67"}},
        {"2002000", {"2hoch6", "2hoch3"}},
        {"310001", {"300", "10", "hoch3", "1"}},
    };
    for (const auto& [text, names] : cases) {
        std::vector<std::string> pieces;
        std::vector<Bytes> asked;
        EXPECT_TRUE(speak.SpeakNumber(text, pieces, &asked)) << text;
        EXPECT_EQ(asked, names) << text;
        EXPECT_EQ(pieces.size(), names.size()) << text;
    }
}

TEST(SoundTableXml, ReadsTheDataPacketFirstRecordWins) {
    SoundTable t;
    ASSERT_TRUE(t.LoadXml(R"(<?xml version="1.0" encoding="UTF-8"?>
<DATAPACKET Version="2.0"><METADATA><FIELDS>
<FIELD attrname="Name" fieldtype="string" WIDTH="40"/>
<FIELD attrname="Pfad" fieldtype="string" WIDTH="200"/>
<FIELD attrname="Wavedatei" fieldtype="string" WIDTH="200"/>
</FIELDS><PARAMS/></METADATA><ROWDATA>
<ROW Name="plus" Pfad="mathsound\" Wavedatei="plus.wav" von="10" bis="" Volumen="80"/>
<ROW Name="plus" Pfad="anders\" Wavedatei="plus.wav"/>
<ROW Name="für" Pfad="" Wavedatei="f&#252;r.wav"/>
</ROWDATA></DATAPACKET>)"));
    ASSERT_EQ(t.Size(), 3u);
    ASSERT_NE(t.Find("plus"), nullptr);
    EXPECT_EQ(t.Find("plus")->ToJoinLine(), "mathsound\\plus.wav,10,,80,,");
    EXPECT_EQ(t.Find("Plus"), nullptr);  // names match exactly
    ASSERT_NE(t.Find("für"_b), nullptr);
    EXPECT_EQ(t.Find("für"_b)->waveFile, "für.wav"_b);
    EXPECT_FALSE(t.LoadXml("<DATAPACKET><ROW"));
    EXPECT_EQ(t.Size(), 0u);
}

class SpeakTest : public SoundTest {
protected:
    void SetUp() override {
        for (const auto& [name, file, frames] :
             std::vector<std::tuple<std::string, std::string, int>>{
                 {"12", "zwoelf.wav", 4410}, {"+", "plus.wav", 2206}, {"35", "fuenfunddreissig.wav", 6614},
                 {"=", "gleich.wav", 2204}}) {
            WriteFile("mathsound/" + QString::fromStdString(file), PcmWave(Sine(frames, 300, 6000)));
            SoundRecord r = Record(name, file);
            r.folder = "mathsound\\";
            table_.Add(r);
        }
        speak_.soundTable = &table_;
        speak_.wave = wav_.get();
    }
    SoundTable table_;
    ArithmeticSpeaker speak_;
};

TEST_F(SpeakTest, TaskGivesFourPiecesInOrderAndPlays) {
    std::vector<std::string> pieces;
    std::vector<Bytes> names;
    ASSERT_TRUE(speak_.BuildPieces("12 + 35 =", pieces, &names));
    EXPECT_EQ(names, (std::vector<Bytes>{"12", "+", "35", "="}));
    EXPECT_EQ(pieces[0], "mathsound\\zwoelf.wav,,,,,");
    ASSERT_TRUE(speak_.Speak("12 + 35 =", false));
    EXPECT_TRUE(wav_->Busy());
    EXPECT_EQ(wav_->FrameCount(speak_.LastFile()), 4410 + 2206 + 6614 + 2204);
    Advance(1000);
    EXPECT_FALSE(wav_->Busy());
}

TEST_F(SpeakTest, AWordWithoutARecordSilencesTheWholeText) {
    std::vector<std::string> pieces;
    EXPECT_FALSE(speak_.BuildPieces("12 plus 35", pieces));
    EXPECT_FALSE(speak_.Speak("12 plus 35", false));
    EXPECT_EQ(wav_->CurrentDevice(), kNoDevice);
    EXPECT_FALSE(speak_.Speak("", false));
    // numbers without records make no file: nothing is played
    EXPECT_FALSE(speak_.Speak("77", false));
}

TEST_F(SpeakTest, QuotedDecimalsAndLongestMatches) {
    table_.Add(Record("1"));
    table_.Add(Record(","));
    table_.Add(Record("5"));
    table_.Add(Record("12 +"));
    std::vector<std::string> pieces;
    std::vector<Bytes> names;
    ASSERT_TRUE(speak_.BuildPieces("12  +  \"1,5\" =", pieces, &names));
    EXPECT_EQ(names, (std::vector<Bytes>{"12 +", "1", ",", "5", "="}));
}

TEST_F(SpeakTest, ReferencesExpandToTheirJoinLines) {
    dir_.Write("saetze/aufgabe.txt", "mathsound\\zwoelf.wav,0,50\r\nmathsound\\plus.wav\r\n");
    SoundRecord r = Record("Aufgabe", "aufgabe.txt");
    r.folder = "saetze\\";
    table_.Add(r);
    std::vector<std::string> pieces;
    ASSERT_TRUE(speak_.BuildPieces("Aufgabe =", pieces));
    const auto expanded = speak_.ExpandReferences(pieces, env_);
    ASSERT_EQ(expanded.size(), 3u);
    EXPECT_EQ(expanded[0], "mathsound\\zwoelf.wav,0,50");
    EXPECT_EQ(expanded[1], "mathsound\\plus.wav");
}

class SpeakCommandTest : public SpeakTest {
protected:
    void SetUp() override {
        SpeakTest::SetUp();
        dir_.Write("mathsound.xml", R"(<?xml version="1.0" encoding="UTF-8"?><DATAPACKET><ROWDATA>
<ROW Name="12" Pfad="mathsound\" Wavedatei="zwoelf.wav"/>
<ROW Name="+" Pfad="mathsound\" Wavedatei="plus.wav"/>
<ROW Name="35" Pfad="mathsound\" Wavedatei="fuenfunddreissig.wav"/>
<ROW Name="=" Pfad="mathsound\" Wavedatei="gleich.wav"/>
</ROWDATA></DATAPACKET>)");
    }
};

TEST_F(SpeakCommandTest, SpeakCommandRecordsTheJoinedPiecesToDisk) {
    const QString raw = dir_.Path() + "/out.raw";
    auto disk = MakeDiskAudioOutput(clock_, raw);
    QString message;
    QTextStream err(&message);
    EXPECT_EQ(RunSpeakCommand(env_, *disk, clock_, "12 + 35 =", err), 0);
    EXPECT_TRUE(message.isEmpty());
    QFile f(raw);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_NEAR(f.size() / 2, 4410 + 2206 + 6614 + 2204, 4);
    EXPECT_FALSE(QFile::exists(dir_.Path() + "/tempwav/_new_0.wav"));  // cleaned up

    EXPECT_EQ(RunSpeakCommand(env_, *disk, clock_, "12 mal 35", err), 1);
    err.flush();
    EXPECT_TRUE(message.contains("12 mal 35"));
    EXPECT_EQ(message.count('\n'), 1);

    ScratchDir empty;
    ProgramEnvironment nowhere(empty.Folder());
    EXPECT_EQ(RunSpeakCommand(nowhere, *disk, clock_, "12", err), 1);
}

// Teachers check their recordings with --speak: one that cannot be used, or only in part,
// fails the command with a line naming it.
TEST_F(SpeakCommandTest, SpeakCommandNamesARecordingItCouldNotUse) {
    const QByteArray good = PcmWave(Sine(2206, 300, 6000));
    const QString raw = dir_.Path() + "/out.raw";
    auto disk = MakeDiskAudioOutput(clock_, raw);
    const std::vector<std::pair<QString, QByteArray>> cases = {
        {"sample rate 0", WithField(good, 24, 0, 4)},
        {"MP3 in a wave file", WithField(good, 20, 0x55)},
        {"65535 channels", WithField(good, 22, 65535)},
        {"cut off in the header", good.left(40)},
        {"cut off in the sound", good.left(1000)},
        {"not a wave file", QByteArray(500, 'x')},
        {"missing", QByteArray()},
    };
    for (const auto& [what, bytes] : cases) {
        QFile::remove(dir_.Path() + "/mathsound/plus.wav");
        if (!bytes.isEmpty()) WriteFile("mathsound/plus.wav", bytes);
        QString message;
        QTextStream err(&message);
        EXPECT_EQ(RunSpeakCommand(env_, *disk, clock_, "12 + 35 =", err), 1) << what.toStdString();
        err.flush();
        EXPECT_TRUE(message.contains("mathsound\\plus.wav")) << message.toStdString();
        EXPECT_EQ(message.count('\n'), 1) << message.toStdString();
        EXPECT_FALSE(message.contains("(null)"));
    }
    // every piece unusable: nothing is played, and the recording is still named
    WriteFile("mathsound/plus.wav", WithField(good, 24, 0, 4));
    QString message;
    QTextStream err(&message);
    EXPECT_EQ(RunSpeakCommand(env_, *disk, clock_, "+", err), 1);
    err.flush();
    EXPECT_TRUE(message.contains("mathsound\\plus.wav")) << message.toStdString();
    // nothing to speak, on the output named "null": a plain reason, no "(null)"
    auto null = MakeNullAudioOutput(clock_);
    for (const char* text : {"", "  "}) {
        QString reason;
        QTextStream reasonStream(&reason);
        EXPECT_EQ(RunSpeakCommand(env_, *null, clock_, text, reasonStream), 1);
        reasonStream.flush();
        EXPECT_EQ(reason.count('\n'), 1);
        EXPECT_FALSE(reason.contains("(null)")) << reason.toStdString();
    }
}

}  // namespace
}  // namespace radevir::test
