#include "store/MonthCopy.h"

#include "model/Calendar.h"
#include "model/Months.h"
#include "store/Connection.h"
#include "store/Sql.h"
#include "store/StatementResult.h"
#include "store/Transaction.h"

#include <algorithm>

int MonthCopyOutcome::copiedCount() const
{
    return int(std::count_if(appointments.cbegin(), appointments.cend(), [](const CopiedAppointment& appointment) {
        return appointment.leftOut == CopiedAppointment::LeftOut::No;
    }));
}

MonthCopyOutcome CopyMonth(Connection& connection, quint8 county, int fromYear, int fromMonth, int toYear, int toMonth)
{
    MonthCopyOutcome outcome;
    // The write lock is taken first: another program cannot fill the target
    // month between the look and the copy.
    Transaction transaction(connection);
    const StatementResult target =
        connection.select(Sql::lines({"SELECT COUNT(*)", Sql::donationsFrom, Sql::monthOfCounty}),
                          {{"vev", QString::number(toYear)},
                           {"vhonap", TwoDigitText(toMonth)},
                           {"vmegye_kod", qint32(county)}});
    if (target.value(0, 0).toLongLong() > 0) {
        outcome.targetHeldAppointments = true;
        return outcome;
    }
    const StatementResult source = connection.select(
        Sql::lines(
            {"SELECT at_veradasok.nap, at_veradasok.kezdes, at_veradasok.befejezes, at_veradasok.helyszin_kod, "
             "at_helyszinek.deleted, at_telepulesek.telepules, at_helyszinek.helyszin",
             Sql::donationsFrom, Sql::monthOfCounty,
             "ORDER BY at_veradasok.nap, at_veradasok.kezdes, at_telepulesek.telepules, at_helyszinek.helyszin;"}),
        {{"vev", QString::number(fromYear)}, {"vhonap", TwoDigitText(fromMonth)}, {"vmegye_kod", qint32(county)}});
    std::vector<std::vector<BoundParameter>> inserts;
    for (int row = 0; row < source.rows; ++row) {
        CopiedAppointment appointment;
        appointment.source = QDate(fromYear, fromMonth, source.value(row, 0).toString().toInt());
        appointment.kezdes = source.value(row, 1).toString();
        appointment.befejezes = source.value(row, 2).toString();
        appointment.place = source.value(row, 5).toString() + QStringLiteral(" - ") + source.value(row, 6).toString();
        appointment.target = SameWeekdayIn(appointment.source, toYear, toMonth);
        if (source.value(row, 4).toInt() != 0)
            appointment.leftOut = CopiedAppointment::LeftOut::LocationWithdrawn;
        else if (!appointment.target.isValid())
            appointment.leftOut = CopiedAppointment::LeftOut::NoSuchDay;
        else
            inserts.push_back(boundParameters({{"vev", QString::number(toYear)},
                                               {"vhonap", TwoDigitText(toMonth)},
                                               {"vnap", TwoDigitText(appointment.target.day())},
                                               {"vkezdes", appointment.kezdes},
                                               {"vbefejezes", appointment.befejezes},
                                               {"vhelyszin_kod", source.value(row, 3).toInt()}}));
        if (appointment.leftOut != CopiedAppointment::LeftOut::No)
            appointment.target = QDate();
        outcome.appointments.append(appointment);
    }
    connection.runEach(Sql::insertDonation(), inserts);
    transaction.commit();
    return outcome;
}
