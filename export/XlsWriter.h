#pragma once

#include "export/ExportError.h"

#include <QList>
#include <QString>
#include <QVariant>

class QIODevice;

// Writes an Excel 97-2003 workbook (.xls: a compound file holding a BIFF8
// Workbook stream) with one worksheet: the headings in row 1 in Arial bold,
// centred; the rows below in Arial, General alignment; numbers as numbers,
// everything else as text; columns sized to their widest text; no borders,
// fills, filters, headers or footers.
//
//   XlsSheet sheet;
//   sheet.name = "Csongrád";
//   sheet.headings = {"DÁTUM", "IRSZ"};
//   sheet.rows.append({QString("2020.09.05"), 6720});
//   XlsWriter::writeFile("out.xls", sheet);   // throws ExportError
struct XlsSheet {
    QString name;
    QStringList headings;
    // One QVariant per cell: an integer or double is written as a number,
    // anything else as text, a null variant as an empty cell.
    QList<QList<QVariant>> rows;
};

namespace XlsWriter {

constexpr int maxRows = 65536; // headings included
constexpr int maxColumns = 256;

// A sheet name Excel accepts: ": \ / ? * [ ]" replaced by "_", at most 31
// characters, never empty.
QString sheetName(const QString& wanted);

// The BIFF8 record stream of the workbook (what the container stores).
QByteArray workbookStream(const XlsSheet& sheet);

// Writes the whole file to a device. Throws ExportError.
void write(QIODevice& out, const XlsSheet& sheet);
// Writes the file under path, replacing an existing one only once the new
// file is complete. Throws ExportError.
void writeFile(const QString& path, const XlsSheet& sheet);

} // namespace XlsWriter
