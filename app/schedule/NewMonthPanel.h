#pragma once

#include "app/schedule/MonthChooserPanel.h"

class QComboBox;

// pnlNewTable: asks for the year and month to schedule, preselecting the
// month after today's. Starting a month writes nothing.
class NewMonthPanel : public MonthChooserPanel {
public:
    static constexpr int firstYear = 2012;

    NewMonthPanel(AppContext& context, QWidget* parent);

    void btnNewClick();

protected:
    void forward() override; // btnMakeTableClick

private:
    QComboBox* m_cmbYear;
    QComboBox* m_cmbMonth;
};
