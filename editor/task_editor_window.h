// The task editor: a rich-text main window in which teachers write task lists and other texts,
// with the task tools (results, gaps, duplicates, the last protocol, worksheets, headings), a
// sound per line (play, test, record), the spelling check and printing with header and footer.
// It is made on first use and shown modally over the program's other windows.
#pragma once

#include <QMainWindow>
#include <QPoint>
#include <functional>
#include <memory>
#include <vector>

#include "editor/editor_files.h"
#include "editor/print_options.h"
#include "editor/worksheet_request.h"
#include "support/codepage.h"

class QAction;
class QComboBox;
class QFontComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTextCharFormat;
class QTextDocument;
class QTextEdit;

namespace radevir {

class IndentRuler;
class ProgramEnvironment;
class SoundAdapter;
class SpellChecker;
class GapHighlighter;

// What the editor hands on to other parts of the program; each is optional (its command is
// disabled without it).
struct TaskEditorHandlers {
    // "Aufgabenblatt erstellen": builds and shows the worksheet (modally); false when it failed.
    std::function<bool(QWidget*, const WorksheetRequest&)> worksheet;
    // "Sound aufnehmen": records into the wave file (a native path), the window placed at `where`.
    std::function<bool(QWidget*, const QString&, const QPoint&)> recorder;
    // "Allgemeines zur Bedienung": the help at a topic.
    std::function<void(const Bytes&)> help;
};

class TaskEditorWindow : public QMainWindow {
    Q_OBJECT
  public:
    // `sound` may be null (no line sounds); `printToFolder` sends prints into PDFs there.
    TaskEditorWindow(const ProgramEnvironment& env, SoundAdapter* sound, QString printToFolder,
                     TaskEditorHandlers handlers = {}, QWidget* parent = nullptr);
    ~TaskEditorWindow() override;

    // The editor's font (the console's mathematics font at its editor size).
    void SetEditorFont(const QString& family, int pointSize);
    // An extra filter entry of the open dialog ("Beschreibung|*.ext"), the host's first filter
    // line.
    void SetOpenFilter(const QString& filter);

    // Opens `file` (a native path; empty: "Diktat 1.txt" in the program folder when it exists)
    // and shows the window modally until it is closed.
    void ExecOn(const QString& file);
    // Opens a file as the edited file (asks about unsaved changes first unless `ask` is false);
    // false when the user cancelled or the file could not be read in full (the document shown
    // then stays as it was, under its name).
    bool OpenFile(const QString& path, bool ask = true, bool fromRecentMenu = false);
    // Saves to the current name (Save as for an unnamed or missing file); false when not saved.
    bool Save();
    bool SaveAs(const QString& path);  // without a dialog
    // The folder and name "Speichern unter" starts with: the edited file; for an unnamed text
    // "Diktat 1.txt" in the folder of the list last opened.
    QString SaveAsProposal() const;
    void NewFile();

    // The task tools, as the buttons run them.
    void CalculateTerms();
    void DeleteAfterEqual();
    void DeleteDuplicates();
    void MarkResults();
    void OpenLastProtocol();
    void CreateWorksheet();
    void EditHeadings();
    void CheckSpellingNow();
    // Prints (a dialog unless prints go into the --print-to folder); the PDF made, if any.
    QString Print();
    void EditPrintOptions();
    void PlayLineSound();
    void TestSounds();
    void RecordLineSound();

    QTextEdit& Editor() { return *editor_; }
    const QString& FileName() const { return fileName_; }
    bool Modified() const;
    const PrintOptions& CurrentPrintOptions() const { return printOptions_; }
    const std::vector<QString>& RecentFiles() const { return recentFiles_; }
    QStringList Headings() const;
    QString StatusPosition() const;
    QString StatusModified() const;
    // The wave file that records the caret's line (native path; empty for a line without a name).
    QString LineSoundFile() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildActions();
    void BuildMenus();
    void BuildToolBars();
    QWidget* BuildToolPanel();
    void UpdateStatus();
    void UpdateCaption();
    void UpdateActions();
    void SetFileName(const QString& path);
    bool AskToSave();  // false: cancelled
    bool SaveDialog();
    bool WriteFile(const QString& path);
    // The whole file (none for an absent one); false, after saying why, when it is there but
    // cannot be read in full.
    bool ReadWholeFile(const QString& path, QByteArray& bytes);
    // Shows a file's bytes as the document (rich text by its name), with an empty undo history.
    void ShowContent(const QString& path, const QByteArray& bytes);
    // Saving over a rich-text file whose reading dropped pictures, tables and the like asks first.
    enum class OverwriteAnswer { Overwrite, SaveElsewhere, Cancel };
    OverwriteAnswer AskBeforeOverwriting(const QString& path);
    static bool SameFile(const QString& a, const QString& b);
    void LoadHeadings();
    void LoadRecentFiles();
    void SaveRecentFiles() const;
    void RebuildRecentMenu();
    std::vector<Bytes> Lines() const;  // the lines in the code page (for the worksheet)
    std::vector<QString> TextLines() const;
    // Replaces the parts of lines that differ (from the last line to the first); the rest of a
    // line keeps its format, a line that does not differ is not touched.
    void ReplaceLines(const std::vector<QString>& lines);
    void SelectLine(int index);
    void ClearRedMark(int index);
    Bytes RelativeListPath() const;  // the edited file relative to the program folder
    Bytes DataPath(const QString& nativePath) const;
    void MergeSelection(const QTextCharFormat& format);
    void Wait_ms(int ms);

    const ProgramEnvironment& env_;
    SoundAdapter* sound_ = nullptr;
    QString printToFolder_;
    TaskEditorHandlers handlers_;
    QString fileName_;
    PlainTextLayout layout_;
    QString droppedOnRead_;  // the file whose reading left out what the editor cannot show
    QString openFilter_;
    QString dialogFolder_;
    PrintOptions printOptions_;
    std::vector<QString> recentFiles_;
    std::unique_ptr<SpellChecker> spelling_;
    bool stopSoundTest_ = false;
    bool soundTestRunning_ = false;
    bool shownOnce_ = false;
    QString lastPdf_;

    QTextEdit* editor_ = nullptr;
    GapHighlighter* highlighter_ = nullptr;
    IndentRuler* ruler_ = nullptr;
    QLabel* positionPanel_ = nullptr;
    QLabel* modifiedPanel_ = nullptr;
    QFontComboBox* fontName_ = nullptr;
    QComboBox* fontSize_ = nullptr;
    QComboBox* headings_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* lastFileAction_ = nullptr;
    QAction* recentEnd_ = nullptr;
    std::vector<QAction*> recentActions_;
    QPushButton* calculateButton_ = nullptr;
    QPushButton* worksheetButton_ = nullptr;
    QAction* newAction_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* saveAsAction_ = nullptr;
    QAction* printAction_ = nullptr;
    QAction* printOptionsAction_ = nullptr;
    QAction* closeAction_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* cutAction_ = nullptr;
    QAction* copyAction_ = nullptr;
    QAction* pasteAction_ = nullptr;
    QAction* selectAllAction_ = nullptr;
    QAction* wrapAction_ = nullptr;
    QAction* boldAction_ = nullptr;
    QAction* italicAction_ = nullptr;
    QAction* underlineAction_ = nullptr;
    QAction* spellAction_ = nullptr;
    QAction* playAction_ = nullptr;
    QAction* testAction_ = nullptr;
    QAction* recordAction_ = nullptr;
    QAction* stopAction_ = nullptr;
    QAction* helpAction_ = nullptr;
};

}  // namespace radevir
