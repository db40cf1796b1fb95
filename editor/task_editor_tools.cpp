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
}  // namespace

std::vector<Bytes> TaskEditorWindow::Lines() const {
    std::vector<Bytes> lines;
    for (QTextBlock b = editor_->document()->begin(); b.isValid(); b = b.next()) lines.push_back(ToCp1252(b.text()));
    return lines;
}

void TaskEditorWindow::TakeUndoCopy() {
    undoCopy_.reset(editor_->document()->clone());
    UpdateActions();
}

void TaskEditorWindow::UndoTool() {
    if (!undoCopy_) {
        editor_->undo();
        return;
    }
    QTextCursor c(editor_->document());
    c.beginEditBlock();
    c.select(QTextCursor::Document);
    c.removeSelectedText();
    c.insertFragment(QTextDocumentFragment(undoCopy_.get()));
    c.endEditBlock();
    undoCopy_.reset();
    UpdateActions();
}

void TaskEditorWindow::ReplaceLines(const std::vector<Bytes>& lines) {
    QTextDocument* doc = editor_->document();
    QTextCursor c(doc);
    c.beginEditBlock();
    for (int i = doc->blockCount() - 1; i >= 0; --i) {
        const QTextBlock block = doc->findBlockByNumber(i);
        if (static_cast<size_t>(i) >= lines.size()) continue;
        const QString text = FromCp1252(lines[static_cast<size_t>(i)]);
        if (text == block.text()) continue;
        c.setPosition(block.position());
        const QTextCharFormat format = block.begin().atEnd() ? block.charFormat() : block.begin().fragment().charFormat();
        c.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
        c.insertText(text, format);
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

void TaskEditorWindow::CalculateTerms() {
    TakeUndoCopy();
    std::vector<int> failed;
    ReplaceLines(radevir::CalculateTerms(Lines(), &failed));
    for (int index : failed) {
        SelectLine(index);
        QTextCharFormat red;
        red.setForeground(QColor(255, 0, 0));
        editor_->textCursor().mergeCharFormat(red);
        QApplication::beep();
    }
    calculateButton_->setEnabled(false);
}

void TaskEditorWindow::DeleteAfterEqual() {
    TakeUndoCopy();
    ReplaceLines(radevir::DeleteAfterEqual(Lines()));
    calculateButton_->setEnabled(true);
}

void TaskEditorWindow::MarkResults() {
    TakeUndoCopy();
    ReplaceLines(radevir::MarkResults(Lines()));
}

void TaskEditorWindow::DeleteDuplicates() {
    TakeUndoCopy();
    QTextDocument* doc = editor_->document();
    QTextCursor c(doc);
    c.beginEditBlock();
    for (int index : DuplicateLines(Lines())) {  // from the last line to the first
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
    if (!handlers_.worksheet) return;
    WorksheetRequest request = PrepareWorksheetRequest(Lines(), env_.NativeFolder(),
                                                       fileName_.isEmpty() ? Bytes("Aufgaben.txt") : DataPath(fileName_));
    request.headings = Headings();
    handlers_.worksheet(this, request);
}

void TaskEditorWindow::EditHeadings() {
    const Bytes file = "vorlagen\\" + HeadingsFileName(fileName_.isEmpty() ? Bytes("x") : DataPath(fileName_));
    const QString path = env_.NativePath(file);
    if (!QFileInfo::exists(path) && !WriteTextFileLines(path, {"Aufgaben"})) {
        QMessageBox::warning(this, windowTitle(), QStringLiteral("Die Datei %1 konnte nicht angelegt werden.").arg(path));
        return;
    }
    // a data file is handed to the desktop's editor for it, never run
    OpenWithShell(env_, file, "");
}

void TaskEditorWindow::CheckSpellingNow() {
    const int wrong = CheckSpelling(*editor_->document(), *spelling_);
    if (wrong < 0) {
        statusBar()->showMessage(QStringLiteral("Kein deutsches Wörterbuch für die Rechtschreibprüfung installiert."), 5000);
    } else {
        statusBar()->showMessage(wrong == 0 ? QStringLiteral("Keine Fehler gefunden.")
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
        QMessageBox::warning(this, windowTitle(), QStringLiteral("Die Druckeinstellungen konnten nicht gespeichert werden."));
}

QString TaskEditorWindow::Print() {
    QPrinter printer(QPrinter::HighResolution);
    const QString stem = fileName_.isEmpty() ? QStringLiteral("Unbenannt") : QFileInfo(fileName_).completeBaseName();
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
    const double editorWidth_in = editor_->viewport()->width() / static_cast<double>(editor_->logicalDpiX());
    const int copies = printer.supportsMultipleCopies() ? 1 : printer.copyCount();
    PrintEditorDocument(*editor_->document(), printOptions_, editorWidth_in, printer, copies, QDate::currentDate());
    if (prepared.noPrinter) ShowPdfInsteadOfPrinter(this, prepared.pdfFile);
    lastPdf_ = prepared.pdfFile;
    return prepared.pdfFile;
}

// ---------------------------------------------------------------------------------------------
// Sounds

QString TaskEditorWindow::LineSoundFile() const {
    const Bytes name = LineSoundFileName(ToCp1252(editor_->textCursor().block().text()));
    if (name.empty()) return {};
    return env_.NativePath(ListSoundFolder(RelativeListPath()) + "\\" + name);
}

void TaskEditorWindow::PlayLineSound() {
    if (!sound_) return;
    QTextCursor c = editor_->textCursor();
    c.select(QTextCursor::BlockUnderCursor);
    const QTextBlock block = c.block();
    SelectLine(block.blockNumber());
    sound_->SpeakWordSounds(ToCp1252(block.text()), WithoutExtension(RelativeListPath()), env_.NativePath("sounds"));
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
    for (QTextBlock block = editor_->textCursor().block(); block.isValid() && !stopSoundTest_; block = block.next()) {
        const QString text = block.text();
        if (text.isEmpty() || text == QString(kParagraphMark) || text == QStringLiteral(" ")) continue;
        SelectLine(block.blockNumber());
        sound_->SpeakWordSoundsAndWait(ToCp1252(text), WithoutExtension(RelativeListPath()), env_.NativePath("sounds"));
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
        statusBar()->showMessage(QStringLiteral("Diese Zeile hat keinen Text für einen Sound."), 5000);
        return;
    }
    if (!QFileInfo::exists(wave)) {
        const QString question =
            QStringLiteral("Wenn Sie fortfahren, steht eine bereits vorhandene Soundausgabe dieser Zeile dem Programm "
                           "solange nicht mehr zur Verfügung, \r\nbis Sie folgende Datei wieder löschen! \r\n\r\n") +
            QDir::toNativeSeparators(wave) + QStringLiteral("\r\n\r\nMöchten Sie diese Datei jetzt aufnehmen?");
        const auto answer = QMessageBox::question(this, QStringLiteral(" Neuen Sound aufnehmen  (Achtung Warnung) "), question,
                                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer != QMessageBox::Yes) return;
        QDir().mkpath(QFileInfo(wave).absolutePath());
        if (!sound_->Wave().CreateEmptyWave(ToCp1252(wave), kRecordRate_hz, false)) {
            QMessageBox::warning(this, windowTitle(), QStringLiteral("Die Datei %1 konnte nicht angelegt werden.").arg(wave));
            return;
        }
    }
    // the recorder one text line below the caret, or above the line when that is low on the screen
    const QRect caret = editor_->cursorRect();
    QPoint where = editor_->viewport()->mapToGlobal(QPoint(caret.left(), caret.bottom() + caret.height()));
    const QScreen* screen = this->screen();
    if (screen && where.y() > screen->geometry().height() * 4 / 5)
        where = editor_->viewport()->mapToGlobal(QPoint(caret.left(), caret.top() - caret.height()));
    handlers_.recorder(this, wave, where);
}

}  // namespace radevir
