// kelmir-newdb PATH: writes a fresh datacore.vdf at PATH with the counties
// and settlements built in, and refuses to overwrite an existing file.
// kelmir-newdb postgresql://...: writes the same into an empty database on
// a server, and refuses one that already holds the tables.

#include "store/DatabaseError.h"
#include "store/Schema.h"
#include "store/postgres/PostgresEngine.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        err << "Használat: kelmir-newdb ÚTVONAL\n"
               "          kelmir-newdb postgresql://KISZOLGÁLÓ/ADATBÁZIS\n";
        return 2;
    }
    const QString path = args[1];
    const bool server = PostgresEngine::isServerTarget(path);
    if (!server && QFile::exists(path)) {
        err << "A fájl már létezik, nem írom felül: " << path << "\n";
        return 1;
    }
    QFile csv(QStringLiteral(":/data/hu_settlements.csv"));
    if (!csv.open(QIODevice::ReadOnly)) {
        err << "A beépített településlista nem olvasható.\n";
        return 1;
    }
    try {
        const ReferenceData data = ReferenceData::fromCsv(csv.readAll());
        if (server)
            createServerDatabase(path, data);
        else
            createDatabaseFile(path, data);
    } catch (const DatabaseError& error) {
        err << error.message() << "\n";
        return 1;
    } catch (const std::exception& error) {
        err << error.what() << "\n";
        return 1;
    }
    return 0;
}
