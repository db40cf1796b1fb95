// The save dialog of the learning card box as the training programs see it: they say where it
// opens and what it offers, and get back the file the user chose (nothing on cancel).
#pragma once

#include <QString>
#include <optional>

namespace radevir {

struct CardBoxSaveRequest {
    QString folder;         // file-system folder the dialog opens in
    QString title;
    QString nameFilters;    // Qt filter list, entries separated by ";;"
    QString defaultSuffix;  // added to a name typed without one
};

class CardBoxDialogPort {
public:
    virtual ~CardBoxDialogPort() = default;
    // Shows the dialog modally. An existing file may be chosen without an overwrite question:
    // the card box is appended to, never overwritten.
    virtual std::optional<QString> AskSaveFileName(const CardBoxSaveRequest& request) = 0;
};

}  // namespace radevir
