#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// The program's configuration files: the system's under /etc/kelmir/, then
// the user's under $XDG_CONFIG_HOME/kelmir/ (by default ~/.config/kelmir/),
// the later file's keys winning. Each is an INI file: "[section]" lines,
// "key = value" lines, blank lines and lines beginning with "#" or ";".
// A value may stand in double quotes.
namespace ConfigFile {

// The two places of a file of that name, the system's first.
QStringList paths(const QString& fileName);

// The system's folder, /etc/kelmir unless set otherwise: the test suites
// point it at a folder of their own, so that no test ever reads the
// machine's configuration.
QString systemFolder();
void setSystemFolder(const QString& folder);

// The keys of one section of one file; a missing file has none. Throws
// Error with a Hungarian message naming the file and the line for a file
// that cannot be read, a malformed line, a key the section does not know
// (keys lists those it knows), or a secret key (one of secretKeys) in a
// file every user of the machine may read.
QMap<QString, QString> readSection(const QString& path, const QString& section, const QStringList& keys,
                                   const QStringList& secretKeys = {});

// The section's keys from every file in order, later ones winning.
QMap<QString, QString> readSections(const QStringList& paths, const QString& section, const QStringList& keys,
                                    const QStringList& secretKeys = {});

} // namespace ConfigFile
