#include "chooser/list_chooser_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <algorithm>

#include "chooser/chooser_style.h"
#include "support/native_files.h"
#include "chooser/file_list.h"
#include "chooser/folder_tree.h"
#include "chooser/list_entries.h"
#include "chooser/list_print.h"
#include "film/frame_animation.h"
#include "film/frame_bitmap.h"
#include "printing/text_printer.h"
#include "chooser/recent_box.h"
#include "chooser/recent_files.h"
#include "console/key_input.h"
#include "support/file_helpers.h"
#include "support/program_environment.h"
#include "support/text_file.h"
#include "support/text_helpers.h"

namespace radevir {
namespace {

constexpr int kLineListFontPixelSize = 16;
constexpr int kMinimumColumnWidth_px = 60;

// The folder itself, or the folder a file is in: where the chooser opens for `path`.
QString FolderToBrowse(const QString& path) {
    if (NativeIsFolder(path)) return QDir::cleanPath(path);
    return QDir::cleanPath(QFileInfo(path).absolutePath());
}

Bytes ExtensionOf(const QString& file) {
    const QString suffix = QFileInfo(file).suffix();
    return suffix.isEmpty() ? Bytes() : "." + ToCp1252(suffix);
}

QString PathOfItem(const QTreeWidgetItem* item) {
    return item->data(0, kPathRole).toString();
}

// The lines of a list file, read no further than the list shows. False when it cannot be read;
// a file that is not text gives no lines.
bool ReadListLines(const QString& path, std::vector<Bytes>& lines) {
    lines.clear();
    QFile file;
    if (!OpenNativeFile(file, path)) return false;
    const QByteArray head = file.read(kMaxListBytes);
    if (file.error() != QFileDevice::NoError) return false;
    const bool whole = file.atEnd();
    file.close();
    const std::string_view headBytes(head.constData(), static_cast<size_t>(head.size()));
    if (!LooksLikeText(headBytes)) return true;
    if (!whole) {
        lines = ListLinesOfHead(headBytes);
        return true;
    }
    // a whole list goes through the program's one text reader, as every other text file does;
    // a name only the disk's bytes can spell is read from the bytes already there
    if (!QFile::exists(path))
        lines = SplitTextLines(headBytes);
    else if (!ReadTextFileLines(path, lines))
        return false;
    BoundListLines(lines);
    return true;
}

// Messages for memory files that could not be written.
const QString kRecentNotSaved =
    QStringLiteral("Die >zuletzt benutzten Dateien< konnten nicht gespeichert werden!");
const QString kFontsNotSaved =
    QStringLiteral("Die >Schriftarten< konnten nicht gespeichert werden!");

}  // namespace

ListChooserDialog::ListChooserDialog(const ProgramEnvironment& env, const SettingsStore* settings,
                                     QWidget* parent)
    : QDialog(parent), env_(env), settings_(settings), film_(std::make_unique<FrameAnimation>(env)) {
    showMessage = [this](const QString& caption, const QString& text) {
        QMessageBox::information(this, caption, text);
    };
    fonts_[kFolderTreeFont].font = QApplication::font();
    fonts_[kFileListFont].font = QApplication::font();
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(kLineListFontPixelSize);
    fonts_[kLineListFont].font = arial;
    LoadChooserFonts(env_, fonts_);
    controls_ = BuildListChooserControls(*this);
    BuildPopupMenus();
    ConnectButtons();
    ConnectFolderTree();
    ConnectFileList();
    InstallEventFilters();
    ApplyFonts();
}

ListChooserDialog::~ListChooserDialog() = default;

// ---------------------------------------------------------------------------------------------
// Wiring the controls

void ListChooserDialog::BuildPopupMenus() {
    folderTreeMenu_ = new QMenu(this);
    folderTreeMenu_->addAction(QStringLiteral("Schriftart"), this,
                               [this] { ChooseFont(kFolderTreeFont); });
    fileListMenu_ = new QMenu(this);
    fileListMenu_->addAction(QStringLiteral("Schriftart"), this,
                             [this] { ChooseFont(kFileListFont); });
    lineListMenu_ = new QMenu(this);
    lineListMenu_->addAction(QStringLiteral("Schriftart"), this,
                             [this] { ChooseFont(kLineListFont); });
    lineListMenu_->addAction(QStringLiteral("Drucken"), this, [this] { PrintList(); });
    lineListMenu_->addAction(QStringLiteral("Kopieren"), this, [this] { CopyList(); });
    const auto popUpOn = [this](QAbstractItemView* view, QMenu* menu) {
        connect(view, &QWidget::customContextMenuRequested, this,
                [view, menu](const QPoint& at) { menu->popup(view->viewport()->mapToGlobal(at)); });
    };
    popUpOn(controls_.folderTree, folderTreeMenu_);
    popUpOn(controls_.fileList, fileListMenu_);
    popUpOn(controls_.lineList, lineListMenu_);
}

void ListChooserDialog::ConnectButtons() {
    connect(controls_.okButton, &QPushButton::clicked, this, &ListChooserDialog::AcceptChoice);
    connect(controls_.externalAcceptButton, &QPushButton::clicked, this,
            &ListChooserDialog::AcceptChoice);
    connect(controls_.cancelButton, &QPushButton::clicked, this, &ListChooserDialog::CancelChoice);
    connect(controls_.editorButton, &QPushButton::clicked, this, &ListChooserDialog::OpenEditor);
    connect(controls_.convertToAnsiButton, &QPushButton::clicked, this,
            &ListChooserDialog::ConvertSelectedToAnsi);
    connect(controls_.recentBox, &QComboBox::activated, this, &ListChooserDialog::RecentChosen);
    connect(controls_.lineList, &QListWidget::itemDoubleClicked, this, [this] { AcceptChoice(); });
}

void ListChooserDialog::ConnectFolderTree() {
    QTreeWidget* tree = controls_.folderTree;
    connect(tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem* previous) {
                // the chosen folder shows open even while collapsed
                if (previous != nullptr && !previous->isExpanded())
                    previous->setIcon(0, style()->standardIcon(QStyle::SP_DirClosedIcon));
                if (current != nullptr)
                    current->setIcon(0, style()->standardIcon(QStyle::SP_DirOpenIcon));
                FolderChosen();
            });
    connect(tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        item->setIcon(0, style()->standardIcon(QStyle::SP_DirOpenIcon));
    });
    connect(tree, &QTreeWidget::itemCollapsed, this, [this, tree](QTreeWidgetItem* item) {
        if (item != tree->currentItem())
            item->setIcon(0, style()->standardIcon(QStyle::SP_DirClosedIcon));
    });
    connect(tree, &QTreeWidget::itemDoubleClicked, this, [this] { TreeActivated(); });
}

