#include "start/automation.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextStream>
#include <QPointer>
#include <QWindow>
#include <cstdio>

#include "start/host_window.h"
#include "support/clock.h"

namespace radevir {
namespace {

// A program that has not taken an input for this long (real time) has hung.
constexpr qint64 kStallMs = 60000;

struct NamedKey {
    const char* name;
    int qtKey;
    const char* text;
};
constexpr NamedKey kNamedKeys[] = {
    {"Enter", Qt::Key_Return, "\r"},   {"Esc", Qt::Key_Escape, "\x1b"},
    {"Tab", Qt::Key_Tab, "\t"},        {"Backspace", Qt::Key_Backspace, "\b"},
    {"Space", Qt::Key_Space, " "},     {"Up", Qt::Key_Up, ""},
    {"Down", Qt::Key_Down, ""},        {"Left", Qt::Key_Left, ""},
    {"Right", Qt::Key_Right, ""},      {"Home", Qt::Key_Home, ""},
    {"End", Qt::Key_End, ""},          {"PgUp", Qt::Key_PageUp, ""},
    {"PgDn", Qt::Key_PageDown, ""},    {"Insert", Qt::Key_Insert, ""},
    {"Delete", Qt::Key_Delete, ""},
};

}  // namespace

bool KeyForName(const QString& name, int& qtKey, Qt::KeyboardModifiers& modifiers, QString& text) {
    modifiers = Qt::NoModifier;
    for (const NamedKey& k : kNamedKeys) {
        if (name == QLatin1String(k.name)) {
            qtKey = k.qtKey;
            text = QString::fromLatin1(k.text);
            return true;
        }
    }
    if (name.size() >= 2 && name[0] == QLatin1Char('F')) {
        bool ok = false;
        const int n = name.mid(1).toInt(&ok);
        if (ok && n >= 1 && n <= 12) {
            qtKey = Qt::Key_F1 + (n - 1);
            text.clear();
            return true;
        }
    }
    const QList<uint> chars = name.toUcs4();
    if (chars.size() != 1) return false;
    const char32_t c = chars[0];
    text = name;
    const QString upper = name.toUpper();
    const QList<uint> up = upper.toUcs4();
    qtKey = (up.size() == 1 && up[0] < 0x100) ? static_cast<int>(up[0]) : Qt::Key_unknown;
    if (c == U' ') qtKey = Qt::Key_Space;
    if (upper == name && name.toLower() != name) modifiers = Qt::ShiftModifier;
    return true;
}

namespace {

// One script line cut into its verb and arguments.
struct ScriptLine {
    int number = 0;
    QString raw;    // without the line end
    QString verb;
    QString rest;   // the trimmed text after the verb
    QStringList args;
};

// Each parser appends the line's commands and returns why it could not, or nothing.
using LineParser = QString (*)(const ScriptLine&, ScriptCommand, std::vector<ScriptCommand>&);

bool WholeNumbers(const QStringList& args, int count, std::vector<int>& out) {
    if (args.size() != count) return false;
    for (const QString& a : args) {
        bool ok = false;
        const int v = a.toInt(&ok);
        if (!ok) return false;
        out.push_back(v);
    }
    return true;
}

QString ParseKeyLine(const ScriptLine& l, ScriptCommand cmd, std::vector<ScriptCommand>& out) {
    // "key x" may name the blank itself, so take the raw text after the verb
    QString name = l.raw.mid(l.raw.indexOf(QLatin1String("key")) + 4);
    int repeat = 1;
    const qsizetype xs = name.lastIndexOf(QLatin1String(" x"));
    if (xs > 0) {
        bool ok = false;
        const int n = name.mid(xs + 2).trimmed().toInt(&ok);
        if (ok) {
            if (n < 1) return QStringLiteral("repeat count must be at least 1");
            repeat = n;
            name = name.left(xs);
        }
    }
    if (name.size() > 1) name = name.trimmed();
    if (name.isEmpty()) return QStringLiteral("key needs a name");
    cmd.kind = ScriptCommand::Kind::Key;
    if (!KeyForName(name, cmd.qtKey, cmd.modifiers, cmd.text))
        return QStringLiteral("unknown key name: ") + name;
    for (int k = 0; k < repeat; ++k) out.push_back(cmd);
    return {};
}

QString ParseTypeLine(const ScriptLine& l, ScriptCommand cmd, std::vector<ScriptCommand>& out) {
    const QString text = l.raw.mid(l.raw.indexOf(QLatin1String("type")) + 5);
    cmd.kind = ScriptCommand::Kind::Key;
    for (const uint c : text.toUcs4()) {
        ScriptCommand typed = cmd;
        KeyForName(QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1), typed.qtKey,
                   typed.modifiers, typed.text);
        out.push_back(typed);
    }
    return {};
}

QString ParsePointLine(const ScriptLine& l, ScriptCommand cmd, std::vector<ScriptCommand>& out) {
    std::vector<int> v;
    if (!WholeNumbers(l.args, 2, v)) return l.verb + QStringLiteral(" needs two numbers");
    cmd.kind = l.verb == QLatin1String("click")        ? ScriptCommand::Kind::Click
               : l.verb == QLatin1String("click-cell") ? ScriptCommand::Kind::ClickCell
                                                       : ScriptCommand::Kind::Resize;
    cmd.x = v[0];
    cmd.y = v[1];
    if (cmd.kind == ScriptCommand::Kind::Resize && (cmd.x < 80 || cmd.y < 50))
        return QStringLiteral("resize needs at least 80 50");
    out.push_back(cmd);
    return {};
}

QString ParseMouseLine(const ScriptLine& l, ScriptCommand cmd, std::vector<ScriptCommand>& out) {
    if (l.args.size() != 3) return QStringLiteral("mouse needs down|move|up X Y");
    std::vector<int> v;
    if (!WholeNumbers(l.args.mid(1), 2, v)) return QStringLiteral("mouse needs two numbers");
    cmd.x = v[0];
    cmd.y = v[1];
    const QString& what = l.args[0];
    if (what == QLatin1String("down")) {
        cmd.kind = ScriptCommand::Kind::MouseDown;
    } else if (what == QLatin1String("move")) {
        cmd.kind = ScriptCommand::Kind::MouseMove;
    } else if (what == QLatin1String("up")) {
        cmd.kind = ScriptCommand::Kind::MouseUp;
    } else {
        return QStringLiteral("mouse needs down, move or up");
    }
    out.push_back(cmd);
    return {};
}

QString ParseWaitLine(const ScriptLine& l, ScriptCommand cmd, std::vector<ScriptCommand>& out) {
    std::vector<int> v;
    if (!WholeNumbers(l.args, 1, v) || v[0] < 0) return QStringLiteral("wait needs milliseconds");
    cmd.kind = ScriptCommand::Kind::Wait;
    cmd.x = v[0];
    out.push_back(cmd);
    return {};
}

QString ParseFileLine(const ScriptLine& l, ScriptCommand cmd, std::vector<ScriptCommand>& out) {
    if (l.rest.isEmpty()) return l.verb + QStringLiteral(" needs a file name");
    cmd.kind = l.verb == QLatin1String("dump") ? ScriptCommand::Kind::Dump
                                               : ScriptCommand::Kind::Screenshot;
    cmd.text = l.rest;
    out.push_back(cmd);
    return {};
}

QString ParseBareLine(const ScriptLine& l, ScriptCommand cmd, std::vector<ScriptCommand>& out) {
    if (!l.rest.isEmpty()) return l.verb + QStringLiteral(" takes no arguments");
    cmd.kind = l.verb == QLatin1String("close") ? ScriptCommand::Kind::Close
                                                : ScriptCommand::Kind::Quit;
    out.push_back(cmd);
    return {};
}

LineParser ParserOf(const QString& verb) {
    static const std::pair<const char*, LineParser> kParsers[] = {
        {"key", ParseKeyLine},         {"type", ParseTypeLine},       {"click", ParsePointLine},
        {"click-cell", ParsePointLine}, {"resize", ParsePointLine},   {"mouse", ParseMouseLine},
        {"wait", ParseWaitLine},       {"screenshot", ParseFileLine}, {"dump", ParseFileLine},
        {"close", ParseBareLine},      {"quit", ParseBareLine},
    };
    for (const auto& [name, parser] : kParsers)
        if (verb == QLatin1String(name)) return parser;
    return nullptr;
}

}  // namespace

