// What the graphics layer asks of its surroundings without knowing them: the text printer, the
// host window's full-screen presentation, and the host's panels. Each is optional.
#pragma once

#include <QRect>

#include "support/codepage.h"

namespace radevir {

// A request to print the printer text file.
struct PrintJob {
    int printerIndex = -1;  // -1 the default printer; lower values keep the current one
    // What the document is and whom it is for ("Zeugnis Lea 2026-12-11", Windows-1252): the
    // name of its PDF when it goes into one. Empty: named after the printer text file.
    Bytes documentName;
};

class TextPrinterPort {
public:
    virtual ~TextPrinterPort() = default;
    // Prints the file (a data path); `convert` asks for the code page 437 → Windows-1252
    // conversion of the printed text. `documentName` as in PrintJob.
    virtual void PrintTextFile(const Bytes& file, bool convert, int printerIndex,
                               const Bytes& documentName) = 0;
};

class FullScreenWindowPort {
public:
    virtual ~FullScreenWindowPort() = default;
    // Makes the host window a borderless full-screen window; false when that is impossible.
    virtual bool EnterFullScreenWindow() = 0;
    virtual void LeaveFullScreenWindow() = 0;
};

class PanelHostPort {
public:
    virtual ~PanelHostPort() = default;
    // Places a panel over the client rectangle (pixels); `id` names it for removal.
    virtual void CreatePanel(int id, QRect clientRect, const Bytes& caption) = 0;
    virtual void RemovePanel(int id) = 0;
};

}  // namespace radevir
