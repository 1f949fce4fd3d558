#include "store/ReferenceUpdate.h"

#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/Schema.h"
#include "store/Transaction.h"

#include <QHash>

#include <vector>

namespace {

StatementResult select(Connection& connection, const QString& text)
{
    StatementResult result;
    connection.engine().run(text, {}, &result);
    return result;
}

void write(Connection& connection, const char* text, std::vector<BoundParameter> parameters)
{
    connection.engine().run(QString::fromLatin1(text), parameters, nullptr);
}

BoundParameter integer(const char* name, qint64 value)
{
    return {QString::fromLatin1(name), ParamType::Integer, QVariant(value)};
}

BoundParameter text(const char* name, const QString& value)
{
    return {QString::fromLatin1(name), ParamType::Text, QVariant(value)};
}

void requireProgramTables(Connection& connection)
{
    for (const char* table : {"at_megyek", "at_telepulesek", "at_helyszinek", "at_settings", "at_veradasok"}) {
        try {
            select(connection, QStringLiteral("SELECT count(*) FROM %1 WHERE 1=0;").arg(QLatin1String(table)));
        } catch (const DatabaseError& error) {
            if (error.cause() == DatabaseError::Cause::Locked)
                throw;
            throw DatabaseError(
                QStringLiteral("Ez nem a Kelmir adatbázisa: hiányzik belőle a(z) %1 tábla.").arg(QLatin1String(table)));
        }
    }
}

int renameCounties(Connection& connection, const QStringList& counties)
{
    const StatementResult stored = select(connection, QStringLiteral("SELECT id, megye_nev FROM at_megyek;"));
    QHash<qint64, QString> names;
    for (int r = 0; r < stored.rows; ++r)
        names.insert(stored.value(r, 0).toLongLong(), stored.value(r, 1).toString());
    int changed = 0;
    for (qsizetype i = 0; i < counties.size(); ++i) {
        const qint64 id = i + 1;
        const auto found = names.constFind(id);
        if (found == names.cend())
            write(connection, "INSERT INTO at_megyek (id, megye_nev) VALUES (:id, :nev);",
                  {integer("id", id), text("nev", counties[i])});
        else if (*found != counties[i])
            write(connection, "UPDATE at_megyek SET megye_nev=:nev WHERE id=:id;",
                  {integer("id", id), text("nev", counties[i])});
        else
            continue;
        ++changed;
    }
    return changed;
}

} // namespace

ReferenceChanges updateReferenceData(Connection& connection, const ReferenceData& data)
{
    requireProgramTables(connection);
    Transaction transaction(connection);
    ReferenceChanges changes;
    changes.countyNames = renameCounties(connection, data.counties);

    struct Row {
        qint64 id;
        qint64 county;
    };
    const StatementResult stored =
        select(connection, QStringLiteral("SELECT id, irsz, telepules, megye_kod FROM at_telepulesek;"));
    QHash<QString, std::vector<Row>> rowsByPair; // "irsz telepules"
    qint64 nextId = 1;
    for (int r = 0; r < stored.rows; ++r) {
        const qint64 id = stored.value(r, 0).toLongLong();
        rowsByPair[stored.value(r, 1).toString() + u' ' + stored.value(r, 2).toString()].push_back(
            {id, stored.value(r, 3).toLongLong()});
        nextId = std::max(nextId, id + 1);
    }
    for (const ReferenceData::Settlement& settlement : data.settlements) {
        const qint64 county = data.counties.indexOf(settlement.megye) + 1;
        const auto found = rowsByPair.constFind(QString::number(settlement.irsz) + u' ' + settlement.telepules);
        if (found == rowsByPair.cend()) {
            write(connection,
                  "INSERT INTO at_telepulesek (id, megye_kod, telepules, irsz) VALUES (:id, :megye, :nev, :irsz);",
                  {integer("id", nextId++), integer("megye", county), text("nev", settlement.telepules),
                   integer("irsz", settlement.irsz)});
            ++changes.settlementsAdded;
            continue;
        }
        for (const Row& row : *found) {
            if (row.county == county)
                continue;
            write(connection, "UPDATE at_telepulesek SET megye_kod=:megye WHERE id=:id;",
                  {integer("id", row.id), integer("megye", county)});
            ++changes.settlementCounties;
        }
    }
    transaction.commit();
    return changes;
}
