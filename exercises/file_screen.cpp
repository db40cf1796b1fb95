#include "exercises/file_screen.h"

#include <algorithm>

#include "console/console.h"
#include "console/dos_keys.h"
#include "exercises/program_options.h"
#include "exercises/session.h"
#include "support/file_helpers.h"
#include "support/text_file.h"
#include "support/text_helpers.h"

namespace radevir {

namespace {

constexpr int kMaxEntries = 240;
constexpr int kShownPerPage = 80;
constexpr int kRowsPerColumn = 20;
constexpr int kNameWidth = 18;
constexpr int kNameLength = 8;
// The teacher-protocol hint box of frage.mtb answers with this code: print, keep the box open.
constexpr int kPrintProtocolRegionCode = 0x66;

// Screen cell of display index i (0..79).
void EntryCell(int i, int& column, int& row) {
    if (i < 20) {
        column = 3;
        row = i + 5;
    } else if (i < 40) {
        column = 22;
        row = i - 15;
    } else if (i < 60) {
        column = 41;
        row = i - 35;
    } else {
        column = 60;
        row = i - ((i / 20) * 20 - 5);
    }
}

Bytes Repeat(const char* utf8, int times) {
    const Bytes one = ScreenBytes(utf8);
    Bytes out;
    for (int i = 0; i < times; ++i) out += one;
    return out;
}

Bytes PadTo(std::string_view text, size_t width) {
    Bytes out(text.substr(0, width));
    out.resize(width, ' ');
    return out;
}

// The state of one showing of the screen.
struct Screen {
    Session& session;
    Console& console;
    FileListingPattern pattern;
    std::vector<Bytes> fullNames;
    std::vector<Bytes> shownNames;
    bool whiteEntries = false;  // option-file save mode
    int top = 0;

    void DrawFrame() {
        Console& c = console;
        c.TextColor(0);
        c.TextBackground(7);
        const Bytes bar = Repeat("═", kNameWidth);
        c.GotoXY(1, 4);
        c.Write(" ╔"_b + bar + "╦"_b + bar + "╦"_b + bar + "╦"_b + bar + "╗ "_b);
        const Bytes blanks(kNameWidth, ' ');
        for (int row = 5; row <= 24; ++row) {
            c.GotoXY(1, row);
            c.Write(" ║"_b + blanks + "║"_b + blanks + "║"_b + blanks + "║"_b + blanks + "║ "_b);
        }
        c.GotoXY(1, 25);
        c.Write(" ╚"_b + bar + "╩"_b + bar + "╩"_b + bar + "╩"_b + bar + "╝ "_b);
        c.GotoXY(44, 25);
        c.Write(session.tasks.fileName.substr(0, 36));
    }

    void DrawEntry(int index, bool selected) {
        const int display = index - top;
        if (index < 0 || index >= static_cast<int>(shownNames.size()) || display < 0 ||
            display >= kShownPerPage)
            return;
        int column = 0, row = 0;
        EntryCell(display, column, row);
        Console& c = console;
        if (selected) {
            c.TextColor(15);
            c.TextBackground(0);
        } else {
            c.TextColor(whiteEntries ? 15 : 0);
            c.TextBackground(7);
        }
        c.GotoXY(column, row);
        c.Write(PadTo(shownNames[static_cast<size_t>(index)], kNameWidth));
    }

