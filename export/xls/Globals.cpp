#include "export/xls/Globals.h"

#include "export/xls/ByteWriter.h"
#include "export/xls/Records.h"
#include "export/xls/SharedStrings.h"

namespace xls {
namespace {

constexpr quint16 regularFont = 0;
constexpr quint16 boldFont = 5; // font index 4 does not exist: the fifth FONT record is index 5

void writeFont(ByteWriter& stream, bool bold)
{
    const QString name = QStringLiteral("Arial");
    stream.recordHeader(FONT, quint16(16 + name.size()));
    stream.u16(200);               // 10 pt in twips
    stream.u16(bold ? 0x0001 : 0); // older readers take bold from bit 0; never italic or struck out
    stream.u16(0x7FFF);            // automatic (black) colour
    stream.u16(bold ? 700 : 400);
    stream.u16(0); // no super-/subscript
    stream.u8(0);  // no underline
    stream.u8(2);  // swiss family
    stream.u8(0);  // ANSI character set
    stream.u8(0);
    stream.u8(quint8(name.size()));
    stream.u8(0); // one byte a character
    stream.characters(name, true);
}

// alignment: 0 general, 2 centred.
void writeXf(ByteWriter& stream, quint16 fontIndex, bool style, quint8 alignment, quint8 usedAttributes)
{
    stream.recordHeader(XF, 20);
    stream.u16(fontIndex);
    stream.u16(0);                       // General number format
    stream.u16(style ? 0xFFF5 : 0x0001); // locked; style XFs have no parent, cells the Normal style
    stream.u8(quint8(alignment | 0x20)); // horizontal alignment; vertical: bottom
    stream.u8(0);                        // no rotation
    stream.u8(0);                        // no indent, no shrinking
    stream.u8(usedAttributes);
    stream.u32(0);      // no borders
    stream.u32(0);      // no border colours, no fill pattern
    stream.u16(0x20C0); // default pattern colours
}

} // namespace

void writeBof(ByteWriter& stream, quint16 kind)
{
    stream.recordHeader(BOF, 16);
    stream.u16(0x0600); // BIFF8
    stream.u16(kind);
    stream.u16(0x0DBB); // build
    stream.u16(0x07CC); // year
    stream.u32(0);      // file history
    stream.u32(0x0006); // lowest BIFF version that can read it
}

qsizetype writeGlobals(ByteWriter& stream, const QString& sheetName, const SharedStrings& strings)
{
    writeBof(stream, 0x0005);
    stream.recordHeader(CODEPAGE, 2);
    stream.u16(1200); // UTF-16
    stream.recordHeader(WINDOW1, 18);
    stream.u16(0x0168);
    stream.u16(0x001E);
    stream.u16(0x4000);
    stream.u16(0x2000);
    stream.u16(0x0038); // horizontal and vertical scroll bars, sheet tabs
    stream.u16(0);      // active sheet
    stream.u16(0);      // first visible tab
    stream.u16(1);      // selected sheets
    stream.u16(0x0258); // tab bar width ratio
    for (int i = 0; i < 4; ++i)
        writeFont(stream, false);
    writeFont(stream, true);
    writeXf(stream, regularFont, true, 0, 0x00);
    for (int i = 1; i < 15; ++i)
        writeXf(stream, regularFont, true, 0, 0xF4);
    writeXf(stream, regularFont, false, 0, 0x00);
    writeXf(stream, boldFont, false, 2, 0x18); // own font and alignment
    stream.recordHeader(STYLE, 4);
    stream.u16(0x8000); // built-in style of XF 0
    stream.u8(0);       // Normal
    stream.u8(0xFF);

    const bool oneByte = fitsOneByte(sheetName);
    stream.recordHeader(BOUNDSHEET, quint16(8 + sheetName.size() * (oneByte ? 1 : 2)));
    const qsizetype sheetOffsetField = stream.position();
    stream.u32(0);
    stream.u8(0); // visible
    stream.u8(0); // worksheet
    stream.u8(quint8(sheetName.size()));
    stream.u8(oneByte ? 0 : 1);
    stream.characters(sheetName, oneByte);

    strings.write(stream);
    stream.recordHeader(EOF_, 0);
    return sheetOffsetField;
}

} // namespace xls
