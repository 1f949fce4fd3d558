#pragma once

#include <QDate>
#include <QList>
#include <QString>

class Connection;

// Starts a month of the county from another one: each appointment goes to
// the same weekday of the same week of the target month (SameWeekdayIn),
// with its times and location as stored. One that has no such day, or whose
// location is withdrawn, is left out. All in one transaction, and only into
// a month that holds no appointments of the county yet.

struct CopiedAppointment {
    enum class LeftOut { No, NoSuchDay, LocationWithdrawn };
    QDate source;
    QDate target; // invalid when left out
    QString kezdes;
    QString befejezes;
    QString place; // "Pécs - Városháza"
    LeftOut leftOut = LeftOut::No;
};

struct MonthCopyOutcome {
    bool targetHeldAppointments = false;   // then nothing was copied
    QList<CopiedAppointment> appointments; // in the source's day and time order
    int copiedCount() const;
};

// Throws DatabaseError, having written nothing.
MonthCopyOutcome CopyMonth(Connection& connection, quint8 county, int fromYear, int fromMonth, int toYear, int toMonth);
