#pragma once

#include "export/ExportError.h"
#include "model/DataTable.h"

#include <QString>

class QIODevice;

// Writes an Excel 97-2003 workbook (.xls: a compound file holding a BIFF8
// Workbook stream) with one worksheet of a table: the column names as the
// headings in row 1 in Arial bold, centred; the rows below in Arial,
// General alignment; numbers as numbers, everything else as text; columns
// sized to their widest text; no borders, fills, filters, headers or
// footers. Every failure throws ExportError.
//
//   XlsSheet sheet;
//   sheet.name = "Csongrád";
//   sheet.headings = {"DÁTUM", "IRSZ"};
//   sheet.rows.append({QString("2020.09.05"), 6720});
//   XlsWriter::writeFile("out.xls", sheet);
//
// A large table need not be copied into a sheet: any DataTable (a query's
// result) is read in place. Each text is read once, each number twice; the
// file is written straight through, never held whole.

// A worksheet held in memory, with its name.
struct XlsSheet : MemoryTable {
    QString name;
};

namespace XlsWriter {

constexpr int maxRows = 65536; // headings included
constexpr int maxColumns = 256;

// A sheet name Excel accepts: ": \ / ? * [ ]" replaced by "_", no
// apostrophe at either end, at most 31 characters (cut between whole
// characters), never empty.
QString sheetName(const QString& wanted);

// The BIFF8 record stream of the workbook (what the container stores).
QByteArray workbookStream(const DataTable& table, const QString& sheetName);

// Writes the whole file to a device.
void write(QIODevice& out, const DataTable& table, const QString& sheetName);
// Writes the file under path as ExportFile writes: never through a link, an
// existing regular file replaced only once the new file is complete.
void writeFile(const QString& path, const DataTable& table, const QString& sheetName);

// The same for a sheet in memory, under its own name.
inline QByteArray workbookStream(const XlsSheet& sheet)
{
    return workbookStream(sheet, sheet.name);
}
inline void write(QIODevice& out, const XlsSheet& sheet)
{
    write(out, sheet, sheet.name);
}
inline void writeFile(const QString& path, const XlsSheet& sheet)
{
    writeFile(path, sheet, sheet.name);
}

} // namespace XlsWriter
