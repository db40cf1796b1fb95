// Join lines and JoinWaves / JoinToTemp on real files.
#include <QDir>

#include "sound/join_line.h"
#include "tests/sound/sound_fixture.h"

namespace radevir::test {
namespace {

TEST(CommaText, SplitsLikeTheProgramsStringLists) {
    struct Case {
        std::string text;
        std::vector<std::string> fields;
    };
    const std::vector<Case> cases = {
        {"a,b c", {"a", "b", "c"}},
        {"  a , b", {"a", "b"}},
        {"\"x y.wav\",10", {"x y.wav", "10"}},
        {"\"say \"\"hi\"\"\",1", {"say \"hi\"", "1"}},
        {"a,,b", {"a", "", "b"}},
        {"a,", {"a", ""}},
        {"\"open", {"open"}},
        {"", {}},
        {std::string("a\0b", 3), {"a"}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitCommaText(c.text), c.fields) << c.text;
    EXPECT_EQ(JoinCommaText({"my file.wav", "", "5", "a\"b"}), "\"my file.wav\",,5,\"a\"\"b\"");
}

TEST(JoinLineParse, DefaultsNameAndQuoting) {
    JoinLine j = ParseJoinLine("eins=x.wav,10,abc");
    EXPECT_EQ(j.file, "x.wav");
    EXPECT_EQ(j.start, 10);
    EXPECT_EQ(j.end, -1);  // not a number
    EXPECT_EQ(j.volume_percent, 100);
    j = ParseJoinLine("\"a=b.wav\",1,2,50,-30,200");
    EXPECT_EQ(j.file, "a=b.wav");
    EXPECT_EQ(j.volume_percent, 50);
    EXPECT_EQ(j.gapBefore, -30);
    EXPECT_EQ(j.silenceAfter, 200);
    EXPECT_EQ(QuoteWaveName("c:\\my sounds\\a b.wav"), "\"c:\\my sounds\\a b.wav\"");
    EXPECT_EQ(QuoteWaveName("a b.wav,0,100"), "\"a b.wav\",0,100");
    EXPECT_EQ(QuoteWaveName("\"a b.wav\",0"), "\"a b.wav\",0");
    EXPECT_EQ(QuoteWaveName("ab.wav 0 100"), "ab.wav 0 100");
    EXPECT_EQ(QuoteWaveName("Mein Ton.WAV,5"), "\"Mein Ton.WAV\",5");
}

class JoinTest : public SoundTest {
protected:
    std::vector<std::int16_t> Samples(const std::string& file) {
        auto d = wav_->ReadWaveData(file);
        std::vector<std::int16_t> s;
        if (!d) return s;
        for (std::int64_t i = 0; i + 1 < d->length; i += 2) {
            s.push_back(static_cast<std::int16_t>(ReadLe16(d->data.data() + i)));
        }
        return s;
    }
    std::string out_ = P("out.wav");
};

TEST_F(JoinTest, VolumeHundredAndZeroLeaveTheSamplesFiftyHalvesThem) {
    const std::vector<std::int16_t> x(441, 1000);  // 20 ms
    const std::string file = WriteFile("x.wav", PcmWave(x));
    for (const auto& [volume, expected] : std::vector<std::pair<int, int>>{{100, 1000}, {50, 500}, {0, 1000}}) {
        const std::string line = file + ",0,0," + std::to_string(volume) + ",0,0";
        ASSERT_TRUE(wav_->JoinWaves(out_, {line}, false, 0));
        const auto s = Samples(out_);
        ASSERT_EQ(s.size(), 440u) << volume;  // written in whole 4-byte steps
        EXPECT_EQ(s.front(), expected) << volume;
        EXPECT_FALSE(QFile::exists(dir_.Path() + "/_laut_x.wav"));  // cut copies are removed
        EXPECT_TRUE(wav_->TempFiles().empty());
    }
}

TEST_F(JoinTest, FirstLineNeverOverlapsLaterOnesDo) {
    const std::string a = WriteFile("a.wav", PcmWave(std::vector<std::int16_t>(2200, 100)));
    const std::string b = WriteFile("b.wav", PcmWave(std::vector<std::int16_t>(2200, 300)));
    ASSERT_TRUE(wav_->JoinWaves(out_, {a + ",0,0,100,-50", b + ",0,0,100,-50"}, false, 0));
    // -50 ms = 1100 frames of overlap for the second piece only
    EXPECT_EQ(wav_->FrameCount(out_), 2200 + 2200 - 1100);
    const auto s = Samples(out_);
    EXPECT_EQ(s[1099], 100);
    EXPECT_EQ(s[1100], 200);
}

TEST_F(JoinTest, SilenceAfterCarriesOverToLaterPieces) {
    const std::string a = WriteFile("a.wav", PcmWave(std::vector<std::int16_t>(1000, 5)));
    const std::string b = WriteFile("b.wav", PcmWave(std::vector<std::int16_t>(1000, 6)));
    ASSERT_TRUE(wav_->JoinWaves(out_, {a + ",0,0,100,0,300", b + ",0,0,100,0,0"}, false, 0));
    EXPECT_EQ(wav_->FrameCount(out_), 1000 + 6600 + 1000 + 6600);
    // a caller's own value is never overridden; positive Anfang puts silence first
    ASSERT_TRUE(wav_->JoinWaves(out_, {a + ",0,0,100,100,300", b}, false, 10));
    EXPECT_EQ(wav_->FrameCount(out_), 2200 + 1000 + 220 + 1000 + 220);
}

TEST_F(JoinTest, UnquotedNameWithBlankAndSearchFoldersAreFound) {
    const std::string spaced = WriteFile("Mein Klang.wav", PcmWave(std::vector<std::int16_t>(400, 9)));
    WriteFile("lib/Glocke.wav", PcmWave(std::vector<std::int16_t>(200, 9)));
    dir_.Write("intern/suchpfad.txt", QByteArray((dir_.Folder() + "lib\\\r\n").c_str()));
    WaveComponent wav(env_, *output_, clock_);
    ASSERT_TRUE(wav.JoinWaves(out_, {spaced + ",0,0,100", "glocke.wav", "fehlt.wav,0"}, false, 0));
    EXPECT_EQ(wav.FrameCount(out_), 600);
}

TEST_F(JoinTest, SampleUnitsRecordPieceEndsAndCutInFrames) {
    const std::string a = WriteFile("a.wav", PcmWave(std::vector<std::int16_t>(1000, 5)));
    ASSERT_TRUE(wav_->JoinWaves(out_, {a + ",100,300", a + ",0,0,100,50"}, true, 0));
    EXPECT_EQ(wav_->PieceEnds(), (std::vector<std::int32_t>{200, 1250}));
}

TEST_F(JoinTest, OutsizedNumbersAreClampedToTheFileAndAPause) {
    const std::string x = WriteFile("x.wav", PcmWave(std::vector<std::int16_t>(441, 1000)));
    const std::string big = "2147483647";
    // 10 s of silence at 22 frames per millisecond is the longest pause a line can ask for
    constexpr int kTenSeconds = 220000;
    struct Case {
        std::vector<std::string> lines;
        int trailingSilence;
        std::int32_t frames;
        int firstSample;
    };
    const std::vector<Case> cases = {
        {{x + ",0,0," + big}, 0, 440, 10000},                          // ten-fold at most
        {{x + ",0,0,-" + big}, 0, 440, 1000},                          // unchanged
        {{x + ",0,0,100," + big}, 0, kTenSeconds + 440, 0},            // gap before
        {{x + ",0,0,100,0," + big}, 0, 440 + kTenSeconds, 1000},      // silence after
        {{x}, 2147483647, 440 + kTenSeconds, 1000},                    // the caller's pause
        {{x + "," + big}, 0, 0, 0},                                    // starts after the end
        {{x + ",-" + big + "," + big}, 0, 440, 1000},                  // the whole file
        {{x, x + ",0,0,100,-" + big}, 0, 440, 1000},                   // overlaps all there is
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(wav_->JoinWaves(out_, c.lines, false, c.trailingSilence)) << c.lines.back();
        EXPECT_EQ(wav_->FrameCount(out_), c.frames) << c.lines.back();
        const auto s = Samples(out_);
        EXPECT_EQ(s.empty() ? 0 : s.front(), c.firstSample) << c.lines.back();
    }
}

TEST_F(JoinTest, PiecesOfAnotherFormatAreConvertedToTheJoinedFilesFormat) {
    // 100 ms each: 22050 Hz mono, 44100 Hz stereo (a teacher's own recording), 11025 Hz 8-bit
    const std::string mono = WriteFile("mono.wav", PcmWave(std::vector<std::int16_t>(2205, 1000)));
    const std::string stereo =
        WriteFile("stereo.wav", PcmWave(std::vector<std::int16_t>(2 * 4410, 2000), 44100, 2));
    const std::string low = WriteFile("low.wav", Pcm8Wave(std::vector<std::uint8_t>(1102, 128 + 16), 11025));
    struct Case {
        std::vector<std::string> lines;
        int rate;
        bool stereo;
        std::int64_t frames;
    };
    const std::vector<Case> cases = {
        {{mono, stereo, low}, 22050, false, 3 * 2205},
        {{stereo, mono, low}, 44100, true, 3 * 4410},
        {{mono + ",0,0,100,100", stereo + ",0,0,100,-50"}, 22050, false, 2200 + 2205 + 2205 - 1100},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(wav_->JoinWaves(out_, c.lines, false, 0));
        EXPECT_TRUE(wav_->JoinProblems().empty()) << c.lines.front();
        int rate = 0;
        int bits = 0;
        bool stereoOut = false;
        const int frames = wav_->GetWaveInfo(out_, rate, bits, stereoOut);
        EXPECT_EQ(rate, c.rate);
        EXPECT_EQ(stereoOut, c.stereo);
        EXPECT_EQ(bits, 16);
        EXPECT_NEAR(frames, c.frames, 4) << c.lines.front();
        EXPECT_TRUE(wav_->TempFiles().empty());  // converted copies are removed
    }
    // the samples are converted, not reinterpreted: the middle of each piece keeps its level
    ASSERT_TRUE(wav_->JoinWaves(out_, {mono, stereo, low}, false, 0));
    const auto s = Samples(out_);
    ASSERT_GE(s.size(), 3u * 2205 - 4);
    EXPECT_EQ(s[1100], 1000);
    EXPECT_NEAR(s[2205 + 1100], 2000, 20);
    EXPECT_NEAR(s[2 * 2205 + 1100], 16 * 256, 40);
    // in sample units the piece ends count frames of the joined file
    ASSERT_TRUE(wav_->JoinWaves(out_, {mono, stereo}, true, 0));
    ASSERT_EQ(wav_->PieceEnds().size(), 2u);
    EXPECT_EQ(wav_->PieceEnds()[0], 2204);
    EXPECT_NEAR(wav_->PieceEnds()[1], 2204 + 2205, 4);
}

TEST_F(JoinTest, UnusableRecordingsAreLeftOutAndNamed) {
    const QByteArray good = PcmWave(std::vector<std::int16_t>(1000, 7));
    const std::string g = WriteFile("gut.wav", good);
    struct Case {
        QString name;
        QByteArray bytes;
        PieceProblem problem;
        std::int64_t value;
        std::int32_t frames;  // of the join "bad, good"
    };
    const std::vector<Case> cases = {
        {"rate0.wav", WithField(good, 24, 0, 4), PieceProblem::BadRate, 0, 1000},
        {"mp3.wav", WithField(good, 20, 0x55), PieceProblem::UnsupportedFormat, 0x55, 1000},
        {"kanaele.wav", WithField(good, 22, 65535), PieceProblem::BadChannels, 65535, 1000},
        {"kopf.wav", good.left(30), PieceProblem::NotAWave, 0, 1000},
        {"text.wav", QByteArray("Hallo, ich bin keine Aufnahme"), PieceProblem::NotAWave, 0, 1000},
        {"halb.wav", good.left(44 + 800), PieceProblem::Truncated, 800, 400 + 1000},
        {"leer.wav", PcmWave({}), PieceProblem::Empty, 0, 1000},
    };
    for (const Case& c : cases) {
        const std::string bad = WriteFile(c.name, c.bytes);
        ASSERT_TRUE(wav_->JoinWaves(out_, {bad, g}, false, 0));
        ASSERT_EQ(wav_->JoinProblems().size(), 1u) << c.name.toStdString();
        EXPECT_EQ(wav_->JoinProblems()[0].file, bad);
        EXPECT_EQ(wav_->JoinProblems()[0].problem, c.problem) << c.name.toStdString();
        EXPECT_EQ(wav_->JoinProblems()[0].value, c.value) << c.name.toStdString();
        // a piece left out does not give the joined file its format
        int rate = 0;
        int bits = 0;
        bool stereo = false;
        EXPECT_EQ(wav_->GetWaveInfo(out_, rate, bits, stereo), c.frames) << c.name.toStdString();
        EXPECT_EQ(rate, 22050);
        EXPECT_NE(DescribeJoinProblem(wav_->JoinProblems()[0]).find(bad), std::string::npos);
    }
    ASSERT_TRUE(wav_->JoinWaves(out_, {"fehlt.wav", g}, false, 0));
    ASSERT_EQ(wav_->JoinProblems().size(), 1u);
    EXPECT_EQ(wav_->JoinProblems()[0].problem, PieceProblem::Missing);
    ASSERT_TRUE(wav_->JoinWaves(out_, {g, g}, false, 0));
    EXPECT_TRUE(wav_->JoinProblems().empty());
}

TEST_F(JoinTest, JoinToTempNamesFilesAndGivesUpWhenAllNamesAreTaken) {
    const std::string a = WriteFile("a.wav", PcmWave(std::vector<std::int16_t>(100, 5)));
    std::string name;
    wav_->JoinToTemp({a}, 0, name);
    EXPECT_EQ(name, dir_.Folder() + "tempwav\\_new_0.wav");
    EXPECT_EQ(wav_->FrameCount(name), 100);
    EXPECT_EQ(wav_->TempFiles(), (std::vector<std::string>{name}));
    wav_->JoinToTemp({"nothing.wav"}, 0, name);
    EXPECT_EQ(name, "");  // nothing was made

    for (int n = 0; n <= 999; ++n) {
        QDir().mkpath(dir_.Path() + "/tempwav/_new_" + QString::number(n) + ".wav");
    }
    wav_->JoinToTemp({a}, 0, name);
    EXPECT_EQ(name, "");
}

}  // namespace
}  // namespace radevir::test
