#include "store/postgres/PostgresEngine.h"

#include "store/DatabaseError.h"
#include "store/postgres/Libpq.h"
#include "store/postgres/PostgresDialect.h"

#include <QElapsedTimer>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <poll.h>

namespace {

const libpq::Functions& pq()
{
    return libpq::functions();
}

// The server's built-in types (pg_type.oid) the program's columns come in.
constexpr Oid boolOid = 16;
constexpr Oid integerOids[] = {boolOid, 20, 21, 23}; // bool, int8, int2, int4
constexpr Oid realOids[] = {700, 701, 1700};         // float4, float8, numeric
constexpr Oid textOids[] = {25, 1042, 1043};         // text, bpchar, varchar

template <size_t N>
bool among(Oid type, const Oid (&oids)[N])
{
    return std::find(std::begin(oids), std::end(oids), type) != std::end(oids);
}

ColumnType columnTypeOf(Oid type)
{
    if (among(type, integerOids))
        return ColumnType::Integer;
    if (among(type, realOids))
        return ColumnType::Real;
    if (among(type, textOids))
        return ColumnType::Text;
    return ColumnType::Other;
}

// libpq's own words (English, several lines) after a Hungarian sentence
// that says what happened.
QString connectionMessage(const char* what, const PGconn* connection)
{
    const QString detail = QString::fromUtf8(pq().PQerrorMessage(connection)).trimmed().section(u'\n', 0, 0);
    return detail.isEmpty() ? QString::fromUtf8(what) : QString::fromUtf8(what) + QStringLiteral(" (") + detail + u')';
}

constexpr const char* unreachable = "Az adatbázis-kiszolgáló nem érhető el.";
constexpr const char* lost = "Megszakadt a kapcsolat az adatbázis-kiszolgálóval.";

// The server's own sentence, without its "ERROR:" prefix and the lines
// that point into the statement.
QString resultMessage(const PGresult* result)
{
    const char* primary = pq().PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
    if (primary)
        return QString::fromUtf8(primary);
    return QString::fromUtf8(pq().PQresultErrorMessage(result)).trimmed();
}

// A lock wait that ran out (lock_not_available) is told apart from a
// statement the server refused.
DatabaseError::Cause causeOf(const PGresult* result)
{
    const char* state = pq().PQresultErrorField(result, PG_DIAG_SQLSTATE);
    return state && std::strcmp(state, "55P03") == 0 ? DatabaseError::Cause::Locked : DatabaseError::Cause::Statement;
}

// How long past the busy timeout a statement may go unanswered before the
// server is taken for lost.
constexpr int answerGraceMs = 30000;
// How long a statement runs before the program shows that it waits.
constexpr int waitShownAfterMs = 100;
// The advisory lock every write transaction of the program takes, so that
// two workstations deciding insert or update never decide on the same state.
constexpr const char* writeLockKey = "1262836297"; // "KELM" in ASCII

} // namespace

