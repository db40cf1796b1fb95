// The task editor window on a scratch program folder: files keep their bytes, the task tools
// change the document and are undone in one step, the recent files survive a restart, the
// print options are kept, and a print goes into a PDF with its header, gaps and footer.
#include "editor/task_editor_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include "editor/editor_files.h"
#include "editor/print_options.h"
#include "editor/spelling.h"
#include "support/program_environment.h"
#include "tests/editor/document_probes.h"
#include "tests/test_support.h"

using namespace radevir;
using radevir::test::Blocks;
using radevir::test::ColourAt;
using radevir::test::ScratchDir;

namespace {

struct EditorFixture {
    ScratchDir dir;
    ProgramEnvironment env = ProgramEnvironment::FromNativeFolder(dir.Path());
    std::unique_ptr<TaskEditorWindow> window;
    explicit EditorFixture(QString printTo = {}) { Make(std::move(printTo)); }
    void Make(QString printTo = {}) {
        window = std::make_unique<TaskEditorWindow>(env, nullptr, std::move(printTo));
    }
    void Close() {
        window->Editor().document()->setModified(false);
        window->close();
    }
};

TEST(EditorFiles, PlainTextKeepsItsBytes) {
    const QByteArray files[] = {
        "12+5=17\r\n\xB7l\xFC"
        "cke\xB7 \xA0 \x80\x81\x8D\x8F\x90\x9D\r\n\r\nEnde",  // Windows-1252, no end after the last
                                                              // line
        "a\r\nb\r\n",
        "a\nb\n\n",          // LF only
        "a\rb\r",            // CR only
        "a\r\nb\nc\rd\r\n",  // mixed, each line keeps its own
        "\xEF\xBB\xBFGr\xC3\xBC\xC3\x9F"
        "e \xE2\x82\xAC\r\n",  // UTF-8 with byte-order mark
        "Gr\xC3\xBC\xC3\x9F"
        "e\n",  // UTF-8 without
        "",
        "\r\n",
    };
    for (const QByteArray& bytes : files) {
        PlainTextLayout layout;
        const QString text = DecodePlainText(bytes, &layout);
        EXPECT_EQ(EncodePlainText(text, layout), bytes) << bytes.toHex().constData();
    }
    PlainTextLayout layout;
    EXPECT_EQ(DecodePlainText("Gr\xFC\xDF"
                              "e\r\nx",
                              &layout),
              QString::fromUtf8("Grüße\nx"));
    EXPECT_FALSE(layout.utf8);
    EXPECT_FALSE(layout.endsWithLineEnd);
    // a new text is Windows-1252 with CR LF; the editor finds what the code page lacks first
    EXPECT_EQ(EncodePlainText(QString::fromUtf8("ü\nx"), PlainTextLayout{}), "\xFC\r\nx\r\n");
    EXPECT_EQ(FirstCharacterOutsideCodePage(QString::fromUtf8("ü€\u2028\nx→😀")),
              QString::fromUtf8("→"));
    EXPECT_EQ(FirstCharacterOutsideCodePage(QString::fromUtf8("a😀")), QString::fromUtf8("😀"));
    EXPECT_EQ(FirstCharacterOutsideCodePage(QString::fromUtf8("Grüße \u0081")), "");
}

TEST(TaskEditorWindow, OpensAndSavesPlainAndRichText) {
    EditorFixture f;
    const QByteArray bytes =
        "3+4=\r\n\xB7"
        "7\xB7 \xE4\r\n";
    const QString plain = f.dir.Write("Aufgaben/Plus.txt", bytes);
    ASSERT_TRUE(f.window->OpenFile(plain, false));
    EXPECT_EQ(Blocks(*f.window->Editor().document()),
              (QStringList{"3+4=", QString::fromUtf8("·7· ä")}));
    EXPECT_EQ(f.window->StatusModified(), "gespeichert");
    EXPECT_EQ(f.window->CurrentPrintOptions().captionText, "Aufgaben\\Plus.txt");
    EXPECT_EQ(f.window->windowTitle(), "Plus.txt - " + QApplication::applicationDisplayName());
    ASSERT_TRUE(f.window->Save());
    EXPECT_EQ(f.dir.Read("Aufgaben/Plus.txt"), bytes);

    // a styled text saved as ".rtf" (or ".doc") comes back with its styles
    QTextCursor c(f.window->Editor().document());
    c.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, 3);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.mergeCharFormat(bold);
    EXPECT_EQ(f.window->StatusModified(), "geändert");
    const QString rich = f.dir.Path() + "/Plus.DOC";
    ASSERT_TRUE(f.window->SaveAs(rich));
    EXPECT_TRUE(f.dir.Read("Plus.DOC").startsWith("{\\rtf1"));
    f.window->NewFile();
    EXPECT_EQ(f.window->StatusModified(), "neu");
    EXPECT_EQ(f.window->windowTitle(), "Unbenannt - " + QApplication::applicationDisplayName());
    ASSERT_TRUE(f.window->OpenFile(rich, false));
    EXPECT_EQ(Blocks(*f.window->Editor().document()).front(), "3+4=");
    QTextCursor at(f.window->Editor().document());
    at.setPosition(1);
    EXPECT_EQ(at.charFormat().fontWeight(), QFont::Bold);
    at.setPosition(5);
    EXPECT_NE(at.charFormat().fontWeight(), QFont::Bold);

