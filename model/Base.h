#pragma once

#include "model/IdTable.h"
#include "model/Records.h"
#include "model/SortTable.h"

#include <QList>
#include <QString>

#include <array>

// The program-wide state through which the panels hand data to one another.
// One Base lives as long as the main window that owns it.

// The twelve Hungarian month names; index = month number - 1.
extern const std::array<QString, 12> MonthNames;

// One month that holds appointments.
struct rVeradasok {
    qint32 ev = 0;  // year
    quint8 honap = 0; // 0-based index into MonthNames
    QString honap_s; // MonthNames[honap]
};

// The months of the county that hold appointments, in the order of the month
// query. It grows with the query: every month can be listed and opened.
class MonthTable {
public:
    void clear() { m_entries.clear(); }
    void append(qint32 year, int monthNumber); // monthNumber 1..12
    qsizetype size() const { return m_entries.size(); }
    // Entry k; an empty entry for a k the table does not hold.
    rVeradasok at(qsizetype k) const { return k >= 0 && k < m_entries.size() ? m_entries[k] : rVeradasok{}; }

private:
    QList<rVeradasok> m_entries;
};

// Editor state shared by the location and the appointment editor.
enum class EditModes : quint8 { Idle = 0, New = 1, Change = 2 };

struct Base {
    tSettings CurrentSettings;
    tHelyszinek CurrentLocation;
    tVeradasok CurrentDonation;

    MonthTable MonthList;
    SettlementIdTable SettlementIds;
    LocationIdTable LocationIds;

    SortTable LocationSort{{QStringLiteral("at_telepulesek.telepules"), QStringLiteral("at_telepulesek.irsz"),
                            QStringLiteral("at_helyszinek.cim"), QStringLiteral("at_helyszinek.helyszin")}};
    SortTable DonationSort{{QStringLiteral("at_veradasok.nap"), QStringLiteral("at_veradasok.kezdes"),
                            QStringLiteral("at_telepulesek.telepules"), QStringLiteral("at_telepulesek.irsz"),
                            QStringLiteral("at_helyszinek.cim"), QStringLiteral("at_helyszinek.helyszin")}};

    EditModes EditMode = EditModes::Idle;
    qint32 SelectedYear = 0;
    quint8 SelectedMonth = 0; // 1..12
    QString SelectedMonthName;
    qint32 DaysInSelectedMonth = 0;
    bool SmtpAuthAttempted = false;
};
