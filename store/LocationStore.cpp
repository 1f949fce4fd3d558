#include "store/LocationStore.h"

#include "model/SortTable.h"
#include "store/Query.h"
#include "store/Sql.h"

Choices LoadSettlementChoices(Connection& connection, quint8 county)
{
    Query q(connection, QStringLiteral("aq_telepulesek"));
    q.open(QStringLiteral("SELECT * FROM at_telepulesek WHERE megye_kod=:vmegye_kod ORDER BY telepules, irsz ASC;"),
           {{"vmegye_kod", county}});
    Choices choices;
    choices.reserve(q.recordCount());
    for (q.first(); !q.eof(); q.next())
        choices.append(
            {q.field(QStringLiteral("id")).valueAsInteger(),
             q.field(QStringLiteral("irsz")).valueAsText() + u' ' + q.field(QStringLiteral("telepules")).asString()});
    return choices;
}

void LoadLocationList(Query& list, quint8 county, const SortTable& sort)
{
    list.open(Sql::liveLocationsOf(county) + u'\n' + sort.orderByLine());
    list.first();
}

WriteResult SaveLocation(Query& list, const Location& location, EditModes mode)
{
    // An update changes only a live location: one another program withdrew
    // meanwhile stays withdrawn, and the change is reported as not made.
    return insertOrUpdate(list, mode,
                          Sql::lines({"INSERT INTO at_helyszinek (deleted, telepules_kod, cim, helyszin)",
                                      "VALUES (:vdeleted, :vtelepules_kod, :vcim, :vhelyszin);"}),
                          Sql::lines({"UPDATE at_helyszinek", "SET deleted=:vdeleted,",
                                      "telepules_kod=:vtelepules_kod,", "cim=:vcim,", "helyszin=:vhelyszin",
                                      "WHERE id=:vid AND deleted=0;"}),
                          {{"vid", location.id},
                           {"vdeleted", location.deleted},
                           {"vtelepules_kod", location.telepules_kod},
                           {"vcim", location.Cim},
                           {"vhelyszin", location.Helyszin}});
}

WriteResult WithdrawLocation(Query& list, qint32 id)
{
    return writeResult(
        list.execute(Sql::lines({"UPDATE at_helyszinek", "SET deleted=1", "WHERE id=:vid;"}), {{"vid", id}}));
}
