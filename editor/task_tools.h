// The task editor's tools as plain functions over lines of text: working out results, cutting
// and hiding them, removing repeated lines, the gaps shown in red, the names of a line's sound
// file and of the headings file, and the lines handed to the worksheet.
#pragma once

#include <QString>
#include <vector>

#include "editor/worksheet_request.h"
#include "support/codepage.h"

namespace radevir {

// The characters a term may hold; a term with any other character has no result.
inline constexpr char kTermCharacters[] = "1234567890,*:/+-()[]";

struct TermValue {
    bool failed =
        false;   // a side without a number, a number that does not convert, a division by 0
    Bytes text;  // the result ("2,5"); empty for a term the tools leave without a result
};

// The value of an arithmetic term as the editor writes it after "=": brackets first (the last
// "[" or "(" with the first closing one after it), then "+" (split at its first occurrence),
// "-", "*", ":" and "/" (split at their last occurrence, so chains work from left to right);
// "," is the decimal separator and results come in the general format (15 digits).
TermValue EvaluateTerm(const Bytes& term);

// The tools below work on the document's lines as Unicode text, so that a line they do not
// change comes back exactly as it was.

// "Aufgaben ausrechnen": a task line (one holding "=", or made of term characters and blanks
// only) becomes term + "=" + result, the term being the text before its first "=" (the whole
// line without one) with its gap markers "_" left out for computing. A task line that cannot
// be computed keeps its text and is listed in `failed`; the lines that computed are listed in
// `computed` (indices from 0, last line first, as the lines are worked). Other lines (texts,
// headings, empty lines) stay as they are.
std::vector<QString> CalculateTerms(const std::vector<QString>& lines, std::vector<int>* failed,
                                    std::vector<int>* computed = nullptr);
// "Alles hinter "=" entfernen": each line cut after its first "=".
std::vector<QString> DeleteAfterEqual(const std::vector<QString>& lines);
// "Ergebnis kennzeichnen": each character after the first "=" gets a "_" (a gap) in front.
std::vector<QString> MarkResults(const std::vector<QString>& lines);
// "Doppelte Aufgaben entfernen": the indices of the lines to delete, so that of lines equal
// without regard to letter case the last one stays (empty lines count like any other).
std::vector<int> DuplicateLines(const std::vector<QString>& lines);

// How a line changes from `before` to `after`: the `removed` characters from `start` give way
// to `inserted`; what the two share at their start and end stays (a character outside the
// basic plane is never cut in halves).
struct LineEdit {
    bool changed = false;
    int start = 0;
    int removed = 0;
    QString inserted;
    bool operator==(const LineEdit&) const = default;
};
LineEdit DifferingPart(const QString& before, const QString& after);

// The gap texts: two markers "·" enclose a gap. The ranges [start, end) of a text that are
// shown in red: from each odd marker (1st, 3rd, …) to the next marker or the end.
struct TextRange {
    int start = 0;
    int end = 0;
    bool operator==(const TextRange&) const = default;
};
std::vector<TextRange> GapRanges(const QString& text);
inline constexpr char16_t kGapMarker = u'\u00B7';      // "·"
inline constexpr char16_t kParagraphMark = u'\u00B6';  // "¶"

// The name of the sound file of a line, without folder: trailing "!,.;?¶" removed, the
// characters a file name cannot hold replaced by "#", leading blanks and control characters
// removed, then ".wav". Empty when nothing of the line is left.
Bytes LineSoundFileName(const Bytes& line);
// The name a list's sounds go by: its path relative to the program folder without its
// extension ("Aufgaben\Kopfrechnen\Tiere"). A list outside the program folder keeps the
// folders of its path but no climb ("..") and no drive, so its sounds stay in the sounds folder.
Bytes ListSoundName(const Bytes& relativeListPath);
// The data path of a list's sound folder: "Sounds\" + ListSoundName.
Bytes ListSoundFolder(const Bytes& relativeListPath);
// The list's path without its extension, the folder its own recordings are looked for in.
Bytes WithoutExtension(const Bytes& path);

// The headings file of an edited file: the name of the folder holding it + ".txt".
Bytes HeadingsFileName(const Bytes& filePath);

// The proposed name of the worksheet page: the file's name without folder and extension, its
// two parts swapped when it holds exactly one blank, + ".html".
Bytes WorksheetPageName(const Bytes& filePath);

// Steps 1–3 of preparing a worksheet (the headings are added by the caller); the lines are
// spaced by the worksheet's own rule, the one `radevir --worksheet` uses.
WorksheetRequest PrepareWorksheetRequest(const std::vector<Bytes>& lines,
                                         const QString& programFolder, const Bytes& editedFile);

// The file menu's recent files: `paths[0]` is the newest (the item that always shows the last
// file). A path different from the newest is put on top; when the menu, with `fixedItems`
// other items before the list and `trailingItems` after it, then holds more than 24 items, its
// item at index 22 is removed. Returns false when the path was the newest already.
inline constexpr int kFileMenuFixedItems = 8;
inline constexpr int kFileMenuTrailingItems = 2;
bool AddRecentFile(std::vector<QString>& paths, const QString& path,
                   int fixedItems = kFileMenuFixedItems,
                   int trailingItems = kFileMenuTrailingItems);

}  // namespace radevir
