#include "support/shell_helpers.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "support/error_log.h"
#include "support/native_files.h"
#include "support/program_environment.h"
#include "support/text_helpers.h"

namespace radevir {
namespace {

bool LooksLikeUrl(std::string_view file) {
    const size_t colon = file.find("://");
    if (colon != std::string_view::npos && colon > 1) return true;
    return file.rfind("mailto:", 0) == 0;
}

}  // namespace

void ShowText(std::string_view text, MessageSink* sink) {
    try {
        // an empty text still shows a box, with an empty line in it
        const QString shown = text.empty() ? QStringLiteral(" ") : FromCp1252(text);
        if (sink) {
            sink->ShowMessage(shown);
            return;
        }
        QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), shown,
                        QMessageBox::Ok, QApplication::activeWindow());
        box.setTextFormat(Qt::PlainText);
        box.exec();
    } catch (...) {
        LogDroppedException("showing a message");
    }
}

int OpenWithShell(const ProgramEnvironment& env, std::string_view file,
                  std::string_view parameters) {
    static_cast<void>(parameters);  // the desktop's handler takes none
    try {
        if (LooksLikeUrl(file)) {
            return QDesktopServices::openUrl(QUrl(FromCp1252(file))) ? kShellOk
                                                                      : kShellNoAssociation;
        }
        // Always the desktop's handler, whatever the file's mode says: every file on a FAT or
        // NTFS stick carries the execute bit, and a worksheet or task list must be shown, never
        // run. Programs are started only through LaunchProgramAt.
        const QString path = env.NativePath(file);
        if (!NativeExists(path)) return kShellFileNotFound;
        return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()))
                   ? kShellOk
                   : kShellNoAssociation;
    } catch (...) {
        LogDroppedException("opening a file");
        return kShellNoAssociation;
    }
}

std::optional<qint64> LaunchProgramAt(const ProgramEnvironment& env, std::string_view program,
                                      const std::vector<Bytes>& parameters, QPoint point) {
    // The desktop does not let one program place another program's window, so the requested
    // position cannot be honoured here; the program is started and left where its window
    // manager puts it.
    static_cast<void>(point);
    try {
        QString executable;
        if (program.find_first_of("\\/") == std::string_view::npos) {
            executable = QStandardPaths::findExecutable(FromCp1252(program));
        }
        if (executable.isEmpty()) executable = env.NativePath(program);
        const QFileInfo info(executable);
        if (!info.isFile() || !info.isExecutable()) return std::nullopt;
        QStringList args;
        for (const Bytes& p : parameters) args << FromCp1252(p);
        qint64 pid = 0;
        if (!QProcess::startDetached(info.absoluteFilePath(), args, info.absolutePath(), &pid))
            return std::nullopt;
        return pid;
    } catch (...) {
        LogDroppedException("starting a program");
        return std::nullopt;
    }
}

}  // namespace radevir
