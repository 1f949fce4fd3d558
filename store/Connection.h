#pragma once

#include <QString>

#include <memory>

struct sqlite3;

// The connection to datacore.vdf. It opens an existing file read-write and
// never creates one; it registers the Hungarian collation the sorted text
// columns are declared with, and waits on a busy file instead of failing.
class Connection {
public:
    static constexpr const char* defaultFileName = "datacore.vdf";

    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    Connection(Connection&&) noexcept = default;
    Connection& operator=(Connection&&) noexcept = default;

    // Opens path (relative paths against the current directory at this
    // moment). Throws DatabaseError when the file is missing, not a database,
    // or cannot be written.
    void open(const QString& path = QString::fromLatin1(defaultFileName));
    void close();
    bool isOpen() const { return m_db != nullptr; }

    sqlite3* handle() const;

    // Creates a new, empty database file for the builder of fresh files.
    static Connection createNew(const QString& path);

private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };
    void adopt(sqlite3* db);

    std::unique_ptr<sqlite3, Closer> m_db;
};
