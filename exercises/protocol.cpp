#include "exercises/protocol.h"

#include <algorithm>

#include "console/dos_keys.h"
#include "exercises/file_screen.h"
#include "exercises/program_options.h"
#include "exercises/session.h"
#include "support/file_helpers.h"
#include "support/text_file.h"
#include "support/text_helpers.h"

namespace radevir {

namespace {

constexpr char kFormFeed = '\f';
const Bytes kIndent(10, ' ');
const Bytes kLineIndent(8, ' ');
constexpr std::string_view kTeacherFileName = "LEHRER.TXT";
constexpr std::string_view kProtocolFolder = "Protokoll\\";
constexpr double kResultShownMs = 2000;

// The protocol entries that hold something: 0 up to the count, within the 101 lines.
int LastProtocolEntry(const Session& s) {
    return std::clamp(s.protocolCount, 0, Session::kProtocolLines - 1);
}

Bytes ProtocolPath(const Session& s, std::string_view name) {
    return s.ProgramFolder() + Bytes(kProtocolFolder) + Bytes(name);
}

}  // namespace

Bytes ProtocolDate(const Console::Today& today) {
    return IntToText(today.day) + "." + IntToText(today.month) + "." + IntToText(today.year);
}

Bytes DocumentDate(const Console::Today& today) {
    const auto twoDigits = [](int n) { return (n < 10 ? "0" : "") + IntToText(n); };
    return IntToText(today.year) + "-" + twoDigits(today.month) + "-" + twoDigits(today.day);
}

Bytes ProtocolDocumentName(const Console::Today& today) {
    return "Lehrerprotokoll " + DocumentDate(today);
}

void AddPractisedFile(Session& s) {
    if (s.run.tasksDone <= 0 || s.readingMode || s.tasks.fileName.empty()) return;
    if (!s.practisedFiles.empty()) s.practisedFiles += "/";
    s.practisedFiles += s.tasks.fileName;
}

std::vector<Bytes> ProtocolPrintLines(const Session& s, std::string_view fileNames,
                                      bool columnArithmetic) {
    std::vector<Bytes> lines;
    if (s.protocolCount == 0) {
        lines.push_back(kIndent + "Keine Daten vorhanden.");
        lines.emplace_back(1, kFormFeed);
        return lines;
    }
    const Bytes date = ProtocolDate(s.today);
    lines.emplace_back();
    lines.emplace_back();
    lines.push_back(kIndent + "Lehrerprotokoll  Name:_________________________" + "  " + date);
    lines.emplace_back();
    lines.emplace_back();
    lines.push_back(kIndent + "Dateiname : " + Bytes(fileNames));
    lines.push_back(kIndent + "Protokoll vom : " + date);
    if (columnArithmetic) {
        for (const char* note : {"Achtung, beim schriftlichen Rechen erfolgt die Eingabe von",
                                 "rechts nach links. Bei schriftl. Multiplikation/Division",
                                 "wird die Zwischenrechnung auch dokumentiert.",
                                 "Zur genauen Fehleranalyse wird empfohlen, die Aufgabe",
                                 "nochmals selbst am Rechner nachzuvollziehen."})
            lines.push_back(kIndent + note);
    }
    for (const char* note : {"Zahlen in () sind fehlerhafte Eingaben, (H1) Hilfe 1 wurde",
                             "aufgerufen, bei H4 wurde die einzugebende Zahl eingeblendet.",
                             "In Testdateien (TT) stehen \xFC"
                             "ber den Aufgaben Hinweise auf",
                             "Dateien, mit denen bei Fehlern weitergearbeitet werden sollte."})
        lines.push_back(kIndent + note);
    lines.push_back(kLineIndent + "Zeit  Aufgabe:                  Eingabeprotokoll bei Fehler");
    for (int i = 0; i <= LastProtocolEntry(s); ++i)
        lines.push_back(kLineIndent + s.protocolLines[static_cast<size_t>(i)]);
    lines.emplace_back(1, kFormFeed);
    return lines;
}

void PrintProtocol(Session& s) {
    s.today = s.console.TodayParts();
    const bool columnArithmetic = s.programCode == ProgramCode::WrittenArithmetic;
    const std::vector<Bytes> lines = ProtocolPrintLines(s, s.practisedFiles, columnArithmetic);
    if (!WriteTextFileLines(s.env.NativePath(s.env.ResolvePath(s.PrinterTextFile())), lines))
        return;
    if (s.printPrinterTextFile) s.printPrinterTextFile(ProtocolDocumentName(s.today));
}

std::vector<Bytes> SavedProtocolLines(const Session& s, std::string_view name) {
    std::vector<Bytes> lines{Bytes(name), s.practisedFiles, ProtocolDate(s.today)};
    for (int i = 0; i <= LastProtocolEntry(s); ++i)
        lines.push_back(s.protocolLines[static_cast<size_t>(i)]);
    return lines;
}

bool WriteProtocolFile(Session& s, std::string_view name) {
    return WriteTextFileLines(s.env.NativePath(s.env.ResolvePath(ProtocolPath(s, name))),
                              SavedProtocolLines(s, name));
}

ProtocolSaveResult SaveProtocol(Session& s) {
    Console& c = s.console;
    s.today = c.TodayParts();
    Bytes name;
    if (s.options.protocol == option::Protocol::kTeacher) {
        name = Bytes(kTeacherFileName);
        c.TextColor(15);
        c.TextBackground(0);
        c.GotoXY(10, 2);
        c.Write("Protokoll Lehrer.txt speichern ist aktiv");
    } else if (s.options.protocol == option::Protocol::kUnderName) {
        // the box keeps the colours the menu set; its bottom line stays above the list
        Bytes bar;
        for (int i = 0; i < 39; ++i) bar += "─"_b;
        c.GotoXY(10, 1);
        c.Write("┌"_b + bar + "┐"_b);
        c.GotoXY(10, 2);
        c.Write("│"_b + Bytes(39, ' ') + "│"_b);
        c.GotoXY(10, 3);
        c.Write("└─Protokoll NAME.txt speichern ist aktiv┘"_b);
        s.selectionMode = SelectionMode::NewName;
        RunFileSelection(s, FileListing::kTaskFolder, SelectionMode::NewName);
        s.selectionMode = SelectionMode::None;
        c.Window(1, 1, 80, 25);
        c.TextColor(1);
        c.TextBackground(3);
        if (s.menuKey != doskey::kEnter || s.chosenPath.empty() || s.yesNoAnswer != YesNo::Yes)
            return ProtocolSaveResult::NotSaved;
        name = s.chosenPath;
        // The screen lists the task folder, so a protocol saved earlier under this name has not
        // been asked about yet: it must not be replaced without the question.
        const std::vector<Bytes> listed = ListFileEntries(s, FileListing::kTaskFolder);
        const bool asked = std::find(listed.begin(), listed.end(), name) != listed.end();
        if (!asked && FileFound(s.env, ProtocolPath(s, name)) && !AskOverwrite(s)) {
            c.TextColor(1);
            c.TextBackground(3);
            return ProtocolSaveResult::NotSaved;
        }
        c.TextColor(1);
        c.TextBackground(3);
    } else {
        return ProtocolSaveResult::NotSaved;
    }

    const bool saved = WriteProtocolFile(s, name);
    c.GotoXY(10, 4);
    if (saved)
        c.Write(".\\PROTOKOLL\\" + name + " wurde gespeichert");
    else
        c.Write("FEHLER beim Speichern des Lehrerprotokolls");
    c.Delay(kResultShownMs);
    return saved ? ProtocolSaveResult::Saved : ProtocolSaveResult::Failed;
}

}  // namespace radevir
