#pragma once

#include "app/Panel.h"
#include "app/Shell.h"

class DonationsPanel;
class QComboBox;

// pnlNewTable: asks for the year and month to schedule, preselecting the
// month after today's. Starting a month writes nothing.
class NewMonthPanel : public Panel {
public:
    static constexpr int firstYear = 2012;

    NewMonthPanel(AppContext& context, DonationsPanel& donations, QWidget* parent);

    void btnNewClick();
    void btnCancelTableClick();
    void btnMakeTableClick();

private:
    AppContext& m_context;
    DonationsPanel& m_donations;
    QComboBox* m_cmbYear;
    QComboBox* m_cmbMonth;
};
