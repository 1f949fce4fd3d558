#pragma once

#include "store/Query.h"

#include <QAbstractTableModel>
#include <QList>

class QTableView;

// One column of a grid: the result column it shows and how.
struct GridColumn {
    QString field;
    QString title;
    int width = 0; // 0: hidden
    Qt::Alignment cellAlignment = Qt::AlignLeft | Qt::AlignVCenter;
};

// A read-only table model over a query's static result. The order is the
// statement's ORDER BY; the model never sorts. It resets itself whenever the
// query's result is replaced or closed.
class QueryTableModel : public QAbstractTableModel, private QueryObserver {
public:
    QueryTableModel(Query& query, QList<GridColumn> columns, QObject* parent);
    ~QueryTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const QList<GridColumn>& columns() const { return m_columns; }
    // A field of a row by grid position (0-based row and column).
    QVariant value(int row, int column) const;

    // Gives a view the program's grid look: whole rows, read-only, title row
    // 24 and rows 17 pixels high, vertical scroll bar only, no context menu,
    // sort marks drawn but never applied by the view itself.
    static void configureView(QTableView* view, QueryTableModel* model);

private:
    void queryAboutToChange() override;
    void queryChanged() override;
    void resolveColumns();

    Query& m_query;
    QList<GridColumn> m_columns;
    QList<int> m_resultIndex; // grid column -> result column, -1 when absent
};
