#pragma once

#include "export/MailAccount.h"
#include "export/MailMessage.h"

#include <QDateTime>
#include <QObject>

// The mail dialogue of one send, for a thread of its own: connect, send,
// disconnect, each failure caught and told, the socket always closed. The
// message is written to the wire as it goes, never held whole.
class SmtpWorker : public QObject {
    Q_OBJECT
public:
    SmtpWorker(MailAccount account, QStringList recipients, MailMessage mail, QDateTime now, QByteArray boundary);

public slots:
    void run();

signals:
    void advanced(int steps);        // a status of the client (1), a TLS callback (50)
    void bytesWritten(qint64 bytes); // of the message on its way
    void done(const QString& connectError, const QString& sendError);

private:
    MailAccount m_account;
    QStringList m_recipients;
    MailMessage m_mail;
    QDateTime m_now;
    QByteArray m_boundary;
};
