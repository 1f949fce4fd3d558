#include "store/StatementResult.h"

#include <QStringDecoder>

void StatementResult::reset()
{
    constexpr size_t keptCells = 64 * 1024; // 1 MiB of cells, about 2 MiB of text
    columns.clear();
    types.clear();
    if (cells.capacity() > keptCells || text.capacity() > qsizetype(2 * keptCells)) {
        cells = {};
        text = QString();
        bytes = QByteArray();
    } else {
        cells.clear();
        text.resize(0);
        bytes.resize(0);
    }
    rows = 0;
}

void StatementResult::addInteger(qint64 value)
{
    ResultCell& cell = cells.emplace_back();
    cell.kind = ResultCell::Kind::Integer;
    cell.integer = value;
}

void StatementResult::addReal(double value)
{
    ResultCell& cell = cells.emplace_back();
    cell.kind = ResultCell::Kind::Real;
    cell.real = value;
}

void StatementResult::addText(const char* utf8, qsizetype size)
{
    // Decoded straight onto the end of the text store: a UTF-8 byte never
    // makes more than one UTF-16 unit, so size units are room enough. The
    // store grows geometrically and is cut back to what was written.
    static thread_local QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const qsizetype start = text.size();
    text.resize(start + size);
    QChar* begin = text.data() + start;
    QChar* end = decoder.appendToBuffer(begin, QByteArrayView(utf8, size));
    text.resize(start + (end - begin));
    ResultCell& cell = cells.emplace_back();
    cell.kind = ResultCell::Kind::Text;
    cell.size = quint32(end - begin);
    cell.offset = start;
}

void StatementResult::addBytes(const char* data, qsizetype size)
{
    ResultCell& cell = cells.emplace_back();
    cell.kind = ResultCell::Kind::Bytes;
    cell.size = quint32(size);
    cell.offset = bytes.size();
    bytes.append(data, size);
}
