// The drill's run over the task list and the input loop of one task: keys are read, judged by
// the rules in drill_decisions, drawn, logged and helped here; the end of a task writes its
// protocol notes and shows the solution before the run rules take over.
#include "training/drill.h"

#include <algorithm>

#include "console/dos_keys.h"
#include "exercises/exercise_run.h"
#include "exercises/hundred_board.h"
#include "exercises/session.h"
#include "graphics/graphics.h"
#include "training/drill_task.h"
#include "training/run_rules.h"

namespace radevir {
namespace {

using namespace drill_layout;
using R = ExerciseRun;

constexpr int kSolidFill = 1;
constexpr int kEmptyFill = 0;
constexpr int kShowAgainWaitMs = 1000;
constexpr int kReadingTimeStepMs = 10;
constexpr int kReadingTimeLongestMs = 3000;
constexpr int kReadingLegendColour = 7;
constexpr int kReadingLegendSize = 0;
// A wrong Enter goes into the protocol as this mark: the key itself would break the line.
constexpr char kLoggedEnterMark = '\xB6';  // ¶
// A key that does nothing.
constexpr unsigned char kNeutralKey = 0;
constexpr unsigned char kAcceptedAnswer = 'n';  // AskQuit's "go on"
// Typed characters in mental arithmetic, with and without the colour difference.
constexpr int kGapFilledColour = 15, kDarkGapFilledColour = 2;
constexpr int kPlainGapFilledColour = 10, kDarkPlainGapFilledColour = 8;
// How long each part of the gap box's blink lasts.
constexpr int kBlinkFirstWaitMs = 200, kBlinkSecondWaitMs = 300, kBlinkShownMs = 300;
// The reading test's "-": its history entry moves this far right.
constexpr size_t kReadingWrongIndent = 32;

const Bytes kEscapeNote = " mit ESC beendet";
const Bytes kSkipNote = " *übersprungen* "_b;
const Bytes kHelpShownMark = "(H4)";
const Bytes kReadingLegend =
    "Gelesen = Taste +          Nicht gelesen = Taste -          Wiederholen = Enter";

bool TypesTwice(const Session& s) {
    return s.options.repeat == option::Repeat::kTypeTwice ||
           s.options.repeat == option::Repeat::kAll;
}

bool WhiteScreen(const Session& s) {
    return s.options.backgroundColour == option::BackgroundColour::kWhite;
}

class TaskInput {
  public:
    TaskInput(Session& s, DrillTask& t)
        : s_(s), g_(*s.graphics), c_(s.console), o_(s.options), run_(s.run), t_(t) {}

    // Works the task until it is solved, ended or left with Esc; returns the key that ended it.
    unsigned char Work();

  private:
    DrillKeyContext Context() const {
        return DrillKeyContext{t_.program,       s_.readingMode,  o_.inputControl,  o_.help,
                               o_.dictationMode, run_.secondPass, run_.countedWrong};
    }
    bool MentalArithmetic() const { return t_.program == ProgramCode::MentalArithmetic; }
    bool CheckOnEnter() const { return o_.inputControl == option::InputControl::kCheckOnEnter; }
    unsigned char ExpectedNext() const {
        if (MentalArithmetic()) {
            const auto& gaps = run_.task.gaps;
            return t_.currentGap < gaps.size()
                       ? static_cast<unsigned char>(gaps[t_.currentGap].expected)
                       : 0;
        }
        return t_.input.size() < t_.expected.size()
                   ? static_cast<unsigned char>(t_.expected[t_.input.size()])
                   : 0;
    }
    bool Solved() const {
        return !MentalArithmetic() && !s_.readingMode && t_.input == t_.expected;
    }
    bool StepsOverNext() const { return StepsOver(Context(), t_.expected, ExpectedNext()); }
    bool GoesOn() const {
        if (run_.taskDone != TaskEnd::Open || key_ == doskey::kEscape) return false;
        return CheckOnEnter() || !Solved();
    }

