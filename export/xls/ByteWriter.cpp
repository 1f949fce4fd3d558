#include "export/xls/ByteWriter.h"

#include <QIODevice>

#include <QtEndian>

#include <algorithm>

namespace xls {

ByteWriter::ByteWriter(QByteArray& out)
    : m_out(out)
    , m_start(out.size())
    , m_at(out.data() + out.size())
    , m_end(m_at)
{
}

void ByteWriter::grow(qsizetype size)
{
    const qsizetype used = m_at - m_out.data();
    const qsizetype wanted = std::max(used + size, m_out.size() * 2 + 4096);
    m_out.resize(wanted);
    m_at = m_out.data() + used;
    m_end = m_out.data() + m_out.size();
}

void ByteWriter::f64(double value)
{
    quint64 bits = 0;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    u32(quint32(bits & 0xFFFFFFFFu));
    u32(quint32(bits >> 32));
}

void ByteWriter::characters(QStringView text, bool oneByte)
{
    const char16_t* data = text.utf16();
    const qsizetype n = text.size();
    if (oneByte) {
        room(n);
        for (qsizetype i = 0; i < n; ++i)
            m_at[i] = char(data[i]);
        m_at += n;
        return;
    }
    room(n * 2);
    for (qsizetype i = 0; i < n; ++i) {
        m_at[2 * i] = char(data[i] & 0xFF);
        m_at[2 * i + 1] = char(data[i] >> 8);
    }
    m_at += n * 2;
}

void ByteWriter::patchU32(qsizetype position, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        m_out[position + i] = char((value >> (8 * i)) & 0xFF);
}

bool ByteWriter::drainTo(QIODevice& device)
{
    const qsizetype size = written();
    const bool accepted = device.write(m_out.constData() + m_start, size) == size;
    m_at = m_out.data() + m_start;
    return accepted;
}

void ByteWriter::finish()
{
    m_out.truncate(m_at - m_out.data());
    m_at = m_out.data() + m_out.size();
    m_end = m_at;
}

} // namespace xls
