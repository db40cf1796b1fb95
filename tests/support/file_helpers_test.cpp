#include "support/file_helpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>

#include "support/program_environment.h"
#include "support/shell_helpers.h"
#include "support/text_file.h"
#include "tests/test_support.h"

namespace radevir {
namespace {

class FileHelpersTest : public ::testing::Test {
protected:
    test::ScratchDir dir;
    ProgramEnvironment env{dir.Folder(), "radevir"};
};

TEST_F(FileHelpersTest, FileFoundWithWildcardsFoldersAndLetterCase) {
    dir.Write("Aufgaben/Kopfrechnen/Plus.TXT", "1+1=\r\n");
    dir.Write("wavs/_ton1.wav", "x");
    QDir().mkpath(dir.Path() + "/Aufgaben/Kopfrechnen/Lernkartei");
    struct Case {
        const char* name;
        bool found;
    };
    const Case cases[] = {
        {"aufgaben\\kopfrechnen\\plus.txt", true},  // letter case does not matter
        {"Aufgaben\\Kopfrechnen\\*.txt", true},
        {"Aufgaben\\Kopfrechnen\\P?us.*", true},
        {"Aufgaben\\Kopfrechnen\\*.rtf", false},
        {"Aufgaben\\Kopfrechnen\\lernkartei", true},   // a folder counts
        {"Aufgaben\\Kopfrechnen\\Lern*", true},
        {"Aufgaben\\Kopfrechnen\\", true},
        {"wavs\\_*.wav", true},
        {"wavs\\_*.mp3", false},
        {"fehlt\\*.*", false},
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(FileFound(env, c.name), c.found) << c.name;
    // absolute paths work as well
    EXPECT_TRUE(FileFound(env, dir.Folder() + "wavs/_TON1.WAV"));
}

// Files under names given as raw bytes, the way a Windows stick shows its names. They are
// removed here: the scratch folder's own clean-up cannot see names that are no UTF-8.
class RawNamedFiles {
public:
    explicit RawNamedFiles(const test::ScratchDir& dir) : root_(dir.Path().toUtf8() + "/") {}
    ~RawNamedFiles() {
        for (auto it = made_.rbegin(); it != made_.rend(); ++it) ::remove(it->constData());
    }
    void Write(const QByteArray& relative, const QByteArray& bytes) {
        const qsizetype slash = relative.lastIndexOf('/');
        if (slash > 0 && ::mkdir((root_ + relative.left(slash)).constData(), 0700) == 0)
            made_.push_back(root_ + relative.left(slash));
        const QByteArray path = root_ + relative;
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd, 0) << path.constData();
        made_.push_back(path);
        ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
        ::close(fd);
    }

private:
    QByteArray root_;
    std::vector<QByteArray> made_;
};

TEST_F(FileHelpersTest, Windows1252NamesAreListedAndOpened) {
    RawNamedFiles files(dir);
    files.Write("\xDC" "bung/\xFC" "ber.txt", "1+1=\r\n");
    files.Write("\xDC" "bung/Gr\xC3\xB6\xC3\x9F" "e.txt", "2+2=\r\n");  // UTF-8
    files.Write("\xDC" "bung/Ma\xDF.txt", "3+3=\r\n");

    FileSearch search(env);
    std::vector<Bytes> names;
    for (int r = search.FindFirst("\xDC" "bung\\*.TXT", false); r == FileSearch::kFound;
         r = search.FindNext())
        names.push_back(search.Current().name);
    EXPECT_EQ(names, (std::vector<Bytes>{"Gr\xF6\xDF" "e.txt", "Ma\xDF.txt", "\xFC" "ber.txt"}));

    // opened by the listed name, and like any data path without regard to letter case
    EXPECT_EQ(LoadListFile(env, "\xDC" "bung\\\xFC" "ber.txt"), std::vector<Bytes>{"1+1="});
    EXPECT_EQ(LoadListFile(env, "\xFC" "BUNG\\\xDC" "BER.TXT"), std::vector<Bytes>{"1+1="});
    EXPECT_EQ(LoadListFile(env, "\xDC" "bung\\Gr\xF6\xDF" "e.txt"), std::vector<Bytes>{"2+2="});
    EXPECT_TRUE(FileFound(env, "\xDC" "bung\\ma\xDF.txt"));
    EXPECT_TRUE(DeleteMatchingFiles(env, "\xDC" "bung\\ma*.txt"));
    EXPECT_FALSE(FileFound(env, "\xDC" "bung\\Ma\xDF.txt"));
}

TEST(WildcardMatch, ClassicMaskRules) {
    EXPECT_TRUE(WildcardMatch(u"*.*", u"README"));
    EXPECT_TRUE(WildcardMatch(u"abc.*", u"ABC"));
    EXPECT_TRUE(WildcardMatch(u"*.txt", u"a.b.TXT"));
    EXPECT_FALSE(WildcardMatch(u"*.txt", u"a.txt.bak"));
    EXPECT_TRUE(WildcardMatch(u"a*b*c", u"axxbyyc"));
    EXPECT_FALSE(WildcardMatch(u"a?c", u"ac"));
    EXPECT_TRUE(WildcardMatch(u"Schüler*", u"SCHÜLERLISTE"));
}

TEST_F(FileHelpersTest, DeleteMatchingFilesOnlyFilesOfTheMask) {
    dir.Write("tempwav/a.wav", "x");
    dir.Write("tempwav/B.WAV", "x");
    dir.Write("tempwav/keep.txt", "x");
    QDir().mkpath(dir.Path() + "/tempwav/sub.wav");
    EXPECT_TRUE(DeleteMatchingFiles(env, "TempWav\\*.wav"));
    EXPECT_FALSE(QFileInfo::exists(dir.Path() + "/tempwav/a.wav"));
    EXPECT_FALSE(QFileInfo::exists(dir.Path() + "/tempwav/B.WAV"));
    EXPECT_TRUE(QFileInfo::exists(dir.Path() + "/tempwav/keep.txt"));
    EXPECT_TRUE(QFileInfo(dir.Path() + "/tempwav/sub.wav").isDir());
    EXPECT_FALSE(DeleteMatchingFiles(env, "tempwav\\*.wav"));  // nothing left to delete
    EXPECT_FALSE(DeleteMatchingFiles(env, "nirgends\\*.*"));
}

TEST_F(FileHelpersTest, FileSearchListsFilesWithDetails) {
    dir.Write("Aufgaben/b.txt", "12345");
    dir.Write("Aufgaben/A.TXT", "1");
    dir.Write("Aufgaben/c.rtf", "1");
    QDir().mkpath(dir.Path() + "/Aufgaben/Lernkartei.txt");
    FileSearch search(env);
    std::vector<Bytes> names;
    for (int r = search.FindFirst("aufgaben\\*.txt", false); r == FileSearch::kFound;
         r = search.FindNext()) {
        names.push_back(search.Current().name);
        if (search.Current().name == "b.txt") {
            EXPECT_EQ(search.Current().size, 5);
        }
        EXPECT_TRUE(search.Current().modified.isValid());
    }
    EXPECT_EQ(names, (std::vector<Bytes>{"A.TXT", "b.txt"}));
    EXPECT_EQ(search.LastResult(), FileSearch::kNoMoreFiles);
    EXPECT_EQ(search.FindNext(), FileSearch::kNoMoreFiles);  // closed stays closed

    EXPECT_EQ(search.FindFirst("aufgaben\\*.txt", true), FileSearch::kFound);
    int count = 1;
    while (search.FindNext() == FileSearch::kFound) ++count;
    EXPECT_EQ(count, 3);  // the folder too
    EXPECT_EQ(search.FindFirst("aufgaben\\*.wav", false), FileSearch::kFileNotFound);
    EXPECT_EQ(search.FindFirst("fehlt\\*.txt", false), FileSearch::kPathNotFound);
}

TEST_F(FileHelpersTest, ListFilesKeepRecentEntriesOnTopAndBounded) {
    QByteArray twelve;
    for (int i = 1; i <= 12; ++i) twelve += "alt" + QByteArray::number(i) + "=x\r\n";
    dir.Write("bgi7/letzten.txt", twelve);

    EXPECT_TRUE(AddToListFile(env, "\\BGI7\\letzten.txt", "neu=y", true, false, 12));
    std::vector<Bytes> lines = LoadListFile(env, "bgi7\\letzten.txt");
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines.front(), "neu=y");
    EXPECT_EQ(lines[1], "alt1=x");
    EXPECT_EQ(lines.back(), "alt11=x");

