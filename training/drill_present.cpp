// How a task is put before the child: the hint on the top line, the spoken task, the text size,
// the fixation aid with its three signals, the first drawing (whole, flashed, built up, without
// its signs or gaps), how long it stays, and the input line with its frames and boxes. Also the
// task shown again as help, the solution, and the reading test's small displays.
#include <algorithm>

#include "exercises/exercise_run.h"
#include "exercises/session.h"
#include "exercises/speech_port.h"
#include "graphics/graphics.h"
#include "support/term_helpers.h"
#include "support/text_helpers.h"
#include "training/drill_task.h"

namespace radevir {
namespace {

using namespace drill_layout;
using R = ExerciseRun;

constexpr int kLeftText = 0, kCentredText = 1, kTopText = 2;
constexpr int kTopLineSize = 2;
constexpr int kTopLineColour = 7;
constexpr int kSolidFill = 1;
constexpr int kEmptyFill = 0;
constexpr int kDictationSpeakDelayMs = 500;
constexpr int kExposurePerCharacterMs = 50;
constexpr int kLongestErasingStepMs = 500;  // the build-up delay while erasing in black
constexpr int kHelpShowBaseMs = 1200;       // help on "bis Taste": shown this long + per character
constexpr int kBlack = 0;
// The eye of the fixation aid and its erasing bar.
constexpr int kEyeWhiteColour = 15, kEyeIrisColour = 3, kEyePupilColour = 0;
constexpr int kFixationLineColour = 15, kDarkFixationLineColour = 4;
constexpr int kSignalBarColour = 13;
constexpr int kSignalShownMs = 800, kSignalGoneMs = 600, kSignalToneMs = 1000;
// The tachistoscope's small styles write in the plain font at these sizes.
constexpr int kSmallStyleSize = 4, kSmallestStyleSize = 1;
constexpr int kHatchStep = 3;
// The reading test's lines.
constexpr int kReadingTimesY = 410, kBuildUpTimeX = 10, kHoldTimeX = 130;
constexpr int kReadingStripTop = 398, kReadingStripBottom = 416;
constexpr int kReadingTimesColour = 3, kDarkReadingTimesColour = 8;
constexpr int kHelpBandTop = 80, kHelpBandBottom = 220;  // filling in signs: cleared after help

int Scheme(const Session& s) {
    return s.options.backgroundColour;
}
bool WhiteScreen(const Session& s) {
    return Scheme(s) == option::BackgroundColour::kWhite;
}
int UpperColour(const Session& s, const DrillTask& t) {
    return AreaColour(t.program, Scheme(s), true);
}
int LowerColour(const Session& s, const DrillTask& t) {
    return AreaColour(t.program, Scheme(s), false);
}

int Length(const Bytes& text) {
    return static_cast<int>(text.size());
}

bool IsGapPosition(const Task& task, int position) {
    return std::any_of(task.gaps.begin(), task.gaps.end(),
                       [position](const TaskGap& g) { return g.position == position; });
}

void Fill(Graphics& g, int colour, int x1, int y1, int x2, int y2) {
    g.SetFillStyle(kSolidFill, colour);
    g.Bar(x1, y1, x2, y2);
}

void TopLine(Session& s, const DrillTask& t) {
    if (s.run.tasksDone >= 2) return;
    const Bytes text = DrillTopLine(t.program, s.options);
    if (text.empty()) return;
    Graphics& g = *s.graphics;
    g.SetTextStyle(kPlainFont, 0, kTopLineSize);
    g.SetColor(kTopLineColour);
    g.SetTextJustify(kLeftText, kTopText);
    g.OutTextXY(kTopLineX, 0, text);
}

void FitTextSize(Session& s, DrillTask& t) {
    Graphics& g = *s.graphics;
    const auto width = [&](int size) {
        g.SetTextStyle(kTaskFont, 0, size);
        return g.TextWidthVga(t.expected);
    };
    const auto height = [&](int size) {
        g.SetTextStyle(kTaskFont, 0, size);
        return g.GlyphBoxVga(t.expected).bottom;
    };
    t.textSize = FitTaskTextSize(width, height);
    SetTaskTextStyle(s, t);
    t.textWidth = g.TextWidthVga(t.expected);
    t.startX = R::kMidX - t.textWidth / 2;
}

TachistoscopeStyle Style(const Session& s, const DrillTask& t) {
    return t.program == ProgramCode::Tachistoscope ? StyleOfBoxLine(s.tachistoscopeStyle)
                                                   : TachistoscopeStyle::Normal;
}

// Half the width of the task as it will be shown.
int HalfWidth(Session& s, const DrillTask& t) {
    const TachistoscopeStyle style = Style(s, t);
    if (style != TachistoscopeStyle::Small && style != TachistoscopeStyle::Smallest)
        return t.textWidth / 2;
    Graphics& g = *s.graphics;
    g.SetTextStyle(kPlainFont, 0,
                   style == TachistoscopeStyle::Small ? kSmallStyleSize : kSmallestStyleSize);
    const int half = g.TextWidthVga(t.expected) / 2;
    SetTaskTextStyle(s, t);
    return half;
}

struct EyePlace {
    int x = 0, y = 0;
};

void DrawEye(Graphics& g, EyePlace at) {
    const struct {
        int xRadius, yRadius, colour;
    } layers[] = {{20, 9, kEyeWhiteColour}, {9, 9, kEyeIrisColour}, {5, 5, kEyePupilColour}};
    for (const auto& layer : layers) {
        g.SetColor(layer.colour);
        g.SetFillStyle(kSolidFill, layer.colour);
        g.FillEllipse(at.x, at.y, layer.xRadius, layer.yRadius);
    }
}

// Memorising: lines at the task's start, its end, or a frame round where it will stand.
void FixationLines(Session& s, const DrillTask& t) {
    const ProgramOptions& o = s.options;
    if (t.program != ProgramCode::MemoriseOnly || o.fixationPoint < option::FixationPoint::kStart ||
        o.fixationPoint > option::FixationPoint::kFrameAndStart)
        return;
    Graphics& g = *s.graphics;
    const int h = HalfWidth(s, t);
    g.SetColor(WhiteScreen(s) ? kDarkFixationLineColour : kFixationLineColour);
    g.SetLineStyle(0, 0, 1);
    const int left = t.startX - 8, right = t.startX + 2 * h - 4;
    const int top = R::kMaxY / 6, bottom = R::kMaxY / 3 + R::kMaxY / 10;
    g.Line(left, top, left, bottom);
    if (o.fixationPoint >= option::FixationPoint::kStartAndEnd) g.Line(right, top, right, bottom);
    if (o.fixationPoint >= option::FixationPoint::kFrame) {
        g.Line(left, top, right, top);
        g.Line(left, bottom, right, bottom);
    }
}

// The fixation aid and the three start signals of memorising and the tachistoscope.
void FixationAndSignals(Session& s, const DrillTask& t) {
    Graphics& g = *s.graphics;
    Console& c = s.console;
    const ProgramOptions& o = s.options;
    const int h = HalfWidth(s, t);
    const bool eye = o.fixationPoint == option::FixationPoint::kFrameAndStart ||
                     o.fixationPoint == option::FixationPoint::kEye;
    const EyePlace eyeAt{R::kMidX - h / 3, R::kMaxY / 4 + 20};
    if (eye) DrawEye(g, eyeAt);
    FixationLines(s, t);
    for (int k = 1; k <= 3; ++k) {
        if (o.soundLevel == option::SoundLevel::kSilent) {
            const int x1 = R::kMidX - (h / 3) * k, x2 = R::kMidX + (h / 3) * k - 10;
            const int y1 = R::kMaxY / 3 + 10, y2 = R::kMaxY / 3 + 15;
            g.SetColor(kSignalBarColour);
            Fill(g, kSignalBarColour, x1, y1, x2, y2);
            c.Delay(kSignalShownMs);
            Fill(g, UpperColour(s, t), x1, y1, x2, y2);
            c.Delay(kSignalGoneMs);
        } else {
            c.PlayWaveFile(o.soundLevel == option::SoundLevel::kErrorOnly ? "wavs\\peep660.wav"
                                                                          : "wavs\\peep440.wav");
            c.Delay(kSignalToneMs);
            c.StopSounds();
        }
    }
    if (eye) Fill(g, UpperColour(s, t), eyeAt.x - 21, eyeAt.y - 10, eyeAt.x + 21, eyeAt.y + 10);
}

int FirstDrawingY(const Session& s) {
    return s.readingMode ? kReadingTaskY : kTaskY;
}

// Hatching over the task in the background colour: double lines every few pixels.
void Hatch(Session& s, const DrillTask& t) {
    Graphics& g = *s.graphics;
    g.SetColor(UpperColour(s, t));
    g.SetLineStyle(0, 0, 1);
    const int top = R::kMidY / 4 + 20, bottom = R::kMidY - 20;
    for (int y = top; y <= bottom; y += kHatchStep) {
        g.Line(2, y, R::kMaxX - 2, y);
        g.Line(2, y + 1, R::kMaxX - 2, y + 1);
    }
    for (int x = 4; x <= R::kMaxX - 4; x += kHatchStep) {
        g.Line(x, top, x, bottom);
        g.Line(x + 1, top, x + 1, bottom);
    }
}

void FirstDrawing(Session& s, DrillTask& t) {
    Graphics& g = *s.graphics;
    const TachistoscopeStyle style = Style(s, t);
    if (style == TachistoscopeStyle::Small || style == TachistoscopeStyle::Smallest) {
        g.SetTextStyle(kPlainFont, 0,
                       style == TachistoscopeStyle::Small ? kSmallStyleSize : kSmallestStyleSize);
        g.SetTextJustify(kCentredText, kCentredText);
        g.SetColor(FirstDrawingColour(t.colours, 0, '0'));
        g.OutTextXY(R::kMidX, kTaskY, t.expected);
        return;
    }
    const int buildUp = s.readingMode ? s.options.buildUpTime : 0;
    DrawTaskLine(s, t, FirstDrawingY(s), -1, !t.skipGaps, t.program == ProgramCode::FillInSigns,
                 buildUp);
    if (style == TachistoscopeStyle::Hatched) Hatch(s, t);
}

void EraseFirstDrawing(Session& s, DrillTask& t, int buildUpDelayMs) {
    const int colour = UpperColour(s, t);
    if (colour == kBlack) buildUpDelayMs = std::min(buildUpDelayMs, kLongestErasingStepMs);
    EraseTaskLine(s, t, FirstDrawingY(s), colour, buildUpDelayMs);
}

void Exposure(Session& s, DrillTask& t) {
    Console& c = s.console;
    const ProgramOptions& o = s.options;
    const int perCharacter = kExposurePerCharacterMs * Length(t.expected);
    if (s.readingMode) {
        if (o.holdTime > 0) {
            c.Delay(perCharacter + o.holdTime);
            EraseFirstDrawing(s, t, o.buildUpTime);
        }
        return;
    }
    if (t.program == ProgramCode::MemoriseOnly) {
        if (o.memoriseTime >= 1 && o.memoriseTime < option::MemoriseTime::kUntilKeyMs) {
            c.Delay(perCharacter + o.memoriseTime);
            EraseFirstDrawing(s, t, 0);
            FixationLines(s, t);  // they stay where the task was
        }
        return;
    }
    if (t.program == ProgramCode::Tachistoscope) {
        c.Delay(o.tachistoscopeTime);
        Fill(*s.graphics, UpperColour(s, t), 2, R::kMidY / 4, R::kMaxX - 2, R::kMidY - 10);
    }
}

// Mental arithmetic: the task on the input line, its gaps drawn invisibly so they keep their
// width; where each gap lies is noted.
void MentalArithmeticLine(Session& s, DrillTask& t) {
    Graphics& g = *s.graphics;
    SetTaskTextStyle(s, t);
    const Task& task = s.run.task;
    int x = t.startX;
    std::vector<int> gapXAtPosition(t.expected.size() + 1, 0);
    for (int i = 0; i < Length(t.expected); ++i) {
        const Bytes ch(1, t.expected[static_cast<size_t>(i)]);
        const bool gap = IsGapPosition(task, i + 1);
        g.SetColor(gap ? LowerColour(s, t)
                       : FirstDrawingColour(t.colours, i + 1, static_cast<unsigned char>(ch[0])));
        g.OutTextXY(x, t.drawY, ch);
        gapXAtPosition[static_cast<size_t>(i + 1)] = x;
        x += g.TextWidthVga(ch);
    }
    t.gapX.clear();
    for (const TaskGap& gap : task.gaps)
        t.gapX.push_back(gap.position >= 1 && gap.position <= Length(t.expected)
                             ? gapXAtPosition[static_cast<size_t>(gap.position)]
                             : t.startX);
    t.currentGap = 0;
}

}  // namespace

void SetTaskTextStyle(Session& s, const DrillTask& t) {
    s.graphics->SetTextStyle(kTaskFont, 0, t.textSize);
    // characters go left to right from their x, centred on their line's y
    s.graphics->SetTextJustify(kLeftText, kCentredText);
}

void SpeakTask(Session& s) {
    if (s.speech == nullptr) return;
    s.speech->Speak(SpeechTerm(s.run.task.displayText, s.options.dictationMode), false);
}

void DrawTaskLine(Session& s, const DrillTask& t, int y, int colour, bool showGaps, bool digitsOnly,
                  int buildUpDelayMs) {
    Graphics& g = *s.graphics;
    SetTaskTextStyle(s, t);
    int x = t.startX - 2;
    for (int i = 0; i < Length(t.expected); ++i) {
        const auto ch = static_cast<unsigned char>(t.expected[static_cast<size_t>(i)]);
        const Bytes text(1, static_cast<char>(ch));
        const bool blank = (!showGaps && IsGapPosition(s.run.task, i + 1)) ||
                           (digitsOnly && !IsDigit(static_cast<char>(ch)));
        if (!blank) {
            g.SetColor(colour < 0 ? FirstDrawingColour(t.colours, i + 1, ch) : colour);
            g.OutTextXY(x, y, text);
        }
        x += g.TextWidthVga(text);
        if (buildUpDelayMs > 0) s.console.Delay(buildUpDelayMs);
    }
}

void EraseCharacter(Session& s, const DrillTask& t, int x, int y, unsigned char ch, int colour) {
    Graphics& g = *s.graphics;
    SetTaskTextStyle(s, t);
    const int width = g.TextWidthVga(Bytes(1, static_cast<char>(ch)));
    const int height = g.GlyphBoxVga("00").bottom;  // the font's height
    // the character's cell as the centred text lies on its line, kept inside the line's area
    const bool upper = y < R::kMidY;
    int areaTop = upper ? R::kMidY / 4 : R::kMidY + 11;
    int areaBottom = upper ? R::kMidY - 11 : R::kMaxY - R::kMidY / 4 - 1;
    if (s.readingMode) {  // no middle band: one area between the top and bottom bands
        areaTop = R::kMidY / 4 + 1;
        areaBottom = R::kMaxY - R::kMidY / 4 - 1;
    }
    Fill(g, colour, x, std::max(areaTop, y - height / 4 - 2), x + width,
         std::min(areaBottom, y + height * 3 / 4 + 2));
}

void EraseTaskLine(Session& s, const DrillTask& t, int y, int colour, int buildUpDelayMs) {
    Graphics& g = *s.graphics;
    int x = t.startX - 2;
    for (const char ch : t.expected) {
        EraseCharacter(s, t, x, y, static_cast<unsigned char>(ch), colour);
        SetTaskTextStyle(s, t);
        x += g.TextWidthVga(Bytes(1, ch));
        if (buildUpDelayMs > 0) s.console.Delay(buildUpDelayMs);
    }
}

void PresentTask(Session& s, DrillTask& t) {
    Graphics& g = *s.graphics;
    Console& c = s.console;
    const ProgramOptions& o = s.options;
    ExerciseRun& run = s.run;
    t = DrillTask{};
    t.program = s.programCode;
    t.expected = run.task.displayText;
    t.colours = TaskColours{t.program, Scheme(s), o.highlightOperators, run.task.markStart,
                            run.task.markEnd};
    t.skipGaps = s.computeMode || s.readingMode;

    TopLine(s, t);
    if (t.program == ProgramCode::Dictation && o.dictationMode != option::DictationMode::kPartner) {
        c.Delay(kDictationSpeakDelayMs);
        SpeakTask(s);
    }
    FitTextSize(s, t);
    if (t.program == ProgramCode::MemoriseOnly || t.program == ProgramCode::Tachistoscope)
        FixationAndSignals(s, t);
    if (s.readingMode) {
        if (o.memoriseTime >= option::MemoriseTime::kUntilKeyMs) {
            c.ReadKey();
        } else {
            c.Delay(o.memoriseTime);
        }
    }
    const bool drawn =
        t.program == ProgramCode::MemoriseOnly || t.program == ProgramCode::CopyTask ||
        t.program == ProgramCode::FillInSigns || t.program == ProgramCode::Tachistoscope;
    if (drawn) {
        FirstDrawing(s, t);
        Exposure(s, t);
    }

    t.drawX = t.startX;
    t.drawY = kInputY;
    if (t.program == ProgramCode::FillInSigns) t.colours.markStart = t.colours.markEnd = 0;
    if (t.program == ProgramCode::MentalArithmetic) MentalArithmeticLine(s, t);
    t.inputColour = InputColour(t.program, Scheme(s));
    if (s.readingMode) {
        run.taskWrong = true;
    } else {
        if (FramesShown(s, t)) DrawFrames(s, t);
        if (t.program == ProgramCode::MentalArithmetic) DrawGapBox(s, t, kGapBoxFill);
        if (t.program != ProgramCode::MentalArithmetic && t.program != ProgramCode::Dictation)
            DrawCursorBox(s, t, kCursorBoxFill);
    }
    if (t.program == ProgramCode::Dictation &&
        o.dictationInput == option::DictationInput::kResult) {
        t.input = TermTail(t.expected, 1).empty() ? Bytes() : TermHead(t.expected, 1);
        SetTaskTextStyle(s, t);
        t.drawX += g.TextWidthVga(t.input);
        DrawCursorBox(s, t, kCursorBoxFill);
    }

    run.taskStopwatch.Start(c.GetClock());
    c.SaveScreenPage(4);
    while (c.KeyPressed()) c.ReadKey();
}

void ShowTaskForAWhile(Session& s, DrillTask& t) {
    Graphics& g = *s.graphics;
    const ProgramOptions& o = s.options;
    const int perCharacter = kExposurePerCharacterMs * Length(t.expected);
    int shownMs = o.memoriseTime + perCharacter;
    if (t.program == ProgramCode::Tachistoscope) {
        shownMs = o.tachistoscopeTime;
    } else if (o.memoriseTime >= option::MemoriseTime::kUntilKeyMs) {
        shownMs = kHelpShowBaseMs + perCharacter;
    }
    // what lies there now (a model line, an empty band) comes back afterwards
    const QRect area(0, R::kMidY / 4, R::kMaxX + 1, R::kMidY / 2 + R::kMidY / 4);
    QImage saved;
    g.GetImage(area.left(), area.top(), area.right(), area.bottom(), saved);
    const int colour = WhiteScreen(s) ? (t.program == ProgramCode::MentalArithmetic ? 7 : 8) : 14;
    // "Merken und rechnen": the result is still to be worked out, its gaps stay blank
    DrawTaskLine(s, t, kTaskY, colour, !t.skipGaps, false);
    s.console.Delay(shownMs);
    if (t.program == ProgramCode::FillInSigns) {
        Fill(g, UpperColour(s, t), 0, kHelpBandTop, R::kMaxX, kHelpBandBottom);
    } else {
        g.PutImage(area.left(), area.top(), saved);
    }
}

void ShowSolution(Session& s, const DrillTask& t) {
    if (s.readingMode) {
        Fill(*s.graphics, Scheme(s), 0, t.drawY, R::kMaxX, R::kMaxY - R::kMidY / 4 - 1);
        return;
    }
    if (t.program == ProgramCode::FillInSigns) return;
    DrawTaskLine(s, t, kTaskY, -1, true, false);
}

void ShowReadingTimes(Session& s) {
    Graphics& g = *s.graphics;
    Fill(g, Scheme(s), 0, kReadingStripTop, R::kMaxX, kReadingStripBottom);
    g.SetTextStyle(kPlainFont, 0, 1);
    g.SetTextJustify(kLeftText, kTopText);
    g.SetColor(WhiteScreen(s) ? kDarkReadingTimesColour : kReadingTimesColour);
    g.OutTextXY(kBuildUpTimeX, kReadingTimesY, "Aufbau: " + std::to_string(s.options.buildUpTime));
    g.OutTextXY(kHoldTimeX, kReadingTimesY, "Halten: " + std::to_string(s.options.holdTime));
}

void ShowReadingTaskAgain(Session& s, const DrillTask& t) {
    const ProgramOptions& o = s.options;
    DrawTaskLine(s, t, kReadingTaskY, -1, !t.skipGaps, false);
    s.console.Delay(kExposurePerCharacterMs * Length(t.expected) + o.holdTime);
    EraseTaskLine(s, t, kReadingTaskY, UpperColour(s, t), 0);
}

void ClearReadingStrip(Session& s) {
    Graphics& g = *s.graphics;
    Fill(g, Scheme(s), 0, kReadingStripTop, R::kMaxX, kReadingStripBottom);
    g.SetFillStyle(kEmptyFill, 0);
    g.Bar(0, R::kMaxY - 10, R::kMaxX, R::kMaxY);
}

}  // namespace radevir
