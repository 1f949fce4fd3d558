// Building the export table of a 100-, 1,000- and 3,000-row month: the
// program's BuildExportTable against the engine doing the same work alone,
// one INSERT ... SELECT of the month's rows after the table is emptied, on
// the file (SQLite in this process, the same file) and on a server (psql on
// the same link; its figure is its own \timing). Rounds alternated, medians.
//
//   bench-export FILE SOCKET DATABASE
//
// FILE is a fresh datacore.vdf; DATABASE a fresh database on the server at
// the Unix SOCKET, reached through a link of the benchmark's own that holds
// every packet 10 ms each way (a round trip of 20 ms, as across the country).

#include "bench/BenchSupport.h"
#include "store/Connection.h"
#include "store/DataModule.h"
#include "store/ExportTable.h"
#include "store/Transaction.h"

#include <QCoreApplication>

#include <sqlite3.h>

#include <cstdio>
#include <stdexcept>

namespace {

constexpr quint8 county = 4; // Borsod-Abaúj-Zemplén
const QString countyName = QStringLiteral("Borsod-Abaúj-Zemplén");

struct MonthSize {
    int month;
    int rows;
    int rounds;
};
constexpr MonthSize sizes[] = {{1, 100, 15}, {2, 1000, 9}, {3, 3000, 5}};

// 300 live locations over the county's settlements; in 2016 January holds
// 100 appointments, February 1,000, March 3,000.
void arrange(const QString& target)
{
    Connection connection;
    connection.open(target);
    const StatementResult settlements =
        connection.select(QStringLiteral("SELECT id FROM at_telepulesek WHERE megye_kod=4 ORDER BY id;"));
    Transaction transaction(connection);
    std::vector<std::vector<BoundParameter>> rows;
    for (int i = 0; i < 300; ++i)
        rows.push_back(boundParameters({{"vkod", qint32(settlements.value((i * 7919) % settlements.rows, 0).toInt())},
                                        {"vcim", QStringLiteral("Kossuth Lajos utca %1.").arg(i % 97)},
                                        {"vhelyszin", QStringLiteral("Művelődési Ház %1").arg(i)}}));
    connection.runEach(QStringLiteral("INSERT INTO at_helyszinek (deleted, telepules_kod, cim, helyszin) VALUES (0, "
                                      ":vkod, :vcim, :vhelyszin);"),
                       rows);
    const int firstLocation =
        connection.select(QStringLiteral("SELECT min(id) AS n FROM at_helyszinek;")).value(0, 0).toInt();
    rows.clear();
    for (const MonthSize& size : sizes) {
        for (int i = 0; i < size.rows; ++i) {
            auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QChar(u'0')); };
            rows.push_back(boundParameters({{"vhonap", two(size.month)},
                                            {"vnap", two(1 + i % 28)},
                                            {"vkezdes", two(7 + i % 10) + u':' + two(i * 7 % 60)},
                                            {"vbefejezes", two(12 + i % 6) + QStringLiteral(":00")},
                                            {"vkod", qint32(firstLocation + i % 300)}}));
        }
    }
    connection.runEach(QStringLiteral("INSERT INTO at_veradasok (ev, honap, nap, kezdes, befejezes, helyszin_kod) "
                                      "VALUES ('2016', :vhonap, :vnap, :vkezdes, :vbefejezes, :vkod);"),
                       rows);
    transaction.commit();
}

// The same rows, texts and order as the program's, in one statement.
QByteArray insertSelect(int month)
{
    return QStringLiteral(
               "INSERT INTO at_toExcel (datum, idopont, megye, irsz, varos, helyszin, cim) "
               "SELECT at_veradasok.ev || '.' || at_veradasok.honap || '.' || at_veradasok.nap, "
               "at_veradasok.kezdes || '-' || at_veradasok.befejezes, '%1', at_telepulesek.irsz, "
               "at_telepulesek.telepules, at_helyszinek.helyszin, at_helyszinek.cim "
               "FROM (at_veradasok INNER JOIN at_helyszinek ON at_veradasok.helyszin_kod = at_helyszinek.id) "
               "INNER JOIN at_telepulesek ON at_helyszinek.telepules_kod = at_telepulesek.id "
               "WHERE at_veradasok.ev='2016' AND at_veradasok.honap='%2' AND at_telepulesek.megye_kod=4 "
               "ORDER BY at_veradasok.nap, at_veradasok.kezdes, at_telepulesek.telepules, at_helyszinek.cim;")
        .arg(countyName)
        .arg(month, 2, 10, QChar(u'0'))
        .toUtf8();
}

