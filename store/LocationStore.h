#pragma once

#include "model/Records.h"
#include "store/Choice.h"
#include "store/Statement.h"

class SortTable;
class Tdm;

// The county's donation locations. Locations are never deleted: withdrawing
// one sets its deleted flag, and it drops out of the lists but stays in the
// appointments already recorded. Every operation throws DatabaseError; the
// windows decide how a failure is shown.

// The county's settlements, ordered by name, then postcode, as
// "6720 Szeged", in dm.aq_telepulesek.
Choices LoadSettlementChoices(Tdm& dm, quint8 county);

// Opens dm.aq_helyszinek, which the locations grid shows, on the county's
// live locations in the sort table's order.
void LoadLocationList(Tdm& dm, quint8 county, const SortTable& sort);

// Inserts the location (mode New) or updates it by id (otherwise). Runs in
// dm.aq_helyszinek, so the list is closed until it is loaded again.
WriteResult SaveLocation(Tdm& dm, const tHelyszinek& location, EditModes mode);

// Withdraws the location with that id, in dm.aq_helyszinek.
WriteResult WithdrawLocation(Tdm& dm, qint32 id);
