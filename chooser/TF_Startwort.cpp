#include "chooser/TF_Startwort.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCollator>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QStylePainter>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <algorithm>

#include "chooser/disk_names.h"
#include "chooser/folder_tree.h"
#include "chooser/list_entries.h"
#include "chooser/list_print.h"
#include "console/key_input.h"
#include "support/file_helpers.h"
#include "support/program_environment.h"
#include "support/text_file.h"
#include "support/text_helpers.h"

namespace radevir {
namespace {

// The form's colours.
const QColor kLightYellow(255, 255, 225);
const QColor kLightBlue(166, 202, 240);
const QColor kListGrey(224, 224, 224);
const QColor kSilver(192, 192, 192);
const QColor kGrey(128, 128, 128);
const QColor kFocusedSelection(153, 201, 239);
const QColor kTreeSelection(0, 84, 166);

constexpr int kPathRole = Qt::UserRole;
constexpr int kSortRole = Qt::UserRole + 1;
constexpr int kEntryRole = Qt::UserRole + 2;

Bytes EntryBytes(const QModelIndex& index) {
    const QByteArray raw = index.data(kEntryRole).toByteArray();
    return Bytes(raw.constData(), static_cast<size_t>(raw.size()));
}

// Draws a text with its own background box, the way the form's owner drawing does.
void DrawBoxedText(QPainter& p, int x, const QRect& row, const QString& text, const QColor& ink,
                   const QColor& background) {
    const QFontMetrics fm = p.fontMetrics();
    const QRect box(x, row.top(), fm.horizontalAdvance(text), row.height());
    p.fillRect(box.intersected(row), background);
    p.setPen(ink);
    p.drawText(QRect(x, row.top(), row.right() - x + 1, row.height()),
               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

// The numbered lines of the chosen file.
class ListEntryDelegate : public QStyledItemDelegate {
public:
    explicit ListEntryDelegate(QListWidget* list) : QStyledItemDelegate(list), list_(list) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        p->save();
        p->setFont(list_->font());
        const QRect r = option.rect;
        const bool selected = option.state & QStyle::State_Selected;
        const QColor fill = !selected ? kListGrey : list_->hasFocus() ? kFocusedSelection : kGrey;
        p->fillRect(r, fill);
        const Bytes entry = EntryBytes(index);
        const ListEntryLook look = LookOfEntry(entry);
        if (look.kind == ListEntryLook::Kind::Setting) {
            DrawBoxedText(*p, r.left() + 4, r, LookWord(look.kind), kGrey, kSilver);
        } else if (look.kind == ListEntryLook::Kind::Comment) {
            DrawBoxedText(*p, r.left() + 4, r, LookWord(look.kind), Qt::blue, kGrey);
        } else {
            const QString text = FromCp1252(look.shownText);
            DrawBoxedText(*p, r.left() + 2, r, text, Qt::black,
                          look.silverBackground ? kSilver : fill);
            p->setPen(Qt::blue);
            p->drawText(QRect(r.left() + 2, r.top(), r.width() - 2, r.height()),
                        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                        text.left(look.numberLength));
        }
        p->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return list_->gridSize().isValid() ? list_->gridSize() : QSize(100, 20);
    }

private:
    QListWidget* list_;
};

// A recent entry: the folder part on silver, then the file name in blue (on yellow when chosen).
void PaintRecentEntry(QPainter& p, const QRect& r, const QString& name, bool selected) {
    p.fillRect(r, Qt::white);
    const RecentNameParts parts = SplitRecentName(ToCp1252(name));
    int x = r.left() + 2;
    if (!parts.folder.empty()) {
        const QString folder = FromCp1252(parts.folder);
        DrawBoxedText(p, x, r, folder, Qt::black, kSilver);
        x += p.fontMetrics().horizontalAdvance(folder) + 8;
    }
    DrawBoxedText(p, x, r, FromCp1252(parts.file), Qt::blue, selected ? Qt::yellow : Qt::white);
}

class RecentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        p->save();
        p->setFont(option.font);
        PaintRecentEntry(*p, option.rect, index.data().toString(),
                         option.state & QStyle::State_Selected);
        p->restore();
    }
};

class RecentBox : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter p(this);
        QStyleOptionComboBox opt;
        initStyleOption(&opt);
        opt.currentText.clear();
        p.drawComplexControl(QStyle::CC_ComboBox, opt);
        const QRect field =
            style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
        if (currentIndex() >= 0) PaintRecentEntry(p, field, currentText(), hasFocus());
    }
};

