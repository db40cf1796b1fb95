#include "chooser/card_box_save_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>
#include <gtest/gtest.h>

#include "support/qt_translations.h"
#include "tests/test_support.h"

using namespace radevir;

namespace {

// Keys as a script sends them: to the focused widget of the open dialog.
QWidget* DialogInputTarget() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return nullptr;
    QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && focus->window() == modal) return focus;
    if (QWidget* pending = modal->focusWidget()) return pending;
    return modal;
}

void SendKey(int key, const QString& text) {
    QWidget* target = DialogInputTarget();
    if (target == nullptr) return;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    if (QApplication::activeModalWidget() != nullptr) QApplication::sendEvent(target, &release);
}

CardBoxSaveRequest Request(const QString& folder) {
    return {folder, QStringLiteral("Lernkartei speichern"),
            QStringLiteral("Textdateien (*.txt);;Alle Dateien (*)"), QStringLiteral("txt")};
}

}  // namespace

// A name typed straight away lands in the file name field, gets the default extension, and Enter
// takes it even when that file exists (it is added to, not overwritten); Esc cancels.
TEST(CardBoxSaveDialog, TypedNameAndEnterOrEsc) {
    test::ScratchDir dir;
    dir.Write("Lernkartei/Alt.txt", "1+1=_2\r\n");
    const QString folder = dir.Path() + "/Lernkartei";
    const struct {
        QString typed;
        bool cancel;
        std::optional<QString> chosen;
    } cases[] = {
        {"Karte", false, folder + "/Karte.txt"},
        {"Alt.txt", false, folder + "/Alt.txt"},
        {"Karte", true, std::nullopt},
    };
    for (const auto& c : cases) {
        CardBoxSaveDialog dialog(nullptr);
        QString title;
        QTimer::singleShot(50, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) title = modal->windowTitle();
            for (QChar ch : c.typed) SendKey(ch.unicode() == '.' ? Qt::Key_Period : Qt::Key_A, ch);
            QApplication::processEvents();
            SendKey(c.cancel ? Qt::Key_Escape : Qt::Key_Return, c.cancel ? QString(QChar(27)) : QStringLiteral("\r"));
        });
        // a dialog that did not react must not hang the test
        QTimer::singleShot(5000, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        });
        const std::optional<QString> chosen = dialog.AskSaveFileName(Request(folder));
        EXPECT_EQ(title, "Lernkartei speichern");
        EXPECT_EQ(chosen, c.chosen) << c.typed.toStdString() << (chosen ? chosen->toStdString() : "none");
    }
}

// Qt's own texts in the program's dialogs read German, as the program installs them on its
// application: the card box dialog's file columns and a question's buttons (they were English
// beside our own "Suchen in" and "Dateiname").
TEST(CardBoxSaveDialog, QtsOwnTextsReadGerman) {
    ASSERT_EQ(InstallGermanQtTexts(*qApp), QStringList())
        << "Qt's German catalogue (qt6-translations-l10n)";
    // the other tests of this run keep Qt's untranslated texts
    struct RemoveTranslators {
        ~RemoveTranslators() {
            qDeleteAll(qApp->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly));
        }
    } removeAfterwards;

    test::ScratchDir dir;
    dir.Write("Lernkartei/Alt.txt", "1+1=_2\r\n");
    QStringList columns;
    QTimer::singleShot(50, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return;
        if (auto* view = modal->findChild<QTreeView*>(QStringLiteral("treeView"))) {
            for (int i = 0; i < view->model()->columnCount(view->rootIndex()); ++i)
                columns << view->model()->headerData(i, Qt::Horizontal).toString();
        }
        modal->close();
    });
    CardBoxSaveDialog(nullptr).AskSaveFileName(Request(dir.Path() + "/Lernkartei"));
    EXPECT_EQ(columns, QStringList({"Name", "Größe", "Typ", "Änderungsdatum"}));

    QMessageBox question(QMessageBox::Question, "Radevir", "Änderungen speichern?",
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(question.button(QMessageBox::Yes)->text(), "&Ja");
    EXPECT_EQ(question.button(QMessageBox::No)->text(), "&Nein");
    EXPECT_EQ(question.button(QMessageBox::Cancel)->text(), "Abbrechen");
}
