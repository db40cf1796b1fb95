#include "editor/worksheet/worksheet_window.h"

#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <algorithm>

#include "editor/worksheet/guarded_profile.h"
#include "editor/worksheet/worksheet_page.h"
#include "editor/worksheet/worksheet_print.h"
#include "printing/text_printer.h"

namespace radevir {

WorksheetWindow::WorksheetWindow(const WorksheetHandover& handover, std::uint64_t seed,
                                 QString printTo, QWidget* parent)
    : QMainWindow(parent),
      handover_(handover),
      random_(seed),
      printTo_(std::move(printTo)),
      tableSpacing_pt_(kDefaultTableSpacing_pt) {
    setWindowTitle(QStringLiteral("Aufgabenbrowser"));
    setObjectName(QStringLiteral("TF_bowser"));
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(4, 4, 4, 0);
    auto* bar = new QHBoxLayout;
    auto button = [this, bar](const QString& text, const QString& name, const QString& tip) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setToolTip(tip);
        b->setAutoDefault(false);
        bar->addWidget(b);
        return b;
    };
    connect(button(QStringLiteral("Öffnen"), QStringLiteral("Speed_open"),
                   QStringLiteral("Ein Aufgabenblatt aus dem Ordner \"Aufgaben\" öffnen")),
            &QPushButton::clicked, this, &WorksheetWindow::OpenSheet);
    connect(button(QStringLiteral("Speichern"), QStringLiteral("Speed_save"),
                   QStringLiteral("Das Aufgabenblatt speichern")),
            &QPushButton::clicked, this, &WorksheetWindow::SaveSheet);
    bar->addSpacing(12);
    connect(button(QStringLiteral("Sofort"), QStringLiteral("Speed_print"),
                   QStringLiteral("Sofort drucken")),
            &QPushButton::clicked, this, &WorksheetWindow::PrintNow);
    connect(button(QStringLiteral("Export"), QStringLiteral("SpeedButton3"),
                   QStringLiteral("Sofort drucken")),
            &QPushButton::clicked, this, &WorksheetWindow::PrintNow);
    connect(button(QStringLiteral("Druckdialog"), QStringLiteral("Button2"),
                   QStringLiteral("Druckvorschau mit Druckeinstellungen")),
            &QPushButton::clicked, this, &WorksheetWindow::PrintPreview);
    bar->addSpacing(12);
    bar->addWidget(new QLabel(QStringLiteral("Abstand:"), this));
    const int stepWidth = fontMetrics().horizontalAdvance(QStringLiteral("+")) + 24;
    QPushButton* less = button(QStringLiteral("-"), QStringLiteral("SpeedButton2"),
                               QStringLiteral("Weniger Abstand zwischen den Aufgaben"));
    less->setFixedWidth(stepWidth);
    connect(less, &QPushButton::clicked, this,
            [this] { SetSpacing(SpacingMinus(tableSpacing_pt_)); });
    spacingEdit_ = new QLineEdit(QString::number(tableSpacing_pt_), this);
    spacingEdit_->setObjectName(QStringLiteral("Edit_abstand"));
    spacingEdit_->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    spacingEdit_->setToolTip(QStringLiteral("Abstand zwischen den Aufgaben in Punkt"));
    bar->addWidget(spacingEdit_);
    connect(spacingEdit_, &QLineEdit::editingFinished, this,
            [this] { SetSpacing(SpacingTyped(tableSpacing_pt_, spacingEdit_->text())); });
    QPushButton* more = button(QStringLiteral("+"), QStringLiteral("SpeedButton1"),
                               QStringLiteral("Mehr Abstand zwischen den Aufgaben"));
    more->setFixedWidth(stepWidth);
    connect(more, &QPushButton::clicked, this,
            [this] { SetSpacing(SpacingPlus(tableSpacing_pt_)); });
    bar->addSpacing(12);
    selfCheck_ = new QCheckBox(QStringLiteral("mit Selbstkontrolle"), this);
    selfCheck_->setObjectName(QStringLiteral("Check_selbstkontrolle"));
    selfCheck_->setChecked(handover_.selfCheck);
    bar->addWidget(selfCheck_);
    connect(selfCheck_, &QCheckBox::toggled, this, [this](bool on) {
        handover_.selfCheck = on;
        Rebuild();
    });
    bar->addStretch(1);
    column->addLayout(bar);

    profile_ = new GuardedProfile;
    view_ = new QWebEngineView(this);
    view_->setPage(new QWebEnginePage(profile_, view_));
    column->addWidget(view_, 1);
    setCentralWidget(central);
    status_ = new QLabel(this);
    statusBar()->addWidget(status_, 1);
    connect(view_, &QWebEngineView::loadFinished, this, [this](bool ok) {
        if (!ok) Tell(QStringLiteral("Die Seite kann nicht angezeigt werden."));
        Q_EMIT pageShown(ok);
    });
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    // an A4 sheet and its bar, as large as the screen leaves room for
    const QRect room = screen()->availableGeometry();
    resize(std::min(room.width() * 9 / 10, 1100), room.height() * 9 / 10);
}

WorksheetWindow::~WorksheetWindow() {
    delete view_;  // with its page, before the profile the page lives on
    delete profile_;
}

