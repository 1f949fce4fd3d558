// The location and appointment lists with the data on a PostgreSQL server:
// the program's LoadLocationList and LoadDonationList (statement, static
// result, grid model) against psql running the same statement text on the
// same server, rounds alternated. psql's figure is its own \timing (sending
// the statement to having the whole result), read from its output.
//
//   bench-server URI    (an empty database written by kelmir-newdb)

#include "app/grid/QueryTableModel.h"
#include "app/locations/LocationsPanel.h"
#include "app/schedule/DonationsPanel.h"
#include "bench/BenchSupport.h"
#include "model/SortTable.h"
#include "store/Connection.h"
#include "store/DataModule.h"
#include "store/DonationStore.h"
#include "store/LocationStore.h"
#include "store/postgres/PostgresDialect.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <vector>

namespace {

constexpr int county = 4; // Borsod-Abaúj-Zemplén, the most settlements

// 2,048 live locations over the county's settlements; 15,000 appointments
// at the first 300 of them over April to June 2016 (5,000 in May).
const char* const arrangement =
    "INSERT INTO at_helyszinek (deleted, telepules_kod, cim, helyszin) "
    "SELECT 0, s.id, 'Kossuth Lajos utca ' || (n.i % 97), 'Művelődési Ház ' || n.i "
    "FROM generate_series(0, 2047) AS n(i) JOIN (SELECT id, row_number() OVER (ORDER BY id) - 1 AS k, "
    "count(*) OVER () AS total FROM at_telepulesek WHERE megye_kod = 4) AS s ON s.k = (n.i * 7919) % s.total;"
    "INSERT INTO at_veradasok (ev, honap, nap, kezdes, befejezes, helyszin_kod) "
    "SELECT '2016', lpad((4 + i % 3)::text, 2, '0'), lpad((1 + i % 31)::text, 2, '0'), "
    "lpad((7 + i % 10)::text, 2, '0') || ':' || lpad(((i * 7) % 60)::text, 2, '0'), "
    "lpad((12 + i % 6)::text, 2, '0') || ':00', 1 + i % 300 FROM generate_series(0, 14999) AS i;"
    "ANALYZE;";

double micros(const std::function<void()>& fn)
{
    const auto start = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The statement as the program last sent it, with its parameters written
// in and translated as the server reads it.
QByteArray sentText(const Query& query, const QList<QPair<QString, QString>>& parameters)
{
    QString text = query.text();
    for (const auto& [name, literal] : parameters)
        text.replace(u':' + name, literal);
    return PostgresDialect::translate(text).text;
}

void compare(const char* what, bench::Psql& psql, int rounds, const std::function<int()>& programRun,
             const QByteArray& statement)
{
    programRun();
    psql.run(statement); // both warmed up once
    std::vector<double> program;
    std::vector<double> peer;
    int rows = 0;
    for (int i = 0; i < rounds; ++i) {
        program.push_back(micros([&] { rows = programRun(); }));
        peer.push_back(psql.run(statement));
    }
    const double ours = median(program);
    const double theirs = median(peer);
    std::printf("%s on the server, %d rows\n", what, rows);
    std::printf("  program (statement, static result, grid model): %8.0f us median of %d\n", ours, rounds);
    std::printf("  psql, same statement, its own \\timing:          %8.0f us median of %d\n", theirs, rounds);
    std::printf("  ratio program/psql: %.2f\n", ours / theirs);
}

// What the grid paints of a fresh list: the first screenful.
void paint(const QueryTableModel& model, int rows, int firstColumn, int lastColumn)
{
    for (int r = 0; r < std::min(model.rowCount(), rows); ++r)
        for (int c = firstColumn; c <= lastColumn; ++c)
            model.data(model.index(r, c), Qt::DisplayRole);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench-server URI\n");
        return 2;
    }
    const QString uri = QString::fromUtf8(argv[1]);
    try {
        {
            Connection arranging;
            arranging.open(uri);
            arranging.execute(QString::fromUtf8(arrangement));
        }
        DataModule dm;
        dm.datacore.open(uri);
        bench::Psql psql(uri);

        const SortTable locationSort(locationSortStart());
        QueryTableModel locations(dm.aq_helyszinek, LocationsPanel::gridColumns(), nullptr);
        auto loadLocations = [&] {
            LoadLocationList(dm.aq_helyszinek, county, locationSort);
            paint(locations, 13, 3, 6);
            return locations.rowCount();
        };
        loadLocations();
        compare("LoadLocationList", psql, 30, loadLocations, sentText(dm.aq_helyszinek, {}));

        const SortTable donationSort(donationSortStart());
        QueryTableModel donations(dm.aq_veradasok, DonationsPanel::gridColumns(), nullptr);
        auto loadDonations = [&] {
            LoadDonationList(dm.aq_veradasok, county, 2016, 5, donationSort);
            paint(donations, 26, 3, 9);
            return donations.rowCount();
        };
        loadDonations();
        compare("LoadDonationList", psql, 30, loadDonations,
                sentText(dm.aq_veradasok,
                         {{QStringLiteral("vmegye_kod"), QString::number(county)},
                          {QStringLiteral("vhonap"), QStringLiteral("'05'")},
                          {QStringLiteral("vev"), QStringLiteral("'2016'")}}));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
