// The script language of --script: one command per line, parsed into the input, wait and
// picture commands the automation driver carries out.
#pragma once

#include <QString>
#include <Qt>
#include <vector>

namespace radevir {

struct ScriptCommand {
    enum class Kind {
        Key,
        Click,
        MouseDown,
        MouseMove,
        MouseUp,
        ClickCell,
        Wait,
        Resize,
        Close,
        Screenshot,
        Dump,
        Quit
    };
    Kind kind = Kind::Key;
    int line = 0;
    int qtKey = 0;
    Qt::KeyboardModifiers modifiers;
    QString text;  // the key's text, or a file name
    int x = 0, y = 0;
};

// Parses a script; on an error returns false with a message naming the line.
bool ParseScript(const QString& content, std::vector<ScriptCommand>& commands, QString& error);

// The key and its text for a script key name ("a", "Enter", "F10", …); false when unknown.
bool KeyForName(const QString& name, int& qtKey, Qt::KeyboardModifiers& modifiers, QString& text);

}  // namespace radevir
