#include "support/XlsRecords.h"

#include <QtEndian>

QList<XlsRecord> xlsRecords(const QByteArray& stream)
{
    QList<XlsRecord> records;
    for (qsizetype at = 0; at + 4 <= stream.size();) {
        const quint16 type = qFromLittleEndian<quint16>(stream.constData() + at);
        const quint16 size = qFromLittleEndian<quint16>(stream.constData() + at + 2);
        records.append({type, stream.mid(at + 4, size)});
        at += 4 + size;
    }
    return records;
}

QByteArray hexBytes(const char* digits)
{
    return QByteArray::fromHex(QByteArray(digits).replace(' ', ""));
}
