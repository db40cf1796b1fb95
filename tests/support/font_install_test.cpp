#include "support/font_install.h"

#include <QFile>
#include <QFontDatabase>
#include <gtest/gtest.h>

#include "support/program_environment.h"
#include "tests/test_support.h"

namespace radevir {
namespace {

// The family name as a font's name table spells it: single bytes and UTF-16 big-endian.
void Rename(QByteArray& font, const QByteArray& from, const QByteArray& to) {
    font.replace(from, to);
    QByteArray wideFrom, wideTo;
    for (char c : from) wideFrom.append('\0').append(c);
    for (char c : to) wideTo.append('\0').append(c);
    font.replace(wideFrom, wideTo);
}

QByteArray ReadSystemFont(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class FontInstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QByteArray liberation =
            ReadSystemFont("/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf");
        QByteArray fresh = ReadSystemFont("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf");
        if (liberation.isEmpty() || fresh.isEmpty()) GTEST_SKIP() << "system fonts missing";
        // a family nobody has: the same length keeps every table offset valid
        Rename(fresh, "DejaVu", "Zuvedi");
        dir.Write("bgi7/vareruvir.TTF", liberation);
        dir.Write("bgi7/vududed.ttf", fresh);
        dir.Write("bgi7/kaputt.ttf", "no font at all");
    }

    static bool HasFamily(const QString& family) {
        return QFontDatabase::families().contains(family);
    }

    test::ScratchDir dir;
    ProgramEnvironment env{dir.Folder(), "radevir"};
};

TEST_F(FontInstallTest, RecordsOnlyANewFamilyAndUninstallsIt) {
    ASSERT_TRUE(HasFamily("Liberation Sans"));
    ASSERT_FALSE(HasFamily("Zuvedi Sans Mono"));
    const std::string folder = env.ProgramFolder();
    std::vector<Bytes> installed;
    {
        FontInstaller fonts(env);
        // already there under its family: loaded, true, but nothing to record
        EXPECT_TRUE(fonts.InstallFont(folder, "bgi7\\vareruvir.TTF", &installed));
        EXPECT_TRUE(installed.empty());

        EXPECT_TRUE(fonts.InstallFont(folder, "BGI7\\VUDUDED.TTF", &installed));
        ASSERT_EQ(installed.size(), 1u);
        EXPECT_EQ(installed[0], "Zuvedi Sans Mono=" + folder + "BGI7\\VUDUDED.TTF");
        EXPECT_TRUE(HasFamily("Zuvedi Sans Mono"));
        EXPECT_EQ(fonts.FindRegisteredFont("vududed.ttf"),
                  "Zuvedi Sans Mono=" + folder + "BGI7\\VUDUDED.TTF");
        fonts.RegisterFont("Zuvedi Sans Mono", folder + "BGI7\\VUDUDED.TTF");

        // loading the same file again first unloads the earlier load, so the family is new
        // again and recorded again
        std::vector<Bytes> again;
        EXPECT_TRUE(fonts.InstallFont(folder, "bgi7\\vududed.ttf", &again));
        EXPECT_EQ(again, (std::vector<Bytes>{"Zuvedi Sans Mono=" + folder + "bgi7\\vududed.ttf"}));

        fonts.UninstallFonts(again);
        EXPECT_FALSE(HasFamily("Zuvedi Sans Mono"));
        EXPECT_FALSE(fonts.UninstallFont("Zuvedi Sans Mono"));
        EXPECT_EQ(fonts.FindRegisteredFont("vududed.ttf"), "");

        EXPECT_FALSE(fonts.InstallFont(folder, "bgi7\\fehlt.ttf", &installed));
        EXPECT_FALSE(fonts.InstallFont(folder, "bgi7\\kaputt.ttf", &installed));
        EXPECT_FALSE(fonts.InstallFont(folder, "bgi7", &installed));
        EXPECT_EQ(installed.size(), 1u);

        // without a list the font is still loaded and registered
        EXPECT_TRUE(fonts.InstallFont(folder, "bgi7\\vududed.ttf", nullptr));
        EXPECT_TRUE(HasFamily("Zuvedi Sans Mono"));
    }
    // the installer unloads what it still holds when it goes
    EXPECT_FALSE(HasFamily("Zuvedi Sans Mono"));
}

TEST_F(FontInstallTest, ListFontFamiliesAddsOnlyMissingNames) {
    std::vector<Bytes> list{"Liberation Sans", "Eigene"};
    FontInstaller::ListFontFamilies(list);
    EXPECT_EQ(list[0], "Liberation Sans");
    EXPECT_EQ(list[1], "Eigene");
    EXPECT_EQ(std::count(list.begin(), list.end(), Bytes("Liberation Sans")), 1);
    EXPECT_GT(list.size(), 3u);
}

}  // namespace
}  // namespace radevir
