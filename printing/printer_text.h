// The printer text: lines with line-printer escape sequences (bold, condensed, large type) as the
// training programs write them into the printer text file, read into lines and parsed into
// styled lines. Pure byte logic; the page layout and the printer live in page_layout.* and
// text_printer.*.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "support/codepage.h"

namespace radevir {

constexpr unsigned char kEscapeByte = 27;
constexpr unsigned char kFormFeedByte = 12;
constexpr unsigned char kCheckMarkByte = 0xFB;       // a line ending in it ends with a check mark
constexpr unsigned char kLastControlLineByte = 30;   // a line starting with a byte up to it is a control line
// Escape commands (the byte after ESC).
constexpr unsigned char kBoldOn = 'E';
constexpr unsigned char kBoldOff = 'F';
constexpr unsigned char kCondensed = 'M';
constexpr unsigned char kBaseFont = 'P';
constexpr unsigned char kSizeUpper = 'W';
constexpr unsigned char kSizeLower = 'w';
constexpr unsigned char kFractionFont = 0xC8;   // argument: size
constexpr unsigned char kRightAlignMark = 0xC9; // argument: right edge in characters, above 200 ends

// Face names as the printed texts ask for them; page_layout.* maps them onto installed fonts.
inline constexpr char kBaseFontName[] = "Courier New";
inline constexpr char kCondensedFontName[] = "Arial Narrow";
inline constexpr char kFractionFontName[] = "ZUVUREVUZ";

struct PrinterFont {
    std::string name = kBaseFontName;
    int size_pt = 10;
    bool bold = false;
    // The right-aligned mode marker: the line switches the mode on (or off above size 200)
    // instead of setting the printer font.
    bool white = false;
    bool operator==(const PrinterFont&) const = default;
};

struct StyledLine {
    Bytes text;
    PrinterFont font;
    // The line was split at a control byte: printing goes on in the same printed line.
    bool continues = false;
    // The line is the rest of a split line; it is printed even when it starts with a control byte.
    bool continuation = false;
    bool operator==(const StyledLine&) const = default;
};

// Code page 437 → Windows-1252 for printing: the letters and signs of 0x80–0xAF (except 0x9E
// and 0xA9) become the Windows-1252 byte of the same glyph, 0xC4 a dash, 0xE1 "ß", 0xF9 "·";
// every other byte stays.
unsigned char PrinterByteFromCp437(unsigned char byte);
void ConvertCp437ForPrinting(Bytes& text);

// Splits bytes into lines at CR LF, LF or CR (no empty line after a final line end); 0 bytes
// become blanks; with `convert` the code page conversion is applied.
std::vector<Bytes> SplitPrinterText(const Bytes& bytes, bool convert);

// From the text source when there is one (always converted), else from the file (a native
// path), converted when `convert` is set. False when the file cannot be read.
bool LoadPrinterText(const std::optional<Bytes>& textSource, const QString& file,
                     std::vector<Bytes>& lines, bool convert);

// Turns the lines into styled lines: escapes set the font of their line and the following
// ones, a control byte inside a line splits it into parts printed on one printed line.
std::vector<StyledLine> ParseEscapes(const std::vector<Bytes>& lines,
                                     const std::string& baseFontName = kBaseFontName);

// A control line (form feed or another control byte first) that is not the rest of a split line.
bool IsControlLine(const StyledLine& line);
bool IsFormFeedLine(const StyledLine& line);

}  // namespace radevir
