#pragma once

#include "app/schedule/MonthChooserPanel.h"
#include "model/Months.h"

class QComboBox;

// pnlMegnyitas: offers the county's months that hold appointments.
class OpenMonthPanel : public MonthChooserPanel {
public:
    OpenMonthPanel(AppContext& context, QWidget* parent);

    // The months behind the drop-down: item k is entry k.
    MonthTable MonthList;

    void btnOpenClick();

protected:
    void forward() override; // btnOpenVeradasokClick

private:
    QComboBox* m_cmbVeradasok;
};
