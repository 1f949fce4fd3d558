#include "export/XlsWriter.h"

#include "export/xls/CompoundFile.h"
#include "export/xls/Records.h"
#include "export/xls/SharedStrings.h"
#include "export/xls/TextWidth.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cmath>

using namespace xls;

namespace {

// Cell formats: 15 style XFs, then the data cell (15) and the heading (16).
constexpr quint16 dataXf = 15;
constexpr quint16 headingXf = 16;
constexpr quint16 regularFont = 0;
constexpr quint16 boldFont = 5; // font index 4 does not exist: the fifth FONT record is index 5
constexpr int rowBlock = 32;

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
    putU16(body, 200);    // 10 pt in twips
    putU16(body, bold ? 0x0001 : 0); // older readers take bold from bit 0; never italic or struck out
    putU16(body, 0x7FFF); // automatic (black) colour
    putU16(body, bold ? 700 : 400);
    putU16(body, 0);      // no super-/subscript
    putU8(body, 0);       // no underline
    putU8(body, 2);       // swiss family
    putU8(body, 0);       // ANSI character set
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
    putU16(body, 0);                            // General number format
    putU16(body, style ? 0xFFF5 : 0x0001);      // locked; style XFs have no parent, cells the Normal style
    putU8(body, quint8(alignment | 0x20));      // horizontal alignment; vertical: bottom
    putU8(body, 0);                             // no rotation
    putU8(body, 0);                             // no indent, no shrinking
    putU8(body, usedAttributes);
    putU32(body, 0);                            // no borders
    putU32(body, 0);                            // no border colours, no fill pattern
    putU16(body, 0x20C0);                       // default pattern colours
    return body;
}

void putGlobals(QByteArray& stream, const QString& name, const SharedStrings& strings, qsizetype* boundSheetOffset)
{
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
    *boundSheetOffset = stream.size() + 4; // patched once the sheet's place is known
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

// The text Excel shows for a number in the General format, for sizing.
QString generalText(double number)
{
    return QString::number(number, 'g', 10);
}

QByteArray rowRecord(int row, int columns)
{
    QByteArray body;
    putU16(body, quint16(row));
    putU16(body, 0);
    putU16(body, quint16(columns));
    putU16(body, 0x00FF); // default height
    putU16(body, 0);
    putU16(body, 0);
    putU16(body, 0x0100); // the bit that must be set
    putU16(body, dataXf);
    return body;
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

QByteArray workbookStream(const XlsSheet& sheet)
{
    const int columns = int(sheet.headings.size());
    if (columns == 0 || columns > maxColumns)
        throw ExportError(QStringLiteral("A munkalap oszlopainak száma 1 és %1 között lehet.").arg(maxColumns));
    if (sheet.rows.size() + 1 > maxRows)
        throw ExportError(QStringLiteral("Egy munkalapra legfeljebb %1 sor fér.").arg(maxRows - 1));

    // Cells in sheet order, with the string table and the column widths.
    SharedStrings strings;
    QList<int> widths(columns, 0);
    struct Cell {
        quint16 column;
        bool number;
        double value;
        quint32 string;
    };
    std::vector<std::vector<Cell>> cells(size_t(sheet.rows.size() + 1));
    for (int c = 0; c < columns; ++c) {
        cells[0].push_back({quint16(c), false, 0, strings.add(sheet.headings[c])});
        widths[c] = textWidthPixels(sheet.headings[c], true);
    }
    for (qsizetype r = 0; r < sheet.rows.size(); ++r) {
        const QList<QVariant>& row = sheet.rows[r];
        for (int c = 0; c < columns && c < row.size(); ++c) {
            const QVariant& value = row[c];
            if (value.isNull())
                continue;
            QString shown;
            if (isNumber(value)) {
                const double number = value.toDouble();
                cells[size_t(r + 1)].push_back({quint16(c), true, number, 0});
                shown = generalText(number);
            } else {
                shown = value.toString();
                cells[size_t(r + 1)].push_back({quint16(c), false, 0, strings.add(shown)});
            }
            widths[c] = std::max(widths[c], textWidthPixels(shown, false));
        }
    }

    QByteArray stream;
    qsizetype boundSheetOffset = 0;
    putGlobals(stream, sheetName(sheet.name), strings, &boundSheetOffset);
    const quint32 sheetStart = quint32(stream.size());
    for (int i = 0; i < 4; ++i)
        stream[boundSheetOffset + i] = char((sheetStart >> (8 * i)) & 0xFF);

    putRecord(stream, BOF, bof(0x0010));
    QByteArray dimensions;
    putU32(dimensions, 0);
    putU32(dimensions, quint32(cells.size()));
    putU16(dimensions, 0);
    putU16(dimensions, quint16(columns));
    putU16(dimensions, 0);
    putRecord(stream, DIMENSIONS, dimensions);
    for (int c = 0; c < columns; ++c) {
        QByteArray info;
        putU16(info, quint16(c));
        putU16(info, quint16(c));
        putU16(info, columnWidthUnits(widths[c]));
        putU16(info, dataXf);
        putU16(info, 0x0006); // set by the program, best fit
        putU16(info, 0);
        putRecord(stream, COLINFO, info);
    }
    // Rows in blocks of 32: the ROW records, then their cells.
    for (size_t blockStart = 0; blockStart < cells.size(); blockStart += rowBlock) {
        const size_t blockEnd = std::min(cells.size(), blockStart + rowBlock);
        for (size_t r = blockStart; r < blockEnd; ++r)
            putRecord(stream, ROW, rowRecord(int(r), columns));
        for (size_t r = blockStart; r < blockEnd; ++r) {
            const quint16 format = r == 0 ? headingXf : dataXf;
            for (const Cell& cell : cells[r]) {
                QByteArray body;
                putU16(body, quint16(r));
                putU16(body, cell.column);
                putU16(body, format);
                if (cell.number) {
                    putDouble(body, cell.value);
                    putRecord(stream, NUMBER, body);
                } else {
                    putU32(body, cell.string);
                    putRecord(stream, LABELSST, body);
                }
            }
        }
    }
    QByteArray window;
    putU16(window, 0x06B6); // grid, headers, zeros, outline symbols; selected and shown
    putU16(window, 0);
    putU16(window, 0);
    putU32(window, 0x40); // default grid colour
    putU16(window, 0);
    putU16(window, 0);
    putU32(window, 0);
    putRecord(stream, WINDOW2, window);
    putRecord(stream, EOF_, {});
    return stream;
}

void write(QIODevice& out, const XlsSheet& sheet)
{
    if (!writeCompoundFile(out, QStringLiteral("Workbook"), workbookStream(sheet)))
        throw ExportError(QStringLiteral("A munkafüzet nem írható: %1").arg(out.errorString()));
}

void writeFile(const QString& path, const XlsSheet& sheet)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw ExportError(QStringLiteral("A(z) %1 fájl nem hozható létre: %2").arg(path, file.errorString()));
    write(file, sheet);
    if (!file.commit())
        throw ExportError(QStringLiteral("A(z) %1 fájl nem menthető: %2").arg(path, file.errorString()));
}

} // namespace XlsWriter
