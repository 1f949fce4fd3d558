#include "export/MonthFileExport.h"

#include "export/PrintableMonth.h"
#include "export/XlsWriter.h"
#include "store/ExportTable.h"
#include "store/Query.h"

MonthFileExport::MonthFileExport(Connection& connection, Query& rows, Kind kind, QObject* parent)
    : QObject(parent)
    , m_connection(connection)
    , m_rows(rows)
    , m_kind(kind)
{
}

QString MonthFileExport::run(const MonthExport& month)
{
    emit advanced();
    const int rows = BuildExportTable(m_connection, m_rows, month.county, month.countyName, month.year, month.month);
    emit rowsCounted(rows);
    const bool workbook = m_kind == Kind::Workbook;
    const QString path = workbook ? month.filePath(QStringLiteral("excel"), QStringLiteral("xls"))
                                  : month.filePath(QStringLiteral("pdf"), QStringLiteral("pdf"));
    emit advanced();
    if (workbook)
        XlsWriter::writeFile(path, m_rows, month.countyName);
    else
        PrintableMonth::writeFile(path, m_rows, PrintableMonth::title(month.countyName, month.year, month.monthName));
    emit advanced();
    return path;
}
