// Lines of a join list and the comma-text they are written in: fields separated by commas or
// blanks, double quotes keeping commas and blanks inside a field.
#pragma once

#include "support/text_helpers.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace radevir {

struct CommaField {
    std::string text;
    std::size_t end = 0;  // position in the source just after this field (and its quotes)
};

// Splits comma-text the way the program's string lists read it: leading control characters
// and blanks are skipped, a field starting with '"' runs to the closing quote ("" inside is one
// quote), other fields run to the next blank, control character or comma; a comma at the very
// end adds an empty field.
std::vector<CommaField> SplitCommaFields(std::string_view text);
std::vector<std::string> SplitCommaText(std::string_view text);
// Writes a list as comma-text; fields with blanks, control characters, commas or quotes are
// quoted.
std::string JoinCommaText(const std::vector<std::string>& fields);

// A whole-string decimal integer (optional blanks around, optional sign) or nothing.
std::optional<int> ParseInt(std::string_view text);
int IntOr(const std::vector<std::string>& fields, std::size_t index, int fallback);

// Start and end are in milliseconds or sample frames, as the join is asked for.
struct JoinLine {
    std::string file;
    int start = 0;
    int end = -1;               // -1: to the end of the recording
    int volume_percent = 100;
    int gapBefore = 0;          // silence before the piece; negative: overlap with the one before
    int silenceAfter = 0;
};

// Reads one join line: when a '=' stands outside double quotes only the text after the first
// one counts; missing or non-numeric fields take their defaults.
JoinLine ParseJoinLine(std::string_view line);

// Puts double quotes around the file name of a join line when it holds a blank or comma, so
// that "my sound.wav,0,100" keeps its name in one field. Lines without ".wav" (in any case)
// stay as they are.
std::string QuoteWaveName(std::string_view line);

}  // namespace radevir
