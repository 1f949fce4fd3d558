#include "export/xls/SharedStrings.h"

#include "export/ExportError.h"
#include "export/xls/ByteWriter.h"
#include "export/xls/Records.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace xls {

SharedStrings::SharedStrings()
{
    rehash(1024);
}

SharedStrings::Slots SharedStrings::emptySlots(size_t count)
{
    Slots table(static_cast<Slot*>(std::calloc(count, sizeof(Slot))));
    if (!table)
        throw ExportError(QStringLiteral("Nincs elég memória a munkafüzet szövegeihez."));
    return table;
}

void SharedStrings::reserve(qsizetype strings)
{
    m_strings.reserve(size_t(strings));
    size_t count = m_slotCount;
    while (count < size_t(strings) * 2)
        count *= 2;
    if (count > m_slotCount)
        rehash(count);
}

namespace {

// A quick hash of the characters, four at a time (the strings are short and
// many; nothing outside this table sees the values).
quint32 hashOf(QStringView text)
{
    const char16_t* data = text.utf16();
    const qsizetype n = text.size();
    quint64 hash = 0x9E3779B97F4A7C15ull ^ quint64(n);
    qsizetype i = 0;
    for (; i + 4 <= n; i += 4) {
        quint64 word;
        std::memcpy(&word, data + i, 8);
        hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
        hash ^= hash >> 32;
    }
    for (; i < n; ++i)
        hash = (hash ^ data[i]) * 0xC4CEB9FE1A85EC53ull;
    hash ^= hash >> 29;
    return quint32(hash);
}

} // namespace

quint32 SharedStrings::add(QStringView text, bool* added)
{
    ++m_references;
    const quint32 hash = hashOf(text);
    const size_t mask = m_slotCount - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
        Slot& slot = m_slots[at];
        if (slot.index == 0) {
            slot = {hash, quint32(m_strings.size() + 1)};
            m_strings.push_back(text.toString());
            if (added)
                *added = true;
            const quint32 index = slot.index - 1;
            if (m_strings.size() * 2 > m_slotCount)
                rehash(m_slotCount * 2);
            return index;
        }
        // The very same string data (a shared value) needs no comparison.
        const QString& stored = m_strings[slot.index - 1];
        if (slot.hash == hash && stored.size() == text.size()
            && (stored.constData() == text.constData() || QStringView(stored) == text)) {
            if (added)
                *added = false;
            return slot.index - 1;
        }
    }
}

void SharedStrings::rehash(size_t count)
{
    Slots table = emptySlots(count);
    const size_t mask = count - 1;
    for (size_t i = 0; i < m_slotCount; ++i) {
        const Slot& slot = m_slots[i];
        if (slot.index == 0)
            continue;
        size_t at = slot.hash & mask;
        while (table[at].index != 0)
            at = (at + 1) & mask;
        table[at] = slot;
    }
    m_slots = std::move(table);
    m_slotCount = count;
}

namespace {

// The body of the record being written: at most 8,224 bytes.
struct RecordBody {
    char data[maxRecordBody];
    int size = 0;

    int room() const { return maxRecordBody - size; }
    void u8(quint8 value) { data[size++] = char(value); }
    void u16(quint16 value)
    {
        u8(quint8(value & 0xFF));
        u8(quint8(value >> 8));
    }
    void u32(quint32 value)
    {
        u16(quint16(value & 0xFFFF));
        u16(quint16(value >> 16));
    }
    void characters(const char16_t* text, qsizetype count, bool oneByte)
    {
        if (oneByte) {
            for (qsizetype i = 0; i < count; ++i)
                data[size + i] = char(text[i]);
            size += int(count);
            return;
        }
        for (qsizetype i = 0; i < count; ++i) {
            data[size + 2 * i] = char(text[i] & 0xFF);
            data[size + 2 * i + 1] = char(text[i] >> 8);
        }
        size += int(count * 2);
    }
};

} // namespace

void SharedStrings::write(ByteWriter& stream) const
{
    // Buckets of the EXTSST index: every dsst-th string's position.
    const qsizetype count = uniqueCount();
    const quint16 dsst = quint16(std::max<qsizetype>(8, (count + 127) / 128));
    struct Bucket {
        quint32 streamOffset;
        quint16 recordOffset;
    };
    std::vector<Bucket> buckets;
    buckets.reserve(size_t(count / dsst + 1));

    auto body = std::make_unique<RecordBody>();
    body->u32(m_references);
    body->u32(quint32(count));
    bool first = true;
    qsizetype recordStart = stream.position(); // where the current record's header begins
    auto flush = [&] {
        stream.recordHeader(first ? SST : CONTINUE, quint16(body->size));
        stream.bytes(body->data, body->size);
        first = false;
        body->size = 0;
        recordStart = stream.position();
    };

    for (qsizetype i = 0; i < count; ++i) {
        const QString& text = m_strings[size_t(i)];
        const bool oneByte = fitsOneByte(text);
        const int charSize = oneByte ? 1 : 2;
        // The header (length and flags) and the first character stay together.
        if (body->room() < 3 + charSize)
            flush();
        if (i % dsst == 0)
            buckets.push_back({quint32(recordStart + 4 + body->size), quint16(4 + body->size)});
        body->u16(quint16(text.size()));
        body->u8(oneByte ? 0x00 : 0x01);
        const auto* characters = reinterpret_cast<const char16_t*>(text.utf16());
        qsizetype written = 0;
        while (written < text.size()) {
            const qsizetype room = body->room() / charSize;
            if (room == 0) {
                flush();
                body->u8(oneByte ? 0x00 : 0x01); // a continued string restates its width
                continue;
            }
            const qsizetype take = std::min(room, text.size() - written);
            body->characters(characters + written, take, oneByte);
            written += take;
        }
    }
    flush();

    stream.recordHeader(EXTSST, quint16(2 + 8 * buckets.size()));
    stream.u16(dsst);
    for (const Bucket& bucket : buckets) {
        stream.u32(bucket.streamOffset);
        stream.u16(bucket.recordOffset);
        stream.u16(0);
    }
}

} // namespace xls