// File list rows sort by name (letter case ignored), size or date, not by their shown text.
class FileItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QVariant a = data(column, kSortRole);
        const QVariant b = other.data(column, kSortRole);
        if (a.typeId() == QMetaType::QString) {
            // "2er-Reihe" before "10er-Reihe", as a file manager lists them
            static const QCollator collator = [] {
                QCollator c(QLocale(QLocale::German, QLocale::Germany));
                c.setNumericMode(true);
                c.setCaseSensitivity(Qt::CaseInsensitive);
                return c;
            }();
            return collator.compare(a.toString(), b.toString()) < 0;
        }
        return QVariant::compare(a, b) == QPartialOrdering::Less;
    }
};

QString FolderOf(const QString& path) {
    if (IsFolderOnDisk(path)) return QDir::cleanPath(path);
    return QDir::cleanPath(QFileInfo(path).absolutePath());
}

Bytes ExtensionOf(const QString& file) {
    const QString suffix = QFileInfo(file).suffix();
    return suffix.isEmpty() ? Bytes() : "." + ToCp1252(suffix);
}

// Recent names containing "=" are kept in quotes so the list file can tell name from value.
Bytes RecentNameOfLine(const Bytes& line) {
    Bytes name = NameOfPair(line);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
        name = name.substr(1, name.size() - 2);
    return name;
}

Bytes RecentKey(const Bytes& name) {
    if (name.find('=') != Bytes::npos || (!name.empty() && name.front() == '"'))
        return "\"" + name + "\"";
    return name;
}

// The lines of a list file, read no further than the list shows. False when it cannot be read;
// a file that is not text gives no lines.
bool ReadListLines(const QString& path, std::vector<Bytes>& lines) {
    lines.clear();
    QFile file;
    if (!OpenOnDisk(file, path)) return false;
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
    if (!QFile::exists(path)) lines = SplitTextLines(headBytes);
    else if (!ReadTextFileLines(path, lines)) return false;
    BoundListLines(lines);
    return true;
}

// Messages for memory files that could not be written.
const QString kRecentNotSaved =
    QStringLiteral("Die >zuletzt benutzten Dateien< konnten nicht gespeichert werden!");
const QString kFontsNotSaved = QStringLiteral("Die >Schriftarten< konnten nicht gespeichert werden!");

}  // namespace

TF_Startwort::TF_Startwort(const ProgramEnvironment& env, const SettingsStore* settings,
                           QWidget* parent)
    : QDialog(parent), env_(env), settings_(settings) {
    showMessage = [this](const QString& caption, const QString& text) {
        QMessageBox::information(this, caption, text);
    };
    fonts_[0].font = QApplication::font();
    fonts_[1].font = QApplication::font();
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(16);
    fonts_[2].font = arial;
    LoadChooserFonts(env_, fonts_);
    BuildForm();
    ApplyFonts();
}

TF_Startwort::~TF_Startwort() = default;

