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
    EXPECT_EQ(j.von, 10);
    EXPECT_EQ(j.bis, -1);  // not a number
    EXPECT_EQ(j.volumen, 100);
    j = ParseJoinLine("\"a=b.wav\",1,2,50,-30,200");
    EXPECT_EQ(j.file, "a=b.wav");
    EXPECT_EQ(j.volumen, 50);
    EXPECT_EQ(j.anfang, -30);
    EXPECT_EQ(j.stilledanach, 200);
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
        EXPECT_TRUE(wav_->TempFiles.empty());
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
    TWAV wav(env_, *output_, clock_);
    ASSERT_TRUE(wav.JoinWaves(out_, {spaced + ",0,0,100", "glocke.wav", "fehlt.wav,0"}, false, 0));
    EXPECT_EQ(wav.FrameCount(out_), 600);
}

TEST_F(JoinTest, SampleUnitsRecordPieceEndsAndCutInFrames) {
    const std::string a = WriteFile("a.wav", PcmWave(std::vector<std::int16_t>(1000, 5)));
    ASSERT_TRUE(wav_->JoinWaves(out_, {a + ",100,300", a + ",0,0,100,50"}, true, 0));
    EXPECT_EQ(wav_->PieceEnds, (std::vector<std::int32_t>{200, 1250}));
}

TEST_F(JoinTest, JoinToTempNamesFilesAndGivesUpWhenAllNamesAreTaken) {
    const std::string a = WriteFile("a.wav", PcmWave(std::vector<std::int16_t>(100, 5)));
    std::string name;
    wav_->JoinToTemp({a}, 0, name);
    EXPECT_EQ(name, dir_.Folder() + "tempwav\\_new_0.wav");
    EXPECT_EQ(wav_->FrameCount(name), 100);
    EXPECT_EQ(wav_->TempFiles, (twavhistory{name}));
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
