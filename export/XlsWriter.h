#pragma once

#include "export/ExportError.h"

#include <QList>
#include <QString>
#include <QStringList>
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
//
// Large tables need not be copied into an XlsSheet: implement XlsTable over
// them. Each text is read once, each number twice; the file is written
// straight through, never held whole.

// The cells of one worksheet, read row by row.
class XlsTable {
public:
    virtual ~XlsTable() = default;
    virtual QString sheetName() const = 0;
    virtual QStringList headings() const = 0;
    virtual int rowCount() const = 0;
    // An integer or double is written as a number, anything else as text, a
    // null variant as an empty cell. The reference need live only until the
    // next call.
    virtual const QVariant& cell(int row, int column) const = 0;
};

// A worksheet held in memory.
struct XlsSheet : XlsTable {
    QString name;
    QStringList headings_;
    QList<QList<QVariant>> rows;

    QString sheetName() const override { return name; }
    QStringList headings() const override { return headings_; }
    int rowCount() const override { return int(rows.size()); }
    const QVariant& cell(int row, int column) const override
    {
        static const QVariant empty;
        return column < rows[row].size() ? rows[row][column] : empty;
    }
};

namespace XlsWriter {

constexpr int maxRows = 65536; // headings included
constexpr int maxColumns = 256;

// A sheet name Excel accepts: ": \ / ? * [ ]" replaced by "_", no
// apostrophe at either end, at most 31 characters (cut between whole
// characters), never empty.
QString sheetName(const QString& wanted);

// The BIFF8 record stream of the workbook (what the container stores).
QByteArray workbookStream(const XlsTable& table);

// Writes the whole file to a device. Throws ExportError.
void write(QIODevice& out, const XlsTable& table);
// Writes the file under path as ExportFile writes: never through a link, an
// existing regular file replaced only once the new file is complete. Throws
// ExportError.
void writeFile(const QString& path, const XlsTable& table);

} // namespace XlsWriter
