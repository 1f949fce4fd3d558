#include "app/grid/ListGrid.h"

#include "app/ErrorReport.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QScopeGuard>

ListGrid::ListGrid(const QString& objectName, QRect geometry, Query& query, QList<GridColumn> columns,
                   UserMessages& messages, QWidget* parent)
    : QTableView(parent)
    , m_model(new QueryTableModel(query, std::move(columns), this))
    , m_query(query)
    , m_messages(messages)
{
    setObjectName(objectName);
    setGeometry(geometry);
    QueryTableModel::configureView(this, m_model);

    auto choose = [this, &messages](int row) {
        if (rowChosen)
            runAction(messages, [this, row] { rowChosen(row); });
    };
    connect(this, &QTableView::clicked, this, [choose](const QModelIndex& index) { choose(index.row()); });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, choose](const QModelIndex& current) {
                if (!m_quiet && current.isValid() && current.row() != m_chosenRow)
                    choose(current.row());
            });
    connect(this, &QTableView::doubleClicked, this, [this, choose, &messages](const QModelIndex& index) {
        if (index.row() != m_chosenRow)
            choose(index.row());
        if (editRequested)
            runAction(messages, [this] { editRequested(); });
    });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this, &messages](int section) {
        restoreMarks();
        if (titleClicked)
            runAction(messages, [this, section] { titleClicked(section); });
    });
}

void ListGrid::moveTo(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    quietly([&] {
        m_query.setRecNo(row + 1);
        int column = 0;
        while (column + 1 < m_model->columnCount() && isColumnHidden(column))
            ++column;
        const QModelIndex index = m_model->index(row, column);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(index);
    });
}

void ListGrid::quietly(const std::function<void()>& change)
{
    const auto restore = qScopeGuard([this, wasQuiet = m_quiet] { m_quiet = wasQuiet; });
    m_quiet = true;
    change();
}

bool ListGrid::reload(const std::function<bool()>& load, int idColumn, qint32 keepId)
{
    clearChoice();
    bool loaded = false;
    quietly([&] { loaded = load(); });
    if (!loaded)
        return false;
    int row = 0;
    for (int r = 0; keepId != 0 && r < m_model->rowCount(); ++r) {
        if (m_model->value(r, idColumn).toInt() == keepId) {
            row = r;
            m_chosenRow = r;
            break;
        }
    }
    moveTo(row);
    return true;
}

void ListGrid::showMark(int column, bool ascending)
{
    m_markColumn = column;
    m_markAscending = ascending;
    restoreMarks();
}

void ListGrid::clearMarks()
{
    m_markColumn = -1;
    restoreMarks();
}

void ListGrid::restoreMarks()
{
    // The header draws Qt's AscendingOrder as a downward arrow; the marks
    // follow the common convention instead: ascending ▲, descending ▼.
    horizontalHeader()->setSortIndicator(m_markColumn, m_markAscending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void ListGrid::keyPressEvent(QKeyEvent* event)
{
    const bool chooseKey =
        event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (chooseKey && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // The row the grid already stands on (after opening, a reload or a
        // withdrawal) can be chosen without moving off it and back.
        const QModelIndex current = currentIndex();
        if (current.isValid() && rowChosen)
            runAction(m_messages, [this, row = current.row()] { rowChosen(row); });
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}
