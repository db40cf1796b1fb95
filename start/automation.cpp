#include "start/automation.h"

#include <algorithm>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTextStream>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "start/host_window.h"
#include "support/clock.h"

namespace radevir {
namespace {

// A program that has not taken an input for this long (real time) has hung.
constexpr qint64 kStallMs = 60000;
// While a dialog waits (it sleeps until an event comes, and the program's clock stands still)
// the driver looks round this often instead of at every pass of the event loop.
constexpr int kIdleIntervalMs = 5;
// After the script's last command, the time (on the program's clock) a program that polls for
// keys without waiting for one is given to end by itself.
constexpr double kRunOutGraceMs = 30000;
// Ending the run closes one window per step; a program still not ended after this long (real
// time) is stopped with a message.
constexpr int kWindDownStepMs = 10;
constexpr qint64 kWindDownLimitMs = 30000;

bool SomethingOpenOnTop() {
    return QApplication::activeModalWidget() != nullptr ||
           QApplication::activePopupWidget() != nullptr;
}

}  // namespace

AutomationDriver::AutomationDriver(HostWindow& host, Clock& clock, VirtualClock* virtualClock,
                                   std::vector<ScriptCommand> commands)
    : host_(host), clock_(clock), virtualClock_(virtualClock), commands_(std::move(commands)) {
    timer_.setInterval(BaseIntervalMs());
    connect(&timer_, &QTimer::timeout, this, &AutomationDriver::Tick);
    windDownTimer_.setInterval(kWindDownStepMs);
    connect(&windDownTimer_, &QTimer::timeout, this, &AutomationDriver::WindDown);
}

int AutomationDriver::BaseIntervalMs() const {
    // on virtual time the program's clock runs while it polls: the driver must answer at once
    return virtualClock_ != nullptr ? 0 : 1;
}

void AutomationDriver::Start() {
    qApp->installEventFilter(this);
    sinceProgress_.start();
    timer_.start();
}

void AutomationDriver::ProgramEnded() {
    using Kind = ScriptCommand::Kind;
    while (!finishing_ && next_ < commands_.size()) {
        const Kind kind = commands_[next_].kind;
        if (kind != Kind::Dump && kind != Kind::Screenshot && kind != Kind::Wait) break;
        Execute(commands_[next_++]);
    }
    timer_.stop();
}

int AutomationDriver::ExitCode(int programResult) const {
    return exitCode_ >= 0 ? exitCode_ : programResult;
}

bool AutomationDriver::PreviousInputTaken() const {
    if (host_.ProgramEnded()) return true;
    const bool dialogOpen = QApplication::activeModalWidget() != nullptr;
    if (lastWentToDialog_) {
        // a dialog that closed hands back to the program: its next screen first
        return dialogOpen || host_.GetConsole().LookingForInput() || host_.RunMenuPending();
    }
    if (!lastWentToHost_) return true;
    // The program has gone on to a dialog: a key still queued for the window behind it (typed
    // while the program paused before the dialog) stays there for the program, as a person's
    // key would, and the dialog waits for its own input.
    if (dialogOpen) return true;
    // Taken, and the program has come round to looking for input again: a key that opens a
    // window is followed by input for that window, not for the one behind it.
    const Console& console = host_.GetConsole();
    return console.Keys().Empty() &&
           (console.LookingForInput() || !console.IsActive() || host_.RunMenuPending());
}

bool AutomationDriver::ProgramWaitsForInput() const {
    Console& console = host_.GetConsole();
    return console.WaitingForKey() || SomethingOpenOnTop() || !console.IsActive() ||
           host_.RunMenuPending();
}

void AutomationDriver::Tick() {
    if (Step()) {
        if (timer_.interval() != BaseIntervalMs()) timer_.setInterval(BaseIntervalMs());
        return;
    }
    // Nothing to deliver yet. A dialog sleeps until an event comes and keeps the program's clock
    // still: the driver need not keep a core busy meanwhile. It is woken when a window closes.
    if (!timer_.isActive()) return;
    if (SomethingOpenOnTop() && timer_.interval() != kIdleIntervalMs)
        timer_.setInterval(kIdleIntervalMs);
}

bool AutomationDriver::eventFilter(QObject* watched, QEvent* event) {
    // A dialog or menu closes: the program goes on at once, and on the script's clock a timed
    // wait of its own must not run on while the driver sleeps.
    if (event->type() == QEvent::Hide && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow() && timer_.isActive() &&
        timer_.interval() != BaseIntervalMs()) {
        timer_.setInterval(BaseIntervalMs());
    }
    return QObject::eventFilter(watched, event);
}

bool AutomationDriver::Step() {
    if (finishing_ || executionQueued_) return false;
    if (host_.ProgramEnded()) {
        timer_.stop();
        return false;
    }
    // nothing is delivered before the program loop has started (again)
    if (host_.RunMenuPending()) {
        if (sinceProgress_.elapsed() > kStallMs)
            Finish(2, QStringLiteral("the program did not start"));
        return false;
    }
    if (!PreviousInputTaken()) {
        if (sinceProgress_.elapsed() > kStallMs) {
            const int line = next_ > 0 ? commands_[next_ - 1].line : 0;
            Finish(2,
                   QStringLiteral("script line %1: the program did not take the input").arg(line));
        }
        return false;
    }
    if (next_ >= commands_.size()) {
        // The script ran out: end once the program waits for input again. A program that only
        // looks for a key between the steps of what it shows may be finishing by itself (a
        // message shown for a while, the options saved at the end) or may go on for ever (a
        // blinking gap): it gets a while on its own clock first.
        if (ranOutAtMs_ < 0) ranOutAtMs_ = clock_.NowMs();
        const bool pollingForLong =
            host_.GetConsole().LookingForInput() && clock_.NowMs() - ranOutAtMs_ > kRunOutGraceMs;
        if (ProgramWaitsForInput() || pollingForLong) {
            Finish(3);
            return true;
        }
        if (sinceProgress_.elapsed() > kStallMs)
            Finish(2, QStringLiteral("the program did not come back for input after the script"));
        return false;
    }
    if (clock_.NowMs() < scriptTimeMs_) {
        if (virtualClock_ != nullptr && ProgramWaitsForInput()) {
            virtualClock_->AdvanceTo(scriptTimeMs_);
        } else {
            return false;
        }
    }
    const ScriptCommand command = commands_[next_++];
    sinceProgress_.restart();
    // Run the command from the event loop, not from inside this timer: a command that opens a
    // modal dialog blocks until the dialog closes, and the timer must go on ticking meanwhile.
    executionQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this, command] {
            executionQueued_ = false;
            if (!finishing_) Execute(command);
        },
        Qt::QueuedConnection);
    return true;
}

