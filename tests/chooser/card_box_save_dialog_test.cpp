#include "chooser/card_box_save_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

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
