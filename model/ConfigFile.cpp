#include "model/ConfigFile.h"

#include "model/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>

namespace ConfigFile {

namespace {

QString& systemFolderSetting()
{
    static QString folder = QStringLiteral("/etc/kelmir");
    return folder;
}

} // namespace

QString systemFolder()
{
    return systemFolderSetting();
}

void setSystemFolder(const QString& folder)
{
    systemFolderSetting() = folder;
}

QStringList paths(const QString& fileName)
{
    QString userFolder = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (userFolder.isEmpty())
        userFolder = QDir::homePath() + QStringLiteral("/.config");
    return {systemFolder() + u'/' + fileName, userFolder + QStringLiteral("/kelmir/") + fileName};
}

QMap<QString, QString> readSection(const QString& path, const QString& section, const QStringList& keys,
                                   const QStringList& secretKeys)
{
    QMap<QString, QString> values;
    QFile file(path);
    if (!file.exists())
        return values;
    auto refuse = [&path](const QString& why) {
        throw Error(QStringLiteral("A(z) %1 beállítófájl nem használható: %2").arg(path, why));
    };
    if (!file.open(QIODevice::ReadOnly))
        refuse(QStringLiteral("nem olvasható (%1).").arg(file.errorString()));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QString current;
    bool secretHere = false;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = QString::fromUtf8(lines[n]).trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']') || line.size() < 3)
                refuse(QStringLiteral("a(z) %1. sor hibás szakaszfejléc: „%2”.").arg(n + 1).arg(line));
            current = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            refuse(QStringLiteral("a(z) %1. sor nem „kulcs = érték” alakú: „%2”.").arg(n + 1).arg(line));
        if (current != section)
            continue; // another part of the program reads it
        const QString key = line.left(equals).trimmed();
        QString value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
            value = value.mid(1, value.size() - 2);
        if (!keys.contains(key))
            refuse(QStringLiteral("a(z) %1. sorban ismeretlen kulcs áll a [%2] szakaszban: „%3” (ismert kulcsok: %4).")
                       .arg(n + 1)
                       .arg(section, key, keys.join(QStringLiteral(", "))));
        values.insert(key, value);
        secretHere = secretHere || (secretKeys.contains(key) && !value.isEmpty());
    }
    // Like a private key of ssh: a secret must not be readable by everyone.
    struct stat status { };
    if (secretHere && ::stat(QFile::encodeName(path).constData(), &status) == 0 && (status.st_mode & S_IROTH))
        refuse(QStringLiteral("jelszót tartalmaz, de a gép minden felhasználója olvashatja. Engedd csak a "
                              "tulajdonosnak (és a csoportjának) az olvasást, például: chmod o-r %1")
                   .arg(path));
    return values;
}

QMap<QString, QString> readSections(const QStringList& paths, const QString& section, const QStringList& keys,
                                    const QStringList& secretKeys)
{
    QMap<QString, QString> values;
    for (const QString& path : paths)
        values.insert(readSection(path, section, keys, secretKeys));
    return values;
}

} // namespace ConfigFile
