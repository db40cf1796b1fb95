// Printed pages of styled lines: margins, printer fonts, continued lines, the right-aligned mode
// with its rules, check marks, form feeds and page breaks; and the same lines in a text editor.
#pragma once

#include <QFont>
#include <QString>
#include <functional>
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

// A running job asks between its lines whether to go on (the host's "Druck Abbruch" button).
class PrintProgress {
public:
    explicit PrintProgress(std::function<bool()> cancelRequested)
        : cancelRequested_(std::move(cancelRequested)) {}
    // True from the first time the user asked to stop.
    bool Cancelled() {
        if (!cancelled_ && cancelRequested_) cancelled_ = cancelRequested_();
        return cancelled_;
    }

private:
    std::function<bool()> cancelRequested_;
    bool cancelled_ = false;
};

// Prints the lines as one job onto an open paged device (a QPrinter or a QPdfWriter); returns
// the number of pages, 0 when the device could not be painted on or there was nothing to print.
// A cancelled job stops at the next line (see `progress`).
int PrintStyledLines(QPagedPaintDevice& device, const std::vector<StyledLine>& lines,
                     PrintProgress* progress = nullptr);

// Shows the lines in `edit` instead of on paper: the heading first (when not empty), control
// lines left out, check marks as glyphs, continued lines on one line.
void RenderStyledLines(const std::vector<StyledLine>& lines, const QString& heading, QTextEdit& edit);

}  // namespace radevir
