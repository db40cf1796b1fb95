// Printing the chooser's line list: a bold title, then four entries to a row at fixed tab stops,
// a new page with "Fortsetzung " + title whenever a page is full.
#pragma once

#include <QFont>
#include <QString>
#include <vector>

#include "support/codepage.h"

class QPagedPaintDevice;

namespace radevir {

// Prints onto an open paged device (a QPrinter or a QPdfWriter); returns the number of pages.
// `font` is the list's screen font; pixel sizes are taken at 96 dpi.
int PrintListEntries(QPagedPaintDevice& device, const QFont& font, const Bytes& title,
                     const std::vector<Bytes>& entries);

}  // namespace radevir
