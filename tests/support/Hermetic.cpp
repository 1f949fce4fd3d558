// Linked into every test program: before main() runs, the program gets a
// home and XDG folders of its own in a fresh temporary folder, and the
// system configuration folder points into it too. No test reads the
// machine's /etc/kelmir, the user's ~/.config/kelmir, or what an installed
// package put under /usr/share, and the peers and tools the tests start
// inherit the same folders.

#include "model/ConfigFile.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

struct HermeticEnvironment {
    QTemporaryDir root{QDir::tempPath() + QStringLiteral("/kelmir-test-home-XXXXXX")};

    HermeticEnvironment()
    {
        if (!root.isValid())
            qFatal("no temporary folder for the test's home");
        const QString home = root.filePath(QStringLiteral("home"));
        const QString system = root.filePath(QStringLiteral("etc-kelmir"));
        for (const QString& folder : {home, system, root.filePath(QStringLiteral("share")),
                                      root.filePath(QStringLiteral("config")), root.filePath(QStringLiteral("xdg"))})
            QDir().mkpath(folder);
        auto set = [](const char* name, const QString& value) { qputenv(name, QFile::encodeName(value)); };
        set("HOME", home);
        set("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
        set("XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
        set("XDG_CACHE_HOME", home + QStringLiteral("/.cache"));
        set("XDG_DATA_DIRS", root.filePath(QStringLiteral("share")));
        set("XDG_CONFIG_DIRS", root.filePath(QStringLiteral("config")));
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            // The runtime folder is the user's alone, as the desktop makes it.
            QFile::setPermissions(root.filePath(QStringLiteral("xdg")),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            set("XDG_RUNTIME_DIR", root.filePath(QStringLiteral("xdg")));
        }
        qunsetenv("KELMIR_HOME");
        qunsetenv("KELMIR_DATABASE"); // a server the developer works with is never a test's
        ConfigFile::setSystemFolder(system);
    }
};

const HermeticEnvironment environment;

} // namespace
