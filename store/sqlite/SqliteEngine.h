#pragma once

#include "store/Engine.h"

#include <QElapsedTimer>

#include <memory>
#include <string>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

// The embedded engine: the file datacore.vdf through SQLite's C API. It
// opens an existing file read-write and never creates one (the builder of
// fresh files asks for that explicitly); it registers the Hungarian
// collation the sorted text columns are declared with, keeps the rollback
// journal, and waits a bounded time for another program's lock. Each
// statement text is prepared once and kept for its next run.
class SqliteEngine final : public Engine {
public:
    enum class Mode { OpenExisting, CreateNew };

    // Throws DatabaseError when the file is missing (OpenExisting), not a
    // database, or cannot be written, and when its folder cannot be written
    // (the engine keeps its journal there, so every write would fail).
    SqliteEngine(const QString& path, Mode mode);
    ~SqliteEngine() override;

    int run(const QString& text, const std::vector<BoundParameter>& parameters, StatementResult* result) override;
    void runEach(const QString& text, const std::vector<std::vector<BoundParameter>>& rows) override;
    void execute(const QString& statement) override;
    void begin() override { execute(QStringLiteral("BEGIN IMMEDIATE;")); }
    void commit() override { execute(QStringLiteral("COMMIT;")); }
    void rollback() override { execute(QStringLiteral("ROLLBACK;")); }
    void setBusyTimeout(int milliseconds) override { m_busyTimeoutMs = milliseconds; }
    void setWaitHook(WaitHook hook) override { m_waitHook = std::move(hook); }
    QStringList schemaStatements() const override;

private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };
    struct Finalizer {
        void operator()(sqlite3_stmt* statement) const;
    };
    using Prepared = std::unique_ptr<sqlite3_stmt, Finalizer>;
    static int busyHandler(void* engine, int attempt);
    void waitEnded();
    // The prepared statement of a text, made on its first run.
    sqlite3_stmt* prepared(const QByteArray& sql);

    std::unique_ptr<sqlite3, Closer> m_db;
    std::unordered_map<std::string, Prepared> m_statements; // destroyed before m_db
    int m_busyTimeoutMs = 5000;
    WaitHook m_waitHook;
    bool m_waiting = false;
    QElapsedTimer m_waitClock; // since the current wait began
};
