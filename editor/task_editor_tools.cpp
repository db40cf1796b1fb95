// The task editor's commands beyond editing: the task tools, the line sounds, the spelling
// check and printing.
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTextFragment>
#include <QTimer>

#include "editor/editor_print.h"
#include "editor/spelling.h"
#include "editor/task_editor_window.h"
#include "editor/task_tools.h"
#include "printing/text_printer.h"
#include "sound/sound_adapter.h"
#include "support/program_environment.h"
#include "support/shell_helpers.h"
#include "support/text_file.h"

namespace radevir {

namespace {
constexpr int kRecordRate_hz = 22050;
const QColor kFailedLineColour(255, 0, 0);
}  // namespace

std::vector<Bytes> TaskEditorWindow::Lines() const {
    std::vector<Bytes> lines;
    for (QTextBlock b = editor_->document()->begin(); b.isValid(); b = b.next())
        lines.push_back(ToCp1252(b.text()));
    return lines;
}

std::vector<QString> TaskEditorWindow::TextLines() const {
    std::vector<QString> lines;
    for (QTextBlock b = editor_->document()->begin(); b.isValid(); b = b.next())
        lines.push_back(b.text());
    return lines;
}

void TaskEditorWindow::ReplaceLines(const std::vector<QString>& lines) {
    QTextDocument* doc = editor_->document();
    QTextCursor c(doc);
    c.beginEditBlock();
    for (int i = doc->blockCount() - 1; i >= 0; --i) {
        if (static_cast<size_t>(i) >= lines.size()) continue;
        const QTextBlock block = doc->findBlockByNumber(i);
        const LineEdit edit = DifferingPart(block.text(), lines[static_cast<size_t>(i)]);
        if (!edit.changed) continue;
        // only the part that differs is replaced, so the rest of the line keeps its look
        c.setPosition(block.position() + edit.start);
        QTextCharFormat format = c.charFormat();
        if (edit.start == 0 && !block.begin().atEnd())
            format = block.begin().fragment().charFormat();
        c.setPosition(block.position() + edit.start + edit.removed, QTextCursor::KeepAnchor);
        c.insertText(edit.inserted, format);
    }
    c.endEditBlock();
}

void TaskEditorWindow::SelectLine(int index) {
    const QTextBlock block = editor_->document()->findBlockByNumber(index);
    if (!block.isValid()) return;
    QTextCursor c(block);
    c.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
    editor_->setTextCursor(c);
}

void TaskEditorWindow::ClearRedMark(int index) {
    const QTextBlock block = editor_->document()->findBlockByNumber(index);
    if (!block.isValid()) return;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid() ||
            fragment.charFormat().foreground().color() != kFailedLineColour ||
            fragment.charFormat().foreground().style() == Qt::NoBrush)
            continue;
        QTextCursor c(editor_->document());
        c.setPosition(fragment.position());
        c.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
        QTextCharFormat black;
        black.setForeground(QColor(Qt::black));
        c.mergeCharFormat(black);
    }
}

// Each tool is one step of the document's own undo history: Ctrl+Z, "Rückgängig" in the menu
// and on the tool bar take it back whole.
void TaskEditorWindow::CalculateTerms() {
    std::vector<int> failed;
    std::vector<int> computed;
    const std::vector<QString> lines = radevir::CalculateTerms(TextLines(), &failed, &computed);
    QTextCursor step(editor_->document());
    step.beginEditBlock();
    ReplaceLines(lines);
    // a line marked red once and computed now is right: it must not print as a gap
    for (int index : computed) ClearRedMark(index);
    for (int index : failed) {
        SelectLine(index);
        QTextCharFormat red;
        red.setForeground(kFailedLineColour);
        editor_->textCursor().mergeCharFormat(red);
        QApplication::beep();
    }
    step.endEditBlock();
    calculateButton_->setEnabled(false);
}

void TaskEditorWindow::DeleteAfterEqual() {
    ReplaceLines(radevir::DeleteAfterEqual(TextLines()));
    calculateButton_->setEnabled(true);
}

void TaskEditorWindow::MarkResults() {
    ReplaceLines(radevir::MarkResults(TextLines()));
}

void TaskEditorWindow::DeleteDuplicates() {
    QTextDocument* doc = editor_->document();
    QTextCursor c(doc);
    c.beginEditBlock();
    for (int index : DuplicateLines(TextLines())) {  // from the last line to the first
        const QTextBlock block = doc->findBlockByNumber(index);
        if (!block.isValid()) continue;
        if (block.next().isValid()) {
            c.setPosition(block.position());
            c.setPosition(block.next().position(), QTextCursor::KeepAnchor);
        } else {
            // the last line goes with the line end before it
            c.setPosition(std::max(0, block.position() - 1));
            c.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
        }
        c.removeSelectedText();
    }
    c.endEditBlock();
}

