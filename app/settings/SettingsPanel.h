#pragma once

#include "app/Panel.h"
#include "app/Shell.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

// pnlSettingsMain: the county and the recipient of the dispatch mail. The
// server and credential controls lie below the panel's visible edge; they are
// still filled, read and in the tab order.
class SettingsPanel : public Panel {
public:
    SettingsPanel(AppContext& context, QWidget* parent);

    // Fills cmbMegye from at_megyek in stored order after the placeholder.
    void fillCounties();
    void selectCounty(int position);

    void ShowSettingsPanel();
    void HideSettingsPanel();
    void EnableAuthFields();
    void DisableAuthFields();

    void btnSettingsClick();
    void cbxHitelesitesClick();
    void btnSaveSettingsClick();
    void btnCancelSettingsClick();

private:
    AppContext& m_context;
    QComboBox* m_cmbMegye;
    QLineEdit* m_edtDestinationEmail;
    QLineEdit* m_edtSMTP;
    QCheckBox* m_cbxHitelesites;
    QFrame* m_pnlHitelesites;
    QLineEdit* m_edtUSR;
    QLineEdit* m_edtPSW;
};
