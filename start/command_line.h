// The program's command line.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace radevir {

struct CommandLine {
    QString dataDir;       // --data DIR
    QString settingsFile;  // --settings FILE
    QString scriptFile;    // --script FILE
    bool realTime = false;  // --real-time
    std::optional<std::uint64_t> seed;  // --seed N
    QSize size;                         // --size WxH (client size)
    QString audio = QStringLiteral("auto");  // --audio auto|null|disk:FILE
    QString printTo;                         // --print-to DIR
    std::optional<QString> speak;            // --speak TEXT
    bool help = false;
    QString error;  // set when the line could not be understood
};

CommandLine ParseCommandLine(const QStringList& arguments);  // arguments without the program
QString UsageText();

}  // namespace radevir