bool PostgresEngine::isServerTarget(const QString& target)
{
    return target.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || target.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

void PostgresEngine::Finisher::operator()(pg_conn* connection) const
{
    pq().PQfinish(connection);
}

void PostgresEngine::Clearer::operator()(pg_result* result) const
{
    pq().PQclear(result);
}

PostgresEngine::PostgresEngine(const QString& uri, Mode mode)
    : m_target(uri.toUtf8())
{
    connect();
    if (mode == Mode::CreateNew) {
        ResultPtr found = exchange("SELECT count(*) FROM pg_catalog.pg_tables WHERE schemaname = current_schema() AND "
                                   "tablename IN ('at_megyek', 'at_telepulesek', 'at_helyszinek', 'at_settings', "
                                   "'at_veradasok', 'at_toexcel')");
        if (std::atoi(pq().PQgetvalue(found.get(), 0, 0)) != 0)
            throw DatabaseError(QStringLiteral("Az adatbázis már tartalmazza a program tábláit."));
        exchange(QByteArrayLiteral("SET client_min_messages = warning"));
        return;
    }
    prepareSession();
}

PostgresEngine::~PostgresEngine() = default;

void PostgresEngine::connect()
{
    // Keywords before dbname are defaults the URI may override; those after
    // it are the program's own.
    const char* const keywords[] = {"connect_timeout", "dbname", "application_name", "client_encoding", nullptr};
    const char* const values[] = {"5", m_target.constData(), "kelmir", "UTF8", nullptr};
    m_connection.reset(pq().PQconnectdbParams(keywords, values, 1));
    if (!m_connection)
        throw DatabaseError(QStringLiteral("Nincs memória az adatkapcsolathoz."));
    if (pq().PQstatus(m_connection.get()) != CONNECTION_OK) {
        const QString message = connectionMessage(unreachable, m_connection.get());
        m_connection.reset();
        throw DatabaseError(message);
    }
    pq().PQsetNoticeProcessor(
        m_connection.get(), [](void*, const char*) {}, nullptr);
}

void PostgresEngine::prepareSession()
{
    exchange(QByteArrayLiteral("SET client_min_messages = warning; SET lock_timeout = ")
             + QByteArray::number(m_busyTimeoutMs)
             + "; CREATE TEMPORARY TABLE IF NOT EXISTS at_toExcel (rowid BIGINT GENERATED ALWAYS AS IDENTITY, "
               "datum TEXT, idopont TEXT, megye TEXT, irsz INTEGER, varos TEXT, helyszin TEXT, cim TEXT)");
    m_tableNames.clear();
}

bool PostgresEngine::connected() const
{
    return m_connection && pq().PQstatus(m_connection.get()) == CONNECTION_OK;
}

void PostgresEngine::reconnectIfLost()
{
    if (connected())
        return;
    // A transaction the server has forgotten must not go on as separate
    // statements: it fails as a whole.
    if (m_inTransaction)
        throw DatabaseError(QString::fromUtf8(lost));
    connect();
    prepareSession();
}

void PostgresEngine::giveUpConnection()
{
    // Closing the socket ends the exchange (the server drops the statement
    // when it notices); the next statement connects again. A cancel
    // request is not sent: over a dead network it would hang in turn.
    m_connection.reset();
}

void PostgresEngine::awaitAnswer()
{
    PGconn* connection = m_connection.get();
    QElapsedTimer clock;
    clock.start();
    bool waiting = false;
    const auto waitOver = qScopeGuard([&] {
        if (waiting && m_waitHook)
            m_waitHook(false);
    });
    while (pq().PQisBusy(connection)) {
        pollfd socket{pq().PQsocket(connection), POLLIN, 0};
        const int ready = ::poll(&socket, 1, 50);
        if (ready < 0 && errno != EINTR) {
            giveUpConnection();
            throw DatabaseError(QString::fromUtf8(lost));
        }
        if (ready > 0 && !pq().PQconsumeInput(connection)) {
            const QString message = connectionMessage(lost, connection);
            giveUpConnection();
            throw DatabaseError(message);
        }
        if (!waiting && clock.elapsed() >= waitShownAfterMs) {
            waiting = true;
            if (m_waitHook)
                m_waitHook(true);
        }
        if (clock.elapsed() > m_busyTimeoutMs + answerGraceMs) {
            giveUpConnection();
            throw DatabaseError(QStringLiteral("Az adatbázis-kiszolgáló nem válaszolt időben."));
        }
    }
}

PostgresEngine::ResultPtr PostgresEngine::exchange(const QByteArray& text, const std::vector<QByteArray>* values,
                                                   const std::vector<bool>* nulls)
{
    reconnectIfLost();
    PGconn* connection = m_connection.get();
    int sent = 0;
    if (values) {
        std::vector<const char*> pointers;
        std::vector<int> lengths;
        for (size_t i = 0; i < values->size(); ++i) {
            pointers.push_back((*nulls)[i] ? nullptr : (*values)[i].constData());
            lengths.push_back(int((*values)[i].size()));
        }
        sent = pq().PQsendQueryParams(connection, text.constData(), int(values->size()), nullptr, pointers.data(),
                                      lengths.data(), nullptr, 0);
    } else {
        sent = pq().PQsendQuery(connection, text.constData());
    }
    if (!sent) {
        const QString message = connectionMessage(lost, connection);
        giveUpConnection();
        throw DatabaseError(message);
    }
    awaitAnswer();
    ResultPtr last;
    QString failure;
    DatabaseError::Cause cause = DatabaseError::Cause::Statement;
    while (PGresult* raw = pq().PQgetResult(connection)) {
        ResultPtr result(raw);
        const ExecStatusType status = pq().PQresultStatus(raw);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && failure.isEmpty()) {
            failure = resultMessage(raw);
            cause = causeOf(raw);
        }
        last = std::move(result);
    }
    if (pq().PQstatus(connection) != CONNECTION_OK)
        throw DatabaseError(connectionMessage(lost, connection));
    if (!failure.isEmpty())
        throw DatabaseError(failure, cause);
    if (!last)
        throw DatabaseError(connectionMessage(lost, connection));
    return last;
}

