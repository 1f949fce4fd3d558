#pragma once

#include "store/Statement.h"

#include <QString>
#include <QStringList>

#include <functional>

class Clock;
class Tdm;
class UserMessages;
struct Base;

// The appointments of a month in the county, their writes, the county's
// months that hold appointments, and the live locations offered for an
// appointment. Dates and times are stored as fixed, zero-padded texts, so
// that text order is chronological.

// "0" + n for 1..9, n itself from 10 on: the stored form of months and days.
QString TwoDigitText(int number);

void ResetDonationSort(Base& base);

// Opens dm.aq_veradasok on the selected month's appointments in the
// county, in the current sort order, on the first row. Guarded: false (and a
// closed, empty list) when the statement failed.
bool LoadDonationList(Tdm& dm, const Base& base, UserMessages& messages);

// Inserts CurrentDonation (EditMode New) or updates it by id (otherwise).
WriteResult SaveDonation(Tdm& dm, const Base& base, UserMessages& messages);

// Deletes CurrentDonation, reopens the list whatever happened, and calls
// selectRow with the row number the list stood on before.
WriteResult DeleteDonation(Tdm& dm, Base& base, UserMessages& messages, const std::function<void(int)>& selectRow);

// Opens dm.aq_helyszinek on the county's live locations ordered by name,
// postcode, settlement and address, and fills LocationIds. Not guarded.
void LoadLocationChoices(Tdm& dm, Base& base);

// Runs the month query in dm.CommandQuery, refills MonthList from it and
// returns the months as "2013 Szeptember", in chronological order. Not
// guarded.
QStringList LoadMonthChoices(Tdm& dm, Base& base);

int CurrentYear(const Clock& clock);
int CurrentMonth(const Clock& clock);
