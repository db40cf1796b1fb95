#include "chooser/recent_files.h"

#include <gtest/gtest.h>

using namespace radevir;

TEST(RecentFiles, RememberedStartIndexOfAFile) {
    const std::vector<Bytes> recent = {
        "Kopfrechnen\\Plus bis 10.txt=5", "Kopfrechnen\\Ohne Zahl.txt=",
        "Kopfrechnen\\Kaputt.txt=abc",    "Kopfrechnen\\Null.txt=0",
        "\"Kopfrechnen\\a=b.txt\"=7",     "Kopfrechnen\\Mit Text.txt=Zeile 12"};
    const struct {
        const char* name;
        int index;
    } table[] = {{"Kopfrechnen\\Plus bis 10.txt", 4}, {"KOPFRECHNEN\\plus BIS 10.TXT", 4},
                 {"Kopfrechnen\\Ohne Zahl.txt", 0},   {"Kopfrechnen\\Kaputt.txt", 0},
                 {"Kopfrechnen\\Null.txt", 0},        {"\"Kopfrechnen\\a=b.txt\"", 6},
                 {"Kopfrechnen\\a=b.txt", 6},         {"Kopfrechnen\\Mit Text.txt", 11},
                 {"Kopfrechnen\\Fehlt.txt", 0}};
    for (const auto& row : table)
        EXPECT_EQ(RememberedStartIndex(recent, row.name), row.index) << row.name;
}

TEST(RecentFiles, NameSplitsIntoFolderAndFile) {
    EXPECT_EQ(SplitRecentName("Kopfrechnen\\Lernkartei\\Max.txt").folder,
              "Kopfrechnen\\Lernkartei\\");
    EXPECT_EQ(SplitRecentName("Kopfrechnen\\Lernkartei\\Max.txt").file, "Max.txt");
    EXPECT_EQ(SplitRecentName("Max.txt").folder, "");
    EXPECT_EQ(SplitRecentName("Max.txt").file, "Max.txt");
}

// What is written for a file is read back as the same name and start line, quotes and all.
TEST(RecentFiles, EntriesAreReadBackAsWritten) {
    const struct {
        const char* name;
        int startLine;
        const char* stored;
    } table[] = {{"Kopfrechnen\\Plus bis 10.txt", 3, "Kopfrechnen\\Plus bis 10.txt=3"},
                 {"Kopfrechnen\\3+4=7 \xFC"
                  "ben.txt",
                  6,
                  "\"Kopfrechnen\\3+4=7 \xFC"
                  "ben.txt\"=6"},
                 {"Max.txt", 1, "Max.txt=1"}};
    for (const auto& row : table) {
        const Bytes entry = RecentEntry(row.name, row.startLine);
        EXPECT_EQ(entry, row.stored);
        EXPECT_EQ(RecentNameOfEntry(entry), row.name);
        EXPECT_EQ(RememberedStartIndex({"Andere.txt=9", entry}, row.name), row.startLine - 1)
            << row.name;
    }
}

TEST(RecentFiles, AShownNameGoesOnTopOnce) {
    const QStringList names = {"Kopfrechnen\\A.txt", "Kopfrechnen\\B.txt", "Kopfrechnen\\C.txt"};
    const struct {
        QString name;
        QStringList expected;
    } table[] = {
        {"Kopfrechnen\\B.txt", {"Kopfrechnen\\B.txt", "Kopfrechnen\\A.txt", "Kopfrechnen\\C.txt"}},
        {"KOPFRECHNEN\\c.TXT", {"KOPFRECHNEN\\c.TXT", "Kopfrechnen\\A.txt", "Kopfrechnen\\B.txt"}},
        {"Kopfrechnen\\Neu.txt",
         {"Kopfrechnen\\Neu.txt", "Kopfrechnen\\A.txt", "Kopfrechnen\\B.txt",
          "Kopfrechnen\\C.txt"}},
        {"Kopfrechnen\\A.txt", names},
    };
    for (const auto& row : table)
        EXPECT_EQ(NamesWithOnTop(names, row.name), row.expected) << row.name.toStdString();
    EXPECT_EQ(NamesWithOnTop({}, "X.txt"), QStringList{"X.txt"});
}
