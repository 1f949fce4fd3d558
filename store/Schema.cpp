#include "store/Schema.h"

#include "store/Connection.h"
#include "store/DatabaseError.h"

#include <QCollator>
#include <QFile>
#include <QLocale>

#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace {

void exec(sqlite3* db, const QString& sql)
{
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw DatabaseError(QString::fromUtf8(sqlite3_errmsg(db)));
}

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

std::unique_ptr<sqlite3_stmt, StatementFinalizer> prepare(sqlite3* db, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
        throw DatabaseError(QString::fromUtf8(sqlite3_errmsg(db)));
    return std::unique_ptr<sqlite3_stmt, StatementFinalizer>(statement);
}

void stepOnce(sqlite3* db, sqlite3_stmt* statement)
{
    if (sqlite3_step(statement) != SQLITE_DONE)
        throw DatabaseError(QString::fromUtf8(sqlite3_errmsg(db)));
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
}

void bindText(sqlite3_stmt* statement, int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

} // namespace

ReferenceData ReferenceData::fromCsv(const QByteArray& csv)
{
    ReferenceData data;
    const QList<QByteArray> lines = csv.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        const QList<QByteArray> fields = line.split(',');
        bool ok = false;
        const int irsz = fields.size() == 3 ? fields[0].toInt(&ok) : 0;
        if (!ok)
            throw std::runtime_error("malformed settlement line " + std::to_string(i + 1));
        data.settlements.append({irsz, QString::fromUtf8(fields[1]), QString::fromUtf8(fields[2])});
        if (!data.counties.contains(data.settlements.back().megye))
            data.counties.append(data.settlements.back().megye);
    }
    QCollator collator(QLocale(QLocale::Hungarian, QLocale::Hungary));
    std::sort(data.counties.begin(), data.counties.end(),
              [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    return data;
}

QStringList schemaStatements()
{
    return {
        QStringLiteral("CREATE TABLE at_megyek (id INTEGER PRIMARY KEY NOT NULL, megye_nev TEXT COLLATE HUNGARIAN)"),
        QStringLiteral("CREATE TABLE at_telepulesek (id INTEGER PRIMARY KEY NOT NULL, megye_kod INTEGER NOT NULL, "
                       "telepules TEXT COLLATE HUNGARIAN, irsz INTEGER NOT NULL)"),
        QStringLiteral("CREATE TABLE at_helyszinek (id INTEGER PRIMARY KEY AUTOINCREMENT, "
                       "deleted INTEGER NOT NULL DEFAULT 0, telepules_kod INTEGER NOT NULL, "
                       "cim TEXT COLLATE HUNGARIAN, helyszin TEXT COLLATE HUNGARIAN)"),
        QStringLiteral("CREATE TABLE at_settings (id INTEGER PRIMARY KEY AUTOINCREMENT, "
                       "megye_kod INTEGER NOT NULL DEFAULT 0, cel TEXT, forras TEXT, smtp TEXT, "
                       "auth_sec INTEGER NOT NULL DEFAULT 0, auth_usr TEXT, auth_psw TEXT)"),
        QStringLiteral("CREATE TABLE at_veradasok (id INTEGER PRIMARY KEY AUTOINCREMENT, ev TEXT, honap TEXT, "
                       "nap TEXT, kezdes TEXT, befejezes TEXT, helyszin_kod INTEGER NOT NULL)"),
        QStringLiteral("CREATE TABLE at_toExcel (datum TEXT, idopont TEXT, megye TEXT, irsz INTEGER, varos TEXT, "
                       "helyszin TEXT, cim TEXT)"),
        QStringLiteral("CREATE INDEX ix_telepulesek_megye ON at_telepulesek (megye_kod)"),
        QStringLiteral("CREATE INDEX ix_helyszinek_telepules ON at_helyszinek (telepules_kod, deleted)"),
        QStringLiteral("CREATE INDEX ix_veradasok_honap ON at_veradasok (ev, honap)"),
        QStringLiteral("CREATE INDEX ix_veradasok_helyszin ON at_veradasok (helyszin_kod)"),
    };
}

void createDatabaseFile(const QString& path, const ReferenceData& data)
{
    if (QFile::exists(path))
        throw DatabaseError(QStringLiteral("A fájl már létezik: %1").arg(path));
    const QString partPath = path + QStringLiteral(".part");
    QFile::remove(partPath);
    try {
        {
            Connection connection;
            connection.createNew(partPath);
            sqlite3* db = connection.handle();
            exec(db, QStringLiteral("BEGIN"));
            for (const QString& statement : schemaStatements())
                exec(db, statement);

            auto county = prepare(db, "INSERT INTO at_megyek (id, megye_nev) VALUES (?, ?)");
            for (qsizetype i = 0; i < data.counties.size(); ++i) {
                sqlite3_bind_int(county.get(), 1, int(i + 1));
                bindText(county.get(), 2, data.counties[i]);
                stepOnce(db, county.get());
            }
            auto settlement =
                prepare(db, "INSERT INTO at_telepulesek (id, megye_kod, telepules, irsz) VALUES (?, ?, ?, ?)");
            for (qsizetype i = 0; i < data.settlements.size(); ++i) {
                const auto& row = data.settlements[i];
                sqlite3_bind_int(settlement.get(), 1, int(i + 1));
                sqlite3_bind_int(settlement.get(), 2, int(data.counties.indexOf(row.megye) + 1));
                bindText(settlement.get(), 3, row.telepules);
                sqlite3_bind_int(settlement.get(), 4, row.irsz);
                stepOnce(db, settlement.get());
            }
            county.reset();
            settlement.reset();
            exec(db, QStringLiteral("COMMIT"));
        }
        if (QFile::exists(path) || !QFile::rename(partPath, path))
            throw DatabaseError(QStringLiteral("A fájl nem hozható létre: %1").arg(path));
    } catch (...) {
        QFile::remove(partPath);
        throw;
    }
}