    // the same key (letter case ignored) moves to the top instead of appearing twice
    EXPECT_TRUE(AddToListFile(env, "bgi7\\letzten.txt", "ALT5=z", true, false, 12));
    lines = LoadListFile(env, "bgi7\\letzten.txt");
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines.front(), "ALT5=z");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), Bytes("alt5=x")), 0);

    // appending keeps duplicates when asked and has no bound
    EXPECT_TRUE(AddToListFile(env, "bgi7\\letzten.txt", "ALT5=z", false, true, 3));
    lines = LoadListFile(env, "bgi7\\letzten.txt");
    EXPECT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines.back(), "ALT5=z");

    // the file is written as Windows-1252 bytes with CR LF line ends
    EXPECT_TRUE(AddToListFile(env, "neu\\ordner\\liste.txt", "Übung=ä"_b, true, false, 12));
    EXPECT_EQ(dir.Read("neu/ordner/liste.txt"), QByteArray("\xDC" "bung=\xE4\r\n"));
}

TEST_F(FileHelpersTest, ListFileThatCannotBeReadIsNotReplaced) {
    QDir().mkpath(dir.Path() + "/bgi7/letzten.txt/inhalt");
    EXPECT_FALSE(AddToListFile(env, "bgi7\\letzten.txt", "a", true, false, 12));
    EXPECT_TRUE(QFileInfo(dir.Path() + "/bgi7/letzten.txt/inhalt").isDir());
    EXPECT_TRUE(LoadListFile(env, "bgi7\\letzten.txt").empty());
    EXPECT_TRUE(LoadListFile(env, "bgi7\\fehlt.txt").empty());
}

