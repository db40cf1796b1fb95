// Where printed pages go, and the graphics layer's text printer. A job goes into a PDF in the
// --print-to folder when one is set, else to the chosen or default printer; with no printer
// installed it becomes a dated PDF in the user's documents folder and a message names the file.
#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

#include "graphics/graphics_ports.h"
#include "printing/printer_text.h"

class QPrinter;
class QTextEdit;
class QWidget;

namespace radevir {

class PrintProgress;
class ProgramEnvironment;

// Who shows that a job is running and can stop it (the host window's "Druck Abbruch" button).
class PrintJobMonitor {
  public:
    virtual ~PrintJobMonitor() = default;
    virtual void PrintJobStarted() = 0;
    // Asked between the lines of a running job; lets the user's click in and says whether the
    // job is to be cancelled.
    virtual bool PrintCancelRequested() = 0;
    virtual void PrintJobEnded() = 0;
};

// "stem.pdf" in `folder`, or "stem (2).pdf", … when that name is taken.
QString FreePdfFileName(const QString& folder, const QString& stem);
// The name a job without a name of its own gets in the documents folder when there is no printer.
QString DatedPdfStem(const QDateTime& when);
// A file name made from a document's name, which may hold typed text (a child's name): path
// separators, control characters and the characters FAT and NTFS folders refuse become "_",
// blanks and dots at either end go, and it is cut to a length every file system takes.
QString SafePdfStem(const QString& name);

struct PrintDestination {
    QString printToFolder;  // empty: the printer
    QString printerName;    // empty: the system's default printer
};

struct PreparedPrinter {
    bool ready = false;
    QString pdfFile;         // set when the job goes into a PDF
    bool noPrinter = false;  // the PDF stands in for a printer that is not there
};

// Sets `printer` up for one job. `pdfStem` names the PDF in the --print-to folder, and in the
// documents folder when there is no printer (empty there: a dated name). `documentsFolder` is
// where a job goes without a printer (empty: the user's documents folder).
PreparedPrinter PreparePrinter(QPrinter& printer, const PrintDestination& destination,
                               const QString& pdfStem, const QString& documentsFolder = {});

// Tells the user where a job went that no printer took.
void ShowPdfInsteadOfPrinter(QWidget* parent, const QString& pdfFile);

// Prints the printer text (from the text source or the file, a native path) as one job; false
// when there was nothing to print or the job could not start.
bool PrintPrinterText(const std::optional<Bytes>& textSource, const QString& file, bool convert,
                      QPrinter& printer);

// The editor's preview: the printer text in a text edit, the heading on top.
void RenderToRichEdit(const std::optional<Bytes>& textSource, const QString& heading,
                      const QString& file, QTextEdit& edit, bool convert);

class TextPrinter final : public TextPrinterPort {
  public:
    // `messageParent` owns the message shown when no printer is installed.
    TextPrinter(const ProgramEnvironment& env, QString printToFolder, QWidget* messageParent);

    // `file` is a data path. printerIndex -1 is the default printer, 0… the installed printers
    // in the system's order, lower values keep the printer of the last job. A PDF of the job is
    // named after `documentName` (made safe), or after the file when that is empty.
    // A name containing ".bmp" prints that picture ("Clipboard.bmp": the clipboard's) instead.
    void PrintTextFile(const Bytes& file, bool convert, int printerIndex,
                       const Bytes& documentName) override;
    // Prints the picture file (a native path) or, for a name containing "Clipboard.bmp", the
    // clipboard's picture, PictureCopies() times across the page; false when there was no
    // picture, the job could not start or it was cancelled.
    bool PrintPicture(const QString& nativeFileOrClipboard);
    void SetPictureCopies(int copies) { pictureCopies_ = copies; }
    int PictureCopies() const { return pictureCopies_; }
    // Shown while a job runs and asked whether to stop it (none: jobs run to their end).
    void SetJobMonitor(PrintJobMonitor* monitor) { monitor_ = monitor; }
    // The last job was cancelled by the user.
    bool LastJobCancelled() const { return lastJobCancelled_; }

    // The PDF the last job went into (empty when it went to a printer or nothing was printed).
    const QString& LastPdfFile() const { return lastPdfFile_; }
    // For tests: where jobs go without a printer instead of the documents folder.
    void SetDocumentsFolder(const QString& folder) { documentsFolder_ = folder; }
    // What tells the user about a PDF made for want of a printer (a message box unless replaced).
    void SetNoPrinterNotice(std::function<void(const QString& pdfFile)> notice) {
        noPrinterNotice_ = std::move(notice);
    }

  private:
    // One job into the printer or a PDF: `draw` paints it; false when nothing was printed.
    bool RunJob(const QString& docName, const QString& pdfStem,
                const std::function<int(QPrinter&, PrintProgress&)>& draw);

    const ProgramEnvironment& env_;
    QString printToFolder_;
    QWidget* messageParent_ = nullptr;
    QString printerName_;
    QString documentsFolder_;
    QString lastPdfFile_;
    std::function<void(const QString&)> noPrinterNotice_;
    int pictureCopies_ = 1;
    PrintJobMonitor* monitor_ = nullptr;
    bool lastJobCancelled_ = false;
};

}  // namespace radevir
