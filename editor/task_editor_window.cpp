#include "editor/task_editor_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "editor/indent_ruler.h"
#include "editor/rtf_codec.h"
#include "editor/spelling.h"
#include "editor/task_tools.h"
#include "sound/sound_adapter.h"
#include "support/program_environment.h"
#include "support/text_file.h"

namespace radevir {

// The gap texts in red: from each odd marker "·" to the next, also across lines.
class GapHighlighter : public QSyntaxHighlighter {
  public:
    explicit GapHighlighter(QTextDocument* doc) : QSyntaxHighlighter(doc) {}

  protected:
    void highlightBlock(const QString& text) override {
        bool inGap = previousBlockState() == 1;
        QTextCharFormat red;
        red.setForeground(QColor(255, 0, 0));
        int start = 0;
        for (int i = 0; i < text.size(); ++i) {
            if (text[i] != kGapMarker) continue;
            if (inGap && i > start) setFormat(start, i - start, red);
            inGap = !inGap;
            start = i + 1;
        }
        if (inGap && start < text.size())
            setFormat(start, static_cast<int>(text.size()) - start, red);
        setCurrentBlockState(inGap ? 1 : 0);
    }
};

namespace {

constexpr char kUntitled[] = "Unbenannt";
constexpr char kDefaultDocument[] = "Diktat 1.txt";
constexpr char kRecentFile[] = "Filemenu.txt";
constexpr char kOpenFilter[] = "Text Dateien (*.txt);;Rich Text(*.rtf);;Alle Dateien(*.*)";
constexpr char kSaveFilter[] = "Text Files (*.TXT);;Rich Text Files (*.RTF)";
constexpr int kDefaultEditorPoints = 16;

QString ApplicationTitle() {
    const QString name = QApplication::applicationDisplayName();
    return name.isEmpty() ? QStringLiteral("Radevir 3.3") : name;
}

// "Beschreibung|*.ext|…" (the host's filter lines) → "Beschreibung (*.ext);;…"
QString QtFilter(const QString& pipes) {
    const QStringList parts = pipes.split('|');
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString pattern = QString(parts[i + 1]).replace(';', ' ');
        entries << parts[i].trimmed() + " (" + pattern.trimmed() + ")";
    }
    return entries.join(QStringLiteral(";;"));
}

}  // namespace

TaskEditorWindow::TaskEditorWindow(const ProgramEnvironment& env, SoundAdapter* sound,
                                   QString printToFolder, TaskEditorHandlers handlers,
                                   QWidget* parent)
    : QMainWindow(parent, Qt::Window),
      env_(env),
      sound_(sound),
      printToFolder_(std::move(printToFolder)),
      handlers_(std::move(handlers)),
      spelling_(std::make_unique<SpellChecker>()) {
    setObjectName(QStringLiteral("Form_richedit"));
    setAcceptDrops(true);
    dialogFolder_ = env_.NativeFolder();

    editor_ = new QTextEdit(this);
    editor_->setObjectName(QStringLiteral("Editor"));
    editor_->setAcceptRichText(true);
    editor_->setLineWrapMode(QTextEdit::WidgetWidth);
    editor_->installEventFilter(this);
    editor_->viewport()->installEventFilter(this);
    highlighter_ = new GapHighlighter(editor_->document());
    ruler_ = new IndentRuler(*editor_, this);

    BuildActions();
    BuildMenus();
    BuildToolBars();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* splitter = new QSplitter(Qt::Horizontal, central);
    auto* textSide = new QWidget(splitter);
    auto* textLayout = new QVBoxLayout(textSide);
    textLayout->setContentsMargins(0, 0, 0, 0);
    textLayout->setSpacing(0);
    textLayout->addWidget(ruler_);
    textLayout->addWidget(editor_, 1);
    splitter->addWidget(textSide);
    splitter->addWidget(BuildToolPanel());
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setCollapsible(0, false);
    layout->addWidget(splitter, 1);
    setCentralWidget(central);

    positionPanel_ = new QLabel(this);
    positionPanel_->setObjectName(QStringLiteral("StatusPosition"));
    positionPanel_->setMinimumWidth(220);
    modifiedPanel_ = new QLabel(this);
    modifiedPanel_->setObjectName(QStringLiteral("StatusModified"));
    modifiedPanel_->setMinimumWidth(100);
    statusBar()->addWidget(positionPanel_);
    statusBar()->addWidget(modifiedPanel_);

    connect(editor_, &QTextEdit::cursorPositionChanged, this, &TaskEditorWindow::UpdateStatus);
    connect(editor_->document(), &QTextDocument::modificationChanged, this,
            [this] { UpdateStatus(); });
    connect(editor_, &QTextEdit::textChanged, this, &TaskEditorWindow::UpdateStatus);
    connect(editor_, &QTextEdit::copyAvailable, this, [this] { UpdateActions(); });
    connect(editor_, &QTextEdit::undoAvailable, this, [this] { UpdateActions(); });
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            &TaskEditorWindow::UpdateActions);
    connect(editor_, &QTextEdit::currentCharFormatChanged, this, [this](const QTextCharFormat& f) {
        const QStringList families = f.fontFamilies().toStringList();
        const QString family =
            families.isEmpty() ? editor_->document()->defaultFont().family() : families.front();
        const QSignalBlocker b1(fontName_), b2(fontSize_);
        fontName_->setCurrentFont(QFont(family));
        const double points = f.fontPointSize() > 0
                                  ? f.fontPointSize()
                                  : editor_->document()->defaultFont().pointSizeF();
        fontSize_->setEditText(QString::number(qRound(points)));
        boldAction_->setChecked(f.fontWeight() >= QFont::DemiBold);
        italicAction_->setChecked(f.fontItalic());
        underlineAction_->setChecked(f.fontUnderline());
    });

    // saved print options count from the start (not only after the dialog was opened)
    QFile options(env_.NativePath(kPrintOptionsFile));
    if (options.open(QIODevice::ReadOnly)) ReadPrintOptions(options.read(1 << 20), printOptions_);

    SetEditorFont(QStringLiteral("DARIZODEV"), kDefaultEditorPoints);
    LoadRecentFiles();
    // an unnamed text is saved where the last list was
    if (!recentFiles_.empty() && QFileInfo(QFileInfo(recentFiles_.front()).absolutePath()).isDir())
        dialogFolder_ = QFileInfo(recentFiles_.front()).absolutePath();
    NewFile();
    resize(1000, 700);
}

