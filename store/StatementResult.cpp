#include "store/StatementResult.h"

#include <QHash>
#include <QStringDecoder>

#include <algorithm>

QStringList qualifyRepeatedNames(QStringList names, const std::function<QString(int column)>& tableOf)
{
    QHash<QString, int> occurrences;
    for (const QString& name : std::as_const(names))
        ++occurrences[name.toLower()];
    for (int c = 0; c < names.size(); ++c) {
        if (occurrences.value(names[c].toLower()) < 2)
            continue;
        const QString table = tableOf(c);
        if (!table.isEmpty())
            names[c] = table + u'.' + names[c];
    }
    return names;
}

void StatementResult::reset()
{
    // Kept: up to 4 MiB of cells and 4 MiB of text (a month of the largest
    // county is well within); a larger result gives its memory back.
    constexpr size_t keptCells = 256 * 1024;
    columns.clear();
    types.clear();
    if (cells.capacity() > keptCells || m_textCapacity > qsizetype(8 * keptCells)) {
        cells = {};
        m_text.reset();
        m_textCapacity = 0;
        bytes = QByteArray();
    } else {
        cells.clear();
        bytes.resize(0);
    }
    m_textSize = 0;
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
    // makes more than one UTF-16 unit, so size units are room enough.
    static thread_local QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    if (m_textSize + size > m_textCapacity) {
        const qsizetype capacity = std::max({m_textSize + size, 2 * m_textCapacity, qsizetype(4096)});
        std::unique_ptr<char16_t[]> grown(new char16_t[size_t(capacity)]);
        std::copy_n(m_text.get(), m_textSize, grown.get());
        m_text = std::move(grown);
        m_textCapacity = capacity;
    }
    QChar* begin = reinterpret_cast<QChar*>(m_text.get() + m_textSize);
    QChar* end = decoder.appendToBuffer(begin, QByteArrayView(utf8, size));
    ResultCell& cell = cells.emplace_back();
    cell.kind = ResultCell::Kind::Text;
    cell.size = quint32(end - begin);
    cell.offset = m_textSize;
    m_textSize += end - begin;
}

void StatementResult::addBytes(const char* data, qsizetype size)
{
    ResultCell& cell = cells.emplace_back();
    cell.kind = ResultCell::Kind::Bytes;
    cell.size = quint32(size);
    cell.offset = bytes.size();
    bytes.append(data, size);
}