TEST(TextLines, SplitAtAnyLineEnd) {
    EXPECT_EQ(SplitTextLines("a\r\nb\nc\rd"), (std::vector<Bytes>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitTextLines("a\r\n\r\n"), (std::vector<Bytes>{"a", ""}));
    EXPECT_TRUE(SplitTextLines("").empty());
}

TEST(TextFile, WritesCrLfLinesAndReadsValues) {
    test::ScratchDir dir;
    const QString path = dir.Path() + "/aktuell.opt";
    {
        TextFile f;
        ASSERT_TRUE(f.OpenWrite(path));
        f.WriteLine(1LL);
        f.WriteLine(-1500LL);
        f.WriteLine("Rot");
        f.Write("a", "b", "c");
        f.WriteLineEnd();
        f.WriteValuesLine(12, ' ', 2.5, "x");
        f.WriteLine("key", "=value");
        f.WriteLine("x7");
        f.WriteLine("0");
        EXPECT_TRUE(f.Close());
    }
    EXPECT_EQ(dir.Read("aktuell.opt"),
              QByteArray("1\r\n-1500\r\nRot\r\nabc\r\n12 2.5x\r\nkey=value\r\nx7\r\n0\r\n"));

    TextFile f;
    ASSERT_TRUE(f.OpenRead(path));
    bool on = false;
    int number = 0;
    Bytes text;
    EXPECT_TRUE(f.ReadBool(on));
    EXPECT_TRUE(on);
    EXPECT_TRUE(f.ReadInt(number));
    EXPECT_EQ(number, -1500);
    EXPECT_TRUE(f.ReadLine(text));
    EXPECT_EQ(text, "Rot");
    EXPECT_FALSE(f.ReadInt(number));  // "abc" is no number: value stays, line consumed
    EXPECT_EQ(number, -1500);
    EXPECT_TRUE(f.ReadLine(text));
    EXPECT_TRUE(f.ReadLine(text));
    EXPECT_FALSE(f.ReadInt(number));  // "x7" is no number either
    EXPECT_TRUE(f.ReadBool(on));
    EXPECT_FALSE(on);
    EXPECT_TRUE(f.AtEnd());
    EXPECT_FALSE(f.ReadLine(text));
    EXPECT_FALSE(f.ReadInt(number));
}

TEST(TextFile, StrictIntegers) {
    struct Case {
        const char* text;
        bool ok;
        int value;
    };
    const Case cases[] = {{"12", true, 12},  {" -3 ", true, -3}, {"+4", true, 4},
                          {"+-4", false, 0}, {"1 2", false, 0},  {"", false, 0},
                          {"3000000000", false, 0}, {"$10", false, 0}};
    for (const Case& c : cases) {
        int v = 0;
        EXPECT_EQ(TextFile::StrictInt(c.text, v), c.ok) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
    }
}

TEST(TextFile, UnfinishedRewriteKeepsTheOldFile) {
    test::ScratchDir dir;
    dir.Write("protokoll.txt", "alt\r\n");
    {
        TextFile f;
        ASSERT_TRUE(f.OpenWrite(dir.Path() + "/protokoll.txt"));
        f.WriteLine("halb");
        // gone before Close(): e.g. an abort unwinding through the writer
    }
    EXPECT_EQ(dir.Read("protokoll.txt"), QByteArray("alt\r\n"));
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files), QStringList{"protokoll.txt"});

    TextFile blocked;  // a folder where the file should be
    QDir().mkpath(dir.Path() + "/ordner");
    EXPECT_FALSE(blocked.OpenWrite(dir.Path() + "/ordner"));
    blocked.WriteLine("x");
    EXPECT_FALSE(blocked.WriteOk());
    EXPECT_FALSE(blocked.Close());
}