void TF_Startwort::BuildForm() {
    setWindowTitle(QStringLiteral("Liste und Startwort auswählen"));
    setModal(true);
    resize(1140, 680);

    auto* outer = new QVBoxLayout(this);

    // top panel: recent files, multiplication help, OK
    auto* Pa_oben = new QHBoxLayout();
    CO_zuletzt = new RecentBox(this);
    CO_zuletzt->setObjectName(QStringLiteral("CO_zuletzt"));
    CO_zuletzt->setItemDelegate(new RecentDelegate(CO_zuletzt));
    CO_zuletzt->setMinimumWidth(360);
    CO_zuletzt->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Pa_oben->addWidget(CO_zuletzt, 1, Qt::AlignTop);
    Panel_malhilfe = new QGroupBox(QStringLiteral("Hilfen bei der schriftlicher Multiplikation"), this);
    auto* helpLayout = new QGridLayout(Panel_malhilfe);
    cb_markieren = new QCheckBox(QStringLiteral("aktuelle Stellen hervorheben"), Panel_malhilfe);
    cb_malhelp2 = new QCheckBox(QStringLiteral("Übertrag anzeigen"), Panel_malhilfe);
    cb_malhelp1 = new QCheckBox(QStringLiteral("Multiplikationswert anzeigen"), Panel_malhilfe);
    helpLayout->addWidget(cb_markieren, 0, 0);
    helpLayout->addWidget(cb_malhelp2, 0, 1);
    helpLayout->addWidget(cb_malhelp1, 1, 0);
    Panel_malhilfe->setVisible(false);
    Pa_oben->addWidget(Panel_malhilfe);
    B_ok = new QPushButton(QStringLiteral("OK"), this);
    B_ok->setMinimumWidth(110);
    Pa_oben->addWidget(B_ok, 0, Qt::AlignTop);
    outer->addLayout(Pa_oben);

    // tree, files, lines
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    Tree_files = new QTreeWidget(splitter);
    Tree_files->setObjectName(QStringLiteral("Tree_files"));
    Tree_files->setHeaderHidden(true);
    Tree_files->setColumnCount(1);
    Tree_files->setContextMenuPolicy(Qt::CustomContextMenu);
    Shell1 = new QTreeWidget(splitter);
    Shell1->setObjectName(QStringLiteral("Shell1"));
    Shell1->setColumnCount(4);
    Shell1->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Größe"), QStringLiteral("Typ"),
                             QStringLiteral("Änderungsdatum")});
    Shell1->setRootIsDecorated(false);
    Shell1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Shell1->setSortingEnabled(true);
    Shell1->sortByColumn(0, Qt::AscendingOrder);
    Shell1->setContextMenuPolicy(Qt::CustomContextMenu);
    Shell1->header()->setStretchLastSection(false);
    Shell1->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < 4; ++column)
        Shell1->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    LB_liste = new QListWidget(splitter);
    LB_liste->setObjectName(QStringLiteral("LB_liste"));
    LB_liste->setViewMode(QListView::ListMode);
    LB_liste->setFlow(QListView::TopToBottom);
    LB_liste->setWrapping(true);
    LB_liste->setResizeMode(QListView::Adjust);
    LB_liste->setUniformItemSizes(true);
    LB_liste->setSelectionMode(QAbstractItemView::SingleSelection);
    LB_liste->setItemDelegate(new ListEntryDelegate(LB_liste));
    LB_liste->setContextMenuPolicy(Qt::CustomContextMenu);
    QPalette listPalette = LB_liste->palette();
    listPalette.setColor(QPalette::Base, kListGrey);
    LB_liste->setPalette(listPalette);
    splitter->addWidget(Tree_files);
    splitter->addWidget(Shell1);
    splitter->addWidget(LB_liste);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 4);
    splitter->setStretchFactor(2, 4);
    splitter->setSizes({200, 460, 460});
    outer->addWidget(splitter, 1);

    // bottom panel
    auto* Pa_unten = new QHBoxLayout();
    B_cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    BU_Editor = new QPushButton(QStringLiteral("Editor"), this);
    zozeBitBtn1 = new QPushButton(QStringLiteral("ascii >> ansi"), this);
    externbutton = new QPushButton(QStringLiteral("extern"), this);
    zozeBitBtn1->setVisible(false);
    externbutton->setVisible(false);
    BU_Editor->setEnabled(false);
    for (QPushButton* b : {B_ok, B_cancel, BU_Editor, zozeBitBtn1, externbutton}) b->setAutoDefault(false);
    Pa_unten->addWidget(B_cancel);
    Pa_unten->addStretch(1);
    Pa_unten->addWidget(zozeBitBtn1);
    Pa_unten->addWidget(externbutton);
    Pa_unten->addWidget(BU_Editor);
    outer->addLayout(Pa_unten);

    // pop-up menus
    popupTree_ = new QMenu(this);
    popupTree_->addAction(QStringLiteral("Schriftart"), this, [this] { ChooseFont(0); });
    popupListview_ = new QMenu(this);
    popupListview_->addAction(QStringLiteral("Schriftart"), this, [this] { ChooseFont(1); });
    popupListe_ = new QMenu(this);
    popupListe_->addAction(QStringLiteral("Schriftart"), this, [this] { ChooseFont(2); });
    popupListe_->addAction(QStringLiteral("Drucken"), this, [this] { PrintList(); });
    popupListe_->addAction(QStringLiteral("Kopieren"), this, [this] { CopyList(); });
    connect(Tree_files, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { popupTree_->popup(Tree_files->viewport()->mapToGlobal(p)); });
    connect(Shell1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { popupListview_->popup(Shell1->viewport()->mapToGlobal(p)); });
    connect(LB_liste, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { popupListe_->popup(LB_liste->viewport()->mapToGlobal(p)); });

    // wiring
    connect(B_ok, &QPushButton::clicked, this, &TF_Startwort::AcceptChoice);
    connect(externbutton, &QPushButton::clicked, this, &TF_Startwort::AcceptChoice);
    connect(B_cancel, &QPushButton::clicked, this, &TF_Startwort::CancelChoice);
    connect(BU_Editor, &QPushButton::clicked, this, &TF_Startwort::OpenEditor);
    connect(zozeBitBtn1, &QPushButton::clicked, this, &TF_Startwort::ConvertSelectedToAnsi);
    connect(Tree_files, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem* previous) {
                const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
                const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
                if (previous != nullptr && !previous->isExpanded()) previous->setIcon(0, closed);
                if (current != nullptr) current->setIcon(0, open);
                FolderChosen();
            });
    connect(Tree_files, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        item->setIcon(0, style()->standardIcon(QStyle::SP_DirOpenIcon));
    });
    connect(Tree_files, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        if (item != Tree_files->currentItem())
            item->setIcon(0, style()->standardIcon(QStyle::SP_DirClosedIcon));
    });
    connect(Tree_files, &QTreeWidget::itemDoubleClicked, this, [this] { TreeActivated(); });
    connect(Shell1, &QTreeWidget::itemSelectionChanged, this, &TF_Startwort::FileChosen);
    connect(Shell1, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (EditorMode()) {
            OpenEditor();
        } else if (ExtensionAccepted(extensions_, ExtensionOf(item->data(0, kPathRole).toString()))) {
            SetListSelection(0);
            AcceptChoice();
        }
    });
    connect(LB_liste, &QListWidget::itemDoubleClicked, this, [this] { AcceptChoice(); });
    connect(CO_zuletzt, &QComboBox::activated, this, &TF_Startwort::RecentChosen);

    for (QWidget* w : std::initializer_list<QWidget*>{Tree_files, Shell1, LB_liste, CO_zuletzt,
                                                      cb_markieren, cb_malhelp2, cb_malhelp1, B_ok,
                                                      B_cancel, BU_Editor})
        w->installEventFilter(this);
    Shell1->viewport()->installEventFilter(this);
    LB_liste->viewport()->installEventFilter(this);
}

