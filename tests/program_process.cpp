#include "tests/program_process.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include "tests/test_support.h"

namespace radevir::test {

QString LinkKitInto(const QString& folder) {
    const QDir kit(KitDir());
    QDir().mkpath(folder + "/bgi7");
    for (const QString& entry : kit.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        if (entry == "aktuell.opt" || entry.endsWith(".RTT", Qt::CaseInsensitive) ||
            entry == "radevir" || entry == "bgi7")
            continue;
        QFile::link(kit.filePath(entry), folder + "/" + entry);
    }
    const QDir fonts(kit.filePath("bgi7"));
    for (const QString& f : fonts.entryList(QDir::Files))
        QFile::link(fonts.filePath(f), folder + "/bgi7/" + f);
    return folder;
}

ProgramResult RunProgram(const QStringList& arguments, Display display, int timeout_ms) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (display == Display::None) {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    } else {
        env.insert("QT_QPA_PLATFORM", "offscreen");
    }
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(KitDir() + "/radevir", arguments);
    if (!p.waitForFinished(timeout_ms)) p.kill();
    p.waitForFinished();
    ProgramResult result;
    result.output = p.readAllStandardOutput();
    result.errors = p.readAllStandardError();
    if (p.exitStatus() == QProcess::NormalExit) result.exitCode = p.exitCode();
    return result;
}

}  // namespace radevir::test
