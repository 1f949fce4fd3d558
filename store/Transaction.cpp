#include "store/Transaction.h"

#include "store/Connection.h"

#include <QString>

Transaction::Transaction(Connection& connection)
    : m_connection(connection)
{
    m_connection.engine().begin();
}

Transaction::~Transaction()
{
    if (!m_open)
        return;
    try {
        m_connection.engine().rollback();
    } catch (...) {
        // The engine has already rolled back what it could not keep.
    }
}

void Transaction::commit()
{
    m_connection.engine().commit();
    m_open = false;
}
