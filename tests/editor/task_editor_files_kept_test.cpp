// The task editor as a teacher uses it, on the paths where a teacher's text could be lost or
// changed behind her back: files it cannot read, the one undo history, tools on lines in any
// script, rich text with parts the editor cannot show, lines it cannot compute, where "Speichern
// unter" starts, where recordings go, and the spelling check.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include "editor/editor_files.h"
#include "editor/spelling.h"
#include "editor/task_editor_window.h"
#include "support/program_environment.h"
#include "tests/editor/dialog_answers.h"
#include "tests/editor/document_probes.h"
#include "tests/test_support.h"

using namespace radevir;
using radevir::test::DialogAnswers;
using radevir::test::Blocks;
using radevir::test::ColourAt;
using radevir::test::ScratchDir;

namespace {

QByteArray Utf8(const char* text) {
    return QByteArray(text);
}

struct Editor {
    ScratchDir dir;
    ProgramEnvironment env = ProgramEnvironment::FromNativeFolder(dir.Path());
    TaskEditorWindow window{env, nullptr, {}};
    ~Editor() {
        window.Editor().document()->setModified(false);
        window.close();
    }
    QTextEdit& Text() { return window.Editor(); }
    QAction* UndoAction() {
        for (QAction* a : window.findChildren<QAction*>())
            if (a->text() == QString::fromUtf8("&Rückgängig")) return a;
        return nullptr;
    }
};

// A rich-text file over the size the editor reads, with photos in it as far as anyone knows.
QByteArray BigRichText() {
    QByteArray bytes = "{\\rtf1\\ansi Brief mit Fotos\\par{\\pict\\jpegblip ";
    bytes += QByteArray(kMaxEditorFileBytes + 16, 'a');
    bytes += "}}";
    return bytes;
}

TEST(TaskEditorKeepsFiles, AFileItCouldNotReadIsNeverBound) {
    Editor e;
    const QString list = e.dir.Write("Aufgaben/Liste.txt", "1+1=\r\n");
    ASSERT_TRUE(e.window.OpenFile(list, false));
    const QString big = e.dir.Write("Brief.rtf", BigRichText());
    {
        DialogAnswers answers({DialogAnswers::Click("OK")});
        EXPECT_FALSE(e.window.OpenFile(big, false));
        EXPECT_EQ(answers.Answered(), 1u);
        ASSERT_FALSE(answers.Seen().isEmpty());
        EXPECT_TRUE(answers.Seen().front().contains(QString::fromUtf8("zu groß")));
    }
    // the list shown before stays, under its own name
    EXPECT_EQ(e.window.FileName(), list);
    EXPECT_EQ(Blocks(*e.Text().document()), QStringList{"1+1="});
    EXPECT_EQ(e.window.RecentFiles().front(), list);
    // a folder is no file to read either, nor a word processor's own binary format
    QDir(e.dir.Path()).mkpath("Ordner.txt");
    const QString binary =
        e.dir.Write("Brief.doc", QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0\0\0", 12));
    for (const QString& path : {e.dir.Path() + "/Ordner.txt", binary}) {
        DialogAnswers answers({DialogAnswers::Click("OK")});
        EXPECT_FALSE(e.window.OpenFile(path, false)) << path.toStdString();
        EXPECT_EQ(answers.Answered(), 1u);
    }
    EXPECT_EQ(e.window.FileName(), list);
}

TEST(TaskEditorKeepsFiles, EditBigFileThenCtrlSLeavesItByteForByte) {
    Editor e;
    const QString big = e.dir.Write("Brief.rtf", BigRichText());
    const QByteArray before =
        QCryptographicHash::hash(e.dir.Read("Brief.rtf"), QCryptographicHash::Sha256);
    // "too big" is told; Ctrl+S on the empty, unnamed window asks for a name, which is refused
    DialogAnswers answers({DialogAnswers::Click("OK"), DialogAnswers::Reject()});
    bool typed = false;
    QTimer::singleShot(300, &e.window, [&] {
        EXPECT_TRUE(e.window.FileName().isEmpty());
        e.Text().setFocus();
        QTest::keyClick(&e.Text(), Qt::Key_S, Qt::ControlModifier);
        typed = true;
        e.window.close();
    });
    e.window.ExecOn(big);  // as `radevir --edit Brief.rtf`
    EXPECT_TRUE(typed);
    EXPECT_EQ(answers.Answered(), 2u);
    EXPECT_EQ(QCryptographicHash::hash(e.dir.Read("Brief.rtf"), QCryptographicHash::Sha256),
              before);
}

TEST(TaskEditorKeepsFiles, ToolsAreStepsOfTheOneUndoHistory) {
    Editor e;
    ASSERT_TRUE(e.window.OpenFile(e.dir.Write("Liste.txt", "12+5=\r\n7:0=\r\n"), false));
    ASSERT_NE(e.UndoAction(), nullptr);
    EXPECT_FALSE(e.UndoAction()->isEnabled());  // reading the file is no step

    e.window.CalculateTerms();
    EXPECT_EQ(Blocks(*e.Text().document()), (QStringList{"12+5=17", "7:0="}));
    EXPECT_EQ(ColourAt(e.Text(), 1, 0), QColor(255, 0, 0));
    // typed afterwards
    e.Text().moveCursor(QTextCursor::End);
    e.Text().setFocus();
    QTest::keyClicks(&e.Text(), " Ende");
    EXPECT_EQ(Blocks(*e.Text().document()), (QStringList{"12+5=17", "7:0= Ende"}));

    // "Rückgängig" takes back the typing only, not the text from before the tool
    e.UndoAction()->trigger();
    EXPECT_EQ(Blocks(*e.Text().document()), (QStringList{"12+5=17", "7:0="}));
    // Ctrl+Z then takes back the tool with its red line, in one step
    QTest::keyClick(&e.Text(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Blocks(*e.Text().document()), (QStringList{"12+5=", "7:0="}));
    EXPECT_NE(ColourAt(e.Text(), 1, 0), QColor(255, 0, 0));
    EXPECT_FALSE(e.UndoAction()->isEnabled());

    // and every tool of the panel is a step of the same history
    e.window.CalculateTerms();
    e.window.MarkResults();
    EXPECT_EQ(Blocks(*e.Text().document()), (QStringList{"12+5=_1_7", "7:0="}));
    e.UndoAction()->trigger();
    EXPECT_EQ(Blocks(*e.Text().document()), (QStringList{"12+5=17", "7:0="}));
    QTest::keyClick(&e.Text(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Blocks(*e.Text().document()), (QStringList{"12+5=", "7:0="}));
}

TEST(TaskEditorKeepsFiles, ToolsChangeOnlyTheLinesTheyChange) {
    Editor e;
    const QByteArray utf8 = Utf8("Ayşe rechnet\r\nπ ≈ 3,14\r\n12+5=17\r\n5 ≥ 7\r\n5 ≤ 7\r\n");
    const QString list = e.dir.Write("Liste.txt", utf8);
    ASSERT_TRUE(e.window.OpenFile(list, false));
    ASSERT_TRUE(e.window.Save());
    EXPECT_EQ(e.dir.Read("Liste.txt"), utf8);  // opened and saved: byte for byte

    e.window.MarkResults();
    e.window.DeleteDuplicates();  // "5 ≥ 7" and "5 ≤ 7" are two tasks
    ASSERT_TRUE(e.window.Save());
    EXPECT_EQ(e.dir.Read("Liste.txt"),
              Utf8("Ayşe rechnet\r\nπ ≈ 3,14\r\n12+5=_1_7\r\n5 ≥ 7\r\n5 ≤ 7\r\n"));

    // a soft line break stays one; the bold start of a line keeps its look when the end changes
    const QString rich =
        e.dir.Write("Brief.rtf", "{\\rtf1 Zeile eins\\line Zeile zwei\\par {\\b 3+4}=7\\par}");
    ASSERT_TRUE(e.window.OpenFile(rich, false));
    e.window.MarkResults();
    EXPECT_EQ(Blocks(*e.Text().document()),
              (QStringList{QString::fromUtf8("Zeile eins\u2028Zeile zwei"), "3+4=_7", ""}));
    QTextCursor bold(e.Text().document()->findBlockByNumber(1));
    bold.setPosition(bold.position() + 1);
    EXPECT_EQ(bold.charFormat().fontWeight(), QFont::Bold);
}

TEST(TaskEditorKeepsFiles, TextTheCodePageCannotHoldIsSavedAsUtf8WithAWord) {
    Editor e;
    e.window.NewFile();
    QTextCursor(e.Text().document()).insertText(QString::fromUtf8("Ayşe: π ≈ 3,14\nÄpfel"));
    DialogAnswers answers({DialogAnswers::Click("OK")});
    ASSERT_TRUE(e.window.SaveAs(e.dir.Path() + "/Neu.txt"));
    EXPECT_EQ(answers.Answered(), 1u);
    EXPECT_EQ(e.dir.Read("Neu.txt"), Utf8("\xEF\xBB\xBF"
                                          "Ayşe: π ≈ 3,14\r\nÄpfel\r\n"));
    // read back as it was written, and a text the code page holds stays Windows-1252
    ASSERT_TRUE(e.window.OpenFile(e.dir.Path() + "/Neu.txt", false));
    EXPECT_EQ(Blocks(*e.Text().document()),
              (QStringList{QString::fromUtf8("Ayşe: π ≈ 3,14"), QString::fromUtf8("Äpfel")}));
    e.window.NewFile();
    QTextCursor(e.Text().document()).insertText(QString::fromUtf8("Äpfel"));
    ASSERT_TRUE(e.window.SaveAs(e.dir.Path() + "/Alt.txt"));
    EXPECT_EQ(answers.Answered(), 1u);
    EXPECT_EQ(e.dir.Read("Alt.txt"), "\xC4pfel\r\n");
}

TEST(TaskEditorKeepsFiles, SavingOverARichTextThatLostPartsAsksFirst) {
    Editor e;
    QFile fixture(RADEVIR_TEST_SOURCE_DIR "/editor/fixtures/table_and_picture.rtf");
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    const QByteArray original = fixture.readAll();
    const QString file = e.dir.Write("Klasse 3b.rtf", original);
    ASSERT_TRUE(e.window.OpenFile(file, false));
    EXPECT_EQ(Blocks(*e.Text().document()).at(2), QString::fromUtf8("Ayşe\t34+25=\t59"));
    QTextCursor(e.Text().document()).insertText("Neu: ");

    const QString question = QString::fromUtf8(
        "Die Datei Klasse 3b.rtf enthielt Bilder oder Tabellen, die der Editor nicht darstellen "
        "kann. "
        "Trotzdem überschreiben?");
    const QString shot = radevir::test::OutputDir() + "/editor_dropped_content_question.png";
    {
        DialogAnswers answers({DialogAnswers::Inspect([&shot](QDialog& d) { d.grab().save(shot); },
                                                      DialogAnswers::Click("Abbrechen"))});
        EXPECT_FALSE(e.window.Save());
        EXPECT_EQ(answers.Seen(), QStringList{question});
    }
    EXPECT_EQ(e.dir.Read("Klasse 3b.rtf"), original);
    {
        // "Speichern unter" is the way out: the dialog comes, and here nothing is chosen
        DialogAnswers answers({DialogAnswers::Click("Speichern unter"), DialogAnswers::Reject()});
        EXPECT_FALSE(e.window.Save());
        EXPECT_EQ(answers.Answered(), 2u);
    }
    EXPECT_EQ(e.dir.Read("Klasse 3b.rtf"), original);
    EXPECT_TRUE(e.window.Modified());
    {
        DialogAnswers answers({DialogAnswers::Click(QString::fromUtf8("Überschreiben"))});
        EXPECT_TRUE(e.window.Save());
    }
    EXPECT_NE(e.dir.Read("Klasse 3b.rtf"), original);
    // the file now holds what the editor shows: no more question
    QTextCursor(e.Text().document()).insertText("x");
    DialogAnswers none({});
    EXPECT_TRUE(e.window.Save());
    QTest::qWait(50);
    EXPECT_EQ(none.Answered(), 0u);
}

TEST(TaskEditorKeepsFiles, CalculateKeepsWhatItCannotComputeAndClearsCorrectedLines) {
    Editor e;
    ASSERT_TRUE(e.window.OpenFile(
        e.dir.Write("Liste.txt", "7:0=\r\n34+_2_5=\r\nAufgaben:\r\n3+4=9\r\n"), false));
    e.window.CalculateTerms();
    EXPECT_EQ(Blocks(*e.Text().document()),
              (QStringList{"7:0=", "34+_2_5=59", "Aufgaben:", "3+4=7"}));
    EXPECT_EQ(ColourAt(e.Text(), 0, 0), QColor(255, 0, 0));
    EXPECT_NE(ColourAt(e.Text(), 1, 0), QColor(255, 0, 0));
    EXPECT_NE(ColourAt(e.Text(), 2, 0), QColor(255, 0, 0));  // a heading is no task

    // the teacher corrects the red line; computing again clears its mark
    QTextCursor c(e.Text().document()->findBlockByNumber(0));
    c.setPosition(c.position() + 2);
    c.setPosition(c.position() + 1, QTextCursor::KeepAnchor);
    c.insertText("1");
    e.window.CalculateTerms();
    EXPECT_EQ(Blocks(*e.Text().document()).front(), "7:1=7");
    for (int column : {0, 4}) EXPECT_NE(ColourAt(e.Text(), 0, column), QColor(255, 0, 0)) << column;
}

TEST(TaskEditorKeepsFiles, SaveAsStartsWhereTheListBelongs) {
    Editor e;
    const QString folder = e.dir.Path() + "/Aufgaben/Kopfrechnen";
    QDir().mkpath(folder);
    const QString list = folder + "/Plus bis 100.txt";
    QString offeredFolder;
    QString offeredName;
    const auto look = [&](QDialog& d) {
        auto& dialog = static_cast<QFileDialog&>(d);
        offeredFolder = dialog.directory().absolutePath();
        offeredName = dialog.selectedFiles().value(0);
    };
    DialogAnswers answers({DialogAnswers::Inspect(look, [](QDialog& d) { d.accept(); })});
    QTimer::singleShot(300, &e.window, [&] {
        QTextCursor(e.Text().document()).insertText("1+1=");
        e.window.Save();
        e.window.close();
    });
    e.window.ExecOn(list);  // a new list: the file is not there yet
    EXPECT_EQ(offeredFolder, folder);
    EXPECT_EQ(offeredName, list);
    EXPECT_EQ(e.dir.Read("Aufgaben/Kopfrechnen/Plus bis 100.txt"), "1+1=\r\n");

    // a new, unnamed text starts in the folder of the list last opened, also after a restart
    TaskEditorWindow again(e.env, nullptr, {});
    DialogAnswers second({DialogAnswers::Inspect(look, DialogAnswers::Reject())});
    QTextCursor(again.Editor().document()).insertText("2+2=");
    EXPECT_FALSE(again.Save());
    EXPECT_EQ(offeredFolder, folder);
    EXPECT_EQ(offeredName, folder + "/Diktat 1.txt");
    again.Editor().document()->setModified(false);
}

TEST(TaskEditorKeepsFiles, RecordingsOfAListOutsideTheProgramFolderStayUnderSounds) {
    Editor e;
    ScratchDir elsewhere;
    ASSERT_TRUE(
        e.window.OpenFile(elsewhere.Write("Klasse/Tiere.txt", "Hallo, Welt!\r\n..\r\n"), false));
    const QString sounds = e.dir.Path() + "/Sounds/";
    const QString wave = e.window.LineSoundFile();
    EXPECT_TRUE(wave.startsWith(sounds)) << wave.toStdString();
    EXPECT_TRUE(wave.endsWith("/Klasse/Tiere/Hallo, Welt.wav")) << wave.toStdString();
    EXPECT_FALSE(wave.contains("..")) << wave.toStdString();
}

TEST(TaskEditorKeepsFiles, SpellingChecksEveryWordAndChangesNothing) {
    Editor e;
    if (!SpellChecker().Available()) GTEST_SKIP() << "no German dictionary installed";
    ASSERT_TRUE(e.window.OpenFile(
        e.dir.Write("Diktat.txt", "Fehlre ist ein Tset mit Fehlre\r\nSchuhle Haus  Baum\r\n"),
        false));
    e.window.show();
    e.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&e.window));
    e.Text().setFocus();
    QTest::keyClick(&e.Text(), Qt::Key_F7);
    QStringList marked;
    for (const QTextEdit::ExtraSelection& s : e.Text().extraSelections())
        marked << s.cursor.selectedText();
    EXPECT_EQ(marked, (QStringList{"Fehlre", "Tset", "Fehlre", "Schuhle", "  "}));
    EXPECT_FALSE(e.window.Modified());
    EXPECT_EQ(e.window.StatusModified(), "gespeichert");
    EXPECT_FALSE(e.UndoAction()->isEnabled());
}

}  // namespace
