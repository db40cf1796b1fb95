#include "support/codepage.h"

#include <gtest/gtest.h>

using namespace radevir;

TEST(CodePage, ScreenLiteralMixesFrameBytesAndLetters) {
    // frame characters come out as code page 437, letters as Windows-1252
    EXPECT_EQ("┌─┐│"_b, Bytes("\xDA\xC4\xBF\xB3"));
    EXPECT_EQ("Übertrag ü ß"_b, Bytes("\xDC" "bertrag \xFC \xDF"));
    EXPECT_EQ("↑↓←→▓"_b, Bytes("\x18\x19\x1B\x1A\xB2"));
}

TEST(CodePage, DecodingDependsOnHowTheByteWasDrawn) {
    EXPECT_EQ(DecodeScreenByte(0xC4, true), U'─');
    EXPECT_EQ(DecodeScreenByte(0xC4, false), U'Ä');
    EXPECT_EQ(DecodeScreenByte(0x80, false), U'€');
    EXPECT_EQ(FromCp1252("Gr\xF6\xDF" "e"), QString::fromUtf8("Größe"));
    EXPECT_EQ(ToCp1252(QString::fromUtf8("Größe €")), Bytes("Gr\xF6\xDF" "e \x80"));
    EXPECT_EQ(ToCp1252(QString::fromUtf8("日")), Bytes("?"));
}

TEST(CodePage, TextFilesOfTodaysEditorsComeInAsWindows1252) {
    struct Case {
        const char* why;
        std::string_view file;
        std::string_view inside;
    };
    const Case cases[] = {
        {"byte-order mark", "\xEF\xBB\xBF" "12+5=17\r\n", "12+5=17\r\n"},
        {"UTF-8 letters", "Ma\xC3\x9F \xC3\xBC" "ber", "Ma\xDF \xFC" "ber"},
        {"Windows-1252 stays", "Ma\xDF \xFC" "ber", "Ma\xDF \xFC" "ber"},
        {"plain ASCII stays", "12+5=17\r\n", "12+5=17\r\n"},
        {"punctuation with its own bytes", "\xE2\x82\xAC \xE2\x80\x93 \xE2\x80\x9E" "a\xE2\x80\x9C",
         "\x80 \x96 \x84" "a\x93"},
        {"no Windows-1252 byte", "\xE2\x88\x9A" "9=3", "?9=3"},
        {"after a mark, stray bytes stay", "\xEF\xBB\xBF\xFC" "ber \xC3\xA4", "\xFC" "ber \xE4"},
        {"overlong form is no UTF-8", "\xC0\xAF\xC3\xA4", "\xC0\xAF\xC3\xA4"},
        {"surrogate is no UTF-8", "\xED\xA0\x80\xC3\xA4", "\xED\xA0\x80\xC3\xA4"},
        {"beyond U+10FFFF is no UTF-8", "\xF4\x90\x80\x80\xC3\xA4", "\xF4\x90\x80\x80\xC3\xA4"},
        {"a cut character is no UTF-8", "Ma\xC3\x9F\xC3", "Ma\xC3\x9F\xC3"},
    };
    for (const Case& c : cases) EXPECT_EQ(DecodeTextFileBytes(c.file), Bytes(c.inside)) << c.why;

    // the start of a longer file may end inside a character
    EXPECT_EQ(DecodeTextFileBytes("Ma\xC3\x9F\xC3", true), Bytes("Ma\xDF"));
    EXPECT_TRUE(IsValidUtf8("Ma\xC3\x9F\xE2\x82", true));
    EXPECT_FALSE(IsValidUtf8("Ma\xC3\x9F\xE2\x82"));
}
