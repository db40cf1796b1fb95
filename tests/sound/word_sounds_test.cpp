// The word-to-sound lookup, the piece-by-piece play chain and the cutting at pauses.
#include <QDir>

#include "sound/sound_adapter.h"
#include "tests/console/fake_host.h"
#include "tests/sound/sound_fixture.h"

namespace radevir::test {
namespace {

class WordSoundsTest : public SoundTest {
protected:
    void Sound(const QString& relative, int frames) {
        WriteFile("sounds/" + relative, PcmWave(Sine(frames, 220, 5000)));
    }
    std::string Base() const { return dir_.Folder() + "sounds\\"; }
    WordSoundQuery Query(const std::string& syllableFolder, bool listOnly) const {
        WordSoundQuery query;
        query.baseFolder = Base();
        query.listFolder = "Aufgaben\\liste";
        query.wordFolder = "1";
        query.pairFolder = "2";
        query.syllableFolder = syllableFolder;
        query.characterFolder = "Zeichen";
        query.announceCapitals = true;
        query.separators = " ";
        query.listOnly = listOnly;
        return query;
    }
    std::string Words(const Bytes& text, bool listOnly = false) {
        std::string file;
        wav_->FindWordSounds(text, Query("3", listOnly), file);
        return file;
    }
    std::string Line(const Bytes& text, bool listOnly) {
        WordSoundQuery query = Query("Silben", listOnly);
        query.keepText = true;
        std::string file;
        wav_->FindLineSounds(text, query, file);
        return file;
    }
};

TEST_F(WordSoundsTest, TwoWordsGiveTwoPiecesWithTheirEndsAndTexts) {
    Sound("1/haus.wav", 1000);
    Sound("1/tür.wav", 600);
    const std::string file = Words("Haus Tür"_b);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(wav_->PieceEnds(), (std::vector<std::int32_t>{1000, 1600}));
    EXPECT_EQ(wav_->PieceTexts(), (std::vector<Bytes>{"Haus Tür"_b, " Tür"_b}));
    EXPECT_EQ(wav_->FrameCount(file), 1600);
    EXPECT_FALSE(wav_->SampleUnits());  // restored
}

TEST_F(WordSoundsTest, CapitalLetterIsAnnouncedButFormsOnePiece) {
    Sound("Zeichen/a.wav", 500);
    Sound("Zeichen/groß.wav", 300);
    ASSERT_FALSE(Words("A").empty());
    EXPECT_EQ(wav_->PieceEnds(), (std::vector<std::int32_t>{800}));
    EXPECT_EQ(wav_->PieceTexts(), (std::vector<Bytes>{"A"}));
    ASSERT_FALSE(Words("a").empty());
    EXPECT_EQ(wav_->PieceEnds(), (std::vector<std::int32_t>{500}));
}

TEST_F(WordSoundsTest, SignsAreLookedUpByTheirCode) {
    Sound("Zeichen/a.wav", 500);
    Sound("Zeichen/b.wav", 500);
    Sound("Zeichen/#63.wav", 500);
    const std::string list = Line("a?b", true);
    EXPECT_EQ(QString::fromStdString(list).count("\r\n"), 3);
    EXPECT_NE(list.find("#63.wav"), std::string::npos);
    EXPECT_LT(list.find("a.wav"), list.find("#63.wav"));
    // at either end the cleaning drops it
    EXPECT_EQ(Words("?a?", true), Base() + "Zeichen\\a.wav\r\n");
}

TEST_F(WordSoundsTest, AWordSpelledLetterByLetterIsNotSpoken) {
    for (const char* c : {"h", "a", "u", "s"}) Sound(QString("Zeichen/%1.wav").arg(c), 300);
    EXPECT_EQ(Words("haus"), "");
    EXPECT_NE(Words("au"), "");  // two pieces for one word are still spoken
}

TEST_F(WordSoundsTest, ExceptionListReplacesTheText) {
    Sound("1/haus.wav", 700);
    dir_.Write("sounds/ausnahme.txt", "Hallo=Haus\r\n");
    ASSERT_FALSE(Words("hallo").empty());
    EXPECT_EQ(wav_->PieceEnds(), (std::vector<std::int32_t>{700}));
    EXPECT_EQ(Words("Hallo Welt"), "");
}

TEST_F(WordSoundsTest, ListFolderRecordingsOfTheWholeRestAndSubFolders) {
    Sound("Aufgaben/liste/guten@.wav", 900);
    Sound("1/tag/tag.wav", 400);
    ASSERT_FALSE(Words("Guten Morgen").empty());
    EXPECT_EQ(wav_->PieceEnds(), (std::vector<std::int32_t>{900}));
    ASSERT_FALSE(Words("Tag").empty());
    EXPECT_EQ(wav_->PieceEnds(), (std::vector<std::int32_t>{400}));
}

TEST_F(WordSoundsTest, PlayChainPlaysPieceByPieceThenStops) {
    Sound("1/haus.wav", 2205);  // 100 ms
    Sound("1/tür.wav", 4410);   // 200 ms
    SoundAdapter port(*wav_);
    std::vector<int> pieces;
    port.Chain().onPiece = [&](int i, const Bytes&) { pieces.push_back(i); };
    ASSERT_TRUE(port.SpeakWordSounds("Haus Tür"_b, "2", dir_.Path() + "/sounds"));
    EXPECT_TRUE(port.Speaking());
    const std::string joined = wav_->TempFiles().back();
    EXPECT_EQ(output_->PositionMs(wav_->CurrentDevice()), 0);
    Advance(101);
    EXPECT_EQ(port.Chain().Index(), 1);
    EXPECT_EQ(output_->PositionMs(wav_->CurrentDevice()), 100);
    Advance(201);
    EXPECT_EQ(pieces, (std::vector<int>{0, 1}));
    EXPECT_FALSE(port.Speaking());
    EXPECT_FALSE(wav_->FileExists(joined));  // the stop at the end removes the joined file
    EXPECT_FALSE(port.SpeakWordSounds("Zebra", "", dir_.Path() + "/sounds"));
}

// A teacher's own recordings for a list live in the list's own folder under "sounds": the
// console hands the list folder on, and the lookup searches it first.
TEST_F(WordSoundsTest, TheConsoleFindsTheListsOwnRecordings) {
    Sound("Aufgaben/Kopfrechnen/tiere/haus.wav", 700);
    Sound("Aufgaben/Wortübungen/tiere/haus.wav", 800);
    Sound("2/haus/haus.wav", 900);
    SoundAdapter port(*wav_);
    FakeHost host;
    Console console(host, clock_, env_);
    console.SetSoundPort(&port);
    const std::vector<std::pair<Bytes, std::int32_t>> cases = {
        {"Aufgaben\\Kopfrechnen\\tiere", 700},
        {"Aufgaben\\Wortübungen\\tiere"_b, 800},
        {"", 900},  // no list: the word folder "2"
    };
    for (const auto& [listFolder, frames] : cases) {
        console.SpeakWordSounds("Haus", listFolder);
        EXPECT_TRUE(port.Speaking()) << listFolder;
        EXPECT_EQ(wav_->PieceEnds(), (std::vector<std::int32_t>{frames})) << listFolder;
    }
    console.StopSounds();
    console.SetSoundPort(nullptr);
}

TEST(LookupSeparators, LeadingCharactersLeaveTheSet) {
    EXPECT_EQ(SoundAdapter::LookupSeparators("  ab", " "), "");
    EXPECT_EQ(SoundAdapter::LookupSeparators("-a", " -"), " ");
    EXPECT_EQ(SoundAdapter::LookupSeparators("a b", " "), " ");
}

class SplitTest : public SoundTest {};

TEST_F(SplitTest, OneRecordingWithOnePauseGivesTwoParts) {
    std::vector<std::int16_t> s(200, 0);                  // a short lead-in
    const auto word = Sine(6615, 180, 9000);              // 300 ms
    s.insert(s.end(), word.begin(), word.end());
    s.insert(s.end(), 4410, 0);                           // 200 ms pause
    s.insert(s.end(), word.begin(), word.end());
    const std::string f = WriteFile("zwei worte.wav", PcmWave(s));
    const auto parts = wav_->SplitBySilence(f, 0);
    ASSERT_EQ(parts.size(), 2u) << parts[0] << " " << parts[1];
    const auto first = SplitCommaText(parts[0]);
    const auto second = SplitCommaText(parts[1]);
    EXPECT_EQ(first[0], f);
    EXPECT_EQ(parts[0].front(), '"');  // the name holds a blank
    const int cut = std::stoi(first[2]);
    EXPECT_GE(cut, 200 + 6615);
    EXPECT_LE(cut, 200 + 6615 + 4410 + 2);  // the next word starts at a zero crossing
    EXPECT_EQ(second[1], first[2]);
    EXPECT_EQ(std::stoi(second[2]), static_cast<int>(s.size()) - 22);
    EXPECT_LE(std::stoi(first[1]), 200);
    EXPECT_EQ(wav_->SplitBySilence(f, 1).size(), 1u);
    EXPECT_TRUE(wav_->SplitBySilence(P("missing.wav"), 2).empty());
}

}  // namespace
}  // namespace radevir::test