QWidget* AutomationDriver::InputTarget() const {
    // an open menu takes the keys, even in front of a modal window
    if (QWidget* popup = QApplication::activePopupWidget()) return popup;
    if (QWidget* modal = QApplication::activeModalWidget()) {
        QWidget* focus = QApplication::focusWidget();
        if (focus != nullptr && focus->window() == modal) return focus;
        // not yet activated: the widget that will get the focus
        if (QWidget* pending = modal->focusWidget()) return pending;
        return modal;
    }
    QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && focus->window() != &host_ && focus->isVisible()) return focus;
    return &host_;
}

void AutomationDriver::Execute(const ScriptCommand& command) {
    using Kind = ScriptCommand::Kind;
    switch (command.kind) {
        case Kind::Key:
            SendKey(command);
            break;
        case Kind::Click:
            SendMouse(QEvent::MouseButtonPress, QPoint(command.x, command.y), false);
            SendMouse(QEvent::MouseButtonRelease, QPoint(command.x, command.y), false);
            break;
        case Kind::ClickCell:
            SendMouse(QEvent::MouseButtonPress, QPoint(command.x, command.y), true);
            SendMouse(QEvent::MouseButtonRelease, QPoint(command.x, command.y), true);
            break;
        case Kind::MouseDown:
            SendMouse(QEvent::MouseButtonPress, QPoint(command.x, command.y), false);
            break;
        case Kind::MouseMove:
            SendMouse(QEvent::MouseMove, QPoint(command.x, command.y), false);
            break;
        case Kind::MouseUp:
            SendMouse(QEvent::MouseButtonRelease, QPoint(command.x, command.y), false);
            break;
        case Kind::Wait:
            scriptTimeMs_ += command.x;
            break;
        case Kind::Resize:
            lastWentToHost_ = false;
            lastWentToDialog_ = false;
            host_.resize(command.x, command.y);
            break;
        case Kind::Close:
            CloseFrontWindow();
            break;
        case Kind::Screenshot: {
            const QImage shot = Screenshot();
            if (!shot.save(command.text, "PNG"))
                Finish(2, QStringLiteral("script line %1: cannot write %2")
                              .arg(command.line)
                              .arg(command.text));
            break;
        }
        case Kind::Dump: {
            QFile file(command.text);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                Finish(2, QStringLiteral("script line %1: cannot write %2")
                              .arg(command.line)
                              .arg(command.text));
                break;
            }
            const std::string dump = host_.GetConsole().Trace().Dump();
            file.write(dump.data(), static_cast<qint64>(dump.size()));
            break;
        }
        case Kind::Quit:
            Finish(3);
            break;
    }
}

