#include "training/drill_decisions.h"

#include <algorithm>

#include "console/dos_keys.h"
#include "exercises/exercise_run.h"
#include "support/text_helpers.h"

namespace radevir {
namespace {

using option::Help;
using option::InputControl;

constexpr unsigned char kFirstInputCharacter = '(';
constexpr unsigned char kLastInputCharacter = '>';
constexpr std::string_view kFurtherInputCharacters = "%[]{}";
constexpr unsigned char kSkipLetter = 'w';

constexpr int kSmallestTextSize = 4;
constexpr int kLargestTextSize = 10;  // the search stops below it

bool IsMemorisingProgram(ProgramCode p) {
    return p == ProgramCode::MemoriseOnly || p == ProgramCode::FillInSigns ||
           p == ProgramCode::Tachistoscope;
}

bool AlternatesBoards(ProgramCode p) {
    return p == ProgramCode::MentalArithmetic || p == ProgramCode::Dictation;
}

bool HelpLevelAtErrors(int help) {
    return help == Help::kAtSecondError || help == Help::kAtSecondErrorOnly;
}

bool HelpKeysOn(int help) {
    return help == Help::kHelpKeys || help == Help::kAtSecondError;
}

bool HelpOnEnterLevel(int help) {
    return help >= Help::kOnEnter && help <= Help::kAtSecondError;
}

// Copying asks for help at an error only while the task is typed the second time.
bool ErrorHelpAllowed(const DrillKeyContext& c) {
    return c.program != ProgramCode::CopyTask || c.secondPass;
}

DrillKey ReadingKey(unsigned char key, bool extended) {
    if (extended) {
        switch (key) {
            case doskey::kLeft:
                return DrillKey::BuildUpShorter;
            case doskey::kRight:
                return DrillKey::BuildUpLonger;
            case doskey::kDown:
                return DrillKey::HoldShorter;
            case doskey::kUp:
                return DrillKey::HoldLonger;
            case doskey::kF1:
                return DrillKey::Escape;
            default:
                return DrillKey::Neutral;
        }
    }
    switch (key) {
        case '+':
            return DrillKey::ReadCorrect;
        case '-':
            return DrillKey::ReadWrong;
        case kSkipKey:
            return DrillKey::ReadSkip;
        case doskey::kEnter:
            return DrillKey::ShowAgain;
        case ' ':
            return DrillKey::ClearStrip;
        case doskey::kEscape:
            return DrillKey::Escape;
        default:
            return DrillKey::Neutral;
    }
}

bool SpeaksTask(const DrillKeyContext& c) {
    return c.program == ProgramCode::Dictation &&
           c.dictationMode != option::DictationMode::kPartner;
}

}  // namespace

bool IsInputCharacter(unsigned char c) {
    return (c >= kFirstInputCharacter && c <= kLastInputCharacter) ||
           kFurtherInputCharacters.find(static_cast<char>(c)) != std::string_view::npos;
}

DrillKey ClassifyDrillKey(const DrillKeyContext& c, unsigned char key, bool extended) {
    if (c.readingMode) return ReadingKey(key, extended);
    if (extended) {
        switch (key) {
            case doskey::kPageDown:
                return DrillKey::PageDownSkip;
            case doskey::kPageUp:
                return DrillKey::GoBack;
            case doskey::kF1:
            case doskey::kF2:
            case doskey::kF3:
            case doskey::kUp:
            case doskey::kLeft:
            case doskey::kRight:
            case doskey::kDown:
                return HelpKeysOn(c.help) && c.program != ProgramCode::CopyTask
                           ? DrillKey::HundredBoard
                           : DrillKey::Neutral;
            case doskey::kF5:
                return SpeaksTask(c) ? DrillKey::SpeakAgain : DrillKey::Neutral;
            default:
                return DrillKey::Neutral;
        }
    }
    switch (key) {
        case doskey::kEscape:
            return DrillKey::Escape;
        case doskey::kEnter:
            return DrillKey::Enter;
        case doskey::kBackspace:
            return c.inputControl == InputControl::kCheckOnEnter ? DrillKey::Backspace
                                                                 : DrillKey::Neutral;
        case kSkipLetter:
        case kSkipKey:
            return DrillKey::Skip;
        case ' ':
            return SpeaksTask(c) ? DrillKey::SpeakAgain : DrillKey::Neutral;
        default:
            return IsInputCharacter(key) ? DrillKey::Input : DrillKey::Neutral;
    }
}

unsigned char TranslateTypedCharacter(unsigned char typed, unsigned char expected) {
    return typed == '/' && expected == ':' ? ':' : typed;
}

CharCheck CheckCharacter(const DrillKeyContext& c, unsigned char typed, unsigned char expected) {
    const bool right = expected != 0 && typed == expected;
    if (c.inputControl == InputControl::kRefuseWrongKeys) {
        if (right) return {};
        return {CharVerdict::Refuse,
                HelpLevelAtErrors(c.help) && c.program != ProgramCode::CopyTask};
    }
    if (c.program == ProgramCode::MentalArithmetic) {
        if (right) return {};
        return {CharVerdict::Error, HelpLevelAtErrors(c.help)};
    }
    if (c.inputControl == InputControl::kCheckOnEnter) {
        // anything goes up to the task's length; the comparison comes with Enter
        if (expected != 0) return {};
        return {CharVerdict::Error, false};
    }
    if (right) return {};
    return {CharVerdict::Error, HelpLevelAtErrors(c.help) && ErrorHelpAllowed(c)};
}

EnterDecision DecideEnter(const DrillKeyContext& c) {
    switch (c.inputControl) {
        case InputControl::kRefuseWrongKeys:
            return {c.program != ProgramCode::CopyTask, false};
        case InputControl::kCheckOnEnter:
            return {false, true};
        default:
            break;
    }
    if (HelpOnEnterLevel(c.help)) return {ErrorHelpAllowed(c), false};
    if (c.help == Help::kNone) return {c.countedWrong && IsMemorisingProgram(c.program), false};
    return {};
}

bool HelpOnWrongEnter(const DrillKeyContext& c, int inputLength, int taskLength) {
    return HelpOnEnterLevel(c.help) || inputLength >= taskLength;
}

bool TakesCommaAutomatically(const DrillKeyContext& c, int autoComma, unsigned char expected) {
    if (autoComma != option::AutoComma::kAutomatic || expected != ',') return false;
    if (c.inputControl == InputControl::kCheckOnEnter || c.readingMode) return false;
    return c.program != ProgramCode::FillInSigns;
}

bool StepsOver(const DrillKeyContext& c, std::string_view task, unsigned char expected) {
    if (expected == 0 || IsInputCharacter(expected)) return false;
    if (c.program == ProgramCode::MentalArithmetic || c.readingMode) return false;
    return std::any_of(task.begin(), task.end(),
                       [](char ch) { return IsInputCharacter(static_cast<unsigned char>(ch)); });
}

HelpResult RequestHelp(HelpState state, ProgramCode program, bool fromError) {
    if (fromError && !state.armed) {
        state.armed = true;
        return {state, HelpAction::None};
    }
    constexpr int kBoardH1 = 1, kBoardH3 = 3, kShowTask = 4, kShowTaskAgain = 5;
    int next = IsMemorisingProgram(program) ? kShowTask : state.step + 1;
    if (next == kBoardH1 + 1) next = kBoardH3;
    state.step = next;
    switch (next) {
        case kBoardH1:
            return {state, HelpAction::BoardH1};
        case kBoardH3:
            if (AlternatesBoards(program)) state.step = 0;
            return {state, HelpAction::BoardH3};
        case kShowTask:
            return {state, HelpAction::ShowTask};
        case kShowTaskAgain:
            return {state, HelpAction::ShowTaskAgain};
        default:
            return {state, HelpAction::None};
    }
}

int HelpStepAfterUndisplayableBoard(int step, ProgramCode program) {
    constexpr int kTachistoscopeStep = 5;
    constexpr int kBeyondEveryStep = 100;
    if (ProgramNumber(program) > ProgramNumber(ProgramCode::WrittenArithmetic))
        return kTachistoscopeStep;
    if (program == ProgramCode::MentalArithmetic) return kBeyondEveryStep;
    return step;
}

namespace {
constexpr int kMarkColour = 12;
constexpr int kTaskColour = 14;
constexpr int kOperatorColour = 11;
constexpr int kTypedMarkColour = 13;
constexpr int kInputColour = 10;
// on a white screen
constexpr int kDarkTaskColour = 8;
constexpr int kDarkMentalDigitColour = 7;
constexpr int kDarkOperatorColour = 9;
constexpr int kDarkMemoriseInputColour = 14;
constexpr int kDarkInputColour = 1;
constexpr int kBlack = 0;

bool Marked(const TaskColours& c, int position) {
    return c.markStart > 0 && position >= c.markStart && position < c.markEnd;
}
bool WhiteScreen(int scheme) {
    return scheme == option::BackgroundColour::kWhite;
}
}  // namespace

int FirstDrawingColour(const TaskColours& c, int position, unsigned char ch) {
    if (Marked(c, position)) return kMarkColour;
    const bool white = WhiteScreen(c.scheme);
    if (c.highlightOperators == option::HighlightOperators::kYes) {
        if (!IsDigit(static_cast<char>(ch))) return white ? kDarkOperatorColour : kOperatorColour;
        if (!white) return kTaskColour;
        return c.program == ProgramCode::MentalArithmetic ? kDarkMentalDigitColour
                                                          : kDarkTaskColour;
    }
    return white ? kDarkTaskColour : kTaskColour;
}

int InputCharacterColour(const TaskColours& c, int position) {
    return Marked(c, position) ? kTypedMarkColour : InputColour(c.program, c.scheme);
}

int InputColour(ProgramCode program, int scheme) {
    if (!WhiteScreen(scheme)) return kInputColour;
    return program == ProgramCode::MemoriseOnly || program == ProgramCode::Tachistoscope
               ? kDarkMemoriseInputColour
               : kDarkInputColour;
}

int AreaColour(ProgramCode program, int scheme, bool upperArea) {
    switch (program) {
        case ProgramCode::MemoriseOnly:
        case ProgramCode::Tachistoscope:
            return upperArea ? scheme : kBlack;
        case ProgramCode::MentalArithmetic:
            return upperArea ? kBlack : scheme;
        default:
            return scheme;
    }
}

int FitTaskTextSize(const std::function<int(int)>& widthAt,
                    const std::function<int(int)>& heightAt) {
    int size = kSmallestTextSize;
    while (size < kLargestTextSize && widthAt(size) <= ExerciseRun::kMaxX) ++size;
    --size;
    while (size > kSmallestTextSize && heightAt(size) > ExerciseRun::kMidY) --size;
    if (size > kSmallestTextSize && widthAt(size) > ExerciseRun::kMaxX - 10) --size;
    return std::max(size, kSmallestTextSize);
}

Bytes DrillTopLine(ProgramCode program, const ProgramOptions& o) {
    using option::DictationInput;
    const bool twice = o.repeat == option::Repeat::kTypeTwice || o.repeat == option::Repeat::kAll;
    if (program == ProgramCode::Dictation) {
        const bool everything = o.dictationInput == DictationInput::kEverything;
        if (o.dictationMode == option::DictationMode::kPartner)
            return everything ? "Aufgabe komplett aufschreiben!  Partner diktiert!"
                              : "Nur Ergebnis aufschreiben. Partner diktiert!";
        if (everything)
            return twice ? "Aufgabe 2 mal aufschreiben. F5 = hören"_b
                         : "Aufgabe komplett aufschreiben!  F5 = hören"_b;
        return twice ? "1. Ergebnis + 2. Aufgabe aufschreiben. F5 = hören"_b
                     : "Nur Ergebnis aufschreiben. F5 = hören"_b;
    }
    if (program == ProgramCode::CopyTask) return {};
    if (o.help == Help::kNone) return "Hilfe ausgeschaltet";
    if (o.help == Help::kOnEnter)
        return IsMemorisingProgram(program) ? "Enter = sehen" : "Enter = Hundertertafel";
    return "F1, F2, F3 = Hundertertafel";
}

TachistoscopeStyle StyleOfBoxLine(int boxLine) {
    switch (boxLine) {
        case 3:
            return TachistoscopeStyle::Small;
        case 4:
            return TachistoscopeStyle::Smallest;
        case 5:
            return TachistoscopeStyle::Hatched;
        default:
            return TachistoscopeStyle::Normal;  // the time line or "Normale Schrift"
    }
}

bool DictationRunsAsMentalArithmetic(const std::vector<Bytes>& lines) {
    return std::any_of(lines.begin(), lines.end(), [](const Bytes& line) {
        return line.find(',') != Bytes::npos && line.find('!') == Bytes::npos;
    });
}

}  // namespace radevir
