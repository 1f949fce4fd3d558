#include "store/DatabaseTarget.h"

#include "model/ConfigFile.h"
#include "store/Connection.h"

#include <QUrl>
#include <QUrlQuery>

namespace DatabaseTarget {

namespace {

bool holdsPassword(const QString& uri)
{
    const QUrl url(uri);
    return !url.password().isEmpty() || QUrlQuery(url).hasQueryItem(QStringLiteral("password"));
}

} // namespace

QStringList filePaths()
{
    return ConfigFile::paths(QStringLiteral("mail.conf"));
}

QString configured(const QStringList& files)
{
    const QString fromEnvironment = qEnvironmentVariable(environmentVariable);
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const QString section = QStringLiteral("data");
    const QStringList keys{QStringLiteral("database")};
    QString target;
    for (const QString& path : files) {
        const QString value = ConfigFile::readSection(path, section, keys).value(keys[0]);
        if (value.isEmpty())
            continue;
        if (holdsPassword(value))
            ConfigFile::readSection(path, section, keys, keys); // refuses a file everyone may read
        target = value;
    }
    return target.isEmpty() ? QString::fromLatin1(Connection::defaultFileName) : target;
}

} // namespace DatabaseTarget
