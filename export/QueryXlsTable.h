#pragma once

#include "export/XlsWriter.h"
#include "store/Query.h"

// A query's open result as a worksheet: its column names are the headings,
// its rows the data, each cell made as it is read.
class QueryXlsTable final : public XlsTable {
public:
    QueryXlsTable(const Query& query, QString sheetName)
        : m_query(query)
        , m_sheetName(std::move(sheetName))
    {
    }
    QString sheetName() const override { return m_sheetName; }
    QStringList headings() const override { return m_query.columnNames(); }
    int rowCount() const override { return m_query.recordCount(); }
    const QVariant& cell(int row, int column) const override { return m_cell = m_query.cell(row, column); }

private:
    mutable QVariant m_cell; // the cell last read
    const Query& m_query;
    QString m_sheetName;
};