    void ReadOneKey();
    void HideTaskOnFirstKey();
    void Handle(DrillKey kind);
    void TypedCharacter();
    void AcceptCharacter(unsigned char ch);
    void AcceptGapCharacter(unsigned char ch);
    void StepOverUntypeable();
    void EnterPressed();
    void Backspace();
    void TakeBackGapCharacter();
    void EraseInputFrom(size_t length);
    void Escape();
    void Help(bool fromError);
    void Board(unsigned char key);
    void ReadingAnswer(bool readRight);
    void AdjustReadingTime(int& value, int step);
    void SecondPassWhenDue();
    void DrawTyped(unsigned char ch, int x, int colour);
    void BlinkGapUntilKey();
    void WaitUnlessKey(int ms) {
        if (!c_.KeyPressed()) c_.Delay(ms);
    }

    Session& s_;
    Graphics& g_;
    Console& c_;
    const ProgramOptions& o_;
    ExerciseRun& run_;
    DrillTask& t_;
    unsigned char key_ = kNeutralKey;
    bool extended_ = false;
    size_t presetLength_ = 0;  // dictation: the part of the task already entered
};

unsigned char TaskInput::Work() {
    presetLength_ = t_.input.size();
    if (MentalArithmetic() && run_.task.gaps.empty()) run_.taskDone = TaskEnd::Done;
    StepOverUntypeable();
    while (GoesOn()) {
        ReadOneKey();
        if (t_.program == ProgramCode::MemoriseOnly &&
            o_.memoriseTime >= option::MemoriseTime::kUntilKeyMs && !t_.taskHidden)
            HideTaskOnFirstKey();
        Handle(ClassifyDrillKey(Context(), key_, extended_));
        run_.lastKey = key_;
        run_.lastKeyExtended = extended_;
        SecondPassWhenDue();
    }
    return key_;
}

void TaskInput::ReadOneKey() {
    if (TakesCommaAutomatically(Context(), o_.autoComma, ExpectedNext())) {
        key_ = ',';
        extended_ = false;
        return;
    }
    if (MentalArithmetic()) BlinkGapUntilKey();
    key_ = c_.ReadKey();
    extended_ = c_.LastKeyExtended();
}

void TaskInput::BlinkGapUntilKey() {
    while (!c_.KeyPressed()) {
        for (int fill : {kGapBoxBlinkFill, kGapBoxFill}) {
            WaitUnlessKey(kBlinkFirstWaitMs);
            WaitUnlessKey(kBlinkSecondWaitMs);
            DrawGapBox(s_, t_, fill);
            WaitUnlessKey(kBlinkShownMs);
        }
    }
}

// "bis Taste": the first key takes the task away; it is input only when it is the task's first
// character (Esc still asks).
void TaskInput::HideTaskOnFirstKey() {
    t_.taskHidden = true;
    g_.SetFillStyle(kSolidFill, AreaColour(t_.program, o_.backgroundColour, true));
    g_.Bar(2, R::kMidY / 4, R::kMaxX - 2, R::kMidY - 10);
    const bool escape = key_ == doskey::kEscape && !extended_;
    const unsigned char first = ExpectedNext();  // blanks and letters before it are stepped over
    const bool firstCharacter =
        !extended_ && first != 0 && TranslateTypedCharacter(key_, first) == first;
    if (!escape && !firstCharacter) {
        key_ = kNeutralKey;
        extended_ = false;
    }
}

void TaskInput::Handle(DrillKey kind) {
    switch (kind) {
        case DrillKey::Neutral:
            break;
        case DrillKey::Input:
            TypedCharacter();
            break;
        case DrillKey::Escape:
            Escape();
            break;
        case DrillKey::Skip:
            run_.taskDone = TaskEnd::Done;
            break;
        case DrillKey::PageDownSkip:
            run_.taskDone = TaskEnd::Done;
            key_ = kSkipKey;
            break;
        case DrillKey::GoBack:
            run_.taskDone = TaskEnd::GoBack;
            key_ = kSkipKey;
            break;
        case DrillKey::HundredBoard:
            Board(key_);
            break;
        case DrillKey::Enter:
            EnterPressed();
            break;
        case DrillKey::Backspace:
            Backspace();
            break;
        case DrillKey::SpeakAgain:
            SpeakTask(s_);
            break;
        case DrillKey::ReadCorrect:
            ReadingAnswer(true);
            break;
        case DrillKey::ReadWrong:
            ReadingAnswer(false);
            break;
        case DrillKey::ReadSkip:
            run_.taskDone = TaskEnd::Done;
            break;
        case DrillKey::ShowAgain:
            if (o_.holdTime > 0) ShowReadingTaskAgain(s_, t_);
            break;
        case DrillKey::ClearStrip:
            ClearReadingStrip(s_);
            break;
        case DrillKey::BuildUpShorter:
            AdjustReadingTime(s_.options.buildUpTime, -kReadingTimeStepMs);
            break;
        case DrillKey::BuildUpLonger:
            AdjustReadingTime(s_.options.buildUpTime, kReadingTimeStepMs);
            break;
        case DrillKey::HoldShorter:
            AdjustReadingTime(s_.options.holdTime, -kReadingTimeStepMs);
            break;
        case DrillKey::HoldLonger:
            AdjustReadingTime(s_.options.holdTime, kReadingTimeStepMs);
            break;
    }
}

void TaskInput::TypedCharacter() {
    const unsigned char expected = ExpectedNext();
    const unsigned char ch = TranslateTypedCharacter(key_, expected);
    const CharCheck check = CheckCharacter(Context(), ch, expected);
    switch (check.verdict) {
        case CharVerdict::Accept:
            if (MentalArithmetic()) {
                AcceptGapCharacter(ch);
            } else {
                AcceptCharacter(ch);
            }
            break;
        case CharVerdict::Refuse:
            LogWrongKey(s_, ch);
            if (o_.soundLevel != option::SoundLevel::kSilent) c_.PlayWaveFile("wavs\\peep440.wav");
            if (check.helpRequest) Help(true);
            break;
        case CharVerdict::Error:
            ErrorTone(s_);
            if (!run_.countedWrong) FirstError(s_);
            if (check.helpRequest) Help(true);
            LogWrongKey(s_, ch);
            break;
    }
}

void TaskInput::DrawTyped(unsigned char ch, int x, int colour) {
    SetTaskTextStyle(s_, t_);
    g_.SetColor(colour);
    g_.OutTextXY(x, t_.drawY, Bytes(1, static_cast<char>(ch)));
}

void TaskInput::AcceptCharacter(unsigned char ch) {
    t_.input.push_back(static_cast<char>(ch));
    LogCorrectKey(s_, ch);
    EraseCursorBox(s_, t_);
    DrawTyped(ch, t_.drawX, InputCharacterColour(t_.colours, static_cast<int>(t_.input.size())));
    SetTaskTextStyle(s_, t_);
    t_.drawX += g_.TextWidthVga(Bytes(1, static_cast<char>(ch)));
    KeyClick(s_);
    StepOverUntypeable();
    if (t_.input.size() < t_.expected.size()) DrawCursorBox(s_, t_, kCursorBoxFill);
}

// Blanks and letters of the task are entered and drawn by themselves, without a click; the
// protocol keeps only what the child typed.
void TaskInput::StepOverUntypeable() {
    if (!StepsOverNext()) return;
    const bool cursorWasShown = t_.cursorShown;
    EraseCursorBox(s_, t_);
    while (StepsOverNext()) {
        const auto ch = static_cast<unsigned char>(t_.expected[t_.input.size()]);
        t_.input.push_back(static_cast<char>(ch));
        DrawTyped(ch, t_.drawX,
                  InputCharacterColour(t_.colours, static_cast<int>(t_.input.size())));
        SetTaskTextStyle(s_, t_);
        t_.drawX += g_.TextWidthVga(Bytes(1, static_cast<char>(ch)));
    }
    if (cursorWasShown && t_.input.size() < t_.expected.size())
        DrawCursorBox(s_, t_, kCursorBoxFill);
}

void TaskInput::AcceptGapCharacter(unsigned char ch) {
    EraseGapBox(s_, t_);
    const int colour = o_.colourDifference == option::Switch::kOn
                           ? (WhiteScreen(s_) ? kDarkGapFilledColour : kGapFilledColour)
                           : (WhiteScreen(s_) ? kDarkPlainGapFilledColour : kPlainGapFilledColour);
    DrawTyped(ch, t_.gapX[t_.currentGap], colour);
    t_.input.push_back(static_cast<char>(ch));
    LogCorrectKey(s_, ch);
    KeyClick(s_);
    ++t_.currentGap;
    if (t_.currentGap >= run_.task.gaps.size()) {
        run_.taskDone = TaskEnd::Done;
    } else {
        DrawGapBox(s_, t_, kGapBoxFill);
    }
}

void TaskInput::EnterPressed() {
    const EnterDecision decision = DecideEnter(Context());
    if (decision.helpRequest) Help(false);
    if (!decision.compareInput) return;
    if (t_.input != t_.expected) {
        ErrorTone(s_);
        if (HelpOnWrongEnter(Context(), static_cast<int>(t_.input.size()),
                             static_cast<int>(t_.expected.size())))
            Help(true);  // a wrong Enter is an error: the first one only arms the help
        if (!run_.countedWrong) FirstError(s_);
        LogWrongKey(s_, static_cast<unsigned char>(kLoggedEnterMark));
        return;
    }
    EraseCursorBox(s_, t_);
    DrawCursorBox(s_, t_, kDoneCursorBoxFill);
    run_.taskDone = TaskEnd::Done;
    KeyClick(s_);
}

// The last character typed goes, with the blanks and letters that were stepped over after it.
void TaskInput::Backspace() {
    if (MentalArithmetic()) {
        TakeBackGapCharacter();
        return;
    }
    size_t keep = t_.input.size();
    while (keep > presetLength_ &&
           StepsOver(Context(), t_.expected, static_cast<unsigned char>(t_.expected[keep - 1])))
        --keep;
    if (keep <= presetLength_) return;
    EraseCursorBox(s_, t_);
    EraseInputFrom(keep - 1);
    if (o_.soundLevel <= option::SoundLevel::kKeyClickAndError)
        c_.PlayWaveFile("wavs\\korrektur.wav");
    DrawCursorBox(s_, t_, kCursorBoxFill);
}

void TaskInput::EraseInputFrom(size_t length) {
    SetTaskTextStyle(s_, t_);
    while (t_.input.size() > length) {
        const Bytes last(1, t_.input.back());
        t_.drawX -= g_.TextWidthVga(last);
        EraseCharacter(s_, t_, t_.drawX, t_.drawY, static_cast<unsigned char>(last[0]),
                       AreaColour(t_.program, o_.backgroundColour, false));
        t_.input.pop_back();
    }
}

// Mental arithmetic keeps no input line of its own: Backspace takes the last gap's digit back,
// and that gap is the one to fill again. Before the first gap is filled there is nothing to take.
void TaskInput::TakeBackGapCharacter() {
    if (t_.currentGap == 0 || t_.currentGap > t_.gapX.size() || t_.input.empty()) return;
    EraseGapBox(s_, t_);
    --t_.currentGap;
    EraseCharacter(s_, t_, t_.gapX[t_.currentGap], t_.drawY,
                   static_cast<unsigned char>(t_.input.back()),
                   AreaColour(t_.program, o_.backgroundColour, false));
    t_.input.pop_back();
    if (o_.soundLevel <= option::SoundLevel::kKeyClickAndError)
        c_.PlayWaveFile("wavs\\korrektur.wav");
    DrawGapBox(s_, t_, kGapBoxFill);
}

void TaskInput::Escape() {
    key_ = AskQuit(s_);
    extended_ = false;
    if (key_ != doskey::kEscape) key_ = kAcceptedAnswer;
}

void TaskInput::Help(bool fromError) {
    const HelpResult result = RequestHelp(t_.help, t_.program, fromError);
    t_.help = result.state;
    switch (result.action) {
        case HelpAction::None:
            break;
        case HelpAction::BoardH1:
            Board(doskey::kLeft);
            break;
        case HelpAction::BoardH3:
            Board(doskey::kRight);
            break;
        case HelpAction::ShowTask:
            ShowTaskForAWhile(s_, t_);
            run_.taskWrong = true;
            if (Bytes* line = CurrentProtocolLine(s_)) *line += kHelpShownMark;
            break;
        case HelpAction::ShowTaskAgain:
            c_.Delay(kShowAgainWaitMs);
            ShowTaskForAWhile(s_, t_);
            break;
    }
}

void TaskInput::Board(unsigned char key) {
    if (!ShowHundredBoard(s_, t_.expected, key))
        t_.help.step = HelpStepAfterUndisplayableBoard(t_.help.step, t_.program);
}

void TaskInput::ReadingAnswer(bool readRight) {
    Bytes* line = CurrentProtocolLine(s_);
    if (!readRight && !run_.countedWrong) {
        run_.countedWrong = true;
        // the reading test keeps a wrong task at the entry of its task number
        if (run_.tasksDone >= 1 && run_.tasksDone <= R::kMaxTasks) {
            const auto n = static_cast<size_t>(run_.tasksDone);
            run_.wrongTaskList[n] = run_.task.rawLine;
            run_.taskHistory[n] = Bytes(kReadingWrongIndent, ' ') + run_.taskHistory[n];
        }
        ++run_.wrongCount;
    }
    if (line != nullptr) line->insert(0, readRight ? "+ " : "- ");
    if (o_.soundLevel == option::SoundLevel::kAllSounds) KeyClick(s_);
    run_.taskDone = TaskEnd::Done;
}

// Values from an option file need not be steps of ten: a step never leaves the option's range.
void TaskInput::AdjustReadingTime(int& value, int step) {
    value = std::clamp(value + step, 0, kReadingTimeLongestMs);
    ShowReadingTimes(s_);
}

// "2x": a task solved (or ended) the first time is typed once more on a cleared input line.
void TaskInput::SecondPassWhenDue() {
    if (!TypesTwice(s_) || MentalArithmetic() || s_.readingMode || key_ == doskey::kEscape) return;
    const bool solved = Solved() && !CheckOnEnter();
    if (!solved && run_.taskDone == TaskEnd::Open) return;
    if (run_.secondPass) {
        run_.secondPass = false;
        return;
    }
    run_.secondPass = true;
    run_.taskDone = TaskEnd::Open;
    t_.input.clear();
    presetLength_ = 0;
    t_.drawX = t_.startX;
    run_.taskWrong = false;
    t_.help = HelpState{};
    ClearForSecondPass(s_);  // waits a moment first
    if (FramesShown(s_, t_)) DrawFrames(s_, t_);
    t_.cursorShown = false;
    StepOverUntypeable();
    DrawCursorBox(s_, t_, kCursorBoxFill);
}

void EndTask(Session& s, DrillTask& t, unsigned char key) {
    ExerciseRun& run = s.run;
    Bytes* line = CurrentProtocolLine(s);
    if (key == doskey::kEscape) {
        if (line != nullptr) *line += kEscapeNote;
        const bool solved =
            t.program != ProgramCode::MentalArithmetic && !s.readingMode && t.input == t.expected;
        if (solved || run.taskDone == TaskEnd::Done) FinishTaskLog(s);
        return;
    }
    if (key == kSkipKey && run.taskDone == TaskEnd::Done && line != nullptr) *line += kSkipNote;
    FinishTaskLog(s);
    ShowSolution(s, t);
}

void ReadingBottomLine(Session& s) {
    Graphics& g = *s.graphics;
    g.SetFillStyle(kEmptyFill, 0);
    g.Bar(0, R::kMaxY - 10, R::kMaxX, R::kMaxY);
    g.SetColor(kReadingLegendColour);
    g.SetTextStyle(kPlainFont, 0, kReadingLegendSize);
    g.SetTextJustify(0, 2);
    g.OutTextXY(8, R::kMaxY - 9, kReadingLegend);
}

}  // namespace

void RunDrill(Session& s) {
    if (s.graphics == nullptr) return;
    const ProgramCode chosen = s.programCode;
    const bool dictationAsMental =
        chosen == ProgramCode::Dictation && DictationRunsAsMentalArithmetic(s.tasks.lines);
    if (dictationAsMental) s.programCode = ProgramCode::MentalArithmetic;
    BeginRun(s);
    s.graphics->SetTextStyle(kTaskFont, 0, 4);
    if (s.readingMode) ReadingBottomLine(s);
    DrillTask task;
    for (;;) {
        NextTask(s);
        if (s.run.taskDone != TaskEnd::Open) {  // nothing left but hints and separators
            if (AskRepeatAtListEnd(s)) continue;
            break;
        }
        PresentTask(s, task);
        TaskInput input(s, task);
        const unsigned char key = input.Work();
        s.run.lastKey = key;
        EndTask(s, task, key);
        if (!AfterTask(s, TaskOutcome{key == doskey::kEscape, key == kSkipKey})) break;
    }
    EndDrillRun(s);
    if (dictationAsMental) s.programCode = ProgramCode::Dictation;
}

}  // namespace radevir
