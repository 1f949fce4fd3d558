#pragma once

#include "store/Engine.h"
#include "store/Values.h"

#include <QString>

#include <memory>

// The connection datacore: the front of whichever engine holds the data.
// With nothing configured that is the file datacore.vdf in the working
// directory, opened read-write and never created; a target beginning with
// postgresql:// (or postgres://) is a database on a server instead.
class Connection {
public:
    static constexpr const char* defaultFileName = "datacore.vdf";

    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens target: a database file's path (relative paths against the
    // current directory at this moment) or a server's connection URI.
    // Throws DatabaseError when it cannot be opened for reading and writing.
    void open(const QString& target = QString::fromLatin1(defaultFileName));
    // For the builder of fresh databases: creates a new, empty database
    // file, or connects to an empty database on a server (one that holds
    // the program's tables is refused).
    void createNew(const QString& target);
    void close();
    bool isOpen() const { return m_engine != nullptr; }

    // The engine behind an open connection; throws DatabaseError when closed.
    Engine& engine() const;

    // A statement of the program's own, without parameters or result.
    void execute(const QString& statement);
    // One write statement with its named values; the rows it changed.
    int run(const QString& text, Values values = {});
    // One write statement run once for each row of values (made with
    // boundParameters), as one batch; see Engine::runEach.
    void runEach(const QString& text, const std::vector<std::vector<BoundParameter>>& rows);
    // One select with its named values; its whole result.
    StatementResult select(const QString& text, Values values = {});
    // How long a statement waits for another program's lock before it fails
    // (the default holds for every later open).
    void setBusyTimeout(int milliseconds);
    // Called with true when a statement starts to wait for another
    // program's lock, and with false when that statement has ended; the
    // program shows the wait cursor meanwhile.
    using WaitHook = Engine::WaitHook;
    void setWaitHook(WaitHook hook);
    const WaitHook& waitHook() const { return m_waitHook; }

private:
    void adopt(std::unique_ptr<Engine> engine);
    void openEngine(const QString& target, bool fresh);

    std::unique_ptr<Engine> m_engine;
    int m_busyTimeoutMs = 5000;
    WaitHook m_waitHook;
};
