// The generated data kit: glyph pictures and fonts as the program finds them.
#include "support/codepage.h"
#include "tests/test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QRawFont>
#include <gtest/gtest.h>

using radevir::test::KitDir;

TEST(Kit, GlyphPicturesCoverFramesShadesAndArrowsButNoLetters) {
    const QDir emfs(KitDir() + "/emfs");
    ASSERT_TRUE(emfs.exists());
    const QString wanted = QString::fromUtf8(
        "│┤╡╢╖╕╣║╗╝╜╛┐└┴┬├─┼╞╟╚╔╩╦╠═╬╧╨╤╥╙╘╒╫╪┘┌░▒▓█▌▐■↑↓→←►◄▲▼");
    for (QChar c : wanted) {
        const int code = radevir::UnicodeToCp437(c.unicode());
        ASSERT_NE(code, 0) << int(c.unicode());
        EXPECT_TRUE(emfs.exists(QStringLiteral("%1.emf").arg(code))) << code;
    }
    // Bytes that are German letters in Windows-1252 must stay letters on the screen.
    for (int letter : {214, 220, 223, 228, 246, 252})
        EXPECT_FALSE(emfs.exists(QStringLiteral("%1.emf").arg(letter))) << letter;
}

TEST(Kit, FontsCarryTheFaceNamesTheProgramAsksFor) {
    const std::pair<const char*, const char*> fonts[] = {
        {"vududed.ttf", "VUDUDED"},
        {"vareruvir.TTF", "ZOZE DOS VA"},
        {"darizodev.TTF", "DARIZODEV"},
        {"lueckentext.TTF", "LUECKENTEXT"},
    };
    const QStringList files = QDir(KitDir() + "/bgi7").entryList(QDir::Files);
    for (const auto& [file, face] : fonts) {
        ASSERT_TRUE(files.contains(QString::fromUtf8(file))) << file;  // exact letter case
        const int id = QFontDatabase::addApplicationFont(KitDir() + "/bgi7/" + file);
        ASSERT_GE(id, 0) << file;
        EXPECT_EQ(QFontDatabase::applicationFontFamilies(id), QStringList{QString::fromUtf8(face)})
            << file;
        QFontDatabase::removeApplicationFont(id);
    }
}

// The school font's letter shaping writes spare Windows-1252 codes for the joined forms; each
// must draw the letter it stands for, not the symbol the code has in the code page.
TEST(Kit, SchoolFontDrawsTheShapedCodesAsTheirLetters) {
    const QRawFont font(KitDir() + "/bgi7/vareruvir.TTF", 40);
    ASSERT_TRUE(font.isValid());
    auto glyph = [&](const QString& text) {
        const auto indexes = font.glyphIndexesForString(text);
        return indexes.size() == 1 ? indexes[0] : 0u;
    };
    const quint32 s = glyph("s"), t = glyph("t"), sharpS = glyph(QString::fromUtf8("ß"));
    const quint32 euro = glyph(QString::fromUtf8("€"));
    ASSERT_NE(s, 0u);
    ASSERT_NE(t, 0u);
    ASSERT_NE(sharpS, 0u);
    ASSERT_NE(euro, 0u);
    for (unsigned char code : {0xB1, 0xB2, 0xB3, 0xB4, 0xB5})
        EXPECT_EQ(glyph(radevir::FromCp1252(std::string(1, char(code)))), s) << int(code);
    EXPECT_EQ(glyph(radevir::FromCp1252("\xAA")), t);
    EXPECT_EQ(glyph("&"), sharpS);
    EXPECT_EQ(glyph("\\"), sharpS);
    EXPECT_EQ(glyph(radevir::FromCp1252("\xEA")), euro);
    // German letters and digits are all there.
    for (QChar c : QString::fromUtf8("äöüÄÖÜß0123456789+-=:"))
        EXPECT_TRUE(font.supportsCharacter(c)) << int(c.unicode());
}
