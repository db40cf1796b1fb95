// Printing the edited text: a copy of the document with the paragraph marks made invisible and
// the gaps turned into blanks to fill in (or kept red), a header on the first page (date, name
// field, caption) and the text after the document at the foot of the last page, on the page
// less one inch on every side.
#pragma once

#include <QDate>
#include <memory>

#include "editor/print_options.h"

class QPagedPaintDevice;
class QTextDocument;

namespace radevir {

// The document as it is printed (without header and footer): "¶" white; with
// `options.gapsToFill` red characters and "·" markers black and every red character other
// than "·" replaced by "_"; else the gaps red as the editor shows them. `scale` multiplies
// every character's size (1: unchanged).
std::unique_ptr<QTextDocument> PrintedDocument(const QTextDocument& document, const PrintOptions& options,
                                               double scale);

struct PrintLayout {
    int pages = 0;  // pages printed per copy
};

// Prints `copies` copies onto the device (a QPrinter or a QPdfWriter), the first at once, a new
// page before each further one; at most 50 pages a copy. `editorWidth_in` is the width of the
// editor's text area: a page narrower than that scales the characters down by the ratio.
PrintLayout PrintEditorDocument(const QTextDocument& document, const PrintOptions& options,
                                double editorWidth_in, QPagedPaintDevice& device, int copies,
                                const QDate& today);

}  // namespace radevir
