#pragma once

#include <QString>

// The workbook globals substream, the first part of the Workbook stream.
namespace xls {

class ByteWriter;
class SharedStrings;

// BOF (kind 0x0005 workbook globals, 0x0010 worksheet).
void writeBof(ByteWriter& stream, quint16 kind);

// BOF, CODEPAGE (UTF-16), WINDOW1, five FONT records (regular Arial, and
// bold at index 5: index 4 does not exist), the 15 style XFs and the two
// cell XFs (data, heading), the Normal STYLE, the sheet's BOUNDSHEET, SST
// with EXTSST, EOF. Returns where BOUNDSHEET's stream-offset field stands,
// to be patched once the sheet's place is known.
qsizetype writeGlobals(ByteWriter& stream, const QString& sheetName, const SharedStrings& strings);

} // namespace xls
