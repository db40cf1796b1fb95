#include "support/shell_helpers.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

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
    }
}

bool ShowProgramHelp(const ProgramEnvironment& env, std::string_view topic) {
    try {
        const std::string page = UpperText(topic) == "SCHULE"
                                     ? "html\\Schülerverwaltung.html"_b
                                     : Bytes("html\\index.htm");
        const QString path = env.NativePath(page);
        if (!QFileInfo(path).isFile()) return false;
        return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    } catch (...) {
        return false;
    }
}

int OpenWithShell(const ProgramEnvironment& env, std::string_view file,
                  std::string_view parameters) {
    try {
        if (LooksLikeUrl(file)) {
            return QDesktopServices::openUrl(QUrl(FromCp1252(file))) ? kShellOk
                                                                      : kShellNoAssociation;
        }
        const QFileInfo info(env.NativePath(file));
        if (!info.exists()) return kShellFileNotFound;
        if (info.isFile() && info.isExecutable()) {
            const QStringList args = QProcess::splitCommand(FromCp1252(parameters));
            return QProcess::startDetached(info.absoluteFilePath(), args, info.absolutePath())
                       ? kShellOk
                       : kShellNoAssociation;
        }
        return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()))
                   ? kShellOk
                   : kShellNoAssociation;
    } catch (...) {
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
        return std::nullopt;
    }
}

}  // namespace radevir
