#include "editor/worksheet/worksheet_launch.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTextStream>
#include <QWidget>
#include <memory>
#include <vector>

#include "editor/worksheet/worksheet_handover.h"
#include "support/program_environment.h"
#include "support/shell_helpers.h"

namespace radevir {

namespace {

constexpr const char* kProgramName = "radevir-worksheet";
// making sheets off screen takes a few seconds; a process that hangs is not waited for forever
constexpr int kExportTimeout_ms = 180000;
constexpr int kExportTimeoutPerSheet_ms = 10000;

QStringList ProcessArguments(const QStringList& requestFiles,
                             const WorksheetLaunchOptions& options) {
    QStringList args;
    for (const QString& file : requestFiles) args << QStringLiteral("--request") << file;
    if (options.selfCheck) args << QStringLiteral("--self-check");
    if (options.seed) args << QStringLiteral("--seed") << QString::number(*options.seed);
    if (!options.printTo.isEmpty()) args << QStringLiteral("--print-to") << options.printTo;
    return args;
}

// The request goes into a temporary file that lives as long as the process needs it.
bool WriteRequestFile(QTemporaryFile& file, const WorksheetHandover& handover) {
    file.setFileTemplate(QDir::temp().filePath(QStringLiteral("radevir-worksheet-XXXXXX.txt")));
    const QByteArray bytes = WriteHandover(handover);
    return file.open() && file.write(bytes) == bytes.size() && file.flush();
}

// Ends the wait when the waiting window is closed (hidden, not minimised): the sheet belongs to it.
class WindowClosedWatch final : public QObject {
  public:
    explicit WindowClosedWatch(QEventLoop& loop) : loop_(loop) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && !static_cast<QWidget*>(watched)->isVisible())
            loop_.quit();
        return QObject::eventFilter(watched, event);
    }

  private:
    QEventLoop& loop_;
};

constexpr int kEndWorksheet_ms = 3000;

}  // namespace

QString WorksheetProgramPath() {
    const QString beside =
        QDir(QCoreApplication::applicationDirPath()).filePath(QLatin1String(kProgramName));
    if (QFileInfo(beside).isExecutable()) return beside;
    return QStandardPaths::findExecutable(QLatin1String(kProgramName));
}

bool ShowWorksheet(QWidget* parent, const ProgramEnvironment& env, const WorksheetRequest& request,
                   const WorksheetLaunchOptions& options) {
    auto complain = [&options](const QString& text) {
        ShowText(ToCp1252(text), options.messages);
        return false;
    };
    const QString program = options.program.isEmpty() ? WorksheetProgramPath() : options.program;
    if (program.isEmpty())
        return complain(QStringLiteral("Das Aufgabenblatt kann nicht gezeigt werden: das Programm "
                                       "\"%1\" ist nicht installiert.")
                            .arg(QLatin1String(kProgramName)));
    WorksheetHandover handover{request, env.NativeFolder(), options.selfCheck};
    QTemporaryFile requestFile;
    if (!WriteRequestFile(requestFile, handover))
        return complain(QStringLiteral("Das Aufgabenblatt kann nicht gezeigt werden: die Datei %1 "
                                       "kann nicht geschrieben werden.")
                            .arg(requestFile.fileName()));

    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, ProcessArguments({requestFile.fileName()}, options));
    if (!process.waitForStarted())
        return complain(QStringLiteral("Das Aufgabenblatt kann nicht gezeigt werden: %1 lässt sich "
                                       "nicht starten (%2).")
                            .arg(program, process.errorString()));

    // The program's window stays usable while the sheet is shown: a worksheet process that hangs
    // must never hold a teacher's unsaved text. Closing that window closes the sheet with it.
    QPointer<QWidget> window = parent ? parent->window() : nullptr;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    WindowClosedWatch watch(loop);
    if (window) window->installEventFilter(&watch);
    if (process.state() != QProcess::NotRunning) loop.exec();
    if (window) window->removeEventFilter(&watch);
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(kEndWorksheet_ms)) {
            process.kill();
            process.waitForFinished(kEndWorksheet_ms);
        }
        return true;  // closed with its window, which is no failure
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return complain(QStringLiteral("Das Aufgabenblatt wurde mit einem Fehler beendet."));
    return true;
}

int ExportWorksheets(const ProgramEnvironment& env, const std::vector<WorksheetRequest>& requests,
                     const WorksheetLaunchOptions& options, QTextStream& err) {
    auto fail = [&err](const QString& reason) {
        err << "radevir: " << reason << "\n";
        err.flush();
        return 1;
    };
    if (requests.empty()) return 1;
    const QString program = options.program.isEmpty() ? WorksheetProgramPath() : options.program;
    if (program.isEmpty())
        return fail(QStringLiteral("the worksheet program %1 is not installed")
                        .arg(QLatin1String(kProgramName)));
    std::vector<std::unique_ptr<QTemporaryFile>> requestFiles;
    QStringList names;
    for (const WorksheetRequest& request : requests) {
        requestFiles.push_back(std::make_unique<QTemporaryFile>());
        QTemporaryFile& file = *requestFiles.back();
        if (!WriteRequestFile(file, {request, env.NativeFolder(), options.selfCheck}))
            return fail(QStringLiteral("cannot write the request file %1").arg(file.fileName()));
        names << file.fileName();
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(program, ProcessArguments(names, options) << QStringLiteral("--export"));
    if (!process.waitForStarted())
        return fail(QStringLiteral("cannot start %1 (%2)").arg(program, process.errorString()));
    const int timeout_ms =
        kExportTimeout_ms + kExportTimeoutPerSheet_ms * static_cast<int>(requests.size());
    if (!process.waitForFinished(timeout_ms)) {
        process.kill();
        process.waitForFinished();
        return fail(QStringLiteral("%1 did not finish").arg(program));
    }
    // the worksheet process has said why when it failed
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 ? 0 : 1;
}

}  // namespace radevir
