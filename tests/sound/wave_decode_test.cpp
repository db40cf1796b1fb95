#include "sound/wave_decode.h"
#include "sound/wave_format.h"

#include "tests/sound/sound_fixture.h"

#include <gtest/gtest.h>

using namespace radevir;
using radevir::test::AdpcmWave;
using radevir::test::Le16;
using radevir::test::Le32;

namespace {

// A data chunk that claims more bytes than the file holds: an IMA ADPCM file of 90 bytes whose
// data chunk claims 4,194,304,016 bytes and holds 4 (the decoder asked for 4 GB on it).
QByteArray CutImaAdpcm() {
    return QByteArray::fromHex(
        "524946466200000057415645666d7420320000001100010002560000932b0000000204002000000000000000"
        "00000000ff080000000002040000000000000000000066616374040000000000000064617461100000fa0000"
        "0e0f");
}

// One block of MS ADPCM silence, with the samples per block and the seven standard coefficient
// pairs in the format's extra bytes.
QByteArray MsAdpcm(std::uint32_t claimedDataBytes) {
    QByteArray b = AdpcmWave(512);
    QByteArray extra;
    Le16(extra, 1012);
    Le16(extra, 7);
    for (const int coefficient : {256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232})
        Le16(extra, static_cast<std::uint16_t>(coefficient));
    b.replace(38, 32, extra);
    b.replace(90, 512, QByteArray(512, '\0'));
    b[90 + 1] = 16;  // a first delta of 16
    b.replace(86, 4, [&] { QByteArray size; Le32(size, claimedDataBytes); return size; }());
    return b;
}

}  // namespace

TEST(WaveDecode, AdpcmWithTheDataCutShortDecodesOnlyWhatIsThere) {
    struct Case {
        const char* name;
        QByteArray bytes;
        std::int64_t mostFrames;  // whole blocks the bytes hold, at the samples per block
    };
    const Case cases[] = {
        {"whole MS ADPCM block", MsAdpcm(512), 1012},
        {"MS ADPCM, data size past the end", MsAdpcm(4096), 1012},
        {"IMA ADPCM, 4 of 4 GB data bytes", CutImaAdpcm(), 1017},
    };
    for (const Case& c : cases) {
        DecodedWave wave;
        if (!DecodeWaveBytes(c.bytes, wave)) continue;  // refusing is fine, asking for GBs is not
        EXPECT_LE(wave.Frames(), c.mostFrames) << c.name;
        EXPECT_EQ(wave.rate, c.bytes == CutImaAdpcm() ? 22018 : 22050) << c.name;
    }
    DecodedWave whole;
    ASSERT_TRUE(DecodeWaveBytes(MsAdpcm(512), whole));
    EXPECT_EQ(whole.Frames(), 1012);
    DecodedWave cut;
    ASSERT_TRUE(DecodeWaveBytes(MsAdpcm(4096), cut));
    EXPECT_EQ(cut.Frames(), 1012);
}

// What the ADPCM reader is given: the file cut to its sample data, with sizes that fit.
TEST(WaveDecode, AFileCutShortIsHandedOnWithSizesThatFit) {
    const QByteArray cut = CutImaAdpcm();
    MemoryWaveIo io(std::vector<std::uint8_t>(cut.begin(), cut.end()));
    const WaveLayout w = ParseWave(io);
    ASSERT_TRUE(w.valid);
    ASSERT_EQ(w.dataSize, 0xFA000010u);
    const std::vector<std::uint8_t> fitted = FittedToItsBytes(w, io.Bytes());
    ASSERT_EQ(fitted.size(), 90u);
    EXPECT_EQ(ReadLe32(fitted.data() + w.dataSizeOffset), 4u);
    EXPECT_EQ(ReadLe32(fitted.data() + 4), 82u);
    EXPECT_TRUE(std::equal(fitted.begin() + w.dataStart, fitted.end(), io.Bytes().begin() + w.dataStart));

    // bytes after the data (a list chunk) are left out, a whole file keeps its sizes
    QByteArray longer = MsAdpcm(512);
    longer.append("LIST");
    longer.append(QByteArray(8, '\0'));
    MemoryWaveIo io2(std::vector<std::uint8_t>(longer.begin(), longer.end()));
    const WaveLayout w2 = ParseWave(io2);
    ASSERT_TRUE(w2.valid);
    const std::vector<std::uint8_t> fitted2 = FittedToItsBytes(w2, io2.Bytes());
    ASSERT_EQ(fitted2.size(), 90u + 512u);
    EXPECT_EQ(ReadLe32(fitted2.data() + w2.dataSizeOffset), 512u);
    EXPECT_EQ(ReadLe32(fitted2.data() + 4), 90u + 512u - 8u);
}
