#include "exercises/file_screen.h"

#include <QScopeGuard>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "console/dos_keys.h"
#include "exercises/program_options.h"
#include "tests/exercises/session_fixture.h"

using namespace radevir;
using radevir::test::SessionFixture;

namespace {

using doskey::kDown, doskey::kEnd, doskey::kF9, doskey::kHome, doskey::kLeft;

Bytes Name(int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "F%03d", i);
    return buf;
}

void WriteOptionFiles(SessionFixture& f, int count) {
    for (int i = 0; i < count; ++i) f.dir.Write(QString::fromStdString(Name(i) + ".RTT"), "1\r\n");
}

// The 18-character cell of an entry on the screen.
std::string Cell(const SessionFixture& f, int column, int row) {
    return f.Text(row, column, 18);
}

}  // namespace

TEST(FileScreen, ListsSortedNamesOfTheKindOnly) {
    SessionFixture f;
    for (const char* n : {"b.RTT", "A.rtt", "a2.RTT", "x.txt", "Aufgaben/t.TXT"}) f.dir.Write(n, "1\r\n");
    EXPECT_EQ(ListFileEntries(f.session, FileListing::kOptionFiles),
              (std::vector<Bytes>{"A.rtt", "a2.RTT", "b.RTT"}));
    EXPECT_EQ(ListFileEntries(f.session, FileListing::kTaskFolder), (std::vector<Bytes>{"t.TXT"}));
}

TEST(FileScreen, ListsAndLoadsNamesFromAWindowsStick) {
    SessionFixture f;
    f.dir.Write("BAUM.RTT", "0\r\n1500\r\n");
    // "ÜBUNG.RTT" with its Windows-1252 byte in the name
    const QByteArray raw = f.dir.Path().toUtf8() + "/\xDC" "BUNG.RTT";
    const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    // the scratch folder's clean-up cannot see a name that is no UTF-8
    const auto removeRaw = qScopeGuard([&] { ::unlink(raw.constData()); });
    ASSERT_EQ(::write(fd, "1\r\n4000\r\n", 9), 9);
    ::close(fd);

    EXPECT_EQ(ListFileEntries(f.session, FileListing::kOptionFiles),
              (std::vector<Bytes>{"BAUM.RTT", "\xDC" "BUNG.RTT"}));
    f.Scan(kEnd);
    f.Keys("\r");
    RunFileSelection(f.session, FileListing::kOptionFiles, SelectionMode::Choose);
    EXPECT_EQ(f.session.chosenPath, f.session.ProgramFolder() + "\xDC" "BUNG.RTT");
    EXPECT_EQ(f.session.options.taskOrder, 1);
    EXPECT_EQ(f.session.options.memoriseTime, 4000);
}

TEST(FileScreen, PagesThroughEightyFiveEntries) {
    SessionFixture f;
    WriteOptionFiles(f, 85);
    f.Scan(kEnd);
    f.Keys("\x1b");
    RunFileSelection(f.session, FileListing::kOptionFiles, SelectionMode::Choose);
    EXPECT_EQ(f.session.menuKey, 27);
    EXPECT_EQ(f.Text(1, 22, 37), "> Anzahl der gefundenen Dateien: 85 <");
    // entry 84 is shown in the fourth column, the page starts at entry 20
    EXPECT_EQ(Cell(f, 3, 5), "F020              ");
    EXPECT_EQ(Cell(f, 60, 5), "F080              ");
    EXPECT_EQ(Cell(f, 60, 9), "F084              ");
    EXPECT_EQ(Cell(f, 60, 10), std::string(18, ' '));
    EXPECT_EQ(f.Text(2, 46, 4), "F084");

    // back to entry 10: the first page again
    f.Scan(kEnd);
    for (int i = 0; i < 4; ++i) f.Scan(kLeft);
    for (int i = 0; i < 6; ++i) f.Scan(kDown);
    f.Keys("\r");
    RunFileSelection(f.session, FileListing::kOptionFiles, SelectionMode::Choose);
    EXPECT_EQ(Cell(f, 3, 5), "F000              ");
    EXPECT_EQ(Cell(f, 60, 24), "F079              ");
    EXPECT_EQ(f.session.chosenPath, f.session.ProgramFolder() + "F010.RTT");
    EXPECT_EQ(f.session.selectionMode, SelectionMode::OptionFileLoaded);
}

TEST(FileScreen, PrefixTyping) {
    const std::vector<Bytes> names = {"ABEL", "BAUM", "BERG", "BRAND", "BROT", "CAFE"};
    struct Step {
        char typed;
        int selected;
        int prefix;
    };
    const Step steps[] = {{'b', 1, 1}, {'R', 3, 2}, {'o', 4, 3}, {'x', 4, 0},
                          {'B', 1, 1}, {'E', 2, 2}, {'C', 5, 1}, {'A', 5, 2}, {'B', 1, 1}};
    int selected = 0, prefix = 0;
    for (const Step& s : steps) {
        selected = PrefixSelect(names, selected, prefix, s.typed);
        EXPECT_EQ(selected, s.selected) << s.typed;
        EXPECT_EQ(prefix, s.prefix) << s.typed;
    }
}