    // an absent file opens as an empty text under its name
    ASSERT_TRUE(f.window->OpenFile(f.dir.Path() + "/neu.txt", false));
    EXPECT_TRUE(f.window->Editor().document()->isEmpty());
    f.Close();
}

TEST(TaskEditorWindow, TaskToolsWorkOnTheText) {
    EditorFixture f;
    const QString file =
        f.dir.Write("Aufgaben/Liste.txt", "(3+4)*2\r\n7:0=\r\n\r\n12+5=17\r\n\r\n12+5=17\r\n");
    ASSERT_TRUE(f.window->OpenFile(file, false));
    QTextEdit& editor = f.window->Editor();
    auto* calculate = f.window->findChild<QPushButton*>("Button_calculateterms");
    ASSERT_NE(calculate, nullptr);

    f.window->CalculateTerms();
    EXPECT_EQ(Blocks(*editor.document()),
              (QStringList{"(3+4)*2=14", "7:0=", "", "12+5=17", "", "12+5=17"}));
    EXPECT_EQ(ColourAt(editor, 1, 0), QColor(255, 0, 0));  // the failed line, selected and red
    EXPECT_EQ(editor.textCursor().selectedText(), "7:0=");
    EXPECT_NE(ColourAt(editor, 0, 0), QColor(255, 0, 0));
    EXPECT_FALSE(calculate->isEnabled());
    editor.undo();
    EXPECT_EQ(Blocks(*editor.document()).mid(0, 2), (QStringList{"(3+4)*2", "7:0="}));

    f.window->DeleteAfterEqual();
    EXPECT_TRUE(calculate->isEnabled());
    EXPECT_EQ(Blocks(*editor.document()),
              (QStringList{"(3+4)*2", "7:0=", "", "12+5=", "", "12+5="}));
    f.window->DeleteDuplicates();
    EXPECT_EQ(Blocks(*editor.document()), (QStringList{"(3+4)*2", "7:0=", "", "12+5="}));
    f.window->MarkResults();
    f.window->CalculateTerms();
    f.window->MarkResults();
    EXPECT_EQ(Blocks(*editor.document()), (QStringList{"(3+4)*2=_1_4", "7:0=", "", "12+5=_1_7"}));
    f.Close();
}