void ListChooserDialog::ConnectFileList() {
    connect(controls_.fileList, &QTreeWidget::itemSelectionChanged, this,
            &ListChooserDialog::FileChosen);
    connect(controls_.fileList, &QTreeWidget::itemDoubleClicked, this,
            &ListChooserDialog::FileListActivated);
}

void ListChooserDialog::InstallEventFilters() {
    const ListChooserControls& c = controls_;
    for (QWidget* w : std::initializer_list<QWidget*>{
             c.folderTree, c.fileList, c.lineList, c.recentBox, c.markDigitsBox, c.showCarryBox,
             c.showMultiplicationValueBox, c.okButton, c.cancelButton, c.editorButton})
        w->installEventFilter(this);
    // double-clicks beside the rows, and the line list's width for its columns
    c.fileList->viewport()->installEventFilter(this);
    c.lineList->viewport()->installEventFilter(this);
}

void ListChooserDialog::FileListActivated(QTreeWidgetItem* item) {
    if (EditorMode()) {
        OpenEditor();
    } else if (ExtensionAccepted(extensions_, ExtensionOf(PathOfItem(item)))) {
        SetListSelection(0);
        AcceptChoice();
    }
}

void ListChooserDialog::SetEditorCallback(std::function<void(const Bytes& file)> openEditor) {
    openEditor_ = std::move(openEditor);
    controls_.editorButton->setEnabled(static_cast<bool>(openEditor_));
}

