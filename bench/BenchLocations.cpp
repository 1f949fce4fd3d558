// The location list of the largest county with 2,048 live locations: the
// program's LoadLocationList (statement, static result, grid model) against
// the engine alone stepping the same statement on the same file.

#include "app/grid/QueryTableModel.h"
#include "app/locations/LocationsPanel.h"
#include "bench/BenchSupport.h"
#include "model/SortTable.h"
#include "store/DataModule.h"
#include "store/LocationStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath("datacore.vdf");
    bench::createReferenceDatabase(path);
    // Borsod-Abaúj-Zemplén has the most settlements; spread 2,048 locations over them.
    const int county = 4;
    bench::exec(path,
                QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i<2047), "
                               "s AS (SELECT id, row_number() OVER (ORDER BY id) - 1 AS k, count(*) OVER () AS "
                               "total FROM at_telepulesek WHERE megye_kod=%1) "
                               "INSERT INTO at_helyszinek (deleted, telepules_kod, cim, helyszin) "
                               "SELECT 0, s.id, 'Kossuth Lajos utca ' || (i % 97), 'Művelődési Ház ' || i "
                               "FROM n JOIN s ON s.k = (n.i * 7919) % s.total")
                    .arg(county));
    QDir::setCurrent(dir.path());

    DataModule dm;
    dm.datacore.open();
    const SortTable sort(locationSortStart());
    QueryTableModel model(dm.aq_helyszinek, LocationsPanel::gridColumns(), nullptr);
    const int rounds = 60;
    int rows = 0;
    const auto programRun = [&] {
        LoadLocationList(dm.aq_helyszinek, county, sort);
        rows = model.rowCount();
        for (int r = 0; r < std::min(rows, 13); ++r) // what the grid paints
            for (int c = 3; c < 7; ++c)
                model.data(model.index(r, c), Qt::DisplayRole);
    };

    const QByteArray sql =
        QStringLiteral("SELECT at_helyszinek.id, at_helyszinek.deleted, at_helyszinek.telepules_kod, "
                       "at_telepulesek.irsz, at_telepulesek.telepules, at_helyszinek.cim, "
                       "at_helyszinek.helyszin FROM at_helyszinek\n"
                       "INNER JOIN at_telepulesek ON at_helyszinek.telepules_kod=at_telepulesek.id\n"
                       "WHERE at_telepulesek.megye_kod=%1 AND deleted=0\n%2")
            .arg(county)
            .arg(sort.orderByLine())
            .toUtf8();
    sqlite3* raw = bench::openEngine(path);
    int engineRows = 0;
    const auto engineRun = [&] { engineRows = bench::stepWithEngine(raw, sql); };
    const auto [program, engine] = bench::alternateMedians(rounds, programRun, engineRun);
    bench::report("LoadLocationList", rows, program, engine, rounds);
    return rows == 2048 && engineRows == 2048 ? 0 : 1;
}
