// Reading text files: the encodings of today's editors, and files far larger than any reader
// uses or that are no text at all.
#include "support/text_file.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/file_helpers.h"
#include "support/program_environment.h"
#include "tests/test_support.h"

namespace radevir {
namespace {

TEST(ReadTextFileLines, Utf8FilesAreReadAsWindows1252AndWrittenBackAsTheProgramWrites) {
    test::ScratchDir dir;
    struct Case {
        const char* file;
        QByteArray bytes;
        std::vector<Bytes> lines;
    };
    const Case cases[] = {
        {"notepad.txt", "\xEF\xBB\xBF" "12+5=17\r\nMa\xC3\x9F\r\n", {"12+5=17", "Ma\xDF"}},
        {"linux.txt", "3+4=7\n\xC3\x9C" "bung\n", {"3+4=7", "\xDC" "bung"}},
        {"classic.txt", "3+4=7\r\n\xDC" "bung\r\n", {"3+4=7", "\xDC" "bung"}},
    };
    for (const Case& c : cases) {
        std::vector<Bytes> lines;
        EXPECT_TRUE(ReadTextFileLines(dir.Write(c.file, c.bytes), lines)) << c.file;
        EXPECT_EQ(lines, c.lines) << c.file;
    }

    // a list the program adds to is saved its own way: Windows-1252, CR LF, no mark
    ProgramEnvironment env(dir.Folder());
    dir.Write("liste.txt", "\xEF\xBB\xBF\xC3\x9C" "bung=1\n");
    EXPECT_TRUE(AddToListFile(env, "liste.txt", "Ma\xDF=2", false, false, 12));
    EXPECT_EQ(dir.Read("liste.txt"), QByteArray("\xDC" "bung=1\r\nMa\xDF=2\r\n"));
}

TEST(ReadTextFileLines, ReadsOnlyWhatTheReaderUses) {
    test::ScratchDir dir;
    // far more than any list: only the start is read, and no line comes in cut
    QByteArray many;
    const QByteArray line = "1+1=\r\n";
    while (many.size() < 2 * TextReadLimit::kDefaultMaxBytes) many += line;
    std::vector<Bytes> lines;
    ASSERT_TRUE(ReadTextFileLines(dir.Write("riesig.txt", many), lines));
    EXPECT_EQ(lines.size(), size_t(TextReadLimit::kDefaultMaxBytes / line.size()));
    EXPECT_EQ(lines.back(), "1+1=");

    // a line bound stops early; empty lines may be left out and then do not count
    const QString short_ = dir.Write("kurz.txt", "a\r\n\r\nb\r\n\r\nc\r\n");
    ASSERT_TRUE(ReadTextFileLines(short_, lines, {.maxLines = 2}));
    EXPECT_EQ(lines, (std::vector<Bytes>{"a", ""}));
    ASSERT_TRUE(ReadTextFileLines(short_, lines, {.maxLines = 2, .skipEmptyLines = true}));
    EXPECT_EQ(lines, (std::vector<Bytes>{"a", "b"}));
}

TEST(ReadTextFileLines, WhatIsNoTextFileGivesNothing) {
    test::ScratchDir dir;
    std::vector<Bytes> lines{"old"};
    // a picture or a program renamed to .txt
    EXPECT_FALSE(ReadTextFileLines(dir.Write("bild.txt", QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)), lines));
    EXPECT_TRUE(lines.empty());

    // a huge file of zeros (sparse, so it costs no disk) is refused after a few megabytes
    QFile huge(dir.Path() + "/null.txt");
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(qint64(8) * 1024 * 1024 * 1024));
    huge.close();
    EXPECT_FALSE(ReadTextFileLines(huge.fileName(), lines));

    // a named pipe never delivers an end: it must not hang the program
    const QString pipe = dir.Path() + "/pipe.txt";
    ASSERT_EQ(::mkfifo(pipe.toUtf8().constData(), 0600), 0);
    EXPECT_FALSE(ReadTextFileLines(pipe, lines));
    EXPECT_FALSE(ReadTextFileLines(dir.Path(), lines));  // a folder
}

}  // namespace
}  // namespace radevir
