#include "exercises/exercise_run.h"

#include <algorithm>
#include <cmath>

#include "console/console.h"
#include "console/dos_keys.h"
#include "exercises/session.h"
#include "graphics/graphics.h"
#include "support/clock.h"

namespace radevir {
namespace {

constexpr double kDayMs = 24.0 * 60 * 60 * 1000;
constexpr int kSolidFill = 1;
constexpr int kThickLine = 3;
constexpr int kNormalLine = 1;
constexpr int kTaskFont = 3;
constexpr int kSmallFont = 0;
constexpr int kLeftText = 0;
constexpr int kCentreText = 1;
constexpr int kTopText = 2;
constexpr int kHistoryIndent = 29;  // a wrong task's history entry stands in the second column
constexpr int kProtocolTextWidth = 30;
constexpr int kLastTaskProtocolEntry = 99;  // entries 0..98 hold task lines
constexpr int kLastProtocolEntry = 100;     // hint lines may go up to here
constexpr int kRandomDrawsAtMost = 1000;    // a list of equal lines must not hang the draw
// The figure runs in the bands at the top and the bottom of the screen (59 units high).
constexpr int kFigureHeight = 55;
constexpr int kStandingPose = 21;
constexpr int kStandingPoseWidth = 100;
constexpr int kBandNone = 0;
constexpr int kBandCopy = 9;
constexpr int kBandSigns = 5;

double MsSinceMidnight(const Clock& clock) {
    return static_cast<double>(clock.CurrentDateTime().time().msecsSinceStartOfDay());
}

Bytes PaddedRight(Bytes text, size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

int Code(ProgramCode code) {
    return ProgramNumber(code);
}

// The band colour of a program's screen: the figure pictures are drawn on it.
int BandColour(ProgramCode code) {
    switch (code) {
        case ProgramCode::CopyTask:
            return kBandCopy;
        case ProgramCode::FillInSigns:
        case ProgramCode::Dictation:
            return kBandSigns;
        default:
            return kBandNone;
    }
}

void FillBar(Graphics& g, int colour, int x1, int y1, int x2, int y2) {
    g.SetFillStyle(kSolidFill, colour);
    g.Bar(x1, y1, x2, y2);
}

// The three bands of copying, filling in signs and dictation.
void DrawBandedScreen(Session& s, int bandColour, bool middleBand) {
    Graphics& g = *s.graphics;
    constexpr int midY = ExerciseRun::kMidY, maxX = ExerciseRun::kMaxX, maxY = ExerciseRun::kMaxY;
    const int scheme = s.options.backgroundColour;
    g.SetBkColor(scheme);
    FillBar(g, scheme, 0, 0, maxX, maxY);
    FillBar(g, bandColour, 0, 0, maxX, midY / 4);
    if (middleBand) FillBar(g, bandColour, 0, midY - 10, maxX, midY + 10);
    FillBar(g, bandColour, 0, maxY - midY / 4, maxX, maxY);
}

void DrawProgramBackground(Session& s) {
    Graphics& g = *s.graphics;
    constexpr int midY = ExerciseRun::kMidY, maxX = ExerciseRun::kMaxX, maxY = ExerciseRun::kMaxY;
    const int scheme = s.options.backgroundColour;
    switch (s.programCode) {
        case ProgramCode::MentalArithmetic:
            g.SetBkColor(0);
            FillBar(g, scheme, 0, midY + 10, maxX, maxY - midY / 4 - 4);
            g.SetLineStyle(0, 0, kThickLine);
            g.SetColor(11);
            g.Line(0, midY + 9, maxX, midY + 9);
            g.Line(0, maxY - midY / 4 - 2, maxX, maxY - midY / 4 - 2);
            break;
        case ProgramCode::CopyTask:
            DrawBandedScreen(s, kBandCopy, !s.readingMode);
            break;
        case ProgramCode::FillInSigns:
        case ProgramCode::Dictation:
            DrawBandedScreen(s, kBandSigns, true);
            break;
        default:  // memorising and the tachistoscope
            g.SetBkColor(0);
            FillBar(g, scheme, 2, midY / 4, maxX - 2, midY - 10);
            g.SetLineStyle(0, 0, kThickLine);
            g.SetColor(s.programCode == ProgramCode::Tachistoscope ? 13 : 14);
            g.Rectangle(0, midY / 4 - 2, maxX, midY - 8);
            break;
    }
    g.SetLineStyle(0, 0, kNormalLine);
    const int repeat = s.options.repeat;
    if (s.programCode == ProgramCode::Dictation &&
        (repeat == option::Repeat::kTypeTwice || repeat == option::Repeat::kAll)) {
        g.SetTextStyle(kSmallFont, 0, 1);
        g.SetTextJustify(kLeftText, 0);
        g.SetColor(15);
        g.OutTextXY(4, maxY - 8, "2-fach");
    }
}

void LoadFigurePictures(Session& s) {
    Graphics& g = *s.graphics;
    const int band = BandColour(s.programCode);
    const QColor background = s.console.Palette()[static_cast<size_t>(band)];
    for (int i = 0; i < ExerciseRun::kFigurePictures; ++i) {
        const Bytes file = "bitplane\\schwarz\\brot" + std::to_string(i) + ".png";
        const int width = i == kStandingPose ? kStandingPoseWidth : 0;
        g.LoadPictureBitmap(s.run.pictures[static_cast<size_t>(i)], background, width,
                            kFigureHeight, file, false);
    }
}

// One step on in the list: onto the next line, or the list is through once its last line has
// been passed — a task after a hint or separator at the end is still asked.
void Advance(Session& s) {
    if (s.tasks.position < s.tasks.Count())
        ++s.tasks.position;
    else
        s.run.taskDone = TaskEnd::Done;
}

// Lines that are not tasks: separators are skipped, hint lines go into the protocol.
void SkipSeparatorsAndHints(Session& s) {
    ExerciseRun& r = s.run;
    for (;;) {
        if (r.taskDone != TaskEnd::Open) return;
        const Bytes& line = s.tasks.Line(s.tasks.position);
        if (IsSeparatorLine(line)) {
            Advance(s);
        } else if (IsHintLine(line)) {
            if (s.protocolCount <= kLastProtocolEntry) {
                s.protocolLines[static_cast<size_t>(s.protocolCount)] =
                    "      " + line.substr(1, kProtocolTextWidth);
                ++s.protocolCount;
            }
            Advance(s);
        } else {
            return;
        }
    }
}

// Mental arithmetic with lines of less than three characters is copying: the list is taken
// from its start as a copying list.
void SwitchShortLinesToCopying(Session& s) {
    TaskList& t = s.tasks;
    while (t.position < t.Count() - 1 && t.Line(t.position).size() < 3) ++t.position;
    // a list whose lines are tasks stays mental arithmetic, even one of a single line
    if (t.position != t.Count() || t.Line(t.position).size() >= 3) return;
    t.position = 1;
    s.programCode = ProgramCode::CopyTask;
    if (!s.graphics) return;
    Graphics& g = *s.graphics;
    constexpr int midY = ExerciseRun::kMidY, maxX = ExerciseRun::kMaxX, maxY = ExerciseRun::kMaxY;
    g.SetBkColor(s.options.backgroundColour);
    FillBar(g, kBandCopy, 0, 0, maxX, midY / 4 - 4);
    FillBar(g, kBandCopy, 0, midY - 10, maxX, midY + 10);
    FillBar(g, kBandCopy, 0, maxY - midY / 4 - 2, maxX, maxY);
}

void ChooseRandomLine(Session& s) {
    ExerciseRun& r = s.run;
    TaskList& t = s.tasks;
    for (int draw = 0; draw < kRandomDrawsAtMost; ++draw) {
        t.position = s.random.Next(t.Count() - 2) + 1;
        if (r.firstTaskOfRun || t.Line(t.position) != r.previousRawLine) return;
    }
}

// Mental arithmetic always asks for something: a task without a gap gets one at random.
void AddRandomGap(Session& s) {
    Task& task = s.run.task;
    const int length = static_cast<int>(task.displayText.size());
    if (!task.gaps.empty() || length < 2) return;
    for (int draw = 0; draw < kRandomDrawsAtMost; ++draw) {
        const int p = std::min(s.random.Next(length - 2) + 2, length);
        const char c = task.displayText[static_cast<size_t>(p - 1)];
        if (c == ' ') continue;
        task.gaps.push_back(TaskGap{p, c});
        return;
    }
}

Bytes& HistoryEntry(ExerciseRun& r) {
    return r.taskHistory[static_cast<size_t>(std::clamp(r.tasksDone, 0, ExerciseRun::kMaxTasks))];
}

// The choice of a new task (not a repetition): back to where the run was, the task number,
// random order, the short-line switch, separators and hints. False when the list is through.
bool MoveToNewTask(Session& s) {
    ExerciseRun& r = s.run;
    TaskList& t = s.tasks;
    const ProgramOptions& o = s.options;
    if (t.position < r.furthestPosition) t.position = r.furthestPosition;
    if (o.repeat > option::Repeat::kTypeTwice && r.returnPosition > 0) r.returnPending = true;
    if (s.graphics) s.graphics->SetTextJustify(kCentreText, kCentreText);
    const bool counts = r.lastKey != kSkipKey;
    if (counts) r.tasksDone = std::min(r.tasksDone + 1, ExerciseRun::kMaxTasks);
    if ((s.readingMode || o.figure == option::Figure::kTaskCounter) &&
        s.programCode != ProgramCode::WrittenArithmetic)
        ShowTaskNumber(s);
    if (o.taskOrder == option::TaskOrder::kRandom && t.Count() > 5) ChooseRandomLine(s);
    if (t.position > t.Count()) t.position = 1;
    if (s.programCode == ProgramCode::MentalArithmetic && s.currentText.size() < 3)
        SwitchShortLinesToCopying(s);
    SkipSeparatorsAndHints(s);
    if (r.taskDone == TaskEnd::Open) return true;
    if (counts) --r.tasksDone;
    return false;
}

}  // namespace

void Stopwatch::Start(const Clock& clock) {
    startMs = MsSinceMidnight(clock);
    stopMs = startMs;
}

void Stopwatch::Stop(const Clock& clock) {
    stopMs = MsSinceMidnight(clock);
}

namespace {
int WrappedSeconds(double fromMs, double toMs) {
    double elapsed = toMs - fromMs;
    if (elapsed < 0) elapsed += kDayMs;                         // across midnight
    return static_cast<int>(std::nearbyint(elapsed / 1000.0));  // halves to even
}
}  // namespace

int Stopwatch::ElapsedSeconds() const {
    return WrappedSeconds(startMs, stopMs);
}

int Stopwatch::RunningSeconds(const Clock& clock) const {
    return WrappedSeconds(startMs, MsSinceMidnight(clock));
}

void BeginRun(Session& s) {
    ExerciseRun& r = s.run;
    const Stopwatch runWatch = r.runStopwatch;  // started by the menu just before the run
    const int timeLimit = r.timeLimit_s;
    r = ExerciseRun{};
    r.runStopwatch = runWatch;
    r.timeLimit_s = timeLimit;
    if (!s.graphics) return;
    s.graphics->InitGraph(0);
    DrawProgramBackground(s);
    LoadFigurePictures(s);
}

void NextTask(Session& s) {
    ExerciseRun& r = s.run;
    TaskList& t = s.tasks;
    const ProgramOptions& o = s.options;
    const bool returnMode = o.repeat > option::Repeat::kTypeTwice;
    r.previousRawLine = r.task.rawLine;
    r.countedWrong = false;
    r.taskDone = TaskEnd::Open;
    Bytes rawLine;

    if (r.repeating) {
        if (returnMode) {
            r.returnPending = false;
            r.returnPosition = 0;
        }
        rawLine = r.wrongTaskList[static_cast<size_t>(
            std::clamp(r.repeatCount, 0, ExerciseRun::kMaxTasks))];
        if (r.repeatCount > 0) --r.repeatCount;
        r.countedWrong = true;
    } else {
        bool newTask = true;
        if (r.returnPending) {  // the wrong task once more, right after the one that followed it
            r.returnPending = false;
            r.furthestPosition = std::max(r.furthestPosition, t.position);
            t.position = r.returnPosition;
            r.returnPosition = 0;
            r.countedWrong = true;
            newTask = false;
        }
        if (newTask && !MoveToNewTask(s)) return;  // nothing but hints and separators were left
        if (t.position > t.Count() || t.position < 1) t.position = 1;
        rawLine = t.Line(t.position);
    }
    const bool markingAllowed = o.colourDifference != option::Switch::kOff &&
                                s.programCode != ProgramCode::MentalArithmetic;
    r.task = PrepareTaskLine(rawLine, markingAllowed);
    // an immediate repetition takes over the history entry of the task worked before it
    if (!r.repeating) HistoryEntry(r) = r.task.displayText;
    r.firstTaskOfRun = false;

    if (s.graphics) {
        s.graphics->SetColor(o.backgroundColour == option::BackgroundColour::kWhite ? 8 : 14);
        s.graphics->SetTextStyle(kTaskFont, 0, 4);
    }
    if (s.programCode == ProgramCode::MentalArithmetic) AddRandomGap(s);
    s.currentText = r.task.displayText;

    // the task's line in the teacher protocol
    r.hasProtocolLine = s.protocolCount < kLastTaskProtocolEntry;
    if (r.hasProtocolLine) {
        s.protocolLines[static_cast<size_t>(s.protocolCount)] =
            PaddedRight(rawLine, kProtocolTextWidth);
        ++s.protocolCount;
    }
    r.taskWrong = false;
    r.inputLog.clear();
}

Bytes* CurrentProtocolLine(Session& s) {
    if (!s.run.hasProtocolLine || s.protocolCount < 1) return nullptr;
    return &s.protocolLines[static_cast<size_t>(s.protocolCount - 1)];
}

void LogCorrectKey(Session& s, unsigned char key) {
    ExerciseRun& r = s.run;
    if (r.taskWrong) {
        Bytes* line = CurrentProtocolLine(s);
        if (line && line->size() < ExerciseRun::kProtocolKeyLimit)
            line->push_back(static_cast<char>(key));
    } else if (r.inputLog.size() < ExerciseRun::kInputLogLimit) {
        r.inputLog.push_back(static_cast<char>(key));
    }
}

void LogWrongKey(Session& s, unsigned char key) {
    ExerciseRun& r = s.run;
    Bytes* line = CurrentProtocolLine(s);
    if (!r.taskWrong) {
        r.taskWrong = true;
        if (line) *line = PaddedRight(*line, kProtocolTextWidth) + r.inputLog;
    }
    if (line && line->size() < ExerciseRun::kProtocolKeyLimit)
        *line += "(" + Bytes(1, static_cast<char>(key)) + ")";
}

void ErrorTone(Session& s) {
    const ProgramOptions& o = s.options;
    if (o.soundLevel < option::SoundLevel::kSilent) s.console.PlayWaveFile("wavs\\fehlerton.wav");
    const bool partnerDictation = s.programCode == ProgramCode::Dictation &&
                                  o.dictationMode == option::DictationMode::kPartner;
    if (o.repeat > option::Repeat::kTypeTwice && !partnerDictation && !s.run.countedWrong)
        s.run.returnPosition = s.tasks.position;
}

void KeyClick(Session& s) {
    if (s.options.soundLevel >= option::SoundLevel::kErrorOnly) return;
    s.console.StopSounds();
    s.console.PlayWaveFile("wavs\\tippton.wav");
}

void FirstError(Session& s) {
    ExerciseRun& r = s.run;
    r.countedWrong = true;
    if (r.wrongCount < ExerciseRun::kMaxTasks) {
        r.wrongTaskList[static_cast<size_t>(r.wrongCount + 1)] = s.tasks.Line(s.tasks.position);
        ++r.wrongCount;
        ++r.repeatCount;
    }
    Bytes& entry = HistoryEntry(r);
    entry.insert(0, kHistoryIndent, ' ');
}

void FinishTaskLog(Session& s) {
    ExerciseRun& r = s.run;
    r.taskStopwatch.Stop(s.console.GetClock());
    Bytes t = std::to_string(r.taskStopwatch.ElapsedSeconds());
    if (t.size() > 3) t = "???";
    t.insert(0, 3 - t.size(), ' ');
    if (Bytes* line = CurrentProtocolLine(s))
        *line = t + (r.taskWrong ? " F " : "   ") + *line + " ";
    if (!r.repeating) {
        Bytes& entry = HistoryEntry(r);
        entry = t + "  " + entry;
    }
}

unsigned char AskQuit(Session& s) {
    Console& c = s.console;
    if (!s.graphics) return doskey::kEscape;
    Graphics& g = *s.graphics;
    const int previousSize = c.Graphics().charSize;
    QImage saved;
    g.GetImage(80, 230, 580, 270, saved);
    FillBar(g, 2, 80, 230, 560, 265);
    g.SetColor(14);
    g.Rectangle(80, 230, 560, 265);
    g.SetTextStyle(kTaskFont, 0, 3);
    g.SetTextJustify(kLeftText, kTopText);
    g.SetColor(15);
    g.OutTextXY(110, 240, "Jetzt schon beenden?  j oder n");
    unsigned char answer = 0;
    while (answer == 0) {
        const unsigned char key = c.ReadKey();
        if (key == 'j' || key == 'J')
            answer = doskey::kEscape;
        else if (key == 'n' || key == 'N' || (key == doskey::kEscape && c.LastKeyExtended()))
            answer = 'n';
    }
    g.PutImage(80, 230, saved);
    g.SetTextStyle(kTaskFont, 0, previousSize);
    g.SetColor(10);
    return answer;
}

void ShowTaskNumber(Session& s) {
    if (!s.graphics) return;
    Graphics& g = *s.graphics;
    const int code = Code(s.programCode);
    const int scheme = s.options.backgroundColour;
    const bool darkTextPrograms = code >= 1 && code <= 3;
    const bool ownColour = darkTextPrograms || s.programCode == ProgramCode::Tachistoscope;
    g.SetColor(!ownColour && scheme == option::BackgroundColour::kWhite ? 8 : 3);
    int fill = scheme;
    if (s.programCode == ProgramCode::MemoriseOnly ||
        s.programCode == ProgramCode::MentalArithmetic ||
        s.programCode == ProgramCode::Tachistoscope)
        fill = 0;
    else if (s.programCode == ProgramCode::CopyTask)
        fill = kBandCopy;
    FillBar(g, fill, 504, 452, 610, 466);
    g.SetTextStyle(kSmallFont, 0, 1);
    g.SetTextJustify(kCentreText, kCentreText);
    g.OutTextXY(550, 460, "Aufgabe: " + std::to_string(s.run.tasksDone));
}

void EndRunGraphics(Session& s) {
    for (QImage& picture : s.run.pictures) picture = QImage();
    if (s.graphics) s.graphics->CloseGraph();
}

void ShowClosingScreen(Session& s) {
    Console& c = s.console;
    c.Window(1, 1, 80, 25);
    c.TextColor(7);
    c.TextBackground(0);
    c.ClrScr();
    const Bytes shade(80, static_cast<char>(0xB2));
    for (int row = 1; row <= 24; ++row) {
        c.GotoXY(1, row);
        c.Write(shade);
    }
    c.GotoXY(1, 25);
    c.TextColor(0);
    c.TextBackground(3);
    // "Die Übung ist beendet." in Windows-1252
    c.Write(PaddedRight(Bytes("  Die \xDC"
                              "bung ist beendet.  Weiter mit einer Taste."),
                        79));
    c.TextColor(7);
    c.TextBackground(0);
    while (c.KeyPressed()) c.ReadKey();  // keys typed during the task do not pass the screen
    c.ReadKey();
}

}  // namespace radevir
