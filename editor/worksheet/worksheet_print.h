// Printing the shown sheet: the A4 page layout, and a PDF written by the web engine itself (it
// keeps the text, where printing onto a QPrinter draws pictures of the pages).
#pragma once

#include <QPageLayout>
#include <QString>

class QWebEnginePage;

namespace radevir {

QPageLayout WorksheetPageLayout();
// Waits until the PDF is written; false when the engine could not write it.
bool PrintPageToPdf(QWebEnginePage& page, const QString& pdfFile, const QPageLayout& layout);

}  // namespace radevir
