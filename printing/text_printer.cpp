#include "printing/text_printer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QTextEdit>

#include "printing/fractions.h"
#include "printing/page_layout.h"
#include "printing/picture_print.h"
#include "support/program_environment.h"

namespace radevir {
namespace {

constexpr int kDefaultPrinterIndex = -1;
constexpr int kMaxNameTries = 10000;
// Characters, not bytes: with the " (n).pdf" the name stays far below the 255 bytes of a name.
constexpr int kLongestStem = 80;

void SetUpPdf(QPrinter& printer, const QString& file) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

}  // namespace

QString FreePdfFileName(const QString& folder, const QString& stem) {
    const QString base = folder + '/' + (stem.isEmpty() ? QStringLiteral("Ausdruck") : stem);
    QString name = base + ".pdf";
    for (int n = 2; QFileInfo::exists(name) && n < kMaxNameTries; ++n)
        name = base + " (" + QString::number(n) + ").pdf";
    return name;
}

QString DatedPdfStem(const QDateTime& when) {
    return QStringLiteral("Radevir Ausdruck ") +
           when.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
}

QString SafePdfStem(const QString& name) {
    static const QString kRefused = QStringLiteral("/\\:*?\"<>|");
    QString out;
    for (const QChar c : name) {
        const bool control =
            c.unicode() < 0x20 || c.unicode() == 0x7F || c.category() == QChar::Other_Control;
        out += control || kRefused.contains(c) ? QChar('_') : c;
    }
    // no hidden file, no "..", no name a blank at the end makes look alike another
    const auto trimmable = [](QChar c) { return c == QChar('.') || c.isSpace(); };
    while (!out.isEmpty() && trimmable(out.front())) out.remove(0, 1);
    out.truncate(kLongestStem);
    while (!out.isEmpty() && trimmable(out.back())) out.chop(1);
    return out;
}

PreparedPrinter PreparePrinter(QPrinter& printer, const PrintDestination& destination,
                               const QString& pdfStem, const QString& documentsFolder) {
    PreparedPrinter out;
    if (!destination.printToFolder.isEmpty()) {
        if (!QDir().mkpath(destination.printToFolder)) return out;
        out.pdfFile = FreePdfFileName(destination.printToFolder, pdfStem);
        SetUpPdf(printer, out.pdfFile);
        out.ready = true;
        return out;
    }
    const QPrinterInfo chosen = destination.printerName.isEmpty()
                                    ? QPrinterInfo::defaultPrinter()
                                    : QPrinterInfo::printerInfo(destination.printerName);
    if (!chosen.isNull()) {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(chosen.printerName());
        out.ready = printer.isValid();
        return out;
    }
    // No printer: the teacher still gets the page, as a PDF in the documents folder.
    QString folder = documentsFolder.isEmpty()
                         ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                         : documentsFolder;
    if (folder.isEmpty()) folder = QDir::homePath();
    if (!QDir().mkpath(folder)) return out;
    out.pdfFile = FreePdfFileName(
        folder, pdfStem.isEmpty() ? DatedPdfStem(QDateTime::currentDateTime()) : pdfStem);
    out.noPrinter = true;
    SetUpPdf(printer, out.pdfFile);
    out.ready = true;
    return out;
}

void ShowPdfInsteadOfPrinter(QWidget* parent, const QString& pdfFile) {
    QMessageBox::information(parent, QStringLiteral("Drucken"),
                             QStringLiteral("Es ist kein Drucker eingerichtet.\n"
                                            "Der Ausdruck wurde als PDF-Datei gespeichert:\n") +
                                 QDir::toNativeSeparators(pdfFile));
}

bool PrintPrinterText(const std::optional<Bytes>& textSource, const QString& file, bool convert,
                      QPrinter& printer) {
    std::vector<Bytes> lines;
    if (!LoadPrinterText(textSource, file, lines, convert)) return false;
    const std::vector<StyledLine> styled = ParseEscapes(lines);
    if (styled.empty()) return false;
    return PrintStyledLines(printer, styled) > 0;
}

void RenderToRichEdit(const std::optional<Bytes>& textSource, const QString& heading,
                      const QString& file, QTextEdit& edit, bool convert) {
    std::vector<Bytes> lines;
    if (!LoadPrinterText(textSource, file, lines, convert)) lines.clear();
    RenderStyledLines(ParseEscapes(lines), heading, edit);
}

TextPrinter::TextPrinter(const ProgramEnvironment& env, QString printToFolder,
                         QWidget* messageParent)
    : env_(env), printToFolder_(std::move(printToFolder)), messageParent_(messageParent) {}

void TextPrinter::PrintTextFile(const Bytes& file, bool convert, int printerIndex,
                                const Bytes& documentName) {
    lastPdfFile_.clear();
    lastJobCancelled_ = false;
    if (printerIndex == kDefaultPrinterIndex) {
        printerName_.clear();
    } else if (printerIndex >= 0) {
        const QStringList names = QPrinterInfo::availablePrinterNames();
        if (printerIndex < names.size()) printerName_ = names[printerIndex];
    }
    const QString nativeFile = env_.NativePath(file);
    if (IsPicturePrintName(FromCp1252(file))) {
        PrintPicture(IsClipboardPrintName(FromCp1252(file)) ? FromCp1252(file) : nativeFile);
        return;
    }
    std::vector<Bytes> lines;
    if (!LoadPrinterText(std::nullopt, nativeFile, lines, convert)) return;
    const std::vector<StyledLine> styled = ParseEscapes(lines);
    if (styled.empty()) return;
    EnsureFractionFont(env_.NativePath(kFractionFontFile));
    // "Zeugnis Lea 2026-12-11.pdf" rather than a folder of "LPTB (n).pdf"
    const QString named = SafePdfStem(FromCp1252(documentName));
    RunJob(named.isEmpty() ? QFileInfo(nativeFile).fileName() : named,
           named.isEmpty() ? QFileInfo(nativeFile).completeBaseName() : named,
           [&styled](QPrinter& printer, PrintProgress& progress) {
               return PrintStyledLines(printer, styled, &progress);
           });
}

bool TextPrinter::PrintPicture(const QString& nativeFileOrClipboard) {
    lastPdfFile_.clear();
    lastJobCancelled_ = false;
    const bool clipboard = IsClipboardPrintName(nativeFileOrClipboard);
    const QImage picture =
        clipboard ? ClipboardPictureForPrinting() : PictureFileForPrinting(nativeFileOrClipboard);
    if (picture.isNull()) return false;
    const QString name = clipboard ? QStringLiteral("Zwischenablage")
                                   : QFileInfo(nativeFileOrClipboard).completeBaseName();
    return RunJob(name, name, [&](QPrinter& printer, PrintProgress& progress) {
        return PrintPictureCopies(printer, picture, pictureCopies_, &progress);
    });
}

bool TextPrinter::RunJob(const QString& docName, const QString& pdfStem,
                         const std::function<int(QPrinter&, PrintProgress&)>& draw) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(docName);
    const PreparedPrinter prepared =
        PreparePrinter(printer, {printToFolder_, printerName_}, pdfStem, documentsFolder_);
    if (!prepared.ready) return false;
    if (monitor_) monitor_->PrintJobStarted();
    PrintProgress progress(
        [this] { return monitor_ != nullptr && monitor_->PrintCancelRequested(); });
    const int pages = draw(printer, progress);
    if (monitor_) monitor_->PrintJobEnded();
    if (progress.Cancelled()) {
        // a printer that can still take the job back is asked to; a PDF of a cancelled job is
        // removed
        printer.abort();
        if (!prepared.pdfFile.isEmpty()) QFile::remove(prepared.pdfFile);
        lastJobCancelled_ = true;
        return false;
    }
    if (pages == 0) return false;
    lastPdfFile_ = prepared.pdfFile;
    if (!prepared.noPrinter) return true;
    if (noPrinterNotice_)
        noPrinterNotice_(prepared.pdfFile);
    else
        ShowPdfInsteadOfPrinter(messageParent_, prepared.pdfFile);
    return true;
}

}  // namespace radevir