void WorksheetWindow::ShowSheet() {
    for (QString& heading : handover_.request.headings) heading += u' ';
    Rebuild();
}

void WorksheetWindow::Tell(const QString& text) {
    status_->setText(text);
}

void WorksheetWindow::Rebuild() {
    QString error;
    WorksheetOptions options{handover_.selfCheck, tableSpacing_pt_};
    if (BuildWorksheetPage(handover_.request, options, random_, &error))
        Tell(QString());
    else
        Tell(error);  // the page as it last was stays on show
    profile_->Load(*view_->page(), handover_.request.pagePath);
}

void WorksheetWindow::SetSpacing(int spacing_pt) {
    const bool changed = spacing_pt != tableSpacing_pt_;
    tableSpacing_pt_ = spacing_pt;
    spacingEdit_->setText(QString::number(spacing_pt));
    if (changed) Rebuild();
}

QString WorksheetWindow::TasksFolder() const {
    const QString folder = handover_.programFolder.isEmpty()
                               ? QFileInfo(handover_.request.savePath).absolutePath()
                               : QDir(handover_.programFolder).filePath(QStringLiteral("Aufgaben"));
    return folder;
}

QString WorksheetWindow::SheetStem() const {
    const QString named = handover_.request.savePath.isEmpty() ? handover_.request.pagePath
                                                               : handover_.request.savePath;
    const QString stem = QFileInfo(named).completeBaseName();
    return stem.isEmpty() ? QStringLiteral("Aufgabenblatt") : stem;
}

void WorksheetWindow::OpenSheet() {
    const QString file =
        QFileDialog::getOpenFileName(this, QStringLiteral("Aufgabenblatt öffnen"), TasksFolder(),
                                     QStringLiteral("HTML-Seiten (*.html *.htm);;Alle Dateien (*)"),
                                     nullptr, QFileDialog::DontUseNativeDialog);
    if (!file.isEmpty()) profile_->Load(*view_->page(), file);
}

void WorksheetWindow::SaveSheet() {
    const QString proposed =
        handover_.request.savePath.isEmpty()
            ? TasksFolder()
            : QDir(TasksFolder()).filePath(QFileInfo(handover_.request.savePath).fileName());
    const QString file =
        QFileDialog::getSaveFileName(this, QStringLiteral("Aufgabenblatt speichern"), proposed,
                                     QStringLiteral("HTML-Seiten (*.html *.htm);;Alle Dateien (*)"),
                                     nullptr, QFileDialog::DontUseNativeDialog);
    if (file.isEmpty()) return;
    QString error;
    if (CopyPageFile(handover_.request.pagePath, file, &error))
        Tell(QStringLiteral("Gespeichert: %1").arg(file));
    else
        Tell(error);
}

void WorksheetWindow::PrintNow() {
    const QPageLayout layout = WorksheetPageLayout();
    QString pdf;
    if (!printTo_.isEmpty()) {
        QDir().mkpath(printTo_);
        pdf = FreePdfFileName(printTo_, SheetStem());
    } else {
        QPrinter printer(QPrinter::HighResolution);
        const PreparedPrinter prepared = PreparePrinter(printer, PrintDestination{}, SheetStem());
        if (!prepared.ready) {
            Tell(QStringLiteral("Es kann nicht gedruckt werden."));
            Q_EMIT printed(false);
            return;
        }
        if (!prepared.noPrinter) {
            printer.setPageLayout(layout);
            PrintOnto(&printer);
            return;
        }
        pdf = prepared.pdfFile;  // no printer installed: the sheet becomes a PDF, and we say where
    }
    const bool ok = PrintPageToPdf(*view_->page(), pdf, layout);
    lastPdfFile_ = ok ? pdf : QString();
    Tell(ok ? QStringLiteral("Gedruckt in %1").arg(pdf)
            : QStringLiteral("%1 kann nicht geschrieben werden.").arg(pdf));
    if (ok && printTo_.isEmpty()) ShowPdfInsteadOfPrinter(this, pdf);
    Q_EMIT printed(ok);
}

void WorksheetWindow::PrintOnto(QPrinter* printer) {
    QEventLoop wait;
    bool ok = false;
    auto connection = connect(view_, &QWebEngineView::printFinished, &wait, [&](bool success) {
        ok = success;
        wait.quit();
    });
    view_->print(printer);
    // input while the engine paints the pages could pull the printer from under it
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    disconnect(connection);
    if (!ok) {
        QPainter painter;
        if (painter.begin(printer)) {
            painter.drawText(QPointF(10, 40),
                             QStringLiteral("Das Aufgabenblatt konnte nicht gedruckt werden."));
            painter.end();
        }
    }
    Tell(ok ? QString() : QStringLiteral("Das Aufgabenblatt konnte nicht gedruckt werden."));
    Q_EMIT printed(ok);
}

void WorksheetWindow::PrintPreview() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(WorksheetPageLayout());
    if (!printTo_.isEmpty()) {
        QDir().mkpath(printTo_);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(FreePdfFileName(printTo_, SheetStem()));
    }
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(QStringLiteral("Druckvorschau"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, &WorksheetWindow::PrintOnto);
    preview.exec();
}

}  // namespace radevir
