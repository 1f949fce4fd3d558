#include "store/LocationStore.h"

#include "model/Base.h"
#include "store/DataModule.h"
#include "store/Statement.h"

void ResetLocationSort(Base& base)
{
    base.LocationSort.reset();
}

void LoadSettlementChoices(Tdm& dm, Base& base)
{
    Query& q = dm.aq_telepulesek;
    startStatement(q);
    q.declareParameter(QStringLiteral("vmegye_kod"), ParamType::Byte);
    q.addLine(QStringLiteral("SELECT * FROM at_telepulesek WHERE megye_kod=:vmegye_kod ORDER BY telepules, irsz ASC;"));
    q.bindByte(QStringLiteral("vmegye_kod"), base.CurrentSettings.megye_kod);
    q.prepare();
    q.open();
    base.SettlementIds.clear();
    int position = 1;
    for (q.first(); !q.eof(); q.next())
        base.SettlementIds.set(position++, q.field(QStringLiteral("id")).valueAsInteger());
}

bool LoadLocationList(Tdm& dm, const Base& base, UserMessages& messages)
{
    Query& q = dm.aq_helyszinek;
    startStatement(q);
    q.addLine(QStringLiteral("SELECT at_helyszinek.id, at_helyszinek.deleted, at_helyszinek.telepules_kod, "
                             "at_telepulesek.irsz, at_telepulesek.telepules, at_helyszinek.cim, "
                             "at_helyszinek.helyszin FROM at_helyszinek"));
    q.addLine(QStringLiteral("INNER JOIN at_telepulesek ON at_helyszinek.telepules_kod=at_telepulesek.id"));
    q.addLine(QStringLiteral("WHERE at_telepulesek.megye_kod=%1 AND deleted=0").arg(base.CurrentSettings.megye_kod));
    q.addLine(base.LocationSort.orderByLine());
    q.prepare();
    if (!openGuarded(q, messages))
        return false;
    q.first();
    return true;
}

WriteResult SaveLocation(Tdm& dm, const Base& base, UserMessages& messages)
{
    const tHelyszinek& location = base.CurrentLocation;
    Query& q = dm.aq_helyszinek;
    startStatement(q);
    q.declareParameter(QStringLiteral("vid"), ParamType::Integer);
    q.declareParameter(QStringLiteral("vdeleted"), ParamType::Byte);
    q.declareParameter(QStringLiteral("vtelepules_kod"), ParamType::Integer);
    q.declareParameter(QStringLiteral("vcim"), ParamType::Text);
    q.declareParameter(QStringLiteral("vhelyszin"), ParamType::Text);
    const bool insert = base.EditMode == EditModes::New;
    if (insert) {
        q.addLine(QStringLiteral("INSERT INTO at_helyszinek (deleted, telepules_kod, cim, helyszin)"));
        q.addLine(QStringLiteral("VALUES (:vdeleted, :vtelepules_kod, :vcim, :vhelyszin);"));
    } else {
        for (const char* line : {"UPDATE at_helyszinek", "SET deleted=:vdeleted,", "telepules_kod=:vtelepules_kod,",
                                 "cim=:vcim,", "helyszin=:vhelyszin", "WHERE id=:vid;"})
            q.addLine(QString::fromLatin1(line));
        q.bind(QStringLiteral("vid"), location.id);
    }
    q.bindByte(QStringLiteral("vdeleted"), location.deleted);
    q.bind(QStringLiteral("vtelepules_kod"), location.telepules_kod);
    q.bind(QStringLiteral("vcim"), location.Cim);
    q.bind(QStringLiteral("vhelyszin"), location.Helyszin);
    q.prepare();
    return insert ? (executeGuarded(q, messages) ? WriteResult::Written : WriteResult::Failed)
                  : executeGuardedChange(q, messages);
}

WriteResult WithdrawLocation(Tdm& dm, Base& base, UserMessages& messages, const std::function<void(int)>& selectRow)
{
    Query& q = dm.aq_helyszinek;
    const int formerRow = q.recNo();
    startStatement(q);
    q.declareParameter(QStringLiteral("vid"), ParamType::Integer);
    q.addLine(QStringLiteral("UPDATE at_helyszinek"));
    q.addLine(QStringLiteral("SET deleted=1"));
    q.addLine(QStringLiteral("WHERE id=:vid;"));
    q.bind(QStringLiteral("vid"), base.CurrentLocation.id);
    q.prepare();
    const WriteResult withdrawn = executeGuardedChange(q, messages);
    if (LoadLocationList(dm, base, messages))
        selectRow(formerRow);
    return withdrawn;
}