TaskEditorWindow::~TaskEditorWindow() = default;

// ---------------------------------------------------------------------------------------------
// Building

void TaskEditorWindow::BuildActions() {
    const auto make = [this](const QString& text, const QKeySequence& key, auto slot) {
        auto* a = new QAction(text, this);
        if (!key.isEmpty()) a->setShortcut(key);
        connect(a, &QAction::triggered, this, slot);
        addAction(a);
        return a;
    };
    // unsaved changes are asked about before the text is cleared
    newAction_ = make(QStringLiteral("&Neu"), QKeySequence::New, [this] {
        if (AskToSave()) NewFile();
    });
    openAction_ = make(QStringLiteral("Ö&ffnen..."), QKeySequence::Open, [this] {
        QFileDialog dialog(this, QStringLiteral("Öffnen"), dialogFolder_);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::ExistingFile);
        QString filters = QString::fromLatin1(kOpenFilter);
        if (!openFilter_.isEmpty()) filters = QtFilter(openFilter_) + ";;" + filters;
        dialog.setNameFilters(filters.split(QStringLiteral(";;"), Qt::SkipEmptyParts));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            OpenFile(dialog.selectedFiles().front());
    });
    saveAction_ = make(QStringLiteral("&Speichern"), QKeySequence::Save, [this] { Save(); });
    saveAsAction_ =
        make(QStringLiteral("Speichern &unter..."), QKeySequence(), [this] { SaveDialog(); });
    printAction_ = make(QStringLiteral("&Drucken..."), QKeySequence::Print, [this] { Print(); });
    printOptionsAction_ = make(QStringLiteral("Druckzusatzeinstellungen"), QKeySequence(),
                               [this] { EditPrintOptions(); });
    closeAction_ = make(QStringLiteral("&Beenden"), QKeySequence(), [this] { close(); });
    // one undo history: the tools are steps of the document's own, so this is Ctrl+Z
    undoAction_ =
        make(QStringLiteral("&Rückgängig"), QKeySequence::Undo, [this] { editor_->undo(); });
    undoAction_->setObjectName(QStringLiteral("Action_undo"));
    cutAction_ =
        make(QStringLiteral("&Ausschneiden"), QKeySequence::Cut, [this] { editor_->cut(); });
    copyAction_ =
        make(QStringLiteral("&Kopieren"), QKeySequence::Copy, [this] { editor_->copy(); });
    pasteAction_ =
        make(QStringLiteral("&Einfügen"), QKeySequence::Paste, [this] { editor_->paste(); });
    selectAllAction_ = make(QStringLiteral("Alles &markieren"), QKeySequence::SelectAll,
                            [this] { editor_->selectAll(); });
    wrapAction_ =
        make(QStringLiteral("Zeilenumbruch automatisch"), QKeySequence(), [this](bool on) {
            editor_->setLineWrapMode(on ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
            ruler_->update();
        });
    wrapAction_->setCheckable(true);
    wrapAction_->setChecked(true);
    boldAction_ = make(QStringLiteral("F"), QKeySequence::Bold, [this](bool on) {
        QTextCharFormat f;
        f.setFontWeight(on ? QFont::Bold : QFont::Normal);
        MergeSelection(f);
    });
    italicAction_ = make(QStringLiteral("K"), QKeySequence::Italic, [this](bool on) {
        QTextCharFormat f;
        f.setFontItalic(on);
        MergeSelection(f);
    });
    underlineAction_ = make(QStringLiteral("U"), QKeySequence::Underline, [this](bool on) {
        QTextCharFormat f;
        f.setFontUnderline(on);
        MergeSelection(f);
    });
    for (QAction* a : {boldAction_, italicAction_, underlineAction_}) a->setCheckable(true);
    QFont bold = boldAction_->font();
    bold.setBold(true);
    boldAction_->setFont(bold);
    QFont italic = italicAction_->font();
    italic.setItalic(true);
    italicAction_->setFont(italic);
    QFont underline = underlineAction_->font();
    underline.setUnderline(true);
    underlineAction_->setFont(underline);
    spellAction_ = make(QStringLiteral("Rechtschreibprüfung"), QKeySequence(Qt::Key_F7),
                        [this] { CheckSpellingNow(); });
    playAction_ = make(QStringLiteral("Sound dieser Zeile abspielen"), QKeySequence(Qt::Key_F4),
                       [this] { PlayLineSound(); });
    testAction_ = make(QStringLiteral("Sounds testen"), QKeySequence(), [this] { TestSounds(); });
    recordAction_ =
        make(QStringLiteral("Sound aufnehmen"), QKeySequence(), [this] { RecordLineSound(); });
    stopAction_ = make(QStringLiteral("Sounds anhalten"), QKeySequence(Qt::Key_F5), [this] {
        if (sound_) sound_->StopAll();
    });
    helpAction_ = make(QStringLiteral("Allgemeines zur Bedienung"), QKeySequence(), [this] {
        if (handlers_.help) handlers_.help("index");
    });
    for (QAction* a : {playAction_, testAction_, stopAction_}) a->setEnabled(sound_ != nullptr);
    recordAction_->setEnabled(sound_ != nullptr && static_cast<bool>(handlers_.recorder));
    helpAction_->setEnabled(static_cast<bool>(handlers_.help));
}

