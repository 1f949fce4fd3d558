#include "store/SettingsStore.h"

#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/Query.h"
#include "store/Sql.h"
#include "store/Transaction.h"

Settings LoadSettings(Connection& connection)
{
    Query q(connection, QStringLiteral("aq_settings"));
    q.open(Sql::lines({"SELECT at_settings.megye_kod AS kod_s, at_settings.cel, at_settings.forras, "
                       "at_settings.smtp, at_settings.auth_sec, at_settings.auth_usr, at_settings.auth_psw, "
                       "at_megyek.id AS kod_m, at_megyek.megye_nev",
                       "FROM at_megyek, at_settings",
                       // The one settings row; a file an earlier version left with another id,
                       // or with a stray second row, reads its first row.
                       "WHERE at_settings.megye_kod=at_megyek.id AND at_settings.id=(SELECT min(id) FROM "
                       "at_settings);"}));
    q.first();
    Settings settings;
    auto text = [&q](const char* column) { return q.field(QString::fromLatin1(column)).asString(); };
    settings.SetValues(quint8(q.field(QStringLiteral("kod_m")).asInteger()), text("megye_nev"), text("cel"),
                       text("forras"), text("smtp"), quint8(q.field(QStringLiteral("auth_sec")).asInteger()),
                       text("auth_usr"), text("auth_psw"));
    return settings;
}

QString LoadRecipient(Connection& connection)
{
    Query q(connection, QStringLiteral("aq_settings"));
    q.open(Sql::lines(
        {"SELECT at_settings.cel", "FROM at_settings", "WHERE at_settings.id=(SELECT min(id) FROM at_settings);"}));
    q.first();
    return q.field(QStringLiteral("cel")).asString();
}

QStringList LoadCounties(Connection& connection)
{
    Query q(connection, QStringLiteral("at_megyek"));
    q.open(QStringLiteral("SELECT * FROM at_megyek ORDER BY id;"));
    QStringList names;
    for (q.first(); !q.eof(); q.next())
        names << q.field(QStringLiteral("megye_nev")).asString();
    return names;
}

County LookUpCounty(Connection& connection, int id)
{
    Query county(connection, QStringLiteral("aq_megyek"));
    county.open(QStringLiteral("SELECT * FROM at_megyek\nWHERE id=%1;").arg(id));
    county.first();
    return {county.field(QStringLiteral("id")).asInteger(), county.field(QStringLiteral("megye_nev")).asString()};
}

void SaveSettings(Connection& connection, const Settings& settings)
{
    // Insert or update is decided here, inside one transaction that holds
    // the write lock: whatever another program did meanwhile, the table
    // ends with exactly one row, number 1, holding what was saved.
    auto run = [&](std::initializer_list<const char*> lines) {
        return connection.run(Sql::lines(lines),
                              {{"vmegye_kod", settings.megye_kod},
                               {"vcel", settings.Cel},
                               {"vforras", settings.Forras},
                               {"vsmtp", settings.SMTP},
                               {"vauth_sec", settings.Hitelesites},
                               {"vauth_usr", settings.User},
                               {"vauth_psw", settings.Password}});
    };
    Transaction transaction(connection);
    const int updated =
        run({"UPDATE at_settings", "SET megye_kod=:vmegye_kod,", "cel=:vcel,", "forras=:vforras,", "smtp=:vsmtp,",
             "auth_sec=:vauth_sec,", "auth_usr=:vauth_usr,", "auth_psw=:vauth_psw", "WHERE id=1;"});
    if (updated == 0) {
        connection.run(QStringLiteral("DELETE FROM at_settings;")); // a row under another number is never read
        if (run({"INSERT INTO at_settings (megye_kod, cel, forras, smtp, auth_sec, auth_usr, auth_psw)",
                 "VALUES (:vmegye_kod, :vcel, :vforras, :vsmtp, :vauth_sec, :vauth_usr, :vauth_psw);"})
            != 1)
            throw DatabaseError(QStringLiteral("A beállítások sora nem jött létre."));
        connection.run(QStringLiteral("UPDATE at_settings SET id=1;"));
    } else {
        connection.run(QStringLiteral("DELETE FROM at_settings WHERE id<>1;"));
    }
    transaction.commit();
}
