// The frame animation: loading picture folders with and without a control file, the order
// rules of the control file, frame geometry, strip files, and what clearing does to the sound.
#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

#include "film/control_file.h"
#include "film/frame_animation.h"
#include "film/frame_bitmap.h"
#include "graphics/picture_loader.h"
#include "sound/audio_output.h"
#include "sound/wave_component.h"
#include "support/clock.h"
#include "support/program_environment.h"
#include "support/text_file.h"
#include "tests/test_support.h"

namespace radevir {
namespace {

using test::ScratchDir;

QByteArray PngOf(QSize size, QColor colour) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A silent 16-bit mono wave of `frames` samples.
QByteArray SilentWave(int frames) {
    QByteArray b("RIFF");
    auto le = [&b](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    le(36 + frames * 2, 4);
    b.append("WAVEfmt ");
    le(16, 4), le(1, 2), le(1, 2), le(22050, 4), le(44100, 4), le(2, 2), le(16, 2);
    b.append("data");
    le(frames * 2, 4);
    b.append(QByteArray(frames * 2, '\0'));
    return b;
}

std::vector<Bytes> Lines(const QByteArray& bytes) { return SplitTextLines(bytes.toStdString()); }

class FrameAnimationTest : public ::testing::Test {
protected:
    FrameAnimationTest() : env_(dir_.Folder()), film_(env_) {}

    // A picture folder "bilder" with a.png, b.png (2:1 and 1:1) and a sound.
    Bytes PictureFolder() {
        dir_.Write("bilder/a.png", PngOf({400, 200}, Qt::red));
        dir_.Write("bilder/b.png", PngOf({50, 50}, Qt::blue));
        dir_.Write("bilder/c.wav", SilentWave(100));
        return dir_.Folder() + "bilder";
    }
    std::vector<Bytes> Names() const {
        std::vector<Bytes> names;
        for (const FrameEntry& e : *film_.FrameList()) names.push_back(e.name);
        return names;
    }

    ScratchDir dir_;
    ProgramEnvironment env_;
    FrameAnimation film_;
};

TEST_F(FrameAnimationTest, DefaultsAfterConstruction) {
    EXPECT_EQ(film_.repeats(), 1);
    EXPECT_EQ(film_.lastpicture(), 0);
    EXPECT_TRUE(film_.stop());
    EXPECT_FALSE(film_.bilddelay());
    EXPECT_EQ(film_.delay(), 0);
    EXPECT_EQ(film_.hintergrundfarbe(), QColor(Qt::black));
    EXPECT_EQ(film_.maske(), "*.*");
    EXPECT_EQ(film_.width(), 48);
    EXPECT_EQ(film_.height(), 48);
    EXPECT_TRUE(film_.transparent());
    EXPECT_EQ(film_.Border(), 2);
    EXPECT_FALSE(film_.FrameList().has_value());
    EXPECT_EQ(film_.WorkBitmap(0).size(), QSize(48, 48));
    // writing stop with any value leaves it stopped
    film_.setStop(false);
    EXPECT_TRUE(film_.stop());
}

TEST_F(FrameAnimationTest, FolderWithoutControlFileGetsOneInNameOrder) {
    struct Case {
        int delay_ms;
        Bytes timing;
    };
    for (const Case& c : {Case{0, "200"}, Case{120, "120"}, Case{30, "200"}, Case{50, "50"}}) {
        SCOPED_TRACE(c.delay_ms);
        const Bytes folder = PictureFolder();
        QFile::remove(dir_.Path() + "/bilder/steuer.txt");
        film_.setDelay(c.delay_ms);
        film_.setVerzeichnis(folder + "\\");
        EXPECT_EQ(film_.verzeichnis(), folder);
        EXPECT_EQ(Lines(dir_.Read("bilder/steuer.txt")),
                  (std::vector<Bytes>{"a.png", c.timing, "b.png", "c.wav"}));
        EXPECT_TRUE(dir_.Read("bilder/steuer.txt").contains("a.png\r\n"));
        // the sound is kept with its full path; two pictures, the last at index 2
        EXPECT_EQ(Names(), (std::vector<Bytes>{"a.png", c.timing, "b.png", folder + "\\c.wav"}));
        EXPECT_EQ(film_.lastpicture(), 2);
        EXPECT_EQ(film_.FrameBitmaps().size(), 2u);
    }
}

TEST_F(FrameAnimationTest, ControlFileOrdersFramesPausesAndSounds) {
    const Bytes folder = PictureFolder();
    const QByteArray control = "b.png\r\n300\r\nfehlt.wav\r\nA.PNG\r\nb.png\r\nc.wav\r\nunsinn\r\n";
    dir_.Write("bilder/steuer.txt", control);
    film_.setVerzeichnis(folder);
    EXPECT_EQ(Names(), (std::vector<Bytes>{"b.png", "300", "a.png", "b.png", folder + "\\c.wav"}));
    EXPECT_EQ(film_.lastpicture(), 3);
    const auto& list = *film_.FrameList();
    // a picture named twice shares one bitmap
    EXPECT_EQ(list[0].bitmap, list[3].bitmap);
    EXPECT_EQ(list[0].bitmap.use_count(), 3);  // two entries and the load-order array
    EXPECT_EQ(list[1].bitmap, nullptr);
    EXPECT_EQ(dir_.Read("bilder/steuer.txt"), control);  // an existing control file is not rewritten
    film_.ClearFrames();
    EXPECT_FALSE(film_.FrameList().has_value());
    EXPECT_TRUE(film_.FrameBitmaps().empty());
}

TEST_F(FrameAnimationTest, FramesAreFittedAndFollowSizeAndColourChanges) {
    const Bytes folder = PictureFolder();
    film_.setWidth(80);
    film_.setHeight(56);
    film_.setVerzeichnis(folder);
    const QImage& wide = *film_.FrameList()->at(0).bitmap;  // 400 × 200 at 80 × 56, border 2
    ASSERT_EQ(wide.size(), QSize(82, 42));
    EXPECT_EQ(QColor(wide.pixel(80, 40)), QColor(Qt::red));  // the picture reaches one pixel past the border
    EXPECT_EQ(QColor(wide.pixel(81, 41)), QColor(Qt::black));
    EXPECT_EQ(film_.WorkBitmap(1).size(), QSize(80, 56));

    film_.setHintergrundfarbe(Qt::white);  // reloads at the new colour
    EXPECT_EQ(QColor(film_.FrameList()->at(0).bitmap->pixel(81, 41)), QColor(Qt::white));
    film_.setWidth(40);
    EXPECT_EQ(film_.FrameList()->at(0).bitmap->size(), QSize(42, 22));
}

TEST(FrameRectangleTest, KeepsTheAspectOnEvenEdges) {
    struct Case {
        int width, height;
        QSizeF picture;
        QRect expected;
    };
    const Case cases[] = {
        {80, 56, {400, 200}, QRect(0, 8, 80, 40)},   // wider than the frame: top and bottom move in
        {80, 56, {100, 200}, QRect(26, 0, 28, 56)},  // narrower: left and right move in
        {80, 0, {400, 200}, QRect(0, 0, 80, 40)},    // height from the aspect, nothing to fit
        {81, 56, {400, 200}, QRect(0, 8, 80, 40)},   // 40.5 rounds to 40, the odd right edge comes in
        {80, 56, {80, 56}, QRect(0, 0, 80, 56)},
        {80, 56, {0, 10}, QRect()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " " << c.picture.width());
        EXPECT_EQ(FrameRectangle(c.width, c.height, c.picture), c.expected);
    }
}

TEST(ControlFileTest, TimingLinesAndDroppedLines) {
    for (const char* yes : {"300", "-5", " 40", "+7", "2147483647"}) EXPECT_TRUE(IsTimingLine(yes)) << yes;
    for (const char* no : {"", " ", "3 0", "30ms", "2147483648", "-", "0x10"}) EXPECT_FALSE(IsTimingLine(no)) << no;
    const auto bitmap = std::make_shared<const QImage>(4, 4, QImage::Format_RGB32);
    const std::vector<FrameEntry> loaded{{"a.png", bitmap}, {"c.wav", nullptr}};
    const AppliedControlFile applied = ApplyControlFile(
        {"c.wav", "", "a.png", "500", "nicht.da"}, loaded, "F\\",
        [](const Bytes& path) { return path == "F\\c.wav"; });
    ASSERT_EQ(applied.entries.size(), 3u);
    EXPECT_EQ(applied.entries[0].name, "F\\c.wav");
    EXPECT_EQ(applied.entries[1].bitmap, bitmap);
    EXPECT_EQ(applied.entries[2].name, "500");
    EXPECT_EQ(applied.lastPicture, 1);
    EXPECT_FALSE(ApplyControlFile({"500"}, loaded, "F\\", nullptr).lastPicture.has_value());
}

TEST_F(FrameAnimationTest, EmptyOrMissingFolderGivesNoFrames) {
    dir_.Write("leer/notiz.txt", "x");
    film_.setVerzeichnis(dir_.Folder() + "leer");
    EXPECT_FALSE(film_.FrameList().has_value());
    EXPECT_FALSE(QFile::exists(dir_.Path() + "/leer/steuer.txt"));
    film_.setVerzeichnis(dir_.Folder() + "gibtsnicht");
    EXPECT_EQ(film_.verzeichnis(), "");
    EXPECT_FALSE(film_.FrameList().has_value());
}

TEST_F(FrameAnimationTest, StripFileFramesShowTheFirstPlane) {
    QByteArray strip(2 * kStripRecordBytes, '\0');
    strip[4] = '\x80';                        // frame 0, row 0, plane 0: the leftmost pixel
    strip[4 + 10] = '\xFF';                   // plane 1 is not drawn
    strip[kStripRecordBytes + 4 + 40] = 0x01; // frame 1, row 1, pixel 7
    dir_.Write("streifen.bin", strip);
    film_.setVerzeichnis(dir_.Folder() + "streifen.bin");
    EXPECT_EQ(Names(), (std::vector<Bytes>{"streifen.bin 0", "100", "streifen.bin 1", "100"}));
    const QImage& first = *film_.FrameList()->at(0).bitmap;
    ASSERT_EQ(first.size(), QSize(82, 58));
    EXPECT_EQ(QColor(first.pixel(0, 0)), QColor(64, 64, 64));
    EXPECT_EQ(QColor(first.pixel(9, 0)), QColor(Qt::black));
    EXPECT_EQ(QColor(film_.FrameList()->at(2).bitmap->pixel(7, 1)), QColor(64, 64, 64));

    dir_.Write("kaputt.bin", QByteArray(kStripRecordBytes + 1, '\0'));
    film_.setVerzeichnis(dir_.Folder() + "kaputt.bin");
    EXPECT_FALSE(film_.FrameList().has_value());
    EXPECT_FALSE(DecodeStripFrame(strip, 2).has_value());
}

TEST_F(FrameAnimationTest, PreviewTakesTheFirstPictureOnly) {
    const Bytes folder = PictureFolder();
    int raised = 0;
    film_.previewLoaded = [&raised] { ++raised; };
    film_.setVorschauverzeichnis(folder);
    EXPECT_EQ(Names(), (std::vector<Bytes>{"a.png"}));
    EXPECT_EQ(raised, 1);
    EXPECT_FALSE(QFile::exists(dir_.Path() + "/bilder/steuer.txt"));
}

TEST_F(FrameAnimationTest, ClearingFramesStopsTheCurrentSound) {
    VirtualClock clock;
    std::unique_ptr<AudioOutput> output = MakeNullAudioOutput(clock);
    WaveComponent wave(env_, *output, clock);
    film_.SetWave(&wave);
    const std::string sound = ToCp1252(dir_.Write("ton.wav", SilentWave(22050)));
    ASSERT_TRUE(wave.Play(NotifyWindow::Host, sound, true));
    const DeviceId playing = wave.CurrentDevice();
    ASSERT_NE(playing, kNoDevice);
    film_.setVerzeichnis(PictureFolder());  // a new folder clears the old frames first
    EXPECT_EQ(wave.CurrentDevice(), kNoDevice);
    EXPECT_FALSE(output->IsOpen(playing));
    film_.SetWave(nullptr);
}

}  // namespace
}  // namespace radevir
