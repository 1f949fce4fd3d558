#include "export/ExportTable.h"

#include "store/DataModule.h"
#include "store/DonationStore.h"
#include "store/Statement.h"

int BuildExportTable(Tdm& dm, quint8 county, const QString& countyName, int year, int month)
{
    Query& command = dm.CommandQuery;
    startStatement(command);
    command.addLine(QStringLiteral("DELETE FROM at_toExcel;"));
    command.prepare();
    command.execute();

    Query& rows = dm.aq_toExcel;
    startStatement(rows);
    rows.declareParameter(QStringLiteral("vev"), ParamType::Text);
    rows.declareParameter(QStringLiteral("vhonap"), ParamType::Text);
    rows.declareParameter(QStringLiteral("vmegye_kod"), ParamType::Integer);
    for (const char* line :
         {"SELECT at_veradasok.ev, at_veradasok.honap, at_veradasok.nap, at_veradasok.kezdes, at_veradasok.befejezes, ",
          "at_telepulesek.irsz, at_telepulesek.telepules, at_helyszinek.cim, at_helyszinek.helyszin",
          "FROM (at_veradasok INNER JOIN at_helyszinek ON at_veradasok.helyszin_kod = at_helyszinek.id) INNER JOIN "
          "at_telepulesek ON at_helyszinek.telepules_kod = at_telepulesek.id",
          "WHERE (((at_veradasok.ev)=:vev) AND ((at_veradasok.honap)=:vhonap) AND "
          "((at_telepulesek.megye_kod)=:vmegye_kod))",
          "ORDER BY at_veradasok.nap, at_veradasok.kezdes, at_telepulesek.telepules, at_helyszinek.cim;"})
        rows.addLine(QString::fromUtf8(line));
    rows.bind(QStringLiteral("vev"), QString::number(year));
    rows.bind(QStringLiteral("vhonap"), TwoDigitText(month));
    rows.bind(QStringLiteral("vmegye_kod"), qint32(county));
    rows.prepare();
    rows.open();
    const int count = rows.recordCount();

    for (rows.first(); !rows.eof(); rows.next()) {
        startStatement(command);
        for (const char* name : {"vdatum", "vidopont", "vmegye", "vvaros", "vhelyszin", "vcim"})
            command.declareParameter(QString::fromLatin1(name), ParamType::Text);
        command.declareParameter(QStringLiteral("virsz"), ParamType::Integer);
        command.addLine(QStringLiteral("INSERT INTO at_toExcel (datum, idopont, megye, irsz, varos, helyszin, cim)"));
        command.addLine(QStringLiteral("VALUES (:vdatum, :vidopont, :vmegye, :virsz, :vvaros, :vhelyszin, :vcim);"));
        auto text = [&](const char* column) { return rows.field(QString::fromLatin1(column)).asString(); };
        command.bind(QStringLiteral("vdatum"), text("ev") + u'.' + text("honap") + u'.' + text("nap"));
        command.bind(QStringLiteral("vidopont"), text("kezdes") + u'-' + text("befejezes"));
        command.bind(QStringLiteral("vmegye"), countyName);
        command.bind(QStringLiteral("virsz"), rows.field(QStringLiteral("irsz")).valueAsInteger());
        command.bind(QStringLiteral("vvaros"), text("telepules"));
        command.bind(QStringLiteral("vhelyszin"), text("helyszin"));
        command.bind(QStringLiteral("vcim"), text("cim"));
        command.prepare();
        command.execute();
    }
    command.close();

    startStatement(rows);
    // Row order is insertion order: the rowid keeps it.
    rows.addLine(QStringLiteral("SELECT datum AS DÁTUM, idopont AS IDŐPONT, megye AS MEGYE, irsz AS IRSZ, varos AS "
                                "TELEPÜLÉS, helyszin AS [HELYSZÍN (intézmény neve)], cim AS Cím FROM at_toExcel "
                                "ORDER BY rowid;"));
    rows.prepare();
    rows.open();
    return count;
}
