#pragma once

#include <QString>

#include <stdexcept>

// The one base of the program's exceptions: a Hungarian (or the database
// engine's) message for the box that reports it. Each layer below the
// windows has one kind: DatabaseError in the store, ExportError in the
// export; the windows decide how each is shown.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};
