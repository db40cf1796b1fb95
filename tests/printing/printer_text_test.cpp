// Reading and parsing the printer text: the code page table, lines, escapes and split lines.
#include <gtest/gtest.h>

#include "printing/printer_text.h"
#include "tests/test_support.h"

using namespace radevir;

namespace {

Bytes Esc(char command) {
    return Bytes{static_cast<char>(kEscapeByte), command};
}
Bytes Esc(char command, char argument) {
    return Esc(command) + argument;
}

PrinterFont Font(const char* name, int size, bool bold) {
    PrinterFont f;
    f.name = name;
    f.size_pt = size;
    f.bold = bold;
    return f;
}

}  // namespace

TEST(PrinterCodePage, ListedBytesBecomeTheirWindowsGlyphsAndTheRestStays) {
    struct Case {
        unsigned char in, out;
    };
    const Case cases[] = {
        {0x81, 0xFC},
        {0x84, 0xE4},
        {0x94, 0xF6},
        {0x8E, 0xC4},
        {0x99, 0xD6},
        {0x9A, 0xDC},
        {0x80, 0xC7},
        {0x9B, 0xA2},
        {0x9D, 0xA5},
        {0x9F, 0x83},
        {0xA8, 0xBF},
        {0xAA, 0xAC},
        {0xAB, 0xBD},
        {0xAF, 0xBB},
        {0xC4, 0x97},
        {0xE1, 0xDF},
        {0xF9, 0xB7},
        // these stay: the peseta sign, the reversed not sign, frames, blocks, ASCII, the check byte
        {0x9E, 0x9E},
        {0xA9, 0xA9},
        {0xB3, 0xB3},
        {0xDA, 0xDA},
        {0xCD, 0xCD},
        {0xDB, 0xDB},
        {0xB0, 0xB0},
        {0xE0, 0xE0},
        {0xFB, 0xFB},
        {'A', 'A'},
        {0x1B, 0x1B},
        {0x7F, 0x7F},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PrinterByteFromCp437(c.in), c.out) << std::hex << int(c.in);
}

TEST(PrinterText, LinesSplitAtEveryLineEndZeroBytesAreBlanksAndConversionIsAsked) {
    static const char kRaw[] = "a\r\nb\nc\rd\0e\r\n\r\n\x81";
    const Bytes raw(kRaw, sizeof kRaw - 1);
    EXPECT_EQ(SplitPrinterText(raw, false), (std::vector<Bytes>{"a", "b", "c", "d e", "", "\x81"}));
    EXPECT_EQ(SplitPrinterText(raw, true).back(), "\xFC");
    EXPECT_EQ(SplitPrinterText("x\r\n", false), std::vector<Bytes>{"x"});

    radevir::test::ScratchDir dir;
    const QString file = dir.Write("LPTB.TXT", QByteArray("Gr\x81\xE1"
                                                          "e\r\n",
                                                          7));
    std::vector<Bytes> lines;
    ASSERT_TRUE(LoadPrinterText(std::nullopt, file, lines, true));
    EXPECT_EQ(lines, std::vector<Bytes>{"Gr\xFC\xDF"
                                        "e"});
    ASSERT_TRUE(LoadPrinterText(std::nullopt, file, lines, false));
    EXPECT_EQ(lines, std::vector<Bytes>{"Gr\x81\xE1"
                                        "e"});
    // a text source is always converted
    ASSERT_TRUE(LoadPrinterText(Bytes("\x81"), QString(), lines, false));
    EXPECT_EQ(lines, std::vector<Bytes>{"\xFC"});
    EXPECT_FALSE(LoadPrinterText(std::nullopt, dir.Path() + "/fehlt.txt", lines, false));
}

TEST(PrinterEscapes, LargeTypeIsBoldTwelveAndCarriesOverUntilTheNextEscape) {
    // ESC "W" 1: the argument is a control byte and must not split the line
    const std::vector<StyledLine> out =
        ParseEscapes({Esc('W', '\x01') + "     Arbeitszeugnis f\xFCr Anna", "", "weiter",
                      Esc('W', ' ') + "          Radevir", "normal"});
    ASSERT_EQ(out.size(), 5u);
    EXPECT_EQ(out[0].text, "     Arbeitszeugnis f\xFCr Anna");
    EXPECT_EQ(out[0].font, Font(kBaseFontName, 12, true));
    EXPECT_EQ(out[1].font, Font(kBaseFontName, 12, true));
    EXPECT_EQ(out[2].font, Font(kBaseFontName, 12, true));
    EXPECT_EQ(out[3].text, "          Radevir");
    EXPECT_EQ(out[3].font, Font(kBaseFontName, 10, false));
    EXPECT_EQ(out[4].font, Font(kBaseFontName, 10, false));
    for (const StyledLine& l : out) EXPECT_FALSE(l.continues);
}

