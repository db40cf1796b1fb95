#include "training/options_menu.h"

#include <algorithm>
#include <array>

#include "console/console.h"
#include "exercises/file_screen.h"
#include "exercises/session.h"
#include "support/text_helpers.h"
#include "training/menu_screen.h"

namespace radevir {

namespace {

constexpr int kLeft = 75;   // also a typed "K"
constexpr int kRight = 77;  // also a typed "M"
constexpr int kLabelColumn = 2;
constexpr int kValueColumn = 14;
constexpr int kValueWidth = 24;  // window columns 13..36
constexpr int kWindowTop = 1;    // the menu's window starts at the screen's first row
// Codes of the region file radevir.mop: a click on a label line, a click on a choice.
constexpr int kFirstLabelCode = 200, kLastLabelCode = 220;
constexpr int kFirstChoiceCode = 230, kLastChoiceCode = 241;
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
        case kTaskOrder: return {{" Reihenfolge ", 0}, {" Zufall ", 1}};
        case kAutoComma: return {{" eingeben ", 0}, {" automatisch ", 1}};
        case kMemoriseTime: return {{" kurz ", 1500}, {" lang ", 4000}, {" bis Taste ", 5000}};
        case kHelp: return {{"nix", 0}, {"Enter", 1}, {"←↓→", 2}, {"2.Fehler", 3}};
        case kInputControl: return {{" Total ", 0}, {" bei ENTER ", 1}, {" jede Eingabe ", 2}};
        case kSoundLevel: return {{" ein ", 0}, {" Tippton ", 1}, {" aus ", 2}, {" nix", 3}};
        case kFigure:
            return {{" ohne ", 0}, {" stehend ", 1}, {" laufen ", 2}, {" 80 Aufgaben anzeigen ", 3}};
        case kHighlightOperators: return {{" ja ", 1}, {" nein ", 2}};
        case kBackgroundColour: return {{" schwarz", 0}, {"bl", 1}, {"gr", 8}, {"rt", 2}, {"weiß", 15}};
        case kFrame: return {{" nix ", 0}, {" Rand ", 1}, {" jede Zahl ", 2}};
        case kAnimation:
        case kColourDifference: return {{"  ein  ", 1}, {"  aus  ", 0}};
        case kFixationPoint:
            return {{" 0 ", 0}, {"Anf.", 1}, {"A+E", 2}, {" Rah.", 3}, {"R+A", 4}, {" Auge", 5}};
        case kRepeat: return {{" 0 ", 0}, {" 1 ", 1}, {" 2x ", 2}, {" Fehler ", 3}};
        case kDictationMode: return {{"bis= ", 0}, {"mit= ", 1}, {" ganz ", 2}, {"Partner", 3}};
        case kDictationInput: return {{"Ergebnis ", 0}, {" Alles ", 1}};
        case kProtocol: return {{"nix", 0}, {"Lehrer", 1}, {"unter Namen", 2}};
        case kHundredBoard:
            return {{"↓", 0}, {"↑", 1}, {"+↓", 2}, {"+↑", 3}, {"1↓", 4}, {"1↑", 5}, {"+1↓", 6}, {"+1↑", 7}};
        case kDivisionMethod: return {{" runterholen ", 0}, {" abziehen ", 1}};
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
        case kMemoriseTime: return choiceValue == 5000 ? value >= 5000 : value == choiceValue;
        case kHelp:
            // help levels add up; level 4 is the automatic help alone
            if (value == 4) return choiceValue == 3;
            return value == 0 ? choiceValue == 0 : choiceValue >= 1 && choiceValue <= value;
        case kRepeat: return value == 4 ? (choiceValue == 2 || choiceValue == 3) : value == choiceValue;
        default: return value == choiceValue;
    }
}

