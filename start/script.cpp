#include "start/script.h"

#include <QStringList>
#include <utility>

namespace radevir {
namespace {

// More presses of one key than any screen needs; a larger count is a mistake in the script.
constexpr int kMaxKeyRepeat = 10000;

struct NamedKey {
    const char* name;
    int qtKey;
    const char* text;
};
constexpr NamedKey kNamedKeys[] = {
    {"Enter", Qt::Key_Return, "\r"}, {"Esc", Qt::Key_Escape, "\x1b"},
    {"Tab", Qt::Key_Tab, "\t"},      {"Backspace", Qt::Key_Backspace, "\b"},
    {"Space", Qt::Key_Space, " "},   {"Up", Qt::Key_Up, ""},
    {"Down", Qt::Key_Down, ""},      {"Left", Qt::Key_Left, ""},
    {"Right", Qt::Key_Right, ""},    {"Home", Qt::Key_Home, ""},
    {"End", Qt::Key_End, ""},        {"PgUp", Qt::Key_PageUp, ""},
    {"PgDn", Qt::Key_PageDown, ""},  {"Insert", Qt::Key_Insert, ""},
    {"Delete", Qt::Key_Delete, ""},
};

bool PlainKeyForName(const QString& name, int& qtKey, Qt::KeyboardModifiers& modifiers,
                     QString& text) {
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

struct NamedModifier {
    const char* prefix;
    Qt::KeyboardModifier modifier;
};
constexpr NamedModifier kModifiers[] = {
    {"Ctrl+", Qt::ControlModifier}, {"Alt+", Qt::AltModifier}, {"Shift+", Qt::ShiftModifier}};

// Takes the modifier prefixes off `name` ("Ctrl+Shift+Z" leaves "Z"); a lone "+" after them is
// the plus key.
Qt::KeyboardModifiers TakeModifiers(QString& name) {
    Qt::KeyboardModifiers taken;
    for (bool found = true; found;) {
        found = false;
        for (const NamedModifier& m : kModifiers) {
            const QLatin1String prefix(m.prefix);
            if (name.size() > prefix.size() && name.startsWith(prefix)) {
                taken |= m.modifier;
                name = name.mid(prefix.size());
                found = true;
            }
        }
    }
    return taken;
}

}  // namespace

bool KeyForName(const QString& name, int& qtKey, Qt::KeyboardModifiers& modifiers, QString& text) {
    QString base = name;
    const Qt::KeyboardModifiers held = TakeModifiers(base);
    if (!PlainKeyForName(base, qtKey, modifiers, text)) return false;
    if (held == Qt::NoModifier) return true;
    // what the keyboard sends with the modifiers held: "Ctrl+S" is the S key, its text the
    // control character; Shift makes a letter upper case
    modifiers = held;
    const bool letter = qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z;
    if (letter) {
        const QChar lower = QChar(static_cast<char16_t>(u'a' + (qtKey - Qt::Key_A)));
        text = held.testFlag(Qt::ShiftModifier) ? QString(lower.toUpper()) : QString(lower);
        if (held.testFlag(Qt::ControlModifier))
            text = QString(QChar(static_cast<char16_t>(qtKey - Qt::Key_A + 1)));
    }
    // Shift+Tab is the back tab of every toolkit; it types nothing
    if (qtKey == Qt::Key_Tab && held.testFlag(Qt::ShiftModifier)) {
        qtKey = Qt::Key_Backtab;
        text.clear();
    }
    return true;
}

namespace {

// One script line cut into its verb and arguments.
struct ScriptLine {
    int number = 0;
    QString raw;  // without the line end
    QString verb;
    QString rest;  // the trimmed text after the verb
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
            if (n < 1 || n > kMaxKeyRepeat)
                return QStringLiteral("repeat count must be from 1 to %1").arg(kMaxKeyRepeat);
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
    cmd.kind =
        l.verb == QLatin1String("close") ? ScriptCommand::Kind::Close : ScriptCommand::Kind::Quit;
    out.push_back(cmd);
    return {};
}

LineParser ParserOf(const QString& verb) {
    static const std::pair<const char*, LineParser> kParsers[] = {
        {"key", ParseKeyLine},          {"type", ParseTypeLine},       {"click", ParsePointLine},
        {"click-cell", ParsePointLine}, {"resize", ParsePointLine},    {"mouse", ParseMouseLine},
        {"wait", ParseWaitLine},        {"screenshot", ParseFileLine}, {"dump", ParseFileLine},
        {"close", ParseBareLine},       {"quit", ParseBareLine},
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
        const QString why =
            parser ? parser(l, cmd, commands) : QStringLiteral("unknown command: ") + l.verb;
        if (!why.isEmpty()) {
            error = QStringLiteral("script line %1: %2").arg(l.number).arg(why);
            return false;
        }
    }
    return true;
}

}  // namespace radevir
