#include "app/WorkingFolder.h"

#include "model/Error.h"
#include "model/UserMessages.h"
#include "store/Connection.h"
#include "store/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

void refuse(UserMessages& messages, const QString& text)
{
    messages.show(text + QStringLiteral("\n\nA program futása befejeződik."), QStringLiteral("Kelmir"),
                  UserMessages::Icon::Error, UserMessages::Buttons::Ok);
}

} // namespace

bool prepareWorkingFolder(const QString& folder, UserMessages& messages)
{
    const QString absolute = QDir(folder).absolutePath();
    const QString parent = QFileInfo(absolute).absolutePath();
    if (!QDir().mkpath(parent)) {
        refuse(messages,
               QStringLiteral("A munkamappa (%1) nem hozható létre: a(z) %2 mappa nem készíthető el.")
                   .arg(absolute, parent));
        return false;
    }
    if (::mkdir(QFile::encodeName(absolute).constData(), 0700) != 0 && errno != EEXIST) {
        refuse(messages, QStringLiteral("A munkamappa (%1) nem hozható létre: %2").arg(absolute, systemText(errno)));
        return false;
    }
    if (!QFileInfo(absolute).isDir()) {
        refuse(messages, QStringLiteral("A munkamappa helyén (%1) nem mappa áll.").arg(absolute));
        return false;
    }
    const QString database = absolute + u'/' + QString::fromLatin1(Connection::defaultFileName);
    struct stat existing { };
    if (::lstat(QFile::encodeName(database).constData(), &existing) != 0) {
        try {
            createDatabaseFile(database, ReferenceData::builtIn());
        } catch (const Error& error) {
            refuse(messages, QStringLiteral("Az adatfájl (%1) nem hozható létre: %2").arg(database, error.message()));
            return false;
        }
    }
    if (!QDir::setCurrent(absolute)) {
        refuse(messages, QStringLiteral("A munkamappa (%1) nem nyitható meg.").arg(absolute));
        return false;
    }
    return true;
}