void TaskEditorWindow::OpenLastProtocol() {
    OpenFile(env_.NativePath("Protokoll\\Lehrer.txt"));
}

void TaskEditorWindow::CreateWorksheet() {
    if (!handlers_.worksheet || !worksheetButton_->isEnabled()) return;
    WorksheetRequest request =
        PrepareWorksheetRequest(Lines(), env_.NativeFolder(),
                                fileName_.isEmpty() ? Bytes("Aufgaben.txt") : DataPath(fileName_));
    request.headings = Headings();
    // the editor stays usable while the sheet is shown; one sheet at a time
    worksheetButton_->setEnabled(false);
    handlers_.worksheet(this, request);
    worksheetButton_->setEnabled(true);
}

void TaskEditorWindow::EditHeadings() {
    const Bytes file =
        "vorlagen\\" + HeadingsFileName(fileName_.isEmpty() ? Bytes("x") : DataPath(fileName_));
    const QString path = env_.NativePath(file);
    if (!QFileInfo::exists(path) && !WriteTextFileLines(path, {"Aufgaben"})) {
        QMessageBox::warning(
            this, windowTitle(),
            QStringLiteral("Die Datei %1 konnte nicht angelegt werden.").arg(path));
        return;
    }
    // a data file is handed to the desktop's editor for it, never run
    OpenWithShell(env_, file, "");
}

void TaskEditorWindow::CheckSpellingNow() {
    std::vector<SpellingMark> marks;
    const int wrong = CheckSpelling(*editor_->document(), *spelling_, &marks);
    // the marks lie over the text: checking is no change of it (nothing to save, nothing to undo)
    QList<QTextEdit::ExtraSelection> selections;
    for (const SpellingMark& mark : marks) {
        QTextEdit::ExtraSelection selection;
        selection.cursor = QTextCursor(editor_->document());
        selection.cursor.setPosition(mark.start);
        selection.cursor.setPosition(mark.start + mark.length, QTextCursor::KeepAnchor);
        selection.format.setForeground(QColor(128, 0, 0));
        if (mark.doubleBlank) selection.format.setFontUnderline(true);
        selections << selection;
    }
    editor_->setExtraSelections(selections);
    if (wrong < 0) {
        statusBar()->showMessage(
            QStringLiteral("Kein deutsches Wörterbuch für die Rechtschreibprüfung installiert."),
            5000);
    } else {
        statusBar()->showMessage(
            wrong == 0 ? QStringLiteral("Keine Fehler gefunden.")
                       : QStringLiteral("%1 Wörter unbekannt (dunkelrot).").arg(wrong),
            5000);
    }
}

// ---------------------------------------------------------------------------------------------
// Printing

void TaskEditorWindow::EditPrintOptions() {
    PrintOptionsDialog dialog(this);
    dialog.SetOptions(printOptions_);
    if (dialog.exec() != QDialog::Accepted) return;
    printOptions_ = dialog.Options();
    QSaveFile file(env_.NativePath(kPrintOptionsFile));
    const QByteArray bytes = WritePrintOptions(printOptions_);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        QMessageBox::warning(
            this, windowTitle(),
            QStringLiteral("Die Druckeinstellungen konnten nicht gespeichert werden."));
}

QString TaskEditorWindow::Print() {
    QPrinter printer(QPrinter::HighResolution);
    const QString stem =
        fileName_.isEmpty() ? QStringLiteral("Unbenannt") : QFileInfo(fileName_).completeBaseName();
    printer.setDocName(stem);
    PreparedPrinter prepared;
    if (printToFolder_.isEmpty() && !QPrinterInfo::availablePrinters().isEmpty()) {
        printer.setCopyCount(1);
        printer.setCollateCopies(true);
        QPrintDialog dialog(&printer, this);
        if (dialog.exec() != QDialog::Accepted) return {};
        prepared.ready = true;
    } else {
        prepared = PreparePrinter(printer, {printToFolder_, {}}, stem);
        if (!prepared.ready) return {};
    }
    printer.setFullPage(true);  // the margins are the editor's own inch on every side
    const double editorWidth_in =
        editor_->viewport()->width() / static_cast<double>(editor_->logicalDpiX());
    const int copies = printer.supportsMultipleCopies() ? 1 : printer.copyCount();
    PrintEditorDocument(*editor_->document(), printOptions_, editorWidth_in, printer, copies,
                        QDate::currentDate());
    if (prepared.noPrinter) ShowPdfInsteadOfPrinter(this, prepared.pdfFile);
    lastPdf_ = prepared.pdfFile;
    return prepared.pdfFile;
}

