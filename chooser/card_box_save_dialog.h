// The learning card box's save dialog: a file dialog of our own (not the desktop's), so that it
// looks the same everywhere and scripts can drive it (the file name field has the focus, Enter
// accepts).
#pragma once

#include "console/card_box_port.h"

class QWidget;

namespace radevir {

class CardBoxSaveDialog final : public CardBoxDialogPort {
public:
    explicit CardBoxSaveDialog(QWidget* owner) : owner_(owner) {}
    std::optional<QString> AskSaveFileName(const CardBoxSaveRequest& request) override;

private:
    QWidget* owner_ = nullptr;
};

}  // namespace radevir
