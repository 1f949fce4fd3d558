#pragma once

#include "app/Panel.h"
#include "app/Shell.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;
class QueryTableModel;

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
    void moveGridTo(int row); // 0-based; the grid and the query's record number together
    void showSortMark(int column, bool ascending);
    void clearSortMarks();
    bool listHasRows() const;

    AppContext& m_context;
    QTableView* m_grid;
    QueryTableModel* m_model;
    QPushButton* m_btnNew;
    QPushButton* m_btnDelete;
    QFrame* m_editor;
    QComboBox* m_cmbTelepulesek;
    QLineEdit* m_edtCim;
    QLineEdit* m_edtHelyszin;
    QPushButton* m_btnAdd;
    QPushButton* m_btnCancel;
    QToolButton* m_btnClose;

    // The sort mark shown: a column (3..6) or -1, and its direction.
    int m_markColumn = -1;
    bool m_markAscending = true;
    // The grid row the user chose (0-based) or -1, with the postcode and
    // settlement it showed, so the withdrawal question names that location.
    int m_chosenRow = -1;
    QString m_chosenIrsz;
    QString m_chosenTelepules;
    bool m_movingGrid = false;
};
