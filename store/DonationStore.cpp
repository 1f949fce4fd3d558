#include "store/DonationStore.h"

#include "model/Base.h"
#include "model/Clock.h"
#include "model/IsolatedText.h"
#include "model/SortTable.h"
#include "store/DataModule.h"

namespace {

const char* const donationsFrom = "FROM (at_veradasok INNER JOIN at_helyszinek ON at_veradasok.helyszin_kod = "
                                  "at_helyszinek.id) INNER JOIN at_telepulesek ON at_helyszinek.telepules_kod = "
                                  "at_telepulesek.id";

} // namespace

QString TwoDigitText(int number)
{
    return number >= 1 && number <= 9 ? QStringLiteral("0") + QString::number(number) : QString::number(number);
}

void LoadDonationList(Tdm& dm, quint8 county, int year, int month, const SortTable& sort)
{
    Query& q = dm.aq_veradasok;
    startStatement(q);
    q.declareParameter(QStringLiteral("vev"), ParamType::Text);
    q.declareParameter(QStringLiteral("vhonap"), ParamType::Text);
    q.declareParameter(QStringLiteral("vmegye_kod"), ParamType::Integer);
    q.addLines({"SELECT at_veradasok.id, at_veradasok.ev, at_veradasok.honap, at_veradasok.nap, "
                "at_veradasok.kezdes, at_veradasok.befejezes, ",
                "at_telepulesek.irsz, at_telepulesek.telepules, at_helyszinek.cim, at_helyszinek.helyszin, "
                "at_helyszinek.id, at_telepulesek.megye_kod",
                donationsFrom,
                "WHERE (((at_veradasok.ev)=:vev) AND ((at_veradasok.honap)=:vhonap) AND "
                "((at_telepulesek.megye_kod)=:vmegye_kod))"});
    q.addLine(sort.orderByLine());
    q.bind(QStringLiteral("vev"), QString::number(year));
    q.bind(QStringLiteral("vhonap"), TwoDigitText(month));
    q.bind(QStringLiteral("vmegye_kod"), qint32(county));
    q.prepare();
    q.open();
    q.first();
}

WriteResult SaveDonation(Tdm& dm, const tVeradasok& donation, EditModes mode)
{
    Query& q = dm.aq_veradasok;
    startStatement(q);
    q.declareParameter(QStringLiteral("vid"), ParamType::Integer);
    for (const char* name : {"vev", "vhonap", "vnap", "vkezdes", "vbefejezes"})
        q.declareParameter(QString::fromLatin1(name), ParamType::Text);
    q.declareParameter(QStringLiteral("vhelyszin_kod"), ParamType::Integer);
    const bool insert = mode == EditModes::New;
    if (insert) {
        q.addLines({"INSERT INTO at_veradasok (ev, honap, nap, kezdes, befejezes, helyszin_kod)",
                    "VALUES (:vev, :vhonap, :vnap, :vkezdes, :vbefejezes, :vhelyszin_kod);"});
    } else {
        q.addLines({"UPDATE at_veradasok", "SET ev=:vev,", "honap=:vhonap,", "nap=:vnap,", "kezdes=:vkezdes,",
                    "befejezes=:vbefejezes,", "helyszin_kod=:vhelyszin_kod", "WHERE id=:vid;"});
        q.bind(QStringLiteral("vid"), donation.id);
    }
    q.bind(QStringLiteral("vev"), donation.ev);
    q.bind(QStringLiteral("vhonap"), donation.honap);
    q.bind(QStringLiteral("vnap"), donation.nap);
    q.bind(QStringLiteral("vkezdes"), donation.kezdes);
    q.bind(QStringLiteral("vbefejezes"), donation.befejezes);
    q.bind(QStringLiteral("vhelyszin_kod"), donation.helyszin_kod);
    q.prepare();
    q.execute();
    return insert ? WriteResult::Written : changeResult(q);
}

WriteResult DeleteDonation(Tdm& dm, qint32 id)
{
    Query& q = dm.aq_veradasok;
    startStatement(q);
    q.declareParameter(QStringLiteral("vid"), ParamType::Integer);
    q.addLines({"DELETE ", "FROM at_veradasok", "WHERE id=:vid;"});
    q.bind(QStringLiteral("vid"), id);
    q.prepare();
    q.execute();
    return changeResult(q);
}

Choices LoadLocationChoices(Tdm& dm, quint8 county)
{
    Query& q = dm.CommandQuery;
    startStatement(q);
    q.addLine(QStringLiteral("SELECT at_helyszinek.id, at_helyszinek.deleted, at_helyszinek.telepules_kod, "
                             "at_telepulesek.irsz, at_telepulesek.telepules, at_helyszinek.cim, "
                             "at_helyszinek.helyszin FROM at_helyszinek"));
    q.addLine(QStringLiteral("INNER JOIN at_telepulesek ON at_helyszinek.telepules_kod=at_telepulesek.id"));
    q.addLine(QStringLiteral("WHERE at_telepulesek.megye_kod=%1 AND deleted=0").arg(county));
    q.addLine(QStringLiteral("ORDER BY at_helyszinek.helyszin ASC, at_telepulesek.irsz ASC, "
                             "at_telepulesek.telepules ASC, at_helyszinek.cim;"));
    q.prepare();
    q.open();
    Choices choices;
    choices.reserve(q.recordCount());
    for (q.first(); !q.eof(); q.next())
        choices.append({q.field(QStringLiteral("id")).valueAsInteger(),
                        q.field(QStringLiteral("irsz")).valueAsText() + u' '
                            + q.field(QStringLiteral("telepules")).asString() + QStringLiteral(", ")
                            + isolated(q.field(QStringLiteral("cim")).asString()) + QStringLiteral(" - ")
                            + isolated(q.field(QStringLiteral("helyszin")).asString())});
    return choices;
}

QList<rVeradasok> LoadMonthChoices(Tdm& dm, quint8 county)
{
    Query& q = dm.CommandQuery;
    startStatement(q);
    q.declareParameter(QStringLiteral("vmegye_kod"), ParamType::Integer);
    q.addLines({"SELECT at_veradasok.ev, at_veradasok.honap", donationsFrom,
                "WHERE (((at_veradasok.helyszin_kod)=[at_helyszinek].[id]) AND "
                "((at_helyszinek.telepules_kod)=[at_telepulesek].[id]) AND ((at_telepulesek.megye_kod)=:vmegye_kod))",
                // The grouping alone does not promise an order; the months must come chronologically.
                "GROUP BY at_veradasok.ev, at_veradasok.honap", "ORDER BY at_veradasok.ev, at_veradasok.honap;"});
    q.bind(QStringLiteral("vmegye_kod"), qint32(county));
    q.prepare();
    q.open();
    QList<rVeradasok> months;
    for (q.first(); !q.eof(); q.next())
        months << monthEntry(q.field(QStringLiteral("ev")).asString().toInt(),
                             q.field(QStringLiteral("honap")).asString().toInt());
    return months;
}

int CurrentYear(const Clock& clock)
{
    return clock.now().date().year();
}

int CurrentMonth(const Clock& clock)
{
    return clock.now().date().month();
}
