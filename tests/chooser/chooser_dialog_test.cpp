#include "chooser/list_chooser_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QPdfWriter>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>
#include <fcntl.h>
#include <unistd.h>

#include "chooser/list_entries.h"
#include "chooser/list_print.h"
#include "support/program_environment.h"
#include "support/text_file.h"
#include "tests/test_support.h"

using namespace radevir;

namespace {

QByteArray Lines(std::initializer_list<const char*> lines) {
    QByteArray out;
    for (const char* l : lines) out += QByteArray(l) + "\r\n";
    return out;
}

QByteArray NumberedTasks(int count) {
    QByteArray out;
    for (int i = 1; i <= count; ++i) out += QByteArray::number(i) + "+1=" + QByteArray::number(i + 1) + "\r\n";
    return out;
}

class ChooserDialog : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("Aufgaben/Kopfrechnen/Plus bis 10.txt", Lines({"3+4=7", "5+2=7", "6+_3=9", "!Tipp", "8+1=9"}));
        dir.Write("Aufgaben/Kopfrechnen/Einmaleins.txt", NumberedTasks(90));
        dir.Write("Aufgaben/Kopfrechnen/Einstellungen zuerst.txt",
                  Lines({"#Tempo=3", "#~ Zuerst langsam", "2+2=4", "3+3=6"}));
        dir.Write("Aufgaben/Kopfrechnen/Lernkartei/Max.txt", Lines({"7+8=15"}));
        dir.Write("Aufgaben/Kopfrechnen/Übungen/Gemischt.txt", Lines({"9-3=6"}));
        dir.Write("Aufgaben/Schriftliches Rechnen/Multiplikation/Einfach.txt", Lines({"234*5="}));
        dir.Write("Aufgaben/Schriftliches Rechnen/Addition/Zwei Zahlen.txt", Lines({"345+1278="}));
    }

    ListChooserDialog& Open(ListChooserRequest request = MentalArithmeticRequest()) {
        w = std::make_unique<ListChooserDialog>(env, nullptr);
        w->showMessage = [this](const QString& caption, const QString& text) {
            messages << caption + ": " + text;
        };
        w->Prepare(request);
        w->show();
        QApplication::processEvents();
        return *w;
    }

    static ListChooserRequest MentalArithmeticRequest() {
        ListChooserRequest r;
        r.folder = "Aufgaben\\";
        r.lastName = "Kopfrechnen\\";
        r.recentFile = "bgi7\\letzte2.txt";
        return r;
    }

    static void Key(QWidget* target, int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        QApplication::processEvents();
    }

    // The controls of the window opened last.
    const ListChooserControls& controls() const { return w->Controls(); }

    // Chooses the tree's root folder the way a click does.
    void ClickRoot() {
        controls().folderTree->setCurrentItem(controls().folderTree->topLevelItem(0));
    }

    // Chooses a file in the file list the way a click does (first the root folder when the
    // list shows another one).
    void ClickFile(const QString& name) {
        for (int pass = 0; pass < 2; ++pass) {
            for (int i = 0; i < controls().fileList->topLevelItemCount(); ++i) {
                QTreeWidgetItem* item = controls().fileList->topLevelItem(i);
                if (item->text(0) != name) continue;
                controls().fileList->clearSelection();
                controls().fileList->setCurrentItem(item);
                item->setSelected(true);
                return;
            }
            ClickRoot();
        }
        ADD_FAILURE() << "no file " << name.toStdString();
    }

    std::vector<Bytes> RecentFileLines() {
        std::vector<Bytes> lines;
        ReadTextFileLines(dir.Path() + "/bgi7/letzte2.txt", lines);
        return lines;
    }

    QString FolderPath(const char* relative) const { return QDir::cleanPath(dir.Path() + "/" + relative); }

    test::ScratchDir dir;
    ProgramEnvironment env{dir.Folder()};
    std::unique_ptr<ListChooserDialog> w;
    QStringList messages;
};

