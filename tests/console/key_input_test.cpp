#include "console/key_input.h"

#include <gtest/gtest.h>

using namespace radevir;

TEST(ScanCodes, CursorAndFunctionKeysMapToTheirDosCodes) {
    const struct {
        int virtualKey;
        int code;
    } table[] = {{vk::kPageUp, 'I'}, {vk::kPageDown, 'Q'}, {vk::kEnd, 'O'},   {vk::kHome, 'G'},
                 {vk::kLeft, 'K'},   {vk::kUp, 'H'},       {vk::kRight, 'M'}, {vk::kDown, 'P'},
                 {vk::kInsert, 'R'}, {vk::kDelete, 'S'},   {vk::kF1, ';'},    {vk::kF1 + 8, 'C'},
                 {vk::kF10, ']'},    {vk::kF11, 0x85},     {vk::kF12, 0x86},  {'A', -1},
                 {13, -1},           {vk::kAlt, -1}};
    for (const auto& row : table)
        EXPECT_EQ(ScanCodeForVirtualKey(row.virtualKey), row.code) << row.virtualKey;
}

TEST(KeyQueue, KeysComeOutInTypingOrderWithTheirOwnExtendedFlag) {
    KeyQueue q;
    q.Append('4', false);
    q.Append('7', false);
    q.Append('H', true);  // Up arrow
    q.Append('H', false);  // typed H
    EXPECT_EQ(q.Take(), '4');
    EXPECT_FALSE(q.LastKeyExtended());
    EXPECT_EQ(q.Take(), '7');
    EXPECT_EQ(q.Take(), 'H');
    EXPECT_TRUE(q.LastKeyExtended());
    EXPECT_EQ(q.Take(), 'H');
    EXPECT_FALSE(q.LastKeyExtended());
    EXPECT_EQ(q.Take(), 0);
    EXPECT_TRUE(q.Empty());
}

TEST(CodePageTables, OemAndAnsiConversionRespectTheSwitch) {
    EXPECT_EQ(ToOem(0xE4, false), 0x84);  // ä
    EXPECT_EQ(ToOem(0xE4, true), 0xE4);
    EXPECT_EQ(ToOem('a', false), 'a');
    EXPECT_EQ(ToAnsiChar(0x84, false), 0xE4);
    EXPECT_EQ(ToAnsiChar(0x80, false), 0xC7);  // a stored 0x80 shows as Ç …
    EXPECT_EQ(ToOem(0xC7, false), 0xC7);       // … while a typed Ç stays
    EXPECT_EQ(ToAnsiChar(0xC4, false), 0xC4);  // the frame byte ─ is no letter
    EXPECT_EQ(ToAnsi("Gr\x94\xE1" "e", false), Bytes("Gr\xF6\xDF" "e"));
    EXPECT_EQ(ToOemString("\xFC\xDF", false), Bytes("\x81\xE1"));
}

TEST(AltComposer, NumberPadDigitsComposeACharacter) {
    AltComposer alt;
    alt.AltPressed();
    EXPECT_EQ(alt.AltReleased(), -1);  // Alt alone
    alt.AltPressed();
    alt.Digit(0);
    alt.Digit(2);
    alt.Digit(2);
    alt.Digit(8);
    EXPECT_EQ(alt.AltReleased(), 0xE4);  // 0228: Windows-1252 ä
    alt.AltPressed();
    alt.Digit(1);
    alt.Digit(3);
    alt.Digit(2);
    EXPECT_EQ(alt.AltReleased(), 0xE4);  // 132: code page 437 ä
    alt.AltPressed();
    alt.Digit(6);
    alt.Digit(5);
    EXPECT_EQ(alt.AltReleased(), 'A');
}