void TaskEditorWindow::BuildMenus() {
    fileMenu_ = menuBar()->addMenu(QStringLiteral("&Datei"));
    // eight items before the recent files and two after them (the rule of 24 menu items)
    fileMenu_->addAction(newAction_);
    fileMenu_->addAction(openAction_);
    fileMenu_->addAction(saveAction_);
    fileMenu_->addAction(saveAsAction_);
    fileMenu_->addSeparator();
    fileMenu_->addAction(printAction_);
    fileMenu_->addAction(printOptionsAction_);
    fileMenu_->addSeparator();
    lastFileAction_ = fileMenu_->addAction(QString());
    lastFileAction_->setObjectName(QStringLiteral("M_lastfile"));
    lastFileAction_->setVisible(false);
    connect(lastFileAction_, &QAction::triggered, this, [this] {
        if (!recentFiles_.empty()) OpenFile(recentFiles_.front(), true, true);
    });
    recentEnd_ = fileMenu_->addSeparator();
    fileMenu_->addAction(closeAction_);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Bearbeiten"));
    for (QAction* a : {undoAction_, cutAction_, copyAction_, pasteAction_, selectAllAction_})
        edit->addAction(a);
    edit->addSeparator();
    edit->addAction(wrapAction_);
    edit->addAction(spellAction_);
    QMenu* sounds = menuBar()->addMenu(QStringLiteral("&Sound"));
    for (QAction* a : {playAction_, testAction_, recordAction_, stopAction_}) sounds->addAction(a);
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Hilfe"));
    help->addAction(helpAction_);
}

