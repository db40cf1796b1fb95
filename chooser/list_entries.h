// The list chooser's rules on task lines, free of widgets: how a file's lines become numbered
// entries, how many columns they take, how an entry is drawn, which line an accepted choice
// starts at, and which file extensions are listed.
#pragma once

#include <QString>
#include <QtGlobal>
#include <string_view>
#include <vector>

#include "support/codepage.h"

namespace radevir {

// A list file is read no further than the list can show: its first bytes, its first lines. A
// run takes at most 82 task lines; the listing keeps far more, so long lists still show in full.
constexpr size_t kMaxListedLines = 1000;
constexpr qint64 kMaxListBytes = 256 * 1024;

// Whether a file's first bytes look like a text list (no NUL bytes); anything else, a picture
// or a program clicked by mistake, is listed as empty.
bool LooksLikeText(std::string_view head);
// The lines of the first kMaxListBytes of a longer file: the cut last line is dropped, at most
// kMaxListedLines are kept.
std::vector<Bytes> ListLinesOfHead(std::string_view head);
// At most kMaxListedLines lines of a whole file stay.
void BoundListLines(std::vector<Bytes>& lines);

// More than 100 lines take 4 columns, more than 80 take 3, the rest 2.
int ListColumnCount(size_t lineCount);

// "007   3+4=7": the 1-based number zero-padded to the digits of the line count, three blanks,
// and the line — only the number and the blanks when the line is nothing but blanks and commas.
Bytes ListEntryText(size_t lineNumber, size_t lineCount, std::string_view line);
std::vector<Bytes> ListEntries(const std::vector<Bytes>& lines);

// How one entry looks, decided from its text alone.
struct ListEntryLook {
    enum class Kind { Task, Setting, Comment };
    Kind kind = Kind::Task;
    bool silverBackground = false;  // the line holds "!" (hint lines)
    Bytes shownText;                // for tasks: the entry with every character after "_" as "?"
    int numberLength = 0;           // leading digits drawn again in blue
};
// "#" anywhere: a setting ("Einstellung"), or a comment ("Kommentar") when "~" follows the "#".
ListEntryLook LookOfEntry(std::string_view entry);
// The word a setting or comment entry shows instead of its text.
QString LookWord(ListEntryLook::Kind kind);

// The line an accepted choice starts at: settings and comments (" #") are stepped over, never
// past the last line. -1 for an empty list; a selection of -1 counts as the first line.
int AcceptedLineIndex(const std::vector<Bytes>& entries, int selected);

// ".txt;.*" accepts everything; otherwise the extension must be listed (letter case ignored).
// A file without extension is accepted only by ".*".
bool ExtensionAccepted(std::string_view extensions, std::string_view extension);

}  // namespace radevir
