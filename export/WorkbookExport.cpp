#include "export/WorkbookExport.h"

#include "export/ExportTable.h"
#include "export/QueryXlsTable.h"
#include "store/DataModule.h"

#include <QDir>

WorkbookExport::WorkbookExport(Tdm& dm, QObject* parent)
    : QObject(parent)
    , m_dm(dm)
{
}

QString WorkbookExport::run(const MonthExport& month)
{
    emit advanced();
    const int rows = BuildExportTable(m_dm, month.county, month.countyName, month.year, month.month);
    emit rowsCounted(rows);
    const QString path = month.filePath(QStringLiteral("excel"), QStringLiteral("xls"));
    emit advanced();
    XlsWriter::writeFile(path, QueryXlsTable(m_dm.aq_toExcel, month.countyName));
    emit advanced();
    return path;
}