// ---------------------------------------------------------------------------------------------
// Sounds

QString TaskEditorWindow::LineSoundFile() const {
    const Bytes name = LineSoundFileName(ToCp1252(editor_->textCursor().block().text()));
    if (name.empty()) return {};
    const QString file =
        QDir::cleanPath(env_.NativePath(ListSoundFolder(RelativeListPath()) + "\\" + name));
    // every recording stays under the sounds folder, whatever the list's or the line's name
    if (!file.startsWith(QDir::cleanPath(env_.NativePath("Sounds")) + '/')) return {};
    return file;
}

void TaskEditorWindow::PlayLineSound() {
    if (!sound_) return;
    QTextCursor c = editor_->textCursor();
    c.select(QTextCursor::BlockUnderCursor);
    const QTextBlock block = c.block();
    SelectLine(block.blockNumber());
    sound_->SpeakWordSounds(ToCp1252(block.text()), ListSoundName(RelativeListPath()),
                            env_.NativePath("sounds"));
    QTextCursor clear = editor_->textCursor();
    clear.clearSelection();
    editor_->setTextCursor(clear);
}

void TaskEditorWindow::Wait_ms(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void TaskEditorWindow::TestSounds() {
    if (!sound_ || soundTestRunning_) return;
    soundTestRunning_ = true;
    stopSoundTest_ = false;
    int spoken = 0;
    for (QTextBlock block = editor_->textCursor().block(); block.isValid() && !stopSoundTest_;
         block = block.next()) {
        const QString text = block.text();
        if (text.isEmpty() || text == QString(kParagraphMark) || text == QStringLiteral(" "))
            continue;
        SelectLine(block.blockNumber());
        sound_->SpeakWordSoundsAndWait(ToCp1252(text), ListSoundName(RelativeListPath()),
                                       env_.NativePath("sounds"));
        if (++spoken % 5 == 0) {
            for (int i = 0; i < 5 && !stopSoundTest_; ++i) {
                QScrollBar* bar = editor_->verticalScrollBar();
                bar->setValue(bar->value() + bar->singleStep());
                Wait_ms(100);
            }
        }
        if (!stopSoundTest_) Wait_ms(200);
    }
    soundTestRunning_ = false;
}

void TaskEditorWindow::RecordLineSound() {
    if (!sound_ || !handlers_.recorder) return;
    const QString wave = LineSoundFile();
    if (wave.isEmpty()) {
        statusBar()->showMessage(QStringLiteral("Diese Zeile hat keinen Text für einen Sound."),
                                 5000);
        return;
    }
    if (!QFileInfo::exists(wave)) {
        const QString question = QStringLiteral(
                                     "Wenn Sie fortfahren, steht eine bereits vorhandene "
                                     "Soundausgabe dieser Zeile dem Programm "
                                     "solange nicht mehr zur Verfügung, \r\nbis Sie folgende Datei "
                                     "wieder löschen! \r\n\r\n") +
                                 QDir::toNativeSeparators(wave) +
                                 QStringLiteral("\r\n\r\nMöchten Sie diese Datei jetzt aufnehmen?");
        const auto answer = QMessageBox::question(
            this, QStringLiteral(" Neuen Sound aufnehmen  (Achtung Warnung) "), question,
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer != QMessageBox::Yes) return;
        QDir().mkpath(QFileInfo(wave).absolutePath());
        if (!sound_->Wave().CreateEmptyWave(ToCp1252(wave), kRecordRate_hz, false)) {
            QMessageBox::warning(
                this, windowTitle(),
                QStringLiteral("Die Datei %1 konnte nicht angelegt werden.").arg(wave));
            return;
        }
    }
    // the recorder one text line below the caret, or above the line when that is low on the screen
    const QRect caret = editor_->cursorRect();
    QPoint where =
        editor_->viewport()->mapToGlobal(QPoint(caret.left(), caret.bottom() + caret.height()));
    const QScreen* screen = this->screen();
    if (screen && where.y() > screen->geometry().height() * 4 / 5)
        where =
            editor_->viewport()->mapToGlobal(QPoint(caret.left(), caret.top() - caret.height()));
    handlers_.recorder(this, wave, where);
}

}  // namespace radevir
