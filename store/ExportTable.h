#pragma once

#include <QString>

class Connection;
class Query;

// Lays a month's appointments of the county, already formatted, into the
// scratch table at_toExcel, and leaves rows (aq_toExcel, which the export's
// writers read) open on it under the seven Hungarian headings, in day,
// start, settlement and address order, in one transaction. Returns the
// number of rows. Throws DatabaseError, leaving the table as it was.
int BuildExportTable(Connection& connection, Query& rows, quint8 county, const QString& countyName, int year,
                     int month);