TEST(FileScreen, TypedLettersChooseAndLoadAnOptionFile) {
    SessionFixture f;
    for (const char* n : {"ABEL", "BAUM", "BRAND", "BROT"})
        f.dir.Write(QString(n) + ".RTT", "0\r\n1500\r\n");
    f.dir.Write("BRAND.RTT", "1\r\n4000\r\n");
    f.session.optionsDirty = true;
    f.Keys("br\r");
    RunFileSelection(f.session, FileListing::kOptionFiles, SelectionMode::Choose);
    EXPECT_EQ(f.session.chosenPath, f.session.ProgramFolder() + "BRAND.RTT");
    EXPECT_EQ(f.session.options.taskOrder, 1);
    EXPECT_EQ(f.session.options.memoriseTime, 4000);
    EXPECT_FALSE(f.session.optionsDirty);
    EXPECT_EQ(f.session.selectionMode, SelectionMode::OptionFileLoaded);
    EXPECT_EQ(f.Text(2, 22, 24), " Auswahl ↑↓ > laden >>: ");
    EXPECT_EQ(f.Text(25, 1, 4), " ╚══");
}

TEST(FileScreen, ClicksSelectAndASecondClickLoads) {
    SessionFixture f;
    f.UseRegionFile("laddir.mtb");
    WriteOptionFiles(f, 25);
    f.host.onPump = [&f, step = 0]() mutable {
        if (!f.console.WaitingForKey() || !f.console.Keys().Empty()) return;
        if (step < 2) f.Click(30, 6);  // second column, second row: entry 21
        else f.console.RequestAbort();
        ++step;
    };
    RunFileSelection(f.session, FileListing::kOptionFiles, SelectionMode::Choose);
    EXPECT_EQ(f.session.menuKey, 13);
    EXPECT_EQ(f.session.chosenPath, f.session.ProgramFolder() + "F021.RTT");
    EXPECT_EQ(f.console.Regions().Depth(), 0);  // the regions were popped
}

TEST(FileScreen, NameEntry) {
    struct Case {
        std::vector<std::pair<unsigned char, bool>> keys;  // code, extended
        const char* chosen;
        int key;
    };
    auto typed = [](std::string_view s) {
        std::vector<std::pair<unsigned char, bool>> k;
        for (char c : s) k.emplace_back(static_cast<unsigned char>(c), false);
        return k;
    };
    std::vector<Case> cases = {
        {typed("-abc\r"), "ABC.RTT", 13},
        {typed("abcdefghi\r"), "ABCDEFGH.RTT", 13},
        {typed("ab-\x08x9\r"), "ABX9.RTT", 13},
        {typed("a.b_c\xE4\r"), "ABC.RTT", 13},
        {typed("abc\x1b"), "", 27},
        {{{'x', false}, {'K', true}, {'M', true}, {'\r', false}}, "X.RTT", 13},
    };
    for (const Case& c : cases) {
        SessionFixture f;
        for (auto [code, ext] : c.keys) f.console.AppendKey(code, ext);
        RunFileSelection(f.session, FileListing::kOptionFiles, SelectionMode::NewName);
        EXPECT_EQ(f.session.chosenPath, c.chosen);
        EXPECT_EQ(f.session.menuKey, c.key);
        EXPECT_EQ(f.session.yesNoAnswer, YesNo::Yes);
        EXPECT_EQ(f.readKeyAborts, 0);
    }
}

TEST(FileScreen, EmptyNameIsRefusedWithTheBell) {
    SessionFixture f;
    f.Keys("\rq\r");
    RunFileSelection(f.session, FileListing::kTaskFolder, SelectionMode::NewName);
    EXPECT_EQ(f.session.chosenPath, "Q.TXT");
    EXPECT_EQ(f.host.beeps, 1);
    EXPECT_EQ(f.Text(1, 24, 32), " Kein gültiger Name!  ↓↓↓↓↓↓↓↓  ");
    EXPECT_EQ(f.Text(2, 22, 42), " Neuen Namen eingeben:  Q             .TXT");
    EXPECT_EQ(f.Text(2, 1, 15), "ESC = Abbrechen");
}

