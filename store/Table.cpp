#include "store/Table.h"

Table::Table(Connection& connection, QString tableName)
    : m_tableName(std::move(tableName))
    , m_query(connection, m_tableName)
{
}

void Table::open()
{
    m_query.close();
    m_query.clearParameters();
    m_query.clearText();
    // The program's own table names only; every table's stored order is
    // the order of its ids.
    m_query.addLine(QStringLiteral("SELECT * FROM %1 ORDER BY id;").arg(m_tableName));
    m_query.prepare();
    m_query.open();
}
