// Arithmetic terms prepared for speech and for the dictation input: character classes and the
// cutting of a task at its last operator. Byte strings in and out, no state.
#pragma once

#include <string_view>

#include "support/codepage.h"

namespace radevir {

// Classes of the characters of an arithmetic term; a blank goes where the class changes when
// the term is prepared for speech.
enum class CharClassKind {
    Punctuation = 1,  // . , !
    Bracket = 2,      // ( ) [ ]
    Operator = 3,     // * + - / : < = > ^
    Digit = 4,
    Letter = 5,
    Other = 6,
};
CharClassKind CharClass(char c);

// Dictation modes hand in 0 ("bis="), 1 ("mit=") or 2 (whole task).
// The part of the term from its last operator (mode 1) or the character before it (mode 0).
Bytes TermTail(std::string_view term, int mode);
// The term up to its last operator, inclusive for mode 1, exclusive for mode 0.
Bytes TermHead(std::string_view term, int mode);
// The text the speech component reads out: cut as the mode says, a blank between characters
// of different classes, "," and "." in double quotes, ":" spoken as "/".
Bytes SpeechTerm(std::string_view term, int mode);

}  // namespace radevir
