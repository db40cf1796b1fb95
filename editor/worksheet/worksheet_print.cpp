#include "editor/worksheet/worksheet_print.h"

#include <QEventLoop>
#include <QFile>
#include <QMarginsF>
#include <QPageSize>
#include <QWebEnginePage>

namespace radevir {

QPageLayout WorksheetPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12),
                       QPageLayout::Millimeter);
}

bool PrintPageToPdf(QWebEnginePage& page, const QString& pdfFile, const QPageLayout& layout) {
    QEventLoop wait;
    bool ok = false;
    auto connection = QObject::connect(&page, &QWebEnginePage::pdfPrintingFinished, &wait,
                                       [&](const QString&, bool success) {
                                           ok = success;
                                           wait.quit();
                                       });
    page.printToPdf(pdfFile, layout);
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    QObject::disconnect(connection);
    // the engine makes its files private to the user; a printed sheet is a normal document
    if (ok)
        QFile::setPermissions(
            pdfFile, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return ok && QFile::exists(pdfFile);
}

}  // namespace radevir
