// What a worksheet is made from: task lines spaced for the sheet, the headings list of the task
// file's folder, and the name a sheet is proposed to be saved under. The editor and
// `radevir --worksheet` both go through here, so one list gives one sheet.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "support/codepage.h"

namespace radevir {

class ProgramEnvironment;

// "12+5=_1_7" → "12 + 5 = _1_7": all blanks removed, then blanks around + - = : * and one after
// every ","; a gap marker right before a sign stays with the sign ("6_+6" → "6 _+ 6").
QString SpaceWorksheetLine(const QString& line);

// The lines of a list as the sheet gets them: each spaced as above; empty lines stay (an empty
// place on the sheet), except those after the last task, which would only be empty tasks.
QStringList WorksheetTaskLines(const std::vector<Bytes>& lines);

// The headings of the sheets made from files in `taskFolderName` (the name of the folder that
// holds the task file): the non-empty lines of "vorlagen\<name>.txt" in the program folder, or
// the single heading "Aufgaben" when that file is missing or empty.
QStringList WorksheetHeadings(const ProgramEnvironment& env, const QString& taskFolderName);

// The sheet's file name for a task file: its name without folder and extension, the two parts
// swapped round when it holds exactly one blank ("Meier Hans.txt" → "Hans Meier"), + ".html".
QString WorksheetFileName(const QString& taskFile);

}  // namespace radevir
