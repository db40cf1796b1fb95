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
