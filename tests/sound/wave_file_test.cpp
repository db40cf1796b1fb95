// Reading and writing wave files on real bytes.
#include "tests/sound/sound_fixture.h"

namespace radevir::test {
namespace {

class WaveFileTest : public SoundTest {};

TEST_F(WaveFileTest, EmptyWaveIsTheCanonical44ByteHeader) {
    const std::string f = P("e.wav");
    ASSERT_TRUE(wav_->CreateEmptyWave(f, 22050, false));
    const QByteArray b = Read(f);
    ASSERT_EQ(b.size(), 44);
    EXPECT_EQ(b.left(4), "RIFF");
    EXPECT_EQ(At32(b, 4), 36u);
    EXPECT_EQ(b.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(At32(b, 16), 16u);
    EXPECT_EQ(At32(b, 24), 22050u);
    EXPECT_EQ(At32(b, 28), 44100u);
    EXPECT_EQ(b.mid(36, 4), "data");
    EXPECT_EQ(At32(b, 40), 0u);
    int rate = 0, bits = 0;
    bool stereo = true;
    EXPECT_EQ(wav_->GetWaveInfo(f, rate, bits, stereo), 0);
    EXPECT_EQ(rate, 22050);
    EXPECT_EQ(bits, 16);
    EXPECT_FALSE(stereo);

    // other rates take a template and get the requested rate
    ASSERT_TRUE(wav_->CreateEmptyWave(f, 16000, true));
    const QByteArray s = Read(f);
    EXPECT_EQ(At32(s, 24), 16000u);
    EXPECT_EQ(At32(s, 28), 64000u);
    EXPECT_EQ(s[22], 2);
    EXPECT_EQ(s[32], 4);
}

TEST_F(WaveFileTest, InvalidFilesGiveMinusOneAndStayUntouched) {
    const QByteArray noData = PcmWave({}).left(36);  // no data chunk
    QByteArray bits12 = PcmWave({1, 2});
    bits12[34] = 12;
    QByteArray tag0 = PcmWave({1, 2});
    tag0[20] = 0;
    QByteArray noChannels = PcmWave({1, 2});
    noChannels[22] = 0;
    // a format chunk of 0 bytes whose fields would be read from the next chunk's header
    const QByteArray shortFmt =
        QByteArray::fromBase64("UklGRmIAAABXQVZFZm10IAAAAAAAAgQAAAAAAGRhdGFSAAQAAAAAAGRhdGFSAEZi");
    for (const QByteArray& bytes : {QByteArray("hello"), noData, bits12, tag0, noChannels, shortFmt,
                                    QByteArray("RIFF\x04\0\0\0WAVE", 12)}) {
        const std::string f = WriteFile("bad.wav", bytes);
        int rate = 0, bits = 0;
        bool stereo = true;
        EXPECT_EQ(wav_->GetWaveInfo(f, rate, bits, stereo), -1);
        EXPECT_EQ(rate, 22050);
        EXPECT_EQ(bits, 16);
        EXPECT_FALSE(stereo);
        const std::uint8_t data[8] = {};
        EXPECT_FALSE(wav_->WriteWaveData(f, data, 8, -1));
        EXPECT_EQ(Read(f), bytes);
    }
    EXPECT_EQ(wav_->FrameCount(P("missing.wav")), -1);
}

TEST_F(WaveFileTest, SilenceInMillisecondsUses22SamplesPerMillisecond) {
    const std::string f = P("s.wav");
    ASSERT_TRUE(wav_->AppendSilence(f, 1000, false, -1));  // makes the file first
    EXPECT_EQ(Read(f).size(), 44 + 44000);
    EXPECT_EQ(wav_->FrameCount(f), 22000);
    ASSERT_TRUE(wav_->AppendSilence(f, 10, true, -1));  // sample units: 10 frames
    EXPECT_EQ(wav_->FrameCount(f), 22010);
}

TEST_F(WaveFileTest, WriteInsideTheDataOverwritesAndEndsTheChunkThere) {
    std::vector<std::int16_t> samples(100, 7);
    const std::string f = WriteFile("w.wav", PcmWave(samples));
    const std::vector<std::uint8_t> ones(8, 1);
    ASSERT_TRUE(wav_->WriteWaveData(f, ones.data(), 8, 20));
    QByteArray b = Read(f);
    EXPECT_EQ(At32(b, 40), 28u);  // the data chunk ends where the write ended
    EXPECT_EQ(At32(b, 4), 44u + 28 - 8);
    EXPECT_EQ(b.mid(44 + 20, 8), QByteArray(8, '\1'));
    EXPECT_EQ(b[44 + 18], 7);

    // beyond the data size: appended at the end of the file
    const std::string g = WriteFile("g.wav", PcmWave(samples));
    ASSERT_TRUE(wav_->WriteWaveData(g, ones.data(), 8, 1000));
    b = Read(g);
    EXPECT_EQ(b.size(), 44 + 200 + 8);
    EXPECT_EQ(At32(b, 40), 208u);
    EXPECT_EQ(b.right(8), QByteArray(8, '\1'));
}

TEST_F(WaveFileTest, WritesAreRoundedToWholeBlocks) {
    const std::vector<std::uint8_t> data(1023, 3);
    const std::string pcm = WriteFile("p.wav", PcmWave({}));
    ASSERT_TRUE(wav_->WriteWaveData(pcm, data.data(), 1023, -1));
    EXPECT_EQ(At32(Read(pcm), 40), 1020u);

    const std::string adpcm = WriteFile("a.wav", AdpcmWave(0));
    ASSERT_TRUE(wav_->WriteWaveData(adpcm, data.data(), 1023, -1));
    const QByteArray b = Read(adpcm);
    EXPECT_EQ(At32(b, 86), 512u);
    EXPECT_EQ(At32(b, 78), 512u);  // the fact field follows the data
    EXPECT_EQ(b.size(), 90 + 512);
}

TEST_F(WaveFileTest, OddDataSizeIsPaddedAndTheRiffSizeCountsThePad) {
    QByteArray bytes = PcmWave({});
    bytes[34] = 8;  // 8-bit mono
    bytes[32] = 1;
    const std::string f = WriteFile("o.wav", bytes);
    std::vector<std::uint8_t> data(6, 0x80);
    ASSERT_TRUE(wav_->WriteWaveData(f, data.data(), 6, -1));  // 4 bytes written
    ASSERT_TRUE(wav_->WriteWaveData(f, data.data(), 6, 1));   // inside: data ends at 1 + 4
    const QByteArray b = Read(f);
    EXPECT_EQ(At32(b, 40), 5u);
    EXPECT_EQ(At32(b, 4), 44u + 5 + 1 - 8);
    EXPECT_EQ(b[44 + 5], 0);
}

TEST_F(WaveFileTest, CopyWaveHeaderKeepsExtraChunksAndRefusesHugeHeaders) {
    const std::string src = WriteFile("a.wav", AdpcmWave(1024));
    const std::string dst = P("copy.wav");
    ASSERT_TRUE(wav_->CopyWaveHeader(dst, src));
    const QByteArray b = Read(dst);
    ASSERT_EQ(b.size(), 90);
    EXPECT_EQ(At32(b, 86), 0u);
    EXPECT_EQ(At32(b, 4), 82u);
    EXPECT_EQ(b.mid(70, 4), "fact");

    // a chunk of 70,000 bytes before the data chunk
    QByteArray big = PcmWave({1, 2, 3, 4});
    QByteArray junk("junk");
    Le32(junk, 70000);
    junk.append(QByteArray(70000, 'x'));
    big.insert(36, junk);
    const std::string bigFile = WriteFile("big.wav", big);
    EXPECT_EQ(wav_->FrameCount(bigFile), 4);
    EXPECT_FALSE(wav_->CopyWaveHeader(P("big_copy.wav"), bigFile));
    EXPECT_FALSE(QFile::exists(FromCp1252(P("big_copy.wav"))));
}

TEST_F(WaveFileTest, ReadWaveDataRoundsTheStartToAFrameAndSurvivesLyingSizes) {
    const std::string f = WriteFile("r.wav", PcmWave({10, 20, 30, 40}));
    std::int64_t length = -1;
    auto info = wav_->ReadWaveData(f, 3, length);
    ASSERT_TRUE(info && info->hasData);
    EXPECT_EQ(length, 6);  // start 3 → byte 2
    EXPECT_EQ(info->data[0], 20);

    QByteArray lying = PcmWave({10, 20});
    lying[40] = '\xFF';
    lying[41] = '\xFF';
    lying[42] = '\xFF';
    lying[43] = '\x7F';
    const std::string g = WriteFile("l.wav", lying);
    length = -1;
    info = wav_->ReadWaveData(g, 0, length);
    ASSERT_TRUE(info && info->hasData);
    EXPECT_EQ(length, 4);  // what is really there
}

TEST_F(WaveFileTest, OverlapMixesHalfAndHalf) {
    const std::string out = WriteFile("out.wav", PcmWave(std::vector<std::int16_t>(100, 1000)));
    const std::string src = WriteFile("src.wav", PcmWave(std::vector<std::int16_t>(60, -3000)));
    ASSERT_TRUE(wav_->OverlapWave(out, src, true, -40));
    const QByteArray b = Read(out);
    EXPECT_EQ(wav_->FrameCount(out), 100 - 40 + 60);
    auto sample = [&](int i) {
        return static_cast<std::int16_t>(static_cast<unsigned char>(b[44 + 2 * i]) |
                                         (static_cast<unsigned char>(b[45 + 2 * i]) << 8));
    };
    EXPECT_EQ(sample(59), 1000);
    EXPECT_EQ(sample(60), -1500 + 500);
    EXPECT_EQ(sample(99), -1000);
    EXPECT_EQ(sample(100), -3000);
}

TEST_F(WaveFileTest, CutAndScaleTakesTheRangeAtTheVolume) {
    std::vector<std::int16_t> ramp(2205);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::int16_t>(i * 10);
    const std::string src = WriteFile("ramp.wav", PcmWave(ramp));
    ASSERT_TRUE(wav_->CutAndScaleWave(src, P("cut.wav"), true, 500, 50, 10));  // 10..50 ms
    EXPECT_EQ(wav_->FrameCount(P("cut.wav")), 1102 - 220);
    auto data = wav_->ReadWaveData(P("cut.wav"));
    ASSERT_TRUE(data);
    EXPECT_EQ(static_cast<std::int16_t>(ReadLe16(data->data.data())), 220 * 10 / 2);
    // frames, loud: clamped
    ASSERT_TRUE(wav_->CutAndScaleWave(src, P("loud.wav"), false, 20000, -1, 2000));
    data = wav_->ReadWaveData(P("loud.wav"));
    ASSERT_TRUE(data);
    EXPECT_EQ(data->length, 408);  // 205 frames, written in whole 4-byte steps
    EXPECT_EQ(static_cast<std::int16_t>(ReadLe16(data->data.data())), 32767);
}

TEST(WaveFormat, MsToBytesTruncatesFrames) {
    EXPECT_EQ(MsToBytes(1000, 22050, 16, false), 44100);
    EXPECT_EQ(MsToBytes(1, 22050, 16, false), 44);
    EXPECT_EQ(MsToBytes(3, 11025, 8, true), 66);
    EXPECT_EQ(MsToBytes(-1, 22050, 16, false), -44);
}

}  // namespace
}  // namespace radevir::test
