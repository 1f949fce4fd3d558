#pragma once

#include <QString>

class Connection;

// One of the database's five tables, opened at start-up as the check that
// the database holds it. Opening reads no rows: a table's rows are read
// where they are used (the counties fill the settings' drop-down).
class Table {
public:
    Table(Connection& connection, QString tableName);

    const QString& tableName() const { return m_tableName; }
    void open();                       // throws DatabaseError when the table is missing
    void markOpen() { m_open = true; } // checked with the others in one statement
    void close() { m_open = false; }
    bool isOpen() const { return m_open; }

private:
    Connection& m_connection;
    QString m_tableName;
    bool m_open = false;
};
