// The text-mode file selection screen (option files and the task folder's text files): four
// columns of names, choosing by cursor keys, clicks or typed first letters, typing a new name;
// with it the yes/no question box and the "Fehler bei: " display of file errors.
#pragma once

#include <string_view>
#include <vector>

#include "exercises/session.h"
#include "support/codepage.h"

namespace radevir {

enum class FileListing {
    kTaskFolder,   // ProgramFolder + taskFolder + "\*.TXT"
    kOptionFiles,  // ProgramFolder + "*.RTT"
};

// What the screen lists.
struct FileListingPattern {
    Bytes folder;     // data path with trailing separator
    Bytes mask;       // "*.TXT", "*.RTT"
    Bytes extension;  // ".TXT", ".RTT"
};
FileListingPattern ListingPattern(const Session& session, FileListing listing);

// Entry names of the listing: ordinary files matching the mask, at most 240, sorted in byte order.
std::vector<Bytes> ListFileEntries(const Session& session, FileListing listing);

// The screen. Choose: Enter on an entry sets session.chosenPath to that file and, for option
// files, loads it (selectionMode becomes OptionFileLoaded). NewName: session.chosenPath is the
// typed name + extension (empty on Esc); when that name exists the overwrite question is asked
// and session.yesNoAnswer tells whether to overwrite; it is Yes otherwise. session.menuKey holds
// the key that ended the screen (Enter or Escape).
void RunFileSelection(Session& session, FileListing listing, SelectionMode mode);

// Prefix typing on the sorted names: the next selection after typing `typed`, given the current
// selection and the length of the prefix matched so far (updated).
int PrefixSelect(const std::vector<Bytes>& shownNames, int selected, int& prefixLength, char typed);

// Writes the list of names into the printer text file and asks for it to be printed.
bool PrintFileList(Session& session, const std::vector<Bytes>& fullNames, std::string_view mask);

// "Diese Datei existiert bereits!" with "Datei überschreiben?" (default no) in a box over the
// screen: true when the answer is yes (session.yesNoAnswer tells the same).
bool AskOverwrite(Session& session);

// The yes/no question on row 3 of the current text window (a box of columns 21..60): "Ja" and
// "Nein" at columns 26 and 32, the box's bottom line below. With exitQuestion, F7 (or a typed
// "A") also answers no and closes. Leaves session.yesNoAnswer and returns the key that closed the
// box.
int AskYesNo(Session& session, YesNo defaultAnswer, bool exitQuestion = false);

// "Fehler bei: " + the file name over the input line; waits for a key and drops pending keys.
void ShowFileError(Session& session, std::string_view path);

}  // namespace radevir
