#include "chooser/card_box_save_dialog.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

namespace radevir {

std::optional<QString> CardBoxSaveDialog::AskSaveFileName(const CardBoxSaveRequest& request) {
    QFileDialog dialog(owner_, request.title, request.folder);
    dialog.setObjectName(QStringLiteral("CardBoxSaveDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // an existing card box is added to, so there is nothing to warn about
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(request.nameFilters.split(QStringLiteral(";;")));
    dialog.setDefaultSuffix(request.defaultSuffix);
    // the program speaks German, whatever language the desktop has
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen in:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Dateiname:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Speichern"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
    if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        QTimer::singleShot(0, name, [name] { name->setFocus(Qt::OtherFocusReason); });
    }
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return files.front();
}

}  // namespace radevir
