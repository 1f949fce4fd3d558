#pragma once

#include <QString>

#include <stdexcept>

// The one error type of the export layer, carrying a Hungarian message
// for the general error report.
class ExportError : public std::runtime_error {
public:
    explicit ExportError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};
