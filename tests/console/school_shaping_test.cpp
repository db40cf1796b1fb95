#include "console/school_shaping.h"

#include <gtest/gtest.h>

namespace radevir {
namespace {

Bytes Shape(std::string_view text) { return ShapeSchoolText(" VA", text); }

TEST(SchoolShaping, SimplifiedScriptWords) {
    struct Case {
        Bytes text;
        Bytes shaped;
    };
    const Case cases[] = {
        {"Fest", "Fe\xB3t"},          // s of "st" after a joining letter
        {"st", "\xB2t"},              // "st" at the start
        {"Haus", "Hau\xB5"},          // s at the end of a word
        {"so", "\xB4o"},              // s at the start of a word
        {"s", "\xB1"},                // s alone
        {"Katze", "Ka\xAAze"},        // t joined to z
        {"Fußtritt"_b, "Fu&tritt"},   // ß before t
        {"aßen"_b, "a\\en"},          // ß before another joining letter
        {"Das ist es.", "Da\xB5 i\xB3t e\xB5."},
        {"Stein", "Stein"},           // the capital S is not the school s
        {"12 + 34 = 46", "12 + 34 = 46"},
        {"7:(3-1)", "7:(3-1)"},
        {"\x80 5", "\xEA 5"},         // the euro sign takes the font's own glyph
    };
    for (const Case& c : cases) EXPECT_EQ(Shape(c.text), c.shaped) << c.text;
}

TEST(SchoolShaping, ShapingAShapedTextAgainChangesNothing) {
    for (const char* word : {"Fest", "Haus", "so", "s", "Katze", "Das ist es.", "Glas Saft"}) {
        const Bytes once = Shape(word);
        EXPECT_EQ(Shape(once), once) << word;
    }
}

TEST(SchoolShaping, OtherScriptsAndTrivialTextsStayAndPositionsKeepTheirPlace) {
    EXPECT_EQ(ShapeSchoolText("_VA", "Haus"), "Hau\xB5");
    EXPECT_EQ(ShapeSchoolText(" LA", "Haus"), "Haus");
    EXPECT_EQ(ShapeSchoolText("", "Haus"), "Haus");
    EXPECT_EQ(Shape(""), "");
    EXPECT_EQ(Shape(" "), " ");

    // one glyph per letter: the cursor after "Fes" stays after the shaped "Fe\xB3"
    int position = 4;
    EXPECT_EQ(ShapeSchoolText(" VA", "Fest", position), "Fe\xB3t");
    EXPECT_EQ(position, 4);
    position = 0;
    ShapeSchoolText(" VA", "Haus", position);
    EXPECT_EQ(position, 0);
}

}  // namespace
}  // namespace radevir
