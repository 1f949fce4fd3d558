#pragma once

#include "export/SmtpTransport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// An SMTP submission client (RFC 5321) with STARTTLS (RFC 3207) and AUTH
// LOGIN (RFC 4954), over SmtpTransport. Synchronous: every call blocks until
// the server answered or a time limit passed, so run it off the
// user-interface thread. Every failure throws ExportError with a text that
// carries an excerpt of the server's reply where there was one.
//
// The password never crosses an unencrypted connection: a server that
// offers AUTH LOGIN without STARTTLS gets no AUTH at all, and the send
// fails. A server that offers neither (or only mechanisms the client does
// not speak) is written to without authentication. After a reply that did
// not come, or a connection that broke, the client and the server are out
// of step: the connection is closed without QUIT.
//
//   SmtpClient client(settings);
//   client.connectToServer();                  // greeting, EHLO (HELO when refused)
//   client.send(sender, recipients, message);  // STARTTLS, AUTH, envelope, DATA
//   client.disconnect();                       // QUIT when connected; always closes
struct SmtpSettings {
    QString host;
    quint16 port = 587;
    QString heloName = QStringLiteral("Kelmir");
    QString user; // AUTH LOGIN name; no authentication when empty
    QString password;
    QString caFile; // PEM trust store; empty: the system's
    int connectTimeoutMs = 30000;
    int replyTimeoutMs = 60000; // bounds each whole reply, and each stall while sending
    // The answer to the message's final ".": a server may check the whole
    // message first (RFC 5321 4.5.3.2.6 gives it ten minutes).
    int acceptanceTimeoutMs = 600000;
};

class SmtpClient {
public:
    // A reply line of RFC 5321 holds at most 512 octets; the limits leave
    // generous room and still bound what a hostile server can make us hold.
    static constexpr qsizetype maxReplyLine = 4096;
    static constexpr qsizetype maxReply = 64 * 1024;

    // Progress reports, called on the client's thread.
    struct Observer {
        std::function<void(const QString&)> status;      // connection state and status texts
        std::function<void(qint64)> messageBytesWritten; // of the message being transmitted
        std::function<void()> tlsInfo;                   // every callback of the TLS library
        std::function<void()> awaitingAcceptance;        // the message is out, its acceptance not yet in
    };

    // The message, written in pieces to the sink it is given.
    using Sink = std::function<void(const char* data, qsizetype size)>;
    using MessageWriter = std::function<void(const Sink& sink)>;

    explicit SmtpClient(SmtpSettings settings, Observer observer = {});

    void connectToServer();
    void send(const QString& sender, const QStringList& recipients, const MessageWriter& message);
    void send(const QString& sender, const QStringList& recipients, const QByteArray& message);
    void disconnect();

    bool isConnected() const { return m_transport.isOpen(); }
    bool isEncrypted() const { return m_transport.isEncrypted(); }
    bool isAuthenticated() const { return m_authenticated; }

private:
    struct Reply {
        int code = 0;
        QStringList lines;
        QString text() const;
    };
    Reply readReply(int timeoutMs, SmtpText::Wait what);
    Reply readReply() { return readReply(m_settings.replyTimeoutMs, SmtpText::Wait::Reply); }
    Reply command(const QByteArray& line);
    Reply expect(const QByteArray& line, std::initializer_list<int> accepted);
    // RSET after a refusal; whatever it meets must not hide the refusal.
    void resetQuietly();
    void introduce();
    bool offers(const QString& capability) const;
    bool offersLogin() const;
    void startTls();
    void authenticate();
    void transmit(const MessageWriter& message);
    void report(const QString& status) const;

    SmtpTransport m_transport;
    SmtpSettings m_settings;
    Observer m_observer;
    QStringList m_capabilities;
    bool m_authenticated = false;
};
