#include "model/ConfigFile.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ConfigFile {

namespace {

QString& systemFolderSetting()
{
    static QString folder = QStringLiteral("/etc/kelmir");
    return folder;
}

[[noreturn]] void refuse(const QString& path, const QString& why, ConfigError::Kind kind)
{
    throw ConfigError(QStringLiteral("A(z) %1 beállítófájl nem használható: %2").arg(path, why), kind);
}

struct FileContent {
    bool exists = false;
    QByteArray bytes;
    struct stat status { };
};

// The file's bytes, read without following a link at its name and without
// blocking on a FIFO, only from a regular file of bounded size.
FileContent readBounded(const QString& path)
{
    FileContent content;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            return content;
        if (error == ELOOP)
            refuse(path, QStringLiteral("hivatkozás (link), amelyet a program nem követ."),
                   ConfigError::Kind::Unreadable);
        if (error == EACCES)
            refuse(path, QStringLiteral("nincs jogod olvasni."), ConfigError::Kind::Unreadable);
        refuse(path, QStringLiteral("nem olvasható (%1).").arg(QString::fromLocal8Bit(std::strerror(error))),
               ConfigError::Kind::Unreadable);
    }
    const auto closed = qScopeGuard([fd] { ::close(fd); });
    content.exists = true;
    if (::fstat(fd, &content.status) != 0 || !S_ISREG(content.status.st_mode))
        refuse(path, QStringLiteral("nem közönséges fájl."), ConfigError::Kind::Unreadable);
    if (content.status.st_size > maxFileSize)
        refuse(path, QStringLiteral("túl nagy (legfeljebb %1 KiB lehet).").arg(maxFileSize / 1024),
               ConfigError::Kind::Unreadable);
    content.bytes.resize(maxFileSize + 1);
    qsizetype total = 0;
    for (;;) {
        const ssize_t got = ::read(fd, content.bytes.data() + total, size_t(content.bytes.size() - total));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            refuse(path, QStringLiteral("nem olvasható (%1).").arg(QString::fromLocal8Bit(std::strerror(errno))),
                   ConfigError::Kind::Unreadable);
        if (got == 0)
            break;
        total += got;
        if (total > maxFileSize)
            refuse(path, QStringLiteral("túl nagy (legfeljebb %1 KiB lehet).").arg(maxFileSize / 1024),
                   ConfigError::Kind::Unreadable);
    }
    content.bytes.truncate(total);
    return content;
}

// A secret may stand only in a file that nobody else may read or change.
void requirePrivate(const QString& path, const struct stat& status)
{
    if (status.st_uid != 0 && status.st_uid != ::geteuid())
        refuse(path,
               QStringLiteral("jelszót tartalmaz, de nem a rendszergazda (root) és nem is a te tulajdonod, így "
                              "más is megváltoztathatta."),
               ConfigError::Kind::Content);
    if (status.st_mode & (S_IWOTH | S_IWGRP))
        refuse(path,
               QStringLiteral("jelszót tartalmaz, de a tulajdonosán kívül más is írhatja. Engedd csak a "
                              "tulajdonosnak az írást, például: chmod go-w %1")
                   .arg(path),
               ConfigError::Kind::Content);
    if (status.st_mode & S_IROTH)
        refuse(path,
               QStringLiteral("jelszót tartalmaz, de a gép minden felhasználója olvashatja. Engedd csak a "
                              "tulajdonosnak (és a csoportjának) az olvasást, például: chmod o-r %1")
                   .arg(path),
               ConfigError::Kind::Content);
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
                                   const SecretTest& isSecret, Strictness strictness)
{
    QMap<QString, QString> values;
    const FileContent file = readBounded(path);
    if (!file.exists)
        return values;
    auto malformed = [&path](qsizetype line, const QString& why) {
        refuse(path, QStringLiteral("a(z) %1. sor %2").arg(line).arg(why), ConfigError::Kind::Content);
    };
    const QList<QByteArray> lines = file.bytes.split('\n');
    QString current;
    bool secretHere = false;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = QString::fromUtf8(lines[n]).trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            const bool wellFormed = line.endsWith(u']') && line.size() >= 3;
            current = wellFormed ? line.mid(1, line.size() - 2).trimmed() : QString();
            if (!wellFormed && strictness == Strictness::WholeFile)
                malformed(n + 1, QStringLiteral("hibás szakaszfejléc."));
            continue;
        }
        const bool ours = current == section;
        if (!ours && strictness == Strictness::SectionOnly)
            continue; // another part of the program reads it
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            malformed(n + 1, QStringLiteral("nem „kulcs = érték” alakú."));
        if (!ours)
            continue;
        const QString key = line.left(equals).trimmed();
        QString value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
            value = value.mid(1, value.size() - 2);
        if (!keys.contains(key))
            malformed(n + 1,
                      QStringLiteral("ismeretlen kulcsot ad meg a [%1] szakaszban (ismert kulcsok: %2).")
                          .arg(section, keys.join(QStringLiteral(", "))));
        values.insert(key, value);
        secretHere = secretHere || (isSecret && isSecret(key, value));
    }
    if (secretHere)
        requirePrivate(path, file.status);
    return values;
}

QMap<QString, QString> readSections(const QStringList& paths, const QString& section, const QStringList& keys,
                                    const SecretTest& isSecret, Strictness strictness)
{
    QMap<QString, QString> values;
    for (const QString& path : paths)
        values.insert(readSection(path, section, keys, isSecret, strictness));
    return values;
}

} // namespace ConfigFile