TEST(PrinterEscapes, EveryCommandSetsItsFont) {
    struct Case {
        Bytes line;
        Bytes text;
        PrinterFont font;
    };
    PrinterFont fraction = Font(kFractionFontName, 20, false);
    const Case cases[] = {
        {Esc('E') + "fett", "fett", Font(kBaseFontName, 10, true)},
        {Esc('M') + "schmal", "schmal", Font(kCondensedFontName, 8, false)},
        {Esc('P') + "basis", "basis", Font(kBaseFontName, 10, false)},
        {Esc('w', '\x03') + "gross", "gross", Font(kBaseFontName, 16, false)},
        {Esc('W', '\x02') + "mittel", "mittel", Font(kBaseFontName, 14, false)},
        {Esc('W', '\x00') + "klein", "klein", Font(kBaseFontName, 10, false)},
        {Esc('\xC8', '\x14') + "1/2", "1/2", fraction},
        {Esc('X') + "anders", "anders", Font(kBaseFontName, 10, false)},  // unknown: no change
        {Esc('W'), "", Font(kBaseFontName, 10, false)},                   // too short: no change
    };
    for (const Case& c : cases) {
        const std::vector<StyledLine> out = ParseEscapes({c.line});
        ASSERT_EQ(out.size(), 1u) << c.text;
        EXPECT_EQ(out[0].text, c.text);
        EXPECT_EQ(out[0].font, c.font) << c.text;
    }
    // escapes chain, and bold stays over a condensed line until it is switched off
    const std::vector<StyledLine> chained =
        ParseEscapes({Esc('E') + Esc('M') + "beides", "noch", Esc('F') + Esc('P') + "aus"});
    EXPECT_EQ(chained[0].font, Font(kCondensedFontName, 8, true));
    EXPECT_EQ(chained[1].font, Font(kCondensedFontName, 8, true));
    EXPECT_EQ(chained[2].font, Font(kBaseFontName, 10, false));
}

TEST(PrinterEscapes, TheRightAlignMarkerIsWhiteOnItsOwnLineOnly) {
    const std::vector<StyledLine> out =
        ParseEscapes({Esc('E'), Esc('\xC9', '\x28'), "  345", Esc('\xC9', '\xFF')});
    ASSERT_EQ(out.size(), 4u);
    EXPECT_TRUE(out[1].font.white);
    EXPECT_EQ(out[1].font.size_pt, 40);
    EXPECT_FALSE(out[2].font.white);
    EXPECT_TRUE(out[2].font.bold);
    EXPECT_TRUE(out[3].font.white);
    EXPECT_EQ(out[3].font.size_pt, 255);
}

TEST(PrinterEscapes, AControlByteInsideALineContinuesThePrintedLine) {
    // a tab: both parts on one printed line, the rest is printed although it starts with a tab
    std::vector<StyledLine> out = ParseEscapes({"Name:\tAnna",
                                                "n\xE4"
                                                "chste"});
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].text, "Name:");
    EXPECT_TRUE(out[0].continues);
    EXPECT_EQ(out[1].text, "\tAnna");
    EXPECT_TRUE(out[1].continuation);
    EXPECT_FALSE(out[1].continues);
    EXPECT_FALSE(IsControlLine(out[1]));
    EXPECT_FALSE(out[2].continuation);

    // an escape inside a line: bold from there on, in the same printed line
    out = ParseEscapes({"Vorname: " + Esc('E') + "Anna " + Esc('F') + "Ende"});
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].text, "Vorname: ");
    EXPECT_FALSE(out[0].font.bold);
    EXPECT_EQ(out[1].text, "Anna ");
    EXPECT_TRUE(out[1].font.bold);
    EXPECT_TRUE(out[1].continues);
    EXPECT_EQ(out[2].text, "Ende");
    EXPECT_FALSE(out[2].font.bold);
    EXPECT_FALSE(out[2].continues);

    // a form feed alone, and one after an escape, are control lines; a check mark byte is text
    out = ParseEscapes({"\x0C", Esc('F') + "\x0C", "richtig\xFB"});
    EXPECT_TRUE(IsFormFeedLine(out[0]));
    EXPECT_TRUE(IsFormFeedLine(out[1]));
    EXPECT_EQ(out[2].text, "richtig\xFB");
    EXPECT_FALSE(IsControlLine(out[2]));
}

// A teacher's own text file puts the page break after the last words of a page, or before the
// first words of the next: either way the page breaks and no word is lost.
TEST(PrinterEscapes, AFormFeedInsideALineBreaksThePage) {
    const Bytes ff(1, '\x0C');
    struct Case {
        Bytes line;
        std::vector<Bytes> texts;  // the styled lines' texts, "FF" for a page break
    };
    const Case cases[] = {
        {"Seite 1 Ende" + ff, {"Seite 1 Ende", "FF"}},
        {"Seite 1 Ende" + ff + "Seite 2", {"Seite 1 Ende", "FF", "Seite 2"}},
        {ff + "Seite 2", {"FF", "Seite 2"}},
        {"Name:\tAnna" + ff + "weiter", {"Name:", "\tAnna", "FF", "weiter"}},
        {"A" + ff + ff + "B", {"A", "FF", "FF", "B"}},
        // the size argument 12 of an escape is no form feed
        {"1/2 " + Esc('\xC8', '\x0C') + "3/4", {"1/2 ", "3/4"}},
    };
    for (const Case& c : cases) {
        const std::vector<StyledLine> out = ParseEscapes({c.line});
        std::vector<Bytes> texts;
        for (const StyledLine& l : out) {
            texts.push_back(IsFormFeedLine(l) ? "FF" : l.text);
            if (IsFormFeedLine(l)) continue;
            EXPECT_FALSE(IsControlLine(l)) << l.text;
        }
        EXPECT_EQ(texts, c.texts) << c.line;
        // the text before a page break ends its printed line
        for (size_t i = 0; i + 1 < out.size(); ++i)
            if (IsFormFeedLine(out[i + 1])) {
                EXPECT_FALSE(out[i].continues) << c.line;
            }
    }
}