void TaskEditorWindow::BuildToolBars() {
    QToolBar* file = addToolBar(QStringLiteral("Datei"));
    file->setObjectName(QStringLiteral("ToolBar_file"));
    for (QAction* a : {newAction_, openAction_, saveAction_, printAction_, printOptionsAction_})
        file->addAction(a);
    file->addSeparator();
    for (QAction* a : {undoAction_, cutAction_, copyAction_, pasteAction_}) file->addAction(a);
    addToolBarBreak();
    QToolBar* format = addToolBar(QStringLiteral("Format"));
    format->setObjectName(QStringLiteral("ToolBar_format"));
    fontName_ = new QFontComboBox(format);
    fontName_->setObjectName(QStringLiteral("FontName"));
    fontName_->setMaximumWidth(220);
    fontSize_ = new QComboBox(format);
    fontSize_->setObjectName(QStringLiteral("FontSize"));
    fontSize_->setEditable(true);
    for (int s : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 28, 32, 36, 48, 72})
        fontSize_->addItem(QString::number(s));
    fontSize_->setMinimumContentsLength(3);
    format->addWidget(fontName_);
    format->addWidget(fontSize_);
    connect(fontName_, &QFontComboBox::currentFontChanged, this, [this](const QFont& font) {
        QTextCharFormat f;
        f.setFontFamilies({font.family()});
        MergeSelection(f);
    });
    connect(fontSize_, &QComboBox::textActivated, this, [this](const QString& text) {
        bool ok = false;
        const double points = text.toDouble(&ok);
        if (!ok || points < 1 || points > 400) return;
        QTextCharFormat f;
        f.setFontPointSize(points);
        MergeSelection(f);
    });
    format->addSeparator();
    for (QAction* a : {boldAction_, italicAction_, underlineAction_}) format->addAction(a);
}

QWidget* TaskEditorWindow::BuildToolPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel_tools"));
    auto* layout = new QVBoxLayout(panel);
    const auto button = [&](const QString& name, const QString& text, auto slot) {
        auto* b = new QPushButton(text, panel);
        b->setObjectName(name);
        b->setFocusPolicy(Qt::NoFocus);  // the caret stays in the text
        connect(b, &QPushButton::clicked, this, slot);
        layout->addWidget(b);
        return b;
    };
    calculateButton_ = button(QStringLiteral("Button_calculateterms"),
                              QStringLiteral("Aufgaben ausrechnen"), [this] { CalculateTerms(); });
    button(QStringLiteral("Button_deleteafterequal"),
           QStringLiteral("Alles hinter \"=\" entfernen"), [this] { DeleteAfterEqual(); });
    button(QStringLiteral("Button_deleteduplicate"), QStringLiteral("Doppelte Aufgaben entfernen"),
           [this] { DeleteDuplicates(); });
    button(QStringLiteral("Button_ergebnisunsichtbar"), QStringLiteral("Ergebnis kennzeichnen"),
           [this] { MarkResults(); });
    layout->addSpacing(12);
    button(QStringLiteral("Button_protokoll"), QStringLiteral("Protokoll der letzten Übung"),
           [this] { OpenLastProtocol(); });
    layout->addSpacing(12);
    auto* headingLabel = new QLabel(QStringLiteral("Überschrift des Aufgabenblatts:"), panel);
    layout->addWidget(headingLabel);
    headings_ = new QComboBox(panel);
    headings_->setObjectName(QStringLiteral("Ed_topline"));
    headings_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    headings_->setMinimumContentsLength(16);
    connect(headings_, &QComboBox::activated, this, [this](int index) {
        // the chosen heading moves to the top of the list
        if (index <= 0) return;
        const QString text = headings_->itemText(index);
        headings_->removeItem(index);
        headings_->insertItem(0, text);
        headings_->setCurrentIndex(0);
    });
    layout->addWidget(headings_);
    worksheetButton_ =
        button(QStringLiteral("Button_Aufgabenblatt"), QStringLiteral("Aufgabenblatt erstellen"),
               [this] { CreateWorksheet(); });
    worksheetButton_->setEnabled(static_cast<bool>(handlers_.worksheet));
    button(QStringLiteral("Bu_notepad"), QStringLiteral("Aufgabenüberschriften bearbeiten"),
           [this] { EditHeadings(); });
    layout->addSpacing(12);
    for (QAction* a : {playAction_, testAction_, recordAction_}) {
        auto* b = new QPushButton(a->text(), panel);
        b->setFocusPolicy(Qt::NoFocus);
        b->setEnabled(a->isEnabled());
        connect(b, &QPushButton::clicked, a, &QAction::trigger);
        layout->addWidget(b);
    }
    layout->addSpacing(12);
    auto* spell = new QPushButton(spellAction_->text(), panel);
    spell->setFocusPolicy(Qt::NoFocus);
    connect(spell, &QPushButton::clicked, spellAction_, &QAction::trigger);
    layout->addWidget(spell);
    layout->addStretch(1);
    return panel;
}