// A program of the data kit that writes its arguments and working folder into "args.txt".
QString WriteArgsScript(const test::ScratchDir& dir) {
    const QString path = dir.Write("tools/Echo Args.sh",
                                   "#!/bin/sh\nprintf '%s\\n' \"$@\" > args.part\n"
                                   "pwd >> args.part\nmv args.part args.txt\n");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    QFileDevice::ExeOwner);
    return path;
}

QByteArray WaitForFile(const QString& path) {
    QDeadlineTimer deadline(10000);
    while (!QFileInfo::exists(path) && !deadline.hasExpired()) QThread::msleep(10);
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST_F(FileHelpersTest, ProgramsGetTheirArgumentsAsAListInTheirOwnFolder) {
    WriteArgsScript(dir);
    const QString tools = QFileInfo(dir.Path() + "/tools").canonicalFilePath();

    const auto pid = LaunchProgramAt(env, "TOOLS\\echo args.sh", {"a b", "$HOME;x"}, QPoint(300, -400));
    ASSERT_TRUE(pid.has_value());
    EXPECT_GT(*pid, 0);
    EXPECT_EQ(WaitForFile(dir.Path() + "/tools/args.txt"), "a b\n$HOME;x\n" + tools.toUtf8() + "\n");

    EXPECT_TRUE(LaunchProgramAt(env, "true", {}, QPoint()).has_value());  // found on PATH
    EXPECT_FALSE(LaunchProgramAt(env, "tools\\fehlt.exe", {}, QPoint()).has_value());
}

class RecordingSink : public MessageSink {
public:
    void ShowMessage(const QString& text) override { shown.push_back(text); }
    std::vector<QString> shown;
};

TEST(ShowText, MessageBoxOrSink) {
    RecordingSink sink;
    ShowText("Die Datei fehlt für Übung 3"_b, &sink);
    ShowText("", &sink);
    ASSERT_EQ(sink.shown.size(), 2u);
    EXPECT_EQ(sink.shown[0], QString("Die Datei fehlt für Übung 3"));
    EXPECT_EQ(sink.shown[1], QString(" "));

    // without a sink a real modal box comes up and waits for OK
    QString seen;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen = box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    ShowText("Hallo", nullptr);
    EXPECT_EQ(seen, QString("Hallo"));
}

}  // namespace
}  // namespace radevir
