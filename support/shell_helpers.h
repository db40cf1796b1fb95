// Messages and the desktop: the standard message box, opening a file with its application, and
// starting another program. Programs are started with an argument list, never through a shell
// command line.
#pragma once

#include <QPoint>
#include <QString>
#include <optional>
#include <string_view>
#include <vector>

#include "support/codepage.h"

namespace radevir {

class ProgramEnvironment;

// Receives message-box texts instead of the screen; tests and scripted runs hand one in.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void ShowMessage(const QString& text) = 0;
};

// A standard message box with an OK button (an empty text shows an empty line). Without a sink
// the box is real and modal; with one the text goes to the sink.
void ShowText(std::string_view text, MessageSink* sink = nullptr);

// Result codes of OpenWithShell, after the shell's own: above 32 is success.
constexpr int kShellOk = 42;
constexpr int kShellFileNotFound = 2;
constexpr int kShellNoAssociation = 31;

// Opens a file (or a URL) with the desktop's handler for it. A file is never run, even with
// the execute bit set: `parameters` have no place there and are not used.
int OpenWithShell(const ProgramEnvironment& env, std::string_view file,
                  std::string_view parameters);

// Starts `program` (a data path, or a bare name looked up on PATH) with the given arguments in
// the program's folder; returns its process id, nothing when it could not be started.
std::optional<qint64> LaunchProgramAt(const ProgramEnvironment& env, std::string_view program,
                                      const std::vector<Bytes>& parameters, QPoint point);

}  // namespace radevir