    void DrawEntries() {
        const int end = std::min<int>(top + kShownPerPage, static_cast<int>(shownNames.size()));
        for (int i = top; i < end; ++i) DrawEntry(i, false);
    }
};

// Rows 1-3: the header above the list, with the caller's box.
void DrawHeader(Console& c, FileListing listing, int count) {
    c.TextColor(7);
    c.TextBackground(0);
    c.GotoXY(1, 1);
    c.Write(Bytes(10, ' '));
    c.GotoXY(1, 2);
    c.Write(listing == FileListing::kTaskFolder ? "ESC = Abbrechen"_b : "ESC = zurück    "_b);
    c.TextColor(0);
    c.TextBackground(3);
    c.GotoXY(20, 2);
    c.Write("│"_b + Bytes(44, ' ') + "│"_b);
    c.GotoXY(22, 1);
    c.Write("> Anzahl der gefundenen Dateien: "_b + IntToText(count) + " <");
}

void ShowNameInBar(Console& c, const Bytes& name) {
    c.TextColor(15);
    c.TextBackground(1);
    c.GotoXY(46, 2);
    c.Write(PadTo(name, kNameWidth));
}

void ChooseLoop(Screen& s, FileListing listing) {
    Console& c = s.console;
    Session& session = s.session;
    const int count = static_cast<int>(s.fullNames.size());
    c.TextColor(14);
    c.TextBackground(1);
    c.GotoXY(22, 2);
    c.Write(" Auswahl ↑↓ > laden >>: "_b);
    const int regionsBefore = c.Regions().Count();
    c.PushMouseRegions("", "laddir.mtb");

    int selected = 0;
    int highlighted = -1;
    int prefixLength = 0;
    int key = 0;
    for (;;) {
        if (selected >= kShownPerPage || s.top > 0) {
            int top = std::max(0, (selected / kRowsPerColumn) * kRowsPerColumn - 60);
            if (top > 300) top = 0;
            if (top != s.top) {
                s.top = top;
                s.DrawFrame();
                s.DrawEntries();
                highlighted = -1;
            }
        }
        if (count > 0) {
            if (highlighted != selected) {
                s.DrawEntry(highlighted, false);
                s.DrawEntry(selected, true);
                highlighted = selected;
            }
            ShowNameInBar(c, s.shownNames[static_cast<size_t>(selected)]);
            session.chosenPath = s.pattern.folder + s.fullNames[static_cast<size_t>(selected)];
        } else {
            session.chosenPath.clear();
        }

        key = c.ReadKey();
        if (key == doskey::kEnter || key == doskey::kEscape) break;
        if (!c.LastKeyExtended()) {
            if (key > 32 && count > 0) selected = PrefixSelect(s.shownNames, selected, prefixLength, static_cast<char>(key));
            continue;
        }
        prefixLength = 0;
        if (count == 0) continue;
        const int last = count - 1;
        const int columnFirst = (selected / kRowsPerColumn) * kRowsPerColumn;
        const int columnLast = std::min(columnFirst + kRowsPerColumn - 1, last);
        int row = 0;
        if (c.TakeListRow(row, 0, kRowsPerColumn - 1)) {
            // The four list columns are the first four regions of laddir.mtb.
            const int column = std::clamp(c.Regions().LastHit() - regionsBefore, 0, 3);
            const int index = std::min(s.top + column * kRowsPerColumn + row, last);
            if (index == selected) {
                key = doskey::kEnter;
                break;
            }
            selected = index;
            continue;
        }
        switch (key) {
            case doskey::kHome: selected = 0; break;
            case doskey::kEnd: selected = last; break;
            case doskey::kUp: selected = std::max(selected - 1, 0); break;
            case doskey::kDown: selected = std::min(selected + 1, last); break;
            case doskey::kLeft: selected = std::max(selected - kRowsPerColumn, 0); break;
            case doskey::kRight: selected = std::min(selected + kRowsPerColumn, last); break;
            case doskey::kPageUp:
                selected = selected == columnFirst ? std::max(selected - kRowsPerColumn, 0) : columnFirst;
                break;
            case doskey::kPageDown:
                selected = selected == columnLast ? std::min(selected + kRowsPerColumn, last) : columnLast;
                break;
            case doskey::kF9: PrintFileList(session, s.fullNames, s.pattern.mask); break;
            default: break;
        }
    }
    c.PopMouseRegions();
    session.menuKey = key;
    if (key == doskey::kEnter && count > 0 && listing == FileListing::kOptionFiles) {
        LoadSessionOptions(session, session.chosenPath);
        session.selectionMode = SelectionMode::OptionFileLoaded;
    }
    if (key != doskey::kEnter) session.chosenPath.clear();
}

bool IsNameLetter(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

void NewNameLoop(Screen& s) {
    Console& c = s.console;
    Session& session = s.session;
    session.chosenPath.clear();
    session.yesNoAnswer = YesNo::Yes;
    c.TextColor(14);
    c.TextBackground(1);
    c.GotoXY(22, 2);
    c.Write(" Neuen Namen eingeben:                " + s.pattern.extension);

    Bytes name;
    int key = 0;
    for (;;) {
        c.HideTextCursor();
        c.TextColor(14);
        c.TextBackground(1);
        c.GotoXY(44, 2);
        c.Write("  " + PadTo(name, kNameLength));
        c.GotoXY(46 + static_cast<int>(name.size()), 2);
        c.ShowTextCursor();
        key = c.ReadKey();
        if (c.LastKeyExtended()) continue;
        if (key == doskey::kEscape) break;
        if (key == doskey::kEnter) {
            if (!name.empty()) break;
            c.HideTextCursor();
            c.TextColor(15);
            c.TextBackground(4);
            c.GotoXY(24, 1);
            c.Write(" Kein gültiger Name!  "_b + Repeat("↓", 8) + "  ");
            c.Write("\a");
            continue;
        }
        const auto ch = static_cast<unsigned char>(key);
        if (ch == doskey::kBackspace) {
            if (!name.empty()) name.pop_back();
        } else if (name.size() < kNameLength && (IsNameLetter(ch) || (ch == '-' && !name.empty()))) {
            name.push_back(UpperChar(static_cast<char>(ch)));
        }
    }
    c.HideTextCursor();
    session.menuKey = key;
    if (key != doskey::kEnter) return;

    const Bytes full = name + s.pattern.extension;
    session.chosenPath = full;
    if (std::find(s.fullNames.begin(), s.fullNames.end(), full) == s.fullNames.end()) return;

    // The name is taken: ask before overwriting it (default no).
    AskOverwrite(session);
    session.menuKey = doskey::kEnter;
}

}  // namespace

FileListingPattern ListingPattern(const Session& session, FileListing listing) {
    if (listing == FileListing::kTaskFolder)
        return {IncludeTrailingBackslash(session.ProgramFolder() + session.taskFolder), "*.TXT", ".TXT"};
    return {session.ProgramFolder(), "*.RTT", ".RTT"};
}

std::vector<Bytes> ListFileEntries(const Session& session, FileListing listing) {
    const FileListingPattern pattern = ListingPattern(session, listing);
    std::vector<Bytes> names;
    FileSearch search(session.env);
    for (int r = search.FindFirst(pattern.folder + pattern.mask, false);
         r == FileSearch::kFound && static_cast<int>(names.size()) < kMaxEntries; r = search.FindNext())
        names.push_back(search.Current().name);
    search.FindClose();
    std::sort(names.begin(), names.end(), [](const Bytes& a, const Bytes& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
        });
    });
    return names;
}