void ListChooserDialog::ApplyFonts() {
    QWidget* fontedControls[kChooserFontCount] = {controls_.folderTree, controls_.fileList,
                                                  controls_.lineList};
    for (size_t i = 0; i < kChooserFontCount; ++i) {
        fontedControls[i]->setFont(fonts_[i].font);
        QPalette palette = fontedControls[i]->palette();
        palette.setColor(QPalette::Text, fonts_[i].color);
        fontedControls[i]->setPalette(palette);
    }
    UpdateItemHeight();
}

void ListChooserDialog::UpdateItemHeight() {
    UpdateGrid();
}

void ListChooserDialog::UpdateGrid() {
    // a row is as high as the text "Äg" in the list's font, plus one pixel
    QListWidget* list = controls_.lineList;
    const int rowHeight = QFontMetrics(list->font()).height() + 1;
    const int width =
        std::max(kMinimumColumnWidth_px, list->viewport()->width() / std::max(1, columns_));
    list->setGridSize(QSize(width, rowHeight));
}

// ---------------------------------------------------------------------------------------------
// Request and result

void ListChooserDialog::Prepare(const ListChooserRequest& request) {
    baseFolder_ = request.folder;
    startFolder_ = request.lastName;
    editorFolder_ = request.editorFolder;
    if (!request.recentFile.empty()) recentFile_ = request.recentFile;
    recentList_ = LoadListFile(env_, recentFile_);
    selectedFiles_.clear();
    startIndex_ = -1;
    startLine_ = 0;
    requestShowsHelp_ = request.showMultiplicationHelp;
    controls_.multiplicationHelpPanel->setVisible(requestShowsHelp_);
    controls_.markDigitsBox->setChecked(request.markDigits);
    controls_.showCarryBox->setChecked(request.showCarry);
    controls_.showMultiplicationValueBox->setChecked(request.showMultiplicationValue);
    setResult(QDialog::Rejected);
}

ListChooserResult ListChooserDialog::Result() const {
    ListChooserResult r;
    r.accepted = result() == QDialog::Accepted;
    if (r.accepted) {
        for (const QString& f : selectedFiles_) r.lines.push_back(DataPathOf(f));
        r.startIndex = startIndex_;
    }
    r.markDigits = controls_.markDigitsBox->isChecked();
    r.showCarry = controls_.showCarryBox->isChecked();
    r.showMultiplicationValue = controls_.showMultiplicationValueBox->isChecked();
    return r;
}

ListChooserResult ListChooserDialog::Choose(const ListChooserRequest& request) {
    Prepare(request);
    exec();
    return Result();
}

// ---------------------------------------------------------------------------------------------
// Paths

QString ListChooserDialog::RootPath() const {
    return QDir::cleanPath(env_.NativePath(baseFolder_ + startFolder_));
}

QString ListChooserDialog::NativeFile(const Bytes& recentName) const {
    return QDir::cleanPath(env_.NativePath(baseFolder_ + recentName));
}

Bytes ListChooserDialog::RecentNameOf(const QString& nativeFile) const {
    const QString base = QDir::cleanPath(env_.NativePath(baseFolder_));
    QString relative = QDir(base).relativeFilePath(nativeFile);
    relative.replace('/', '\\');
    return ToCp1252(relative);
}

Bytes ListChooserDialog::DataPathOf(const QString& nativeFile) const {
    QString folder = FromCp1252(env_.ProgramFolder());
    folder.replace('\\', '/');
    if (!folder.endsWith('/')) folder += '/';
    if (nativeFile.startsWith(folder)) {
        QString relative = nativeFile.mid(folder.size());
        relative.replace('/', '\\');
        return env_.ProgramFolder() + ToCp1252(relative);
    }
    return ToCp1252(nativeFile);
}

// ---------------------------------------------------------------------------------------------
// Showing

void ListChooserDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    lastShownFile_.clear();
    film_->setMaske("*.*");
    film_->setWidth(kStripFrameWidth_px);
    film_->setHeight(kStripFrameHeight_px);
    film_->setTransparent(false);
    film_->SetWidthFromPicture(false);
    UpdateItemHeight();
    ColourFolderTree();
    setWindowTitle(EditorMode() ? QStringLiteral("Dateien editieren")
                                : QStringLiteral("Dateien auswählen"));
    controls_.editorButton->setDefault(EditorMode());
    controls_.okButton->setDefault(!EditorMode());

    BuildFolderTree(RootPath(),
                    EditorMode() ? QDir::cleanPath(env_.NativePath(editorFolder_)) : QString());
    controls_.lineList->clear();
    entries_.clear();
    ShowRecentNames();

    if (recentList_.empty()) {
        SelectFile(RootPath());
        controls_.folderTree->setFocus();
        SelectFirstNodeAfterRoot();
    } else {
        const QString file = NativeFile(RecentNameOfEntry(recentList_.front()));
        SelectFile(file);
        if (!NativeIsFile(file)) {
            controls_.folderTree->setFocus();
            SelectFirstNodeAfterRoot();
        }
    }
}

// Light yellow for choosing, light blue for editing; the chosen folder in white on dark blue.
void ListChooserDialog::ColourFolderTree() {
    QPalette palette = controls_.folderTree->palette();
    palette.setColor(QPalette::Base, EditorMode() ? kLightBlue : kLightYellow);
    palette.setColor(QPalette::Highlight, kTreeSelection);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Inactive, QPalette::Highlight, kTreeSelection);
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::white);
    controls_.folderTree->setPalette(palette);
}

// Recent files that vanished since are forgotten; the others fill the box, newest first.
void ListChooserDialog::ShowRecentNames() {
    std::erase_if(recentList_, [this](const Bytes& entry) {
        return !NativeIsFile(NativeFile(RecentNameOfEntry(entry)));
    });
    QStringList names;
    for (const Bytes& entry : recentList_) names.push_back(FromCp1252(RecentNameOfEntry(entry)));
    controls_.recentBox->ShowNames(names);
}

// Without a remembered file the first node after the root whose name has an accepted extension
// is chosen (with ".*" that is any folder); a root without such a node stays chosen.
void ListChooserDialog::SelectFirstNodeAfterRoot() {
    QTreeWidgetItemIterator it(controls_.folderTree);
    if (*it == nullptr) return;
    for (++it; *it != nullptr; ++it) {
        if (!ExtensionAccepted(extensions_, ExtensionOf((*it)->text(0)))) continue;
        controls_.folderTree->setCurrentItem(*it);
        return;
    }
    SelectFirstAcceptedFile();
}

void ListChooserDialog::BuildFolderTree(const QString& root, const QString& secondRoot) {
    QTreeWidget* tree = controls_.folderTree;
    const QSignalBlocker block(tree);
    tree->clear();
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    std::function<void(QTreeWidgetItem*, const FolderNode&)> add = [&](QTreeWidgetItem* item,
                                                                       const FolderNode& node) {
        item->setText(0, node.text);
        item->setData(0, kPathRole, node.path);
        item->setIcon(0, closed);
        for (const FolderNode& child : node.children) add(new QTreeWidgetItem(item), child);
    };
    auto* first = new QTreeWidgetItem(tree);
    add(first, FolderTree(root));
    first->setExpanded(true);
    if (!secondRoot.isEmpty() && NativeIsFolder(secondRoot)) {
        auto* second = new QTreeWidgetItem(tree);
        add(second, FolderTree(secondRoot));
        second->setExpanded(true);
    }
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    for (int i = 0; i < tree->topLevelItemCount(); ++i) tree->topLevelItem(i)->setIcon(0, open);
}

