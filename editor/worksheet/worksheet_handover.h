// What the program hands to the worksheet process: the request and the sheet's switches as a
// small UTF-8 file (one "key=value" line each, the task lines and headings one line apiece), and
// the worksheet process's command line.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "editor/worksheet_request.h"

namespace radevir {

struct WorksheetHandover {
    WorksheetRequest request;
    QString programFolder;  // the data kit: the open and save dialogs start in its "Aufgaben"
    bool selfCheck = false;
};

// The file never holds a line break inside a value: CR, LF and NUL in a task line or heading
// become blanks.
QByteArray WriteHandover(const WorksheetHandover& handover);
// False with a one-line reason for anything that is not such a file (or is larger than a task
// list can be); `out` is then unspecified.
bool ReadHandover(const QByteArray& bytes, WorksheetHandover& out, QString* error);
constexpr qint64 kMaxHandoverBytes = 4 * 1024 * 1024;

// radevir-worksheet --request FILE [--self-check] [--seed N] [--print-to DIR]
//                   [--click BUTTON]... [--screenshot FILE]
// radevir-worksheet --request FILE... [--self-check] [--seed N] --print-to DIR --export
struct WorksheetCommandLine {
    QStringList requestFiles;  // one for the window; any number for --export
    bool selfCheck = false;
    std::optional<std::uint64_t> seed;
    QString printTo;          // print into PDFs in DIR instead of the printer
    bool exportOnly = false;  // no window: write each page and its PDF into --print-to, then end
    QStringList clicks;       // buttons (object names) pressed in turn once the page is shown
    QString screenshot;       // save the window as a picture once the page is shown, then end
    bool help = false;
    QString error;
};
WorksheetCommandLine ParseWorksheetCommandLine(const QStringList& arguments);
QString WorksheetUsageText();

}  // namespace radevir
