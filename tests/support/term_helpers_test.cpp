#include "support/term_helpers.h"

#include <gtest/gtest.h>

namespace radevir {
namespace {

TEST(CharClass, SixClasses) {
    for (char c : std::string(".,!")) EXPECT_EQ(CharClass(c), CharClassKind::Punctuation) << c;
    for (char c : std::string("()[]")) EXPECT_EQ(CharClass(c), CharClassKind::Bracket) << c;
    for (char c : std::string("*+-/:<=>^")) EXPECT_EQ(CharClass(c), CharClassKind::Operator) << c;
    for (char c : std::string("0789")) EXPECT_EQ(CharClass(c), CharClassKind::Digit) << c;
    for (char c : "aZüÄß"_b) EXPECT_EQ(CharClass(c), CharClassKind::Letter) << c;
    for (char c : std::string(" ?#\"")) EXPECT_EQ(CharClass(c), CharClassKind::Other) << c;
}

TEST(TermCutting, TailHeadAndSpeechByMode) {
    struct Case {
        const char* term;
        int mode;
        const char* tail;
        const char* head;
        const char* speech;
    };
    const Case cases[] = {
        // mode 1 ("mit="): the operator itself belongs to the cut part
        {"12+5=17", 1, "=17", "12+5=", "12 + 5 ="},
        // mode 0 ("bis="): one character earlier
        {"12+5=17", 0, "5=17", "12+5", "12 + 5"},
        // mode 2: whole task spoken, no tail, head unchanged
        {"12+5=17", 2, "", "12+5=17", "12 + 5 = 17"},
        // the last operator counts, also when it is not "="
        {"3*4-", 1, "-", "3*4-", "3 * 4 -"},
        {"3*4-", 0, "4-", "3*4", "3 * 4 -"},
        // ":" is spoken as "/", "," and "." are quoted
        {"7,5:2,5=", 1, "=", "7,5:2,5=", "7 \",\" 5 / 2 \",\" 5 ="},
        {"1.000+1=", 0, "1=", "1.000+1", "1 \".\" 000 + 1"},
        // no operator at all
        {"345", 1, "", "", "345"},
        {"", 1, "", "", ""},
        // "\" ends the head but is not an operator for the tail
        {"10\\3", 1, "", "10\\", "10 \\ 3"},
        // an operator at the very start
        {"=7", 0, "=7", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TermTail(c.term, c.mode), c.tail) << c.term << " mode " << c.mode;
        EXPECT_EQ(TermHead(c.term, c.mode), c.head) << c.term << " mode " << c.mode;
        EXPECT_EQ(SpeechTerm(c.term, c.mode), c.speech) << c.term << " mode " << c.mode;
    }
}

}  // namespace
}  // namespace radevir