QStringList PostgresEngine::columnNames(const PGresult* result)
{
    const int count = pq().PQnfields(result);
    QStringList names;
    for (int c = 0; c < count; ++c)
        names << QString::fromUtf8(pq().PQfname(result, c));
    return qualifyRepeatedNames(names, [this, result](int column) { return tableName(pq().PQftable(result, column)); });
}

// A table's name by its number, asked of the server once.
QString PostgresEngine::tableName(unsigned table)
{
    if (table == InvalidOid)
        return {};
    auto known = m_tableNames.constFind(table);
    if (known == m_tableNames.cend()) {
        const std::vector<QByteArray> values{QByteArray::number(table)};
        const std::vector<bool> nulls{false};
        ResultPtr name = exchange("SELECT relname FROM pg_catalog.pg_class WHERE oid = $1", &values, &nulls);
        known = m_tableNames.insert(table,
                                    pq().PQntuples(name.get()) ? QString::fromUtf8(pq().PQgetvalue(name.get(), 0, 0))
                                                               : QString());
    }
    return *known;
}

namespace {

// The statement's values in the server's text form, by parameter number;
// a value the statement does not hold is passed over (another form needs
// it), a null stays null.
struct ParameterValues {
    std::vector<QByteArray> values;
    std::vector<bool> nulls;
};

ParameterValues parameterValues(const PostgresDialect::Statement& statement,
                                const std::vector<BoundParameter>& parameters)
{
    ParameterValues bound{std::vector<QByteArray>(size_t(statement.parameters.size())),
                          std::vector<bool>(size_t(statement.parameters.size()), true)};
    for (const BoundParameter& parameter : parameters) {
        const qsizetype number = statement.parameters.indexOf(parameter.name);
        if (number < 0 || parameter.value.isNull())
            continue;
        bound.nulls[size_t(number)] = false;
        QByteArray& value = bound.values[size_t(number)];
        switch (parameter.type) {
        case ParamType::Text:
            value = parameter.value.toString().toUtf8();
            break;
        case ParamType::Byte:
            value = QByteArray::number(quint8(parameter.value.toUInt()));
            break;
        case ParamType::Integer:
            value = QByteArray::number(parameter.value.toInt());
            break;
        }
    }
    return bound;
}

} // namespace

int PostgresEngine::run(const QString& text, const std::vector<BoundParameter>& parameters, StatementResult* result)
{
    const PostgresDialect::Statement statement = PostgresDialect::translate(text);
    const ParameterValues bound = parameterValues(statement, parameters);
    const ResultPtr answer = exchange(statement.text, &bound.values, &bound.nulls);
    if (!result)
        return std::atoi(pq().PQcmdTuples(answer.get()));
    readResult(answer.get(), *result);
    return 0;
}

