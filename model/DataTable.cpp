#include "model/DataTable.h"

ColumnType MemoryTable::columnType(int column) const
{
    for (const QList<QVariant>& row : rows) {
        if (column >= row.size() || row[column].isNull())
            continue;
        switch (row[column].typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
            return ColumnType::Integer;
        case QMetaType::Double:
            return ColumnType::Real;
        case QMetaType::QString:
            return ColumnType::Text;
        default:
            return ColumnType::Other;
        }
    }
    return ColumnType::Other;
}

QStringView MemoryTable::textCell(int row, int column) const
{
    if (column >= rows[row].size() || rows[row][column].typeId() != QMetaType::QString)
        return {};
    return *static_cast<const QString*>(rows[row][column].constData());
}
