#pragma once

#include "app/grid/QueryTableModel.h"

#include <QTableView>

#include <functional>

class UserMessages;

// The list grid of a panel: a read-only view of a query's result with sort
// marks that only the panel sets, and a chosen row. The user chooses a row
// by clicking it, by moving to it with the keyboard, or with Space or Enter
// on the row the grid stands on; moves the program makes (after a reload,
// reselecting a row) choose nothing.
class ListGrid : public QTableView {
public:
    ListGrid(const QString& objectName, QRect geometry, Query& query, QList<GridColumn> columns, UserMessages& messages,
             QWidget* parent);

    QueryTableModel* queryModel() const { return m_model; }
    QVariant value(int row, int column) const { return m_model->value(row, column); }
    bool hasRows() const { return m_model->rowCount() > 0; }

    // Handlers, each run as a user action.
    std::function<void(int row)> rowChosen; // a click or a keyboard move onto a row
    std::function<void()> editRequested;    // a double click on a data row, after its row was chosen
    std::function<void(int column)> titleClicked;

    int chosenRow() const { return m_chosenRow; }
    void setChosenRow(int row) { m_chosenRow = row; }
    void clearChoice() { m_chosenRow = -1; }

    // Makes row (0-based) the current row of the grid and of its query
    // without choosing it.
    void moveTo(int row);
    // Runs a reload of the query without the moves it causes choosing a row.
    void quietly(const std::function<void()>& change);
    // Reloads the list through load(). When keepId is not 0 and a row's
    // idColumn holds it, that row becomes current and stays chosen (a re-sort
    // under a chosen row); otherwise the list stands on its first row and
    // nothing is chosen. Returns what load() returned.
    bool reload(const std::function<bool()>& load, int idColumn, qint32 keepId);

    // Sort marks: at most one column carries one.
    bool markedAscending(int column) const { return m_markColumn == column && m_markAscending; }
    void showMark(int column, bool ascending);
    void clearMarks();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void restoreMarks(); // the header flips its indicator on a click; the marks are ours

    QueryTableModel* m_model;
    Query& m_query;
    UserMessages& m_messages;
    int m_chosenRow = -1;
    bool m_quiet = false;
    int m_markColumn = -1;
    bool m_markAscending = true;
};
