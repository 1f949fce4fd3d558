#pragma once

#include "export/XlsWriter.h"
#include "store/Query.h"

// A query's open result as a worksheet: its column names are the headings,
// its rows the data, read in place.
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
    const QVariant& cell(int row, int column) const override { return m_query.cell(row, column); }

private:
    const Query& m_query;
    QString m_sheetName;
};
