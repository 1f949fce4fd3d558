#include "export/SmtpWorker.h"

#include "export/ExportError.h"
#include "export/SmtpClient.h"

SmtpWorker::SmtpWorker(MailAccount account, QStringList recipients, MailMessage mail, QDateTime now,
                       QByteArray boundary)
    : m_account(std::move(account))
    , m_recipients(std::move(recipients))
    , m_mail(std::move(mail))
    , m_now(std::move(now))
    , m_boundary(std::move(boundary))
{
}

void SmtpWorker::run()
{
    SmtpClient::Observer observer;
    observer.status = [this](const QString&) { emit advanced(1); };
    observer.tlsInfo = [this] { emit advanced(50); };
    observer.messageBytesWritten = [this](qint64 bytes) { emit bytesWritten(bytes); };
    SmtpClient client(m_account, observer);
    QString connectError;
    QString sendError;
    try {
        client.connectToServer();
    } catch (const ExportError& error) {
        connectError = error.message();
    }
    emit advanced(1);
    try {
        // Fails at once without a connection, as the user's second box says.
        client.send(m_account.user, m_recipients,
                    [this](const SmtpClient::Sink& sink) { writeMessage(m_mail, m_now, m_boundary, sink); });
    } catch (const ExportError& error) {
        sendError = error.message();
    }
    emit advanced(1);
    client.disconnect(); // a failed QUIT is caught inside; the socket always closes
    emit done(connectError, sendError);
}
