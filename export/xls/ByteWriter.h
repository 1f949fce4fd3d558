#pragma once

#include <QByteArray>
#include <QString>

#include <QtEndian>

#include <cstring>
#include <initializer_list>
#include <type_traits>

class QIODevice;

// The one writer of the workbook's bytes: little-endian values appended to
// a buffer that grows as needed, so no put ever writes past its end.
namespace xls {

class ByteWriter {
public:
    // Appends after what out already holds; finish() trims out to what was
    // written (the buffer grows ahead in large steps).
    explicit ByteWriter(QByteArray& out);
    ~ByteWriter() { finish(); }
    ByteWriter(const ByteWriter&) = delete;
    ByteWriter& operator=(const ByteWriter&) = delete;

    void u8(quint8 value)
    {
        room(1);
        *m_at++ = char(value);
    }
    void u16(quint16 value)
    {
        room(2);
        m_at[0] = char(value & 0xFF);
        m_at[1] = char(value >> 8);
        m_at += 2;
    }
    void u32(quint32 value)
    {
        room(4);
        for (int i = 0; i < 4; ++i)
            m_at[i] = char((value >> (8 * i)) & 0xFF);
        m_at += 4;
    }
    void f64(double value);
    void bytes(const char* data, qsizetype size)
    {
        room(size);
        std::memcpy(m_at, data, size_t(size));
        m_at += size;
    }
    // A record's header: its type and the length of the body that follows.
    void recordHeader(quint16 type, quint16 bodySize)
    {
        u16(type);
        u16(bodySize);
    }
    // A whole small record of 16-bit fields and one tail value (a 32-bit
    // integer or a double), written at once: the cells' records, of which a
    // sheet holds hundreds of thousands.
    template <typename Tail>
    void record(quint16 type, std::initializer_list<quint16> fields, Tail tail)
    {
        static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "the tail is copied as it lies in memory");
        static_assert(std::is_same_v<Tail, quint32> || std::is_same_v<Tail, double>);
        const qsizetype body = qsizetype(fields.size()) * 2 + qsizetype(sizeof tail);
        room(4 + body);
        put16(type);
        put16(quint16(body));
        for (const quint16 field : fields)
            put16(field);
        std::memcpy(m_at, &tail, sizeof tail);
        m_at += sizeof tail;
    }
    // Characters of text, one byte each (all below U+0100) or UTF-16LE.
    void characters(QStringView text, bool oneByte);

    // Bytes written through this writer so far.
    qsizetype written() const { return m_at - m_out.data() - m_start; }
    // The absolute position in out of the next byte.
    qsizetype position() const { return m_at - m_out.data(); }
    // Overwrites four bytes written earlier at an absolute position.
    void patchU32(qsizetype position, quint32 value);
    void finish();
    // Writes what this writer wrote to a device and starts again where it
    // started, keeping the buffer for the next bytes. False when the device
    // refused them.
    bool drainTo(QIODevice& device);

private:
    // Within room() only.
    void put16(quint16 value)
    {
        m_at[0] = char(value & 0xFF);
        m_at[1] = char(value >> 8);
        m_at += 2;
    }
    void room(qsizetype size)
    {
        if (m_end - m_at < size)
            grow(size);
    }
    void grow(qsizetype size);

    QByteArray& m_out;
    qsizetype m_start;
    char* m_at;
    char* m_end;
};

} // namespace xls
