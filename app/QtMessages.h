#pragma once

#include "model/UserMessages.h"

// Message boxes on screen: modal QMessageBox with the given caption, icon and
// buttons. The one place that talks to QMessageBox.
class QtMessages final : public UserMessages {
public:
    Answer show(const QString& text, const QString& caption, Icon icon, Buttons buttons) override;
};
