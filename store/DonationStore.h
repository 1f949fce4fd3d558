#pragma once

#include "model/Records.h"
#include "store/Choice.h"
#include "store/Statement.h"

#include <QList>

class Connection;
class Query;
class SortTable;
struct MonthEntry;

// The appointments of a month in the county, their writes, the county's
// months that hold appointments, and the live locations offered for an
// appointment. Dates and times are stored as fixed, zero-padded texts, so
// that text order is chronological. The writes run in the list's query
// (the one the appointment grid shows), which closes its rows: the panel
// reads the list again after a write. Every operation throws DatabaseError;
// the windows decide how a failure is shown.

// Opens list on the month's appointments in the county, in the sort
// table's order.
void LoadDonationList(Query& list, quint8 county, int year, int month, const SortTable& sort);

// Inserts the appointment (mode New) or updates it by id (otherwise).
WriteResult SaveDonation(Query& list, const Donation& donation, EditModes mode);

// Deletes the appointment with that id.
WriteResult DeleteDonation(Query& list, qint32 id);

// The county's live locations ordered by name, postcode, settlement and
// address, as "7621 Pécs, Széchenyi tér 1. - Városháza".
Choices LoadLocationChoices(Connection& connection, quint8 county);

// The county's months that hold appointments, in chronological order.
QList<MonthEntry> LoadMonthChoices(Connection& connection, quint8 county);
