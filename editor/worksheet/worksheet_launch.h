// Starting the worksheet process (radevir-worksheet, laid beside the program): from the editor,
// which stays usable while it waits for the worksheet window, and for `radevir --worksheet`,
// which makes sheets' HTML and PDF without any window. The program itself never loads the web
// engine; only the worksheet process does.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "editor/worksheet_request.h"

class QTextStream;
class QWidget;

namespace radevir {

class MessageSink;
class ProgramEnvironment;

// The worksheet program: beside the running executable, else found on PATH; empty when neither.
QString WorksheetProgramPath();

struct WorksheetLaunchOptions {
    QString printTo;                    // print into PDFs in this folder instead of the printer
    std::optional<std::uint64_t> seed;  // seed of the answers' shuffle
    bool selfCheck = false;             // start with the self-check list ticked
    QString program;                    // the worksheet program; empty: WorksheetProgramPath()
    MessageSink* messages = nullptr;    // where a failure is told; none: a message box
};

// Shows the worksheet window for the request and waits until it is closed; the parent's window
// stays usable meanwhile, and closing it ends the wait and the worksheet process. False, after a
// message naming the reason, when the worksheet process cannot be started or ends with an error.
bool ShowWorksheet(QWidget* parent, const ProgramEnvironment& env, const WorksheetRequest& request,
                   const WorksheetLaunchOptions& options = {});

// Makes the sheets of the requests off screen in one worksheet process (one start of the web
// engine): each page written to its pagePath, its PDF beside it in options.printTo under the
// page's name. 0 when every sheet was made; 1 otherwise, after the process, or `err`, has said
// why in one line (a sheet that cannot be made does not stop the others).
int ExportWorksheets(const ProgramEnvironment& env, const std::vector<WorksheetRequest>& requests,
                     const WorksheetLaunchOptions& options, QTextStream& err);

}  // namespace radevir