void TaskEditorWindow::SetEditorFont(const QString& family, int pointSize) {
    QFont font(family);
    font.setPointSize(std::clamp(pointSize, 6, 96));
    editor_->document()->setDefaultFont(font);
    QTextCharFormat f;
    f.setForeground(QColor(Qt::black));
    editor_->setCurrentCharFormat(f);
    editor_->setTextColor(Qt::black);
}

void TaskEditorWindow::SetOpenFilter(const QString& filter) {
    openFilter_ = filter;
}

// ---------------------------------------------------------------------------------------------
// State shown

bool TaskEditorWindow::Modified() const {
    return editor_->document()->isModified();
}

QString TaskEditorWindow::StatusPosition() const {
    const QTextCursor c = editor_->textCursor();
    return QString::asprintf("Zeile: %3d   Position: %3d", c.blockNumber() + 1,
                             c.positionInBlock() + 1);
}

QString TaskEditorWindow::StatusModified() const {
    if (Modified()) return QStringLiteral("geändert");
    return editor_->document()->isEmpty() ? QStringLiteral("neu") : QStringLiteral("gespeichert");
}

void TaskEditorWindow::UpdateStatus() {
    positionPanel_->setText(StatusPosition());
    modifiedPanel_->setText(StatusModified());
    UpdateActions();
}

void TaskEditorWindow::UpdateCaption() {
    const QString name =
        fileName_.isEmpty() ? QString::fromLatin1(kUntitled) : QFileInfo(fileName_).fileName();
    setWindowTitle(QStringLiteral("%1 - %2").arg(name, ApplicationTitle()));
}

void TaskEditorWindow::UpdateActions() {
    const bool selection = editor_->textCursor().hasSelection();
    cutAction_->setEnabled(selection);
    copyAction_->setEnabled(selection);
    pasteAction_->setEnabled(editor_->canPaste());
    undoAction_->setEnabled(editor_->document()->isUndoAvailable());
}

void TaskEditorWindow::MergeSelection(const QTextCharFormat& format) {
    QTextCursor c = editor_->textCursor();
    if (!c.hasSelection()) c.select(QTextCursor::WordUnderCursor);
    c.mergeCharFormat(format);
    editor_->mergeCurrentCharFormat(format);
}

QStringList TaskEditorWindow::Headings() const {
    QStringList out;
    for (int i = 0; i < headings_->count(); ++i) out << headings_->itemText(i);
    return out;
}

// ---------------------------------------------------------------------------------------------
// Files

Bytes TaskEditorWindow::DataPath(const QString& nativePath) const {
    QString folder = env_.NativeFolder();
    if (!folder.endsWith('/')) folder += '/';
    if (nativePath.startsWith(folder)) {
        QString relative = nativePath.mid(folder.size());
        relative.replace('/', '\\');
        return env_.ProgramFolder() + ToCp1252(relative);
    }
    return ToCp1252(nativePath);
}

Bytes TaskEditorWindow::RelativeListPath() const {
    if (fileName_.isEmpty()) return kUntitled;
    return MakeRelativePath(env_.ProgramFolder(), DataPath(fileName_));
}

void TaskEditorWindow::SetFileName(const QString& path) {
    fileName_ = path;
    // the caption printed above the text follows the edited file
    printOptions_.captionText = FromCp1252(RelativeListPath());
    UpdateCaption();
}

void TaskEditorWindow::NewFile() {
    SetFileName(QString());
    ShowContent(QString(), QByteArray());
    editor_->setTextColor(Qt::black);
    editor_->document()->setModified(false);
    LoadHeadings();
    UpdateStatus();
}

