// The drills' rules as plain functions: which characters are input, what a key does in each
// input control and program, how a typed character is judged, the help sequence, the colours
// of a task's characters, the text size fitting and the top line. The drawing and waiting shell
// (drill*.cpp) asks these and does what they say.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "exercises/program_code.h"
#include "exercises/program_options.h"
#include "support/codepage.h"

namespace radevir {

// "(" … ">" (brackets, * + , - . / digits : ; < = >) and % [ ] { }. Blanks and letters are
// never input.
bool IsInputCharacter(unsigned char c);

// What the drill has in hand when it judges a key.
struct DrillKeyContext {
    ProgramCode program = ProgramCode::MentalArithmetic;  // the program the run is running as
    bool readingMode = false;
    int inputControl = option::InputControl::kCountEveryKey;
    int help = option::Help::kAtSecondError;
    int dictationMode = option::DictationMode::kUpToEquals;
    bool secondPass = false;    // the task is being typed the second time ("2x")
    bool countedWrong = false;  // the task is already in the wrong-task list (or a repetition)
};

enum class DrillKey {
    Neutral,       // does nothing
    Input,         // a character to be judged
    Escape,        // ask whether to quit
    Skip,          // "w" or "_": the task ends, not worked
    PageDownSkip,  // PgDn: the task is skipped with the skip key
    GoBack,        // PgUp: the previous task again
    HundredBoard,  // F1–F3 and the cursor keys open the board (help keys on)
    Enter,
    Backspace,   // only when the input is checked on Enter
    SpeakAgain,  // dictation: space or F5
    // the reading test
    ReadCorrect,  // "+"
    ReadWrong,    // "-"
    ReadSkip,     // "_"
    ShowAgain,    // Enter
    ClearStrip,   // space
    BuildUpShorter,
    BuildUpLonger,
    HoldShorter,
    HoldLonger,
};

// What one key does (before the task's own state is looked at).
DrillKey ClassifyDrillKey(const DrillKeyContext& context, unsigned char key, bool extended);

// A typed character against the next expected one (in mental arithmetic: the current gap's).
enum class CharVerdict {
    Accept,  // append and draw it
    Refuse,  // " Total ": logged and beeped, but not an error
    Error,   // counts the task wrong
};
struct CharCheck {
    CharVerdict verdict = CharVerdict::Accept;
    bool helpRequest =
        false;  // the error asks for help (the help sequence decides whether it comes)
};
// `typed` after "/" has been read as ":"; `expected` 0 when the input is already as long as the
// task.
CharCheck CheckCharacter(const DrillKeyContext& context, unsigned char typed,
                         unsigned char expected);

// "/" stands for ":" where ":" is expected.
unsigned char TranslateTypedCharacter(unsigned char typed, unsigned char expected);

// Enter outside the reading test.
struct EnterDecision {
    bool helpRequest = false;
    bool compareInput = false;  // " bei ENTER ": the whole input is compared now
};
EnterDecision DecideEnter(const DrillKeyContext& context);
// " bei ENTER " with a wrong input: whether help is asked for.
bool HelpOnWrongEnter(const DrillKeyContext& context, int inputLength, int taskLength);

// The comma comes by itself when it is the next expected character.
bool TakesCommaAutomatically(const DrillKeyContext& context, int autoComma, unsigned char expected);

// A blank or a letter of the task ("17:5=3 R 2") cannot be typed: the input steps over it by
// itself, as over the automatic comma. Not in mental arithmetic, where only the gaps are typed,
// nor in the reading test; and not in a task without a single character that can be typed
// (the words of a copying list), which would otherwise solve itself.
bool StepsOver(const DrillKeyContext& context, std::string_view task, unsigned char expected);

// The help sequence: the first request from an error only arms it; then the steps 1 (board
// H1), 3 (board H3), 4 (the task shown again), 5 (shown once more); memorising, filling in
// signs and the tachistoscope always show the task; mental arithmetic and dictation alternate
// between the two boards.
struct HelpState {
    int step = 0;
    bool armed = false;
};
enum class HelpAction { None, BoardH1, BoardH3, ShowTask, ShowTaskAgain };
struct HelpResult {
    HelpState state;
    HelpAction action = HelpAction::None;
};
HelpResult RequestHelp(HelpState state, ProgramCode program, bool fromError);
// After a board that could not show the task: the help counter so that further requests
// give no board any more (tachistoscope 5, mental arithmetic out of reach).
int HelpStepAfterUndisplayableBoard(int step, ProgramCode program);

// Colours. `scheme` is the option BackgroundColour; positions are 1-based.
struct TaskColours {
    ProgramCode program = ProgramCode::MentalArithmetic;
    int scheme = option::BackgroundColour::kNavy;
    int highlightOperators = option::HighlightOperators::kYes;
    int markStart = 0, markEnd = 0;
};
// The colour of a character when the task is first shown (and in the solution).
int FirstDrawingColour(const TaskColours& colours, int position, unsigned char c);
// The colour of a typed character: the marked part in its own colour.
int InputCharacterColour(const TaskColours& colours, int position);
int InputColour(ProgramCode program, int scheme);
// The colour a task area is painted in: the band the program fills with the scheme colour, or
// black.
int AreaColour(ProgramCode program, int scheme, bool upperArea);

// The task text size 4..9: as large as fits the width, no higher than half the screen.
int FitTaskTextSize(const std::function<int(int)>& widthAt,
                    const std::function<int(int)>& heightAt);

// The hint on the top line of the first task; empty when the program shows none.
Bytes DrillTopLine(ProgramCode program, const ProgramOptions& options);

// The tachistoscope's writing styles, as the lines of its settings box.
enum class TachistoscopeStyle { Normal, Small, Smallest, Hatched };
TachistoscopeStyle StyleOfBoxLine(int boxLine);

// Lines of a task list that make a dictation run as mental arithmetic: a decimal comma in a line
// that is no hint line.
bool DictationRunsAsMentalArithmetic(const std::vector<Bytes>& lines);

}  // namespace radevir
