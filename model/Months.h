#pragma once

#include <QList>
#include <QString>

#include <array>

// The twelve Hungarian month names; index = month number - 1.
extern const std::array<QString, 12> MonthNames;

// One month that holds appointments (rVeradasok).
struct MonthEntry {
    qint32 ev = 0;    // year
    quint8 honap = 0; // 0-based index into MonthNames
    QString honap_s;  // MonthNames[honap]
};

// "0" + n for 1..9, n itself from 10 on: the stored form of months and days.
QString TwoDigitText(int number);

// The entry of a year and a month number 1..12; an empty name for any other
// month number.
MonthEntry monthEntry(qint32 year, int monthNumber);

// The months of the county that hold appointments, in the order of the month
// query, behind a month drop-down. It grows with the query: every month can
// be listed and opened.
class MonthTable {
public:
    void clear() { m_entries.clear(); }
    void append(const MonthEntry& entry) { m_entries.append(entry); }
    qsizetype size() const { return m_entries.size(); }
    // Entry k; an empty entry for a k the table does not hold.
    MonthEntry at(qsizetype k) const { return k >= 0 && k < m_entries.size() ? m_entries[k] : MonthEntry{}; }

private:
    QList<MonthEntry> m_entries;
};
