#include "export/XlsWriter.h"

#include "export/xls/CompoundFile.h"
#include "export/xls/Records.h"
#include "export/xls/SharedStrings.h"
#include "export/xls/TextWidth.h"

#include <QSaveFile>

#include <cmath>
#include <cstring>
#include <vector>

using namespace xls;

namespace {

// Cell formats: 15 style XFs, then the data cell (15) and the heading (16).
constexpr quint16 dataXf = 15;
constexpr quint16 headingXf = 16;
constexpr quint16 regularFont = 0;
constexpr quint16 boldFont = 5; // font index 4 does not exist: the fifth FONT record is index 5
constexpr int rowBlock = 32;
constexpr qsizetype maxCellText = 32767; // what one cell can hold

// A text cut to what a cell holds, never between the halves of a pair.
QString cutText(const QString& text)
{
    if (text.size() <= maxCellText)
        return text;
    return text.left(text[maxCellText - 1].isHighSurrogate() ? maxCellText - 1 : maxCellText);
}

QByteArray bof(quint16 kind)
{
    QByteArray body;
    putU16(body, 0x0600); // BIFF8
    putU16(body, kind);   // 0x0005 workbook globals, 0x0010 worksheet
    putU16(body, 0x0DBB); // build
    putU16(body, 0x07CC); // year
    putU32(body, 0);      // file history
    putU32(body, 0x0006); // lowest BIFF version that can read it
    return body;
}

QByteArray font(bool bold)
{
    QByteArray body;
    putU16(body, 200);               // 10 pt in twips
    putU16(body, bold ? 0x0001 : 0); // older readers take bold from bit 0; never italic or struck out
    putU16(body, 0x7FFF);            // automatic (black) colour
    putU16(body, bold ? 700 : 400);
    putU16(body, 0); // no super-/subscript
    putU8(body, 0);  // no underline
    putU8(body, 2);  // swiss family
    putU8(body, 0);  // ANSI character set
    putU8(body, 0);
    const QString name = QStringLiteral("Arial");
    putU8(body, quint8(name.size()));
    putU8(body, 0); // one byte a character
    putCharacters(body, name, true);
    return body;
}

// alignment: 0 general, 2 centred.
QByteArray xf(quint16 fontIndex, bool style, quint8 alignment, quint8 usedAttributes)
{
    QByteArray body;
    putU16(body, fontIndex);
    putU16(body, 0);                       // General number format
    putU16(body, style ? 0xFFF5 : 0x0001); // locked; style XFs have no parent, cells the Normal style
    putU8(body, quint8(alignment | 0x20)); // horizontal alignment; vertical: bottom
    putU8(body, 0);                        // no rotation
    putU8(body, 0);                        // no indent, no shrinking
    putU8(body, usedAttributes);
    putU32(body, 0);      // no borders
    putU32(body, 0);      // no border colours, no fill pattern
    putU16(body, 0x20C0); // default pattern colours
    return body;
}

// The workbook globals: BOF … SST, EXTSST, EOF. The sheet's stream offset
// in BOUNDSHEET is patched by the caller at *boundSheetOffset.
QByteArray globals(const QString& name, const SharedStrings& strings, qsizetype* boundSheetOffset)
{
    QByteArray stream;
    putRecord(stream, BOF, bof(0x0005));
    QByteArray codepage;
    putU16(codepage, 1200); // UTF-16
    putRecord(stream, CODEPAGE, codepage);
    QByteArray window;
    putU16(window, 0x0168);
    putU16(window, 0x001E);
    putU16(window, 0x4000);
    putU16(window, 0x2000);
    putU16(window, 0x0038); // horizontal and vertical scroll bars, sheet tabs
    putU16(window, 0);      // active sheet
    putU16(window, 0);      // first visible tab
    putU16(window, 1);      // selected sheets
    putU16(window, 0x0258); // tab bar width ratio
    putRecord(stream, WINDOW1, window);
    for (int i = 0; i < 4; ++i)
        putRecord(stream, FONT, font(false));
    putRecord(stream, FONT, font(true));
    putRecord(stream, XF, xf(regularFont, true, 0, 0x00));
    for (int i = 1; i < 15; ++i)
        putRecord(stream, XF, xf(regularFont, true, 0, 0xF4));
    putRecord(stream, XF, xf(regularFont, false, 0, 0x00));
    putRecord(stream, XF, xf(boldFont, false, 2, 0x18)); // own font and alignment
    QByteArray style;
    putU16(style, 0x8000); // built-in style of XF 0
    putU8(style, 0);       // Normal
    putU8(style, 0xFF);
    putRecord(stream, STYLE, style);

    QByteArray sheet;
    *boundSheetOffset = stream.size() + 4;
    putU32(sheet, 0);
    putU8(sheet, 0); // visible
    putU8(sheet, 0); // worksheet
    const bool oneByte = fitsOneByte(name);
    putU8(sheet, quint8(name.size()));
    putU8(sheet, oneByte ? 0 : 1);
    putCharacters(sheet, name, oneByte);
    putRecord(stream, BOUNDSHEET, sheet);

    strings.write(stream);
    putRecord(stream, EOF_, {});
    return stream;
}

// Fixed-size records written straight into a buffer sized beforehand for
// the largest possible content; finish() trims it to what was written.
class CellWriter {
public:
    CellWriter(QByteArray& out, qsizetype capacity)
        : m_out(out)
    {
        m_out.resize(capacity);
        m_at = m_out.data();
    }
    void finish() { m_out.truncate(m_at - m_out.data()); }
    void append(const QByteArray& bytes)
    {
        std::memcpy(m_at, bytes.constData(), size_t(bytes.size()));
        m_at += bytes.size();
    }

