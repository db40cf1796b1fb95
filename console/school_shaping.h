// Letter shaping for the school-handwriting font: rewrites a text into the font's variant glyph
// codes (the s at the start and end of a word, the joins s-t and t-z, the joined ß) so that the
// letters join as the simplified school script writes them.
#pragma once

#include <string_view>

#include "support/codepage.h"

namespace radevir {

// `suffix` names the script (" VA" / "_VA": the simplified school script, the only one the
// program draws); other suffixes leave the text as it is. `position` (counted from 1, 0 for
// none) is moved to the same character in the shaped text.
Bytes ShapeSchoolText(std::string_view suffix, std::string_view text, int& position);
Bytes ShapeSchoolText(std::string_view suffix, std::string_view text);

}  // namespace radevir
