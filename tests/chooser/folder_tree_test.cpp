#include "chooser/folder_tree.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/native_files.h"
#include "tests/test_support.h"

using namespace radevir;

namespace {

QStringList Texts(const std::vector<FolderNode>& nodes) {
    QStringList out;
    for (const FolderNode& n : nodes) out << n.text;
    return out;
}

}  // namespace

TEST(FolderTree, FoldersBesideSameNamedBtxOrAtxFilesAndDottedNamesAreLeftOut) {
    test::ScratchDir dir;
    for (const char* folder : {"Addition", "Bilder", "Töne", "Uebung", "alt.bak", "Lernkartei"})
        QDir().mkpath(dir.Path() + "/" + folder);
    dir.Write("Bilder.btx", "x");
    dir.Write("TÖNE.ATX", "x");      // letter case does not matter
    dir.Write("Uebung.txt", "x");    // other extensions keep the folder
    dir.Write("Addition/a.txt", "1+1=2\r\n");
    const std::vector<FolderNode> nodes = FolderChildren(dir.Path());
    EXPECT_EQ(Texts(nodes), (QStringList{"Addition", "Lernkartei", "Uebung"}));
    EXPECT_EQ(nodes[0].path, QDir::cleanPath(dir.Path() + "/Addition"));
}

TEST(FolderTree, FoldersWithSubFoldersComeFirstThenByName) {
    test::ScratchDir dir;
    for (const char* folder : {"Zahlen", "Addition", "Multiplikation/Einmaleins", "Division",
                               "Multiplikation/Lernkartei", "Bruch/Teile"})
        QDir().mkpath(dir.Path() + "/" + folder);
    const FolderNode root = FolderTree(dir.Path() + "/");
    EXPECT_EQ(root.path, QDir::cleanPath(dir.Path()));
    EXPECT_EQ(root.text, QDir(dir.Path()).dirName());
    EXPECT_EQ(Texts(root.children), (QStringList{"Bruch", "Multiplikation", "Addition", "Division", "Zahlen"}));
    EXPECT_EQ(Texts(root.children[1].children), (QStringList{"Einmaleins", "Lernkartei"}));
}

TEST(FolderTree, ALinkBackUpIsNotFollowedForever) {
    test::ScratchDir dir;
    QDir().mkpath(dir.Path() + "/A/B");
    ASSERT_TRUE(QFile::link(dir.Path(), dir.Path() + "/A/B/Zurueck"));
    const std::vector<FolderNode> nodes = FolderChildren(dir.Path());
    ASSERT_EQ(Texts(nodes), QStringList{"A"});
    ASSERT_EQ(Texts(nodes[0].children), QStringList{"B"});
    EXPECT_TRUE(nodes[0].children[0].children.empty());
}

TEST(FolderTree, AMissingRootGivesALonelyNode) {
    const FolderNode root = FolderTree(QStringLiteral("/nicht/da/Kopfrechnen"));
    EXPECT_EQ(root.text, "Kopfrechnen");
    EXPECT_TRUE(root.children.empty());
}

// Names copied from a Windows stick are Windows-1252 bytes, not UTF-8: they are listed under
// their Windows-1252 name and that name leads back to them.
TEST(DiskNames, Windows1252NamesAreListedAndFoundAgain) {
    const struct {
        std::string_view raw;
        const char* shown;
    } names[] = {{"\xDC" "bung", "Übung"}, {"Übung", "Übung"}, {"Ma\xDF", "Maß"}, {"plain", "plain"}};
    for (const auto& n : names) EXPECT_EQ(DecodeFileName(n.raw), QString(n.shown)) << n.shown;

    test::ScratchDir dir;
    const QByteArray base = QFile::encodeName(dir.Path());
    ASSERT_EQ(::mkdir(base + "/\xDC" "bung", 0755), 0);
    ASSERT_EQ(::mkdir(base + "/\xDC" "bung/Teil", 0755), 0);
    QDir().mkpath(dir.Path() + "/Zahlen");
    const std::vector<FolderNode> nodes = FolderChildren(dir.Path());
    ASSERT_EQ(Texts(nodes), (QStringList{"Übung", "Zahlen"}));
    EXPECT_EQ(Texts(nodes[0].children), QStringList{"Teil"});
    EXPECT_TRUE(NativeIsFolder(nodes[0].path));
    EXPECT_EQ(NativePathBytes(nodes[0].path + "/Teil"), base + "/\xDC" "bung/Teil");
    // a name that exists in UTF-8 keeps that spelling
    EXPECT_EQ(NativePathBytes(dir.Path() + "/Zahlen"), base + "/Zahlen");
    ::rmdir(base + "/\xDC" "bung/Teil");  // invisible to the scratch folder's own clean-up
    ::rmdir(base + "/\xDC" "bung");
}
