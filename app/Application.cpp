#include "app/Application.h"

#include "app/ErrorReport.h"

KelmirApplication::KelmirApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    identify(*this);
}

void KelmirApplication::identify(QCoreApplication& application)
{
    // The name only: a display name would be appended to every window's
    // caption by the window system ("Információ — Kelmir").
    application.setApplicationName(QStringLiteral("Kelmir"));
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
