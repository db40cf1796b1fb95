#include "editor/rtf_codec.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace radevir;

namespace {

QStringList BlockTexts(const QTextDocument& doc) {
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) out << b.text();
    return out;
}

// The character format at a position of the document (the character after it).
QTextCharFormat FormatAt(const QTextDocument& doc, int position) {
    QTextCursor c(const_cast<QTextDocument*>(&doc));
    c.setPosition(position + 1);
    return c.charFormat();
}

int Find(const QTextDocument& doc, const QString& text) {
    return doc.find(text).selectionStart();
}

QString Family(const QTextCharFormat& f) {
    const QStringList families = f.fontFamilies().toStringList();
    return families.isEmpty() ? QString() : families.front();
}

TEST(RtfCodec, StyledTextRoundTrip) {
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat bold;
    bold.setFontFamilies({"Liberation Serif"});
    bold.setFontPointSize(14);
    bold.setFontWeight(QFont::Bold);
    bold.setForeground(QColor(255, 0, 0));
    c.insertText("Fett rot", bold);
    QTextCharFormat italic;
    italic.setFontFamilies({"Liberation Sans"});
    italic.setFontPointSize(10.5);
    italic.setFontItalic(true);
    italic.setFontUnderline(true);
    c.insertText(" kursiv {x} \\ ü € ő →\tTab", italic);
    QTextBlockFormat indented;
    indented.setLeftMargin(48);
    indented.setRightMargin(24);
    indented.setTextIndent(-16);
    indented.setAlignment(Qt::AlignHCenter);
    c.insertBlock(indented);
    c.insertText("12+5=" + QString(QChar(0xB7)) + "17" + QString(QChar(0xB7)), italic);
    c.insertBlock(QTextBlockFormat());  // an empty last line stays a line

    const QByteArray rtf = WriteRtf(doc);
    QTextDocument back;
    ASSERT_TRUE(ReadRtf(rtf, back));
    EXPECT_EQ(BlockTexts(back), BlockTexts(doc));

    const QTextCharFormat b = FormatAt(back, 0);
    EXPECT_EQ(Family(b), "Liberation Serif");
    EXPECT_EQ(b.fontPointSize(), 14);
    EXPECT_EQ(b.fontWeight(), QFont::Bold);
    EXPECT_EQ(b.foreground().color(), QColor(255, 0, 0));
    EXPECT_FALSE(b.fontItalic());
    const QTextCharFormat i = FormatAt(back, Find(back, "kursiv"));
    EXPECT_EQ(Family(i), "Liberation Sans");
    EXPECT_EQ(i.fontPointSize(), 10.5);
    EXPECT_TRUE(i.fontItalic());
    EXPECT_TRUE(i.fontUnderline());
    EXPECT_NE(i.fontWeight(), QFont::Bold);
    EXPECT_FALSE(i.hasProperty(QTextFormat::ForegroundBrush));

    const QTextBlockFormat p = back.begin().next().blockFormat();
    EXPECT_EQ(p.leftMargin(), 48);
    EXPECT_EQ(p.rightMargin(), 24);
    EXPECT_EQ(p.textIndent(), -16);
    EXPECT_EQ(p.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(back.begin().blockFormat().leftMargin(), 0);

    // what the writer makes reads back to the same bytes
    EXPECT_EQ(WriteRtf(back).toStdString(), rtf.toStdString());
}

TEST(RtfCodec, ReadsAnotherWordProcessorsFile) {
    QFile file(RADEVIR_TEST_SOURCE_DIR "/editor/fixtures/word_processor.rtf");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QTextDocument doc;
    ASSERT_TRUE(ReadRtf(file.readAll(), doc));
    const QStringList expected = {
        "Grüße aus Köln",
        "Fett und kursiv und unterstrichen.",
        QString::fromUtf8("Rot € Euro, \U0001F600 und {Klammern}\tEnde"),
        "Verweis",
        QString::fromUtf8("ą č"),
        "12+5=17",
        "",
    };
    EXPECT_EQ(BlockTexts(doc), expected);
    // nothing of the style sheet, the document information, the generator, the picture, the
    // field instruction or the header shows
    const QString all = doc.toPlainText();
    for (const char* hidden :
         {"Normal", "Lehrerin", "Textverarbeitung", "HYPERLINK", "Kopfzeile", "89504e"})
        EXPECT_FALSE(all.contains(hidden)) << hidden;

    const QTextCharFormat first = FormatAt(doc, 0);
    EXPECT_EQ(Family(first), "Calibri");
    EXPECT_EQ(first.fontPointSize(), 11);
    EXPECT_EQ(FormatAt(doc, Find(doc, "Fett")).fontWeight(), QFont::Bold);
    EXPECT_NE(FormatAt(doc, Find(doc, "und")).fontWeight(), QFont::Bold);
    EXPECT_TRUE(FormatAt(doc, Find(doc, "kursiv")).fontItalic());
    EXPECT_TRUE(FormatAt(doc, Find(doc, "unterstrichen")).fontUnderline());
    const QTextCharFormat red = FormatAt(doc, Find(doc, "Rot"));
    EXPECT_EQ(Family(red), "Times New Roman");
    EXPECT_EQ(red.fontPointSize(), 14);
    EXPECT_EQ(red.foreground().color(), QColor(255, 0, 0));
    EXPECT_FALSE(FormatAt(doc, Find(doc, "Euro")).hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(FormatAt(doc, Find(doc, "17")).foreground().color(), QColor(0, 77, 187));
    const QTextBlockFormat second = doc.findBlockByNumber(1).blockFormat();
    EXPECT_EQ(second.leftMargin(), 48);
    EXPECT_EQ(second.textIndent(), -24);
    EXPECT_EQ(second.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(doc.findBlockByNumber(2).blockFormat().leftMargin(), 0);
}

TEST(RtfCodec, TableRowsBecomeTabbedLinesAndWhatIsLeftOutIsReported) {
    QFile file(RADEVIR_TEST_SOURCE_DIR "/editor/fixtures/table_and_picture.rtf");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QTextDocument doc;
    bool dropped = false;
    ASSERT_TRUE(ReadRtf(file.readAll(), doc, &dropped));
    const QStringList expected = {
        "Ergebnisse der Klasse 3b",
        "Name\tAufgabe\tErgebnis",
        QString::fromUtf8("Ayşe\t34+25=\t59"),
        "Jonas\t\t17",  // an empty cell keeps its place
        "Gut gemacht!",
        "",
    };
    EXPECT_EQ(BlockTexts(doc), expected);
    EXPECT_TRUE(dropped);

    // what is left out: a picture, an object, a header, a footer, a footnote, a table
    const char* const parts[] = {"{\\pict\\pngblip 89504e}",
                                 "{\\object{\\objdata 01}}",
                                 "{\\header Kopf}",
                                 "{\\footerr Fuss}",
                                 "{\\footnote Note}",
                                 "{\\*\\shppict{\\pict 00}}",
                                 "\\trowd\\cellx100\\pard\\intbl a\\cell\\row"};
    for (const char* part : parts) {
        dropped = false;
        ASSERT_TRUE(ReadRtf(QByteArray("{\\rtf1 Text ") + part + " Ende}", doc, &dropped));
        EXPECT_TRUE(dropped) << part;
        EXPECT_TRUE(doc.toPlainText().startsWith("Text")) << part;
    }
    // nothing is reported for what the editor itself writes, nor for what is no part of the text
    QTextDocument styled;
    QTextCursor(&styled).insertText("12+5=17\tEnde");
    ASSERT_TRUE(ReadRtf(WriteRtf(styled), doc, &dropped));
    EXPECT_FALSE(dropped);
    ASSERT_TRUE(
        ReadRtf("{\\rtf1{\\info{\\author A}}{\\stylesheet{\\s0 Normal;}}{\\*\\generator X;}Text}",
                doc, &dropped));
    EXPECT_FALSE(dropped);
}

TEST(RtfCodec, DamagedOrForeignInput) {
    QTextDocument doc;
    doc.setPlainText("bleibt");
    EXPECT_FALSE(ReadRtf("kein RTF", doc));
    EXPECT_EQ(doc.toPlainText(), "bleibt");
    // cut off in the middle, unbalanced groups, a \bin past the end, huge numbers
    const QByteArray damaged[] = {
        "{\\rtf1 Anfang {\\b fett", "{\\rtf1 a}}}} b", "{\\rtf1 x\\bin99999999 y}",
        "{\\rtf1\\fs99999999999 z\\u-99999999999? \\'", "{\\rtf1{{{{{{{{{{"};
    const char* kept[] = {"Anfang fett", "a", "x", "z", ""};
    for (size_t i = 0; i < std::size(damaged); ++i) {
        ASSERT_TRUE(ReadRtf(damaged[i], doc));
        EXPECT_TRUE(doc.toPlainText().startsWith(kept[i])) << damaged[i].constData();
    }
}

}  // namespace
