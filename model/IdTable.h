#pragma once

#include <QtGlobal>

#include <array>

// Maps a 1-based drop-down position to a database id. Position 0 of every
// drop-down is its placeholder and has no slot; an empty slot holds 0.
template <int Slots>
class IdTable {
public:
    static constexpr int slotCount = Slots;

    IdTable() { clear(); }

    void clear() { m_ids.fill(0); }

    // Positions outside 1..Slots are ignored: a drop-down may list more
    // entries than the table can map.
    void set(int position, qint32 id)
    {
        if (position >= 1 && position <= Slots)
            m_ids[position - 1] = id;
    }

    // The smallest position holding id, or 0 (the placeholder) when none does.
    int find(qint32 id) const
    {
        for (int p = 0; p < Slots; ++p) {
            if (m_ids[p] == id)
                return p + 1;
        }
        return 0;
    }

    qint32 at(int position) const { return position >= 1 && position <= Slots ? m_ids[position - 1] : 0; }

private:
    std::array<qint32, Slots> m_ids{};
};

using SettlementIdTable = IdTable<4096>;
using LocationIdTable = IdTable<2048>;
