// One month of the largest county with 5,000 appointments: the program's
// LoadDonationList (statement, static result, grid model) against the engine
// alone stepping the same statement on the same file.

#include "app/grid/QueryTableModel.h"
#include "app/schedule/DonationsPanel.h"
#include "bench/BenchSupport.h"
#include "model/SortTable.h"
#include "store/DataModule.h"
#include "store/DonationStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath("datacore.vdf");
    bench::createReferenceDatabase(path);
    const int county = 4; // Borsod-Abaúj-Zemplén, the most settlements
    // 300 live locations, 5,000 appointments in May 2016 and as many in the months around it.
    bench::exec(path,
                QStringLiteral(
                    "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i<299), "
                    "s AS (SELECT id, row_number() OVER (ORDER BY id) - 1 AS k, count(*) OVER () AS total "
                    "FROM at_telepulesek WHERE megye_kod=%1) "
                    "INSERT INTO at_helyszinek (deleted, telepules_kod, cim, helyszin) "
                    "SELECT 0, s.id, 'Fő utca ' || i, 'Általános Iskola ' || i FROM n JOIN s ON s.k = i % s.total;"
                    "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i<14999) "
                    "INSERT INTO at_veradasok (ev, honap, nap, kezdes, befejezes, helyszin_kod) "
                    "SELECT '2016', printf('%02d', 4 + i % 3), printf('%02d', 1 + i % 31), "
                    "printf('%02d:%02d', 7 + i % 10, (i * 7) % 60), printf('%02d:00', 12 + i % 6), 1 + i % 300 "
                    "FROM n;")
                    .arg(county));
    QDir::setCurrent(dir.path());

    DataModule dm;
    dm.datacore.open();
    const SortTable sort(donationSortStart());
    QueryTableModel model(dm.aq_veradasok, DonationsPanel::gridColumns(), nullptr);
    const int rounds = 30;
    int rows = 0;
    const auto programRun = [&] {
        LoadDonationList(dm.aq_veradasok, county, 2016, 5, sort);
        rows = model.rowCount();
        for (int r = 0; r < std::min(rows, 26); ++r) // what the grid paints
            for (int c = 3; c < 10; ++c)
                model.data(model.index(r, c), Qt::DisplayRole);
    };
    programRun(); // the statement text exists once the program has run it
    // The same text the program sends, with its parameters written in.
    const QByteArray sql = dm.aq_veradasok.text()
                               .replace(QStringLiteral(":vev"), QStringLiteral("'2016'"))
                               .replace(QStringLiteral(":vhonap"), QStringLiteral("'05'"))
                               .replace(QStringLiteral(":vmegye_kod"), QString::number(county))
                               .toUtf8();
    sqlite3* raw = bench::openEngine(path);
    int engineRows = 0;
    const auto engineRun = [&] { engineRows = bench::stepWithEngine(raw, sql); };
    const auto [program, engine] = bench::alternateMedians(rounds, programRun, engineRun);
    bench::report("LoadDonationList", rows, program, engine, rounds);
    return rows == 5000 && engineRows == 5000 ? 0 : 1;
}
