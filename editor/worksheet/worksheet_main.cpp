// The worksheet process: shows the worksheet window for a request the program handed over, or
// (--export) writes the pages and PDFs of any number of requests without a window. It is a process
// of its own because the web engine needs a shared OpenGL context made before the application
// object, which the program itself must never pay for.
#include <unistd.h>
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QTextStream>
#include <QTimer>
#include <QWebEnginePage>
#include <chrono>
#include <functional>
#include <memory>

#include "editor/worksheet/guarded_profile.h"
#include "editor/worksheet/worksheet_handover.h"
#include "editor/worksheet/worksheet_page.h"
#include "editor/worksheet/worksheet_print.h"
#include "editor/worksheet/worksheet_window.h"
#include "support/qt_translations.h"

using namespace radevir;

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitBadStart = 2;
// the window settles (fonts, script) before its picture is taken
constexpr int kScreenshotDelay_ms = 800;

void KeepOnlyCriticalMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        QTextStream(stderr) << "radevir-worksheet: " << text << "\n";
}

bool ReadRequest(const QString& file, WorksheetHandover& handover, QString& error) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read the request file ") + file;
        return false;
    }
    return ReadHandover(in.read(kMaxHandoverBytes + 1), handover, &error);
}

// Once the page is first shown: the buttons pressed in turn, each after the page settled, then
// the window's picture taken and the window closed.
void DriveWindow(WorksheetWindow& window, const WorksheetCommandLine& cl, QTextStream& err) {
    auto steps = std::make_shared<QStringList>(cl.clicks);
    auto next = std::make_shared<std::function<void()>>();
    *next = [&window, &cl, &err, steps, next] {
        if (!steps->isEmpty()) {
            const QString name = steps->takeFirst();
            if (auto* button = window.findChild<QAbstractButton*>(name))
                button->click();
            else
                err << "radevir-worksheet: no button " << name << "\n";
            QTimer::singleShot(kScreenshotDelay_ms, &window, *next);
            return;
        }
        if (!cl.screenshot.isEmpty()) {
            const QPixmap picture = window.screen()->grabWindow(window.winId());
            if (!picture.save(cl.screenshot))
                err << "radevir-worksheet: cannot save " << cl.screenshot << "\n";
        }
        window.close();
    };
    auto started = std::make_shared<bool>(false);
    QObject::connect(&window, &WorksheetWindow::pageShown, &window, [&window, next, started](bool) {
        if (*started) return;
        *started = true;
        QTimer::singleShot(kScreenshotDelay_ms, &window, *next);
    });
}

// No window: the page into its file, then the engine prints it into DIR/<page name>.pdf.
bool ExportSheet(WorksheetHandover handover, GuardedProfile& profile, QWebEnginePage& page,
                 const QString& printTo, std::uint64_t seed, QTextStream& err) {
    for (QString& heading : handover.request.headings) heading += u' ';
    Random random(seed);
    QString error;
    if (!BuildWorksheetPage(handover.request, {handover.selfCheck, kDefaultTableSpacing_pt}, random,
                            &error)) {
        err << "radevir-worksheet: " << error << "\n";
        return false;
    }
    bool loaded = false;
    QEventLoop wait;
    const auto connection =
        QObject::connect(&page, &QWebEnginePage::loadFinished, &wait, [&](bool ok) {
            loaded = ok;
            wait.quit();
        });
    profile.Load(page, handover.request.pagePath);
    wait.exec();
    QObject::disconnect(connection);
    if (!loaded) {
        err << "radevir-worksheet: the page " << handover.request.pagePath << " cannot be shown\n";
        return false;
    }
    const QString pdf = QDir(printTo).absoluteFilePath(
        QFileInfo(handover.request.pagePath).completeBaseName() + QLatin1String(".pdf"));
    if (!PrintPageToPdf(page, pdf, WorksheetPageLayout())) {
        err << "radevir-worksheet: cannot write " << pdf << "\n";
        return false;
    }
    return true;
}

// A week of sheets in one start of the engine: one page loaded and printed after the other. A
// sheet that cannot be made is told and the others are made all the same; the n-th sheet
// shuffles its answers with seed + n.
int ExportSheets(const QStringList& requestFiles, const WorksheetCommandLine& cl,
                 std::uint64_t seed, QTextStream& err) {
    GuardedProfile profile;
    QWebEnginePage page(&profile);
    bool allMade = true;
    for (qsizetype i = 0; i < requestFiles.size(); ++i) {
        WorksheetHandover handover;
        QString error;
        if (!ReadRequest(requestFiles[i], handover, error)) {
            err << "radevir-worksheet: " << error << "\n";
            allMade = false;
            continue;
        }
        if (cl.selfCheck) handover.selfCheck = true;
        const std::uint64_t sheetSeed = seed + static_cast<std::uint64_t>(i);
        if (!ExportSheet(handover, profile, page, cl.printTo, sheetSeed, err)) allMade = false;
        err.flush();
    }
    return allMade ? 0 : kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    const WorksheetCommandLine cl = ParseWorksheetCommandLine(args);
    QTextStream err(stderr);
    if (cl.help) {
        QTextStream(stdout) << WorksheetUsageText();
        return 0;
    }
    if (!cl.error.isEmpty()) {
        err << "radevir-worksheet: " << cl.error << "\n" << WorksheetUsageText();
        return kExitBadStart;
    }
    const bool display = !qEnvironmentVariableIsEmpty("DISPLAY") ||
                         !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
                         !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (!display) {
        if (!cl.exportOnly) {
            err << "radevir-worksheet: no display to show the window on\n";
            return kExitBadStart;
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // the engine's sandbox refuses to run for root; a school's kiosk account may well be root
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QByteArray engineFlags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (cl.exportOnly) {
        // a command making a week of sheets wants to hear of failures only, not of the engine's
        // start-up report or of the graphics it does without
        if (engineFlags.isEmpty()) engineFlags = "--disable-gpu --disable-logging --log-level=3";
        qInstallMessageHandler(KeepOnlyCriticalMessages);
    }
    // What the request guard cannot see: peer connections (UDP, and TCP to relay servers) and
    // the engine's own preconnects. They are sent to a proxy that is not there, loopback
    // included, so a page reaches the network by no way at all. Last, so they win.
    engineFlags +=
        " --force-webrtc-ip-handling-policy=disable_non_proxied_udp"
        " --proxy-server=http://0.0.0.0:9 --proxy-bypass-list=<-loopback>";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", engineFlags.trimmed());
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // the print dialog's and the page's context menu texts in German, like the program's
    InstallGermanQtTexts(app, {QStringLiteral("qtbase"), QStringLiteral("qtwebengine")});
    QCoreApplication::setApplicationName(QStringLiteral("radevir"));
    QCoreApplication::setOrganizationName(QStringLiteral("Zoze"));
    QApplication::setApplicationDisplayName(QStringLiteral("Radevir 3.3"));

    const std::uint64_t seed = cl.seed.value_or(
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    if (cl.exportOnly) return ExportSheets(cl.requestFiles, cl, seed, err);

    WorksheetHandover handover;
    QString error;
    if (!ReadRequest(cl.requestFiles.front(), handover, error)) {
        err << "radevir-worksheet: " << error << "\n";
        return kExitBadStart;
    }
    if (cl.selfCheck) handover.selfCheck = true;

    WorksheetWindow window(handover, seed, cl.printTo);
    window.show();
    window.ShowSheet();
    if (!cl.screenshot.isEmpty() || !cl.clicks.isEmpty()) DriveWindow(window, cl, err);
    return QApplication::exec();
}
