// The controls of the list chooser and how they are laid out: recent box, multiplication help
// switches and OK on top; folder tree, file list and line list side by side; Cancel, Editor and
// two hidden buttons below. What the controls do is wired up by the dialog.
#pragma once

#include "chooser/recent_box.h"

class QCheckBox;
class QDialog;
class QGroupBox;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace radevir {

struct ListChooserControls {
    RecentBox* recentBox = nullptr;
    QGroupBox* multiplicationHelpPanel = nullptr;
    QCheckBox* markDigitsBox = nullptr;               // "aktuelle Stellen hervorheben"
    QCheckBox* showCarryBox = nullptr;                // "Übertrag anzeigen"
    QCheckBox* showMultiplicationValueBox = nullptr;  // "Multiplikationswert anzeigen"
    QPushButton* okButton = nullptr;
    QTreeWidget* folderTree = nullptr;
    QTreeWidget* fileList = nullptr;
    QListWidget* lineList = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* editorButton = nullptr;
    QPushButton* convertToAnsiButton = nullptr;   // hidden: "ascii >> ansi"
    QPushButton* externalAcceptButton = nullptr;  // hidden: "extern", accepts like OK
};

// Creates the controls inside `dialog` (which owns them) and lays them out.
ListChooserControls BuildListChooserControls(QDialog& dialog);

}  // namespace radevir
