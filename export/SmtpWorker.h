#pragma once

#include "export/MailAccount.h"
#include "export/SmtpClient.h"

#include <QObject>

// The mail dialogue of one send, for a thread of its own: connect, send,
// disconnect, each failure caught and told, the socket always closed. The
// message is written to the wire as it goes, never held whole.
//
// Whatever fails, done() is emitted once: an error of the client's own
// with its text, anything else (out of memory while composing) as an
// unexpected error, never past the worker.
class SmtpWorker : public QObject {
    Q_OBJECT
public:
    SmtpWorker(MailAccount account, QStringList recipients, SmtpClient::MessageWriter message);

public slots:
    void run();

signals:
    void advanced(int steps);        // a status of the client (1), a TLS callback (50)
    void bytesWritten(qint64 bytes); // of the message on its way
    void awaitingAcceptance();       // the message is out, the server's answer not yet in
    void done(const QString& connectError, const QString& sendError);

private:
    MailAccount m_account;
    QStringList m_recipients;
    SmtpClient::MessageWriter m_message;
};