void PostgresEngine::readResult(const PGresult* raw, StatementResult& result)
{
    result.reset();
    result.columns = columnNames(raw);
    const int columns = int(result.columns.size());
    std::vector<bool> booleans;
    for (int c = 0; c < columns; ++c) {
        const Oid type = pq().PQftype(raw, c);
        booleans.push_back(type == boolOid);
        result.types.push_back(columnTypeOf(type));
    }
    const int rows = pq().PQntuples(raw);
    result.cells.reserve(size_t(rows) * size_t(columns));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (pq().PQgetisnull(raw, r, c)) {
                result.addNull();
                continue;
            }
            const char* value = pq().PQgetvalue(raw, r, c);
            if (booleans[size_t(c)])
                result.addInteger(value[0] == 't' ? 1 : 0);
            else if (result.types[size_t(c)] == ColumnType::Integer)
                result.addInteger(std::strtoll(value, nullptr, 10));
            else if (result.types[size_t(c)] == ColumnType::Real)
                result.addReal(std::strtod(value, nullptr));
            else
                result.addText(value, pq().PQgetlength(raw, r, c));
        }
        ++result.rows;
    }
}

void PostgresEngine::execute(const QString& statement)
{
    exchange(statement.toUtf8());
}

void PostgresEngine::begin()
{
    exchange(QByteArrayLiteral("BEGIN; SELECT pg_advisory_xact_lock(") + writeLockKey + ")");
    m_inTransaction = true;
}

void PostgresEngine::commit()
{
    m_inTransaction = false;
    exchange(QByteArrayLiteral("COMMIT"));
}

void PostgresEngine::rollback()
{
    m_inTransaction = false;
    if (connected())
        exchange(QByteArrayLiteral("ROLLBACK"));
}

void PostgresEngine::setBusyTimeout(int milliseconds)
{
    m_busyTimeoutMs = milliseconds;
    if (connected())
        exchange(QByteArrayLiteral("SET lock_timeout = ") + QByteArray::number(milliseconds));
}

QStringList PostgresEngine::schemaStatements() const
{
    // The sorted text columns compare by the ICU Hungarian collation, as
    // the embedded engine's HUNGARIAN does.
    return {
        QStringLiteral("CREATE COLLATION IF NOT EXISTS hungarian (provider = icu, locale = 'hu-HU')"),
        QStringLiteral("CREATE TABLE at_megyek (id INTEGER PRIMARY KEY NOT NULL, megye_nev TEXT COLLATE hungarian)"),
        QStringLiteral("CREATE TABLE at_telepulesek (id INTEGER PRIMARY KEY NOT NULL, megye_kod INTEGER NOT NULL, "
                       "telepules TEXT COLLATE hungarian, irsz INTEGER NOT NULL)"),
        QStringLiteral("CREATE TABLE at_helyszinek (id INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, "
                       "deleted INTEGER NOT NULL DEFAULT 0, telepules_kod INTEGER NOT NULL, "
                       "cim TEXT COLLATE hungarian, helyszin TEXT COLLATE hungarian)"),
        QStringLiteral("CREATE TABLE at_settings (id INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, "
                       "megye_kod INTEGER NOT NULL DEFAULT 0, cel TEXT, forras TEXT, smtp TEXT, "
                       "auth_sec INTEGER NOT NULL DEFAULT 0, auth_usr TEXT, auth_psw TEXT)"),
        QStringLiteral("CREATE TABLE at_veradasok (id INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, ev TEXT, "
                       "honap TEXT, nap TEXT, kezdes TEXT, befejezes TEXT, helyszin_kod INTEGER NOT NULL)"),
        // The shared table only gives the shape: each connection writes its
        // own temporary one of the same name.
        QStringLiteral("CREATE TABLE at_toExcel (rowid BIGINT GENERATED ALWAYS AS IDENTITY, datum TEXT, idopont TEXT, "
                       "megye TEXT, irsz INTEGER, varos TEXT, helyszin TEXT, cim TEXT)"),
        QStringLiteral("CREATE INDEX ix_telepulesek_megye ON at_telepulesek (megye_kod)"),
        QStringLiteral("CREATE INDEX ix_helyszinek_telepules ON at_helyszinek (telepules_kod, deleted)"),
        QStringLiteral("CREATE INDEX ix_veradasok_honap ON at_veradasok (ev, honap)"),
        QStringLiteral("CREATE INDEX ix_veradasok_helyszin ON at_veradasok (helyszin_kod)"),
    };
}
