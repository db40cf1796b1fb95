// Starting the real program as a process, the way a person or a script starts it.
#pragma once

#include <QByteArray>
#include <QStringList>

namespace radevir::test {

enum class Display {
    Offscreen,  // QT_QPA_PLATFORM=offscreen, as every other test runs
    None,       // DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM unset: ssh or a plain terminal
};

struct ProgramResult {
    int exitCode = -1;  // -1 when the program crashed or had to be killed
    QByteArray output;
    QByteArray errors;
};

// Makes `folder` a program folder of its own: the kit's entries linked in, "bgi7" a real folder
// of links (the program writes its recent lists there), no option files. Returns `folder`.
QString LinkKitInto(const QString& folder);

// Runs the built program (the one in the kit folder) with `arguments` and waits for its end.
ProgramResult RunProgram(const QStringList& arguments, Display display = Display::Offscreen,
                         int timeout_ms = 120000);

}  // namespace radevir::test
