#pragma once

#include <QString>
#include <QStringList>

// Which database the program opens. The environment variable
// KELMIR_DATABASE wins; else the "database" key of the [data] section of
// the configuration files (mail.conf, the system's then the user's); else
// the file datacore.vdf in the working folder. A configured value is a
// PostgreSQL connection URI ("postgresql://host/database?..."); the
// password belongs in ~/.pgpass, and a URI holding one is refused in a file
// every user of the machine may read.
namespace DatabaseTarget {

constexpr const char* environmentVariable = "KELMIR_DATABASE";

// The configuration files read: ConfigFile's two places of mail.conf.
QStringList filePaths();

// The target to open. Throws Error with a Hungarian message naming the file
// for a configuration file that cannot be used.
QString configured(const QStringList& files = filePaths());

} // namespace DatabaseTarget
