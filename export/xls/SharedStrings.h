#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The shared string table: every text cell refers to its string by index.
// write() emits SST, with CONTINUE records past 8,224 bytes of record data
// (never splitting a string's header or a character), and EXTSST.
namespace xls {

class SharedStrings {
public:
    // The index of text, adding it on first use (then *added is set).
    quint32 add(const QString& text, bool* added = nullptr);
    // One more cell referring to a string already added.
    void addReference() { ++m_references; }
    void reserve(qsizetype strings)
    {
        m_index.reserve(strings);
        m_strings.reserve(strings);
    }
    quint32 references() const { return m_references; }
    qsizetype uniqueCount() const { return m_strings.size(); }

    // Appends SST, its CONTINUEs and EXTSST to stream. The absolute stream
    // offsets EXTSST records are taken from stream's current size.
    void write(QByteArray& stream) const;

private:
    QStringList m_strings;
    QHash<QString, quint32> m_index;
    quint32 m_references = 0;
};

} // namespace xls
