#include "store/SettingsStore.h"

#include "model/Records.h"
#include "store/DataModule.h"
#include "store/DatabaseError.h"
#include "store/Statement.h"
#include "store/Transaction.h"

bool LoadSettings(Tdm& dm, tSettings& settings, UserMessages& messages)
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
    if (!openGuarded(q, messages)) {
        settings.Clear();
        return false;
    }
    q.first();
    settings.SetValues(quint8(q.field(QStringLiteral("kod_m")).asInteger()),
                       q.field(QStringLiteral("megye_nev")).asString(), q.field(QStringLiteral("cel")).asString(),
                       q.field(QStringLiteral("forras")).asString(), q.field(QStringLiteral("smtp")).asString(),
                       quint8(q.field(QStringLiteral("auth_sec")).asInteger()),
                       q.field(QStringLiteral("auth_usr")).asString(),
                       q.field(QStringLiteral("auth_psw")).asString());
    return true;
}

bool LoadRecipient(Tdm& dm, tSettings& settings, UserMessages& messages)
{
    Query& q = dm.aq_settings;
    startStatement(q);
    q.addLine(QStringLiteral("SELECT at_settings.cel"));
    q.addLine(QStringLiteral("FROM at_settings"));
    q.addLine(QStringLiteral("WHERE at_settings.id=(SELECT min(id) FROM at_settings);"));
    q.prepare();
    if (!openGuarded(q, messages)) {
        settings.Clear();
        return false;
    }
    q.first();
    settings.Cel = q.field(QStringLiteral("cel")).asString();
    return true;
}

bool SaveSettings(Tdm& dm, const tSettings& settings, UserMessages& messages)
{
    // Insert or update is decided here, inside one transaction that holds
    // the write lock: whatever another program did meanwhile, the table
    // ends with exactly one row, number 1, holding what was saved.
    Query& q = dm.aq_settings;
    auto run = [&](std::initializer_list<const char*> lines) {
        startStatement(q);
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
    return guarded(q, messages, [&] {
        Transaction transaction(dm.datacore);
        const int updated = run({"UPDATE at_settings", "SET megye_kod=:vmegye_kod,", "cel=:vcel,", "forras=:vforras,",
                                 "smtp=:vsmtp,", "auth_sec=:vauth_sec,", "auth_usr=:vauth_usr,",
                                 "auth_psw=:vauth_psw", "WHERE id=1;"});
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
    });
}
