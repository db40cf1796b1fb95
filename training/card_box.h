// The learning card box: after a run with wrong tasks the program offers a save dialog, and the
// wrong tasks are appended to the chosen card box file, a task file like any other.
#pragma once

#include <QString>

#include "exercises/program_code.h"
#include "support/codepage.h"

namespace radevir {

struct Session;

// The card box folder of a program, as a data path: column arithmetic has its own.
Bytes CardBoxFolder(const Session& session, ProgramCode program);

// After every run but the grab game: notes the practised task file, then, when the run counted
// wrong tasks, offers to keep them.
void OfferCardBox(Session& session);

// Makes both card box folders, asks for a file in the program's one and appends to it. A folder
// that cannot be made is reported with the file error and nothing is written.
void SaveCardBoxDialog(Session& session, ProgramCode program);

// Appends wrong tasks 1..count as lines ended by CR LF to the file (made when missing) and says
// so on the text screen. A file that cannot be written is reported with the file error; its old
// lines stay exactly as they were. True when the tasks were kept.
bool AppendToCardBox(Session& session, int count, const QString& nativePath);

}  // namespace radevir
