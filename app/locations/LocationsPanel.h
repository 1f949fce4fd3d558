#pragma once

#include "app/EditorPanel.h"
#include "app/grid/QueryTableModel.h"
#include "model/IdTable.h"
#include "store/Choice.h"

class QComboBox;
class QLineEdit;

// pnlHelyszinek: the county's live donation locations in a sortable grid,
// and an editor for one location. Locations are withdrawn, never deleted.
class LocationsPanel : public EditorPanel {
public:
    LocationsPanel(AppContext& context, QWidget* parent);

    // The grid's columns over LoadLocationList's result.
    static QList<GridColumn> gridColumns();

    // The location chosen in, or being entered into, the editor.
    Location CurrentLocation;
    // Settlement drop-down position -> at_telepulesek.id, for a chosen row.
    SettlementIdTable SettlementIds;

    void btnEditHelyszinekClick();

    void ShowLocationsPanel();
    void HideLocationsPanel() { hide(); }

protected:
    void loadList() override;
    Query& listQuery() const override;
    void clearFields() override;
    void showRow(int row) override;
    qint32 chosenId() const override { return CurrentLocation.id; }
    bool checkEntry() override;
    WriteResult writeEntry() override;
    QString deleteQuestion(int row) const override;
    WriteResult removeChosen() override;

private:
    // Tidies a field's blanks in place; true when something is left.
    static bool tidyField(QLineEdit* field);

    Choices m_settlements; // position n of the drop-down is entry n - 1
    QComboBox* m_cmbTelepulesek;
    QLineEdit* m_edtCim;
    QLineEdit* m_edtHelyszin;
};
