#pragma once

#include "model/Error.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

// The program's configuration files: the system's under /etc/kelmir/, then
// the user's under $XDG_CONFIG_HOME/kelmir/ (by default ~/.config/kelmir/),
// the later file's keys winning. Each is an INI file: "[section]" lines,
// "key = value" lines, blank lines and lines beginning with "#" or ";".
// A value may stand in double quotes.
//
// A file is read only when it is a regular file of at most 64 KiB, opened
// without following a link at its name and without waiting (a FIFO there
// never blocks). A file that holds a secret must moreover be owned by root
// or by the user, readable by nobody else and writable by nobody else, as
// ssh treats a private key. A refusal names the file and the line, never
// what the line holds.
namespace ConfigFile {

constexpr qint64 maxFileSize = 64 * 1024;

// The two places of a file of that name, the system's first.
QStringList paths(const QString& fileName);

// The system's folder, /etc/kelmir unless set otherwise: the test suites
// point it at a folder of their own, so that no test ever reads the
// machine's configuration.
QString systemFolder();
void setSystemFolder(const QString& folder);

// Why a file was refused: it could not be read at all (missing rights, not
// a regular file, a link, too large), or what it holds cannot be used.
class ConfigError : public Error {
public:
    enum class Kind { Unreadable, Content };
    ConfigError(const QString& message, Kind kind)
        : Error(message)
        , m_kind(kind)
    {
    }
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

// Which lines a read holds to the rules: every line of the file (the send
// reads its account so), or only those of the section it asks for (start-up
// reads the [data] section so: a malformed line elsewhere is not its
// business).
enum class Strictness { WholeFile, SectionOnly };

// Whether a key's value is a secret (a password, a URI holding one).
using SecretTest = std::function<bool(const QString& key, const QString& value)>;

// The keys of one section of one file; a missing file has none. Throws
// ConfigError with a Hungarian message naming the file (and the line) for a
// file that cannot be read, a malformed line, a key the section does not
// know (keys lists those it knows), or a secret in a file that others may
// read or write or that belongs to somebody else.
QMap<QString, QString> readSection(const QString& path, const QString& section, const QStringList& keys,
                                   const SecretTest& isSecret = {}, Strictness strictness = Strictness::WholeFile);

// The section's keys from every file in order, later ones winning.
QMap<QString, QString> readSections(const QStringList& paths, const QString& section, const QStringList& keys,
                                    const SecretTest& isSecret = {}, Strictness strictness = Strictness::WholeFile);

} // namespace ConfigFile
