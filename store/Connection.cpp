#include "store/Connection.h"

#include "store/DatabaseError.h"
#include "store/HungarianCollation.h"

#include <QFile>

#include <sqlite3.h>

namespace {

constexpr int busyTimeoutMs = 5000;

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
    check(db, sqlite3_busy_timeout(db, busyTimeoutMs));
    registerHungarianCollation(db);
    m_db = std::move(owner);
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
    } catch (...) {
        close();
        throw;
    }
}

void Connection::close()
{
    m_db.reset();
}

Connection Connection::createNew(const QString& path)
{
    sqlite3* db = nullptr;
    const QByteArray name = QFile::encodeName(path);
    const int rc = sqlite3_open_v2(name.constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        throw DatabaseError(message);
    }
    Connection connection;
    connection.adopt(db);
    return connection;
}
