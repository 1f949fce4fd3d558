#pragma once

class Tdm;
class UserMessages;
struct tSettings;

// The settings row (at_settings, id 1), joined to its county. Each operation
// is a guarded statement in dm.aq_settings: true when it ran.

// Loads the row into settings; no row, or a county that does not exist,
// loads as cleared settings. On failure the settings are cleared.
bool LoadSettings(Tdm& dm, tSettings& settings, UserMessages& messages);
// Reloads the recipient alone (known even without a county). On failure all
// of the settings are cleared.
bool LoadRecipient(Tdm& dm, tSettings& settings, UserMessages& messages);
// Updates row 1 when the table holds a row, else inserts it (the database
// numbers it 1). Forras and SMTP are written as the record holds them.
bool SaveSettings(Tdm& dm, const tSettings& settings, UserMessages& messages);
