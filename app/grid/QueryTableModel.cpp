#include "app/grid/QueryTableModel.h"

#include "model/IsolatedText.h"

#include <QHeaderView>
#include <QTableView>

QueryTableModel::QueryTableModel(Query& query, QList<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent)
    , m_query(query)
    , m_columns(std::move(columns))
{
    resolveColumns();
    m_query.setObserver(this);
}

QueryTableModel::~QueryTableModel()
{
    m_query.setObserver(nullptr);
}

void QueryTableModel::queryAboutToChange()
{
    beginResetModel();
}

void QueryTableModel::queryChanged()
{
    resolveColumns();
    endResetModel();
}

void QueryTableModel::resolveColumns()
{
    m_resultIndex.clear();
    for (const GridColumn& column : m_columns)
        m_resultIndex << m_query.columnIndex(column.field);
}

int QueryTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_query.isOpen() ? 0 : m_query.recordCount();
}

int QueryTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant QueryTableModel::value(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_resultIndex.size() || m_resultIndex[column] < 0)
        return {};
    return m_query.cell(row, m_resultIndex[column]);
}

QVariant QueryTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole) // a user's text never turns its row around
        return isolated(value(index.row(), index.column()).toString());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(m_columns[index.column()].cellAlignment);
    return {};
}

QVariant QueryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_columns[section].title;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

void QueryTableModel::configureView(QTableView* view, QueryTableModel* model)
{
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setShowGrid(true);
    view->setWordWrap(false);
    view->setTextElideMode(Qt::ElideNone);
    view->setContextMenuPolicy(Qt::PreventContextMenu);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view->setSortingEnabled(false);
    view->setTabKeyNavigation(false);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(17);
    QHeaderView* header = view->horizontalHeader();
    header->setFixedHeight(24);
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setHighlightSections(false);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignCenter);
    const auto& columns = model->columns();
    for (int c = 0; c < columns.size(); ++c) {
        if (columns[c].width == 0)
            view->setColumnHidden(c, true);
        else
            view->setColumnWidth(c, columns[c].width);
    }
}
