#include "store/Sql.h"

namespace Sql {

QString lines(std::initializer_list<const char*> utf8Lines)
{
    QString text;
    for (const char* line : utf8Lines) {
        if (!text.isEmpty())
            text += u'\n';
        text += QString::fromUtf8(line);
    }
    return text;
}

QString liveLocationsOf(quint8 county)
{
    return lines({"SELECT at_helyszinek.id, at_helyszinek.deleted, at_helyszinek.telepules_kod, "
                  "at_telepulesek.irsz, at_telepulesek.telepules, at_helyszinek.cim, at_helyszinek.helyszin "
                  "FROM at_helyszinek",
                  "INNER JOIN at_telepulesek ON at_helyszinek.telepules_kod=at_telepulesek.id"})
        + QStringLiteral("\nWHERE at_telepulesek.megye_kod=%1 AND deleted=0").arg(county);
}

QString insertDonation()
{
    return lines({"INSERT INTO at_veradasok (ev, honap, nap, kezdes, befejezes, helyszin_kod)",
                  "VALUES (:vev, :vhonap, :vnap, :vkezdes, :vbefejezes, :vhelyszin_kod);"});
}

} // namespace Sql
