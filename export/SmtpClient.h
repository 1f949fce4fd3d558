#pragma once

#include "export/ExportError.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// An SMTP submission client (RFC 5321) with STARTTLS (RFC 3207) and AUTH
// LOGIN (RFC 4954), over POSIX sockets and OpenSSL. Synchronous: every call
// blocks until the server answered or a timeout passed, so run it off the
// user-interface thread. Every failure throws ExportError with a text that
// carries the server's reply where there was one.
//
//   SmtpClient client(settings);
//   client.connectToServer();            // greeting, EHLO (HELO when refused)
//   client.send(sender, recipients, message);  // STARTTLS, AUTH, envelope, DATA
//   client.disconnect();                 // QUIT when connected; always closes
struct SmtpSettings {
    QString host;
    quint16 port = 587;
    QString heloName = QStringLiteral("Kelmir");
    QString user;     // AUTH LOGIN name; no authentication when empty
    QString password;
    QString caFile;   // PEM trust store; empty: the system's
    int connectTimeoutMs = 30000;
    int replyTimeoutMs = 60000;
};

class SmtpClient {
public:
    // Progress reports, called on the client's thread.
    struct Observer {
        std::function<void(const QString&)> status;      // connection state and status texts
        std::function<void(qint64)> messageBytesWritten; // of the message being transmitted
        std::function<void()> tlsInfo;                   // every callback of the TLS library
    };

    explicit SmtpClient(SmtpSettings settings, Observer observer = {});
    ~SmtpClient();
    SmtpClient(const SmtpClient&) = delete;
    SmtpClient& operator=(const SmtpClient&) = delete;

    void connectToServer();
    void send(const QString& sender, const QStringList& recipients, const QByteArray& message);
    void disconnect();

    bool isConnected() const;
    bool isEncrypted() const;
    bool isAuthenticated() const;
    const QStringList& capabilities() const;

private:
    struct Connection;
    std::unique_ptr<Connection> m_connection;
    SmtpSettings m_settings;
    Observer m_observer;
    QStringList m_capabilities;
    bool m_authenticated = false;

    struct Reply {
        int code = 0;
        QStringList lines;
        QString text() const;
    };
    Reply readReply();
    Reply command(const QByteArray& line);
    Reply expect(const QByteArray& line, std::initializer_list<int> accepted);
    void greetAndIntroduce();
    void startTls();
    void authenticate();
    void report(const QString& status) const;
};
