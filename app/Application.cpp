#include "app/Application.h"

#include "app/ErrorReport.h"

#include <QIcon>

KelmirApplication::KelmirApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    identify(*this);
    setWindowIcon(applicationIcon());
}

QIcon KelmirApplication::applicationIcon()
{
    // The desktop's theme may hold another rendering; the program's own is the fallback.
    QIcon own;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        own.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/org.kelmir.Kelmir.png").arg(size), QSize(size, size));
    return QIcon::fromTheme(QStringLiteral("org.kelmir.Kelmir"), own);
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
