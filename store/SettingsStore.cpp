#include "store/SettingsStore.h"

#include "model/Records.h"
#include "store/DataModule.h"
#include "store/DatabaseError.h"
#include "store/Statement.h"
#include "store/Transaction.h"

tSettings LoadSettings(Tdm& dm)
{
    Query& q = dm.aq_settings;
    startStatement(q);
    q.addLine(QStringLiteral("SELECT at_settings.megye_kod AS kod_s, at_settings.cel, at_settings.forras, "
                             "at_settings.smtp, at_settings.auth_sec, at_settings.auth_usr, at_settings.auth_psw, "
                             "at_megyek.id AS kod_m, at_megyek.megye_nev"));
    q.addLine(QStringLiteral("FROM at_megyek, at_settings"));
    // The one settings row; a file an earlier version left with another id,
    // or with a stray second row, reads its first row.
    q.addLine(QStringLiteral("WHERE at_settings.megye_kod=at_megyek.id AND at_settings.id=(SELECT min(id) FROM "
                             "at_settings);"));
    q.prepare();
    q.open();
    q.first();
    tSettings settings;
    settings.SetValues(quint8(q.field(QStringLiteral("kod_m")).asInteger()),
                       q.field(QStringLiteral("megye_nev")).asString(), q.field(QStringLiteral("cel")).asString(),
                       q.field(QStringLiteral("forras")).asString(), q.field(QStringLiteral("smtp")).asString(),
                       quint8(q.field(QStringLiteral("auth_sec")).asInteger()),
                       q.field(QStringLiteral("auth_usr")).asString(), q.field(QStringLiteral("auth_psw")).asString());
    return settings;
}

QString LoadRecipient(Tdm& dm)
{
    Query& q = dm.aq_settings;
    startStatement(q);
    q.addLine(QStringLiteral("SELECT at_settings.cel"));
    q.addLine(QStringLiteral("FROM at_settings"));
    q.addLine(QStringLiteral("WHERE at_settings.id=(SELECT min(id) FROM at_settings);"));
    q.prepare();
    q.open();
    q.first();
    return q.field(QStringLiteral("cel")).asString();
}

County LookUpCounty(Tdm& dm, int id)
{
    Query& county = dm.aq_megyek;
    startStatement(county);
    county.addLine(QStringLiteral("SELECT * FROM at_megyek"));
    county.addLine(QStringLiteral("WHERE id=%1;").arg(id));
    county.prepare();
    county.open();
    county.first();
    return {county.field(QStringLiteral("id")).asInteger(), county.field(QStringLiteral("megye_nev")).asString()};
}

void SaveSettings(Tdm& dm, const tSettings& settings)
{
    // Insert or update is decided here, inside one transaction that holds
    // the write lock: whatever another program did meanwhile, the table
    // ends with exactly one row, number 1, holding what was saved.
    Query& q = dm.aq_settings;
    auto run = [&](std::initializer_list<const char*> lines) {
        startStatement(q);
        for (const char* name : {"vmegye_kod", "vauth_sec"})
            q.declareParameter(QString::fromLatin1(name), ParamType::Byte);
        for (const char* name : {"vcel", "vforras", "vsmtp", "vauth_usr", "vauth_psw"})
            q.declareParameter(QString::fromLatin1(name), ParamType::Text);
        q.addLines(lines);
        q.bindByte(QStringLiteral("vmegye_kod"), settings.megye_kod);
        q.bind(QStringLiteral("vcel"), settings.Cel);
        q.bind(QStringLiteral("vforras"), settings.Forras);
        q.bind(QStringLiteral("vsmtp"), settings.SMTP);
        q.bindByte(QStringLiteral("vauth_sec"), settings.Hitelesites);
        q.bind(QStringLiteral("vauth_usr"), settings.User);
        q.bind(QStringLiteral("vauth_psw"), settings.Password);
        q.prepare();
        q.execute();
        return q.changes();
    };
    auto plain = [&](const char* line) {
        startStatement(q);
        q.addLines({line});
        q.prepare();
        q.execute();
    };
    Transaction transaction(dm.datacore);
    const int updated =
        run({"UPDATE at_settings", "SET megye_kod=:vmegye_kod,", "cel=:vcel,", "forras=:vforras,", "smtp=:vsmtp,",
             "auth_sec=:vauth_sec,", "auth_usr=:vauth_usr,", "auth_psw=:vauth_psw", "WHERE id=1;"});
    if (updated == 0) {
        plain("DELETE FROM at_settings;"); // a row under another number is never read as the recipient
        if (run({"INSERT INTO at_settings (megye_kod, cel, forras, smtp, auth_sec, auth_usr, auth_psw)",
                 "VALUES (:vmegye_kod, :vcel, :vforras, :vsmtp, :vauth_sec, :vauth_usr, :vauth_psw);"})
            != 1)
            throw DatabaseError(QStringLiteral("A beállítások sora nem jött létre."));
        plain("UPDATE at_settings SET id=1;");
    } else {
        plain("DELETE FROM at_settings WHERE id<>1;");
    }
    transaction.commit();
}
