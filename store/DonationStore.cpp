#include "store/DonationStore.h"

#include "model/IsolatedText.h"
#include "model/Months.h"
#include "model/SortTable.h"
#include "store/Query.h"
#include "store/Sql.h"

void LoadDonationList(Query& list, quint8 county, int year, int month, const SortTable& sort)
{
    list.open(Sql::lines({"SELECT at_veradasok.id, at_veradasok.ev, at_veradasok.honap, at_veradasok.nap, "
                          "at_veradasok.kezdes, at_veradasok.befejezes, ",
                          "at_telepulesek.irsz, at_telepulesek.telepules, at_helyszinek.cim, at_helyszinek.helyszin, "
                          "at_helyszinek.id, at_telepulesek.megye_kod",
                          Sql::donationsFrom, Sql::monthOfCounty})
                  + u'\n' + sort.orderByLine(),
              {{"vev", QString::number(year)}, {"vhonap", TwoDigitText(month)}, {"vmegye_kod", qint32(county)}});
    list.first();
}

WriteResult SaveDonation(Query& list, const Donation& donation, EditModes mode)
{
    return insertOrUpdate(list, mode, Sql::insertDonation(),
                          Sql::lines({"UPDATE at_veradasok", "SET ev=:vev,", "honap=:vhonap,", "nap=:vnap,",
                                      "kezdes=:vkezdes,", "befejezes=:vbefejezes,", "helyszin_kod=:vhelyszin_kod",
                                      "WHERE id=:vid;"}),
                          {{"vid", donation.id},
                           {"vev", donation.ev},
                           {"vhonap", donation.honap},
                           {"vnap", donation.nap},
                           {"vkezdes", donation.kezdes},
                           {"vbefejezes", donation.befejezes},
                           {"vhelyszin_kod", donation.helyszin_kod}});
}

WriteResult DeleteDonation(Query& list, qint32 id)
{
    return writeResult(list.execute(Sql::lines({"DELETE ", "FROM at_veradasok", "WHERE id=:vid;"}), {{"vid", id}}));
}

Choices LoadLocationChoices(Connection& connection, quint8 county)
{
    Query q(connection, QStringLiteral("CommandQuery"));
    q.open(Sql::liveLocationsOf(county)
           + QStringLiteral("\nORDER BY at_helyszinek.helyszin ASC, at_telepulesek.irsz ASC, "
                            "at_telepulesek.telepules ASC, at_helyszinek.cim;"));
    Choices choices;
    choices.reserve(q.recordCount());
    auto text = [&q](const char* column) { return q.field(QString::fromLatin1(column)).asString(); };
    for (q.first(); !q.eof(); q.next())
        choices.append({q.field(QStringLiteral("id")).valueAsInteger(),
                        q.field(QStringLiteral("irsz")).valueAsText() + u' ' + text("telepules") + QStringLiteral(", ")
                            + isolated(text("cim")) + QStringLiteral(" - ") + isolated(text("helyszin"))});
    return choices;
}

QList<MonthEntry> LoadMonthChoices(Connection& connection, quint8 county)
{
    Query q(connection, QStringLiteral("CommandQuery"));
    q.open(Sql::lines({"SELECT at_veradasok.ev, at_veradasok.honap", Sql::donationsFrom,
                       "WHERE (((at_veradasok.helyszin_kod)=[at_helyszinek].[id]) AND "
                       "((at_helyszinek.telepules_kod)=[at_telepulesek].[id]) AND "
                       "((at_telepulesek.megye_kod)=:vmegye_kod))",
                       // The grouping alone does not promise an order; the months must come chronologically.
                       "GROUP BY at_veradasok.ev, at_veradasok.honap",
                       "ORDER BY at_veradasok.ev, at_veradasok.honap;"}),
           {{"vmegye_kod", qint32(county)}});
    QList<MonthEntry> months;
    for (q.first(); !q.eof(); q.next())
        months << monthEntry(q.field(QStringLiteral("ev")).asString().toInt(),
                             q.field(QStringLiteral("honap")).asString().toInt());
    return months;
}