void TF_Startwort::SetEditorCallback(std::function<void(const Bytes& file)> openEditor) {
    openEditor_ = std::move(openEditor);
    BU_Editor->setEnabled(static_cast<bool>(openEditor_));
}

void TF_Startwort::ApplyFonts() {
    QWidget* controls[3] = {Tree_files, Shell1, LB_liste};
    for (size_t i = 0; i < 3; ++i) {
        controls[i]->setFont(fonts_[i].font);
        QPalette pal = controls[i]->palette();
        pal.setColor(QPalette::Text, fonts_[i].color);
        controls[i]->setPalette(pal);
    }
    UpdateItemHeight();
}

void TF_Startwort::UpdateItemHeight() {
    UpdateGrid();
}

void TF_Startwort::UpdateGrid() {
    // a row is as high as the text "Äg" in the list's font, plus one pixel
    const int rowHeight = QFontMetrics(LB_liste->font()).height() + 1;
    const int width = std::max(60, LB_liste->viewport()->width() / std::max(1, columns_));
    LB_liste->setGridSize(QSize(width, rowHeight));
}

// ---------------------------------------------------------------------------------------------
// Request and result

void TF_Startwort::Prepare(const ListChooserRequest& request) {
    baseFolder_ = request.folder;
    startFolder_ = request.lastName;
    editorFolder_ = request.editorFolder;
    if (!request.recentFile.empty()) recentFile_ = request.recentFile;
    recentList_ = LoadListFile(env_, recentFile_);
    selectedFiles_.clear();
    startIndex_ = -1;
    startLine_ = 0;
    requestShowsHelp_ = request.showMultiplicationHelp;
    Panel_malhilfe->setVisible(requestShowsHelp_);
    cb_markieren->setChecked(request.markDigits);
    cb_malhelp2->setChecked(request.showCarry);
    cb_malhelp1->setChecked(request.showMultiplicationValue);
    setResult(QDialog::Rejected);
}

ListChooserResult TF_Startwort::Result() const {
    ListChooserResult r;
    r.accepted = result() == QDialog::Accepted;
    if (r.accepted) {
        for (const QString& f : selectedFiles_) r.lines.push_back(DataPathOf(f));
        r.startIndex = startIndex_;
    }
    r.markDigits = cb_markieren->isChecked();
    r.showCarry = cb_malhelp2->isChecked();
    r.showMultiplicationValue = cb_malhelp1->isChecked();
    return r;
}

ListChooserResult TF_Startwort::Choose(const ListChooserRequest& request) {
    Prepare(request);
    exec();
    return Result();
}

// ---------------------------------------------------------------------------------------------
// Paths

QString TF_Startwort::RootPath() const {
    return QDir::cleanPath(env_.NativePath(baseFolder_ + startFolder_));
}

