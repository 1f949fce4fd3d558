#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The shape of datacore.vdf and the builder of fresh files. The program never
// creates the file; the tool kelmir-newdb and the test fixtures do, with this
// code.

// Reference data: the counties and the postcode-settlement rows.
struct ReferenceData {
    struct Settlement {
        int irsz = 0;
        QString telepules;
        QString megye;
    };

    QStringList counties; // position + 1 = county id
    QList<Settlement> settlements;

    // Parses "irsz,telepules,megye" CSV (UTF-8, header line first). The
    // counties get ids in Hungarian alphabetical order. Throws
    // std::runtime_error on a malformed line.
    static ReferenceData fromCsv(const QByteArray& csv);
    // The list built into the programs (data/hu_settlements.csv). Throws
    // DatabaseError.
    static ReferenceData builtIn();
};

class Connection;

// Writes the six tables, the counties into at_megyek and the settlements
// into at_telepulesek, through an empty database's connection, in one
// transaction. Throws DatabaseError.
void writeReferenceData(Connection& connection, const ReferenceData& data);

// Writes the six tables and the reference data into an empty database on a
// server (a postgresql:// URI), in one transaction: a database that already
// holds the tables is refused and left as it was. Throws DatabaseError.
void createServerDatabase(const QString& uri, const ReferenceData& data);

// Writes a fresh database at path: the six tables, the counties into
// at_megyek, the settlements into at_telepulesek, everything else empty. The
// file is private to its owner (mode 0600: the settings keep a password),
// appears under its name only when complete, and an existing file is never
// touched. Throws DatabaseError.
void createDatabaseFile(const QString& path, const ReferenceData& data);
