#include "chooser/chooser_fonts.h"

#include <gtest/gtest.h>

#include "support/program_environment.h"
#include "support/text_helpers.h"
#include "tests/test_support.h"

using namespace radevir;

TEST(ChooserFonts, CommaTextQuotesWhatNeedsIt) {
    EXPECT_EQ(CommaText({"end", "a b", "x,y", "sag \"hallo\"", ""}),
              "end,\"a b\",\"x,y\",\"sag \"\"hallo\"\"\",\"\"");
    EXPECT_EQ(CommaItems(CommaText({"end", "a b", "x,y", "sag \"hallo\""})),
              (std::vector<Bytes>{"end", "a b", "x,y", "sag \"hallo\""}));
}

TEST(ChooserFonts, ThreeFontsSurviveTheFile) {
    test::ScratchDir dir;
    ProgramEnvironment env(dir.Folder());
    std::array<StoredFont, 3> fonts;
    fonts[0].font = QFont("Liberation Serif");
    fonts[0].font.setPixelSize(13);
    fonts[0].font.setBold(true);
    fonts[1].font = QFont("Liberation Mono");
    fonts[1].font.setPointSize(12);  // 16 pixels at 96 dpi
    fonts[1].font.setItalic(true);
    fonts[1].color = QColor(0, 0, 128);
    fonts[2].font = QFont("O'Neil Schrift");
    fonts[2].font.setPixelSize(20);
    fonts[2].color = QColor(0x12, 0x34, 0x56);
    ASSERT_TRUE(SaveChooserFonts(env, fonts));
    const QByteArray file = dir.Read("bgi7/auswahlfonts.txt");
    EXPECT_EQ(file.count("\r\n"), 3);
    EXPECT_TRUE(file.startsWith("\"object Font_label: TLabel\""));
    EXPECT_TRUE(file.contains("\"  Font.Color = clNavy\""));

    std::array<StoredFont, 3> back;
    LoadChooserFonts(env, back);
    EXPECT_EQ(back[0].font.family(), "Liberation Serif");
    EXPECT_EQ(back[0].font.pixelSize(), 13);
    EXPECT_TRUE(back[0].font.bold());
    EXPECT_FALSE(back[0].font.italic());
    EXPECT_EQ(back[1].font.pixelSize(), 16);
    EXPECT_TRUE(back[1].font.italic());
    EXPECT_EQ(back[1].color, QColor(0, 0, 128));
    EXPECT_EQ(back[2].font.family(), "O'Neil Schrift");
    EXPECT_EQ(back[2].color, QColor(0x12, 0x34, 0x56));
}

TEST(ChooserFonts, UnreadableLinesKeepTheirFont) {
    test::ScratchDir dir;
    ProgramEnvironment env(dir.Folder());
    dir.Write("BGI7/AuswahlFonts.txt",
              "Unsinn\r\n"
              "\"object Font_label: TLabel\",\"  Font.Height = -22\",\"  Font.Color = clBtnFace\","
              "\"  Font.Style = [fsUnderline]\",end\r\n");
    std::array<StoredFont, 3> fonts;
    for (StoredFont& f : fonts) f.font.setPixelSize(11);
    fonts[1].font.setFamily("Liberation Sans");
    LoadChooserFonts(env, fonts);
    EXPECT_EQ(fonts[0].font.pixelSize(), 11);
    EXPECT_EQ(fonts[1].font.pixelSize(), 22);
    EXPECT_EQ(fonts[1].font.family(), "Liberation Sans");
    EXPECT_TRUE(fonts[1].font.underline());
    EXPECT_EQ(fonts[1].color, QColor(Qt::black));  // a system colour has no value here
    EXPECT_EQ(fonts[2].font.pixelSize(), 11);      // no third line
}
