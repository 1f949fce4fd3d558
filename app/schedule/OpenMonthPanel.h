#pragma once

#include "app/Panel.h"
#include "app/Shell.h"
#include "model/Months.h"

class DonationsPanel;
class QComboBox;

// pnlMegnyitas: offers the county's months that hold appointments.
class OpenMonthPanel : public Panel {
public:
    OpenMonthPanel(AppContext& context, DonationsPanel& donations, QWidget* parent);

    // The months behind the drop-down: item k is entry k.
    MonthTable MonthList;

    void btnOpenClick();
    void btnCancelMegnyitasClick();
    void btnOpenVeradasokClick();

private:
    AppContext& m_context;
    DonationsPanel& m_donations;
    QComboBox* m_cmbVeradasok;
};
