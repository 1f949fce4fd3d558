#include "store/SettingsStore.h"

#include "model/Records.h"
#include "store/DataModule.h"
#include "store/Statement.h"

bool LoadSettings(Tdm& dm, tSettings& settings, UserMessages& messages)
{
    Query& q = dm.aq_settings;
    startStatement(q);
    q.addLine(QStringLiteral("SELECT at_settings.megye_kod AS kod_s, at_settings.cel, at_settings.forras, "
                             "at_settings.smtp, at_settings.auth_sec, at_settings.auth_usr, at_settings.auth_psw, "
                             "at_megyek.id AS kod_m, at_megyek.megye_nev"));
    q.addLine(QStringLiteral("FROM at_megyek, at_settings"));
    q.addLine(QStringLiteral("WHERE at_settings.megye_kod=at_megyek.id;"));
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
    q.addLine(QStringLiteral("WHERE at_settings.id=1;"));
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
    Query& q = dm.aq_settings;
    startStatement(q);
    q.declareParameter(QStringLiteral("vmegye_kod"), ParamType::Byte);
    q.declareParameter(QStringLiteral("vcel"), ParamType::Text);
    q.declareParameter(QStringLiteral("vforras"), ParamType::Text);
    q.declareParameter(QStringLiteral("vsmtp"), ParamType::Text);
    q.declareParameter(QStringLiteral("vauth_sec"), ParamType::Byte);
    q.declareParameter(QStringLiteral("vauth_usr"), ParamType::Text);
    q.declareParameter(QStringLiteral("vauth_psw"), ParamType::Text);
    const bool rowExists = dm.at_settings.recordCount() > 0;
    if (rowExists) {
        for (const char* line : {"UPDATE at_settings", "SET megye_kod=:vmegye_kod,", "cel=:vcel,",
                                 "forras=:vforras,", "smtp=:vsmtp,", "auth_sec=:vauth_sec,",
                                 "auth_usr=:vauth_usr,", "auth_psw=:vauth_psw", "WHERE id=1;"})
            q.addLine(QString::fromLatin1(line));
    } else {
        q.addLine(QStringLiteral("INSERT INTO at_settings (megye_kod, cel, forras, smtp, auth_sec, auth_usr, "
                                 "auth_psw)"));
        q.addLine(QStringLiteral("VALUES (:vmegye_kod, :vcel, :vforras, :vsmtp, :vauth_sec, :vauth_usr, "
                                 ":vauth_psw);"));
    }
    q.bindByte(QStringLiteral("vmegye_kod"), settings.megye_kod);
    q.bind(QStringLiteral("vcel"), settings.Cel);
    q.bind(QStringLiteral("vforras"), settings.Forras);
    q.bind(QStringLiteral("vsmtp"), settings.SMTP);
    q.bindByte(QStringLiteral("vauth_sec"), settings.Hitelesites);
    q.bind(QStringLiteral("vauth_usr"), settings.User);
    q.bind(QStringLiteral("vauth_psw"), settings.Password);
    q.prepare();
    if (!executeGuarded(q, messages))
        return false;
    // Keep the row count current: a later save in this run must update the
    // row just inserted, never insert a second one.
    if (!rowExists)
        dm.at_settings.refresh();
    return true;
}
