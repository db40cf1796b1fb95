#include "training/options_menu.h"

#include <algorithm>
#include <array>

#include "console/console.h"
#include "console/dos_keys.h"
#include "exercises/file_screen.h"
#include "exercises/session.h"
#include "support/text_helpers.h"
#include "training/menu_screen.h"

namespace radevir {

namespace {

using namespace option;

// Left and Right count typed as well ("K", "M").
constexpr int kLeft = doskey::kLeft;
constexpr int kRight = doskey::kRight;
constexpr int kLabelColumn = 2;
constexpr int kValueColumn = 14;
constexpr int kValueWidth = 24;  // window columns 13..36
constexpr int kWindowTop = 1;    // the menu's window starts at the screen's first row
// Codes of the region file radevir.mop: a click on a label line (its line number after the row
// base), a click on a choice (its index after the item base).
constexpr int kFirstLabelCode = doskey::kRegionRowBase + 1;
constexpr int kLastLabelCode = doskey::kRegionRowBase + kOptionsLines;
constexpr int kFirstChoiceCode = doskey::kRegionItemBase;
constexpr int kLastChoiceCode = doskey::kRegionLastItemCode;
// The label colour of the current line: red, blinking.
constexpr int kCurrentLabelColour = 132;
// Dauer: after its two choices the label's "+" and "-" are clickable too.
constexpr int kLongerChoice = 2, kShorterChoice = 3;

enum Line : int {
    kTaskOrder = 1, kAutoComma, kMemoriseTime, kHelp, kInputControl, kSoundLevel, kFigure,
    kHighlightOperators, kBackgroundColour, kFrame, kAnimation, kColourDifference,
    kFixationPoint, kRepeat, kDictationMode, kDictationInput, kProtocol, kHundredBoard,
    kDivisionMethod, kTimeLimit, kSaveByName,
};

struct Choice {
    const char* text;  // readable UTF-8, converted to screen bytes
    int value;
};

// The choices of the lines that list fixed values, in screen order.
std::vector<Choice> FixedChoices(int line) {
    switch (line) {
        case kTaskOrder: return {{" Reihenfolge ", TaskOrder::kInOrder}, {" Zufall ", TaskOrder::kRandom}};
        case kAutoComma: return {{" eingeben ", AutoComma::kTyped}, {" automatisch ", AutoComma::kAutomatic}};
        case kMemoriseTime:
            return {{" kurz ", MemoriseTime::kShortMs},
                    {" lang ", MemoriseTime::kLongMs},
                    {" bis Taste ", MemoriseTime::kUntilKeyMs}};
        case kHelp:
            return {{"nix", Help::kNone}, {"Enter", Help::kOnEnter}, {"←↓→", Help::kHelpKeys},
                    {"2.Fehler", Help::kAtSecondError}};
        case kInputControl:
            return {{" Total ", InputControl::kRefuseWrongKeys},
                    {" bei ENTER ", InputControl::kCheckOnEnter},
                    {" jede Eingabe ", InputControl::kCountEveryKey}};
        case kSoundLevel:
            return {{" ein ", SoundLevel::kAllSounds}, {" Tippton ", SoundLevel::kKeyClickAndError},
                    {" aus ", SoundLevel::kErrorOnly}, {" nix", SoundLevel::kSilent}};
        case kFigure:
            return {{" ohne ", Figure::kNone}, {" stehend ", Figure::kStanding}, {" laufen ", Figure::kRunning},
                    {" 80 Aufgaben anzeigen ", Figure::kTaskCounter}};
        case kHighlightOperators: return {{" ja ", HighlightOperators::kYes}, {" nein ", HighlightOperators::kNo}};
        case kBackgroundColour:
            return {{" schwarz", BackgroundColour::kBlack}, {"bl", BackgroundColour::kNavy},
                    {"gr", BackgroundColour::kGrey}, {"rt", BackgroundColour::kMaroon},
                    {"weiß", BackgroundColour::kWhite}};
        case kFrame:
            return {{" nix ", Frame::kNone}, {" Rand ", Frame::kAroundTask}, {" jede Zahl ", Frame::kAroundEveryNumber}};
        case kAnimation:
        case kColourDifference: return {{"  ein  ", Switch::kOn}, {"  aus  ", Switch::kOff}};
        case kFixationPoint:
            return {{" 0 ", FixationPoint::kNone},        {"Anf.", FixationPoint::kStart},
                    {"A+E", FixationPoint::kStartAndEnd}, {" Rah.", FixationPoint::kFrame},
                    {"R+A", FixationPoint::kFrameAndStart}, {" Auge", FixationPoint::kEye}};
        case kRepeat:
            return {{" 0 ", Repeat::kNone}, {" 1 ", Repeat::kWrongTasks}, {" 2x ", Repeat::kTypeTwice},
                    {" Fehler ", Repeat::kWrongTaskAgain}};
        case kDictationMode:
            return {{"bis= ", DictationMode::kUpToEquals}, {"mit= ", DictationMode::kWithEquals},
                    {" ganz ", DictationMode::kWhole}, {"Partner", DictationMode::kPartner}};
        case kDictationInput: return {{"Ergebnis ", DictationInput::kResult}, {" Alles ", DictationInput::kEverything}};
        case kProtocol:
            return {{"nix", Protocol::kNone}, {"Lehrer", Protocol::kTeacher}, {"unter Namen", Protocol::kUnderName}};
        case kHundredBoard:  // the value counts up in screen order
            return {{"↓", 0}, {"↑", 1}, {"+↓", 2}, {"+↑", 3}, {"1↓", 4}, {"1↑", 5}, {"+1↓", 6}, {"+1↑", 7}};
        case kDivisionMethod:
            return {{" runterholen ", DivisionMethod::kBringDown}, {" abziehen ", DivisionMethod::kSubtract}};
        default: return {};
    }
}

int* LineField(ProgramOptions& o, int line) {
    switch (line) {
        case kTaskOrder: return &o.taskOrder;
        case kAutoComma: return &o.autoComma;
        case kMemoriseTime: return &o.memoriseTime;
        case kHelp: return &o.help;
        case kInputControl: return &o.inputControl;
        case kSoundLevel: return &o.soundLevel;
        case kFigure: return &o.figure;
        case kHighlightOperators: return &o.highlightOperators;
        case kBackgroundColour: return &o.backgroundColour;
        case kFrame: return &o.frame;
        case kAnimation: return &o.animation;
        case kColourDifference: return &o.colourDifference;
        case kFixationPoint: return &o.fixationPoint;
        case kRepeat: return &o.repeat;
        case kDictationMode: return &o.dictationMode;
        case kDictationInput: return &o.dictationInput;
        case kProtocol: return &o.protocol;
        case kHundredBoard: return &o.hundredBoard;
        case kDivisionMethod: return &o.divisionMethod;
        case kTimeLimit: return &o.timeLimited;
        default: return nullptr;
    }
}

// Whether the choice with `choiceValue` is lit for the field's `value`.
bool Lit(int line, int value, int choiceValue) {
    switch (line) {
        case kMemoriseTime:
            return choiceValue == MemoriseTime::kUntilKeyMs ? value >= MemoriseTime::kUntilKeyMs : value == choiceValue;
        case kHelp:
            // help levels add up; the last level is the automatic help alone
            if (value == Help::kAtSecondErrorOnly) return choiceValue == Help::kAtSecondError;
            return value == Help::kNone ? choiceValue == Help::kNone
                                        : choiceValue >= Help::kOnEnter && choiceValue <= value;
        case kRepeat:
            return value == Repeat::kAll ? (choiceValue == Repeat::kTypeTwice || choiceValue == Repeat::kWrongTaskAgain)
                                         : value == choiceValue;
        default: return value == choiceValue;
    }
}

// Multi-valued fields step by one between these bounds, without wrapping.
bool StepBounds(int line, int& low, int& high) {
    switch (line) {
        case kHelp: low = Help::kNone; high = Help::kAtSecondErrorOnly; return true;
        case kInputControl: low = InputControl::kRefuseWrongKeys; high = InputControl::kCountEveryKey; return true;
        case kSoundLevel: low = SoundLevel::kAllSounds; high = SoundLevel::kSilent; return true;
        case kFigure: low = Figure::kNone; high = Figure::kTaskCounter; return true;
        case kFrame: low = Frame::kNone; high = Frame::kAroundEveryNumber; return true;
        case kFixationPoint: low = FixationPoint::kNone; high = FixationPoint::kEye; return true;
        // the menu offers no "both" for Repeat: that comes only from a file
        case kRepeat: low = Repeat::kNone; high = Repeat::kWrongTaskAgain; return true;
        case kDictationMode: low = DictationMode::kUpToEquals; high = DictationMode::kPartner; return true;
        case kDictationInput: low = DictationInput::kResult; high = DictationInput::kEverything; return true;
        case kProtocol: low = Protocol::kNone; high = Protocol::kUnderName; return true;
        case kHundredBoard: low = HundredBoard::kFirst; high = HundredBoard::kLast; return true;
        default: return false;
    }
}

constexpr std::array<int, 5> kColourCycle = {BackgroundColour::kBlack, BackgroundColour::kNavy,
                                             BackgroundColour::kGrey, BackgroundColour::kMaroon,
                                             BackgroundColour::kWhite};

}  // namespace

std::vector<int> OptionLineRows(int line) {
    if (line < 1 || line > kOptionsLines) return {};
    if (line <= 4) return {line + 1};
    if (line == kInputControl) return {6, 7};
    if (line == kSoundLevel) return {8};
    if (line == kFigure) return {9, 10};
    return {line + 3};
}

std::vector<Bytes> OptionLineLabels(int line) {
    static const char* const kLabels[] = {"",          "Aufgaben",  "Komma",      "Merkzeit",
                                          "Hilfe",     "",          "Ton",        "Männchen",
                                          "Operatoren", "Farbe",    "Rahmen",     "Animation",
                                          "Farbdiff.", "Fixpunkt",  "wiederhole", "Diktieren",
                                          " -Eingabe", "Protokoll", "H-Tafel",    "Division",
                                          "Dauer: +/-", "Optionen"};
    if (line < 1 || line > kOptionsLines) return {};
    if (line == kInputControl) return {"Eingabe-", "kontrolle"};
    return {ScreenBytes(kLabels[line])};
}

std::vector<OptionValueRow> OptionValueRows(const ProgramOptions& options, int line, bool current) {
    ProgramOptions copy = options;
    std::vector<OptionValueRow> rows;
    const std::vector<int> screenRows = OptionLineRows(line);
    if (screenRows.empty()) return rows;
    if (line == kSaveByName) {
        rows.push_back({screenRows[0], kValueColumn, {{" Speichern mit Return ", current}}});
        return rows;
    }
    if (line == kTimeLimit) {
        rows.push_back({screenRows[0], kValueColumn,
                        {{" unbegrenzt ", options.timeLimited == TimeLimited::kUnlimited},
                         {IntToText(options.timeLimitMinutes) + " Min. ",
                          options.timeLimited == TimeLimited::kLimited}}});
        return rows;
    }
    const int value = *LineField(copy, line);
    std::vector<OptionChoice> all;
    for (const Choice& ch : FixedChoices(line)) all.push_back({ScreenBytes(ch.text), Lit(line, value, ch.value)});
    if (line == kHighlightOperators) all.insert(all.begin(), OptionChoice{"hervorheben ", false});
    if (line == kInputControl) {
        rows.push_back({6, kValueColumn, {all[0], all[1]}});
        rows.push_back({7, kValueColumn, {all[2]}});
    } else if (line == kFigure) {
        // four long choices: two rows, starting one column further left to fit the box
        rows.push_back({9, kValueColumn - 1, {all[0], all[1], all[2]}});
        rows.push_back({10, kValueColumn - 1, {all[3]}});
    } else {
        rows.push_back({screenRows[0], kValueColumn, all});
    }
    return rows;
}

// The cursor keys count here whether pressed or typed as their capitals ("P" is Down).
int OptionLineAfterKey(int line, int key) {
    switch (key) {
        case doskey::kEnter:
        case doskey::kDown: return line >= kOptionsLines ? 1 : line + 1;
        case doskey::kUp: return line <= 1 ? kOptionsLines : line - 1;
        case doskey::kHome:
        case doskey::kPageUp: return 1;
        case doskey::kEnd:
        case doskey::kPageDown: return kOptionsLines;
        default:
            return line < 1 ? kOptionsLines : line;
    }
}

bool IsProgramLetter(int key) {
    switch (key) {
        case 'a': case 'd': case 'g': case 'k': case 'l': case 'm': case 'n': case 's': case 't': case 'z':
            return true;
        default: return false;
    }
}

bool EndsOptionLine(int key) {
    switch (key) {
        case doskey::kEnter: case doskey::kEscape: case doskey::kBackToMenu:
        case doskey::kHome: case doskey::kUp: case doskey::kPageUp:
        case doskey::kEnd: case doskey::kDown: case doskey::kPageDown:
            return true;
        default: return IsProgramLetter(key);
    }
}

bool StepOptionValue(ProgramOptions& o, int line, int key) {
    const bool left = key == kLeft;
    const bool right = key == kRight;
    if (line == kTimeLimit) {
        if (left) {
            o.timeLimited = TimeLimited::kUnlimited;
        } else if (right) {
            o.timeLimited = TimeLimited::kLimited;
        } else if (key == '+') {
            if (o.timeLimitMinutes < TimeLimitMinutes::kMost) ++o.timeLimitMinutes;
        } else if (key == '-') {
            if (o.timeLimitMinutes > TimeLimitMinutes::kFewest) --o.timeLimitMinutes;
        } else {
            return false;
        }
        return true;
    }
    if (!left && !right) return false;
    switch (line) {
        case kTaskOrder: o.taskOrder = left ? TaskOrder::kInOrder : TaskOrder::kRandom; return true;
        case kAutoComma: o.autoComma = left ? AutoComma::kTyped : AutoComma::kAutomatic; return true;
        case kHighlightOperators:
            o.highlightOperators = left ? HighlightOperators::kYes : HighlightOperators::kNo;
            return true;
        case kDivisionMethod:
            o.divisionMethod = left ? DivisionMethod::kBringDown : DivisionMethod::kSubtract;
            return true;
        case kAnimation: o.animation = left ? Switch::kOn : Switch::kOff; return true;
        case kColourDifference: o.colourDifference = left ? Switch::kOn : Switch::kOff; return true;
        case kMemoriseTime:
            if (left) {
                o.memoriseTime = o.memoriseTime < MemoriseTime::kUntilKeyMs ? MemoriseTime::kShortMs : MemoriseTime::kLongMs;
            } else {
                o.memoriseTime = o.memoriseTime > MemoriseTime::kShortMs ? MemoriseTime::kUntilKeyMs : MemoriseTime::kLongMs;
            }
            return true;
        case kBackgroundColour: {
            const auto it = std::find(kColourCycle.begin(), kColourCycle.end(), o.backgroundColour);
            if (it == kColourCycle.end()) return true;  // a colour from a file stays as it is
            const int i = static_cast<int>(it - kColourCycle.begin());
            const int n = static_cast<int>(kColourCycle.size());
            o.backgroundColour = kColourCycle[static_cast<size_t>((i + (right ? 1 : n - 1)) % n)];
            return true;
        }
        default: break;
    }
    int low = 0, high = 0;
    if (!StepBounds(line, low, high)) return false;
    int& value = *LineField(o, line);
    // a frame value from a file above 3 starts again from "nix"; 3 itself steps down to 2
    constexpr int kHighestFrameStepped = 3;
    if (line == kFrame && value > kHighestFrameStepped) value = Frame::kNone;
    if (left && value > low) --value;
    else if (right && value < high) ++value;
    return true;
}

int OptionLineAtRow(int row) {
    for (int line = 1; line <= kOptionsLines; ++line)
        for (int lineRow : OptionLineRows(line))
            if (lineRow == row) return line;
    return 0;
}

bool ClickOptionChoice(ProgramOptions& o, int line, int item) {
    if (line == kTimeLimit) {
        switch (item) {
            case 0: return StepOptionValue(o, line, kLeft);
            case 1: return StepOptionValue(o, line, kRight);
            case kLongerChoice: return StepOptionValue(o, line, '+');
            case kShorterChoice: return StepOptionValue(o, line, '-');
            default: return false;
        }
    }
    const std::vector<Choice> choices = FixedChoices(line);
    if (item < 0 || item >= static_cast<int>(choices.size())) return false;
    *LineField(o, line) = choices[static_cast<size_t>(item)].value;
    return true;
}

namespace {

void DrawValue(Console& c, const ProgramOptions& options, int line, bool current) {
    for (const OptionValueRow& row : OptionValueRows(options, line, current)) {
        c.TextColor(0);
        c.TextBackground(7);
        c.GotoXY(kValueColumn - 1, row.row);
        c.Write(Bytes(kValueWidth, ' '));
        c.GotoXY(row.column, row.row);
        for (const OptionChoice& choice : row.choices) {
            c.TextColor(choice.lit ? 15 : 0);
            c.TextBackground(choice.lit ? 2 : 7);
            c.Write(choice.text);
        }
    }
}

void DrawLabel(Console& c, int line, int colour) {
    const std::vector<int> rows = OptionLineRows(line);
    const std::vector<Bytes> labels = OptionLineLabels(line);
    c.TextColor(colour);
    c.TextBackground(7);
    for (size_t i = 0; i < labels.size() && i < rows.size(); ++i) {
        c.GotoXY(kLabelColumn, rows[i]);
        c.Write(labels[i]);
    }
}

void DrawOptionsBox(Console& c, const ProgramOptions& options, int currentLine) {
    c.TextColor(0);
    c.TextBackground(7);
    c.GotoXY(1, 1);
    c.Write("┌──────────┬──────Optionen──────────┐"_b);
    for (int row = 2; row <= 24; ++row) {
        c.GotoXY(1, row);
        c.Write("│          │                        │"_b);
    }
    c.GotoXY(1, 25);
    c.Write("└──────────┴────────────────────────┘"_b);
    for (int line = 1; line <= kOptionsLines; ++line) {
        DrawLabel(c, line, 0);
        DrawValue(c, options, line, line == currentLine);
    }
}

}  // namespace

int RunOptionsMenu(Session& session) {
    Console& c = session.console;
    ProgramOptions& options = session.options;
    c.SaveScreenPage(0);
    session.optionsDirty = true;
    c.ShadeCells(78, 2, 78, 25, 0);
    c.Window(41, 1, 77, 25);
    c.HideTextCursor();
    int line = std::clamp(session.optionsMenuLine, 1, kOptionsLines);
    DrawOptionsBox(c, options, line);
    c.PushMouseRegions(session.ProgramFolder() + "maustxt\\", "radevir.mop");

    int key = session.menuKey;
    for (;;) {
        const int previous = line;
        int clicked = 0;
        if (c.TakeListRow(clicked, 1, kOptionsLines)) line = clicked;
        else line = OptionLineAfterKey(line, key);
        if (previous == kSaveByName || line == kSaveByName) {
            DrawValue(c, options, kSaveByName, line == kSaveByName);
        }
        session.optionsMenuLine = line;

        DrawLabel(c, line, kCurrentLabelColour);
        for (;;) {
            key = c.ReadKey();
            const bool extended = c.LastKeyExtended();
            if (EndsOptionLine(key)) break;
            if (extended && key >= kFirstLabelCode && key <= kLastLabelCode) break;  // a label line
            if (extended && key >= kFirstChoiceCode && key <= kLastChoiceCode) {
                // the choice acts on the line it was clicked on, which need not be the current one
                const int clickedLine = OptionLineAtRow(c.Regions().ItemHitRow() - kWindowTop + 1);
                int item = 0;
                if (c.TakeItem(item, 0, kLastChoiceCode - kFirstChoiceCode) &&
                    ClickOptionChoice(options, clickedLine, item))
                    DrawValue(c, options, clickedLine, false);
                continue;
            }
            if (StepOptionValue(options, line, key)) DrawValue(c, options, line, line == kSaveByName);
        }
        DrawLabel(c, line, 0);

        if (line == kSaveByName && key == doskey::kEnter) {
            SaveOrLoadOptionsByName(session, OptionSetAction::Save);
            c.Window(41, 1, 78, 25);
        }
        if (key == doskey::kEscape || key == doskey::kBackToMenu || IsProgramLetter(key)) break;
    }
    c.PopMouseRegions();
    c.Window(1, 1, 80, 25);
    c.TextColor(7);
    c.TextBackground(0);
    c.RestoreScreenPage(0, false);
    c.Window(2, 2, 39, 21);
    session.menuKey = key;
    return key;
}

void SaveOrLoadOptionsByName(Session& session, OptionSetAction action) {
    const bool saving = action == OptionSetAction::Save;
    Console& c = session.console;
    c.SaveScreenPage(1);
    c.Window(1, 1, 80, 25);
    c.TextColor(7);
    c.TextBackground(0);
    c.ClrScr();
    c.TextColor(1);
    c.TextBackground(3);
    Bytes top = "┌"_b;
    for (int i = 0; i < 44; ++i) top += "─"_b;
    c.GotoXY(20, 1);
    c.Write(top + "┐"_b);
    c.GotoXY(20, 2);
    c.Write("│"_b);
    c.GotoXY(20, 3);
    c.Write(saving ? "└───── Speichern von Optionen ist aktiv ─────┘"_b
                      : "└─────── Laden von Optionen ist aktiv ───────┘"_b);

    session.selectionMode = saving ? SelectionMode::NewName : SelectionMode::Choose;
    RunFileSelection(session, FileListing::kOptionFiles, session.selectionMode);
    if (saving && session.menuKey == doskey::kEnter && !session.chosenPath.empty() &&
        session.yesNoAnswer == YesNo::Yes) {
        c.Window(1, 1, 80, 25);
        c.TextColor(15);
        c.TextBackground(4);
        // the failure line stays readable before the screen comes back
        if (!SaveSessionOptions(session, session.ProgramFolder() + session.chosenPath))
            WaitForKeyOrTimeout(c, kFailedSaveShownMs);
    }
    session.selectionMode = SelectionMode::None;
    c.RestoreScreenPage(1, false);
}

}  // namespace radevir
