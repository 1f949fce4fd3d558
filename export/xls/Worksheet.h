#pragma once

#include <QStringView>

#include <vector>

class DataTable;
class QIODevice;

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
    Worksheet(const DataTable& table, SharedStrings& strings);

    // Bytes of the substream write() writes.
    qint64 size() const { return m_headSize + m_cellsSize + m_tailSize; }
    // BOF, DIMENSIONS, COLINFO, the rows and their cells, WINDOW2, EOF,
    // drained to out through the writer. Throws ExportError when out
    // refuses a write.
    void write(ByteWriter& stream, QIODevice& out) const;

private:
    static constexpr quint32 numberCell = 0xFFFFFFFE;
    static constexpr quint32 emptyCell = 0xFFFFFFFF;

    // The first pass over one row (0: the headings).
    void readRow(int row, SharedStrings& strings);
    // A text cell of the first pass: its string, its column's width.
    quint32 addText(int row, int column, QStringView text, SharedStrings& strings);
    void writeHead(ByteWriter& stream) const;
    void writeRows(ByteWriter& stream, int first, int end) const;
    void writeTail(ByteWriter& stream) const;

    const DataTable& m_table;
    int m_rows; // the headings' row included
    int m_columns;
    std::vector<QString> m_headings;
    std::vector<quint32> m_cells;      // a string index, numberCell or emptyCell, row by row
    std::vector<int> m_widths;         // pixels of each column's widest cell
    std::vector<int> m_stringWidths;   // by string index, measured once per distinct text, regular
    std::vector<quint32> m_lastString; // by column: the string of the cell above, which most often repeats
    qint64 m_headSize = 0;
    qint64 m_cellsSize = 0;
    qint64 m_tailSize = 0;
};

} // namespace xls