QString TF_Startwort::NativeFile(const Bytes& recentName) const {
    return QDir::cleanPath(env_.NativePath(baseFolder_ + recentName));
}

Bytes TF_Startwort::RecentNameOf(const QString& nativeFile) const {
    const QString base = QDir::cleanPath(env_.NativePath(baseFolder_));
    QString rel = QDir(base).relativeFilePath(nativeFile);
    rel.replace('/', '\\');
    return ToCp1252(rel);
}

Bytes TF_Startwort::DataPathOf(const QString& nativeFile) const {
    QString folder = FromCp1252(env_.ProgramFolder());
    folder.replace('\\', '/');
    if (!folder.endsWith('/')) folder += '/';
    if (nativeFile.startsWith(folder)) {
        QString rel = nativeFile.mid(folder.size());
        rel.replace('/', '\\');
        return env_.ProgramFolder() + ToCp1252(rel);
    }
    return ToCp1252(nativeFile);
}

int TF_Startwort::RecentLimit() const {
    if (settings_ == nullptr) return 12;
    return std::max(1, ReadIntSetting(*settings_, "Hide", "EI_Maxmerkanzahl", 12));
}

// ---------------------------------------------------------------------------------------------
// Showing

void TF_Startwort::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    lastShownFile_.clear();
    UpdateItemHeight();

    QPalette treePalette = Tree_files->palette();
    treePalette.setColor(QPalette::Base, EditorMode() ? kLightBlue : kLightYellow);
    treePalette.setColor(QPalette::Highlight, kTreeSelection);
    treePalette.setColor(QPalette::HighlightedText, Qt::white);
    treePalette.setColor(QPalette::Inactive, QPalette::Highlight, kTreeSelection);
    treePalette.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::white);
    Tree_files->setPalette(treePalette);
    setWindowTitle(EditorMode() ? QStringLiteral("Dateien editieren")
                                : QStringLiteral("Dateien auswählen"));
    BU_Editor->setDefault(EditorMode());
    B_ok->setDefault(!EditorMode());

    BuildFolderTree(RootPath(),
                    EditorMode() ? QDir::cleanPath(env_.NativePath(editorFolder_)) : QString());

    LB_liste->clear();
    entries_.clear();
    {
        const QSignalBlocker block(CO_zuletzt);
        CO_zuletzt->clear();
        std::erase_if(recentList_, [this](const Bytes& line) {
            return !IsFileOnDisk(NativeFile(RecentNameOfLine(line)));
        });
        for (const Bytes& line : recentList_) CO_zuletzt->addItem(FromCp1252(RecentNameOfLine(line)));
        if (CO_zuletzt->count() > 0) CO_zuletzt->setCurrentIndex(0);
    }

    if (recentList_.empty()) {
        SelectFile(RootPath());
        Tree_files->setFocus();
        SelectFirstNodeAfterRoot();
    } else {
        const QString file = NativeFile(RecentNameOfLine(recentList_.front()));
        SelectFile(file);
        if (!IsFileOnDisk(file)) {
            Tree_files->setFocus();
            SelectFirstNodeAfterRoot();
        }
    }
}

// Without a remembered file the first node after the root whose name has an accepted extension
// is chosen (with ".*" that is any folder); a root without such a node stays chosen.
void TF_Startwort::SelectFirstNodeAfterRoot() {
    QTreeWidgetItemIterator it(Tree_files);
    if (*it == nullptr) return;
    for (++it; *it != nullptr; ++it) {
        if (!ExtensionAccepted(extensions_, ExtensionOf((*it)->text(0)))) continue;
        Tree_files->setCurrentItem(*it);
        return;
    }
    SelectFirstAcceptedFile();
}

void TF_Startwort::BuildFolderTree(const QString& root, const QString& secondRoot) {
    const QSignalBlocker block(Tree_files);
    Tree_files->clear();
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    std::function<void(QTreeWidgetItem*, const FolderNode&)> add =
        [&](QTreeWidgetItem* item, const FolderNode& node) {
            item->setText(0, node.text);
            item->setData(0, kPathRole, node.path);
            item->setIcon(0, closed);
            for (const FolderNode& child : node.children) add(new QTreeWidgetItem(item), child);
        };
    auto* first = new QTreeWidgetItem(Tree_files);
    add(first, FolderTree(root));
    first->setExpanded(true);
    if (!secondRoot.isEmpty() && IsFolderOnDisk(secondRoot)) {
        auto* second = new QTreeWidgetItem(Tree_files);
        add(second, FolderTree(secondRoot));
        second->setExpanded(true);
    }
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    for (int i = 0; i < Tree_files->topLevelItemCount(); ++i) Tree_files->topLevelItem(i)->setIcon(0, open);
}

