#pragma once

#include "export/SmtpTexts.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>

#include <functional>
#include <memory>

// One TCP connection to a mail server, plain or with TLS on top, under the
// SMTP protocol of SmtpClient. Non-blocking underneath, every wait bounded
// by a deadline, and no write can raise SIGPIPE: the socket is written with
// MSG_NOSIGNAL, also under TLS. Every failure throws ExportError.
//
//   SmtpTransport t;
//   t.connectTo("mail.example.hu", 587, 30000, status);
//   t.write("EHLO Kelmir\r\n", 5, 60000);
//   QByteArray line = t.readLine(WaitLimit(60000, SmtpText::Wait::Reply), 4096);
//   t.startTls("mail.example.hu", caFile, tlsInfo, WaitLimit(60000, SmtpText::Wait::Handshake));

// A time limit for a wait, and what to call it when it passes.
struct WaitLimit {
    WaitLimit(int timeoutMs, SmtpText::Wait what)
        : deadline(timeoutMs)
        , timeoutMs(timeoutMs)
        , what(what)
    {
    }
    QDeadlineTimer deadline;
    int timeoutMs;
    SmtpText::Wait what;
};

class SmtpTransport {
public:
    SmtpTransport();
    ~SmtpTransport();
    SmtpTransport(const SmtpTransport&) = delete;
    SmtpTransport& operator=(const SmtpTransport&) = delete;

    // Opens the connection, trying each address of host in turn.
    void connectTo(const QString& host, quint16 port, int timeoutMs, const std::function<void(const QString&)>& status);
    // TLS 1.2 or newer with the peer's certificate and name (or address)
    // verified against caFile (empty: the system's trust store). tlsInfo is
    // called for every information callback of the TLS library.
    void startTls(const QString& host, const QString& caFile, const std::function<void()>& tlsInfo,
                  const WaitLimit& limit);

    // Writes all of data; the timeout bounds each stall, not the whole write.
    void write(const char* data, qsizetype size, int stallTimeoutMs);
    // One line with its LF. Fails when the peer closes first, past the
    // limit, and when the line grows beyond maxBytes.
    QByteArray readLine(const WaitLimit& limit, qsizetype maxBytes);

    bool isOpen() const;
    bool isEncrypted() const;
    void close();

private:
    struct Handles;
    std::unique_ptr<Handles> m_handles;
    QByteArray m_pending; // bytes read but not yet taken as lines
};
