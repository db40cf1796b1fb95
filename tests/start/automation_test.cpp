#include "start/automation.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include "tests/test_support.h"

using namespace radevir;

TEST(Script, CommandsParseAndErrorsNameTheLine) {
    std::vector<ScriptCommand> commands;
    QString error;
    ASSERT_TRUE(ParseScript("# start\nkey Esc\nkey a x3\nkey x\ntype 12 ä\n\nclick 10 20\n"
                            "mouse down 1 2\nwait 500\nresize 800 600\ndump out.txt\nquit\n",
                            commands, error))
        << error.toStdString();
    ASSERT_EQ(commands.size(), 1u + 3 + 1 + 4 + 1 + 1 + 1 + 1 + 1 + 1);
    EXPECT_EQ(commands[0].qtKey, Qt::Key_Escape);
    EXPECT_EQ(commands[1].text, "a");
    EXPECT_EQ(commands[4].text, "x");  // "key x" is the letter, not a repeat
    EXPECT_EQ(commands[7].qtKey, Qt::Key_Space);
    EXPECT_EQ(commands[8].text, QString::fromUtf8("ä"));
    EXPECT_EQ(commands[8].qtKey, Qt::Key_Adiaeresis);
    EXPECT_EQ(commands.back().kind, ScriptCommand::Kind::Quit);

    const struct {
        const char* script;
        const char* message;
    } bad[] = {{"key Esc\nkey Blah\n", "script line 2: unknown key name: Blah"},
               {"\n\nhop 1\n", "script line 3: unknown command: hop"},
               {"click 1\n", "script line 1: click needs two numbers"},
               {"wait -5\n", "script line 1: wait needs milliseconds"},
               {"dump\n", "script line 1: dump needs a file name"}};
    for (const auto& row : bad) {
        commands.clear();
        EXPECT_FALSE(ParseScript(row.script, commands, error));
        EXPECT_EQ(error.toStdString(), row.message);
    }
}

namespace {

struct ProgramRun {
    int exitCode = -1;
    QByteArray errors;
};

ProgramRun RunProgram(const test::ScratchDir& dir, const QString& script, QStringList extra = {}) {
    QFile f(dir.Path() + "/script.txt");
    f.open(QIODevice::WriteOnly);
    f.write(script.toUtf8());
    f.close();
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    QStringList args = {"--script", dir.Path() + "/script.txt", "--settings",
                        dir.Path() + "/settings.ini", "--size", "800x600", "--audio", "null"};
    args += extra;
    p.start(test::KitDir() + "/radevir", args);
    if (!p.waitForFinished(120000)) p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardError()};
}

}  // namespace

TEST(ScriptedRun, LeavingEndsTheProgramAndTheDumpShowsItsLastScreen) {
    test::ScratchDir dir;
    const ProgramRun run = RunProgram(dir, "key Esc\nkey j\ndump " + dir.Path() + "/screen.txt\n");
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    const QByteArray dump = dir.Read("screen.txt");
    const QList<QByteArray> lines = dump.split('\n');
    ASSERT_GE(lines.size(), 26);
    EXPECT_EQ(lines[0].size(), 80);
    EXPECT_EQ(lines[25], "--");
}

TEST(ScriptedRun, ExitCodesForARunOutScriptAndAScriptError) {
    test::ScratchDir dir;
    const ProgramRun out = RunProgram(dir, "wait 1000\nscreenshot " + dir.Path() + "/shot.png\n");
    EXPECT_EQ(out.exitCode, 3) << out.errors.toStdString();
    QImage shot(dir.Path() + "/shot.png");
    EXPECT_EQ(shot.size(), QSize(800, 600));

    const ProgramRun bad = RunProgram(dir, "key Esc\nkey Nope\n");
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.errors.contains("script line 2")) << bad.errors.toStdString();

    const ProgramRun args = RunProgram(dir, "quit\n", {"--size", "12"});
    EXPECT_EQ(args.exitCode, 2);
}

TEST(ScriptedRun, ResizeRestartsTheProgramInTheNewSize) {
    test::ScratchDir dir;
    const ProgramRun run = RunProgram(dir, "resize 1000 700\nwait 100\nscreenshot " + dir.Path() +
                                        "/big.png\nkey Esc\nkey j\n");
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(QImage(dir.Path() + "/big.png").size(), QSize(1000, 700));
}

TEST(CommandLine, SpeakPlaysTheSoundTableThroughTheChosenOutput) {
    test::ScratchDir dir;
    auto speak = [&](const QString& text, const QString& audio) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.start(test::KitDir() + "/radevir", {"--audio", audio, "--speak", text});
        if (!p.waitForFinished(60000)) p.kill();
        return p.exitCode();
    };
    const QString raw = dir.Path() + "/out.raw";
    EXPECT_EQ(speak("12 + 35 =", "disk:" + raw), 0);
    // four pieces of speech: well over a second of 16-bit samples at 22050 Hz
    EXPECT_GT(QFileInfo(raw).size(), 2 * 22050);
    EXPECT_EQ(speak("Haus xyz", "null"), 1);
    EXPECT_EQ(speak("1", "loud"), 2);  // no such output
}
