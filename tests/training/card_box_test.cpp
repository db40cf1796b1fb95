#include "training/card_box.h"

#include <gtest/gtest.h>
#include <QFileInfo>

#include "console/card_box_port.h"
#include "console/dos_keys.h"
#include "tests/exercises/session_fixture.h"
#include "training/program_menu.h"

using namespace radevir;

namespace {

// Answers the save dialog with a fixed file (nothing: cancelled) and remembers what it was asked.
struct FakeCardBoxDialog : CardBoxDialogPort {
    std::optional<QString> answer;
    int asked = 0;
    CardBoxSaveRequest request;
    const QImage* screen = nullptr;
    QImage behind;  // the screen the dialog stood on
    std::optional<QString> AskSaveFileName(const CardBoxSaveRequest& r) override {
        ++asked;
        request = r;
        if (screen) behind = screen->copy();
        return answer;
    }
};

struct CardBoxFixture {
    test::SessionFixture f;
    Session& s = f.session;
    FakeCardBoxDialog dialog;

    CardBoxFixture() { f.console.SetCardBoxDialog(&dialog); }

    // A finished run of `tasksDone` tasks whose wrong tasks were `wrong`.
    void RunEnded(int tasksDone, const std::vector<Bytes>& wrong) {
        s.run.tasksDone = tasksDone;
        s.run.wrongCount = static_cast<int>(wrong.size());
        for (size_t i = 0; i < wrong.size(); ++i) s.run.wrongTaskList[i + 1] = wrong[i];
    }
    QString CardBox(const QString& name) const {
        return f.dir.Path() + "/Aufgaben/Kopfrechnen/Lernkartei/" + name;
    }
};

}  // namespace

// The wrong tasks go into a new file or after the old lines of an existing one, and the screen
// says which. New lines fit the file: a last line without its end gets one first, and a file in
// UTF-8 (as a teacher's editor saves it) gets UTF-8 lines, so its umlauts stay readable.
TEST(CardBox, NewFileOrAddedAfterTheOldLines) {
    const struct {
        const char* name;
        std::optional<QByteArray> before;
        QByteArray after;
        std::string message;
    } cases[] = {
        {"new", std::nullopt,
         "3+3=_6\r\nW\xFC"
         "rfel 4+4=_8\r\n",
         "in der Lernkartei Karte.txt gespeichert!"},
        {"existing", QByteArray("1+1=_2\r\n"),
         "1+1=_2\r\n3+3=_6\r\nW\xFC"
         "rfel 4+4=_8\r\n",
         "der Lernkartei Karte.txt hinzugefügt!"},
        {"last line open", QByteArray("1+1=_2"),
         "1+1=_2\r\n3+3=_6\r\nW\xFC"
         "rfel 4+4=_8\r\n",
         "der Lernkartei Karte.txt hinzugefügt!"},
        {"utf-8", QByteArray("\xC3\x84pfel 2+2=_4\r\n"),
         "\xC3\x84pfel 2+2=_4\r\n3+3=_6\r\nW\xC3\xBCrfel 4+4=_8\r\n",
         "der Lernkartei Karte.txt hinzugefügt!"},
    };
    for (const auto& c : cases) {
        CardBoxFixture x;
        if (c.before) x.f.dir.Write("Aufgaben/Kopfrechnen/Lernkartei/Karte.txt", *c.before);
        x.dialog.answer = x.CardBox("Karte.txt");
        x.RunEnded(5, {"3+3=_6",
                       "W\xFC"
                       "rfel 4+4=_8"});
        x.s.run.wrongTaskList[3] = "9+9=_18";  // beyond the wrong count: not this run's
        OfferCardBox(x.s);
        EXPECT_EQ(x.dialog.asked, 1) << c.name;
        EXPECT_EQ(x.f.dir.Read("Aufgaben/Kopfrechnen/Lernkartei/Karte.txt"), c.after) << c.name;
        EXPECT_EQ(x.f.Text(1, 1, 26), "Schwierige Aufgaben wurden") << c.name;
        EXPECT_EQ(x.f.Text(2, 1, static_cast<int>(FromUtf8(c.message).size())), c.message)
            << c.name;
        EXPECT_EQ(x.f.Text(4, 3, 5), "Taste") << c.name;
    }
}

// The dialog opens in the program's card box folder; both folders are made first. A name typed
// in other letter case adds to the existing card box.
TEST(CardBox, TheDialogOpensInTheProgramsFolder) {
    const struct {
        ProgramCode program;
        const char* folder;
    } cases[] = {
        {ProgramCode::MentalArithmetic, "/Aufgaben/Kopfrechnen/Lernkartei"},
        {ProgramCode::FillInSigns, "/Aufgaben/Kopfrechnen/Lernkartei"},
        {ProgramCode::WrittenArithmetic, "/Aufgaben/Schriftliches Rechnen/Lernkartei"},
    };
    for (const auto& c : cases) {
        CardBoxFixture x;
        x.s.programCode = c.program;
        x.RunEnded(2, {"12+5=17"});
        OfferCardBox(x.s);
        ASSERT_EQ(x.dialog.asked, 1);
        EXPECT_EQ(x.dialog.request.folder, x.f.dir.Path() + c.folder);
        EXPECT_EQ(x.dialog.request.title, "Lernkartei speichern");
        EXPECT_EQ(x.dialog.request.defaultSuffix, "txt");
        EXPECT_TRUE(QFileInfo(x.f.dir.Path() + "/Aufgaben/Kopfrechnen/Lernkartei").isDir());
        EXPECT_TRUE(
            QFileInfo(x.f.dir.Path() + "/Aufgaben/Schriftliches Rechnen/Lernkartei").isDir());
    }

    CardBoxFixture x;
    x.f.dir.Write("Aufgaben/Kopfrechnen/Lernkartei/Karte.txt", "1+1=_2\r\n");
    x.dialog.answer = x.CardBox("KARTE.TXT");
    x.RunEnded(2, {"12+5=17"});
    OfferCardBox(x.s);
    EXPECT_EQ(x.f.dir.Read("Aufgaben/Kopfrechnen/Lernkartei/Karte.txt"), "1+1=_2\r\n12+5=17\r\n");
    EXPECT_FALSE(QFileInfo::exists(x.CardBox("KARTE.TXT")));
}

