#include "store/DonationStore.h"

#include "model/Base.h"
#include "model/Clock.h"
#include "store/DataModule.h"
#include "store/Statement.h"

namespace {

const char* const donationsFrom = "FROM (at_veradasok INNER JOIN at_helyszinek ON at_veradasok.helyszin_kod = "
                                  "at_helyszinek.id) INNER JOIN at_telepulesek ON at_helyszinek.telepules_kod = "
                                  "at_telepulesek.id";

} // namespace

QString TwoDigitText(int number)
{
    return number >= 1 && number <= 9 ? QStringLiteral("0") + QString::number(number) : QString::number(number);
}

void ResetDonationSort(Base& base)
{
    base.DonationSort.reset();
}

bool LoadDonationList(Tdm& dm, const Base& base, UserMessages& messages)
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
    q.addLine(base.DonationSort.orderByLine());
    q.bind(QStringLiteral("vev"), QString::number(base.SelectedYear));
    q.bind(QStringLiteral("vhonap"), TwoDigitText(base.SelectedMonth));
    q.bind(QStringLiteral("vmegye_kod"), qint32(base.CurrentSettings.megye_kod));
    q.prepare();
    if (!openGuarded(q, messages))
        return false;
    q.first();
    return true;
}

WriteResult SaveDonation(Tdm& dm, const Base& base, UserMessages& messages)
{
    const tVeradasok& donation = base.CurrentDonation;
    Query& q = dm.aq_veradasok;
    startStatement(q);
    q.declareParameter(QStringLiteral("vid"), ParamType::Integer);
    for (const char* name : {"vev", "vhonap", "vnap", "vkezdes", "vbefejezes"})
        q.declareParameter(QString::fromLatin1(name), ParamType::Text);
    q.declareParameter(QStringLiteral("vhelyszin_kod"), ParamType::Integer);
    if (base.EditMode == EditModes::New) {
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
    if (base.EditMode == EditModes::New)
        return executeGuarded(q, messages) ? WriteResult::Written : WriteResult::Failed;
    return executeGuardedChange(q, messages);
}

WriteResult DeleteDonation(Tdm& dm, Base& base, UserMessages& messages, const std::function<void(int)>& selectRow)
{
    Query& q = dm.aq_veradasok;
    const int formerRow = q.recNo();
    startStatement(q);
    q.declareParameter(QStringLiteral("vid"), ParamType::Integer);
    q.addLines({"DELETE ", "FROM at_veradasok", "WHERE id=:vid;"});
    q.bind(QStringLiteral("vid"), base.CurrentDonation.id);
    q.prepare();
    const WriteResult deleted = executeGuardedChange(q, messages);
    if (LoadDonationList(dm, base, messages))
        selectRow(formerRow);
    return deleted;
}

void LoadLocationChoices(Tdm& dm, Base& base)
{
    Query& q = dm.aq_helyszinek;
    startStatement(q);
    q.addLine(QStringLiteral("SELECT at_helyszinek.id, at_helyszinek.deleted, at_helyszinek.telepules_kod, "
                             "at_telepulesek.irsz, at_telepulesek.telepules, at_helyszinek.cim, "
                             "at_helyszinek.helyszin FROM at_helyszinek"));
    q.addLine(QStringLiteral("INNER JOIN at_telepulesek ON at_helyszinek.telepules_kod=at_telepulesek.id"));
    q.addLine(QStringLiteral("WHERE at_telepulesek.megye_kod=%1 AND deleted=0").arg(base.CurrentSettings.megye_kod));
    q.addLine(QStringLiteral("ORDER BY at_helyszinek.helyszin ASC, at_telepulesek.irsz ASC, "
                             "at_telepulesek.telepules ASC, at_helyszinek.cim;"));
    q.prepare();
    q.open();
    base.LocationIds.clear();
    int position = 1;
    for (q.first(); !q.eof(); q.next())
        base.LocationIds.set(position++, q.field(QStringLiteral("id")).valueAsInteger());
    q.first();
}

QStringList LoadMonthChoices(Tdm& dm, Base& base)
{
    Query& q = dm.CommandQuery;
    startStatement(q);
    q.declareParameter(QStringLiteral("vmegye_kod"), ParamType::Integer);
    q.addLines({"SELECT at_veradasok.ev, at_veradasok.honap", donationsFrom,
                 "WHERE (((at_veradasok.helyszin_kod)=[at_helyszinek].[id]) AND "
                 "((at_helyszinek.telepules_kod)=[at_telepulesek].[id]) AND ((at_telepulesek.megye_kod)=:vmegye_kod))",
                 // The grouping alone does not promise an order; the months must come chronologically.
                 "GROUP BY at_veradasok.ev, at_veradasok.honap", "ORDER BY at_veradasok.ev, at_veradasok.honap;"});
    q.bind(QStringLiteral("vmegye_kod"), qint32(base.CurrentSettings.megye_kod));
    q.prepare();
    q.open();
    base.MonthList.clear();
    QStringList entries;
    for (q.first(); !q.eof(); q.next()) {
        const QString year = q.field(QStringLiteral("ev")).asString();
        const int month = q.field(QStringLiteral("honap")).asString().toInt();
        base.MonthList.append(year.toInt(), month);
        entries << year + u' ' + base.MonthList.at(base.MonthList.size() - 1).honap_s;
    }
    q.first();
    return entries;
}

int CurrentYear(const Clock& clock)
{
    return clock.now().date().year();
}

int CurrentMonth(const Clock& clock)
{
    return clock.now().date().month();
}