TEST(FileScreen, AnExistingNameAsksBeforeOverwriting) {
    struct Case {
        const char* typed;
        YesNo answer;
    };
    const Case cases[] = {{"mein\r\r", YesNo::No},
                          {"mein\rj", YesNo::Yes},
                          {"mein\rK\r", YesNo::Yes},
                          {"mein\x1b", YesNo::Yes}};
    for (const Case& c : cases) {
        SessionFixture f;
        f.dir.Write("MEIN.RTT", "1\r\n");
        f.Keys(c.typed);
        RunFileSelection(f.session, FileListing::kOptionFiles, SelectionMode::NewName);
        EXPECT_EQ(f.session.yesNoAnswer, c.answer) << c.typed;
        EXPECT_EQ(f.readKeyAborts, 0);
    }
    SessionFixture f;
    f.dir.Write("MEIN.RTT", "1\r\n");
    f.Keys("mein\r\r");
    RunFileSelection(f.session, FileListing::kOptionFiles, SelectionMode::NewName);
    EXPECT_EQ(f.Text(11, 21, 39), " │ Diese Datei existiert bereits!    │ ");
    EXPECT_EQ(f.Text(12, 21, 39), " │ Datei überschreiben?  Ja    Nein  │ ");

    // a different letter case is another name
    SessionFixture g;
    g.dir.Write("mein.RTT", "1\r\n");
    g.Keys("mein\r");
    RunFileSelection(g.session, FileListing::kOptionFiles, SelectionMode::NewName);
    EXPECT_EQ(g.session.chosenPath, "MEIN.RTT");
    EXPECT_EQ(g.session.yesNoAnswer, YesNo::Yes);
    EXPECT_EQ(g.readKeyAborts, 0);
}

TEST(FileScreen, F9PrintsTheList) {
    SessionFixture f;
    WriteOptionFiles(f, 11);
    int printed = 0;
    Bytes documentName;
    f.session.printPrinterTextFile = [&](const Bytes& name) {
        ++printed;
        documentName = name;
    };
    f.Scan(kF9);
    f.Keys("\x1b");
    RunFileSelection(f.session, FileListing::kOptionFiles, SelectionMode::Choose);
    EXPECT_EQ(printed, 1);
    EXPECT_EQ(documentName, "Dateiliste RTT");
    const QByteArray text = f.dir.Read("LPTB.TXT");
    const std::string pad(15, ' ');
    EXPECT_TRUE(text.startsWith(QByteArray::fromStdString("\x1b" "E" + pad + "Radevir  11 Dateien unter Kennung: .RTT\r\n\r\n " +
                                                          pad + "1 F000.RTT\r\n")));
    EXPECT_TRUE(text.endsWith(QByteArray::fromStdString(pad + "11 F010.RTT\r\n\f\r\n")));
}

TEST(AskYesNo, KeysAndClicks) {
    struct Case {
        const char* keys;
        YesNo defaultAnswer;
        bool exitQuestion;
        YesNo answer;
        int closingKey;
    };
    constexpr YesNo kYes = YesNo::Yes, kNo = YesNo::No;
    const Case cases[] = {
        {"\r", kYes, false, kYes, 13},  {"\r", kNo, false, kNo, 13}, {"K\r", kNo, false, kYes, 13},
        {"M\r", kYes, false, kNo, 13}, {"j", kNo, false, kYes, 'j'}, {"J", kNo, false, kYes, 'J'},
        {"N", kYes, false, kNo, 'N'},  {"\x1b", kYes, false, kNo, 27}, {"A\r", kYes, false, kYes, 13},
        {"A", kYes, true, kNo, 'A'},   {"xyz\r", kNo, true, kNo, 13},
    };
    for (const Case& c : cases) {
        SessionFixture f;
        f.console.Window(21, 10, 60, 15);
        f.Keys(c.keys);
        EXPECT_EQ(AskYesNo(f.session, c.defaultAnswer, c.exitQuestion), c.closingKey) << c.keys;
        EXPECT_EQ(f.session.yesNoAnswer, c.answer) << c.keys;
        EXPECT_EQ(f.readKeyAborts, 0) << c.keys;
    }

    SessionFixture f;
    f.UseRegionFile("frage.mtb");
    int printed = 0;
    f.session.printProtocol = [&] { ++printed; };
    f.session.protocolCount = 3;
    f.console.Window(21, 10, 60, 15);
    f.host.onPump = [&f, step = 0]() mutable {
        if (!f.console.WaitingForKey() || !f.console.Keys().Empty()) return;
        if (step == 0) f.Click(50, 18);       // the protocol hint box: print, stay open
        else if (step == 1) f.Click(53, 12);  // "Nein"
        else f.console.RequestAbort();
        ++step;
    };
    EXPECT_EQ(AskYesNo(f.session, YesNo::Yes, true), 'n');
    EXPECT_EQ(f.session.yesNoAnswer, YesNo::No);
    EXPECT_EQ(printed, 1);
    EXPECT_EQ(f.Text(13, 21, 39), " └───────────────────────────────────┘ ");

    // while a selection mode is active the protocol is not printed
    f.session.selectionMode = SelectionMode::NewName;
    f.host.onPump = nullptr;
    f.console.AppendKey(0x66, true);
    f.Keys("j");
    EXPECT_EQ(AskYesNo(f.session, YesNo::No), 'j');
    EXPECT_EQ(printed, 1);
}

TEST(ShowFileError, ShowsTheNameAndDropsPendingKeys) {
    SessionFixture f;
    f.session.currentText = "3+4=";
    f.Keys("abc");
    ShowFileError(f.session, "Protokoll/LEHRER.TXT");
    EXPECT_TRUE(f.console.Keys().Empty());
    EXPECT_EQ(f.Text(2, 20, 32), "Fehler bei: Protokoll/LEHRER.TXT");
    EXPECT_EQ(f.Text(2, 52, 14), "             │");
}
