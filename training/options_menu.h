// The options menu on the text screen, and saving/loading named option sets. The value stepping
// and key rules are plain functions so that they can be checked as tables; RunOptionsMenu is
// the drawing and waiting around them.
#pragma once

#include <vector>

#include "exercises/program_options.h"
#include "support/codepage.h"

namespace radevir {

struct Session;

constexpr int kOptionsLines = 21;  // menu lines 1..21; line 21 saves under a name

// One piece of a value display: a choice text and whether it is lit.
struct OptionChoice {
    Bytes text;
    bool lit = false;
};
// One screen row of a value display.
struct OptionValueRow {
    int row = 0;     // window row 2..24
    int column = 14; // window column of the first choice
    std::vector<OptionChoice> choices;
};

// The label rows of a line (one or two), and its label texts.
std::vector<int> OptionLineRows(int line);
std::vector<Bytes> OptionLineLabels(int line);
// The value display of a line for the given options.
std::vector<OptionValueRow> OptionValueRows(const ProgramOptions& options, int line,
                                            bool current = false);

// Line reached from `line` at the start of a pass by `key` (Enter, Down, Up, Home/PgUp, End/PgDn,
// scan codes or the same numbers typed as capitals); other keys leave it.
int OptionLineAfterKey(int line, int key);
// Keys that end the inner key loop of a line (besides clicks on a line).
bool EndsOptionLine(int key);
bool IsProgramLetter(int key);
// Left / Right (also typed "K" / "M") and, on the Dauer line, "+" and "-": change the value;
// true when the key was one of them for this line.
bool StepOptionValue(ProgramOptions& options, int line, int key);
// The line shown on a window row (its label or its value), 0 for none.
int OptionLineAtRow(int row);
// A click on the n-th choice (0-based) of a line, as it is shown; on the Dauer line choices 2
// and 3 are the label's "+" and "-". False when the line has no such choice.
bool ClickOptionChoice(ProgramOptions& options, int line, int item);

// The menu. Returns the key that closed it (Escape, F1/";" or a program letter), also left in
// session.menuKey. The key that opened it is read from session.menuKey (Enter moves one line).
int RunOptionsMenu(Session& session);

enum class OptionSetAction { Save, Load };
// Saves the options under a name, or loads a named set, through the file selection screen.
void SaveOrLoadOptionsByName(Session& session, OptionSetAction action);

}  // namespace radevir
