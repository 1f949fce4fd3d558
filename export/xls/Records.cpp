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
    const char16_t* data = reinterpret_cast<const char16_t*>(text.utf16());
    char16_t all = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        all |= data[i];
    return all <= 0xFF;
}

void putCharacters(QByteArray& out, const QString& text, bool oneByte)
{
    if (oneByte) {
        out.append(text.toLatin1());
        return;
    }
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    out.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
#else
    for (const QChar ch : text)
        putU16(out, ch.unicode());
#endif
}

void putRecord(QByteArray& stream, quint16 type, const QByteArray& body)
{
    Q_ASSERT(body.size() <= maxRecordBody);
    putU16(stream, type);
    putU16(stream, quint16(body.size()));
    stream.append(body);
}

} // namespace xls
