#pragma once

#include "store/DatabaseError.h"
#include "store/Engine.h"
#include "store/postgres/PostgresDialect.h"

#include <QHash>

#include <memory>
#include <optional>

struct pg_conn;
struct pg_result;

// The database server: a PostgreSQL database named by a connection URI
// ("postgresql://host/database", libpq's form), shared by an office's
// workstations. Statements are written in the embedded engine's dialect and
// translated on the way (PostgresDialect). Each connection has its own
// export table (a temporary at_toExcel that hides the shared one), so two
// workstations exporting at once each see only their own rows. A lock held
// by another workstation is waited for at most the busy timeout (the
// server's lock_timeout); an answer that does not come at all is given up
// after a bounded time and the connection made again for the next
// statement, so a failing network never freezes the program.
class PostgresEngine final : public Engine {
public:
    enum class Mode { OpenExisting, CreateNew };

    // True for a target that names a server rather than a file.
    static bool isServerTarget(const QString& target);

    // Connects. CreateNew refuses a database that already holds the
    // program's tables. Throws DatabaseError.
    PostgresEngine(const QString& uri, Mode mode);
    ~PostgresEngine() override;

    int run(const QString& text, const std::vector<BoundParameter>& parameters, StatementResult* result) override;
    void runEach(const QString& text, const std::vector<std::vector<BoundParameter>>& rows) override;
    void execute(const QString& statement) override;
    void begin() override;
    void commit() override;
    void rollback() override;
    void setBusyTimeout(int milliseconds) override;
    void setWaitHook(WaitHook hook) override { m_waitHook = std::move(hook); }
    QStringList schemaStatements() const override;

private:
    struct Finisher {
        void operator()(pg_conn* connection) const;
    };
    struct Clearer {
        void operator()(pg_result* result) const;
    };
    using ResultPtr = std::unique_ptr<pg_result, Clearer>;

    void connect();
    bool connected() const;
    void prepareSession();
    void reconnectIfLost();
    // Sends one text (with its parameter values, when given) and returns
    // the last result; throws DatabaseError for a failed statement or a
    // lost or silent server.
    ResultPtr exchange(const QByteArray& text, const std::vector<QByteArray>* values = nullptr,
                       const std::vector<bool>* nulls = nullptr);
    // Sends rows [first, end) as one pipeline and reads its answers.
    void runPipeline(const PostgresDialect::Statement& statement, const std::vector<std::vector<BoundParameter>>& rows,
                     size_t first, size_t end, bool prepare);
    void awaitAnswer();
    // Drops the connection after a lost or silent answer and throws.
    [[noreturn]] void giveUp(const QString& message);
    // The refusal a result holds, if any.
    static std::optional<DatabaseError> refusal(const pg_result* result);
    void endFailedTransaction();
    QStringList columnNames(const pg_result* result);
    void readResult(const pg_result* answer, StatementResult& result);
    // The names of tables by their numbers, asked of the server in one go.
    void learnTableNames(const QList<unsigned>& tables);

    QByteArray m_target;                             // the URI
    std::unique_ptr<pg_conn, Finisher> m_connection; // null once given up
    int m_busyTimeoutMs = 5000;
    WaitHook m_waitHook;
    bool m_inTransaction = false;
    QHash<unsigned, QString> m_tableNames; // by table OID
};
