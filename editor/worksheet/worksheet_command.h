// `radevir --worksheet TASKFILE... --print-to DIR`: the sheets of task files made without a
// window, a week of them in one start of the worksheet process. A list without any gap gets its
// results marked as gaps, the way the editor's "Ergebnis kennzeichnen" marks them.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "editor/worksheet/worksheet_launch.h"
#include "support/codepage.h"

class QTextStream;

namespace radevir {

class ProgramEnvironment;

// The lines of a task file as the command line puts them on a sheet: a line without any "_"
// gets the result after its first "=" marked as the gap (blanks, which the sheet drops anyway,
// taken out first); `asIs` keeps every line as it stands.
std::vector<Bytes> CommandSheetLines(const std::vector<Bytes>& lines, bool asIs);

struct SheetFromFile {
    WorksheetRequest request;  // task lines, headings and template; the page path is the caller's
    QString error;             // a one-line reason when the file gives no sheet
};
// Reads a task file and prepares its sheet.
SheetFromFile ReadSheetRequest(const ProgramEnvironment& env, const QString& taskFile, bool asIs);

// The sheet's file name in the output folder, without ".html": the name WorksheetFileName gives,
// or, when an earlier file of the same run took that name already, "<name> (2)" and so on.
QString FreeSheetName(const QString& taskFile, QStringList& taken);

struct WorksheetCommandOptions {
    WorksheetLaunchOptions launch;  // printTo: the sheets' folder; seed; selfCheck
    bool asIs = false;
};
// Makes DIR/<name>.html and DIR/<name>.pdf for each task file. Returns 0 when every sheet was
// made; otherwise 1, after one line per file that gave no sheet ("radevir: FILE: reason"); the
// sheets of the other files are made all the same.
int RunWorksheetCommand(const ProgramEnvironment& env, const QStringList& taskFiles,
                        const WorksheetCommandOptions& options, QTextStream& err);

}  // namespace radevir