TEST_F(ChooserDialog, OpensOnTheTaskFolderWithTheFirstFileNumbered) {
    ListChooserDialog& d = Open();
    EXPECT_EQ(d.windowTitle(), "Dateien auswählen");
    ASSERT_EQ(controls().folderTree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = controls().folderTree->topLevelItem(0);
    EXPECT_EQ(root->text(0), "Kopfrechnen");
    EXPECT_TRUE(root->isExpanded());
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->child(0)->text(0), "Lernkartei");
    EXPECT_EQ(root->child(1)->text(0), "Übungen");
    // without remembered files the first folder after the root is chosen, and its first file
    EXPECT_EQ(controls().folderTree->currentItem(), root->child(0));
    EXPECT_EQ(d.LastShownFile(), FolderPath("Aufgaben/Kopfrechnen/Lernkartei/Max.txt"));
    EXPECT_EQ(d.ListEntries(), std::vector<Bytes>{"1   7+8=15"});

    ClickRoot();
    ASSERT_EQ(controls().fileList->topLevelItemCount(), 3);
    EXPECT_EQ(controls().fileList->topLevelItem(0)->text(0), "Einmaleins.txt");
    // the first file is shown: 90 lines, numbered 01 to 90 in three columns
    EXPECT_EQ(d.LastShownFile(), FolderPath("Aufgaben/Kopfrechnen/Einmaleins.txt"));
    ASSERT_EQ(d.ListEntries().size(), 90u);
    EXPECT_EQ(d.ListEntries().front(), "01   1+1=2");
    EXPECT_EQ(d.ListColumns(), 3);
    EXPECT_EQ(controls().lineList->count(), 90);
    EXPECT_EQ(controls().lineList->currentRow(), 0);
    EXPECT_EQ(controls().recentBox->currentText(), "Kopfrechnen\\Einmaleins.txt");
    EXPECT_FALSE(controls().multiplicationHelpPanel->isVisible());
}

TEST_F(ChooserDialog, EnterInTheListAcceptsAndRemembersTheStartLine) {
    ListChooserDialog& d = Open();
    ClickFile("Plus bis 10.txt");
    EXPECT_EQ(d.ListEntries(), (std::vector<Bytes>{"1   3+4=7", "2   5+2=7", "3   6+_3=9", "4   !Tipp", "5   8+1=9"}));
    EXPECT_EQ(d.ListColumns(), 2);
    controls().lineList->setCurrentRow(2);
    Key(controls().lineList, Qt::Key_Return);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    const ListChooserResult r = d.Result();
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(r.startIndex, 2);
    EXPECT_EQ(d.StartLine(), 3);
    ASSERT_EQ(r.lines.size(), 1u);
    EXPECT_EQ(r.lines[0], dir.Folder() + "Aufgaben\\Kopfrechnen\\Plus bis 10.txt");
    EXPECT_TRUE(env.Exists(r.lines[0]));
    EXPECT_EQ(RecentFileLines(), std::vector<Bytes>{"Kopfrechnen\\Plus bis 10.txt=3"});
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(ChooserDialog, EscapeCancelsFromAnyControl) {
    for (int target = 0; target < 3; ++target) {
        ListChooserDialog& d = Open();
        QWidget* targets[3] = {controls().folderTree, controls().fileList, controls().lineList};
        Key(targets[target], Qt::Key_Escape);
        EXPECT_FALSE(d.isVisible()) << target;
        const ListChooserResult r = d.Result();
        EXPECT_FALSE(r.accepted);
        EXPECT_TRUE(r.lines.empty());
        EXPECT_EQ(r.startIndex, 0);
        EXPECT_EQ(d.StartLine(), 0);
    }
    EXPECT_TRUE(RecentFileLines().empty());
}

TEST_F(ChooserDialog, SettingAndCommentLinesAreSteppedOverOnAccepting) {
    ListChooserDialog& d = Open();
    ClickFile("Einstellungen zuerst.txt");
    controls().lineList->setCurrentRow(0);
    controls().okButton->click();
    EXPECT_EQ(d.Result().startIndex, 2);
    EXPECT_EQ(controls().lineList->currentRow(), 2);
}

TEST_F(ChooserDialog, RecentFilesKeepTwelveNewestFirstWithTheirStartLines) {
    std::vector<Bytes> recent;
    for (int i = 1; i <= 12; ++i) {
        const QString name = QString("Alt %1.txt").arg(i, 2, 10, QChar('0'));
        dir.Write("Aufgaben/Kopfrechnen/" + name, NumberedTasks(20));
        recent.push_back("Kopfrechnen\\" + name.toStdString() + "=" + std::to_string(i));
    }
    ASSERT_TRUE(WriteTextFileLines(dir.Path() + "/bgi7/letzte2.txt", recent));

    // the newest entry is opened on its remembered line
    ListChooserDialog& d = Open();
    EXPECT_EQ(controls().recentBox->count(), 12);
    EXPECT_EQ(d.LastShownFile(), FolderPath("Aufgaben/Kopfrechnen/Alt 01.txt"));
    EXPECT_EQ(controls().lineList->currentRow(), 0);

    // choosing an older entry from the box opens it on its remembered line
    controls().recentBox->setCurrentIndex(6);
    Q_EMIT controls().recentBox->activated(6);
    EXPECT_EQ(d.LastShownFile(), FolderPath("Aufgaben/Kopfrechnen/Alt 07.txt"));
    EXPECT_EQ(controls().lineList->currentRow(), 6);
    EXPECT_EQ(controls().recentBox->itemText(0), "Kopfrechnen\\Alt 07.txt");
    controls().lineList->setCurrentRow(14);
    controls().okButton->click();
    std::vector<Bytes> lines = RecentFileLines();
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], "Kopfrechnen\\Alt 07.txt=15");
    EXPECT_EQ(lines[1], "Kopfrechnen\\Alt 01.txt=1");
    EXPECT_EQ(lines[11], "Kopfrechnen\\Alt 12.txt=12");

    // a new file pushes the oldest out
    Open();
    ClickFile("Plus bis 10.txt");
    controls().lineList->setCurrentRow(4);
    controls().okButton->click();
    lines = RecentFileLines();
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], "Kopfrechnen\\Plus bis 10.txt=5");
    EXPECT_EQ(lines[1], "Kopfrechnen\\Alt 07.txt=15");
    EXPECT_EQ(lines[11], "Kopfrechnen\\Alt 11.txt=11");
}

