#include "start/application.h"

#include <QEvent>
#include <QMetaEnum>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <vector>

#include "console/console.h"
#include "support/qt_translations.h"

namespace radevir {
namespace {

constexpr int kExitNoDisplay = 2;

QString EventName(const QEvent* event) {
    if (event == nullptr) return QStringLiteral("no event");
    const char* name = QMetaEnum::fromType<QEvent::Type>().valueToKey(event->type());
    return name ? QString::fromLatin1(name) : QStringLiteral("event %1").arg(int(event->type()));
}

QString ReceiverName(const QObject* receiver) {
    if (receiver == nullptr) return QStringLiteral("nothing");
    QString name = QString::fromLatin1(receiver->metaObject()->className());
    if (!receiver->objectName().isEmpty()) name += " \"" + receiver->objectName() + "\"";
    return name;
}

void LogToStderr(const QString& line) {
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

// Messages Qt gives while it opens the display: kept back until it is clear whether the
// display could be opened at all.
struct HeldMessage {
    QtMsgType type = QtDebugMsg;
    int line = 0;
    QString text;
    QByteArray file, function, category;
};
std::vector<HeldMessage>* heldMessages = nullptr;

void HoldOrFail(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        LogToStderr(QStringLiteral("radevir: the window cannot be shown: no display could be opened"));
        std::_Exit(kExitNoDisplay);
    }
    if (heldMessages == nullptr) return;
    heldMessages->push_back(
        HeldMessage{type, context.line, text, context.file, context.function, context.category});
}

}  // namespace

bool DispatchDroppingExceptions(const std::function<bool()>& dispatch, const QObject* receiver,
                                const QEvent* event, const std::function<void(const QString&)>& log) {
    const auto dropped = [&](const QString& what) {
        log(QStringLiteral("radevir: dropped an error in the handling of %1 for %2: %3")
                .arg(EventName(event), ReceiverName(receiver), what));
    };
    try {
        return dispatch();
    } catch (const AbortRequestedError&) {
        // still requested: the running program unwinds at its next wait
    } catch (const std::exception& e) {
        dropped(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        dropped(QStringLiteral("unknown exception"));
    }
    return false;
}

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    return DispatchDroppingExceptions([&] { return QApplication::notify(receiver, event); },
                                      receiver, event, LogToStderr);
}

std::unique_ptr<GuardedApplication> OpenApplicationOnDisplay(int& argc, char** argv) {
    std::vector<HeldMessage> held;
    heldMessages = &held;
    const QtMessageHandler previous = qInstallMessageHandler(HoldOrFail);
    auto app = std::make_unique<GuardedApplication>(argc, argv);
    qInstallMessageHandler(previous);
    heldMessages = nullptr;
    // Qt's own buttons and file dialog columns speak German like the rest of the program
    InstallGermanQtTexts(*app);
    for (HeldMessage& m : held) {
        const QMessageLogContext context(m.file.isEmpty() ? nullptr : m.file.constData(),
                                         m.line,
                                         m.function.isEmpty() ? nullptr : m.function.constData(),
                                         m.category.isEmpty() ? nullptr : m.category.constData());
        qt_message_output(m.type, context, m.text);
    }
    return app;
}

}  // namespace radevir
