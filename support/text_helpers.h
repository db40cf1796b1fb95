// String helpers shared by the whole program: key=value and comma lists, leading integers,
// Windows-1252 upper case and number texts. Byte strings in and out; none of them throws or keeps
// state.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "support/codepage.h"

namespace radevir {

// '0' to '9' only, whatever the locale says.
bool IsDigit(char c);

// The text without the control characters and blanks (every byte up to ' ') at either end.
Bytes TrimWhitespace(std::string_view text);

// Every occurrence of `find` replaced, scanning left to right and continuing after each
// inserted replacement. An empty `find` leaves the text as it is.
Bytes ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement);

// The text without `suffix` when it ends with it, else the text.
Bytes StripSuffix(std::string_view text, std::string_view suffix);

// "Aufgaben\Meier Hans.txt" → "Hans Meier": the name without folder and extension, first and
// second word swapped when there are exactly two.
Bytes DisplayName(std::string_view fileName);

// The first run of decimal digits in the text as a number ("007 Stück" → 7, "-5" → 5);
// `defaultValue` when there is none or it does not fit.
int ParseLeadingInt(std::string_view text, int defaultValue);

// Splits at every `separator` into `list` (cleared first); returns the number of pieces.
int SplitString(std::string_view text, std::string_view separator, std::vector<Bytes>& list,
                bool keepSeparator);

// key=value lines. A name may be enclosed in double quotes and then contain "=".
Bytes NameOfPair(std::string_view line, bool quote = false);
Bytes ValueOfPair(std::string_view line, bool quote = false);
// Item `index` (from 0) of the comma list in the value part (or the whole line when it has
// none); empty when out of range. Items may be quoted; blanks separate items as commas do.
Bytes CommaItem(std::string_view line, int index, bool quote = false);
// The items of a comma list, read the way the list chooser's files write them.
std::vector<Bytes> CommaItems(std::string_view text);
// Encloses the text in double quotes when it holds a blank or a comma and is not enclosed yet.
Bytes QuoteIfNeeded(std::string_view text);

// The extension (".txt") of the pattern of entry `index` of a file dialog filter
// "Textdateien|*.txt|Alle Dateien|*.*"; an index out of range counts as 0.
Bytes FilterExtension(std::string_view filter, int index);

// ASCII lower case (other bytes stay), and a suffix compared in it.
Bytes LowerAscii(std::string_view text);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);

// Windows-1252 upper case: a-z, à-þ (not ÷), š œ ž ÿ. ß and µ have no capital and stay.
char UpperChar(char c);
Bytes UpperText(std::string_view text);

// Number texts as the program writes them into files and onto the screen.
Bytes IntToText(long long value);
// General float format with 15 significant digits and "." ("1.5", "0.1", "1E20").
Bytes FloatToText(double value);
// Fixed-point with `decimals` digits after ".", e.g. 440 → "440.00".
Bytes FixedToText(double value, int decimals);
// FloatToText with a decimal comma, as numbers are written on the screen ("1,5").
Bytes DecimalCommaText(double value);
// Fixed-point text with `precision` significant digits and `digits` decimals ("0,10" for 0.1
// with 2 and 2); a value with more integer digits than the precision is written in exponent
// form ("4,4E2"). Not a finite number gives "0".
Bytes FormatFixed(double value, int precision, int digits, char decimalSeparator);

}  // namespace radevir
