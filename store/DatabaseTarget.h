#pragma once

#include <QString>
#include <QStringList>

// Which database the program opens. The environment variable
// KELMIR_DATABASE wins; else the "database" key of the [data] section of
// the configuration files (mail.conf, the system's then the user's); else
// the file datacore.vdf in the working folder. A configured value is a
// PostgreSQL connection URI ("postgresql://host/database?..."); the
// password belongs in ~/.pgpass, and a URI holding one is refused in a file
// others may read.
//
// Start-up reads only the [data] section: a file it cannot read at all (one
// holding only the mail account, readable by the kelmir group) is passed
// over, and what the other sections hold is the send's business.
namespace DatabaseTarget {

constexpr const char* environmentVariable = "KELMIR_DATABASE";

// The configuration files read: ConfigFile's two places of mail.conf.
QStringList filePaths();

// The target to open. Throws ConfigFile::ConfigError with a Hungarian
// message naming the file for a [data] section that cannot be used.
QString configured(const QStringList& files = filePaths());

// Whether a connection URI carries a password (in its user part or as a
// password parameter): such a URI must never stand where others can read it.
bool holdsPassword(const QString& uri);

} // namespace DatabaseTarget
