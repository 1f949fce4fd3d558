#include "store/Connection.h"

#include "store/DatabaseError.h"
#include "store/postgres/PostgresEngine.h"
#include "store/sqlite/SqliteEngine.h"

Connection::Connection() = default;
Connection::~Connection() = default;

Engine& Connection::engine() const
{
    if (!m_engine)
        throw DatabaseError(QStringLiteral("Az adatkapcsolat nincs megnyitva."));
    return *m_engine;
}

void Connection::adopt(std::unique_ptr<Engine> engine)
{
    engine->setBusyTimeout(m_busyTimeoutMs);
    engine->setWaitHook(m_waitHook);
    m_engine = std::move(engine);
}

void Connection::open(const QString& target)
{
    openEngine(target, false);
}

void Connection::createNew(const QString& target)
{
    openEngine(target, true);
}

void Connection::openEngine(const QString& target, bool fresh)
{
    close();
    if (PostgresEngine::isServerTarget(target))
        adopt(std::make_unique<PostgresEngine>(target,
                                               fresh ? PostgresEngine::Mode::CreateNew
                                                     : PostgresEngine::Mode::OpenExisting));
    else
        adopt(std::make_unique<SqliteEngine>(target,
                                             fresh ? SqliteEngine::Mode::CreateNew : SqliteEngine::Mode::OpenExisting));
}

void Connection::close()
{
    m_engine.reset();
}

void Connection::execute(const QString& statement)
{
    engine().execute(statement);
}

int Connection::run(const QString& text, Values values)
{
    return engine().run(text, boundParameters(values), nullptr);
}

void Connection::runEach(const QString& text, const std::vector<std::vector<BoundParameter>>& rows)
{
    engine().runEach(text, rows);
}

StatementResult Connection::select(const QString& text, Values values)
{
    StatementResult result;
    engine().run(text, boundParameters(values), &result);
    return result;
}

void Connection::setBusyTimeout(int milliseconds)
{
    m_busyTimeoutMs = milliseconds;
    if (m_engine)
        m_engine->setBusyTimeout(milliseconds);
}

void Connection::setWaitHook(WaitHook hook)
{
    m_waitHook = std::move(hook);
    if (m_engine)
        m_engine->setWaitHook(m_waitHook);
}