void AutomationDriver::CloseFrontWindow() {
    QWidget* front = QApplication::activePopupWidget();
    if (front == nullptr) front = QApplication::activeModalWidget();
    lastWentToHost_ = front == nullptr;
    lastWentToDialog_ = !lastWentToHost_;
    if (front != nullptr) {
        front->close();
    } else {
        host_.close();
    }
}

void AutomationDriver::SendKeyEvent(QWidget* target, QEvent::Type type, int qtKey,
                                    Qt::KeyboardModifiers modifiers, const QString& text) {
    QKeyEvent event(type, qtKey, modifiers, text);
    QApplication::sendEvent(target, &event);
}

void AutomationDriver::SendKey(const ScriptCommand& command) {
    QWidget* target = InputTarget();
    lastWentToHost_ = target == &host_;
    lastWentToDialog_ = SomethingOpenOnTop() && target != &host_;
    QPointer<QWidget> guard(target);
    // the modifiers go down first and come up last, each as a key of its own, as a keyboard
    // sends them (the host window tracks Alt that way); Shift on a letter is part of the letter
    struct Held {
        Qt::KeyboardModifier modifier;
        int qtKey;
    };
    static constexpr Held kHeld[] = {{Qt::ControlModifier, Qt::Key_Control},
                                     {Qt::AltModifier, Qt::Key_Alt}};
    Qt::KeyboardModifiers down;
    if (command.modifiers.testAnyFlags(Qt::ControlModifier | Qt::AltModifier)) {
        for (const Held& h : kHeld) {
            if (!command.modifiers.testFlag(h.modifier) || !guard) continue;
            down |= h.modifier;
            SendKeyEvent(guard.data(), QEvent::KeyPress, h.qtKey, down, {});
        }
    }
    const bool desktopClose =
        command.qtKey == Qt::Key_F4 && command.modifiers.testFlag(Qt::AltModifier);
    if (desktopClose) {
        // the desktop takes Alt+F4 for itself and asks the window in front to close
        CloseFrontWindow();
    } else if (guard) {
        SendKeyEvent(guard.data(), QEvent::KeyPress, command.qtKey, command.modifiers,
                     command.text);
        if (guard)
            SendKeyEvent(guard.data(), QEvent::KeyRelease, command.qtKey, command.modifiers,
                         command.text);
    }
    for (auto h = std::rbegin(kHeld); h != std::rend(kHeld); ++h) {
        if (!down.testFlag(h->modifier)) continue;
        down &= ~Qt::KeyboardModifiers(h->modifier);
        // let go where the keyboard now is: the window in front may have changed
        QWidget* now = guard ? guard.data() : InputTarget();
        SendKeyEvent(now, QEvent::KeyRelease, h->qtKey, down, {});
    }
}

QPoint AutomationDriver::ToClient(QPoint vga, bool cell) const {
    Console& console = host_.GetConsole();
    if (cell) {
        const QPoint origin =
            console.Graphics().graphicsMode ? console.Geometry().virtualOrigin : QPoint();
        return origin + QPoint((vga.x() - 1) * console.CellWidth() + console.CellWidth() / 2,
                               (vga.y() - 1) * console.CellHeight() + console.CellHeight() / 2);
    }
    if (console.Graphics().graphicsMode) return console.Geometry().VgaToPixel(vga);
    const QSize client = host_.ClientSize();
    return QPoint(vga.x() * client.width() / 640, vga.y() * client.height() / 480);
}

