#include "store/sqlite/SqliteEngine.h"

#include "store/DatabaseError.h"
#include "store/sqlite/HungarianCollation.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QScopeGuard>
#include <QThread>

#include <algorithm>

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The one check of the engine's return codes: anything but the expected
// code is an error carrying the engine's own message.
void check(sqlite3* db, int rc, int expected = SQLITE_OK)
{
    if (rc == expected)
        return;
    const int primary = rc & 0xFF;
    throw DatabaseError(QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)),
                        primary == SQLITE_BUSY || primary == SQLITE_LOCKED ? DatabaseError::Cause::Locked
                                                                           : DatabaseError::Cause::Statement);
}

void readColumn(sqlite3_stmt* statement, int column, StatementResult& result)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        result.addInteger(sqlite3_column_int64(statement, column));
        break;
    case SQLITE_FLOAT:
        result.addReal(sqlite3_column_double(statement, column));
        break;
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        result.addText(text, sqlite3_column_bytes(statement, column));
        break;
    }
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, column));
        result.addBytes(data, sqlite3_column_bytes(statement, column));
        break;
    }
    default:
        result.addNull();
    }
}

QStringList resultColumnNames(sqlite3_stmt* statement)
{
    const int count = sqlite3_column_count(statement);
    QStringList names;
    for (int c = 0; c < count; ++c)
        names << QString::fromUtf8(sqlite3_column_name(statement, c));
    return qualifyRepeatedNames(names, [statement](int column) {
        return QString::fromUtf8(sqlite3_column_table_name(statement, column));
    });
}

// The column's declared type, by SQLite's rules of type affinity.
ColumnType declaredType(sqlite3_stmt* statement, int column)
{
    const QByteArray declared = QByteArray(sqlite3_column_decltype(statement, column)).toUpper();
    if (declared.isEmpty())
        return ColumnType::Other;
    if (declared.contains("INT"))
        return ColumnType::Integer;
    if (declared.contains("CHAR") || declared.contains("CLOB") || declared.contains("TEXT"))
        return ColumnType::Text;
    if (declared.contains("REAL") || declared.contains("FLOA") || declared.contains("DOUB"))
        return ColumnType::Real;
    return ColumnType::Other;
}

void bind(sqlite3* db, sqlite3_stmt* statement, const std::vector<BoundParameter>& parameters)
{
    for (const BoundParameter& parameter : parameters) {
        const QByteArray marker = ':' + parameter.name.toUtf8();
        const int index = sqlite3_bind_parameter_index(statement, marker.constData());
        if (index == 0)
            continue; // declared for another form of the statement
        if (parameter.value.isNull()) {
            check(db, sqlite3_bind_null(statement, index));
        } else if (parameter.type == ParamType::Text) {
            const QString text = parameter.value.toString();
            check(db, sqlite3_bind_text16(statement, index, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT));
        } else if (parameter.type == ParamType::Byte) {
            check(db, sqlite3_bind_int(statement, index, int(quint8(parameter.value.toUInt()))));
        } else {
            check(db, sqlite3_bind_int(statement, index, parameter.value.toInt()));
        }
    }
}

} // namespace

void SqliteEngine::Closer::operator()(sqlite3* db) const
{
    sqlite3_close_v2(db);
}

