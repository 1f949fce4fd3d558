// kelmir-newdb PATH: writes a fresh datacore.vdf at PATH with the counties
// and settlements built in, and refuses to overwrite an existing file.

#include "store/DatabaseError.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        err << "Használat: kelmir-newdb ÚTVONAL\n";
        return 2;
    }
    const QString path = args[1];
    if (QFile::exists(path)) {
        err << "A fájl már létezik, nem írom felül: " << path << "\n";
        return 1;
    }
    QFile csv(QStringLiteral(":/data/hu_settlements.csv"));
    if (!csv.open(QIODevice::ReadOnly)) {
        err << "A beépített településlista nem olvasható.\n";
        return 1;
    }
    try {
        createDatabaseFile(path, ReferenceData::fromCsv(csv.readAll()));
    } catch (const DatabaseError& error) {
        err << error.message() << "\n";
        return 1;
    } catch (const std::exception& error) {
        err << error.what() << "\n";
        return 1;
    }
    return 0;
}
