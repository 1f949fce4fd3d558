#pragma once

#include "store/Statement.h"

#include <functional>

class Tdm;
class UserMessages;
struct Base;

// The county's donation locations. Locations are never deleted: withdrawing
// one sets its deleted flag, and it drops out of the lists but stays in the
// appointments already recorded.

void ResetLocationSort(Base& base);

// Loads the county's settlements into dm.aq_telepulesek (ordered by name,
// then postcode) and fills SettlementIds. Not guarded: a failure throws.
void LoadSettlementChoices(Tdm& dm, Base& base);

// Loads the county's live locations into dm.aq_helyszinek in the current
// sort order, on the first row. Guarded: false (and a closed, empty list)
// when the statement failed.
bool LoadLocationList(Tdm& dm, const Base& base, UserMessages& messages);

// Inserts CurrentLocation (EditMode New) or updates it by id (otherwise).
WriteResult SaveLocation(Tdm& dm, const Base& base, UserMessages& messages);

// Withdraws CurrentLocation, reloads the list whatever happened, and calls
// selectRow with the row number the list stood on before.
WriteResult WithdrawLocation(Tdm& dm, Base& base, UserMessages& messages, const std::function<void(int)>& selectRow);
