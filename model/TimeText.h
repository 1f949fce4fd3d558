#pragma once

#include <QString>

// A stored time is "HH:MM": exactly five characters, hours below 24 and
// minutes below 60. The separator is not examined; the time fields fix it.
bool IsValidTime(const QString& text);
