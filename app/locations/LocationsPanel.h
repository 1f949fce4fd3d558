#pragma once

#include "app/EditorSwitch.h"
#include "app/Panel.h"
#include "app/Shell.h"

class ListGrid;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;

// pnlHelyszinek: the county's live donation locations in a sortable grid,
// and an editor for one location. Locations are withdrawn, never deleted.
class LocationsPanel : public Panel {
public:
    LocationsPanel(AppContext& context, QWidget* parent);

    void btnEditHelyszinekClick();
    void btnCloseHelyszinekClick();
    void dbgHelyszinekCellClick(int row);
    void btnEditHelyszinClick();
    void btnNewHelyszinClick();
    void btnAddHelyszinClick();
    void btnCancelHelyszinClick();
    void btnDeleteHelyszinClick();
    void dbgHelyszinekTitleClick(int column);

    void ShowLocationsPanel();
    void HideLocationsPanel();
    void ClearLocationEditor();
    void BeginLocationEdit();
    void EndLocationEdit();
    void SelectLocationRow(int n);

private:
    // Tidies a field's blanks in place; true when something is left.
    static bool tidyField(QLineEdit* field);
    void reloadList();
    // Ends the edit (Mégsem, Escape) and shows the list again.
    void abandonEdit();

    AppContext& m_context;
    ListGrid* m_grid;
    QPushButton* m_btnNew;
    QPushButton* m_btnDelete;
    QFrame* m_editor;
    QComboBox* m_cmbTelepulesek;
    QLineEdit* m_edtCim;
    QLineEdit* m_edtHelyszin;
    QPushButton* m_btnAdd;
    QPushButton* m_btnCancel;
    QToolButton* m_btnClose;
    EditorSwitch m_switch;
};
