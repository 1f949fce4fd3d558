#include "export/WorkbookExport.h"

#include "export/XlsWriter.h"
#include "store/ExportTable.h"
#include "store/Query.h"

WorkbookExport::WorkbookExport(Connection& connection, Query& rows, QObject* parent)
    : QObject(parent)
    , m_connection(connection)
    , m_rows(rows)
{
}

QString WorkbookExport::run(const MonthExport& month)
{
    emit advanced();
    const int rows = BuildExportTable(m_connection, m_rows, month.county, month.countyName, month.year, month.month);
    emit rowsCounted(rows);
    const QString path = month.filePath(QStringLiteral("excel"), QStringLiteral("xls"));
    emit advanced();
    XlsWriter::writeFile(path, m_rows, month.countyName);
    emit advanced();
    return path;
}