SqliteEngine::SqliteEngine(const QString& path, Mode mode)
{
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (mode == Mode::CreateNew ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    m_db.reset(db); // closed on every way out, also when the open failed
    check(db, rc);
    check(db, sqlite3_extended_result_codes(db, 1));
    check(db, sqlite3_busy_handler(db, &SqliteEngine::busyHandler, this));
    registerHungarianCollation(db);
    if (mode == Mode::CreateNew)
        return;
    // SQLite opens lazily and falls back to read-only on a write-protected
    // file; touch the schema now so a foreign or refused file fails here.
    check(db, sqlite3_exec(db, "SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr));
    if (sqlite3_db_readonly(db, "main") != 0)
        throw DatabaseError(QStringLiteral("Az adatfájl csak olvasható."));
    // The engine writes its journal beside the file: a folder this program
    // may not write makes every later save fail.
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    if (::faccessat(AT_FDCWD, folder.constData(), W_OK | X_OK, AT_EACCESS) != 0)
        throw DatabaseError(QStringLiteral("Az adatfájl mappája nem írható."));
}

SqliteEngine::~SqliteEngine()
{
    m_statements.clear(); // finalized before the connection closes
}

void SqliteEngine::Finalizer::operator()(sqlite3_stmt* statement) const
{
    sqlite3_finalize(statement);
}

sqlite3_stmt* SqliteEngine::prepared(const QByteArray& sql)
{
    const std::string key = sql.toStdString();
    if (const auto found = m_statements.find(key); found != m_statements.end())
        return found->second.get();
    // A few dozen texts recur (the lists, the saves, the export's insert);
    // one written with a value in it (a county id) may not: the cache is
    // emptied when it grows past what the program ever reuses.
    constexpr size_t kept = 64;
    if (m_statements.size() >= kept)
        m_statements.clear();
    sqlite3* db = m_db.get();
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    check(db, sqlite3_prepare_v3(db, sql.constData(), int(sql.size()), SQLITE_PREPARE_PERSISTENT, &raw, &tail));
    Prepared statement(raw);
    if (!statement)
        throw DatabaseError(QStringLiteral("Üres SQL utasítás"));
    if (!QByteArray(tail).trimmed().isEmpty())
        throw DatabaseError(QStringLiteral("Egy lekérdezés csak egy SQL utasítást tartalmazhat"));
    return m_statements.emplace(key, std::move(statement)).first->second.get();
}

// Called by the engine while another program holds the lock a statement
// needs; non-zero means: try again. The first call of a wait starts its
// clock: the wait is bounded by the time it has taken, not by the number of
// tries, so a busy machine whose sleeps run long still gives up on time.
int SqliteEngine::busyHandler(void* engine, int attempt)
{
    auto* self = static_cast<SqliteEngine*>(engine);
    if (attempt == 0)
        self->m_waitClock.start();
    const qint64 left = self->m_busyTimeoutMs - self->m_waitClock.elapsed();
    if (left <= 0)
        return 0;
    if (!self->m_waiting) {
        self->m_waiting = true;
        if (self->m_waitHook)
            self->m_waitHook(true);
    }
    constexpr qint64 stepMs = 10;
    QThread::msleep(std::min(stepMs, left));
    return 1;
}

void SqliteEngine::waitEnded()
{
    if (!m_waiting)
        return;
    m_waiting = false;
    if (m_waitHook)
        m_waitHook(false);
}

int SqliteEngine::run(const QString& text, const std::vector<BoundParameter>& parameters, StatementResult* result)
{
    sqlite3* db = m_db.get();
    const auto waitOver = qScopeGuard([this] { waitEnded(); });
    sqlite3_stmt* statement = prepared(text.toUtf8());
    // Ready for its next run, whatever this one met; no lock outlives it.
    const auto ready = qScopeGuard([statement] {
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
    });
    bind(db, statement, parameters);

    if (result) {
        result->reset();
        result->columns = resultColumnNames(statement);
        for (int c = 0; c < result->columns.size(); ++c)
            result->types.push_back(declaredType(statement, c));
    }
    const int columns = result ? int(result->columns.size()) : 0;
    for (;;) {
        const int rc = sqlite3_step(statement);
        if (rc == SQLITE_DONE)
            break;
        check(db, rc, SQLITE_ROW);
        for (int c = 0; c < columns; ++c)
            readColumn(statement, c, *result);
        if (result)
            ++result->rows;
    }
    return result ? 0 : sqlite3_changes(db);
}

void SqliteEngine::runEach(const QString& text, const std::vector<std::vector<BoundParameter>>& rows)
{
    // The prepared statement is kept between the rows; the cost of a row is
    // its step, and inside a transaction no row waits for the disk.
    for (const std::vector<BoundParameter>& row : rows)
        run(text, row, nullptr);
}

void SqliteEngine::execute(const QString& statement)
{
    const auto waitOver = qScopeGuard([this] { waitEnded(); });
    check(m_db.get(), sqlite3_exec(m_db.get(), statement.toUtf8().constData(), nullptr, nullptr, nullptr));
}

QStringList SqliteEngine::schemaStatements() const
{
    return {
        QStringLiteral("CREATE TABLE at_megyek (id INTEGER PRIMARY KEY NOT NULL, megye_nev TEXT COLLATE HUNGARIAN)"),
        QStringLiteral("CREATE TABLE at_telepulesek (id INTEGER PRIMARY KEY NOT NULL, megye_kod INTEGER NOT NULL, "
                       "telepules TEXT COLLATE HUNGARIAN, irsz INTEGER NOT NULL)"),
        QStringLiteral("CREATE TABLE at_helyszinek (id INTEGER PRIMARY KEY AUTOINCREMENT, "
                       "deleted INTEGER NOT NULL DEFAULT 0, telepules_kod INTEGER NOT NULL, "
                       "cim TEXT COLLATE HUNGARIAN, helyszin TEXT COLLATE HUNGARIAN)"),
        QStringLiteral("CREATE TABLE at_settings (id INTEGER PRIMARY KEY AUTOINCREMENT, "
                       "megye_kod INTEGER NOT NULL DEFAULT 0, cel TEXT, forras TEXT, smtp TEXT, "
                       "auth_sec INTEGER NOT NULL DEFAULT 0, auth_usr TEXT, auth_psw TEXT)"),
        QStringLiteral("CREATE TABLE at_veradasok (id INTEGER PRIMARY KEY AUTOINCREMENT, ev TEXT, honap TEXT, "
                       "nap TEXT, kezdes TEXT, befejezes TEXT, helyszin_kod INTEGER NOT NULL)"),
        QStringLiteral("CREATE TABLE at_toExcel (datum TEXT, idopont TEXT, megye TEXT, irsz INTEGER, varos TEXT, "
                       "helyszin TEXT, cim TEXT)"),
        QStringLiteral("CREATE INDEX ix_telepulesek_megye ON at_telepulesek (megye_kod)"),
        QStringLiteral("CREATE INDEX ix_helyszinek_telepules ON at_helyszinek (telepules_kod, deleted)"),
        QStringLiteral("CREATE INDEX ix_veradasok_honap ON at_veradasok (ev, honap)"),
        QStringLiteral("CREATE INDEX ix_veradasok_helyszin ON at_veradasok (helyszin_kod)"),
    };
}
