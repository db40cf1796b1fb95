// Printed pages of styled lines: margins, printer fonts, continued lines, the right-aligned mode
// with its rules, check marks, form feeds and page breaks; and the same lines in a text editor.
#pragma once

#include <QFont>
#include <QString>
#include <vector>

#include "printing/printer_text.h"

class QPagedPaintDevice;
class QTextEdit;

namespace radevir {

// The installed font that stands in for the face a printed text asks for ("Courier New" →
// Liberation Mono, "Arial Narrow" → a narrow sans), at the font's point size.
QFont PrinterQFont(const PrinterFont& font);
// The check mark as a real glyph and the font that has it, at `size_pt`.
QString CheckMarkText();
QFont CheckMarkFont(int size_pt);

// Prints the lines as one job onto an open paged device (a QPrinter or a QPdfWriter); returns
// the number of pages, 0 when the device could not be painted on or there was nothing to print.
int PrintStyledLines(QPagedPaintDevice& device, const std::vector<StyledLine>& lines);

// Shows the lines in `edit` instead of on paper: the heading first (when not empty), control
// lines left out, check marks as glyphs, continued lines on one line.
void RenderStyledLines(const std::vector<StyledLine>& lines, const QString& heading, QTextEdit& edit);

}  // namespace radevir
