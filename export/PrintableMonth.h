#pragma once

#include "model/DataTable.h"

#include <QString>

class QIODevice;

// The month as a printable schedule: a PDF on A4 landscape pages with the
// title on the first, the column headings on every page, one table row per
// row of the export table (in its order): the day with its weekday
// ("2026.11.03. kedd"), the time, the settlement, the institution and the
// address, a long text wrapped within its column; "1 / 3" at the foot of
// each page. Text stays text (a reader can search it) and its fonts are
// embedded. Failures throw ExportError.
//
//   PrintableMonth::writeFile(path, rows, PrintableMonth::title("Csongrád-Csanád", 2026, "November"));
namespace PrintableMonth {

// "<county> Megye – <year>. <month> véradási időpontjai"
QString title(const QString& county, int year, const QString& monthName);

// Writes the document to an open device; returns its number of pages.
int write(QIODevice& out, const DataTable& rows, const QString& title);
// Writes the file under path as ExportFile writes: never through a link, an
// existing regular file replaced only once the new file is complete.
void writeFile(const QString& path, const DataTable& rows, const QString& title);

} // namespace PrintableMonth