bool ParseScript(const QString& content, std::vector<ScriptCommand>& commands, QString& error) {
    const QStringList lines = content.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        ScriptLine l;
        l.number = static_cast<int>(i + 1);
        l.raw = lines[i];
        if (l.raw.endsWith(QLatin1Char('\r'))) l.raw.chop(1);
        const QString trimmed = l.raw.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#'))) continue;
        const qsizetype space = trimmed.indexOf(QLatin1Char(' '));
        l.verb = space < 0 ? trimmed : trimmed.left(space);
        l.rest = space < 0 ? QString() : trimmed.mid(space + 1);
        l.args = l.rest.split(QLatin1Char(' '), Qt::SkipEmptyParts);

        ScriptCommand cmd;
        cmd.line = l.number;
        const LineParser parser = ParserOf(l.verb);
        const QString why = parser ? parser(l, cmd, commands) : QStringLiteral("unknown command: ") + l.verb;
        if (!why.isEmpty()) {
            error = QStringLiteral("script line %1: %2").arg(l.number).arg(why);
            return false;
        }
    }
    return true;
}

AutomationDriver::AutomationDriver(HostWindow& host, Clock& clock, VirtualClock* virtualClock,
                                   std::vector<ScriptCommand> commands)
    : host_(host), clock_(clock), virtualClock_(virtualClock), commands_(std::move(commands)) {
    timer_.setInterval(virtualClock_ != nullptr ? 0 : 1);
    connect(&timer_, &QTimer::timeout, this, &AutomationDriver::Tick);
}