TEST(TaskEditorWindow, WorksheetGetsTheSpacedLinesAndTheChosenHeadingFirst) {
    ScratchDir dir;
    const ProgramEnvironment env = ProgramEnvironment::FromNativeFolder(dir.Path());
    dir.Write("vorlagen/Kopfrechnen.txt", "Plus\r\nMinus\r\n");
    QDir(dir.Path()).mkpath("Aufgaben");
    WorksheetRequest seen;
    TaskEditorHandlers handlers;
    TaskEditorWindow* shown = nullptr;
    bool editorUsable = false;
    bool buttonWhileShown = true;
    handlers.worksheet = [&](QWidget* parent, const WorksheetRequest& r) {
        seen = r;
        // while the sheet is shown the editor takes input, but a second sheet is not started
        editorUsable = parent == shown && parent->isEnabled();
        buttonWhileShown = shown->findChild<QPushButton*>("Button_Aufgabenblatt")->isEnabled();
        return true;
    };
    TaskEditorWindow window(env, nullptr, {}, handlers);
    shown = &window;
    ASSERT_TRUE(window.OpenFile(
        dir.Write("Aufgaben/Kopfrechnen/Plus 20.txt", "12 + 5=_1_7\r\n1,5*2=\r\n"), false));
    EXPECT_EQ(window.Headings(), (QStringList{"Plus", "Minus"}));
    auto* headings = window.findChild<QComboBox*>("Ed_topline");
    ASSERT_NE(headings, nullptr);
    headings->activated(1);  // the chosen heading moves to the top
    EXPECT_EQ(window.Headings(), (QStringList{"Minus", "Plus"}));
    window.CreateWorksheet();
    EXPECT_EQ(seen.taskLines, (QStringList{"12 + 5 = _1_7", "1, 5 * 2 = "}));
    EXPECT_EQ(seen.headings, (QStringList{"Minus", "Plus"}));
    EXPECT_EQ(seen.rows, "10");
    EXPECT_EQ(seen.columns, "2");
    EXPECT_EQ(seen.start, "1");
    EXPECT_EQ(seen.templatePath, dir.Path() + "/vorlagen/Aufgaben.html");
    EXPECT_EQ(seen.pagePath, dir.Path() + "/vorlagen/construct.html");
    EXPECT_EQ(seen.savePath, dir.Path() + "/Aufgaben/20 Plus.html");
    EXPECT_TRUE(editorUsable);
    EXPECT_FALSE(buttonWhileShown);
    EXPECT_TRUE(window.findChild<QPushButton*>("Button_Aufgabenblatt")->isEnabled());
    // without a worksheet the button cannot be pressed
    TaskEditorWindow without(env, nullptr, {});
    EXPECT_FALSE(without.findChild<QPushButton*>("Button_Aufgabenblatt")->isEnabled());
    window.Editor().document()->setModified(false);
}

TEST(TaskEditorWindow, StatusShowsLineAndPosition) {
    EditorFixture f;
    ASSERT_TRUE(f.window->OpenFile(f.dir.Write("a.txt", "eins\r\nzwei drei\r\n"), false));
    QTextCursor c(f.window->Editor().document()->findBlockByNumber(1));
    c.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 4);
    f.window->Editor().setTextCursor(c);
    EXPECT_EQ(f.window->StatusPosition(), "Zeile:   2   Position:   5");
    f.Close();
}

TEST(TaskEditorWindow, RecentFilesAndPrintOptionsSurviveARestart) {
    EditorFixture f;
    const QString a = f.dir.Write("a.txt", "a");
    const QString b = f.dir.Write("b.txt", "b");
    f.window->OpenFile(a, false);
    f.window->OpenFile(b, false);
    f.window->OpenFile(a, false);
    f.Close();
    const QByteArray menu = f.dir.Read("Filemenu.txt");
    EXPECT_EQ(menu, (a + "\r\n" + b + "\r\n" + a + "\r\n").toUtf8());  // oldest first

    PrintOptions options;
    options.date = false;
    options.textAfterLines = {"Viel Erfolg!", "Seite 1 = fertig"};
    f.dir.Write("printopt.dfm", WritePrintOptions(options));  // found without regard to letter case
    f.Make();
    EXPECT_EQ(f.window->RecentFiles(), (std::vector<QString>{a, b, a}));
    EXPECT_FALSE(f.window->CurrentPrintOptions().date);
    EXPECT_EQ(f.window->CurrentPrintOptions().textAfterLines, options.textAfterLines);
    f.Close();
}

TEST(PrintOptionsFile, ReadBackAndDamaged) {
    PrintOptions o;
    o.caption = false;
    o.gapsToFill = false;
    o.paragraphMarks = true;
    o.captionText = QString::fromUtf8("Aufgaben\\Kopfrechnen\\Plus bis 20 = ü.txt");
    o.textAfterLines = {"", "Zweite=Zeile"};
    PrintOptions back;
    ASSERT_TRUE(ReadPrintOptions(WritePrintOptions(o), back));
    EXPECT_EQ(back, o);
    PrintOptions untouched = o;
    EXPECT_FALSE(ReadPrintOptions("caption=0\r\n", untouched));
    EXPECT_FALSE(ReadPrintOptions(QByteArray("\0\0\xFF", 3), untouched));
    EXPECT_EQ(untouched, o);
    // unknown and broken lines are passed over; missing flags keep their defaults
    ASSERT_TRUE(ReadPrintOptions(
        "[Ausdruck-Zusatzeinstellungen]\r\nwhatever\r\nfoo=1\r\ndate=0\r\n", back));
    PrintOptions expected;
    expected.date = false;
    EXPECT_EQ(back, expected);
}

