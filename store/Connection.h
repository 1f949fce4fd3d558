#pragma once

#include <QString>

#include <functional>
#include <memory>

struct sqlite3;

// The connection to datacore.vdf. It opens an existing file read-write and
// never creates one; it registers the Hungarian collation the sorted text
// columns are declared with, and waits a bounded time on a file another
// program has locked instead of failing at once.
class Connection {
public:
    static constexpr const char* defaultFileName = "datacore.vdf";
    static constexpr int defaultBusyTimeoutMs = 5000;

    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    Connection(Connection&&) = delete;
    Connection& operator=(Connection&&) = delete;

    // Opens path (relative paths against the current directory at this
    // moment). Throws DatabaseError when the file is missing, not a database,
    // or cannot be written, and when its folder cannot be written (the
    // engine keeps its journal there, so every write would fail).
    void open(const QString& path = QString::fromLatin1(defaultFileName));
    void close();
    bool isOpen() const { return m_db != nullptr; }

    sqlite3* handle() const;
    // Runs a statement of the program's own, without parameters or result.
    void execute(const char* sql);

    // How long a statement waits for another program's lock before it fails.
    void setBusyTimeout(int milliseconds);
    // Called with true when a statement starts to wait for another
    // program's lock, and with false when that statement has ended; the
    // program shows the wait cursor meanwhile.
    using WaitHook = std::function<void(bool waiting)>;
    void setWaitHook(WaitHook hook) { m_waitHook = std::move(hook); }
    const WaitHook& waitHook() const { return m_waitHook; }
    // Ends a wait reported to the hook; Query calls it after every statement.
    void statementEnded();

    // Creates a new, empty database file for the builder of fresh files.
    void createNew(const QString& path);

private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };
    void adopt(sqlite3* db);
    static int busyHandler(void* connection, int attempt);

    std::unique_ptr<sqlite3, Closer> m_db;
    int m_busyTimeoutMs = defaultBusyTimeoutMs;
    WaitHook m_waitHook;
    bool m_waiting = false;
};
