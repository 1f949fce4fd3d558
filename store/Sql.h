#pragma once

#include <QString>

#include <initializer_list>

// The statements' texts as the program writes them: lines joined by line
// breaks, sent exactly as written, and the fragments several statements
// share, written once.
namespace Sql {

// "line1\nline2\n…"
QString lines(std::initializer_list<const char*> utf8Lines);

// The county's live locations with their settlements: the SELECT, its join
// and its WHERE (the location list and the appointment editor's choices).
QString liveLocationsOf(quint8 county);

// A new appointment from :vev, :vhonap, :vnap, :vkezdes, :vbefejezes and
// :vhelyszin_kod (the editor's save and the copy of a month).
QString insertDonation();

// An appointment with its location and settlement, and the appointments of
// one month (:vev, :vhonap) in one county (:vmegye_kod).
constexpr const char* donationsFrom = "FROM (at_veradasok INNER JOIN at_helyszinek ON at_veradasok.helyszin_kod = "
                                      "at_helyszinek.id) INNER JOIN at_telepulesek ON at_helyszinek.telepules_kod = "
                                      "at_telepulesek.id";
constexpr const char* monthOfCounty = "WHERE (((at_veradasok.ev)=:vev) AND ((at_veradasok.honap)=:vhonap) AND "
                                      "((at_telepulesek.megye_kod)=:vmegye_kod))";

} // namespace Sql
