#pragma once

#include "app/Panel.h"
#include "app/Shell.h"

// What the new-month and the open-month panels share: a small panel with a
// prompt over its drop-downs, a rule, and "Mégsem" and "Tovább" at its
// bottom right. "Mégsem" hides it and gives the toolbar back; "Tovább"
// checks the panel's choice (forward()), which opens its month through
// openMonth().
class MonthChooserPanel : public Panel {
protected:
    struct Names {
        QString panel;
        QString rule;
        QString cancel;
        QString forward;
    };
    MonthChooserPanel(AppContext& context, const Names& names, QSize size, QWidget* parent);

    // "Tovább": the panel's own check and choice.
    virtual void forward() = 0;
    void cancel();
    // The month becomes the selected month and opens in the appointments panel.
    void openMonth(int year, int month);
    // Shows the panel centred, the toolbar disabled.
    void showOver();

    AppContext& m_context;
};
