// The --script language and the command line on any bytes: the bytes as a UTF-8 script, and the
// same bytes cut at NULs into program arguments.
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "start/command_line.h"
#include "start/script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto* bytes = reinterpret_cast<const char*>(data);
    std::vector<radevir::ScriptCommand> commands;
    QString error;
    const bool parsed =
        radevir::ParseScript(QString::fromUtf8(bytes, static_cast<qsizetype>(size)), commands, error);
    if (!parsed && error.isEmpty()) __builtin_trap();  // a refused script always says why

    QStringList arguments;
    QByteArray current;
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] == '\0') {
            arguments << QString::fromLocal8Bit(current);
            current.clear();
        } else {
            current.append(bytes[i]);
        }
    }
    arguments << QString::fromLocal8Bit(current);
    const radevir::CommandLine line = radevir::ParseCommandLine(arguments);
    for (const bool display : {false, true})
        (void)radevir::ChooseStartMode(line, radevir::DisplayEnvironment{display, false});
    return 0;
}