int PrefixSelect(const std::vector<Bytes>& names, int selected, int& prefixLength, char typed) {
    const int count = static_cast<int>(names.size());
    if (count == 0) return selected;
    const char want = UpperChar(typed);
    auto charAt = [&](int i, int pos) -> char {
        const Bytes& n = names[static_cast<size_t>(i)];
        return pos < static_cast<int>(n.size()) ? UpperChar(n[static_cast<size_t>(pos)]) : '\0';
    };
    selected = std::clamp(selected, 0, count - 1);
    if (prefixLength > 0) {
        const char first = charAt(selected, 0);
        for (int i = selected; i < count && charAt(i, 0) == first; ++i) {
            if (charAt(i, prefixLength) == want) {
                ++prefixLength;
                return i;
            }
        }
    }
    // Start again: the typed character as a new first letter.
    for (int i = 0; i < count; ++i) {
        if (charAt(i, 0) == want) {
            prefixLength = 1;
            return i;
        }
    }
    prefixLength = 0;
    return selected;
}

bool PrintFileList(Session& session, const std::vector<Bytes>& fullNames, std::string_view mask) {
    const Bytes extension(mask.substr(mask.empty() || mask[0] != '*' ? 0 : 1));
    std::vector<Bytes> lines;
    lines.push_back("\x1b" "E" + Bytes(15, ' ') + "Radevir  " + IntToText(static_cast<long long>(fullNames.size())) +
                    " Dateien unter Kennung: " + extension);
    lines.emplace_back();
    for (size_t i = 0; i < fullNames.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        lines.push_back((number < 10 ? " " : "") + Bytes(15, ' ') + IntToText(number) + " " + fullNames[i]);
    }
    lines.emplace_back("\f");
    const bool written = WriteTextFileLines(session.env.NativePath(session.PrinterTextFile()), lines);
    // named after the listed kind of file: "Dateiliste RTT"
    const Bytes kind = extension.substr(extension.starts_with('.') ? 1 : 0);
    if (written && session.printPrinterTextFile) session.printPrinterTextFile("Dateiliste " + kind);
    return written;
}

