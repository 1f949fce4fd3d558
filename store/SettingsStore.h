#pragma once

#include "model/Records.h"

#include <QStringList>

class Connection;

// The settings row of at_settings, joined to its county, and the counties
// of at_megyek. Every operation throws DatabaseError; the windows decide
// how a failure is shown.

// The settings row: no row, or a county that does not exist, loads as
// cleared settings.
Settings LoadSettings(Connection& connection);
// The recipient alone (known even without a county).
QString LoadRecipient(Connection& connection);

// The counties' names in stored order: position + 1 is the county's id.
QStringList LoadCounties(Connection& connection);

// One county of at_megyek, by id; no row reads as id 0 and no name.
struct County {
    qint32 id = 0;
    QString name;
};
County LookUpCounty(Connection& connection, int id);

// Writes the settings as the one row, number 1, inside one transaction
// that holds the write lock, whatever the table held before.
void SaveSettings(Connection& connection, const Settings& settings);
