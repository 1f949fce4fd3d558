#pragma once

#include <QString>

#include <cstdlib>
#include <memory>
#include <vector>

namespace xls {

class ByteWriter;

// The shared string table: every text cell refers to its string by index.
// Strings are found again through an open-addressing table of their
// hashes, the strings themselves kept once, in order of first use.
// write() emits SST, with CONTINUE records past 8,224 bytes of record data
// (never splitting a string's header or a character), and EXTSST.
class SharedStrings {
public:
    SharedStrings();
    SharedStrings(const SharedStrings&) = delete;
    SharedStrings& operator=(const SharedStrings&) = delete;

    // Room for about this many distinct strings without growing.
    void reserve(qsizetype strings);

    // The index of text, adding it on first use (then *added is set).
    quint32 add(QStringView text, bool* added = nullptr);
    // One more cell referring to a string already added.
    void addReference() { ++m_references; }
    qsizetype uniqueCount() const { return qsizetype(m_strings.size()); }
    const QString& at(quint32 index) const { return m_strings[index]; }

    // Appends SST, its CONTINUEs and EXTSST. The absolute stream offsets
    // EXTSST records are taken from the writer's position.
    void write(ByteWriter& stream) const;

private:
    struct Slot {
        quint32 hash = 0;
        quint32 index = 0; // string index + 1; 0: empty
    };
    struct Free {
        void operator()(Slot* table) const { std::free(table); }
    };
    using Slots = std::unique_ptr<Slot[], Free>;
    // Zeroed slots from calloc: a large table's pages are mapped only as
    // its slots are first used.
    static Slots emptySlots(size_t count);
    void rehash(size_t count);

    std::vector<QString> m_strings;
    Slots m_slots;
    size_t m_slotCount = 0; // a power of two, the table at most half full
    quint32 m_references = 0;
};

} // namespace xls