void RunFileSelection(Session& session, FileListing listing, SelectionMode mode) {
    Console& c = session.console;
    Screen s{session, c, ListingPattern(session, listing), ListFileEntries(session, listing), {}, false, 0};
    for (const Bytes& full : s.fullNames) s.shownNames.push_back(c.ToOemString(full.substr(0, full.find('.'))));
    s.whiteEntries = mode == SelectionMode::NewName && listing == FileListing::kOptionFiles;

    c.Window(1, 1, 80, 25);
    c.HideTextCursor();
    DrawHeader(c, listing, static_cast<int>(s.fullNames.size()));
    s.DrawFrame();
    s.DrawEntries();
    if (mode == SelectionMode::NewName) NewNameLoop(s);
    else ChooseLoop(s, listing);
}

bool AskOverwrite(Session& session) {
    Console& c = session.console;
    c.Window(21, 10, 60, 15);
    c.TextColor(15);
    c.TextBackground(4);
    c.GotoXY(1, 1);
    c.Write(" ┌"_b + Repeat("─", 35) + "┐ "_b);
    c.GotoXY(1, 2);
    c.Write(" │"_b + PadTo(" Diese Datei existiert bereits!", 35) + "│ "_b);
    c.GotoXY(1, 3);
    c.Write(" │ "_b);
    c.GotoXY(4, 3);
    c.Write("Datei überschreiben?  "_b);
    c.ShadeCells(60, 11, 60, 14, 0);
    c.ShadeCells(22, 14, 59, 14, 0);
    AskYesNo(session, YesNo::No);
    c.Window(1, 1, 80, 25);
    return session.yesNoAnswer == YesNo::Yes;
}

int AskYesNo(Session& session, YesNo defaultAnswer, bool exitQuestion) {
    Console& c = session.console;
    constexpr int kYesColumn = 26, kNoColumn = 32;
    YesNo answer = defaultAnswer;
    c.GotoXY(26, 3);
    c.TextBackground(0);
    c.Write("Ja");
    c.TextBackground(4);
    c.Write("    ");
    c.TextBackground(0);
    c.Write("Nein");
    c.TextBackground(4);
    c.Write("  │ "_b);
    c.GotoXY(1, 4);
    c.Write(" └"_b + Repeat("─", 35) + "┘ "_b);
    c.PushMouseRegions("", "frage.mtb");
    c.GotoXY(answer == YesNo::Yes ? kYesColumn : kNoColumn, 3);
    c.ShowTextCursor();
    int key = 0;
    for (;;) {
        c.GotoXY(answer == YesNo::Yes ? kYesColumn : kNoColumn, 3);
        key = c.ReadKey();
        const bool extended = c.LastKeyExtended();
        if (extended && key == kPrintProtocolRegionCode) {
            if (session.selectionMode == SelectionMode::None && session.protocolCount > 2 &&
                session.printProtocol)
                session.printProtocol();
            continue;
        }
        // the arrows count typed as well ("K", "M"), as they always have here
        if (key == doskey::kLeft) answer = YesNo::Yes;
        else if (key == doskey::kRight) answer = YesNo::No;
        else if (key == 'j' || key == 'J') {
            answer = YesNo::Yes;
            break;
        } else if (key == 'n' || key == 'N' || key == doskey::kEscape) {
            answer = YesNo::No;
            break;
        } else if (key == doskey::kEnter) {
            break;
        } else if (exitQuestion && key == doskey::kF7) {
            answer = YesNo::No;
            break;
        }
    }
    c.HideTextCursor();
    c.PopMouseRegions();
    session.yesNoAnswer = answer;
    return key;
}

void ShowFileError(Session& session, std::string_view path) {
    Console& c = session.console;
    c.Window(1, 1, 80, 25);
    c.TextColor(0);
    c.TextBackground(3);
    c.GotoXY(20, 2);
    c.Write("│ "_b);
    c.TextColor(14);
    c.Write(" Eingabe :");
    c.TextColor(0);
    c.Write(Bytes(32, ' ') + " │"_b);
    c.GotoXY(32, 2);
    c.Write(session.currentText.substr(0, 32));
    const std::string_view shown = path.size() > 49 ? path.substr(path.size() - 49) : path;
    c.TextColor(143);
    c.TextBackground(4);
    c.GotoXY(20, 2);
    c.Write("Fehler bei: " + Bytes(shown));
    c.ReadKey();
    while (c.KeyPressed()) c.ReadKey();
}

}  // namespace radevir