void AutomationDriver::Start() {
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
    if (!lastWentToHost_) return true;
    return host_.GetConsole().Keys().Empty() || host_.ProgramEnded();
}

bool AutomationDriver::ProgramWaitsForInput() const {
    Console& console = host_.GetConsole();
    return console.WaitingForKey() || QApplication::activeModalWidget() != nullptr ||
           !console.IsActive() || host_.RunMenuPending();
}

void AutomationDriver::Tick() {
    if (finishing_ || executionQueued_) return;
    if (host_.ProgramEnded()) {
        timer_.stop();
        return;
    }
    // nothing is delivered before the program loop has started (again)
    if (host_.RunMenuPending()) {
        if (sinceProgress_.elapsed() > kStallMs) Finish(2, QStringLiteral("the program did not start"));
        return;
    }
    if (!PreviousInputTaken()) {
        if (sinceProgress_.elapsed() > kStallMs) {
            const int line = next_ > 0 ? commands_[next_ - 1].line : 0;
            Finish(2, QStringLiteral("script line %1: the program did not take the input").arg(line));
        }
        return;
    }
    if (next_ >= commands_.size()) {
        // the script ran out: end once the program waits for input again
        if (ProgramWaitsForInput()) Finish(3);
        return;
    }
    if (clock_.NowMs() < scriptTimeMs_) {
        if (virtualClock_ != nullptr && ProgramWaitsForInput()) {
            virtualClock_->AdvanceTo(scriptTimeMs_);
        } else {
            return;
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
}

QWidget* AutomationDriver::InputTarget() const {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        QWidget* focus = QApplication::focusWidget();
        if (focus != nullptr && focus->window() == modal) return focus;
        // not yet activated: the widget that will get the focus
        if (QWidget* pending = modal->focusWidget()) return pending;
        return modal;
    }
    if (QWidget* popup = QApplication::activePopupWidget()) return popup;
    QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && focus->window() != &host_ && focus->isVisible()) return focus;
    return &host_;
}

