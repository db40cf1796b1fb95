// The teacher protocol: the names of the practised task files, the printed protocol (written
// into the printer text file and handed to the printer) and the protocol file saved when the
// program ends ("Protokoll\LEHRER.TXT" or a name the teacher types).
#pragma once

#include <string_view>
#include <vector>

#include "console/console.h"
#include "support/codepage.h"

namespace radevir {

struct Session;

// Today as day.month.year without leading zeros ("9.12.2026").
Bytes ProtocolDate(const Console::Today& today);
// Today as year-month-day with leading zeros ("2026-12-09"): the date in the names of printed
// documents, so that a folder of them sorts by day.
Bytes DocumentDate(const Console::Today& today);
// The name of the printed protocol ("Lehrerprotokoll 2026-12-09").
Bytes ProtocolDocumentName(const Console::Today& today);

// After a run: appends the task file's name to session.practisedFiles ("/"-joined), unless the
// run had no task or was the reading test.
void AddPractisedFile(Session& session);

// The lines of the printed protocol (printer codes included, form feed last). The file-name
// line shows `fileNames`; the note on column arithmetic is added when `columnArithmetic`.
std::vector<Bytes> ProtocolPrintLines(const Session& session, std::string_view fileNames,
                                      bool columnArithmetic);
// Writes the printed protocol into the printer text file and prints it; a file that cannot be
// written prints nothing.
void PrintProtocol(Session& session);

// The lines of a saved protocol file called `name`.
std::vector<Bytes> SavedProtocolLines(const Session& session, std::string_view name);
// Writes "Protokoll\" + name below the program folder; the old file stays when this fails.
bool WriteProtocolFile(Session& session, std::string_view name);

enum class ProtocolSaveResult { Saved, Failed, NotSaved };
// At program end: saves the protocol as the Protocol option says ("LEHRER.TXT", or a name typed
// on the file selection screen with the overwrite question), reports the result on the screen
// for two seconds.
ProtocolSaveResult SaveProtocol(Session& session);

}  // namespace radevir