TEST_F(ChooserDialog, AFileChosenByHandOpensOnItsOwnRememberedLine) {
    ASSERT_TRUE(WriteTextFileLines(dir.Path() + "/bgi7/letzte2.txt",
                                   {"Kopfrechnen\\Einmaleins.txt=40", "Kopfrechnen\\Plus bis 10.txt=4"}));
    Open();
    EXPECT_EQ(controls().lineList->currentRow(), 39);
    ClickFile("Plus bis 10.txt");
    EXPECT_EQ(controls().lineList->currentRow(), 3);
    ClickFile("Einstellungen zuerst.txt");  // nothing remembered: the first line
    EXPECT_EQ(controls().lineList->currentRow(), 0);
}

TEST_F(ChooserDialog, VanishedRecentFilesAreDroppedAndReported) {
    ASSERT_TRUE(WriteTextFileLines(dir.Path() + "/bgi7/letzte2.txt",
                                   {"Kopfrechnen\\Weg.txt=3", "Kopfrechnen\\Plus bis 10.txt=2"}));
    ListChooserDialog& d = Open();
    ASSERT_EQ(controls().recentBox->count(), 1);
    EXPECT_EQ(d.LastShownFile(), FolderPath("Aufgaben/Kopfrechnen/Plus bis 10.txt"));
    EXPECT_EQ(controls().lineList->currentRow(), 1);

    QFile::remove(dir.Path() + "/Aufgaben/Kopfrechnen/Plus bis 10.txt");
    Q_EMIT controls().recentBox->activated(0);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Datei nicht gefunden: Datei ")) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].endsWith("Plus bis 10.txt existiert nicht"));
    // accepting the vanished file is refused and the window stays open
    controls().okButton->click();
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(messages.size(), 2);
    EXPECT_EQ(messages.back(), "Radevir: Bitte zuerst eine Datei auswählen!");
    EXPECT_TRUE(d.Result().lines.empty());
}

TEST_F(ChooserDialog, LeftAndRightMoveTheFocusBetweenTreeFilesAndLines) {
    ListChooserDialog& d = Open();
    QApplication::setActiveWindow(&d);
    controls().lineList->setFocus();
    QApplication::processEvents();
    const int row = controls().lineList->currentRow();
    QWidget* tree = controls().folderTree;
    QWidget* files = controls().fileList;
    QWidget* lines = controls().lineList;
    const struct {
        QWidget* from;
        int key;
        QWidget* to;
    } table[] = {{lines, Qt::Key_Left, files}, {files, Qt::Key_Left, tree},
                 {tree, Qt::Key_Left, tree},   {tree, Qt::Key_Right, files},
                 {files, Qt::Key_Right, lines}, {lines, Qt::Key_Right, lines}};
    for (const auto& step : table) {
        step.from->setFocus();
        Key(step.from, step.key);
        EXPECT_EQ(QApplication::focusWidget(), step.to) << step.from->objectName().toStdString();
    }
    EXPECT_EQ(controls().lineList->currentRow(), row);  // the keys never move within the list
    EXPECT_TRUE(controls().folderTree->topLevelItem(0)->isExpanded());
}

