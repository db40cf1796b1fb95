// The editor's wait for the worksheet process: a worksheet that hangs never holds the editor (and
// its unsaved text) hostage. The editor stays usable, and closing it ends the wait and the sheet.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <csignal>

#include "editor/worksheet/worksheet_launch.h"
#include "support/program_environment.h"
#include "tests/test_support.h"

namespace radevir {
namespace {

TEST(ShowWorksheet, AHangingSheetLeavesTheWindowUsableAndEndsWithIt) {
    test::ScratchDir dir;
    const ProgramEnvironment env = ProgramEnvironment::FromNativeFolder(dir.Path());
    WorksheetRequest request;
    request.pagePath = dir.Path() + "/construct.html";
    request.templatePath = dir.Path() + "/Aufgaben.html";
    // a worksheet process that never ends by itself
    const QString pidFile = dir.Path() + "/sheet.pid";
    const QString script = dir.Write(
        "sheet.sh", "#!/bin/sh\necho $$ > \"" + pidFile.toUtf8() + "\"\nexec sleep 600\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    WorksheetLaunchOptions options;
    options.program = script;

    QWidget window;
    window.show();
    bool usable = false;
    QTimer::singleShot(500, &window, [&] {
        usable = window.isEnabled();
        window.close();
    });
    // should the wait not end with the window, the sheet is ended from outside so the test ends
    QTimer rescue;
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, [&] {
        QFile f(pidFile);
        if (f.open(QIODevice::ReadOnly)) ::kill(f.readAll().trimmed().toInt(), SIGKILL);
    });
    rescue.start(15000);
    QElapsedTimer clock;
    clock.start();
    ShowWorksheet(&window, env, request, options);
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_TRUE(usable);
    // the sheet went with the window
    QFile f(pidFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const int pid = f.readAll().trimmed().toInt();
    ASSERT_GT(pid, 0);
    EXPECT_NE(::kill(pid, 0), 0);
}

}  // namespace
}  // namespace radevir