QTreeWidgetItem* ListChooserDialog::NodeOfFolder(const QString& folder) const {
    const QString wanted = QDir::cleanPath(folder);
    QList<QTreeWidgetItem*> stack;
    for (int i = 0; i < controls_.folderTree->topLevelItemCount(); ++i)
        stack.push_back(controls_.folderTree->topLevelItem(i));
    while (!stack.isEmpty()) {
        QTreeWidgetItem* item = stack.takeFirst();
        if (PathOfItem(item) == wanted) return item;
        for (int i = 0; i < item->childCount(); ++i) stack.push_back(item->child(i));
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Folders and files

void ListChooserDialog::FolderChosen() {
    QTreeWidgetItem* node = controls_.folderTree->currentItem();
    if (node == nullptr) return;
    const QString path = PathOfItem(node);
    if (NativeIsFolder(path)) ShowFilesOf(path);
    controls_.multiplicationHelpPanel->setVisible(requestShowsHelp_ ||
                                                  path.contains(QStringLiteral("ultiplikation")));
    if (!selectingFile_) SelectFirstAcceptedFile();
}

void ListChooserDialog::ShowFilesOf(const QString& folder) {
    fileListFolder_ = QDir::cleanPath(folder);
    FillFileList(*controls_.fileList, folder);
}

void ListChooserDialog::SelectFirstAcceptedFile() {
    QTreeWidget* files = controls_.fileList;
    for (int i = 0; i < files->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = files->topLevelItem(i);
        if (!ExtensionAccepted(extensions_, ExtensionOf(PathOfItem(item)))) continue;
        files->clearSelection();
        files->setCurrentItem(item);
        item->setSelected(true);
        return;
    }
}

void ListChooserDialog::FileChosen() {
    QTreeWidgetItem* item = controls_.fileList->currentItem();
    if (item == nullptr || !item->isSelected()) return;
    const QString file = PathOfItem(item);
    if (file != lastShownFile_ && NativeIsFile(file) &&
        ExtensionAccepted(extensions_, ExtensionOf(file))) {
        currentFolder_ = FolderToBrowse(file);
        // the start line remembered for this very file (not for the one shown before)
        LoadList(file, RememberedStartIndex(recentList_, RecentNameOf(file)));
    }
    lastShownFile_ = file;
}

void ListChooserDialog::SelectFile(const QString& file) {
    QTreeWidget* files = controls_.fileList;
    selectingFile_ = true;
    const QString folder = FolderToBrowse(file);
    {
        const QSignalBlocker block(files);
        if (QTreeWidgetItem* node = NodeOfFolder(folder)) {
            if (controls_.folderTree->currentItem() != node)
                controls_.folderTree->setCurrentItem(node);
            if (fileListFolder_ != folder) ShowFilesOf(folder);
        } else {
            ShowFilesOf(folder);
        }
        files->setFocus();
        files->clearSelection();
        for (int i = 0; i < files->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = files->topLevelItem(i);
            if (PathOfItem(item).compare(QDir::cleanPath(file), Qt::CaseInsensitive) != 0) continue;
            files->setCurrentItem(item);
            item->setSelected(true);
            files->scrollToItem(item);
            break;
        }
    }
    selectingFile_ = false;
    QTreeWidgetItem* chosen = files->currentItem();
    if (chosen != nullptr && chosen->isSelected()) {
        const QString path = PathOfItem(chosen);
        if (ExtensionAccepted(extensions_, ExtensionOf(path))) {
            currentFolder_ = folder;
            LoadList(path, RememberedStartIndex(recentList_, RecentNameOf(path)));
        }
        lastShownFile_ = path;
    }
}

void ListChooserDialog::LoadList(const QString& file, int startIndex) {
    film_->setStop(true);
    std::vector<Bytes> lines;
    if (!ReadListLines(file, lines)) return;  // the list stays as it was
    entries_ = radevir::ListEntries(lines);
    columns_ = ListColumnCount(lines.size());
    QListWidget* list = controls_.lineList;
    list->setUpdatesEnabled(false);
    list->clear();
    for (const Bytes& entry : entries_) {
        auto* item = new QListWidgetItem(FromCp1252(entry), list);
        item->setData(kEntryRole, QByteArray(entry.data(), static_cast<qsizetype>(entry.size())));
    }
    UpdateGrid();
    list->setUpdatesEnabled(true);
    controls_.recentBox->PutOnTop(FromCp1252(RecentNameOf(file)));
    if (startIndex >= 0 && static_cast<size_t>(startIndex) < entries_.size())
        SetListSelection(startIndex);
    else if (!entries_.empty() && list->currentRow() < 0)
        SetListSelection(0);
}

void ListChooserDialog::SetListSelection(int row) {
    if (row < 0 || row >= controls_.lineList->count()) return;
    controls_.lineList->setCurrentRow(row);
    controls_.lineList->scrollToItem(controls_.lineList->item(row));
}

void ListChooserDialog::RecentChosen(int index) {
    if (index < 0) return;
    const QString file = NativeFile(ToCp1252(controls_.recentBox->itemText(index)));
    if (!NativeIsFile(file)) {
        showMessage(QStringLiteral("Datei nicht gefunden"),
                    QStringLiteral("Datei ") + file + QStringLiteral(" existiert nicht"));
        return;
    }
    SelectFile(file);
    currentFolder_ = FolderToBrowse(file);
}

QStringList ListChooserDialog::SelectedFilePaths() const {
    QStringList paths;
    for (int i = 0; i < controls_.fileList->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = controls_.fileList->topLevelItem(i);
        if (item->isSelected()) paths.push_back(PathOfItem(item));
    }
    // the file whose lines were chosen from comes first: that is the one the program runs
    const qsizetype shown = paths.indexOf(lastShownFile_);
    if (shown > 0) paths.move(shown, 0);
    return paths;
}

// ---------------------------------------------------------------------------------------------
// Accepting and cancelling

void ListChooserDialog::AcceptChoice() {
    film_->setStop(true);
    if (controls_.lineList->count() == 0) {
        CancelChoice();
        return;
    }
    const int index = AcceptedLineIndex(entries_, controls_.lineList->currentRow());
    SetListSelection(index);
    startLine_ = index + 1;
    startIndex_ = index;
    selectedFiles_ = SelectedFilePaths();

    const Bytes name = ToCp1252(controls_.recentBox->currentText());
    if (!name.empty()) {
        if (!AddToListFile(env_, recentFile_, RecentEntry(name, startLine_), true, false,
                           RecentLimit(settings_)))
            showMessage(QStringLiteral("Radevir"), kRecentNotSaved);
        recentList_ = LoadListFile(env_, recentFile_);
    }
    if (!selectedFiles_.isEmpty() && NativeIsFile(selectedFiles_.front())) {
        selectedFiles_.removeIf([](const QString& f) { return !NativeIsFile(f); });
        QDialog::accept();
        return;
    }
    selectedFiles_.clear();
    showMessage(QStringLiteral("Radevir"), QStringLiteral("Bitte zuerst eine Datei auswählen!"));
}

void ListChooserDialog::CancelChoice() {
    reject();
}

void ListChooserDialog::reject() {
    film_->setStop(true);
    startLine_ = 0;
    QDialog::reject();
}

void ListChooserDialog::done(int result) {
    film_->setStop(true);
    if (!SaveChooserFonts(env_, fonts_)) showMessage(QStringLiteral("Radevir"), kFontsNotSaved);
    QDialog::done(result);
}

void ListChooserDialog::TreeActivated() {
    // a folder without a chosen file is only opened or closed, never taken as the choice
    if (controls_.fileList->selectedItems().isEmpty() || controls_.lineList->count() == 0) return;
    SetListSelection(0);
    AcceptChoice();
}

void ListChooserDialog::FileListDoubleClicked() {
    if (!controls_.fileList->selectedItems().isEmpty() ||
        controls_.fileList->topLevelItemCount() == 0)
        return;
    if (QTreeWidgetItem* node = NodeOfFolder(fileListFolder_))
        controls_.folderTree->setCurrentItem(node);
}

// ---------------------------------------------------------------------------------------------
// Keys

void ListChooserDialog::MoveFocus(QObject* from, bool toRight) {
    QWidget* order[] = {controls_.folderTree, controls_.fileList, controls_.lineList};
    const int count = static_cast<int>(std::size(order));
    for (int i = 0; i < count; ++i) {
        if (from != order[i]) continue;
        const int next = toRight ? i + 1 : i - 1;
        if (next >= 0 && next < count) order[next]->setFocus(Qt::OtherFocusReason);
        return;
    }
}

// Enter accepts from the line list and the file list (there from the first line), and from the
// tree when a file is chosen. True when the key was used.
bool ListChooserDialog::EnterPressed(QObject* watched) {
    if (watched == controls_.lineList) {
        AcceptChoice();
        return true;
    }
    if (watched == controls_.fileList) {
        QTreeWidgetItem* item = controls_.fileList->currentItem();
        if (item != nullptr && ExtensionAccepted(extensions_, ExtensionOf(PathOfItem(item))))
            SetListSelection(0);
        AcceptChoice();
        return true;
    }
    if (watched == controls_.folderTree) {
        TreeActivated();
        return true;
    }
    return false;
}

bool ListChooserDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == controls_.lineList->viewport()) {
        UpdateGrid();
        return false;
    }
    if (event->type() == QEvent::MouseButtonDblClick && watched == controls_.fileList->viewport()) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (controls_.fileList->itemAt(mouse->position().toPoint()) == nullptr) {
            FileListDoubleClicked();
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        // the line list's selection colour follows its focus
        if (watched == controls_.lineList) controls_.lineList->viewport()->update();
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
            // an open recent list keeps its own keys
            if (watched == controls_.recentBox && controls_.recentBox->view()->isVisible())
                return false;
            MoveFocus(watched, key->key() == Qt::Key_Right);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return EnterPressed(watched);
        default:
            return false;
    }
}

