#include "export/MailAccount.h"

#include "export/ExportError.h"
#include "export/MailAccountDefaults.h"
#include "export/MailMessage.h"
#include "model/ConfigFile.h"

MailAccount MailAccount::builtIn()
{
    MailAccount account;
    account.host = QString::fromUtf8(MailAccountDefaults::host);
    account.port = MailAccountDefaults::port;
    account.user = QString::fromUtf8(MailAccountDefaults::sender);
    account.password = QString::fromUtf8(MailAccountDefaults::password);
    account.caFile = QString::fromUtf8(MailAccountDefaults::caFile);
    account.agent = QString::fromUtf8(MailAccountDefaults::mailAgent);
    return account;
}

QStringList MailAccount::filePaths()
{
    return ConfigFile::paths(QStringLiteral("mail.conf"));
}

MailAccount MailAccount::configured(const MailAccount& defaults, const QStringList& files)
{
    QMap<QString, QString> values;
    try {
        values =
            ConfigFile::readSections(files, QStringLiteral("mail"),
                                     {QStringLiteral("host"), QStringLiteral("port"), QStringLiteral("sender"),
                                      QStringLiteral("password"), QStringLiteral("ca_file"), QStringLiteral("agent")},
                                     [](const QString& key, const QString& value) {
                                         return key == QLatin1String("password") && !value.isEmpty();
                                     });
    } catch (const Error& error) {
        throw ExportError(error.message());
    }
    MailAccount account = defaults;
    auto take = [&values](const char* key, QString& field) {
        const auto found = values.constFind(QString::fromLatin1(key));
        if (found != values.cend())
            field = *found;
    };
    take("host", account.host);
    take("sender", account.user);
    take("password", account.password);
    take("ca_file", account.caFile);
    take("agent", account.agent);
    if (values.contains(QStringLiteral("port"))) {
        bool ok = false;
        const uint port = values.value(QStringLiteral("port")).toUInt(&ok);
        if (!ok || port == 0 || port > 65535)
            throw ExportError(
                QStringLiteral("A levelezési fiók beállítófájljában a port nem egy szám 1 és 65535 között."));
        account.port = quint16(port);
    }
    // The sender goes into MAIL FROM and the From and Reply-To headers:
    // held to the same rule as a recipient.
    if (!account.user.isEmpty() && !isPlainAddress(account.user))
        throw ExportError(QStringLiteral("A levelezési fiók feladója (sender) nem használható e-mail címként: a cím "
                                         "ékezet nélküli betűkből, számjegyekből és egy @ jelből álljon, szóköz és "
                                         "vezérlőkarakter nélkül, legfeljebb %1 karakter hosszan.")
                              .arg(maxAddressLength));
    return account;
}
