#include "export/xls/Worksheet.h"

#include "export/ExportError.h"
#include "export/XlsWriter.h"
#include "export/xls/ByteWriter.h"
#include "export/xls/Globals.h"
#include "export/xls/Records.h"
#include "export/xls/SharedStrings.h"
#include "export/xls/TextWidth.h"
#include "model/DataTable.h"

#include <QIODevice>

#include <algorithm>
#include <cmath>

namespace xls {
namespace {

constexpr int rowBlock = 32;
constexpr qsizetype maxCellText = 32767; // what one cell can hold
constexpr qint64 rowRecordSize = 4 + 16;
constexpr qint64 labelRecordSize = 4 + 10;
constexpr qint64 numberRecordSize = 4 + 14;
constexpr qsizetype drainAt = 256 * 1024;

// A text cut to what a cell holds, never between the halves of a pair.
QStringView cutText(QStringView text)
{
    if (text.size() <= maxCellText)
        return text;
    return text.left(text[maxCellText - 1].isHighSurrogate() ? maxCellText - 1 : maxCellText);
}

bool isNumber(int type)
{
    static constexpr int numbers[] = {QMetaType::Int, QMetaType::UInt, QMetaType::LongLong, QMetaType::ULongLong,
                                      QMetaType::Double};
    return std::find(std::begin(numbers), std::end(numbers), type) != std::end(numbers);
}

double numberOf(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
        return *static_cast<const int*>(value.constData());
    case QMetaType::LongLong:
        return double(*static_cast<const qlonglong*>(value.constData()));
    case QMetaType::Double:
        return *static_cast<const double*>(value.constData());
    default:
        return value.toDouble();
    }
}

// Width in pixels of a number as the General format shows it.
int numberWidth(double value)
{
    if (value == std::floor(value) && std::abs(value) < 1e10)
        return integerWidthPixels(qint64(value));
    return textWidthPixels(QString::number(value, 'g', 10), false);
}

} // namespace

Worksheet::Worksheet(const DataTable& table, SharedStrings& strings)
    : m_table(table)
    , m_rows(table.rowCount() + 1)
    , m_columns(int(table.columnNames().size()))
{
    if (m_columns == 0 || m_columns > XlsWriter::maxColumns)
        throw ExportError(
            QStringLiteral("A munkalap oszlopainak száma 1 és %1 között lehet.").arg(XlsWriter::maxColumns));
    if (m_rows > XlsWriter::maxRows)
        throw ExportError(QStringLiteral("Egy munkalapra legfeljebb %1 sor fér.").arg(XlsWriter::maxRows - 1));
    for (const QString& heading : table.columnNames())
        m_headings.push_back(heading);
    m_cells.resize(size_t(m_rows) * size_t(m_columns));
    m_widths.assign(size_t(m_columns), 0);
    m_lastString.assign(size_t(m_columns), emptyCell);
    // Most cells repeat a text seen before: about one distinct text a row is
    // a fair guess (a guess only: the table grows past it).
    strings.reserve(qsizetype(m_rows) + 1024);
    m_cellsSize = m_rows * rowRecordSize;
    for (int r = 0; r < m_rows; ++r)
        readRow(r, strings);
    m_headSize = (4 + 16) + (4 + 14) + m_columns * (4 + 12);
    m_tailSize = (4 + 18) + 4;
}

void Worksheet::readRow(int row, SharedStrings& strings)
{
    quint32* cell = m_cells.data() + size_t(row) * size_t(m_columns);
    for (int c = 0; c < m_columns; ++c, ++cell) {
        if (row == 0) {
            *cell = addText(row, c, m_headings[size_t(c)], strings);
            continue;
        }
        const QStringView text = m_table.textCell(row - 1, c);
        if (!text.isNull()) {
            *cell = addText(row, c, text, strings);
            continue;
        }
        const QVariant value = m_table.cell(row - 1, c);
        if (isNumber(value.typeId())) {
            *cell = numberCell;
            m_cellsSize += numberRecordSize;
            m_widths[size_t(c)] = std::max(m_widths[size_t(c)], numberWidth(numberOf(value)));
        } else if (value.isNull()
                   || (value.typeId() == QMetaType::QString
                       && static_cast<const QString*>(value.constData())->isNull())) {
            *cell = emptyCell;
        } else {
            *cell = addText(row, c, value.toString(), strings);
        }
    }
}

