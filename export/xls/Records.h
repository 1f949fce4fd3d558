#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Little-endian building blocks of the BIFF8 record stream.
namespace xls {

inline void putU8(QByteArray& out, quint8 value)
{
    out.append(char(value));
}

inline void putU16(QByteArray& out, quint16 value)
{
    out.append(char(value & 0xFF));
    out.append(char(value >> 8));
}

inline void putU32(QByteArray& out, quint32 value)
{
    putU16(out, quint16(value & 0xFFFF));
    putU16(out, quint16(value >> 16));
}

void putDouble(QByteArray& out, double value);

// Whether every character fits one byte (U+0000..U+00FF): such text is
// stored "compressed", one byte a character; other text as UTF-16LE.
bool fitsOneByte(const QString& text);
// The characters of text in the form fitsOneByte chooses.
void putCharacters(QByteArray& out, const QString& text, bool oneByte);

// Record types used by the writer.
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

// Appends one record: type, body length, body.
void putRecord(QByteArray& stream, quint16 type, const QByteArray& body);

} // namespace xls
