#pragma once

#include <QVariant>

#include <vector>

class QIODevice;
class XlsTable;

// One worksheet of a table, the second part of the Workbook stream. Made in
// two passes: the first reads every cell once, adding each text to the
// shared strings, measuring the columns and keeping only each cell's string
// index; write() then writes the records, row block by row block, reading
// again only the numbers.
namespace xls {

class ByteWriter;
class SharedStrings;

class Worksheet {
public:
    // The first pass. Throws ExportError for a table no sheet can hold.
    Worksheet(const XlsTable& table, SharedStrings& strings);

    // Bytes of the substream write() writes.
    qint64 size() const { return m_headSize + m_cellsSize + m_tailSize; }
    // BOF, DIMENSIONS, COLINFO, the rows and their cells, WINDOW2, EOF,
    // drained to out through the writer. False when out refused a write.
    bool write(ByteWriter& stream, QIODevice& out) const;

private:
    static constexpr quint32 numberCell = 0xFFFFFFFE;
    static constexpr quint32 emptyCell = 0xFFFFFFFF;

    const XlsTable& m_table;
    int m_rows; // the headings' row included
    int m_columns;
    std::vector<QVariant> m_headings;
    std::vector<quint32> m_cells; // a string index, numberCell or emptyCell, row by row
    std::vector<int> m_widths;    // pixels of each column's widest cell
    qint64 m_headSize = 0;
    qint64 m_cellsSize = 0;
    qint64 m_tailSize = 0;
};

} // namespace xls
