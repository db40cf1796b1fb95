#include "support/program_environment.h"

#include <QDir>
#include <gtest/gtest.h>

#include "tests/test_support.h"

using namespace radevir;

TEST(ResolvePath, RelativePathsHangOffTheProgramFolder) {
    const ProgramEnvironment env("C:\\P\\sub\\", "radevir");
    const struct {
        const char* argument;
        const char* result;
    } table[] = {
        {"data\\a.txt", "C:\\P\\sub\\data\\a.txt"}, {"\\data", "C:\\P\\sub\\data"},
        {"..\\x.txt", "C:\\P\\x.txt"},             {"..\\..\\x", "C:\\x"},
        {"D:\\x", "D:\\x"},                        {"\\\\srv\\x", "\\\\srv\\x"},
        {"", "C:\\P\\sub\\"},                       {"/abs/x", "/abs/x"},
    };
    for (const auto& row : table) EXPECT_EQ(env.ResolvePath(row.argument), row.result) << row.argument;

    const ProgramEnvironment native("/opt/radevir", "radevir");
    EXPECT_EQ(native.ProgramFolder(), "/opt/radevir/");
    EXPECT_EQ(native.ResolvePath("wavs\\tippton.wav"), "/opt/radevir/wavs\\tippton.wav");
    EXPECT_EQ(native.ResolvePath("..\\x"), "/opt/x");
}

TEST(PathHelpers, FoldersNamesAndRelativePaths) {
    EXPECT_EQ(ParentFolder("C:\\P\\sub\\"), "C:\\P\\");
    EXPECT_EQ(ParentFolder("C:\\P\\a.txt"), "C:\\P\\");
    EXPECT_EQ(ParentFolder("name"), "name");
    EXPECT_EQ(IncludeTrailingBackslash("a"), "a\\");
    EXPECT_EQ(IncludeTrailingBackslash("a\\"), "a\\");
    EXPECT_EQ(ExcludeTrailingBackslash("a\\"), "a");

    const NameParts p = ExeNameParts("C:\\Programme\\Radevir\\radevir.exe");
    EXPECT_EQ(p.folder, "C:\\Programme\\Radevir\\");
    EXPECT_EQ(p.name, "radevir");
    EXPECT_EQ(p.extension, ".exe");
    const NameParts q = ExeNameParts("radevir");
    EXPECT_EQ(q.folder, "");
    EXPECT_EQ(q.name, "radevir");
    EXPECT_EQ(q.extension, "");

    EXPECT_EQ(MakeRelativePath("C:\\P\\", "c:\\p\\Aufgaben\\x.txt"), "Aufgaben\\x.txt");
    EXPECT_EQ(MakeRelativePath("C:\\P\\sub\\", "C:\\P\\other\\x.txt"), "..\\other\\x.txt");
    EXPECT_EQ(MakeRelativePath("C:\\P\\a\\b\\", "C:\\P\\x.txt"), "..\\..\\x.txt");
    EXPECT_EQ(MakeRelativePath("C:\\P\\", "D:\\x.txt"), "D:\\x.txt");
}

TEST(NativePath, FindsFilesWithoutRegardToLetterCase) {
    test::ScratchDir dir;
    dir.Write("Sounds/Zeichen/gross.wav", "x");
    dir.Write("Aufgaben/Kopfrechnen/Plus bis 20.txt", "1+1=");
    const ProgramEnvironment env(dir.Folder(), "radevir");
    EXPECT_EQ(env.NativePath("sounds\\zeichen\\GROSS.WAV"), dir.Path() + "/Sounds/Zeichen/gross.wav");
    EXPECT_TRUE(env.Exists("AUFGABEN\\kopfrechnen\\plus bis 20.txt"));
    // a new file keeps its spelling below the existing folders it is found in
    EXPECT_EQ(env.NativePath("aufgaben\\Neu\\Liste.txt"), dir.Path() + "/Aufgaben/Neu/Liste.txt");
    EXPECT_FALSE(env.Exists("aufgaben\\fehlt.txt"));
    // Windows-1252 names map to the file system's UTF-8 names
    dir.Write(QString::fromUtf8("Übungen.txt"), "x");
    EXPECT_TRUE(env.Exists("\xFC" "bungen.txt"));
}

TEST(NativePath, AProgramFolderOutsideTheCodePageKeepsItsRealName) {
    test::ScratchDir dir;
    const QString folder = dir.Path() + QString::fromUtf8("/Łukasz/ŞÜkit");
    QDir().mkpath(folder + "/emfs");
    QDir().mkpath(dir.Path() + QString::fromUtf8("/Łukasz/Übungen"));
    const ProgramEnvironment env = ProgramEnvironment::FromNativeFolder(folder, "radevir");
    // inside, the folder is a byte string like every data path
    EXPECT_EQ(env.ProgramFolder(), ToCp1252(folder) + "/");
    EXPECT_EQ(env.NativeFolder(), folder + "/");
    const struct {
        const char* path;
        QString native;
    } table[] = {
        {"EMFS", folder + "/emfs"},
        {"emfs\\neu.emf", folder + "/emfs/neu.emf"},
        {"", folder + "/"},
        {"..\\übungen", dir.Path() + QString::fromUtf8("/Łukasz/Übungen")},
        {"/etc/passwd", "/etc/passwd"},
    };
    for (const auto& row : table) EXPECT_EQ(env.NativePath(ScreenBytes(row.path)), row.native) << row.path;
    // full paths built from the folder's bytes, with and without the trailing separator
    EXPECT_EQ(env.NativePath(env.ProgramFolder() + "emfs"), folder + "/emfs");
    EXPECT_EQ(env.NativePath(ExcludeTrailingBackslash(env.ProgramFolder())), folder);
    EXPECT_TRUE(env.Exists("emfs"));
}
