#pragma once

#include "store/Query.h"

// A whole table opened as a data set in stored order. Opening it at start-up
// proves the file holds the table; at_megyek and at_settings are also read.
class Table {
public:
    Table(Connection& connection, QString tableName);

    const QString& tableName() const { return m_tableName; }
    void open(); // throws DatabaseError when the table is missing
    void close() { m_query.close(); }
    bool isOpen() const { return m_query.isOpen(); }

    int recordCount() const { return m_query.recordCount(); }
    void first() { m_query.first(); }
    void next() { m_query.next(); }
    bool eof() const { return m_query.eof(); }
    Field field(const QString& name) const { return m_query.field(name); }

private:
    QString m_tableName;
    Query m_query;
};
