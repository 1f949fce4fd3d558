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
#include <optional>
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

// The server was lost, or fell silent, after a statement was sent: the
// statement may have happened. Callers that sent a write say so.
struct LostAnswer : DatabaseError {
    using DatabaseError::DatabaseError;
};

[[noreturn]] void throwUnanswered(const LostAnswer& lost)
{
    // "Sentence." or "Sentence. (libpq's words)": the warning joins the sentence.
    QString text = lost.message();
    qsizetype stop = text.indexOf(QLatin1String(". ("));
    if (stop < 0)
        stop = text.endsWith(u'.') ? text.size() - 1 : text.size();
    text.replace(stop, stop < text.size() ? 1 : 0,
                 QStringLiteral(", lehet, hogy a mentés mégis megtörtént; a lista újratöltése után ellenőrizze."));
    throw DatabaseError(text, DatabaseError::Cause::Unanswered);
}

// The statement's values as libpq takes them, pointing into the values.
class ValuePointers {
public:
    ValuePointers(const std::vector<QByteArray>& values, const std::vector<bool>& nulls)
    {
        for (size_t i = 0; i < values.size(); ++i) {
            m_values.push_back(nulls[i] ? nullptr : values[i].constData());
            m_lengths.push_back(int(values[i].size()));
        }
    }
    int count() const { return int(m_values.size()); }
    const char* const* values() const { return m_values.data(); }
    const int* lengths() const { return m_lengths.data(); }

private:
    std::vector<const char*> m_values;
    std::vector<int> m_lengths;
};

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

void PostgresEngine::giveUp(const QString& message)
{
    // Closing the socket ends the exchange (the server drops the statement
    // when it notices, unless it has already done it); the next statement
    // connects again. A cancel request is not sent: over a dead network it
    // would hang in turn.
    m_connection.reset();
    throw LostAnswer(message);
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
        if (ready < 0 && errno != EINTR)
            giveUp(QString::fromUtf8(lost));
        if (ready > 0 && !pq().PQconsumeInput(connection))
            giveUp(connectionMessage(lost, connection));
        if (!waiting && clock.elapsed() >= waitShownAfterMs) {
            waiting = true;
            if (m_waitHook)
                m_waitHook(true);
        }
        if (clock.elapsed() > m_busyTimeoutMs + answerGraceMs)
            giveUp(QStringLiteral("Az adatbázis-kiszolgáló nem válaszolt időben."));
    }
}

PostgresEngine::ResultPtr PostgresEngine::exchange(const QByteArray& text, const std::vector<QByteArray>* values,
                                                   const std::vector<bool>* nulls)
{
    reconnectIfLost();
    PGconn* connection = m_connection.get();
    int sent = 0;
    if (values) {
        const ValuePointers pointers(*values, *nulls);
        sent = pq().PQsendQueryParams(connection, text.constData(), pointers.count(), nullptr, pointers.values(),
                                      pointers.lengths(), nullptr, 0);
    } else {
        sent = pq().PQsendQuery(connection, text.constData());
    }
    if (!sent)
        giveUp(connectionMessage(lost, connection));
    awaitAnswer();
    ResultPtr last;
    std::optional<DatabaseError> failure;
    while (PGresult* raw = pq().PQgetResult(connection)) {
        ResultPtr result(raw);
        if (!failure)
            failure = refusal(raw);
        last = std::move(result);
    }
    if (pq().PQstatus(connection) != CONNECTION_OK || !last)
        giveUp(connectionMessage(lost, connection));
    if (failure) {
        endFailedTransaction();
        throw *failure;
    }
    return last;
}

std::optional<DatabaseError> PostgresEngine::refusal(const PGresult* result)
{
    const ExecStatusType status = pq().PQresultStatus(result);
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_PIPELINE_SYNC)
        return std::nullopt;
    return DatabaseError(resultMessage(result), causeOf(result));
}

void PostgresEngine::endFailedTransaction()
{
    // A text that began a transaction of its own (begin's lock, a test's
    // statement) and failed inside it would leave the session refusing
    // every later statement: it is rolled back here. A transaction the
    // program holds is rolled back by its owner.
    if (!m_inTransaction && pq().PQtransactionStatus(m_connection.get()) == PQTRANS_INERROR)
        exchange(QByteArrayLiteral("ROLLBACK"));
}

QStringList PostgresEngine::columnNames(const PGresult* result)
{
    const int count = pq().PQnfields(result);
    QStringList names;
    QHash<QString, int> occurrences;
    for (int c = 0; c < count; ++c) {
        names << QString::fromUtf8(pq().PQfname(result, c));
        ++occurrences[names.last().toLower()];
    }
    // The tables of the repeated names the session has not met yet, asked
    // of the server in one statement.
    QList<unsigned> unknown;
    for (int c = 0; c < count; ++c) {
        const Oid table = pq().PQftable(result, c);
        if (occurrences.value(names[c].toLower()) > 1 && table != InvalidOid && !m_tableNames.contains(table)
            && !unknown.contains(table))
            unknown << table;
    }
    if (!unknown.isEmpty())
        learnTableNames(unknown);
    return qualifyRepeatedNames(names, [this, result](int column) {
        return m_tableNames.value(pq().PQftable(result, column));
    });
}

