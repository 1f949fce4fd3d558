#pragma once

#include <QString>

// A stored time is "HH:MM": exactly five characters, hours below 24 and
// minutes below 60. The separator is not examined; the time fields fix it.
bool IsValidTime(const QString& text);

// Whether two stored time ranges of one day overlap: each starts before the
// other ends, so ranges that only touch (10:00-12:00, 12:00-14:00) do not.
// Stored times are fixed "HH:MM" texts, so text order is time order.
bool TimesOverlap(const QString& start, const QString& end, const QString& otherStart, const QString& otherEnd);