// Only a run with tasks and wrong tasks asks; cancelling writes nothing.
TEST(CardBox, WhenTheDialogComes) {
    const struct {
        int tasksDone, wrong;
        bool readingMode;
        int asked;
    } cases[] = {
        {4, 0, false, 0},
        {0, 1, false, 0},  // a list of hint lines only
        {3, 1, false, 1},
        {3, 1, true, 1},
    };
    for (const auto& c : cases) {
        CardBoxFixture x;
        x.s.practisedFiles = "alt.txt";
        x.s.tasks.fileName = "Plus.txt";
        x.s.readingMode = c.readingMode;
        x.RunEnded(c.tasksDone, std::vector<Bytes>(static_cast<size_t>(c.wrong), "1+1=_2"));
        OfferCardBox(x.s);
        EXPECT_EQ(x.dialog.asked, c.asked) << c.tasksDone << c.wrong << c.readingMode;
        EXPECT_EQ(x.s.practisedFiles, "alt.txt")
            << "the menu notes the practised file, not the card box";
        EXPECT_TRUE(QDir(x.f.dir.Path() + "/Aufgaben/Kopfrechnen/Lernkartei").isEmpty());
    }
}

// Where the card box cannot be kept, the teacher is told instead of being left to believe it was:
// a card box folder that cannot be made (a file is in its way) and a file that cannot be written.
TEST(CardBox, FailuresShowTheFileError) {
    {
        CardBoxFixture x;
        x.f.dir.Write("Aufgaben", "not a folder");
        x.RunEnded(2, {"12+5=17"});
        x.f.Keys(" ");
        OfferCardBox(x.s);
        EXPECT_EQ(x.dialog.asked, 0);
        EXPECT_NE(x.f.Row(2).find("Fehler bei: "), std::string::npos) << x.f.Row(2);
        EXPECT_NE(x.f.Row(2).find("Lernkartei"), std::string::npos) << x.f.Row(2);
    }
    {
        CardBoxFixture x;
        x.f.dir.Write("Aufgaben/Kopfrechnen/Lernkartei/Karte.txt", "1+1=_2\r\n");
        x.RunEnded(2, {"12+5=17"});
        x.f.Keys(" ");
        EXPECT_FALSE(AppendToCardBox(x.s, 1, x.CardBox("Karte.txt/innen.txt")));
        EXPECT_NE(x.f.Row(2).find("Fehler bei: "), std::string::npos) << x.f.Row(2);
        EXPECT_EQ(x.f.dir.Read("Aufgaben/Kopfrechnen/Lernkartei/Karte.txt"), "1+1=_2\r\n");
    }
}

namespace {

struct OneFileChooser : ListChooserPort {
    Bytes file;
    ListChooserResult Choose(const ListChooserRequest&) override {
        ListChooserResult r;
        r.accepted = true;
        r.lines = {file};
        return r;
    }
};

}  // namespace

// The grab game keeps no wrong tasks: the wrong tasks of the drill before it are not offered again.
TEST(CardBox, NeverAfterTheGrabGame) {
    CardBoxFixture x;
    OneFileChooser chooser;
    chooser.file = x.s.ProgramFolder() + "Aufgaben\\Kopfrechnen\\Plus.txt";
    x.f.dir.Write("Aufgaben/Kopfrechnen/Plus.txt", "1+1=_2\r\n2+2=_4\r\n");
    x.f.console.SetListChooser(&chooser);
    x.RunEnded(2, {"12+5=17"});
    x.s.programCode = ProgramCode::GrabGame;
    x.s.menuKey = doskey::kEnter;
    RunTrainingProgram(x.s);
    EXPECT_EQ(x.s.tasks.Count(), 2);
    EXPECT_EQ(x.dialog.asked, 0);
}

// After a written-arithmetic run the screen still holds the sheet of the last task (in graphics
// proportions, perhaps half wiped): the dialog stands on the clean blue of its message instead.
TEST(CardBox, TheDialogStandsOnACleanScreen) {
    CardBoxFixture x;
    x.s.programCode = ProgramCode::WrittenArithmetic;
    x.f.host.framebuffer.fill(QColor(255, 255, 0));  // what a run left behind
    x.dialog.screen = &x.f.host.framebuffer;
    x.RunEnded(1, {"123*45="});
    OfferCardBox(x.s);
    ASSERT_EQ(x.dialog.asked, 1);
    const QColor blue = x.f.console.Palette()[1];
    // the text screen's 80 × 25 cells (the window's last pixels beside them hold no text)
    const int width = 80 * x.f.console.CellWidth(), height = 25 * x.f.console.CellHeight();
    int notBlue = 0;
    for (int y = 0; y < height; ++y)
        for (int px = 0; px < width; ++px) notBlue += x.dialog.behind.pixelColor(px, y) != blue;
    EXPECT_EQ(notBlue, 0);
}
