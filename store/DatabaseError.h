#pragma once

#include <QString>

#include <stdexcept>

// The one exception type of the data store: the database engine's message,
// or the store's own for a misuse of a query.
class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};