TEST(TaskEditorWindow, LineSoundFileUnderTheListsFolder) {
    EditorFixture f;
    QDir(f.dir.Path()).mkpath("sounds");
    ASSERT_TRUE(
        f.window->OpenFile(f.dir.Write("Aufgaben/Tiere.txt", "Hallo, Welt!\r\n?\r\n"), false));
    EXPECT_EQ(f.window->LineSoundFile(), f.dir.Path() + "/sounds/Aufgaben/Tiere/Hallo, Welt.wav");
    QTextCursor c(f.window->Editor().document()->findBlockByNumber(1));
    f.window->Editor().setTextCursor(c);
    EXPECT_EQ(f.window->LineSoundFile(), "");  // nothing is left of "?"
    f.Close();
}

TEST(Spelling, WordsAtEveryBreakAndTheMarks) {
    EXPECT_EQ(SpellingWords(QString::fromUtf8("Der  Hund\nbellt\tlaut.\u2028Ende ")),
              (std::vector<SpellingWord>{{"Der", 0},
                                         {"Hund", 5},
                                         {"bellt", 10},
                                         {QString::fromUtf8("laut."), 16},
                                         {"Ende", 22}}));
    SpellChecker checker;
    if (!checker.Available()) GTEST_SKIP() << "no German dictionary installed";
    EXPECT_TRUE(checker.IsCorrect("Haus,"));
    EXPECT_TRUE(checker.IsCorrect("12+5=17"));
    EXPECT_TRUE(checker.IsCorrect(QString::fromUtf8("Grüße")));
    EXPECT_FALSE(checker.IsCorrect("Hauss"));
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText("Der Hunnd bellt  laut.");
    c.insertBlock();
    c.insertText("Hunnd");
    doc.setModified(false);
    std::vector<SpellingMark> marks;
    EXPECT_EQ(CheckSpelling(doc, checker, &marks), 2);
    EXPECT_EQ(marks, (std::vector<SpellingMark>{{4, 5, false}, {23, 5, false}, {15, 2, true}}));
    EXPECT_FALSE(doc.isModified());
    SpellChecker none(QStringList{"/nonexistent"});
    EXPECT_EQ(CheckSpelling(doc, none, &marks), -1);
}

QString PdfText(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(TaskEditorWindow, PrintsIntoAPdfWithHeaderGapsAndFooter) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    ScratchDir out;
    EditorFixture f(out.Path());
    ASSERT_TRUE(f.window->OpenFile(f.dir.Write("Aufgaben/Diktat 2.txt",
                                               "12+5=\xB7"
                                               "17\xB7\r\nDer Hund \xB7"
                                               "bellt\xB7 laut.\xB6\r\n"),
                                   false));
    PrintOptions options;
    options.textAfterLines = {"Erste Zeile danach", "Zweite Zeile danach"};
    f.dir.Write("Printopt.dfm", WritePrintOptions(options));
    f.Make(out.Path());
    ASSERT_TRUE(f.window->OpenFile(f.dir.Path() + "/Aufgaben/Diktat 2.txt", false));
    const QString pdf = f.window->Print();
    ASSERT_FALSE(pdf.isEmpty());
    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains("NAME:_____________________________")) << text.toStdString();
    EXPECT_TRUE(text.contains("Diktat 2.txt"));
    EXPECT_TRUE(text.contains(
        QLocale(QLocale::German).toString(QDate::currentDate(), QLocale::ShortFormat)));
    EXPECT_TRUE(text.contains(QString::fromUtf8("12+5=·__·")));  // the gap is a blank to fill in
    EXPECT_TRUE(text.contains(QString::fromUtf8("Der Hund ·_____· laut.")));
    EXPECT_FALSE(text.contains("bellt"));
    const qsizetype first = text.indexOf("Erste Zeile danach");
    EXPECT_GE(first, 0);
    EXPECT_GT(text.indexOf("Zweite Zeile danach"), first);  // in reading order
    // the editor's text itself is untouched
    EXPECT_EQ(Blocks(*f.window->Editor().document()).front(), QString::fromUtf8("12+5=·17·"));
    EXPECT_FALSE(f.window->Modified());
    f.Close();
}

}  // namespace
