#pragma once

#include <QByteArray>
#include <QList>

// The BIFF8 records of a stream, for the module tests of the workbook:
// each record's type and body, in order.
struct XlsRecord {
    quint16 type;
    QByteArray body;
};
QList<XlsRecord> xlsRecords(const QByteArray& stream);

// Bytes from hex digits; blanks between them are for reading only.
QByteArray hexBytes(const char* digits);