void AutomationDriver::SendMouse(QEvent::Type type, QPoint vga, bool cell) {
    const QPoint client = ToClient(vga, cell);
    const QPoint global = host_.mapToGlobal(client);
    QWidget* target = &host_;
    // an open menu gets the mouse wherever it is (a click beside it closes it), a modal window
    // everything over it
    QWidget* front = QApplication::activePopupWidget();
    if (front == nullptr) front = QApplication::activeModalWidget();
    if (front != nullptr) {
        QWidget* under = QApplication::widgetAt(global);
        target = (under != nullptr && under->window() == front) ? under : front;
    }
    lastWentToHost_ = target == &host_;
    lastWentToDialog_ = front != nullptr && target != &host_;
    if (type == QEvent::MouseButtonPress) buttons_ |= Qt::LeftButton;
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    if (type == QEvent::MouseButtonRelease) buttons_ &= ~Qt::MouseButtons(Qt::LeftButton);
    const QPointF local = target->mapFromGlobal(QPointF(global));
    QMouseEvent event(type, local, QPointF(global), button, buttons_, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

QImage AutomationDriver::Screenshot() const {
    // the window as it paints itself (its picture and any panels on it)
    QImage shot = host_.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QPainter p(&shot);
    const QPoint hostOrigin = host_.mapToGlobal(QPoint(0, 0));
    // a window over its owner: a dialog of the editor after the editor
    QWidgetList windows = QApplication::topLevelWidgets();
    const auto owners = [](const QWidget* w) {
        int n = 0;
        for (const QWidget* p = w->parentWidget(); p != nullptr; p = p->window()->parentWidget())
            ++n;
        return n;
    };
    // the window that has the input (the last one opened) lies on top of its siblings
    const QWidget* front = QApplication::activeModalWidget();
    if (front == nullptr) front = QApplication::activeWindow();
    const auto layer = [&](const QWidget* w) { return w == front ? 1 << 16 : owners(w); };
    std::stable_sort(windows.begin(), windows.end(),
                     [&](const QWidget* a, const QWidget* b) { return layer(a) < layer(b); });
    for (QWidget* w : windows) {
        if (w == &host_ || !w->isVisible() || w->isMinimized()) continue;
        const QPoint at = w->mapToGlobal(QPoint(0, 0)) - hostOrigin;
        p.drawPixmap(at, w->grab());
    }
    return shot;
}

void AutomationDriver::Finish(int exitCode, const QString& message) {
    if (finishing_) return;
    finishing_ = true;
    exitCode_ = exitCode;
    timer_.stop();
    if (!message.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(message));
    // The program unwinds at its next look for a key. Every event loop now running (a dialog's,
    // the wait for the worksheet's process) returns, and a dialog opened while the program
    // unwinds returns at once; what is still shown is closed step by step from the event loop,
    // never from inside a question it raises.
    host_.GetConsole().RequestClose();
    QCoreApplication::exit(exitCode);
    sinceFinish_.start();
    windDownTimer_.start();
    WindDown();
}

void AutomationDriver::WindDown() {
    Console& console = host_.GetConsole();
    if (host_.ProgramEnded() || !console.IsActive() || host_.RunMenuPending()) {
        windDownTimer_.stop();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != &host_ && w->isVisible()) w->hide();
        console.Deactivate();
        host_.close();
        QCoreApplication::exit(exitCode_);
        return;
    }
    // a restart asked for meanwhile (a resize) must not turn the end into a restart
    console.RequestClose();
    if (sinceFinish_.elapsed() > kWindDownLimitMs) {
        std::fprintf(stderr, "the program did not end after the script; stopped\n");
        std::fflush(stderr);
        std::_Exit(2);
    }
    if (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
    } else if (QWidget* modal = QApplication::activeModalWidget()) {
        // a dialog is cancelled; a window the program waits on (the editor) is put away without
        // its questions: the files on disk stay as they are
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->hide();
        }
    }
}

}  // namespace radevir
