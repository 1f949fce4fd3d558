#include "export/xls/SharedStrings.h"

#include "export/xls/Records.h"

#include <vector>

namespace xls {

quint32 SharedStrings::add(const QString& text, bool* added)
{
    ++m_references;
    const qsizetype before = m_index.size();
    quint32& slot = m_index[text]; // one lookup, inserting when absent
    const bool inserted = m_index.size() != before;
    if (added)
        *added = inserted;
    if (!inserted)
        return slot;
    slot = quint32(m_strings.size());
    m_strings << text;
    return slot;
}

void SharedStrings::write(QByteArray& stream) const
{
    // Buckets of the EXTSST index: every dsst-th string's position.
    const qsizetype count = m_strings.size();
    const quint16 dsst = quint16(std::max<qsizetype>(8, (count + 127) / 128));
    struct Bucket {
        quint32 streamOffset;
        quint16 recordOffset;
    };
    std::vector<Bucket> buckets;

    QByteArray body;
    putU32(body, m_references);
    putU32(body, quint32(count));
    bool first = true;
    qsizetype recordStart = stream.size(); // where the current record's header begins

    auto flush = [&] {
        putRecord(stream, first ? SST : CONTINUE, body);
        first = false;
        body.clear();
        recordStart = stream.size();
    };

    for (qsizetype i = 0; i < count; ++i) {
        const QString& text = m_strings[i];
        const bool oneByte = fitsOneByte(text);
        const int charSize = oneByte ? 1 : 2;
        // The header (length and flags) and the first character stay together.
        if (body.size() + 3 + charSize > maxRecordBody)
            flush();
        if (i % dsst == 0)
            buckets.push_back({quint32(recordStart + 4 + body.size()), quint16(4 + body.size())});
        putU16(body, quint16(text.size()));
        putU8(body, oneByte ? 0x00 : 0x01);
        qsizetype written = 0;
        while (written < text.size()) {
            const qsizetype room = (maxRecordBody - body.size()) / charSize;
            if (room == 0) {
                flush();
                putU8(body, oneByte ? 0x00 : 0x01); // a continued string restates its width
                continue;
            }
            const qsizetype take = std::min(room, text.size() - written);
            putCharacters(body, written == 0 && take == text.size() ? text : text.mid(written, take), oneByte);
            written += take;
        }
    }
    flush();

    QByteArray ext;
    putU16(ext, dsst);
    for (const Bucket& bucket : buckets) {
        putU32(ext, bucket.streamOffset);
        putU16(ext, bucket.recordOffset);
        putU16(ext, 0);
    }
    putRecord(stream, EXTSST, ext);
}

} // namespace xls