TEST_F(ChooserDialog, EnterInTheFileListAcceptsFromTheFirstLine) {
    ASSERT_TRUE(WriteTextFileLines(dir.Path() + "/bgi7/letzte2.txt", {"Kopfrechnen\\Plus bis 10.txt=4"}));
    ListChooserDialog& d = Open();
    EXPECT_EQ(controls().lineList->currentRow(), 3);
    Key(controls().fileList, Qt::Key_Enter);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Result().startIndex, 0);
}

TEST_F(ChooserDialog, WrittenArithmeticShowsTheHelpSwitchesAndHandsThemBack) {
    ListChooserRequest r;
    r.folder = "Aufgaben\\";
    r.lastName = "Schriftliches Rechnen\\";
    r.recentFile = "bgi7\\letzte6.txt";
    r.showMultiplicationHelp = true;
    r.showCarry = true;
    ListChooserDialog& d = Open(r);
    EXPECT_TRUE(controls().multiplicationHelpPanel->isVisible());
    EXPECT_EQ(controls().multiplicationHelpPanel->title(),
              "Hilfen bei der schriftlicher Multiplikation");
    EXPECT_FALSE(controls().markDigitsBox->isChecked());
    EXPECT_TRUE(controls().showCarryBox->isChecked());
    EXPECT_FALSE(controls().showMultiplicationValueBox->isChecked());
    // the root holds no files: the first folder below it is opened
    EXPECT_EQ(controls().folderTree->currentItem()->text(0), "Addition");
    EXPECT_EQ(d.LastShownFile(), FolderPath("Aufgaben/Schriftliches Rechnen/Addition/Zwei Zahlen.txt"));
    controls().showMultiplicationValueBox->setChecked(true);
    controls().markDigitsBox->setChecked(true);
    Key(controls().lineList, Qt::Key_Return);
    const ListChooserResult result = d.Result();
    EXPECT_TRUE(result.accepted);
    EXPECT_TRUE(result.markDigits && result.showCarry && result.showMultiplicationValue);
    EXPECT_EQ(result.lines[0], dir.Folder() + "Aufgaben\\Schriftliches Rechnen\\Addition\\Zwei Zahlen.txt");

    // a mental-arithmetic folder shows the switches only in a multiplication folder
    dir.Write("Aufgaben/Kopfrechnen/Multiplikation/Reihen.txt", Lines({"3*4=12"}));
    ListChooserDialog& k = Open();
    EXPECT_FALSE(controls().multiplicationHelpPanel->isVisible());
    for (int i = 0; i < controls().folderTree->topLevelItem(0)->childCount(); ++i)
        if (controls().folderTree->topLevelItem(0)->child(i)->text(0) == "Multiplikation")
            controls().folderTree->setCurrentItem(controls().folderTree->topLevelItem(0)->child(i));
    EXPECT_TRUE(controls().multiplicationHelpPanel->isVisible());
    EXPECT_EQ(k.ListEntries(), std::vector<Bytes>{"1   3*4=12"});
}

TEST_F(ChooserDialog, EditorModeAddsTheSecondRootAndHandsFilesToTheEditor) {
    ListChooserRequest r;
    r.folder = "Aufgaben\\";
    r.lastName = "Schriftliches Rechnen\\";
    r.editorFolder = "Aufgaben\\Kopfrechnen\\";
    r.recentFile = "bgi7\\letzte0.txt";
    w = std::make_unique<ListChooserDialog>(env, nullptr);
    EXPECT_FALSE(controls().editorButton->isEnabled());  // no editor yet
    std::vector<Bytes> edited;
    w->SetEditorCallback([&](const Bytes& file) {
        edited.push_back(file);
        // the editor changes the file; the chooser shows it again afterwards
        dir.Write("Aufgaben/Schriftliches Rechnen/Addition/Zwei Zahlen.txt", Lines({"345+1278=", "12+99="}));
    });
    w->Prepare(r);
    w->show();
    QApplication::processEvents();
    EXPECT_EQ(w->windowTitle(), "Dateien editieren");
    EXPECT_TRUE(controls().editorButton->isDefault());
    EXPECT_FALSE(controls().okButton->isDefault());
    ASSERT_EQ(controls().folderTree->topLevelItemCount(), 2);
    EXPECT_EQ(controls().folderTree->topLevelItem(1)->text(0), "Kopfrechnen");
    EXPECT_EQ(controls().folderTree->palette().color(QPalette::Base), QColor(166, 202, 240));
    controls().editorButton->click();
    ASSERT_EQ(edited.size(), 1u);
    EXPECT_EQ(edited[0], dir.Folder() + "Aufgaben\\Schriftliches Rechnen\\Addition\\Zwei Zahlen.txt");
    EXPECT_EQ(w->ListEntries().size(), 2u);
    EXPECT_TRUE(w->isVisible());
}

