#pragma once

#include "model/Records.h"
#include "store/Choice.h"
#include "store/Statement.h"

#include <QList>
#include <QString>

class Clock;
class SortTable;
class Tdm;
struct rVeradasok;

// The appointments of a month in the county, their writes, the county's
// months that hold appointments, and the live locations offered for an
// appointment. Dates and times are stored as fixed, zero-padded texts, so
// that text order is chronological. Every operation throws DatabaseError;
// the windows decide how a failure is shown.

// "0" + n for 1..9, n itself from 10 on: the stored form of months and days.
QString TwoDigitText(int number);

// Opens dm.aq_veradasok, which the appointment grid shows, on the month's
// appointments in the county, in the sort table's order.
void LoadDonationList(Tdm& dm, quint8 county, int year, int month, const SortTable& sort);

// Inserts the appointment (mode New) or updates it by id (otherwise). Runs
// in dm.aq_veradasok, so the list is closed until it is loaded again.
WriteResult SaveDonation(Tdm& dm, const tVeradasok& donation, EditModes mode);

// Deletes the appointment with that id, in dm.aq_veradasok.
WriteResult DeleteDonation(Tdm& dm, qint32 id);

// The county's live locations ordered by name, postcode, settlement and
// address, as "7621 Pécs, Széchenyi tér 1. - Városháza". Read through
// dm.CommandQuery: no grid's rows move.
Choices LoadLocationChoices(Tdm& dm, quint8 county);

// The county's months that hold appointments, in chronological order.
QList<rVeradasok> LoadMonthChoices(Tdm& dm, quint8 county);

int CurrentYear(const Clock& clock);
int CurrentMonth(const Clock& clock);
