// Opening data files with the desktop, and errors that are dropped but logged.
#include "support/shell_helpers.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QThread>
#include <QUrl>
#include <gtest/gtest.h>

#include <stdexcept>

#include "support/program_environment.h"
#include "tests/test_support.h"

namespace radevir {
namespace {

// Takes the desktop's place for file URLs, so nothing is really opened.
class DesktopStandIn : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> opened;
public Q_SLOTS:
    void Open(const QUrl& url) { opened.push_back(url); }
};

TEST(OpenWithShell, DataFilesGoToTheDesktopEvenWithTheExecuteBit) {
    test::ScratchDir dir;
    ProgramEnvironment env(dir.Folder());
    // a worksheet from a FAT stick: every file there carries the execute bit
    const QString sheet = dir.Write("Arbeitsblatt.html", "#!/bin/sh\ntouch gelaufen\n");
    QFile::setPermissions(sheet, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    DesktopStandIn desktop;
    QDesktopServices::setUrlHandler("file", &desktop, "Open");
    EXPECT_GT(OpenWithShell(env, "arbeitsblatt.html", "\"eins zwei\" drei"), 32);
    EXPECT_EQ(OpenWithShell(env, "fehlt.txt", ""), kShellFileNotFound);
    QDesktopServices::unsetUrlHandler("file");

    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_EQ(desktop.opened[0].toLocalFile(), QFileInfo(sheet).absoluteFilePath());
    QThread::msleep(200);  // time enough for a started script to leave its trace
    EXPECT_FALSE(QFileInfo::exists(dir.Path() + "/gelaufen"));
}

class ThrowingSink : public MessageSink {
public:
    void ShowMessage(const QString&) override { throw std::runtime_error("Bildschirm weg"); }
};

TEST(DroppedErrors, AreLoggedOnOneLine) {
    ThrowingSink sink;
    testing::internal::CaptureStderr();
    ShowText("Hallo", &sink);  // the error does not reach the caller
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log, "radevir: showing a message: Bildschirm weg (dropped)\n");
}

}  // namespace
}  // namespace radevir

#include "shell_helpers_test.moc"
