#include "app/Application.h"

#include "app/ErrorReport.h"

KelmirApplication::KelmirApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Kelmir"));
    setApplicationDisplayName(QStringLiteral("Kelmir"));
}

bool KelmirApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        if (!m_messages)
            throw;
        reportGeneralError(*m_messages, error);
        return true;
    }
}