bool TaskEditorWindow::AskToSave() {
    if (!Modified()) return true;
    const QString name = fileName_.isEmpty() ? QString::fromLatin1(kUntitled) : fileName_;
    const auto answer = QMessageBox::question(
        this, ApplicationTitle(), QStringLiteral("Änderungen an %1 speichern?").arg(name),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::Yes) return Save();
    return true;
}

bool TaskEditorWindow::OpenFile(const QString& path, bool ask, bool fromRecentMenu) {
    if (ask && !AskToSave()) return false;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QByteArray bytes;
    // A file that was not read in full is never bound: Save would write less over it. The
    // document shown stays as it was.
    if (!ReadWholeFile(absolute, bytes)) return false;
    dialogFolder_ = QFileInfo(absolute).absolutePath();
    ShowContent(absolute, bytes);
    SetFileName(absolute);
    editor_->setFocus();
    editor_->document()->setModified(false);
    if (!fromRecentMenu) {
        AddRecentFile(recentFiles_, absolute);
        RebuildRecentMenu();
    }
    LoadHeadings();
    UpdateStatus();
    return true;
}

bool TaskEditorWindow::ReadWholeFile(const QString& path, QByteArray& bytes) {
    bytes.clear();
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) return true;  // an absent file gives an empty text
    const auto refuse = [this, &path](const QString& text) {
        QMessageBox::warning(this, ApplicationTitle(), text.arg(QDir::toNativeSeparators(path)));
        return false;
    };
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return refuse(QStringLiteral("Die Datei %1 kann nicht gelesen werden."));
    if (file.size() > kMaxEditorFileBytes)
        return refuse(QStringLiteral("Die Datei %1 ist zu groß für den Editor."));
    bytes = file.read(kMaxEditorFileBytes + 1);
    if (bytes.size() > kMaxEditorFileBytes)
        return refuse(QStringLiteral("Die Datei %1 ist zu groß für den Editor."));
    if (file.error() != QFileDevice::NoError || bytes.size() != file.size())
        return refuse(QStringLiteral("Die Datei %1 kann nicht gelesen werden."));
    // a word processor's own binary format is neither rich text nor text
    if (IsRichTextName(path) && !LooksLikeRtf(bytes) && bytes.contains('\0'))
        return refuse(QStringLiteral(
            "Die Datei %1 ist weder Rich Text noch Text; der Editor kann sie nicht lesen."));
    return true;
}

void TaskEditorWindow::ShowContent(const QString& path, const QByteArray& bytes) {
    QTextDocument* doc = editor_->document();
    // what a file holds is no step to undo (and the steps before belong to another text)
    doc->setUndoRedoEnabled(false);
    editor_->clear();
    layout_ = PlainTextLayout{};
    droppedOnRead_.clear();
    editor_->setExtraSelections({});  // the spelling marks belong to the text before
    if (IsRichTextName(path) && LooksLikeRtf(bytes)) {
        bool dropped = false;
        ReadRtf(bytes, *doc, &dropped);
        if (dropped) droppedOnRead_ = path;
    } else if (!bytes.isEmpty()) {
        const QString text = DecodePlainText(bytes, &layout_);
        QTextCursor c(doc);
        QTextCharFormat black;
        black.setForeground(QColor(Qt::black));
        c.insertText(text, black);
    }
    doc->setUndoRedoEnabled(true);
    editor_->moveCursor(QTextCursor::Start);
}

bool TaskEditorWindow::WriteFile(const QString& path) {
    QByteArray bytes;
    if (IsRichTextName(path)) {
        bytes = WriteRtf(*editor_->document());
    } else {
        const QString text = DocumentText(*editor_->document());
        const QString outside = FirstCharacterOutsideCodePage(text);
        if (!layout_.utf8 && !outside.isEmpty()) {
            // never a "?" in place of a teacher's letter: every reader of the program takes UTF-8
            QMessageBox::information(this, ApplicationTitle(),
                                     QStringLiteral("Der Text enthält Zeichen, die im Zeichensatz "
                                                    "Windows-1252 nicht gespeichert werden "
                                                    "können (zum Beispiel \u201E%1\u201C).\nDie "
                                                    "Datei %2 wird deshalb als UTF-8 gespeichert.")
                                         .arg(outside, QFileInfo(path).fileName()));
            layout_.utf8 = true;
            layout_.bom = true;
        }
        bytes = EncodePlainText(text, layout_);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        QMessageBox::warning(
            this, ApplicationTitle(),
            QStringLiteral("Die Datei %1 konnte nicht gespeichert werden.").arg(path));
        return false;
    }
    if (SameFile(path, droppedOnRead_)) droppedOnRead_.clear();  // the file holds what is shown now
    editor_->document()->setModified(false);
    UpdateStatus();
    return true;
}

