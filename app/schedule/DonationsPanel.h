#pragma once

#include "app/EditorPanel.h"
#include "app/grid/QueryTableModel.h"
#include "model/IdTable.h"
#include "store/Choice.h"

#include <QDate>

class QComboBox;
class QLabel;
class QPushButton;
class TimeEdit;

// pnlVeradasok: the open month's appointments in the county, in a sortable
// grid, and the editor with which they are added, changed and deleted.
class DonationsPanel : public EditorPanel {
public:
    DonationsPanel(AppContext& context, QWidget* parent);

    // The grid's columns over LoadDonationList's result.
    static QList<GridColumn> gridColumns();

    // The appointment chosen in, or being entered into, the editor.
    Donation CurrentDonation;
    // Location drop-down position -> at_helyszinek.id, for a chosen row.
    LocationIdTable LocationIds;

    // Opens the panel on the selected month (SelectedYear, SelectedMonth,
    // SelectedMonthName): days, title, location choices, list.
    void openSelectedMonth();

protected:
    void loadList() override;
    Query& listQuery() const override;
    void clearFields() override;
    void showRow(int row) override;
    qint32 chosenId() const override { return CurrentDonation.id; }
    bool checkEntry() override;
    WriteResult writeEntry() override;
    QString deleteQuestion(int row) const override;
    WriteResult removeChosen() override;

private:
    struct Editor {
        QFrame* frame;
        QPushButton* save;
        QPushButton* cancel;
    };
    Editor buildEditor();
    void addEditButton();
    QDate chosenDate() const;
    void showDayName();
    // Asks before a save on a weekend, a public holiday or over another
    // appointment at the location; true when there is nothing to ask or
    // the answer is "Igen".
    bool confirmUnusualDay();

    Choices m_locations; // position n of the drop-down is entry n - 1
    QComboBox* m_cmbDay;
    QLabel* m_lblDayName;
    TimeEdit* m_edtKezdes;
    TimeEdit* m_edtBefejezes;
    QComboBox* m_cmbHelyszinek;
    QLabel* m_title;
};