TEST_F(ChooserDialog, AnEmptyFileCancelsAndAFolderWithoutFilesIsNotTaken) {
    dir.Write("Aufgaben/Kopfrechnen/Aaa leer.txt", "");
    ListChooserDialog& d = Open();
    ClickRoot();
    EXPECT_EQ(d.LastShownFile(), FolderPath("Aufgaben/Kopfrechnen/Aaa leer.txt"));
    EXPECT_EQ(controls().lineList->count(), 0);
    // Enter on a tree node only takes the choice when a file is chosen and has lines
    controls().fileList->clearSelection();
    Key(controls().folderTree, Qt::Key_Return);
    EXPECT_TRUE(d.isVisible());
    controls().okButton->click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Rejected);
}

TEST_F(ChooserDialog, CopyingPutsTitleAndEntriesOnTheClipboard) {
    ListChooserDialog& d = Open();
    ClickFile("Plus bis 10.txt");
    d.CopyList();
    EXPECT_EQ(QApplication::clipboard()->text(),
              "Kopfrechnen\\Plus bis 10.txt\n1   3+4=7\n2   5+2=7\n3   6+_3=9\n4   !Tipp\n5   8+1=9\n");
}

TEST_F(ChooserDialog, PrintingIntoAFolderWritesAPdf) {
    test::ScratchDir out;
    ListChooserDialog& d = Open();
    ClickRoot();
    d.SetPrintToFolder(out.Path() + "/druck");
    ASSERT_TRUE(d.PrintList());
    EXPECT_EQ(d.LastPrintFile(), out.Path() + "/druck/Liste Einmaleins.pdf");
    EXPECT_TRUE(out.Read("druck/Liste Einmaleins.pdf").startsWith("%PDF"));
    ASSERT_TRUE(d.PrintList());  // a second print does not overwrite the first
    EXPECT_EQ(d.LastPrintFile(), out.Path() + "/druck/Liste Einmaleins (2).pdf");
}

TEST_F(ChooserDialog, ANameWithAnEqualsSignIsRememberedInQuotes) {
    dir.Write("Aufgaben/Kopfrechnen/3+4=7 üben.txt", NumberedTasks(8));
    Open();
    ClickFile("3+4=7 üben.txt");
    controls().lineList->setCurrentRow(5);
    controls().okButton->click();
    EXPECT_EQ(RecentFileLines(), std::vector<Bytes>{"\"Kopfrechnen\\3+4=7 \xFC" "ben.txt\"=6"});
    EXPECT_EQ(w->Result().lines[0], dir.Folder() + "Aufgaben\\Kopfrechnen\\3+4=7 \xFC" "ben.txt");
    Open();
    EXPECT_EQ(controls().recentBox->itemText(0), "Kopfrechnen\\3+4=7 üben.txt");
    EXPECT_EQ(controls().lineList->currentRow(), 5);
}

TEST_F(ChooserDialog, ConvertingRewritesTheSelectedFilesFromTheDosCodePage) {
    dir.Write("Aufgaben/Kopfrechnen/Alt.txt", "!Gr\x81\xE1" "e\r\n1+1=2\r\n");
    ListChooserDialog& d = Open();
    ClickFile("Alt.txt");
    d.ConvertSelectedToAnsi();
    EXPECT_EQ(dir.Read("Aufgaben/Kopfrechnen/Alt.txt"), QByteArray("!Gr\xFC\xDF" "e\r\n1+1=2\r\n"));
    EXPECT_EQ(d.ListEntries().front(), "1   !Gr\xFC\xDF" "e");
}

