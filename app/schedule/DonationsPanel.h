#pragma once

#include "app/EditorSwitch.h"
#include "app/Panel.h"
#include "app/Shell.h"

class ListGrid;
class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;
class TimeEdit;

// pnlVeradasok: the open month's appointments in the county, in a sortable
// grid, and the editor with which they are added, changed and deleted.
class DonationsPanel : public Panel {
public:
    DonationsPanel(AppContext& context, QWidget* parent);

    // Opens the panel on the selected month (SelectedYear, SelectedMonth,
    // SelectedMonthName): days, title, location choices, list.
    void openSelectedMonth();

    void btnCloseVeradasokClick();
    void dbgVeradasokCellClick(int row);
    void btnEditVeradasClick();
    void btnNewVeradasClick();
    void btnAddVeradasClick();
    void btnCancelVeradasClick();
    void btnDeleteVeradasClick();
    void dbgVeradasokTitleClick(int column);

    void ClearDonationEditor();
    void BeginDonationEdit();
    void EndDonationEdit();
    void SelectDonationRow(int n);

private:
    void reloadList();
    // Ends the edit (Mégsem, Escape) and shows the list again.
    void abandonEdit();

    AppContext& m_context;
    ListGrid* m_grid;
    QFrame* m_editor;
    QComboBox* m_cmbDay;
    TimeEdit* m_edtKezdes;
    TimeEdit* m_edtBefejezes;
    QComboBox* m_cmbHelyszinek;
    QPushButton* m_btnAdd;
    QPushButton* m_btnCancel;
    QPushButton* m_btnNew;
    QPushButton* m_btnDelete;
    QToolButton* m_btnClose;
    QLabel* m_title;
    EditorSwitch m_switch;
};