void PostgresEngine::learnTableNames(const QList<unsigned>& tables)
{
    QByteArray list = "{";
    for (unsigned table : tables)
        list += QByteArray::number(table) + (table == tables.last() ? "}" : ",");
    const std::vector<QByteArray> values{list};
    const std::vector<bool> nulls{false};
    ResultPtr found =
        exchange("SELECT oid::bigint, relname FROM pg_catalog.pg_class WHERE oid = ANY ($1::oid[])", &values, &nulls);
    for (unsigned table : tables)
        m_tableNames.insert(table, QString()); // a table gone meanwhile has no name
    for (int r = 0; r < pq().PQntuples(found.get()); ++r)
        m_tableNames.insert(unsigned(std::strtoul(pq().PQgetvalue(found.get(), r, 0), nullptr, 10)),
                            QString::fromUtf8(pq().PQgetvalue(found.get(), r, 1)));
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
    ResultPtr answer;
    try {
        answer = exchange(statement.text, &bound.values, &bound.nulls);
    } catch (const LostAnswer& lost) {
        // A write of its own (outside a transaction, which the server
        // would roll back) may have happened.
        if (result || m_inTransaction)
            throw;
        throwUnanswered(lost);
    }
    if (!result)
        return std::atoi(pq().PQcmdTuples(answer.get()));
    readResult(answer.get(), *result);
    return 0;
}

void PostgresEngine::runEach(const QString& text, const std::vector<std::vector<BoundParameter>>& rows)
{
    if (rows.empty())
        return;
    const PostgresDialect::Statement statement = PostgresDialect::translate(text);
    reconnectIfLost();
    try {
        // The rows go in pipelines of a bounded length, each one round trip:
        // its answers are small enough to wait in the socket while the next
        // rows are still being sent, so neither side blocks the other.
        constexpr size_t rowsPerTrip = 1000;
        bool preparedOnServer = false;
        for (size_t first = 0; first < rows.size(); first += rowsPerTrip) {
            const size_t end = std::min(rows.size(), first + rowsPerTrip);
            runPipeline(statement, rows, first, end, !preparedOnServer);
            preparedOnServer = true;
        }
    } catch (const LostAnswer& lost) {
        if (m_inTransaction)
            throw;
        throwUnanswered(lost);
    }
}

void PostgresEngine::runPipeline(const PostgresDialect::Statement& statement,
                                 const std::vector<std::vector<BoundParameter>>& rows, size_t first, size_t end,
                                 bool prepare)
{
    PGconn* connection = m_connection.get();
    if (!pq().PQenterPipelineMode(connection))
        giveUp(connectionMessage(lost, connection));
    const auto leave = qScopeGuard([this] {
        if (m_connection)
            pq().PQexitPipelineMode(m_connection.get());
    });
    // The unnamed statement, parsed once and run for every row.
    bool sent = !prepare
        || pq().PQsendPrepare(connection, "", statement.text.constData(), int(statement.parameters.size()), nullptr);
    for (size_t r = first; sent && r < end; ++r) {
        const ParameterValues bound = parameterValues(statement, rows[r]);
        const ValuePointers pointers(bound.values, bound.nulls);
        sent = pq().PQsendQueryPrepared(connection, "", pointers.count(), pointers.values(), pointers.lengths(),
                                        nullptr, 0);
    }
    if (!sent || !pq().PQpipelineSync(connection))
        giveUp(connectionMessage(lost, connection));
    // Each statement's result is followed by a null; the sync point ends
    // the pipeline. The first refusal is the one told; the rest of the
    // pipeline is skipped by the server.
    std::optional<DatabaseError> failure;
    for (;;) {
        awaitAnswer();
        ResultPtr result(pq().PQgetResult(connection));
        if (!result) {
            if (pq().PQstatus(connection) != CONNECTION_OK)
                giveUp(connectionMessage(lost, connection));
            continue;
        }
        if (pq().PQresultStatus(result.get()) == PGRES_PIPELINE_SYNC)
            break;
        if (!failure && pq().PQresultStatus(result.get()) != PGRES_PIPELINE_ABORTED)
            failure = refusal(result.get());
    }
    if (failure)
        throw *failure;
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
    // A failed lock wait rolls the begun transaction back (exchange ends
    // it), so the session stays usable for the next statement.
    exchange(QByteArrayLiteral("BEGIN; SELECT pg_advisory_xact_lock(") + writeLockKey + ")");
    m_inTransaction = true;
}

void PostgresEngine::commit()
{
    m_inTransaction = false;
    try {
        exchange(QByteArrayLiteral("COMMIT"));
    } catch (const LostAnswer& lost) {
        throwUnanswered(lost);
    }
}

void PostgresEngine::rollback()
{
    m_inTransaction = false;
    if (connected())
        exchange(QByteArrayLiteral("ROLLBACK"));
}

void PostgresEngine::setBusyTimeout(int milliseconds)
{
    if (milliseconds == m_busyTimeoutMs)
        return; // the session has it already: no round trip
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
