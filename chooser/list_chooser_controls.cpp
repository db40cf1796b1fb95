#include "chooser/list_chooser_controls.h"

#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "chooser/chooser_style.h"
#include "chooser/file_list.h"
#include "chooser/item_delegates.h"
#include "chooser/recent_box.h"

namespace radevir {
namespace {

constexpr int kDialogWidth_px = 1140;
constexpr int kDialogHeight_px = 680;
constexpr int kRecentBoxMinimumWidth_px = 360;
constexpr int kOkButtonMinimumWidth_px = 110;

QGroupBox* BuildMultiplicationHelpPanel(QWidget* parent, ListChooserControls& controls) {
    auto* panel =
        new QGroupBox(QStringLiteral("Hilfen bei der schriftlicher Multiplikation"), parent);
    auto* grid = new QGridLayout(panel);
    controls.markDigitsBox = new QCheckBox(QStringLiteral("aktuelle Stellen hervorheben"), panel);
    controls.showCarryBox = new QCheckBox(QStringLiteral("Übertrag anzeigen"), panel);
    controls.showMultiplicationValueBox =
        new QCheckBox(QStringLiteral("Multiplikationswert anzeigen"), panel);
    grid->addWidget(controls.markDigitsBox, 0, 0);
    grid->addWidget(controls.showCarryBox, 0, 1);
    grid->addWidget(controls.showMultiplicationValueBox, 1, 0);
    panel->setVisible(false);
    return panel;
}

QHBoxLayout* BuildTopPanel(QDialog& dialog, ListChooserControls& controls) {
    auto* topPanel = new QHBoxLayout();
    controls.recentBox = new RecentBox(&dialog);
    controls.recentBox->setObjectName(QStringLiteral("CO_zuletzt"));
    controls.recentBox->setMinimumWidth(kRecentBoxMinimumWidth_px);
    controls.recentBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    topPanel->addWidget(controls.recentBox, 1, Qt::AlignTop);
    controls.multiplicationHelpPanel = BuildMultiplicationHelpPanel(&dialog, controls);
    topPanel->addWidget(controls.multiplicationHelpPanel);
    controls.okButton = new QPushButton(QStringLiteral("OK"), &dialog);
    controls.okButton->setMinimumWidth(kOkButtonMinimumWidth_px);
    topPanel->addWidget(controls.okButton, 0, Qt::AlignTop);
    return topPanel;
}

QTreeWidget* BuildFolderTree(QWidget* parent) {
    auto* tree = new QTreeWidget(parent);
    tree->setObjectName(QStringLiteral("Tree_files"));
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    return tree;
}

QTreeWidget* BuildFileList(QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(QStringLiteral("Shell1"));
    list->setColumnCount(kFileListColumns);
    list->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Größe"), QStringLiteral("Typ"),
                           QStringLiteral("Änderungsdatum")});
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSortingEnabled(true);
    list->sortByColumn(0, Qt::AscendingOrder);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < kFileListColumns; ++column)
        list->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    return list;
}

QListWidget* BuildLineList(QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QStringLiteral("LB_liste"));
    list->setViewMode(QListView::ListMode);
    list->setFlow(QListView::TopToBottom);  // numbered down the columns
    list->setWrapping(true);
    list->setResizeMode(QListView::Adjust);
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setItemDelegate(new LineListDelegate(list));
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, kListGrey);
    list->setPalette(palette);
    return list;
}

QSplitter* BuildListPanes(QDialog& dialog, ListChooserControls& controls) {
    auto* splitter = new QSplitter(Qt::Horizontal, &dialog);
    controls.folderTree = BuildFolderTree(splitter);
    controls.fileList = BuildFileList(splitter);
    controls.lineList = BuildLineList(splitter);
    splitter->addWidget(controls.folderTree);
    splitter->addWidget(controls.fileList);
    splitter->addWidget(controls.lineList);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 4);
    splitter->setStretchFactor(2, 4);
    splitter->setSizes({200, 460, 460});
    return splitter;
}

QHBoxLayout* BuildBottomPanel(QDialog& dialog, ListChooserControls& controls) {
    controls.cancelButton = new QPushButton(QStringLiteral("Abbrechen"), &dialog);
    controls.editorButton = new QPushButton(QStringLiteral("Editor"), &dialog);
    controls.convertToAnsiButton = new QPushButton(QStringLiteral("ascii >> ansi"), &dialog);
    controls.externalAcceptButton = new QPushButton(QStringLiteral("extern"), &dialog);
    controls.convertToAnsiButton->setVisible(false);
    controls.externalAcceptButton->setVisible(false);
    controls.editorButton->setEnabled(false);  // until an editor is connected
    auto* bottomPanel = new QHBoxLayout();
    bottomPanel->addWidget(controls.cancelButton);
    bottomPanel->addStretch(1);
    bottomPanel->addWidget(controls.convertToAnsiButton);
    bottomPanel->addWidget(controls.externalAcceptButton);
    bottomPanel->addWidget(controls.editorButton);
    return bottomPanel;
}

}  // namespace

ListChooserControls BuildListChooserControls(QDialog& dialog) {
    dialog.setWindowTitle(QStringLiteral("Liste und Startwort auswählen"));
    dialog.setModal(true);
    dialog.resize(kDialogWidth_px, kDialogHeight_px);

    ListChooserControls controls;
    auto* outer = new QVBoxLayout(&dialog);
    outer->addLayout(BuildTopPanel(dialog, controls));
    outer->addWidget(BuildListPanes(dialog, controls), 1);
    outer->addLayout(BuildBottomPanel(dialog, controls));
    // Enter belongs to the lists (it accepts from them), never to a focused button
    for (QPushButton* button : {controls.okButton, controls.cancelButton, controls.editorButton,
                                controls.convertToAnsiButton, controls.externalAcceptButton})
        button->setAutoDefault(false);
    return controls;
}

}  // namespace radevir
