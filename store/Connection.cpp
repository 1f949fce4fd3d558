#include "store/Connection.h"

#include "store/DatabaseError.h"
#include "store/HungarianCollation.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

void check(sqlite3* db, int rc)
{
    if (rc != SQLITE_OK)
        throw DatabaseError(QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
}

} // namespace

void Connection::Closer::operator()(sqlite3* db) const
{
    sqlite3_close_v2(db);
}

Connection::Connection() = default;
Connection::~Connection() = default;

sqlite3* Connection::handle() const
{
    if (!m_db)
        throw DatabaseError(QStringLiteral("Az adatkapcsolat nincs megnyitva."));
    return m_db.get();
}

void Connection::adopt(sqlite3* db)
{
    std::unique_ptr<sqlite3, Closer> owner(db);
    check(db, sqlite3_extended_result_codes(db, 1));
    check(db, sqlite3_busy_handler(db, &Connection::busyHandler, this));
    registerHungarianCollation(db);
    m_db = std::move(owner);
}

void Connection::execute(const char* sql)
{
    sqlite3* db = handle();
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    statementEnded();
    check(db, rc);
}

void Connection::setBusyTimeout(int milliseconds)
{
    m_busyTimeoutMs = milliseconds;
}

// Called by the engine while another program holds the lock a statement
// needs; non-zero means: try again. The first call starts the wait.
int Connection::busyHandler(void* connection, int attempt)
{
    auto* self = static_cast<Connection*>(connection);
    constexpr int stepMs = 10;
    if (attempt * stepMs >= self->m_busyTimeoutMs)
        return 0;
    if (!self->m_waiting) {
        self->m_waiting = true;
        if (self->m_waitHook)
            self->m_waitHook(true);
    }
    QThread::msleep(stepMs);
    return 1;
}

void Connection::statementEnded()
{
    if (!m_waiting)
        return;
    m_waiting = false;
    if (m_waitHook)
        m_waitHook(false);
}

void Connection::open(const QString& path)
{
    close();
    sqlite3* db = nullptr;
    const QByteArray name = QFile::encodeName(path);
    const int rc = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        throw DatabaseError(message);
    }
    adopt(db);
    try {
        // SQLite opens lazily and falls back to read-only on a write-protected
        // file; touch the schema now so a foreign or refused file fails here.
        check(m_db.get(), sqlite3_exec(m_db.get(), "SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr));
        if (sqlite3_db_readonly(m_db.get(), "main") != 0)
            throw DatabaseError(QStringLiteral("Az adatfájl csak olvasható."));
        // The engine writes its journal beside the file: a folder this
        // program may not write makes every later save fail.
        const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
        if (::faccessat(AT_FDCWD, folder.constData(), W_OK | X_OK, AT_EACCESS) != 0)
            throw DatabaseError(QStringLiteral("Az adatfájl mappája nem írható."));
    } catch (...) {
        close();
        throw;
    }
}

void Connection::close()
{
    m_db.reset();
}

void Connection::createNew(const QString& path)
{
    close();
    sqlite3* db = nullptr;
    const QByteArray name = QFile::encodeName(path);
    const int rc = sqlite3_open_v2(name.constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        throw DatabaseError(message);
    }
    adopt(db);
}
