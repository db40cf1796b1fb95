#include "training/run_rules.h"

#include "console/console.h"
#include "console/dos_keys.h"
#include "exercises/session.h"
#include "graphics/graphics.h"
#include "training/menu_screen.h"
#include "training/run_decisions.h"

namespace radevir {
namespace {

constexpr int kMaxX = ExerciseRun::kMaxX;
constexpr int kMaxY = ExerciseRun::kMaxY;
constexpr int kMidX = ExerciseRun::kMidX;
constexpr int kMidY = ExerciseRun::kMidY;

// The two task areas of the drill screens.
constexpr int kUpperTop = kMidY / 4;
constexpr int kUpperBottom = kMidY - 11;
constexpr int kLowerTop = kMidY + 11;
constexpr int kLowerBottom = kMaxY - kMidY / 4;

// Fill patterns and text justification of the graphics layer.
constexpr int kEmptyFill = 0;  // the graphics background colour
constexpr int kSolidFill = 1;
constexpr int kLeftText = 0;
constexpr int kCentreText = 1;
constexpr int kSchoolFont = 3;

// Palette colours of the face.
constexpr int kBlack = 0;
constexpr int kCyan = 3;
constexpr int kRed = 4;
constexpr int kBrown = 6;
constexpr int kLightRed = 12;
constexpr int kYellow = 14;
constexpr int kWhite = 15;

constexpr int kWinkToneHz = 100;
constexpr int kWinkToneMs = 10;
constexpr double kMotivationShownMs = 2500;
constexpr double kSecondPassWaitMs = 2000;
constexpr double kUntilKeyPollMs = 200;

int Program(const Session& s) {
    return ProgramNumber(s.programCode);
}

bool IsMemorising(int program) {
    return program == ProgramNumber(ProgramCode::MemoriseOnly) ||
           program == ProgramNumber(ProgramCode::Tachistoscope);
}

void ReadAwayKeys(Console& c) {
    while (c.KeyPressed()) c.ReadKey();
}

// The sound of an animated wipe, by program.
Bytes WipeSoundFile(int program) {
    switch (static_cast<ProgramCode>(program)) {
        case ProgramCode::MentalArithmetic:
        case ProgramCode::CopyTask:
            return "wavs\\loeschkopfrech.wav";
        case ProgramCode::FillInSigns:
        case ProgramCode::Dictation:
            return "wavs\\loesch45.wav";
        case ProgramCode::MemoriseOnly:
        case ProgramCode::Tachistoscope:
            return "wavs\\loesch-merk-tachi.wav";
        default:
            return {};
    }
}

int WidthOf(Graphics& g, const QImage& picture) {
    return picture.isNull() ? 0 : g.PixelSizeToVga(picture.size()).width();
}

// --- the face ------------------------------------------------------------------------------

struct FacePlaces {
    int leftEyeX, rightEyeX, eyeY;
};

FacePlaces PlacesOf(int x, int y) {
    return {x - kMidX / 11, x + kMidX / 11, y - kMaxY / 22};
}

void FilledEllipse(Graphics& g, int colour, int x, int y, int xRadius, int yRadius) {
    g.SetColor(colour);
    g.SetFillStyle(kSolidFill, colour);
    g.FillEllipse(x, y, xRadius, yRadius);
}

void DrawEye(Graphics& g, int x, int y) {
    FilledEllipse(g, kWhite, x, y, 20, 9);
    FilledEllipse(g, kCyan, x, y, 9, 9);
    FilledEllipse(g, kBlack, x, y, 5, 5);
}

void DrawFace(Graphics& g, int x, int y) {
    FilledEllipse(g, kYellow, x, y, kMaxX / 9, kMidY / 3);
    const FacePlaces eyes = PlacesOf(x, y);
    DrawEye(g, eyes.leftEyeX, eyes.eyeY);
    DrawEye(g, eyes.rightEyeX, eyes.eyeY);
    FilledEllipse(g, kBrown, x, y + kMaxY / 30, kMaxX / 40, kMaxY / 30);
    g.SetColor(kRed);
    g.SetLineStyle(0, 0, 3);
    g.Arc(x, y + kMaxY / 60, 200, 340, 46);
    g.Arc(x, y + kMaxY / 60 + 5, 200, 340, 46);
    g.SetColor(kLightRed);
    g.SetLineStyle(0, 0, 1);
}

// The left eye closes and opens, with a short beep each time, until a key is waiting.
void WinkUntilKey(Session& s, int faceX, int faceY) {
    Console& c = s.console;
    const FacePlaces eyes = PlacesOf(faceX, faceY);
    while (!c.KeyPressed()) {
        c.Delay(800);
        if (s.graphics) {
            FilledEllipse(*s.graphics, kYellow, eyes.leftEyeX, eyes.eyeY, 20, 9);
            s.graphics->SetColor(kBlack);
            s.graphics->EllipseArc(eyes.leftEyeX, eyes.eyeY, 210, 330, 20, 9);
        }
        c.Sound(kWinkToneHz, kWinkToneMs);
        c.Delay(500);
        if (s.graphics) DrawEye(*s.graphics, eyes.leftEyeX, eyes.eyeY);
        c.Sound(kWinkToneHz, kWinkToneMs);
    }
}

// Whether the text, drawn from the screen's place, runs past an edge of the screen.
bool RunsOffScreen(Graphics& g, const MotivationScreen& m, const Bytes& text) {
    const int width = g.TextWidthVga(text);
    if (m.textCentred) return m.textX - width / 2 < 0 || m.textX + width / 2 > kMaxX;
    return m.textX + width > kMaxX;
}

// The text in its size, or smaller where the school font is too wide for the screen: the
// question and its longest answer must both be seen.
void WriteScreenText(Graphics& g, const MotivationScreen& m) {
    const Bytes widest = m.end == MotivationEnd::WaitThenWipe ? m.text : m.text + "Nein";
    int size = m.textSize;
    g.SetTextStyle(kSchoolFont, 0, size);
    while (size > 1 && RunsOffScreen(g, m, widest)) g.SetTextStyle(kSchoolFont, 0, --size);
    g.SetColor(kLightRed);
    g.SetTextJustify(m.textCentred ? kCentreText : kLeftText, kCentreText);
    g.OutTextXY(m.textX, m.textY, m.text);
}

void WipeOrClear(Session& s) {
    if (s.options.animation == option::Switch::kOn) {
        WipeTaskAreas(s);
    } else {
        ClearTaskAreas(s);
    }
}

// Shows the motivation screen; a question's answer may start or refuse the repetition.
void ShowMotivationScreen(Session& s, const MotivationScreen& m) {
    Console& c = s.console;
    ReadAwayKeys(c);
    if (m.asksRepeat) ClearTaskAreas(s);
    s.run.wipeSound = true;
    if (s.graphics) {
        DrawFace(*s.graphics, m.faceX, m.faceY);
        WriteScreenText(*s.graphics, m);
    }
    if (m.end == MotivationEnd::WaitThenWipe) {
        c.Delay(kMotivationShownMs);
    } else {
        if (m.end == MotivationEnd::WinkAnswerThenWipe) WinkUntilKey(s, m.faceX, m.faceY);
        const unsigned char key = c.ReadKey();
        const Bytes answer =
            AnswerMotivationQuestion(s.run, m.asksRepeat, key, c.LastKeyExtended());
        if (s.graphics) {
            Graphics& g = *s.graphics;
            g.SetColor(kLightRed);
            // questions stand left justified: the answer follows the question
            g.SetTextJustify(kLeftText, kCentreText);
            g.OutTextXY(m.textX + g.TextWidthVga(m.text), m.textY, answer);
        }
    }
    WipeOrClear(s);
}

// The first step after a task that was not ended with Esc.
void ClearAfterTask(Session& s, bool skipped) {
    Console& c = s.console;
    if (s.readingMode) {
        if (s.graphics) {
            s.graphics->SetFillStyle(kEmptyFill, s.options.backgroundColour);
            s.graphics->Bar(0, kInputLineY, kMaxX, kBoxLineY - 4);
        }
    } else if (s.run.repeating) {
        ReadAwayKeys(c);
        c.ReadKey();
    } else if (!skipped) {
        PauseWithFigure(s);
    }
    WipeOrClear(s);
    s.run.task.markStart = 0;
    s.run.task.markEnd = 0;
}

}  // namespace

bool AfterTask(Session& s, const TaskOutcome& outcome) {
    ExerciseRun& run = s.run;
    if (!outcome.escaped) ClearAfterTask(s, outcome.skipped);

    const ListPlace list{s.tasks.position, s.tasks.Count()};
    UpdateRepetitionState(run, s.options, list, outcome.escaped);

    bool escape = outcome.escaped;
    const MotivationScreen screen =
        ChooseMotivationScreen(run, s.options, s.readingMode, outcome.escaped, outcome.skipped);
    if (screen.shown) {
        ShowMotivationScreen(s, screen);
        // The answer to the repeat question decides whether the run goes on, also after Esc;
        // a key typed at any other question is only an answer.
        if (screen.asksRepeat) escape = false;
    }

    const bool timeUp = s.options.timeLimited == option::TimeLimited::kLimited &&
                        run.runStopwatch.RunningSeconds(s.console.GetClock()) > run.timeLimit_s;
    const RunStep step = PassesAndNextPosition(run, s.tasks.position, s.tasks.Count(), s.options,
                                               s.readingMode, escape, timeUp);
    if (step.escape) {
        run.lastKey = doskey::kEscape;
        run.lastKeyExtended = false;
    }
    return step.goesOn;
}

bool AskRepeatAtListEnd(Session& s) {
    ExerciseRun& run = s.run;
    if (run.repeatCount <= 0 || run.repeating || run.endAfterRepeat) return false;
    run.askRepeat = true;
    const MotivationScreen screen =
        ChooseMotivationScreen(run, s.options, s.readingMode, false, false);
    if (!screen.shown) return false;
    ShowMotivationScreen(s, screen);
    return run.repeating;
}

void EndDrillRun(Session& s) {
    ExerciseRun& run = s.run;
    EndRunGraphics(s);
    run.wipeSound = false;
    // a task broken off with Esc leaves no protocol line
    if (run.lastKey == doskey::kEscape && !run.endAfterRepeat) {
        if (Bytes* line = CurrentProtocolLine(s)) line->clear();
    }
    if (run.tasksDone > 3) {
        DrawMenuBackground(s.console);
        ShowClosingScreen(s);
        if (s.offerCertificate) s.offerCertificate();
    }
    if (s.readingMode && run.wrongCount > 0) CompactWrongTasks(run);
}

void ClearForSecondPass(Session& s) {
    s.console.Delay(kSecondPassWaitMs);
    if (!s.graphics) return;
    Graphics& g = *s.graphics;
    if (IsMemorising(Program(s))) {
        g.SetFillStyle(kSolidFill, kBlack);
        g.Bar(0, kLowerTop, kMaxX, kLowerBottom);
    } else {
        g.SetFillStyle(kSolidFill, s.options.backgroundColour);
        g.Bar(0, kUpperTop, kMaxX, kUpperBottom);
        g.Bar(0, kLowerTop, kMaxX, kLowerBottom);
    }
}

void PauseWithFigure(Session& s) {
    Console& c = s.console;
    ExerciseRun& run = s.run;
    const FigurePlan plan = PlanFigure(run.tasksDone, s.options.figure);
    if (s.graphics && plan.runs) {
        Graphics& g = *s.graphics;
        std::array<int, figure::kFrames> widths{};
        for (size_t i = 0; i < widths.size(); ++i) widths[i] = WidthOf(g, run.pictures[i]);
        bool first = true;
        for (const FigureFrame& frame : FigureFrames(plan, widths)) {
            if (!first && frame.picture != 0) c.Delay(plan.frameDelayMs);
            if (!first && c.KeyPressed()) break;
            first = false;
            g.PutImage(frame.x, plan.rowY, run.pictures[static_cast<size_t>(frame.picture)]);
        }
        g.PutImage(plan.standX, plan.rowY, run.pictures[figure::kStandingPicture]);
    }
    if (s.graphics && plan.marker && !run.repeating) {
        const int marker = run.countedWrong ? figure::kWrongMarker : figure::kCorrectMarker;
        s.graphics->PutImage(plan.goalX, plan.rowY, run.pictures[static_cast<size_t>(marker)]);
    }
    c.Delay(plan.waitMs);
    if (s.options.memoriseTime >= option::MemoriseTime::kUntilKeyMs) {
        while (!c.KeyPressed()) c.Delay(kUntilKeyPollMs);
    }
    ReadAwayKeys(c);
}

void WipeTaskAreas(Session& s) {
    Console& c = s.console;
    const int program = Program(s);
    if (s.run.wipeSound) {
        s.run.wipeSound = false;
        const Bytes sound = WipeSoundFile(program);
        if (s.options.soundLevel == option::SoundLevel::kAllSounds && !sound.empty())
            c.PlayWaveFile(sound);
    }
    if (s.graphics) {
        Graphics& g = *s.graphics;
        const int scheme = s.options.backgroundColour;
        g.SetColor(scheme);
        int areaFill = kSolidFill;
        if (program > ProgramNumber(ProgramCode::MentalArithmetic)) areaFill = kEmptyFill;
        g.SetFillStyle(areaFill, scheme);
        // A row in the scheme colour as a bar one unit high: thin lines leave gaps between the
        // rows of a window larger than 640×480.
        const auto schemeRow = [&](int x1, int y, int x2) {
            g.SetFillStyle(kSolidFill, scheme);
            g.Bar(x1, y, x2, y);
            g.SetFillStyle(areaFill, scheme);
        };
        const int upperLines = kUpperBottom - kUpperTop + 1;
        const int lowerLines = kLowerBottom - kLowerTop + 1;
        switch (static_cast<ProgramCode>(program)) {
            case ProgramCode::CopyTask:
                // every second column from the left above and from the right below, then the rest
                for (int i = 0; i <= kMidX; ++i) {
                    g.ThickLine(2 * i, kUpperTop, 2 * i, kUpperBottom, true);
                    g.ThickLine(kMaxX - 2 * i, kLowerTop, kMaxX - 2 * i, kLowerBottom, true);
                    c.Delay(1);
                }
                for (int i = 0; i <= kMidX; ++i) {
                    g.Bar(2 * i + 1, kUpperTop, 2 * i + 2, kUpperBottom);
                    g.Bar(kMaxX - 2 * i - 1, kLowerTop, kMaxX - 2 * i, kLowerBottom);
                    c.Delay(1);
                }
                break;
            case ProgramCode::MentalArithmetic:
                areaFill = kEmptyFill;
                g.SetFillStyle(areaFill, scheme);
                for (int i = 0; i < upperLines - 3; ++i) {
                    g.Bar(0, kUpperTop + i, kMaxX, kUpperTop + i);
                    schemeRow(0, kLowerBottom - i, kMaxX);
                    c.Delay(1);
                }
                break;
            case ProgramCode::FillInSigns:
            case ProgramCode::Dictation:
                for (int i = 0; i < std::max(upperLines, lowerLines); ++i) {
                    if (i < upperLines) schemeRow(0, kUpperBottom - i, kMaxX);
                    if (i < lowerLines) schemeRow(0, kLowerBottom - i, kMaxX);
                    c.Delay(1);
                }
                break;
            case ProgramCode::MemoriseOnly:
            case ProgramCode::Tachistoscope:
                areaFill = kEmptyFill;
                g.SetFillStyle(areaFill, scheme);
                for (int i = 0; i < std::max(upperLines, lowerLines); ++i) {
                    if (i < upperLines) schemeRow(2, kUpperBottom - i, kMaxX - 2);
                    if (i < lowerLines) g.Bar(0, kLowerTop + i, kMaxX, kLowerTop + i);
                    c.Delay(1);
                }
                break;
            default:
                break;
        }
    }
    c.StopSounds();
}

void ClearTaskAreas(Session& s) {
    if (!s.graphics) return;
    Graphics& g = *s.graphics;
    const int scheme = s.options.backgroundColour;
    const int program = Program(s);
    if (IsMemorising(program)) {
        g.SetFillStyle(kSolidFill, scheme);
        g.Bar(2, kUpperTop, kMaxX - 2, kUpperBottom);
        g.SetFillStyle(kEmptyFill, scheme);
    } else {
        g.SetFillStyle(kEmptyFill, scheme);
        g.Bar(0, kUpperTop, kMaxX, kUpperBottom);
        if (program == ProgramNumber(ProgramCode::MentalArithmetic))
            g.SetFillStyle(kSolidFill, scheme);
    }
    g.Bar(0, kLowerTop, kMaxX, kLowerBottom);
}

}  // namespace radevir