QTreeWidgetItem* TF_Startwort::NodeOfFolder(const QString& folder) const {
    const QString wanted = QDir::cleanPath(folder);
    QList<QTreeWidgetItem*> stack;
    for (int i = 0; i < Tree_files->topLevelItemCount(); ++i) stack.push_back(Tree_files->topLevelItem(i));
    while (!stack.isEmpty()) {
        QTreeWidgetItem* item = stack.takeFirst();
        if (item->data(0, kPathRole).toString() == wanted) return item;
        for (int i = 0; i < item->childCount(); ++i) stack.push_back(item->child(i));
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Folders and files

void TF_Startwort::FolderChosen() {
    QTreeWidgetItem* node = Tree_files->currentItem();
    if (node == nullptr) return;
    const QString path = node->data(0, kPathRole).toString();
    if (IsFolderOnDisk(path)) FillFileList(path);
    Panel_malhilfe->setVisible(requestShowsHelp_ || path.contains(QStringLiteral("ultiplikation")));
    if (!selectingFile_) SelectFirstAcceptedFile();
}

void TF_Startwort::FillFileList(const QString& folder) {
    const QSignalBlocker block(Shell1);
    Shell1->clear();
    fileListFolder_ = QDir::cleanPath(folder);
    const QLocale german(QLocale::German, QLocale::Germany);
    Shell1->setSortingEnabled(false);
    // read byte for byte: names from a Windows stick that are not UTF-8 show in Windows-1252
    for (const DiskEntry& f : ListFolder(folder)) {
        if (!f.isFile) continue;
        const QString suffix = QFileInfo(f.name).suffix();
        auto* item = new FileItem(Shell1);
        item->setText(0, f.name);
        item->setText(1, german.toString((f.size + 1023) / 1024) + QStringLiteral(" KB"));
        item->setText(2, suffix.isEmpty() ? QStringLiteral("Datei")
                                          : suffix.toUpper() + QStringLiteral("-Datei"));
        item->setText(3, german.toString(f.modified, QStringLiteral("dd.MM.yy HH:mm")));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, kPathRole, QDir::cleanPath(fileListFolder_ + '/' + f.name));
        item->setData(0, kSortRole, f.name);
        item->setData(1, kSortRole, f.size);
        item->setData(2, kSortRole, item->text(2).toLower());
        item->setData(3, kSortRole, f.modified);
    }
    Shell1->setSortingEnabled(true);
}

void TF_Startwort::SelectFirstAcceptedFile() {
    for (int i = 0; i < Shell1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = Shell1->topLevelItem(i);
        if (!ExtensionAccepted(extensions_, ExtensionOf(item->data(0, kPathRole).toString()))) continue;
        Shell1->clearSelection();
        Shell1->setCurrentItem(item);
        item->setSelected(true);
        return;
    }
}

void TF_Startwort::FileChosen() {
    QTreeWidgetItem* item = Shell1->currentItem();
    if (item == nullptr || !item->isSelected()) return;
    const QString file = item->data(0, kPathRole).toString();
    if (file != lastShownFile_ && IsFileOnDisk(file) &&
        ExtensionAccepted(extensions_, ExtensionOf(file))) {
        currentFolder_ = FolderOf(file);
        // the start line remembered for this very file (not for the one shown before)
        LoadList(file, RememberedStartIndex(recentList_, RecentNameOf(file)));
    }
    lastShownFile_ = file;
}

void TF_Startwort::SelectFile(const QString& file) {
    selectingFile_ = true;
    const QString folder = FolderOf(file);
    {
        const QSignalBlocker block(Shell1);
        if (QTreeWidgetItem* node = NodeOfFolder(folder)) {
            if (Tree_files->currentItem() != node) Tree_files->setCurrentItem(node);
            if (fileListFolder_ != folder) FillFileList(folder);
        } else {
            FillFileList(folder);
        }
        Shell1->setFocus();
        Shell1->clearSelection();
        for (int i = 0; i < Shell1->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = Shell1->topLevelItem(i);
            if (item->data(0, kPathRole).toString().compare(QDir::cleanPath(file), Qt::CaseInsensitive) != 0)
                continue;
            Shell1->setCurrentItem(item);
            item->setSelected(true);
            Shell1->scrollToItem(item);
            break;
        }
    }
    selectingFile_ = false;
    QTreeWidgetItem* chosen = Shell1->currentItem();
    if (chosen != nullptr && chosen->isSelected()) {
        const QString path = chosen->data(0, kPathRole).toString();
        if (ExtensionAccepted(extensions_, ExtensionOf(path))) {
            currentFolder_ = folder;
            LoadList(path, RememberedStartIndex(recentList_, RecentNameOf(path)));
        }
        lastShownFile_ = path;
    }
}

void TF_Startwort::LoadList(const QString& file, int startIndex) {
    std::vector<Bytes> lines;
    if (!ReadListLines(file, lines)) return;  // the list stays as it was
    entries_ = radevir::ListEntries(lines);
    columns_ = ListColumnCount(lines.size());
    LB_liste->setUpdatesEnabled(false);
    LB_liste->clear();
    for (const Bytes& entry : entries_) {
        auto* item = new QListWidgetItem(FromCp1252(entry), LB_liste);
        item->setData(kEntryRole, QByteArray(entry.data(), static_cast<qsizetype>(entry.size())));
    }
    UpdateGrid();
    LB_liste->setUpdatesEnabled(true);
    PutOnTopOfRecentBox(RecentNameOf(file));
    if (startIndex >= 0 && static_cast<size_t>(startIndex) < entries_.size())
        SetListSelection(startIndex);
    else if (!entries_.empty() && LB_liste->currentRow() < 0)
        SetListSelection(0);
}

void TF_Startwort::SetListSelection(int row) {
    if (row < 0 || row >= LB_liste->count()) return;
    LB_liste->setCurrentRow(row);
    LB_liste->scrollToItem(LB_liste->item(row));
}

void TF_Startwort::PutOnTopOfRecentBox(const Bytes& name) {
    const QSignalBlocker block(CO_zuletzt);
    const QString text = FromCp1252(name);
    for (int i = CO_zuletzt->count(); i-- > 0;)
        if (CO_zuletzt->itemText(i).compare(text, Qt::CaseInsensitive) == 0) CO_zuletzt->removeItem(i);
    CO_zuletzt->insertItem(0, text);
    CO_zuletzt->setCurrentIndex(0);
}

void TF_Startwort::RecentChosen(int index) {
    if (index < 0) return;
    const Bytes name = ToCp1252(CO_zuletzt->itemText(index));
    const QString file = NativeFile(name);
    if (!IsFileOnDisk(file)) {
        showMessage(QStringLiteral("Datei nicht gefunden"),
                    QStringLiteral("Datei ") + file + QStringLiteral(" existiert nicht"));
        return;
    }
    SelectFile(file);
    currentFolder_ = FolderOf(file);
}

QStringList TF_Startwort::SelectedFilePaths() const {
    QStringList paths;
    for (int i = 0; i < Shell1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = Shell1->topLevelItem(i);
        if (item->isSelected()) paths.push_back(item->data(0, kPathRole).toString());
    }
    // the file whose lines were chosen from comes first: that is the one the program runs
    const qsizetype shown = paths.indexOf(lastShownFile_);
    if (shown > 0) paths.move(shown, 0);
    return paths;
}

// ---------------------------------------------------------------------------------------------
// Accepting and cancelling

void TF_Startwort::AcceptChoice() {
    if (LB_liste->count() == 0) {
        CancelChoice();
        return;
    }
    const int index = AcceptedLineIndex(entries_, LB_liste->currentRow());
    SetListSelection(index);
    startLine_ = index + 1;
    startIndex_ = index;
    selectedFiles_ = SelectedFilePaths();

    const Bytes name = ToCp1252(CO_zuletzt->currentText());
    if (!name.empty()) {
        if (!AddToListFile(env_, recentFile_, RecentKey(name) + "=" + IntToText(startLine_), true,
                           false, RecentLimit()))
            showMessage(QStringLiteral("Radevir"), kRecentNotSaved);
        recentList_ = LoadListFile(env_, recentFile_);
    }
    if (!selectedFiles_.isEmpty() && IsFileOnDisk(selectedFiles_.front())) {
        selectedFiles_.erase(std::remove_if(selectedFiles_.begin(), selectedFiles_.end(),
                                            [](const QString& f) { return !IsFileOnDisk(f); }),
                             selectedFiles_.end());
        QDialog::accept();
        return;
    }
    selectedFiles_.clear();
    showMessage(QStringLiteral("Radevir"), QStringLiteral("Bitte zuerst eine Datei auswählen!"));
}

void TF_Startwort::CancelChoice() { reject(); }

void TF_Startwort::reject() {
    startLine_ = 0;
    QDialog::reject();
}

void TF_Startwort::done(int result) {
    if (!SaveChooserFonts(env_, fonts_)) showMessage(QStringLiteral("Radevir"), kFontsNotSaved);
    QDialog::done(result);
}

void TF_Startwort::TreeActivated() {
    // a folder without a chosen file is only opened or closed, never taken as the choice
    const auto selected = Shell1->selectedItems();
    if (selected.isEmpty() || LB_liste->count() == 0) return;
    SetListSelection(0);
    AcceptChoice();
}

void TF_Startwort::FileListDoubleClicked() {
    if (!Shell1->selectedItems().isEmpty() || Shell1->topLevelItemCount() == 0) return;
    if (QTreeWidgetItem* node = NodeOfFolder(fileListFolder_)) Tree_files->setCurrentItem(node);
}

// ---------------------------------------------------------------------------------------------
// Keys

void TF_Startwort::MoveFocus(QObject* from, bool toRight) {
    QWidget* order[3] = {Tree_files, Shell1, LB_liste};
    for (int i = 0; i < 3; ++i) {
        if (from != order[i]) continue;
        const int next = toRight ? i + 1 : i - 1;
        if (next >= 0 && next < 3) order[next]->setFocus(Qt::OtherFocusReason);
        return;
    }
}

bool TF_Startwort::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == LB_liste->viewport()) {
        UpdateGrid();
        return false;
    }
    if (event->type() == QEvent::MouseButtonDblClick && watched == Shell1->viewport()) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (Shell1->itemAt(mouse->position().toPoint()) == nullptr) {
            FileListDoubleClicked();
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        if (watched == LB_liste) LB_liste->viewport()->update();  // selection colour follows focus
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (watched == CO_zuletzt && static_cast<QComboBox*>(CO_zuletzt)->view()->isVisible())
                return false;
            MoveFocus(watched, key->key() == Qt::Key_Right);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (watched == LB_liste) {
                AcceptChoice();
                return true;
            }
            if (watched == Shell1) {
                QTreeWidgetItem* item = Shell1->currentItem();
                if (item != nullptr &&
                    ExtensionAccepted(extensions_, ExtensionOf(item->data(0, kPathRole).toString())))
                    SetListSelection(0);
                AcceptChoice();
                return true;
            }
            if (watched == Tree_files) {
                TreeActivated();
                return true;
            }
            return false;
        default:
            return false;
    }
}

