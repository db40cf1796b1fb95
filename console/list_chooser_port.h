// The list chooser window as the console sees it: the console prepares the request, saves and
// restores the screen, and takes back the chosen files, the start line and the display aids.
#pragma once

#include <vector>

#include "support/codepage.h"

namespace radevir {

struct ListChooserRequest {
    Bytes folder;          // folder part of the path
    Bytes lastName;        // last name of the path, with a trailing backslash
    Bytes editorFolder;    // with a trailing backslash, or empty
    Bytes recentFile;      // may be empty
    bool showMultiplicationHelp = false;
    bool markDigits = false;                // "aktuelle Stellen hervorheben"
    bool showCarry = false;                 // "Übertrag anzeigen"
    bool showMultiplicationValue = false;   // "Multiplikationswert anzeigen"
};

struct ListChooserResult {
    bool accepted = false;
    std::vector<Bytes> lines;  // the chosen files
    int startIndex = 0;
    bool markDigits = false;
    bool showCarry = false;
    bool showMultiplicationValue = false;
};

class ListChooserPort {
public:
    virtual ~ListChooserPort() = default;
    // Shows the chooser modally.
    virtual ListChooserResult Choose(const ListChooserRequest& request) = 0;
};

}  // namespace radevir
