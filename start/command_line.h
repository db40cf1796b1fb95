// The program's command line, and how the program starts for it (with or without a window).
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace radevir {

// The largest window side --size accepts: beyond it the framebuffer and its screen pages
// would ask for gigabytes.
constexpr int kMaxClientSide_px = 16384;
constexpr int kMinClientWidth_px = 80;
constexpr int kMinClientHeight_px = 50;

struct CommandLine {
    QString dataDir;                         // --data DIR
    QString settingsFile;                    // --settings FILE
    QString scriptFile;                      // --script FILE
    bool realTime = false;                   // --real-time
    std::optional<std::uint64_t> seed;       // --seed N
    QSize size;                              // --size WxH (client size)
    QString audio = QStringLiteral("auto");  // --audio auto|null|disk:FILE
    QString printTo;                         // --print-to DIR
    std::optional<QString> speak;            // --speak TEXT
    QString printPicture;                    // --print-picture FILE
    QString copies;                          // --copies N (pictures across the page)
    QStringList worksheet;                   // --worksheet TASKFILE...
    bool selfCheck = false;                  // --self-check (with --worksheet)
    bool asIs = false;                       // --as-is (with --worksheet): no results marked
    QString editFile;                        // --edit FILE: the task editor on FILE at start
    bool help = false;
    QString error;  // set when the line could not be understood
};

CommandLine ParseCommandLine(const QStringList& arguments);  // arguments without the program
QString UsageText();

// What the environment offers for showing a window.
struct DisplayEnvironment {
    bool display = false;         // DISPLAY or WAYLAND_DISPLAY is set
    bool platformChosen = false;  // QT_QPA_PLATFORM is set: Qt is told where to draw
};
DisplayEnvironment CurrentDisplayEnvironment();

enum class StartMode {
    ShowUsage,        // --help: usage on stdout, exit 0
    BadCommandLine,   // message and usage on stderr, exit 2
    Speak,            // --speak: no window, no display needed
    PrintPicture,     // --print-picture: print and exit (off screen without a display)
    Worksheet,        // --worksheet: a sheet's HTML and PDF made off screen, no display needed
    Window,           // the host window on the display Qt finds
    OffscreenWindow,  // a script without a display: the window is drawn off screen
    NoDisplay,        // a window was asked for but there is nothing to show it on: exit 2
};
StartMode ChooseStartMode(const CommandLine& commandLine, DisplayEnvironment display);

}  // namespace radevir