// ---------------------------------------------------------------------------------------------
// Fonts, printing, copying, editor, conversion

void TF_Startwort::ChooseFont(int which) {
    if (which < 0 || which > 2) return;
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, fonts_[static_cast<size_t>(which)].font, this,
                                              QStringLiteral("Schriftart"),
                                              QFontDialog::DontUseNativeDialog);
    if (!ok) return;
    fonts_[static_cast<size_t>(which)].font = chosen;
    ApplyFonts();
}

bool TF_Startwort::PrintList() {
    const Bytes title = ToCp1252(CO_zuletzt->currentText());
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(FromCp1252(title));
    if (!printToFolder_.isEmpty()) {
        QDir().mkpath(printToFolder_);
        printer.setOutputFormat(QPrinter::PdfFormat);
        lastPrintFile_ = FreePdfName(printToFolder_, QFileInfo(lastShownFile_).completeBaseName());
        printer.setOutputFileName(lastPrintFile_);
    } else {
        QPrintDialog dialog(&printer, this);
        if (dialog.exec() != QDialog::Accepted) return false;
    }
    return PrintListEntries(printer, LB_liste->font(), title, entries_) > 0;
}

void TF_Startwort::CopyList() {
    QString text = CO_zuletzt->currentText() + '\n';
    for (const Bytes& entry : entries_) text += FromCp1252(entry) + '\n';
    QApplication::clipboard()->setText(text);
}

void TF_Startwort::OpenEditor() {
    if (!openEditor_) return;
    const int row = LB_liste->currentRow();
    openEditor_(lastShownFile_.isEmpty() ? Bytes() : DataPathOf(lastShownFile_));
    if (!lastShownFile_.isEmpty()) LoadList(lastShownFile_, row);  // the editor may have changed it
}

void TF_Startwort::ConvertSelectedToAnsi() {
    for (const QString& path : SelectedFilePaths()) {
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly)) continue;
        const QByteArray bytes = in.readAll();
        in.close();
        const Bytes converted = ToAnsi(Bytes(bytes.constData(), static_cast<size_t>(bytes.size())), false);
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly)) continue;
        out.write(converted.data(), static_cast<qint64>(converted.size()));
        out.commit();
    }
    if (!lastShownFile_.isEmpty()) LoadList(lastShownFile_, LB_liste->currentRow());
}

}  // namespace radevir
