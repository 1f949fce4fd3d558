#include "store/LocationStore.h"

#include "model/SortTable.h"
#include "store/DataModule.h"

Choices LoadSettlementChoices(Tdm& dm, quint8 county)
{
    Query& q = dm.aq_telepulesek;
    startStatement(q);
    q.declareParameter(QStringLiteral("vmegye_kod"), ParamType::Byte);
    q.addLine(QStringLiteral("SELECT * FROM at_telepulesek WHERE megye_kod=:vmegye_kod ORDER BY telepules, irsz ASC;"));
    q.bindByte(QStringLiteral("vmegye_kod"), county);
    q.prepare();
    q.open();
    Choices choices;
    choices.reserve(q.recordCount());
    for (q.first(); !q.eof(); q.next())
        choices.append(
            {q.field(QStringLiteral("id")).valueAsInteger(),
             q.field(QStringLiteral("irsz")).valueAsText() + u' ' + q.field(QStringLiteral("telepules")).asString()});
    return choices;
}

void LoadLocationList(Tdm& dm, quint8 county, const SortTable& sort)
{
    Query& q = dm.aq_helyszinek;
    startStatement(q);
    q.addLine(QStringLiteral("SELECT at_helyszinek.id, at_helyszinek.deleted, at_helyszinek.telepules_kod, "
                             "at_telepulesek.irsz, at_telepulesek.telepules, at_helyszinek.cim, "
                             "at_helyszinek.helyszin FROM at_helyszinek"));
    q.addLine(QStringLiteral("INNER JOIN at_telepulesek ON at_helyszinek.telepules_kod=at_telepulesek.id"));
    q.addLine(QStringLiteral("WHERE at_telepulesek.megye_kod=%1 AND deleted=0").arg(county));
    q.addLine(sort.orderByLine());
    q.prepare();
    q.open();
    q.first();
}

WriteResult SaveLocation(Tdm& dm, const tHelyszinek& location, EditModes mode)
{
    Query& q = dm.aq_helyszinek;
    startStatement(q);
    q.declareParameter(QStringLiteral("vid"), ParamType::Integer);
    q.declareParameter(QStringLiteral("vdeleted"), ParamType::Byte);
    q.declareParameter(QStringLiteral("vtelepules_kod"), ParamType::Integer);
    q.declareParameter(QStringLiteral("vcim"), ParamType::Text);
    q.declareParameter(QStringLiteral("vhelyszin"), ParamType::Text);
    const bool insert = mode == EditModes::New;
    if (insert) {
        q.addLines({"INSERT INTO at_helyszinek (deleted, telepules_kod, cim, helyszin)",
                    "VALUES (:vdeleted, :vtelepules_kod, :vcim, :vhelyszin);"});
    } else {
        // Only a live location: one another program withdrew meanwhile stays
        // withdrawn, and the change is reported as not made.
        q.addLines({"UPDATE at_helyszinek", "SET deleted=:vdeleted,", "telepules_kod=:vtelepules_kod,", "cim=:vcim,",
                    "helyszin=:vhelyszin", "WHERE id=:vid AND deleted=0;"});
        q.bind(QStringLiteral("vid"), location.id);
    }
    q.bindByte(QStringLiteral("vdeleted"), location.deleted);
    q.bind(QStringLiteral("vtelepules_kod"), location.telepules_kod);
    q.bind(QStringLiteral("vcim"), location.Cim);
    q.bind(QStringLiteral("vhelyszin"), location.Helyszin);
    q.prepare();
    q.execute();
    return insert ? WriteResult::Written : changeResult(q);
}

WriteResult WithdrawLocation(Tdm& dm, qint32 id)
{
    Query& q = dm.aq_helyszinek;
    startStatement(q);
    q.declareParameter(QStringLiteral("vid"), ParamType::Integer);
    q.addLines({"UPDATE at_helyszinek", "SET deleted=1", "WHERE id=:vid;"});
    q.bind(QStringLiteral("vid"), id);
    q.prepare();
    q.execute();
    return changeResult(q);
}
