// kelmir-newdb PATH: writes a fresh datacore.vdf at PATH with the counties
// and settlements built in, and refuses to overwrite an existing file.
// kelmir-newdb postgresql://...: writes the same into an empty database on
// a server, and refuses one that already holds the tables.
// kelmir-newdb --update-reference PATH|postgresql://...: mends the county
// names and the settlements' counties of a database written with an
// earlier list, keeping every row and id.

#include "store/Connection.h"
#include "store/DatabaseError.h"
#include "store/DatabaseTarget.h"
#include "store/ReferenceUpdate.h"
#include "store/Schema.h"
#include "store/postgres/PostgresEngine.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

namespace {

const char* const usage = "Használat: kelmir-newdb ÚTVONAL\n"
                          "          kelmir-newdb postgresql://KISZOLGÁLÓ/ADATBÁZIS\n"
                          "          kelmir-newdb --update-reference ÚTVONAL|postgresql://KISZOLGÁLÓ/ADATBÁZIS\n";

int create(const QString& target, QTextStream& err)
{
    const bool server = PostgresEngine::isServerTarget(target);
    if (!server && QFile::exists(target)) {
        err << "A fájl már létezik, nem írom felül: " << target << "\n";
        return 1;
    }
    if (server)
        createServerDatabase(target, ReferenceData::builtIn());
    else
        createDatabaseFile(target, ReferenceData::builtIn());
    return 0;
}

void reportLocked(const DatabaseError& error, QTextStream& err)
{
    err << "Az adatbázist egy másik program tartja zárolva, ezért semmi sem változott. Próbáld újra, amikor a "
           "másik program befejezte a munkát. ("
        << error.message() << ")\n";
}

int updateReference(const QString& target, QTextStream& out, QTextStream& err)
{
    const ReferenceData list = ReferenceData::builtIn();
    Connection connection;
    try {
        connection.open(target);
    } catch (const DatabaseError& error) {
        if (error.cause() == DatabaseError::Cause::Locked)
            reportLocked(error, err);
        else
            err << "Az adatbázis nem nyitható meg: " << target << " (" << error.message() << ")\n";
        return 1;
    }
    ReferenceChanges changes;
    try {
        changes = updateReferenceData(connection, list);
    } catch (const DatabaseError& error) {
        if (error.cause() == DatabaseError::Cause::Locked)
            reportLocked(error, err);
        else
            err << "A frissítés nem sikerült, semmi sem változott: " << error.message() << "\n";
        return 1;
    }
    if (!changes.any()) {
        out << "A megyék és a települések már a beépített lista szerintiek, semmi sem változott.\n";
        return 0;
    }
    out << "Frissítve: " << changes.settlementCounties << " település sor megyéje, " << changes.countyNames
        << " megye neve";
    if (changes.settlementsAdded > 0)
        out << ", " << changes.settlementsAdded << " új település sor";
    out << ". A helyszínek, az időpontok és a beállítások nem változtak.\n";
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    const bool update = args.size() == 3 && args[1] == QLatin1String("--update-reference");
    if (!update && (args.size() != 2 || args[1].startsWith(u'-'))) {
        err << usage;
        return 2;
    }
    const QString target = update ? args[2] : args[1];
    // Every user of the machine can read a command line in the process list.
    if (PostgresEngine::isServerTarget(target) && DatabaseTarget::holdsPassword(target)) {
        err << "A kapcsolati URI jelszót tartalmaz, de a parancssort a gép minden felhasználója láthatja a "
               "folyamatok listájában. Hagyd ki a jelszót az URI-ból, és add meg a ~/.pgpass fájlban (mode 600) "
               "vagy a PGPASSWORD környezeti változóban.\n";
        return 2;
    }
    try {
        return update ? updateReference(target, out, err) : create(target, err);
    } catch (const Error& error) {
        err << error.message() << "\n";
    } catch (const std::exception& error) {
        err << error.what() << "\n";
    }
    return 1;
}