// ---------------------------------------------------------------------------------------------
// Fonts, printing, copying, editor, conversion

void ListChooserDialog::ChooseFont(size_t which) {
    if (which >= kChooserFontCount) return;
    bool ok = false;
    const QFont chosen =
        QFontDialog::getFont(&ok, fonts_[which].font, this, QStringLiteral("Schriftart"),
                             QFontDialog::DontUseNativeDialog);
    if (!ok) return;
    fonts_[which].font = chosen;
    ApplyFonts();
}

bool ListChooserDialog::PrintList() {
    const Bytes title = ToCp1252(controls_.recentBox->currentText());
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(FromCp1252(title));
    // the same destinations as every other print: --print-to folder, default printer, or a PDF
    const QString stem = QFileInfo(lastShownFile_).completeBaseName();
    const PreparedPrinter prepared = PreparePrinter(
        printer, {printToFolder_, {}}, "Liste " + (stem.isEmpty() ? QStringLiteral("ohne Namen") : stem));
    lastPrintFile_ = prepared.pdfFile;
    if (!prepared.ready) return false;
    if (PrintListEntries(printer, controls_.lineList->font(), title, entries_) == 0) return false;
    if (prepared.noPrinter) ShowPdfInsteadOfPrinter(this, prepared.pdfFile);
    return true;
}

void ListChooserDialog::CopyList() {
    QString text = controls_.recentBox->currentText() + '\n';
    for (const Bytes& entry : entries_) text += FromCp1252(entry) + '\n';
    QApplication::clipboard()->setText(text);
}

void ListChooserDialog::OpenEditor() {
    if (!openEditor_) return;
    const int row = controls_.lineList->currentRow();
    openEditor_(lastShownFile_.isEmpty() ? Bytes() : DataPathOf(lastShownFile_));
    if (!lastShownFile_.isEmpty()) LoadList(lastShownFile_, row);  // the editor may have changed it
}

void ListChooserDialog::ConvertSelectedToAnsi() {
    for (const QString& path : SelectedFilePaths()) {
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly)) continue;
        const QByteArray bytes = in.readAll();
        in.close();
        const Bytes converted =
            ToAnsi(Bytes(bytes.constData(), static_cast<size_t>(bytes.size())), false);
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly)) continue;
        out.write(converted.data(), static_cast<qint64>(converted.size()));
        out.commit();
    }
    if (!lastShownFile_.isEmpty()) LoadList(lastShownFile_, controls_.lineList->currentRow());
}

}  // namespace radevir
