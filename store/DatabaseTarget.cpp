#include "store/DatabaseTarget.h"

#include "model/ConfigFile.h"
#include "store/Connection.h"

#include <QUrl>
#include <QUrlQuery>

namespace DatabaseTarget {

bool holdsPassword(const QString& uri)
{
    const QUrl url(uri);
    return !url.password().isEmpty() || QUrlQuery(url).hasQueryItem(QStringLiteral("password"));
}

QStringList filePaths()
{
    return ConfigFile::paths(QStringLiteral("mail.conf"));
}

QString configured(const QStringList& files)
{
    const QString fromEnvironment = qEnvironmentVariable(environmentVariable);
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const QString key = QStringLiteral("database");
    QString target;
    for (const QString& path : files) {
        QString value;
        try {
            value = ConfigFile::readSection(
                        path, QStringLiteral("data"), {key},
                        [](const QString&, const QString& uri) { return holdsPassword(uri); },
                        ConfigFile::Strictness::SectionOnly)
                        .value(key);
        } catch (const ConfigFile::ConfigError& error) {
            if (error.kind() == ConfigFile::ConfigError::Kind::Unreadable)
                continue;
            throw;
        }
        if (!value.isEmpty())
            target = value;
    }
    return target.isEmpty() ? QString::fromLatin1(Connection::defaultFileName) : target;
}

} // namespace DatabaseTarget
