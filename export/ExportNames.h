#pragma once

#include <QString>

class Clock;

// Names of the exported files: county, month and a date-and-time stamp.

// The current date in the Hungarian short date format followed directly by
// the current time in the Hungarian long time format without the time zone,
// whatever the desktop's locale: "2020. 09. 15.14.30.05". Every character a
// file name may not hold on Linux or Windows is replaced: ":", "/" and "\"
// by ".", the others by "_".
QString ExportStampText(const Clock& clock);

// "<county> Megye <month> havi véradásai (<stamp>).<extension>"
QString ExportFileName(const QString& county, const QString& monthName, const QString& stamp, const QString& extension);