    void label(quint16 row, quint16 column, quint16 format, quint32 string)
    {
        put16(LABELSST);
        put16(10);
        put16(row);
        put16(column);
        put16(format);
        put32(string);
    }
    void number(quint16 row, quint16 column, quint16 format, double value)
    {
        put16(NUMBER);
        put16(14);
        put16(row);
        put16(column);
        put16(format);
        quint64 bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        put32(quint32(bits));
        put32(quint32(bits >> 32));
    }
    void row(quint16 row, quint16 columns)
    {
        put16(ROW);
        put16(16);
        put16(row);
        put16(0);
        put16(columns);
        put16(0x00FF); // default height
        put16(0);
        put16(0);
        put16(0x0100); // the bit that must be set
        put16(dataXf);
    }

    static constexpr qsizetype rowSize = 20;
    static constexpr qsizetype largestCellSize = 18;

private:
    void put16(quint16 value)
    {
        *m_at++ = char(value & 0xFF);
        *m_at++ = char(value >> 8);
    }
    void put32(quint32 value)
    {
        put16(quint16(value & 0xFFFF));
        put16(quint16(value >> 16));
    }
    QByteArray& m_out;
    char* m_at = nullptr;
};

// Width in pixels of a number as the General format shows it.
int numberWidth(double value)
{
    if (value == std::floor(value) && std::abs(value) < 1e10)
        return integerWidthPixels(qint64(value));
    return textWidthPixels(QString::number(value, 'g', 10), false);
}

bool isNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

// The whole stream in four parts, never joined: globals, sheet head
// (BOF, DIMENSIONS, COLINFO), cells, sheet tail (WINDOW2, EOF).
QList<QByteArray> streamParts(const XlsTable& table)
{
    const QStringList headings = table.headings();
    const int columns = int(headings.size());
    const int rows = table.rowCount();
    if (columns == 0 || columns > XlsWriter::maxColumns)
        throw ExportError(
            QStringLiteral("A munkalap oszlopainak száma 1 és %1 között lehet.").arg(XlsWriter::maxColumns));
    if (rows + 1 > XlsWriter::maxRows)
        throw ExportError(QStringLiteral("Egy munkalapra legfeljebb %1 sor fér.").arg(XlsWriter::maxRows - 1));

    SharedStrings strings;
    strings.reserve(rows + columns);
    std::vector<int> stringWidths; // by string index, measured once per distinct text
    std::vector<int> widths(size_t(columns), 0);
    struct Column {
        QString lastText;
        quint32 lastIndex = 0;
        bool hasLast = false;
    };
    std::vector<Column> columnState(static_cast<size_t>(columns));
    QByteArray cells;
    CellWriter writer(cells, qsizetype(rows + 1) * (CellWriter::rowSize + columns * CellWriter::largestCellSize));
    QByteArray block;

    for (int blockStart = 0; blockStart <= rows; blockStart += rowBlock) {
        const int blockEnd = std::min(rows + 1, blockStart + rowBlock);
        CellWriter blockWriter(block, qsizetype(rowBlock) * columns * CellWriter::largestCellSize);
        for (int r = blockStart; r < blockEnd; ++r) {
            writer.row(quint16(r), quint16(columns));
            for (int c = 0; c < columns; ++c) {
                const QVariant value = r == 0 ? QVariant(headings[c]) : table.cell(r - 1, c);
                const int type = value.typeId();
                int width = 0;
                if (type == QMetaType::QString) {
                    // The text held in the variant, not a copy; a column often
                    // repeats its previous text, which needs no lookup.
                    const QString* held = static_cast<const QString*>(value.constData());
                    if (held->isNull())
                        continue;
                    QString cut;
                    if (held->size() > maxCellText) {
                        cut = cutText(*held);
                        held = &cut;
                    }
                    const QString& text = *held;
                    Column& column = columnState[size_t(c)];
                    if (!column.hasLast || text != column.lastText) {
                        bool added = false;
                        column.lastIndex = strings.add(text, &added);
                        if (added)
                            stringWidths.push_back(textWidthPixels(text, false));
                        column.lastText = text;
                        column.hasLast = r > 0; // a heading is not a data row's neighbour
                    } else {
                        strings.addReference();
                    }
                    blockWriter.label(quint16(r), quint16(c), r == 0 ? headingXf : dataXf, column.lastIndex);
                    width = r == 0 ? textWidthPixels(text, true) : stringWidths[column.lastIndex];
                } else if (!value.isValid() || value.isNull()) {
                    continue;
                } else if (isNumber(value)) {
                    const double number = value.toDouble();
                    blockWriter.number(quint16(r), quint16(c), dataXf, number);
                    width = numberWidth(number);
                } else {
                    const QString text = cutText(value.toString());
                    bool added = false;
                    const quint32 index = strings.add(text, &added);
                    if (added)
                        stringWidths.push_back(textWidthPixels(text, false));
                    blockWriter.label(quint16(r), quint16(c), dataXf, index);
                    width = stringWidths[index];
                }
                widths[size_t(c)] = std::max(widths[size_t(c)], width);
            }
        }
        blockWriter.finish();
        writer.append(block);
    }
    writer.finish();

    qsizetype boundSheetOffset = 0;
    QByteArray head = globals(XlsWriter::sheetName(table.sheetName()), strings, &boundSheetOffset);
    const quint32 sheetStart = quint32(head.size());
    for (int i = 0; i < 4; ++i)
        head[boundSheetOffset + i] = char((sheetStart >> (8 * i)) & 0xFF);

    putRecord(head, BOF, bof(0x0010));
    QByteArray dimensions;
    putU32(dimensions, 0);
    putU32(dimensions, quint32(rows + 1));
    putU16(dimensions, 0);
    putU16(dimensions, quint16(columns));
    putU16(dimensions, 0);
    putRecord(head, DIMENSIONS, dimensions);
    for (int c = 0; c < columns; ++c) {
        QByteArray info;
        putU16(info, quint16(c));
        putU16(info, quint16(c));
        putU16(info, columnWidthUnits(widths[size_t(c)]));
        putU16(info, dataXf);
        putU16(info, 0x0006); // set by the program, best fit
        putU16(info, 0);
        putRecord(head, COLINFO, info);
    }

    QByteArray tail;
    QByteArray window;
    putU16(window, 0x06B6); // grid, headers, zeros, outline symbols; selected and shown
    putU16(window, 0);
    putU16(window, 0);
    putU32(window, 0x40); // default grid colour
    putU16(window, 0);
    putU16(window, 0);
    putU32(window, 0);
    putRecord(tail, WINDOW2, window);
    putRecord(tail, EOF_, {});
    return {head, cells, tail};
}

} // namespace

namespace XlsWriter {

QString sheetName(const QString& wanted)
{
    QString name = wanted;
    for (QChar& ch : name) {
        if (QStringLiteral(":\\/?*[]").contains(ch) || ch.unicode() < 0x20)
            ch = u'_';
    }
    name = name.left(31);
    return name.trimmed().isEmpty() ? QStringLiteral("Munka1") : name;
}

QByteArray workbookStream(const XlsTable& table)
{
    QByteArray stream;
    for (const QByteArray& part : streamParts(table))
        stream.append(part);
    return stream;
}

void write(QIODevice& out, const XlsTable& table)
{
    if (!writeCompoundFile(out, QStringLiteral("Workbook"), streamParts(table)))
        throw ExportError(QStringLiteral("A munkafüzet nem írható: %1").arg(out.errorString()));
}

void writeFile(const QString& path, const XlsTable& table)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw ExportError(QStringLiteral("A(z) %1 fájl nem hozható létre: %2").arg(path, file.errorString()));
    write(file, table);
    if (!file.commit())
        throw ExportError(QStringLiteral("A(z) %1 fájl nem menthető: %2").arg(path, file.errorString()));
}

} // namespace XlsWriter