// Multi-valued fields step by one between these bounds, without wrapping.
bool StepBounds(int line, int& low, int& high) {
    switch (line) {
        case kHelp: low = 0; high = 4; return true;
        case kInputControl: low = 0; high = 2; return true;
        case kSoundLevel: low = 0; high = 3; return true;
        case kFigure: low = 0; high = 3; return true;
        case kFrame: low = 0; high = 2; return true;
        case kFixationPoint: low = 0; high = 5; return true;
        case kRepeat: low = 0; high = 3; return true;
        case kDictationMode: low = 0; high = 3; return true;
        case kDictationInput: low = 0; high = 1; return true;
        case kProtocol: low = 0; high = 2; return true;
        case kHundredBoard: low = 0; high = 7; return true;
        default: return false;
    }
}

constexpr std::array<int, 5> kColourCycle = {0, 1, 8, 2, 15};

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
                        {{" unbegrenzt ", options.timeLimited == 0},
                         {IntToText(options.timeLimitMinutes) + " Min. ", options.timeLimited == 1}}});
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

int OptionLineAfterKey(int line, int key) {
    switch (key) {
        case 13:
        case 80:  // Down, "P"
            return line >= kOptionsLines ? 1 : line + 1;
        case 72:  // Up, "H"
            return line <= 1 ? kOptionsLines : line - 1;
        case 71:  // Home, "G"
        case 73:  // PgUp, "I"
            return 1;
        case 79:  // End, "O"
        case 81:  // PgDn, "Q"
            return kOptionsLines;
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
        case 13: case 27: case 59: case 71: case 72: case 73: case 79: case 80: case 81:
            return true;
        default: return IsProgramLetter(key);
    }
}

bool StepOptionValue(ProgramOptions& o, int line, int key) {
    const bool left = key == kLeft;
    const bool right = key == kRight;
    if (line == kTimeLimit) {
        if (left) o.timeLimited = 0;
        else if (right) o.timeLimited = 1;
        else if (key == '+') o.timeLimitMinutes = o.timeLimitMinutes < 20 ? o.timeLimitMinutes + 1 : o.timeLimitMinutes;
        else if (key == '-') o.timeLimitMinutes = o.timeLimitMinutes > 1 ? o.timeLimitMinutes - 1 : o.timeLimitMinutes;
        else return false;
        return true;
    }
    if (!left && !right) return false;
    switch (line) {
        case kTaskOrder: o.taskOrder = left ? 0 : 1; return true;
        case kAutoComma: o.autoComma = left ? 0 : 1; return true;
        case kHighlightOperators: o.highlightOperators = left ? 1 : 2; return true;
        case kDivisionMethod: o.divisionMethod = left ? 0 : 1; return true;
        case kAnimation: o.animation = left ? 1 : 0; return true;
        case kColourDifference: o.colourDifference = left ? 1 : 0; return true;
        case kMemoriseTime:
            if (left) o.memoriseTime = o.memoriseTime < 5000 ? 1500 : 4000;
            else o.memoriseTime = o.memoriseTime > 1500 ? 5000 : 4000;
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
    if (line == kFrame && value > 3) value = 0;
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
    session.optionsDirty = 1;
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

        DrawLabel(c, line, 132);
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

        if (line == kSaveByName && key == 13) {
            SaveOrLoadOptionsByName(session, 1);
            c.Window(41, 1, 78, 25);
        }
        if (key == 27 || key == 59 || IsProgramLetter(key)) break;
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

void SaveOrLoadOptionsByName(Session& session, int mode) {
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
    c.Write(mode == 1 ? "└───── Speichern von Optionen ist aktiv ─────┘"_b
                      : "└─────── Laden von Optionen ist aktiv ───────┘"_b);

    session.selectionMode = mode == 1 ? 1 : 2;
    RunFileSelection(session, FileListing::kOptionFiles, session.selectionMode);
    if (mode == 1 && session.menuKey == 13 && !session.chosenPath.empty() && session.yesNoAnswer == 0) {
        c.Window(1, 1, 80, 25);
        c.TextColor(15);
        c.TextBackground(4);
        // the failure line stays readable before the screen comes back
        if (!SaveSessionOptions(session, session.ProgramFolder() + session.chosenPath))
            WaitForKeyOrTimeout(c, kFailedSaveShownMs);
    }
    session.selectionMode = 0;
    c.RestoreScreenPage(1, false);
}

}  // namespace radevir