void AutomationDriver::Execute(const ScriptCommand& command) {
    using Kind = ScriptCommand::Kind;
    switch (command.kind) {
        case Kind::Key: SendKey(command); break;
        case Kind::Click:
            SendMouse(QEvent::MouseButtonPress, QPoint(command.x, command.y), false);
            SendMouse(QEvent::MouseButtonRelease, QPoint(command.x, command.y), false);
            break;
        case Kind::ClickCell:
            SendMouse(QEvent::MouseButtonPress, QPoint(command.x, command.y), true);
            SendMouse(QEvent::MouseButtonRelease, QPoint(command.x, command.y), true);
            break;
        case Kind::MouseDown: SendMouse(QEvent::MouseButtonPress, QPoint(command.x, command.y), false); break;
        case Kind::MouseMove: SendMouse(QEvent::MouseMove, QPoint(command.x, command.y), false); break;
        case Kind::MouseUp: SendMouse(QEvent::MouseButtonRelease, QPoint(command.x, command.y), false); break;
        case Kind::Wait: scriptTimeMs_ += command.x; break;
        case Kind::Resize:
            lastWentToHost_ = false;
            host_.resize(command.x, command.y);
            break;
        case Kind::Close:
            lastWentToHost_ = QApplication::activeModalWidget() == nullptr;
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modal->close();
            } else {
                host_.close();
            }
            break;
        case Kind::Screenshot: {
            const QImage shot = Screenshot();
            if (!shot.save(command.text, "PNG"))
                Finish(2, QStringLiteral("script line %1: cannot write %2").arg(command.line).arg(command.text));
            break;
        }
        case Kind::Dump: {
            QFile file(command.text);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                Finish(2, QStringLiteral("script line %1: cannot write %2").arg(command.line).arg(command.text));
                break;
            }
            const std::string dump = host_.GetConsole().Trace().Dump();
            file.write(dump.data(), static_cast<qint64>(dump.size()));
            break;
        }
        case Kind::Quit: Finish(3); break;
    }
}

void AutomationDriver::SendKey(const ScriptCommand& command) {
    QWidget* target = InputTarget();
    lastWentToHost_ = target == &host_;
    QKeyEvent press(QEvent::KeyPress, command.qtKey, command.modifiers, command.text);
    QKeyEvent release(QEvent::KeyRelease, command.qtKey, command.modifiers, command.text);
    QPointer<QWidget> guard(target);
    QApplication::sendEvent(target, &press);
    if (guard) QApplication::sendEvent(guard.data(), &release);
}

QPoint AutomationDriver::ToClient(QPoint vga, bool cell) const {
    Console& console = host_.GetConsole();
    if (cell) {
        const QPoint origin = console.Graphics().graphicsMode ? console.Geometry().virtualOrigin : QPoint();
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
    if (QWidget* modal = QApplication::activeModalWidget()) {
        QWidget* under = QApplication::widgetAt(global);
        target = (under != nullptr && under->window() == modal) ? under : modal;
    }
    lastWentToHost_ = target == &host_;
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
    for (QWidget* w : QApplication::topLevelWidgets()) {
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
    // close dialogs, then unwind the running program and close the window
    for (int guard = 0; guard < 16; ++guard) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) break;
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
    }
    Console& console = host_.GetConsole();
    console.RequestClose();
    if (!console.IsActive() || host_.RunMenuPending()) {
        console.Deactivate();
        host_.close();
        QCoreApplication::exit(exitCode);
    }
}

}  // namespace radevir
