#include "store/Transaction.h"

#include "store/Connection.h"

#include <QString>

Transaction::Transaction(Connection& connection)
    : m_connection(connection)
{
    m_connection.execute(QStringLiteral("BEGIN IMMEDIATE;"));
}

Transaction::~Transaction()
{
    if (!m_open)
        return;
    try {
        m_connection.execute(QStringLiteral("ROLLBACK;"));
    } catch (...) {
        // The engine has already rolled back what it could not keep.
    }
}

void Transaction::commit()
{
    m_connection.execute(QStringLiteral("COMMIT;"));
    m_open = false;
}