quint32 Worksheet::addText(int row, int column, QStringView text, SharedStrings& strings)
{
    text = cutText(text);
    m_cellsSize += labelRecordSize;
    int& width = m_widths[size_t(column)];
    // The same text as the cell above needs no lookup; a heading is no data
    // row's neighbour.
    quint32& last = m_lastString[size_t(column)];
    if (row > 0 && last != emptyCell && QStringView(strings.at(last)) == text) {
        strings.addReference();
        width = std::max(width, m_stringWidths[last]);
        return last;
    }
    bool added = false;
    const quint32 index = strings.add(text, &added);
    if (added)
        m_stringWidths.push_back(textWidthPixels(text, false)); // strings are numbered in the order they come
    if (row == 0) {
        width = std::max(width, textWidthPixels(text, true)); // a heading is measured bold
        return index;
    }
    last = index;
    width = std::max(width, m_stringWidths[index]);
    return index;
}

void Worksheet::write(ByteWriter& stream, QIODevice& out) const
{
    auto drain = [&stream, &out] {
        if (!stream.drainTo(out))
            throw ExportError(QStringLiteral("A munkafüzet nem írható: %1").arg(out.errorString()));
    };
    writeHead(stream);
    // Rows in blocks: the block's ROW records, then its cells.
    for (int blockStart = 0; blockStart < m_rows; blockStart += rowBlock) {
        writeRows(stream, blockStart, std::min(m_rows, blockStart + rowBlock));
        if (stream.written() >= drainAt)
            drain();
    }
    writeTail(stream);
    drain();
}

void Worksheet::writeHead(ByteWriter& stream) const
{
    writeBof(stream, 0x0010);
    stream.recordHeader(DIMENSIONS, 14);
    stream.u32(0);
    stream.u32(quint32(m_rows));
    stream.u16(0);
    stream.u16(quint16(m_columns));
    stream.u16(0);
    for (int c = 0; c < m_columns; ++c) {
        stream.recordHeader(COLINFO, 12);
        stream.u16(quint16(c));
        stream.u16(quint16(c));
        stream.u16(columnWidthUnits(m_widths[size_t(c)]));
        stream.u16(dataXf);
        stream.u16(0x0006); // set by the program, best fit
        stream.u16(0);
    }
}

void Worksheet::writeRows(ByteWriter& stream, int first, int end) const
{
    for (int r = first; r < end; ++r) {
        // Row, first and last column, default height, two reserved words; then the
        // bit that must be set and the row's format.
        stream.record(ROW, {quint16(r), 0, quint16(m_columns), 0x00FF, 0, 0}, 0x0100u | quint32(dataXf) << 16);
    }
    const quint32* cells = m_cells.data();
    for (int r = first; r < end; ++r) {
        const quint16 format = r == 0 ? headingXf : dataXf;
        for (int c = 0; c < m_columns; ++c) {
            const quint32 cell = cells[size_t(r) * size_t(m_columns) + size_t(c)];
            if (cell == emptyCell)
                continue;
            if (cell == numberCell)
                stream.record(NUMBER, {quint16(r), quint16(c), format}, numberOf(m_table.cell(r - 1, c)));
            else
                stream.record(LABELSST, {quint16(r), quint16(c), format}, cell);
        }
    }
}

void Worksheet::writeTail(ByteWriter& stream) const
{
    stream.recordHeader(WINDOW2, 18);
    stream.u16(0x06B6); // grid, headers, zeros, outline symbols; selected and shown
    stream.u16(0);
    stream.u16(0);
    stream.u32(0x40); // default grid colour
    stream.u16(0);
    stream.u16(0);
    stream.u32(0);
    stream.recordHeader(EOF_, 0);
}

} // namespace xls
