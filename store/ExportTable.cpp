#include "store/ExportTable.h"

#include "model/Months.h"
#include "store/Connection.h"
#include "store/Query.h"
#include "store/Sql.h"
#include "store/Transaction.h"

int BuildExportTable(Connection& connection, Query& rows, quint8 county, const QString& countyName, int year, int month)
{
    // One transaction: the rows cost no commit each, a failure leaves the
    // table as it was, and two programs exporting at once on the file never
    // mix their rows (the second waits for the first's lock).
    Transaction transaction(connection);
    connection.run(QStringLiteral("DELETE FROM at_toExcel;"));
    rows.open(Sql::lines({"SELECT at_veradasok.ev, at_veradasok.honap, at_veradasok.nap, at_veradasok.kezdes, "
                          "at_veradasok.befejezes, ",
                          "at_telepulesek.irsz, at_telepulesek.telepules, at_helyszinek.cim, at_helyszinek.helyszin",
                          Sql::donationsFrom, Sql::monthOfCounty,
                          "ORDER BY at_veradasok.nap, at_veradasok.kezdes, at_telepulesek.telepules, "
                          "at_helyszinek.cim;"}),
              {{"vev", QString::number(year)}, {"vhonap", TwoDigitText(month)}, {"vmegye_kod", qint32(county)}});
    const int count = rows.recordCount();
    std::vector<std::vector<BoundParameter>> inserts;
    inserts.reserve(size_t(count));
    for (rows.first(); !rows.eof(); rows.next()) {
        auto text = [&](const char* column) { return rows.field(QString::fromLatin1(column)).asString(); };
        inserts.push_back(boundParameters({{"vdatum", text("ev") + u'.' + text("honap") + u'.' + text("nap")},
                                           {"vidopont", text("kezdes") + u'-' + text("befejezes")},
                                           {"vmegye", countyName},
                                           {"virsz", rows.field(QStringLiteral("irsz")).valueAsInteger()},
                                           {"vvaros", text("telepules")},
                                           {"vhelyszin", text("helyszin")},
                                           {"vcim", text("cim")}}));
    }
    connection.runEach(Sql::lines({"INSERT INTO at_toExcel (datum, idopont, megye, irsz, varos, helyszin, cim)",
                                   "VALUES (:vdatum, :vidopont, :vmegye, :virsz, :vvaros, :vhelyszin, :vcim);"}),
                       inserts);
    transaction.commit();
    // Row order is insertion order: the rowid keeps it.
    rows.open(QStringLiteral("SELECT datum AS DÁTUM, idopont AS IDŐPONT, megye AS MEGYE, irsz AS IRSZ, varos AS "
                             "TELEPÜLÉS, helyszin AS [HELYSZÍN (intézmény neve)], cim AS Cím FROM at_toExcel "
                             "ORDER BY rowid;"));
    return count;
}
