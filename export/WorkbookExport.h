#pragma once

#include "export/MonthExport.h"

#include <QObject>

class Connection;
class Query;

// Export a month to a workbook: the export table is built into rows (the
// export's query), and an Excel 97-2003 file of it is written under excel/
// (made when missing), replacing a file of the same name only once the new
// one is complete. The steps are told as they pass, for the gauge.
//
//   WorkbookExport workbook(dm.datacore, dm.aq_toExcel);
//   connect(&workbook, &WorkbookExport::advanced, …);
//   const QString path = workbook.run(month);   // throws DatabaseError, ExportError
class WorkbookExport : public QObject {
    Q_OBJECT
public:
    WorkbookExport(Connection& connection, Query& rows, QObject* parent = nullptr);

    QString run(const MonthExport& month);

signals:
    void rowsCounted(int rows); // the export table is built
    void advanced();            // one more step done

private:
    Connection& m_connection;
    Query& m_rows;
};
