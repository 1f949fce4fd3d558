#pragma once

#include <QStringView>
#include <QtGlobal>

// The BIFF8 record types the writer uses, and the rules every record keeps.
namespace xls {

enum RecordType : quint16 {
    BOF = 0x0809,
    EOF_ = 0x000A,
    CODEPAGE = 0x0042,
    WINDOW1 = 0x003D,
    FONT = 0x0031,
    XF = 0x00E0,
    STYLE = 0x0293,
    BOUNDSHEET = 0x0085,
    SST = 0x00FC,
    EXTSST = 0x00FF,
    CONTINUE = 0x003C,
    DIMENSIONS = 0x0200,
    COLINFO = 0x007D,
    ROW = 0x0208,
    LABELSST = 0x00FD,
    NUMBER = 0x0203,
    WINDOW2 = 0x023E,
};

// Largest body of one record; longer data goes on in CONTINUE records.
constexpr int maxRecordBody = 8224;

// Cell formats: 15 style XFs, then the data cell (15) and the heading (16).
constexpr quint16 dataXf = 15;
constexpr quint16 headingXf = 16;

// Whether every character fits one byte (U+0000..U+00FF): such text is
// stored "compressed", one byte a character; other text as UTF-16LE.
bool fitsOneByte(QStringView text);

} // namespace xls
