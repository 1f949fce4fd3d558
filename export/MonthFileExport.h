#pragma once

#include "export/MonthExport.h"

#include <QObject>

class Connection;
class Query;

// Export a month to a file: the export table is built into rows (the
// export's query), and an Excel 97-2003 workbook of it is written under
// excel/, or a printable PDF under pdf/ (the folder made when missing),
// replacing a file of the same name only once the new one is complete. The
// steps are told as they pass, for the gauge.
//
//   MonthFileExport workbook(dm.datacore, dm.aq_toExcel, MonthFileExport::Kind::Workbook);
//   connect(&workbook, &MonthFileExport::advanced, …);
//   const QString path = workbook.run(month);   // throws DatabaseError, ExportError
class MonthFileExport : public QObject {
    Q_OBJECT
public:
    enum class Kind { Workbook, PrintableMonth };

    MonthFileExport(Connection& connection, Query& rows, Kind kind, QObject* parent = nullptr);

    QString run(const MonthExport& month);

signals:
    void rowsCounted(int rows); // the export table is built
    void advanced();            // one more step done

private:
    Connection& m_connection;
    Query& m_rows;
    Kind m_kind;
};