bool TaskEditorWindow::SameFile(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty()) return false;
    const QFileInfo fa(a), fb(b);
    if (fa.exists() && fb.exists()) return fa.canonicalFilePath() == fb.canonicalFilePath();
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

TaskEditorWindow::OverwriteAnswer TaskEditorWindow::AskBeforeOverwriting(const QString& path) {
    if (!SameFile(path, droppedOnRead_)) return OverwriteAnswer::Overwrite;
    QMessageBox box(
        QMessageBox::Warning, ApplicationTitle(),
        QStringLiteral(
            "Die Datei %1 enthielt Bilder oder Tabellen, die der Editor nicht darstellen kann. "
            "Trotzdem überschreiben?")
            .arg(QFileInfo(path).fileName()),
        QMessageBox::NoButton, this);
    box.setObjectName(QStringLiteral("DroppedContentQuestion"));
    QPushButton* overwrite =
        box.addButton(QStringLiteral("Überschreiben"), QMessageBox::DestructiveRole);
    QPushButton* elsewhere =
        box.addButton(QStringLiteral("Speichern unter"), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    box.setDefaultButton(elsewhere);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == overwrite) return OverwriteAnswer::Overwrite;
    if (box.clickedButton() == elsewhere) return OverwriteAnswer::SaveElsewhere;
    return OverwriteAnswer::Cancel;
}

bool TaskEditorWindow::Save() {
    if (fileName_.isEmpty() || !QFileInfo::exists(fileName_)) return SaveDialog();
    switch (AskBeforeOverwriting(fileName_)) {
        case OverwriteAnswer::Cancel:
            return false;
        case OverwriteAnswer::SaveElsewhere:
            return SaveDialog();
        case OverwriteAnswer::Overwrite:
            break;
    }
    return WriteFile(fileName_);
}

bool TaskEditorWindow::SaveAs(const QString& path) {
    switch (AskBeforeOverwriting(path)) {
        case OverwriteAnswer::Cancel:
            return false;
        case OverwriteAnswer::SaveElsewhere:
            return SaveDialog();
        case OverwriteAnswer::Overwrite:
            break;
    }
    if (!WriteFile(path)) return false;
    SetFileName(QFileInfo(path).absoluteFilePath());
    AddRecentFile(recentFiles_, fileName_);
    RebuildRecentMenu();
    LoadHeadings();
    return true;
}

QString TaskEditorWindow::SaveAsProposal() const {
    // the edited file's own place, so that a teacher's list lands where the programs look for it
    if (!fileName_.isEmpty()) return fileName_;
    return QDir(dialogFolder_).filePath(QString::fromLatin1(kDefaultDocument));
}