// A file clicked by mistake (a picture, a program) and a huge list neither freeze the window nor
// fill the memory: the one lists nothing, the other its first lines.
TEST_F(ChooserDialog, BinaryFilesListNothingAndHugeListsAreCut) {
    QByteArray binary("\x89PNG\r\n\x1a\n", 8);
    binary += QByteArray(64 * 1024, '\0') + "3+4=7\r\n";
    dir.Write("Aufgaben/Kopfrechnen/Bild.txt", binary);
    dir.Write("Aufgaben/Kopfrechnen/Riesig.txt", NumberedTasks(100000));
    ListChooserDialog& d = Open();
    ClickFile("Riesig.txt");
    ASSERT_EQ(d.ListEntries().size(), kMaxListedLines);
    EXPECT_EQ(d.ListEntries().back(), "1000   1000+1=1001");
    EXPECT_EQ(d.ListColumns(), 4);
    ClickFile("Bild.txt");
    EXPECT_TRUE(d.ListEntries().empty());
    EXPECT_EQ(controls().lineList->count(), 0);
    controls().okButton->click();  // nothing to start from: the choice is cancelled
    EXPECT_EQ(d.result(), QDialog::Rejected);
}

// The remembered files and the fonts are the chooser's memory: losing them is reported.
TEST_F(ChooserDialog, FailedSavesOfTheMemoryFilesAreReported) {
    QDir().mkpath(dir.Path() + "/bgi7/letzte2.txt");  // a folder in the way: no file can go there
    QDir().mkpath(dir.Path() + "/bgi7/auswahlfonts.txt");
    ListChooserDialog& d = Open();
    ClickFile("Plus bis 10.txt");
    controls().okButton->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);  // the choice itself still counts
    EXPECT_EQ(messages, QStringList({"Radevir: Die >zuletzt benutzten Dateien< konnten nicht gespeichert werden!",
                                     "Radevir: Die >Schriftarten< konnten nicht gespeichert werden!"}));
}

// A list copied from a Windows stick keeps its Windows-1252 name ("\xFC" "ber.txt"), which is
// no UTF-8: it is listed, shown and handed back under that name.
TEST_F(ChooserDialog, ListsWithWindows1252NamesAreListedAndChosen) {
    const QByteArray folder = QFile::encodeName(dir.Path() + "/Aufgaben/Kopfrechnen");
    QFile raw;
    const int fd = ::open(folder + "/\xFC" "ber.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(raw.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
    raw.write("6+6=12\r\n7+7=14\r\n");
    raw.close();
    ListChooserDialog& d = Open();
    ClickFile("über.txt");
    EXPECT_EQ(d.ListEntries(), (std::vector<Bytes>{"1   6+6=12", "2   7+7=14"}));
    EXPECT_EQ(controls().recentBox->currentText(), "Kopfrechnen\\über.txt");
    controls().lineList->setCurrentRow(1);
    controls().okButton->click();
    ASSERT_EQ(d.result(), QDialog::Accepted);
    ASSERT_EQ(d.Result().lines.size(), 1u);
    EXPECT_EQ(d.Result().lines[0], dir.Folder() + "Aufgaben\\Kopfrechnen\\\xFC" "ber.txt");
    EXPECT_EQ(RecentFileLines(), std::vector<Bytes>{"Kopfrechnen\\\xFC" "ber.txt=2"});
    // the next opening finds it again through the remembered name
    Open();
    EXPECT_EQ(w->LastShownFile(), FolderPath("Aufgaben/Kopfrechnen/über.txt"));
    EXPECT_EQ(controls().lineList->currentRow(), 1);
    ::unlink(folder + "/\xFC" "ber.txt");  // invisible to the scratch folder's own clean-up
}

TEST(ListPrint, RowsOfFourAndAContinuationPage) {
    test::ScratchDir out;
    QFont font("Arial");
    font.setPixelSize(16);
    std::vector<Bytes> entries;
    for (int i = 1; i <= 250; ++i) entries.push_back("Zeile " + std::to_string(i));
    QPdfWriter longList(out.Path() + "/lang.pdf");
    longList.setPageSize(QPageSize(QPageSize::A4));
    EXPECT_EQ(PrintListEntries(longList, font, "Kopfrechnen\\Lang.txt", entries), 2);
    QPdfWriter shortList(out.Path() + "/kurz.pdf");
    shortList.setPageSize(QPageSize(QPageSize::A4));
    entries.resize(9);
    EXPECT_EQ(PrintListEntries(shortList, font, "Kopfrechnen\\Kurz.txt", entries), 1);
}

}  // namespace
