#pragma once

#include "model/Records.h"

class Tdm;

// The settings row of at_settings, joined to its county, in dm.aq_settings
// (the county lookup in dm.aq_megyek). Every operation throws DatabaseError;
// the windows decide how a failure is shown.

// The settings row: no row, or a county that does not exist, loads as
// cleared settings.
tSettings LoadSettings(Tdm& dm);
// The recipient alone (known even without a county).
QString LoadRecipient(Tdm& dm);

// One county of at_megyek, by id; no row reads as id 0 and no name.
struct County {
    qint32 id = 0;
    QString name;
};
County LookUpCounty(Tdm& dm, int id);

// Writes the settings as the one row, number 1, inside one transaction
// that holds the write lock, whatever the table held before.
void SaveSettings(Tdm& dm, const tSettings& settings);
