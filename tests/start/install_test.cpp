// The installed program: `cmake --install` into a scratch prefix, the menu entry and AppStream
// data checked by the desktop tools, and the installed program started with a fresh home: the
// per-user copy of the kit, and an upgrade that keeps what the user changed.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <memory>

#include "support/program_environment.h"
#include "tests/test_support.h"

using namespace radevir;

namespace {

constexpr int kInstallTimeoutMs = 240000;
constexpr int kProgramTimeoutMs = 120000;

struct Finished {
    int exitCode = -1;
    QString output;
};

Finished RunTool(const QString& program, const QStringList& args,
                 const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
                 int timeoutMs = kProgramTimeoutMs) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAll())};
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

// One `cmake --install` of this build, shared by the tests below.
class InstalledProgram : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        prefix_ = std::make_unique<test::ScratchDir>();
        const QString cmake = QStandardPaths::findExecutable("cmake");
        if (cmake.isEmpty()) {
            installError_ = "cmake not found";
            return;
        }
        const QString buildDir = QDir::cleanPath(QStringLiteral(RADEVIR_KIT_DIR) + "/..");
        const Finished install =
            RunTool(cmake, {"--install", buildDir, "--prefix", prefix_->Path()},
                    QProcessEnvironment::systemEnvironment(), kInstallTimeoutMs);
        if (install.exitCode != 0) installError_ = install.output;
    }
    static void TearDownTestSuite() { prefix_.reset(); }

    void SetUp() override { ASSERT_TRUE(installError_.isEmpty()) << installError_.toStdString(); }

    static QString Prefix() { return prefix_->Path(); }
    static QString Kit() { return Prefix() + "/share/radevir"; }
    static QString DesktopFile() { return Prefix() + "/share/applications/radevir.desktop"; }
    static QString Metainfo() {
        const QDir dir(Prefix() + "/share/metainfo");
        const QStringList files = dir.entryList({"*.metainfo.xml"}, QDir::Files);
        return files.size() == 1 ? dir.filePath(files.first()) : QString();
    }

    // Starts the installed program with a script, as a user with the given home folder would.
    static Finished Start(const QString& home, const QString& script) {
        WriteFile(home + "/script.txt", script.toUtf8());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home);
        for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
            env.remove(name);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        return RunTool(Prefix() + "/bin/radevir",
                       {"--script", home + "/script.txt", "--size", "800x600", "--audio", "null"}, env);
    }

private:
    static inline std::unique_ptr<test::ScratchDir> prefix_;
    static inline QString installError_;
};

}  // namespace

TEST_F(InstalledProgram, EveryFileLandsInItsPlace) {
    EXPECT_TRUE(QFileInfo(Prefix() + "/bin/radevir").isExecutable());
    EXPECT_TRUE(QFileInfo::exists(Kit() + "/radevir.kit"));
    EXPECT_TRUE(QFileInfo::exists(Kit() + "/maustxt"));
    EXPECT_TRUE(QFileInfo::exists(Kit() + "/Aufgaben/Kopfrechnen/Plus bis 10.txt"));
    // the build folder's executable and what runs there wrote are no part of the kit (the tests
    // run the program there, often before this install)
    for (const char* stray : {"radevir", "aktuell.opt", "bgi7/filelist.txt", "tempwav"})
        EXPECT_FALSE(QFileInfo::exists(Kit() + "/" + stray)) << stray;
    EXPECT_TRUE(QFileInfo::exists(DesktopFile()));
    EXPECT_FALSE(Metainfo().isEmpty());
    const QImage icon(Prefix() + "/share/icons/hicolor/256x256/apps/radevir.png");
    EXPECT_EQ(icon.size(), QSize(256, 256));
    EXPECT_TRUE(ReadFile(Prefix() + "/share/icons/hicolor/scalable/apps/radevir.svg").contains("<svg"));
    // the package's documents: licences, changelog, the screenshots the build took
    const QString doc = Prefix() + "/share/doc/radevir";
    EXPECT_TRUE(ReadFile(doc + "/copyright").startsWith("Format: https://www.debian.org/"));
    EXPECT_TRUE(ReadFile(doc + "/changelog.gz").startsWith("\x1f\x8b"));
    EXPECT_EQ(QImage(doc + "/screenshots/menu.png").size(), QSize(1024, 768));
}

// The manual pages are made from the programs' own --help: each option there is in its page.
TEST_F(InstalledProgram, ManualPagesHoldTheOptionsOfTheHelp) {
    const QString gzip = QStandardPaths::findExecutable("gzip");
    ASSERT_FALSE(gzip.isEmpty());
    for (const QString program : {"radevir", "radevir-worksheet"}) {
        const Finished page =
            RunTool(gzip, {"-dc", Prefix() + "/share/man/man1/" + program + ".1.gz"});
        ASSERT_EQ(page.exitCode, 0) << program.toStdString() << ": " << page.output.toStdString();
        EXPECT_TRUE(page.output.contains(".SH SYNOPSIS")) << program.toStdString();
        const QString help =
            RunTool(QStringLiteral(RADEVIR_KIT_DIR) + "/" + program, {"--help"}).output;
        const QRegularExpression option(QStringLiteral("^  (--[a-z-]+)"),
                                        QRegularExpression::MultilineOption);
        int options = 0;
        for (const QRegularExpressionMatch& m : option.globalMatch(help)) {
            ++options;
            QString escaped = m.captured(1);
            escaped.replace("-", "\\-");  // troff's minus
            EXPECT_TRUE(page.output.contains(escaped))
                << program.toStdString() << " " << escaped.toStdString();
        }
        EXPECT_GE(options, 5) << program.toStdString();
    }
}

