#include "store/Table.h"

#include "store/Connection.h"

Table::Table(Connection& connection, QString tableName)
    : m_connection(connection)
    , m_tableName(std::move(tableName))
{
}

void Table::open()
{
    m_open = false;
    // The program's own table names only. Every column, no row: what a
    // statement would meet of the table.
    m_connection.select(QStringLiteral("SELECT * FROM %1 WHERE 1=0;").arg(m_tableName));
    m_open = true;
}
