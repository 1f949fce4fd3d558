#include "store/Schema.h"

#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/Query.h"
#include "store/Transaction.h"

#include <QCollator>
#include <QFile>
#include <QLocale>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

ReferenceData ReferenceData::fromCsv(const QByteArray& csv)
{
    ReferenceData data;
    const QList<QByteArray> lines = csv.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        const QList<QByteArray> fields = line.split(',');
        bool ok = false;
        const int irsz = fields.size() == 3 ? fields[0].toInt(&ok) : 0;
        if (!ok)
            throw std::runtime_error("malformed settlement line " + std::to_string(i + 1));
        data.settlements.append({irsz, QString::fromUtf8(fields[1]), QString::fromUtf8(fields[2])});
        if (!data.counties.contains(data.settlements.back().megye))
            data.counties.append(data.settlements.back().megye);
    }
    QCollator collator(QLocale(QLocale::Hungarian, QLocale::Hungary));
    std::sort(data.counties.begin(), data.counties.end(),
              [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    return data;
}

void writeReferenceData(Connection& connection, const ReferenceData& data)
{
    Transaction transaction(connection);
    for (const QString& statement : connection.engine().schemaStatements())
        connection.execute(statement);
    for (qsizetype i = 0; i < data.counties.size(); ++i)
        connection.run(QStringLiteral("INSERT INTO at_megyek (id, megye_nev) VALUES (:id, :nev);"),
                       {{"id", qint32(i + 1)}, {"nev", data.counties[i]}});
    for (qsizetype i = 0; i < data.settlements.size(); ++i) {
        const ReferenceData::Settlement& settlement = data.settlements[i];
        connection.run(QStringLiteral(
                           "INSERT INTO at_telepulesek (id, megye_kod, telepules, irsz) VALUES (:id, :megye, :nev, "
                           ":irsz);"),
                       {{"id", qint32(i + 1)},
                        {"megye", qint32(data.counties.indexOf(settlement.megye) + 1)},
                        {"nev", settlement.telepules},
                        {"irsz", qint32(settlement.irsz)}});
    }
    transaction.commit();
}

void createServerDatabase(const QString& uri, const ReferenceData& data)
{
    Connection connection;
    connection.createNew(uri);
    writeReferenceData(connection, data);
}

void createDatabaseFile(const QString& path, const ReferenceData& data)
{
    if (QFile::exists(path))
        throw DatabaseError(QStringLiteral("A fájl már létezik: %1").arg(path));
    const QByteArray finalName = QFile::encodeName(path);
    const QByteArray partName = finalName + ".part";
    ::unlink(partName.constData()); // a part an interrupted run left behind
    auto leaveNothing = qScopeGuard([&partName] { ::unlink(partName.constData()); });
    // Made here, private to its owner (the settings keep a password); the
    // engine keeps the mode, and gives its journal the same.
    const int fd = ::open(partName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        throw DatabaseError(QStringLiteral("A fájl nem hozható létre: %1 (%2)")
                                .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    ::close(fd);
    {
        Connection connection;
        connection.createNew(QFile::decodeName(partName));
        writeReferenceData(connection, data);
    }
    // A new name for the finished file: link() never replaces a file that
    // appeared meanwhile.
    if (::link(partName.constData(), finalName.constData()) != 0)
        throw DatabaseError(QStringLiteral("A fájl nem hozható létre: %1 (%2)")
                                .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
}

ReferenceData ReferenceData::builtIn()
{
    QFile csv(QStringLiteral(":/data/hu_settlements.csv"));
    if (!csv.open(QIODevice::ReadOnly))
        throw DatabaseError(QStringLiteral("A beépített településlista nem olvasható."));
    return fromCsv(csv.readAll());
}