// Every font of the kit carries its licence: the copyright file names it with a licence whose
// text it holds (a font added to the kit without that would be handed on unlicensed).
TEST_F(InstalledProgram, CopyrightNamesEveryFontWithItsLicenceText) {
    const QString copyright =
        QString::fromUtf8(ReadFile(Prefix() + "/share/doc/radevir/copyright"));
    const QStringList fonts = QDir(Kit() + "/bgi7").entryList({"*.ttf", "*.TTF"}, QDir::Files);
    ASSERT_GE(fonts.size(), 5);
    const QString text = copyright.simplified();
    for (const QString& font : fonts)
        EXPECT_TRUE(text.contains(font + " (from ")) << font.toStdString();
    // each licence a Files paragraph names has its own paragraph with the text
    const QRegularExpression named(QStringLiteral("^Files: .*\\n(?:[ A-Z].*\\n)*?License: (.+)$"),
                                   QRegularExpression::MultilineOption);
    QStringList licences;
    for (const QRegularExpressionMatch& m : named.globalMatch(copyright))
        licences += m.captured(1).split(QStringLiteral(" and "));
    licences.removeDuplicates();
    EXPECT_TRUE(licences.contains("OFL-1.1") && licences.contains("Bitstream-Vera"))
        << licences.join(", ").toStdString();
    for (const QString& licence : licences)
        EXPECT_TRUE(copyright.contains("\n\nLicense: " + licence + "\n ")) << licence.toStdString();
}

TEST_F(InstalledProgram, DesktopToolsAcceptTheMenuEntryAndTheMetainfo) {
    const struct {
        const char* tool;
        QStringList args;
    } checks[] = {{"desktop-file-validate", {DesktopFile()}},
                  {"appstreamcli", {"validate", "--no-net", Metainfo()}}};
    int ran = 0;
    for (const auto& check : checks) {
        const QString tool = QStandardPaths::findExecutable(check.tool);
        if (tool.isEmpty()) continue;
        ++ran;
        const Finished result = RunTool(tool, check.args);
        EXPECT_EQ(result.exitCode, 0) << check.tool << ":\n" << result.output.toStdString();
        EXPECT_FALSE(result.output.contains("error", Qt::CaseInsensitive))
            << check.tool << ":\n" << result.output.toStdString();
    }
    if (ran == 0) GTEST_SKIP() << "neither desktop-file-validate nor appstreamcli is installed";
}

TEST_F(InstalledProgram, FirstStartCopiesTheKitAndAnUpgradeKeepsTheUsersChanges) {
    test::ScratchDir home;
    const QString userKit = home.Path() + "/.local/share/Zoze/radevir";
    const QString leave = "dump " + home.Path() + "/menu.txt\nkey Esc\nkey j\n";

    Finished run = Start(home.Path(), leave);
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(ReadFile(home.Path() + "/menu.txt").contains("Programm-Auswahl"));
    EXPECT_TRUE(QFileInfo::exists(userKit + "/radevir.kit"));
    EXPECT_TRUE(QFileInfo::exists(userKit + "/aktuell.opt"));
    EXPECT_FALSE(QFileInfo::exists(Kit() + "/aktuell.opt"));

    const QString changed = "/Aufgaben/Kopfrechnen/Plus bis 10.txt";
    const QString untouched = "/Aufgaben/Kopfrechnen/Minus bis 10.txt";
    const QString added = "/Aufgaben/Kopfrechnen/Neu im Paket.txt";
    const QByteArray mine = "1+1=2\r\n";
    WriteFile(userKit + changed, mine);
    // a newer kit: both files changed, one file added
    WriteFile(Kit() + changed, "9+9=18\r\n8+8=16\r\n");
    WriteFile(Kit() + untouched, "9-9=0\r\n8-8=0\r\n");
    WriteFile(Kit() + added, "5+5=10\r\n");
    const QByteArray options = ReadFile(userKit + "/aktuell.opt");

    run = Start(home.Path(), leave);
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_EQ(ReadFile(userKit + changed), mine);
    EXPECT_EQ(ReadFile(userKit + untouched), QByteArray("9-9=0\r\n8-8=0\r\n"));
    EXPECT_EQ(ReadFile(userKit + added), QByteArray("5+5=10\r\n"));
    EXPECT_EQ(ReadFile(userKit + "/aktuell.opt"), options);
    EXPECT_FALSE(QFileInfo::exists(Kit() + "/aktuell.opt"));
}

TEST(KitCopy, WhatAnUpgradeDoesWithEachKitFile) {
    using A = KitFileAction;
    const struct {
        const char* situation;
        KitFileState state;
        KitFileAction action;
    } cases[] = {
        // recorded, exists, untouched, kit changed, matches kit
        {"first start / new in the kit", {false, false, false, false, false}, A::Copy},
        {"the user's own file of that name", {false, true, false, false, false}, A::Keep},
        {"copy without a record, same bytes", {false, true, false, false, true}, A::Adopt},
        {"removed by the user", {true, false, false, true, false}, A::Keep},
        {"changed by the user, kit newer", {true, true, false, true, false}, A::Keep},
        {"untouched, kit newer", {true, true, true, true, false}, A::Copy},
        {"untouched, kit the same", {true, true, true, false, false}, A::Keep},
    };
    for (const auto& c : cases) EXPECT_EQ(DecideKitFile(c.state), c.action) << c.situation;
}