void report(const char* where, const MonthSize& size, double program, double engine, const char* peer)
{
    std::printf("export table, %d rows, %s\n", size.rows, where);
    std::printf("  program (BuildExportTable):            %9.1f ms median of %d\n", program / 1000, size.rounds);
    std::printf("  %-38s %9.1f ms median of %d\n", peer, engine / 1000, size.rounds);
    std::printf("  ratio program/engine: %.2f\n", program / engine);
}

// Each round alternates the program with the engine alone.
template <typename Peer>
std::vector<double> compare(const char* where, const QString& target, Peer peer, const char* peerName)
{
    DataModule dm;
    dm.datacore.open(target);
    std::vector<double> medians;
    for (const MonthSize& size : sizes) {
        int count = 0;
        auto program = [&] {
            count = BuildExportTable(dm.datacore, dm.aq_toExcel, county, countyName, 2016, size.month);
        };
        program();
        peer(size.month); // both warmed up once
        std::vector<double> ours;
        std::vector<double> theirs;
        for (int i = 0; i < size.rounds; ++i) {
            ours.push_back(bench::medianMicros(1, program));
            theirs.push_back(peer(size.month));
        }
        if (count != size.rows)
            throw std::runtime_error("the export has the wrong number of rows");
        std::sort(ours.begin(), ours.end());
        std::sort(theirs.begin(), theirs.end());
        report(where, size, ours[ours.size() / 2], theirs[theirs.size() / 2], peerName);
        medians.push_back(ours[ours.size() / 2]);
    }
    return medians;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench-export FILE SOCKET DATABASE\n");
        return 2;
    }
    const QString file = QString::fromLocal8Bit(argv[1]);
    try {
        bench::Link link(QString::fromLocal8Bit(argv[2]), 10);
        const QString uri =
            QStringLiteral("postgresql://kelmir@127.0.0.1:%1/%2").arg(link.port()).arg(QString::fromUtf8(argv[3]));
        arrange(file);
        sqlite3* engine = bench::openEngine(file);
        const auto onFile = compare(
            "on the file", file,
            [engine](int month) {
                const QByteArray sql = "BEGIN IMMEDIATE; DELETE FROM at_toExcel; " + insertSelect(month) + " COMMIT;";
                return bench::medianMicros(1, [&] {
                    if (sqlite3_exec(engine, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
                        throw std::runtime_error(sqlite3_errmsg(engine));
                });
            },
            "SQLite alone (one INSERT ... SELECT):");
        bench::closeEngine(engine);

        arrange(uri);
        bench::Psql psql(uri);
        // The program's session has an export table of its own; so has psql's.
        psql.run("CREATE TEMPORARY TABLE at_toExcel (rowid BIGINT GENERATED ALWAYS AS IDENTITY, datum TEXT, idopont "
                 "TEXT, megye TEXT, irsz INTEGER, varos TEXT, helyszin TEXT, cim TEXT);");
        const auto onServer = compare(
            "on the server over a 20 ms link", uri,
            [&psql](int month) { return psql.run("DELETE FROM at_toExcel\\; " + insertSelect(month)); },
            "psql alone (one INSERT ... SELECT):");
        std::printf("on the server, 1,000 rows against 100: %.2fx the time\n", onServer[1] / onServer[0]);
        std::printf("targets: file 3,000 rows %.0f ms (within 1,000); server 1,000 rows %.0f ms (within 600)\n",
                    onFile[2] / 1000, onServer[1] / 1000);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
