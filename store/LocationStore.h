#pragma once

#include "model/Records.h"
#include "store/Choice.h"
#include "store/Statement.h"

class Connection;
class Query;
class SortTable;

// The county's donation locations. Locations are never deleted: withdrawing
// one sets its deleted flag, and it drops out of the lists but stays in the
// appointments already recorded. The writes run in the list's query (the
// one the locations grid shows), which closes its rows: the panel reads the
// list again after a write. Every operation throws DatabaseError; the
// windows decide how a failure is shown.

// The county's settlements, ordered by name, then postcode, as "6720 Szeged".
Choices LoadSettlementChoices(Connection& connection, quint8 county);

// Opens list on the county's live locations in the sort table's order.
void LoadLocationList(Query& list, quint8 county, const SortTable& sort);

// Inserts the location (mode New) or updates it by id (otherwise; only a
// live location: one withdrawn meanwhile stays withdrawn).
WriteResult SaveLocation(Query& list, const Location& location, EditModes mode);

// Withdraws the location with that id.
WriteResult WithdrawLocation(Query& list, qint32 id);
