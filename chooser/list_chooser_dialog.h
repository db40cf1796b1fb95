// The list chooser: a folder tree, the files of the chosen folder and the numbered lines of the
// chosen file, from which the child or teacher picks the line to start with. It is the
// console's ListChooserPort; the console prepares the request and restores the screen.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "chooser/chooser_fonts.h"
#include "chooser/list_chooser_controls.h"
#include "console/list_chooser_port.h"
#include "support/codepage.h"

class QMenu;
class QTreeWidgetItem;

namespace radevir {

class FrameAnimation;
class ProgramEnvironment;
class SettingsStore;

class ListChooserDialog : public QDialog, public ListChooserPort {
    Q_OBJECT

public:
    // settings may be null: the recent lists then keep 12 entries ("Hide"/"EI_Maxmerkanzahl").
    ListChooserDialog(const ProgramEnvironment& env, const SettingsStore* settings,
                      QWidget* parent = nullptr);
    ~ListChooserDialog() override;

    // ListChooserPort: Prepare, show modally, Result.
    ListChooserResult Choose(const ListChooserRequest& request) override;

    // Takes a request the way the console hands it over; the window can then be shown.
    void Prepare(const ListChooserRequest& request);
    // What the window hands back after it was closed.
    ListChooserResult Result() const;

    // The task editor, opened modally on a file (its data path; empty when none is chosen).
    // Without one the "Editor" button stays disabled.
    void SetEditorCallback(std::function<void(const Bytes& file)> openEditor);
    // Print into PDF files in this folder instead of asking for a printer (empty: printer).
    void SetPrintToFolder(const QString& folder) { printToFolder_ = folder; }
    // Messages to the user (caption, text); a message box unless replaced.
    std::function<void(const QString& caption, const QString& text)> showMessage;

    // Window state, for the host and for tests.
    const Bytes& BaseFolder() const { return baseFolder_; }
    const Bytes& StartFolder() const { return startFolder_; }
    const Bytes& EditorFolder() const { return editorFolder_; }
    const Bytes& RecentFile() const { return recentFile_; }
    const std::vector<Bytes>& RecentList() const { return recentList_; }
    int StartIndex() const { return startIndex_; }
    int StartLine() const { return startLine_; }
    const QString& LastShownFile() const { return lastShownFile_; }
    const QString& CurrentFolder() const { return currentFolder_; }
    // The window's frame animation: sized when the window is shown, stopped when a list is
    // loaded, on OK and Cancel, and when the window closes.
    FrameAnimation& Film() { return *film_; }
    const std::vector<Bytes>& ListEntries() const { return entries_; }
    int ListColumns() const { return columns_; }
    bool EditorMode() const { return !editorFolder_.empty(); }
    // The window's controls, for tests and picture tools that drive them.
    const ListChooserControls& Controls() const { return controls_; }

    // Operations of the window.
    void LoadList(const QString& file, int startIndex);
    void SelectFile(const QString& file);
    void BuildFolderTree(const QString& root, const QString& secondRoot);
    void AcceptChoice();
    void CancelChoice();
    // Prints the list (one job); true when something was printed. With a print folder the
    // PDF's name is in LastPrintFile().
    bool PrintList();
    const QString& LastPrintFile() const { return lastPrintFile_; }
    void CopyList();
    void OpenEditor();
    // Rewrites each selected file from the DOS code page into the Windows one.
    void ConvertSelectedToAnsi();

public Q_SLOTS:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildPopupMenus();
    void ConnectButtons();
    void ConnectFolderTree();
    void ConnectFileList();
    void InstallEventFilters();
    void ApplyFonts();
    void UpdateItemHeight();
    void UpdateGrid();
    void ColourFolderTree();
    void ShowRecentNames();
    void FolderChosen();
    void FileChosen();
    void FileListActivated(QTreeWidgetItem* item);
    void ShowFilesOf(const QString& folder);
    void SelectFirstAcceptedFile();
    void SelectFirstNodeAfterRoot();
    void RecentChosen(int index);
    void FileListDoubleClicked();
    void TreeActivated();
    bool EnterPressed(QObject* watched);
    void MoveFocus(QObject* from, bool toRight);
    void ChooseFont(size_t which);
    QString RootPath() const;
    QString NativeFile(const Bytes& recentName) const;
    Bytes RecentNameOf(const QString& nativeFile) const;
    Bytes DataPathOf(const QString& nativeFile) const;
    QStringList SelectedFilePaths() const;
    QTreeWidgetItem* NodeOfFolder(const QString& folder) const;
    void SetListSelection(int row);

    const ProgramEnvironment& env_;
    const SettingsStore* settings_ = nullptr;
    ListChooserControls controls_;
    std::function<void(const Bytes&)> openEditor_;
    QString printToFolder_;
    std::unique_ptr<FrameAnimation> film_;
    QString lastPrintFile_;
    QMenu* folderTreeMenu_ = nullptr;
    QMenu* fileListMenu_ = nullptr;
    QMenu* lineListMenu_ = nullptr;

    Bytes baseFolder_ = "Material\\";
    Bytes startFolder_;
    Bytes editorFolder_;
    Bytes recentFile_ = "bgi7\\letzten.txt";
    std::vector<Bytes> recentList_;
    Bytes extensions_ = ".txt;.*";
    QStringList selectedFiles_;
    int startIndex_ = -1;
    int startLine_ = 0;
    QString lastShownFile_;
    QString currentFolder_;
    QString fileListFolder_;  // the folder the file list shows
    std::vector<Bytes> entries_;
    int columns_ = 2;
    bool requestShowsHelp_ = false;
    bool selectingFile_ = false;
    ChooserFonts fonts_;  // tree, file list, line list
};

}  // namespace radevir
