#include "export/xls/Records.h"

#include <QtEndian>

#include <cstring>

namespace xls {

void putDouble(QByteArray& out, double value)
{
    quint64 bits = 0;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    putU32(out, quint32(bits & 0xFFFFFFFFu));
    putU32(out, quint32(bits >> 32));
}

bool fitsOneByte(const QString& text)
{
    for (const QChar ch : text) {
        if (ch.unicode() > 0xFF)
            return false;
    }
    return true;
}

void putCharacters(QByteArray& out, const QString& text, bool oneByte)
{
    for (const QChar ch : text) {
        if (oneByte)
            putU8(out, quint8(ch.unicode()));
        else
            putU16(out, ch.unicode());
    }
}

void putRecord(QByteArray& stream, quint16 type, const QByteArray& body)
{
    Q_ASSERT(body.size() <= maxRecordBody);
    putU16(stream, type);
    putU16(stream, quint16(body.size()));
    stream.append(body);
}

} // namespace xls
