#pragma once

#include <QString>

class Tdm;

// Lays a month's appointments of the county, already formatted, into the
// scratch table at_toExcel, and leaves dm.aq_toExcel open on it under the
// seven Hungarian headings, in day, start, settlement and address order.
// Returns the number of rows. Throws DatabaseError; the next export empties
// the table first.
int BuildExportTable(Tdm& dm, quint8 county, const QString& countyName, int year, int month);
