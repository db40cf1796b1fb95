// The worksheet window ("Aufgabenbrowser"): shows the sheet built from the editor's task list
// in a web view, rebuilds it when the table spacing or the self-check switch changes, opens and
// saves sheets, prints at once (printer, or PDFs into the --print-to folder) or through a print
// preview. Lives in the worksheet process only: it is the one user of the web engine. Whatever
// page it shows loads nothing from the network and reads no file outside its own folder.
#pragma once

#include <QMainWindow>
#include <QString>
#include <cstdint>

#include "editor/worksheet/worksheet_handover.h"
#include "support/random.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QWebEngineView;

namespace radevir {

class GuardedProfile;

class WorksheetWindow final : public QMainWindow {
    Q_OBJECT
  public:
    WorksheetWindow(const WorksheetHandover& handover, std::uint64_t seed, QString printTo,
                    QWidget* parent = nullptr);
    ~WorksheetWindow() override;

    // Builds the page and shows it (the first show: every heading gets its blank).
    void ShowSheet();
    // The controls, for a driver that presses them.
    int TableSpacing() const { return tableSpacing_pt_; }
    QWebEngineView* View() const { return view_; }
    // The PDF the last print went into (empty when it went to a printer).
    const QString& LastPdfFile() const { return lastPdfFile_; }

  Q_SIGNALS:
    void pageShown(bool ok);
    void printed(bool ok);

  private:
    void Rebuild();
    void SetSpacing(int spacing_pt);
    void OpenSheet();
    void SaveSheet();
    void PrintNow();
    void PrintPreview();
    void PrintOnto(QPrinter* printer);
    QString SheetStem() const;
    QString TasksFolder() const;
    void Tell(const QString& text);

    WorksheetHandover handover_;
    Random random_;
    QString printTo_;
    int tableSpacing_pt_;
    QString lastPdfFile_;
    GuardedProfile* profile_ =
        nullptr;  // the view's page lives on it: pages read their own folder only
    QWebEngineView* view_ = nullptr;
    QLineEdit* spacingEdit_ = nullptr;
    QCheckBox* selfCheck_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace radevir
