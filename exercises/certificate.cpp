#include "exercises/certificate.h"

#include <algorithm>

#include "console/dos_keys.h"
#include "exercises/protocol.h"
#include "exercises/session.h"
#include "support/clock.h"
#include "support/text_file.h"
#include "support/text_helpers.h"

namespace radevir {

namespace {

constexpr size_t kNameLength = 16;
constexpr int kSecondsPerMinute = 60;
// Lists shorter than this get empty lines (this number + 1 - tasks) so that the closing lines
// stand at the same height.
constexpr int kShortListTasks = 36;
constexpr char kEscape = '\x1b';
constexpr char kFormFeed = '\f';
constexpr char kBell = '\a';
const Bytes kLineEnd = "\r\n";
const Bytes kIndent(10, ' ');
const Bytes kBoldOn{kEscape, 'E'};
const Bytes kBoldOff{kEscape, 'F'};
const Bytes kLargeOn{kEscape, 'W', '\x01'};
const Bytes kLargeOff{kEscape, 'W', '\0'};
// Left blank for the teacher to fill in by hand.
const Bytes kUnnamedChild(15, '_');
const Bytes kPlaceText(16, '_');
const Bytes kFooterLine = kIndent +
                          "Radevir  Rechentrainer f\xFC"
                          "r die Grundschule";

// The dialogue box: text window columns 21..60, rows 10..17.
constexpr int kBoxLeft = 21, kBoxTop = 10, kBoxRight = 60, kBoxBottom = 17;
constexpr int kBoxInnerWidth = 36;
constexpr int kNameColumn = 13, kNameRow = 5;

bool IsLowerAsciiLetter(char c) {
    return c >= 'a' && c <= 'z';
}

Bytes BoxLine(const Bytes& left, const Bytes& text, const Bytes& right) {
    Bytes inner = text.substr(0, kBoxInnerWidth);
    inner.resize(kBoxInnerWidth, ' ');
    return left + inner + right;
}

Bytes Rule(int width) {
    Bytes out;
    for (int i = 0; i < width; ++i) out += "─"_b;
    return out;
}

void DrawDialogue(Console& c, const Bytes& message) {
    c.Window(kBoxLeft, kBoxTop, kBoxRight, kBoxBottom);
    c.TextColor(15);
    c.TextBackground(4);
    const std::vector<Bytes> lines{
        " ┌"_b + Rule(kBoxInnerWidth) + "┐ "_b,
        BoxLine(" │"_b, "  Zeugnis drucken mit Enter-Taste", "│ "_b),
        BoxLine(" │"_b, "  Abbruch mit Taste ESC.", "│ "_b),
        BoxLine(" │"_b, "", "│ "_b),
        BoxLine(" │"_b, "  Vorname:", "│ "_b),
        BoxLine(" │"_b, "", "│ "_b),
        " └"_b + Rule(kBoxInnerWidth) + "┘ "_b,
    };
    for (size_t i = 0; i < lines.size(); ++i) {
        c.GotoXY(1, static_cast<int>(i) + 1);
        c.Write(lines[i]);
    }
    c.ShadeCells(kBoxRight, kBoxTop + 1, kBoxRight, kBoxBottom, 0);
    c.ShadeCells(kBoxLeft + 1, kBoxBottom, kBoxRight, kBoxBottom, 0);
    if (!message.empty()) {
        c.GotoXY(4, 2);
        c.Write(message);
    }
}

void DrawNameField(Console& c, const Bytes& name) {
    c.HideTextCursor();
    c.TextColor(15);
    c.TextBackground(0);
    c.GotoXY(kNameColumn, kNameRow);
    Bytes shown = name;
    shown.resize(kNameLength, ' ');
    c.Write(shown);
    c.GotoXY(kNameColumn + static_cast<int>(std::min(name.size(), kNameLength - 1)), kNameRow);
    c.ShowTextCursor();
}

bool WriteAndPrint(Session& s, const Bytes& document, const Bytes& documentName) {
    TextFile file;
    if (!file.OpenWrite(s.env.NativePath(s.env.ResolvePath(s.PrinterTextFile())))) return false;
    file.Write(document);
    if (!file.Close()) return false;
    if (s.printPrinterTextFile) s.printPrinterTextFile(documentName);
    return true;
}

}  // namespace

Bytes CertificateProgramName(const Session& s) {
    switch (s.programCode) {
        case ProgramCode::MemoriseOnly:
        case ProgramCode::MemoriseAndCompute:
            return s.computeMode || s.programCode == ProgramCode::MemoriseAndCompute
                       ? "Merken und rechnen"
                       : "Nur Merken";
        case ProgramCode::MentalArithmetic:
            return "Kopfrechnen";
        case ProgramCode::CopyTask:
        case ProgramCode::ReadingTest:
            if (!s.readingMode) return "Abschreiben";
            return "Lesen + Testen" + kLineEnd + kIndent +
                   "Aufbau: " + IntToText(s.options.buildUpTime) +
                   "    Halten: " + IntToText(s.options.holdTime);
        case ProgramCode::FillInSigns:
            return "Zeichen eintragen";
        case ProgramCode::Dictation:
            return "Diktieren";
        case ProgramCode::WrittenArithmetic:
            return "Schriftliches Rechnen";
        case ProgramCode::Tachistoscope:
            return "Tachistoskop";
        default:
            return "";
    }
}

CertificateFacts CertificateFactsOf(const Session& s, const Bytes& childFirstName) {
    CertificateFacts facts;
    facts.childFirstName = childFirstName;
    facts.programName = CertificateProgramName(s);
    const Bytes& path = s.taskFilePath;
    const size_t slash = path.find_last_of("\\/");
    facts.taskFileName = path.empty()           ? Bytes("ohne Namen")
                         : slash == Bytes::npos ? path
                                                : path.substr(slash + 1);
    facts.seconds = s.run.runStopwatch.ElapsedSeconds();
    facts.wrongCount = s.run.wrongCount;
    const int tasks = std::clamp(s.run.tasksDone, 0, ExerciseRun::kMaxTasks);
    for (int i = 1; i <= tasks; ++i)
        facts.taskHistory.push_back(s.run.taskHistory[static_cast<size_t>(i)]);
    facts.date = s.console.TodayParts();
    return facts;
}

Bytes CertificateTaskLine(std::string_view entry) {
    Bytes out;
    bool dropNext = false;
    for (const char c : entry) {
        if (IsLowerAsciiLetter(c)) continue;
        if (dropNext) {
            dropNext = false;
            continue;
        }
        out += c;
        if (c == '_') dropNext = true;
    }
    return out;
}

Bytes CertificateDocument(const CertificateFacts& f, int copies) {
    const int tasks = static_cast<int>(f.taskHistory.size());
    Bytes one;
    auto line = [&one](const Bytes& text) { one += text + kLineEnd; };
    one += kLineEnd;
    one += kBoldOn;
    line(Bytes(80, '='));
    one += kLineEnd + kLineEnd + kLineEnd;
    one += kLargeOn;
    line(
        "     Arbeitszeugnis f\xFC"
        "r " +
        (f.childFirstName.size() > 1 ? f.childFirstName : kUnnamedChild));
    line("");
    one += kLargeOff;
    line(kIndent + "Radevir    Aufgabe: " + f.programName + "   Datei: " + f.taskFileName);
    line(kIndent +
         "Dauer der gesamten \xDC"
         "bung: " +
         IntToText(f.seconds / kSecondsPerMinute) + " min. " +
         IntToText(f.seconds % kSecondsPerMinute) + " sek.");
    line(kIndent + "Folgende " + IntToText(tasks) + " Aufgaben wurden " +
         "ge\xFC"
         "bt:");
    line("");
    line(kIndent + "sek.  OK                          Probleme bei:");
    for (const Bytes& entry : f.taskHistory) line(kIndent + CertificateTaskLine(entry));
    if (f.wrongCount == 0) {
        line("");
        line("");
        line(kIndent +
             "Alle Aufgaben wurden richtig gel\xF6"
             "st!  Sehr gut!");
    }
    line("");
    if (tasks < kShortListTasks)
        for (int i = 0; i < kShortListTasks + 1 - tasks; ++i) line("");
    line(kIndent +
         "Vielen Dank f\xFC"
         "r Deine gute Mitarbeit!");
    line("");
    line(kIndent + kPlaceText + ", den " + IntToText(f.date.day) + "." + IntToText(f.date.month) +
         "." + IntToText(f.date.year));
    line(Bytes(30, ' ') + "  .................................");
    line("");
    line(kFooterLine);
    one += kBoldOff;
    one += kFormFeed;
    Bytes all;
    for (int i = 0; i < copies; ++i) all += one;
    return all;
}

Bytes CertificateDocumentName(const CertificateFacts& f) {
    Bytes name = "Zeugnis ";
    if (f.childFirstName.size() > 1) name += f.childFirstName + " ";
    return name + DocumentDate(f.date);
}

NameFieldStep NameFieldKey(Bytes name, unsigned char key, bool extended) {
    NameFieldStep step{std::move(name), false, NameFieldStep::End::None};
    if (extended) return step;  // cursor and function keys are no letters of a name
    if (key == doskey::kEnter) {
        step.end = NameFieldStep::End::Print;
    } else if (key == doskey::kEscape) {
        step.end = NameFieldStep::End::Cancel;
    } else if (key == doskey::kBackspace) {
        if (!step.name.empty()) step.name.pop_back();
    } else if (key > 31) {
        if (step.name.size() >= kNameLength) {
            step.bell = true;
        } else {
            char c = static_cast<char>(key);
            if (step.name.empty() && IsLowerAsciiLetter(c)) c = static_cast<char>(c - 'a' + 'A');
            step.name += c;
        }
        if (key == '2') step.end = NameFieldStep::End::PrintTwice;
    }
    return step;
}

void OfferCertificate(Session& s) {
    Console& c = s.console;
    ExerciseRun& run = s.run;
    run.runStopwatch.Stop(c.GetClock());
    Bytes message;
    for (;;) {
        // keys typed during the run or the closing screen do not go into the name
        while (c.KeyPressed()) c.ReadKey();
        DrawDialogue(c, message);
        NameFieldStep step{s.childFirstName, false, NameFieldStep::End::None};
        DrawNameField(c, step.name);
        while (step.end == NameFieldStep::End::None) {
            const unsigned char key = c.ReadKey();
            step = NameFieldKey(step.name, key, c.LastKeyExtended());
            if (step.bell) c.Write(Bytes(1, kBell));
            DrawNameField(c, step.name);
        }
        s.childFirstName = step.name;
        c.HideTextCursor();
        if (step.end == NameFieldStep::End::Cancel) break;
        const bool twice = step.end == NameFieldStep::End::PrintTwice;
        const CertificateFacts facts = CertificateFactsOf(s, s.childFirstName);
        // the "2" that asked for two copies stands in the name on the page, not in the file's
        CertificateFacts named = facts;
        if (twice && !named.childFirstName.empty()) named.childFirstName.pop_back();
        if (WriteAndPrint(s, CertificateDocument(facts, twice ? 2 : 1),
                          CertificateDocumentName(named)))
            break;
        message = "Drucker nicht betriebsbereit!";
    }
    c.Window(1, 1, 80, 25);
}

}  // namespace radevir