bool TaskEditorWindow::SaveDialog() {
    const QFileInfo proposal(SaveAsProposal());
    QFileDialog dialog(this, QStringLiteral("Speichern unter"), proposal.absolutePath());
    dialog.setObjectName(QStringLiteral("SaveAsDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);  // asked below, with "Abbrechen"
    dialog.setNameFilters(QString::fromLatin1(kSaveFilter).split(QStringLiteral(";;")));
    if (IsRichTextName(proposal.fileName())) dialog.selectNameFilter(dialog.nameFilters().back());
    dialog.selectFile(proposal.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    QString path = dialog.selectedFiles().front();
    if (QFileInfo(path).suffix().isEmpty())
        path += dialog.selectedNameFilter().contains(QLatin1String("RTF")) ? QStringLiteral(".rtf")
                                                                           : QStringLiteral(".txt");
    if (QFileInfo::exists(path) && !SameFile(path, droppedOnRead_)) {
        const auto answer = QMessageBox::question(
            this, ApplicationTitle(), QStringLiteral("Überschreiben %1").arg(path),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer != QMessageBox::Yes) return false;
    }
    return SaveAs(path);
}

void TaskEditorWindow::LoadHeadings() {
    headings_->clear();
    std::vector<Bytes> lines;
    const Bytes file =
        "vorlagen\\" + HeadingsFileName(fileName_.isEmpty() ? Bytes("x") : DataPath(fileName_));
    if (ReadTextFileLines(env_.NativePath(file), lines, {.maxBytes = 1 << 20, .maxLines = 1000})) {
        for (const Bytes& line : lines)
            if (!line.empty()) headings_->addItem(FromCp1252(line));
    }
    if (headings_->count() == 0) headings_->addItem(QStringLiteral("Aufgaben"));
    headings_->setCurrentIndex(0);
}

void TaskEditorWindow::LoadRecentFiles() {
    std::vector<Bytes> lines;
    if (!ReadTextFileLines(env_.NativePath(kRecentFile), lines,
                           {.maxBytes = 1 << 20, .maxLines = 1000}))
        return;
    for (const Bytes& line : lines) {
        if (line.empty()) continue;
        QString path = FromCp1252(line);
        if (QFileInfo(path).isRelative()) path = env_.NativePath(line);
        AddRecentFile(recentFiles_, path);
    }
    RebuildRecentMenu();
}

void TaskEditorWindow::SaveRecentFiles() const {
    // from the bottom item to the top one, so that reading them in again keeps the order
    std::vector<Bytes> lines;
    for (auto it = recentFiles_.rbegin(); it != recentFiles_.rend(); ++it)
        lines.push_back(ToCp1252(*it));
    WriteTextFileLines(env_.NativePath(kRecentFile), lines);
}

void TaskEditorWindow::RebuildRecentMenu() {
    for (QAction* a : recentActions_) {
        fileMenu_->removeAction(a);
        a->deleteLater();
    }
    recentActions_.clear();
    lastFileAction_->setVisible(!recentFiles_.empty());
    if (recentFiles_.empty()) return;
    lastFileAction_->setText(QFileInfo(recentFiles_.front()).fileName());
    lastFileAction_->setToolTip(recentFiles_.front());
    lastFileAction_->setStatusTip(recentFiles_.front());
    for (size_t i = 1; i < recentFiles_.size(); ++i) {
        const QString path = recentFiles_[i];
        auto* a = new QAction(QFileInfo(path).fileName(), fileMenu_);
        a->setToolTip(path);
        a->setStatusTip(path);
        connect(a, &QAction::triggered, this, [this, path] { OpenFile(path, true, true); });
        fileMenu_->insertAction(recentEnd_, a);
        recentActions_.push_back(a);
    }
}

void TaskEditorWindow::ExecOn(const QString& file) {
    QString path = file;
    if (path.isEmpty()) {
        const QString fallback = env_.NativePath(kDefaultDocument);
        if (QFileInfo::exists(fallback)) path = fallback;
    }
    // a new list's name is bound too, so that saving puts it where it was meant to go
    if (!path.isEmpty()) OpenFile(path, true);
    setWindowModality(Qt::ApplicationModal);
    if (!shownOnce_) {
        // three quarters of the screen the program runs on, in its middle
        shownOnce_ = true;
        QRect area;
        if (parentWidget() != nullptr && parentWidget()->window()->isVisible()) {
            area = parentWidget()->window()->geometry();
        } else if (const QScreen* screen = this->screen()) {
            area = screen->availableGeometry();
        }
        if (area.isValid()) {
            resize(std::max(640, area.width() * 3 / 4), std::max(480, area.height() * 3 / 4));
            move(area.center() - rect().center());
        }
    }
    show();
    raise();
    activateWindow();
    editor_->setFocus();
    QEventLoop loop;
    connect(this, &TaskEditorWindow::destroyed, &loop, &QEventLoop::quit);
    while (isVisible()) loop.processEvents(QEventLoop::WaitForMoreEvents);
}

void TaskEditorWindow::closeEvent(QCloseEvent* event) {
    if (sound_) sound_->StopAll();
    stopSoundTest_ = true;
    if (!AskToSave()) {
        event->ignore();
        return;
    }
    SaveRecentFiles();
    event->accept();
}

void TaskEditorWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TaskEditorWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TaskEditorWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) return;
    event->acceptProposedAction();
    OpenFile(urls.front().toLocalFile());
}

bool TaskEditorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (soundTestRunning_ && (event->type() == QEvent::KeyPress ||
                              (event->type() == QEvent::MouseButtonPress &&
                               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton))) {
        stopSoundTest_ = true;
        return true;
    }
    if (event->type() == QEvent::KeyPress && watched == editor_) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            close();
            return true;
        }
    }
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (drop->mimeData()->hasUrls()) {
            if (event->type() == QEvent::DragEnter)
                dragEnterEvent(static_cast<QDragEnterEvent*>(event));
            else
                dropEvent(drop);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace radevir
