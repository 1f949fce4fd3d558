#include "app/DesktopViewer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

bool DesktopViewer::show(const QString& filePath)
{
    // Owned by the application: an opener that goes on showing the file
    // outlives this call, and is reaped when it ends.
    auto* opener = new QProcess(QCoreApplication::instance());
    QEventLoop loop;
    QObject::connect(opener, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(opener, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(m_waitMs, &loop, &QEventLoop::quit);
    opener->start(m_opener, {filePath});
    if (opener->state() != QProcess::NotRunning)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (opener->state() != QProcess::NotRunning) {
        QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
        return true; // still showing it
    }
    opener->deleteLater();
    return opener->error() != QProcess::FailedToStart && opener->exitStatus() == QProcess::NormalExit
        && opener->exitCode() == 0;
}
