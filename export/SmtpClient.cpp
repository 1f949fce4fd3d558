#include "export/SmtpClient.h"

#include "export/MailMessage.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

[[noreturn]] void fail(const QString& text)
{
    throw ExportError(text);
}

QString openSslError()
{
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0)
        return QStringLiteral("ismeretlen TLS hiba");
    char buffer[256];
    ERR_error_string_n(code, buffer, sizeof buffer);
    return QString::fromLatin1(buffer);
}

// Milliseconds left of a timeout started by timer.
int remaining(const QElapsedTimer& timer, int timeoutMs)
{
    return int(std::max<qint64>(0, timeoutMs - timer.elapsed()));
}

} // namespace

// One TCP connection, plain or with TLS on top. Non-blocking underneath,
// every wait bounded by poll() with a timeout.
struct SmtpClient::Connection {
    int fd = -1;
    SSL_CTX* context = nullptr;
    SSL* ssl = nullptr;
    QByteArray pending; // bytes read but not yet taken as lines

    ~Connection()
    {
        if (ssl) {
            SSL_shutdown(ssl); // best effort close_notify; the socket closes anyway
            SSL_free(ssl);
        }
        if (context)
            SSL_CTX_free(context);
        if (fd >= 0)
            ::close(fd);
    }

    void waitFor(short events, const QElapsedTimer& timer, int timeoutMs, const char* what) const
    {
        pollfd entry{fd, events, 0};
        for (;;) {
            const int left = remaining(timer, timeoutMs);
            const int ready = ::poll(&entry, 1, left);
            if (ready > 0)
                return;
            if (ready == 0)
                fail(QStringLiteral("Időtúllépés: a kiszolgáló %1 másodpercig nem válaszolt (%2).")
                         .arg(timeoutMs / 1000)
                         .arg(QLatin1String(what)));
            if (errno != EINTR)
                fail(QStringLiteral("Hálózati hiba: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
        }
    }

    // Waits for what an OpenSSL call asked for; false when it was a real error.
    bool waitForTls(int result, const QElapsedTimer& timer, int timeoutMs, const char* what) const
    {
        switch (SSL_get_error(ssl, result)) {
        case SSL_ERROR_WANT_READ:
            waitFor(POLLIN, timer, timeoutMs, what);
            return true;
        case SSL_ERROR_WANT_WRITE:
            waitFor(POLLOUT, timer, timeoutMs, what);
            return true;
        default:
            return false;
        }
    }

    void writeAll(const char* data, qsizetype size, int timeoutMs, const std::function<void(qint64)>& progress = {})
    {
        QElapsedTimer timer;
        timer.start();
        qsizetype written = 0;
        while (written < size) {
            const int chunk = int(std::min<qsizetype>(size - written, 64 * 1024));
            if (ssl) {
                const int result = SSL_write(ssl, data + written, chunk);
                if (result <= 0) {
                    if (waitForTls(result, timer, timeoutMs, "küldés"))
                        continue;
                    fail(QStringLiteral("A kapcsolat megszakadt küldés közben: %1").arg(openSslError()));
                }
                written += result;
            } else {
                const ssize_t result = ::send(fd, data + written, size_t(chunk), MSG_NOSIGNAL);
                if (result < 0) {
                    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
                        waitFor(POLLOUT, timer, timeoutMs, "küldés");
                        continue;
                    }
                    fail(QStringLiteral("A kapcsolat megszakadt küldés közben: %1")
                             .arg(QString::fromLocal8Bit(std::strerror(errno))));
                }
                written += result;
            }
            timer.restart(); // the timeout bounds each stall, not the whole transfer
            if (progress)
                progress(written);
        }
    }

    QByteArray readLine(int timeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        for (;;) {
            const qsizetype end = pending.indexOf('\n');
            if (end >= 0) {
                QByteArray line = pending.left(end + 1);
                pending.remove(0, end + 1);
                return line;
            }
            char buffer[4096];
            if (ssl) {
                const int result = SSL_read(ssl, buffer, sizeof buffer);
                if (result <= 0) {
                    if (waitForTls(result, timer, timeoutMs, "válasz"))
                        continue;
                    fail(QStringLiteral("A kiszolgáló bontotta a kapcsolatot."));
                }
                pending.append(buffer, result);
            } else {
                const ssize_t result = ::recv(fd, buffer, sizeof buffer, 0);
                if (result == 0)
                    fail(QStringLiteral("A kiszolgáló bontotta a kapcsolatot."));
                if (result < 0) {
                    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
                        waitFor(POLLIN, timer, timeoutMs, "válasz");
                        continue;
                    }
                    fail(QStringLiteral("Hálózati hiba: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
                }
                pending.append(buffer, result);
            }
        }
    }
};

QString SmtpClient::Reply::text() const
{
    return lines.join(u'\n');
}

SmtpClient::SmtpClient(SmtpSettings settings, Observer observer)
    : m_settings(std::move(settings))
    , m_observer(std::move(observer))
{
}

SmtpClient::~SmtpClient() = default;

bool SmtpClient::isConnected() const
{
    return m_connection != nullptr;
}

bool SmtpClient::isEncrypted() const
{
    return m_connection && m_connection->ssl;
}

bool SmtpClient::isAuthenticated() const
{
    return m_authenticated;
}

const QStringList& SmtpClient::capabilities() const
{
    return m_capabilities;
}

void SmtpClient::report(const QString& status) const
{
    if (m_observer.status)
        m_observer.status(status);
}

SmtpClient::Reply SmtpClient::readReply()
{
    Reply reply;
    for (;;) {
        QByteArray line = m_connection->readLine(m_settings.replyTimeoutMs);
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        bool ok = false;
        const int code = line.left(3).toInt(&ok);
        if (!ok || line.size() < 3)
            fail(QStringLiteral("Érthetetlen válasz a kiszolgálótól: %1").arg(QString::fromUtf8(line)));
        reply.code = code;
        reply.lines << QString::fromUtf8(line);
        if (line.size() == 3 || line[3] != '-')
            return reply;
    }
}

SmtpClient::Reply SmtpClient::command(const QByteArray& line)
{
    if (!m_connection)
        fail(QStringLiteral("Nincs kapcsolat a levelezőkiszolgálóval."));
    const QByteArray wire = line + "\r\n";
    m_connection->writeAll(wire.constData(), wire.size(), m_settings.replyTimeoutMs);
    return readReply();
}

SmtpClient::Reply SmtpClient::expect(const QByteArray& line, std::initializer_list<int> accepted)
{
    Reply reply = command(line);
    if (std::find(accepted.begin(), accepted.end(), reply.code) == accepted.end())
        fail(reply.text());
    return reply;
}

void SmtpClient::connectToServer()
{
    disconnect();
    m_capabilities.clear();
    m_authenticated = false;
    report(QStringLiteral("Név feloldása: %1").arg(m_settings.host));

    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* addresses = nullptr;
    const QByteArray host = m_settings.host.toUtf8();
    const QByteArray port = QByteArray::number(m_settings.port);
    if (const int rc = ::getaddrinfo(host.constData(), port.constData(), &hints, &addresses); rc != 0)
        fail(QStringLiteral("A(z) %1 kiszolgáló nem található: %2")
                 .arg(m_settings.host, QString::fromLocal8Bit(gai_strerror(rc))));
    std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owner(addresses, ::freeaddrinfo);

    QString lastError;
    for (addrinfo* address = addresses; address; address = address->ai_next) {
        auto connection = std::make_unique<Connection>();
        connection->fd = ::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC, address->ai_protocol);
        if (connection->fd < 0)
            continue;
        ::fcntl(connection->fd, F_SETFL, ::fcntl(connection->fd, F_GETFL) | O_NONBLOCK);
        report(QStringLiteral("Kapcsolódás: %1:%2").arg(m_settings.host).arg(m_settings.port));
        if (::connect(connection->fd, address->ai_addr, address->ai_addrlen) != 0 && errno != EINPROGRESS) {
            lastError = QString::fromLocal8Bit(std::strerror(errno));
            continue;
        }
        pollfd entry{connection->fd, POLLOUT, 0};
        const int ready = ::poll(&entry, 1, m_settings.connectTimeoutMs);
        int error = 0;
        socklen_t length = sizeof error;
        if (ready == 0) {
            lastError = QStringLiteral("időtúllépés");
            continue;
        }
        if (ready < 0 || ::getsockopt(connection->fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
            lastError = QString::fromLocal8Bit(std::strerror(error ? error : errno));
            continue;
        }
        m_connection = std::move(connection);
        break;
    }
    if (!m_connection)
        fail(QStringLiteral("Nem sikerült kapcsolódni a(z) %1:%2 kiszolgálóhoz: %3")
                 .arg(m_settings.host)
                 .arg(m_settings.port)
                 .arg(lastError));
    report(QStringLiteral("Kapcsolódva."));
    try {
        greetAndIntroduce();
    } catch (...) {
        m_connection.reset(); // closed without QUIT
        throw;
    }
}

void SmtpClient::greetAndIntroduce()
{
    const Reply greeting = readReply();
    if (greeting.code != 220)
        fail(greeting.text());
    const QByteArray name = m_settings.heloName.toUtf8();
    const Reply ehlo = command("EHLO " + name);
    m_capabilities.clear();
    if (ehlo.code == 250) {
        for (qsizetype i = 1; i < ehlo.lines.size(); ++i)
            m_capabilities << ehlo.lines[i].mid(4).trimmed();
        return;
    }
    expect("HELO " + name, {250});
}

void SmtpClient::startTls()
{
    expect("STARTTLS", {220});
    report(QStringLiteral("TLS kapcsolat felépítése"));
    Connection& connection = *m_connection;
    connection.context = SSL_CTX_new(TLS_client_method());
    if (!connection.context)
        fail(openSslError());
    SSL_CTX_set_min_proto_version(connection.context, TLS1_2_VERSION);
    SSL_CTX_set_verify(connection.context, SSL_VERIFY_PEER, nullptr);
    const bool trusted = m_settings.caFile.isEmpty()
                             ? SSL_CTX_set_default_verify_paths(connection.context) == 1
                             : SSL_CTX_load_verify_locations(connection.context,
                                                             QFile::encodeName(m_settings.caFile).constData(),
                                                             nullptr) == 1;
    if (!trusted)
        fail(QStringLiteral("A megbízható tanúsítványok nem tölthetők be: %1").arg(openSslError()));
    SSL_CTX_set_app_data(connection.context, this);
    SSL_CTX_set_info_callback(connection.context, [](const SSL* ssl, int, int) {
        auto* client = static_cast<SmtpClient*>(SSL_CTX_get_app_data(SSL_get_SSL_CTX(ssl)));
        if (client->m_observer.tlsInfo)
            client->m_observer.tlsInfo();
    });
    connection.ssl = SSL_new(connection.context);
    if (!connection.ssl || SSL_set_fd(connection.ssl, connection.fd) != 1)
        fail(openSslError());
    const QByteArray host = m_settings.host.toUtf8();
    unsigned char literal[16];
    const bool ipLiteral = ::inet_pton(AF_INET, host.constData(), literal) == 1
                           || ::inet_pton(AF_INET6, host.constData(), literal) == 1;
    if (!ipLiteral) {
        SSL_set_tlsext_host_name(connection.ssl, host.constData()); // SNI
        SSL_set1_host(connection.ssl, host.constData());
    } else {
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(connection.ssl), host.constData());
    }
    connection.pending.clear(); // nothing sent before the handshake may be read after it

    QElapsedTimer timer;
    timer.start();
    for (;;) {
        const int result = SSL_connect(connection.ssl);
        if (result == 1)
            break;
        if (connection.waitForTls(result, timer, m_settings.replyTimeoutMs, "TLS"))
            continue;
        const long verify = SSL_get_verify_result(connection.ssl);
        if (verify != X509_V_OK)
            fail(QStringLiteral("A kiszolgáló tanúsítványa nem ellenőrizhető: %1")
                     .arg(QString::fromLatin1(X509_verify_cert_error_string(verify))));
        fail(QStringLiteral("A TLS kapcsolat nem jött létre: %1").arg(openSslError()));
    }
    report(QStringLiteral("TLS kapcsolat létrejött."));
    const Reply ehlo = command("EHLO " + m_settings.heloName.toUtf8());
    m_capabilities.clear();
    if (ehlo.code == 250) {
        for (qsizetype i = 1; i < ehlo.lines.size(); ++i)
            m_capabilities << ehlo.lines[i].mid(4).trimmed();
    } else {
        expect("HELO " + m_settings.heloName.toUtf8(), {250});
    }
}

void SmtpClient::authenticate()
{
    bool loginOffered = false;
    for (const QString& line : m_capabilities) {
        if (!line.startsWith(QStringLiteral("AUTH"), Qt::CaseInsensitive) || line.size() < 5
            || (line[4] != u' ' && line[4] != u'='))
            continue;
        const QStringList mechanisms = line.mid(5).split(QRegularExpression(QStringLiteral("[ =]")), Qt::SkipEmptyParts);
        for (const QString& mechanism : mechanisms)
            loginOffered = loginOffered || mechanism.compare(QStringLiteral("LOGIN"), Qt::CaseInsensitive) == 0;
    }
    if (!loginOffered || m_settings.user.isEmpty())
        return;
    report(QStringLiteral("Azonosítás"));
    expect("AUTH LOGIN", {334});
    const Reply name = expect(m_settings.user.toUtf8().toBase64(), {334, 235});
    if (name.code == 334)
        expect(m_settings.password.toUtf8().toBase64(), {235});
    m_authenticated = true;
}

void SmtpClient::send(const QString& sender, const QStringList& recipients, const QByteArray& message)
{
    if (!m_connection)
        fail(QStringLiteral("Nincs kapcsolat a levelezőkiszolgálóval."));
    if (!m_authenticated) {
        if (!m_connection->ssl) {
            bool offered = false;
            for (const QString& line : m_capabilities)
                offered = offered || line.compare(QStringLiteral("STARTTLS"), Qt::CaseInsensitive) == 0;
            if (offered) {
                try {
                    startTls();
                } catch (...) {
                    m_connection.reset();
                    m_authenticated = false;
                    throw;
                }
            }
        }
        authenticate();
    }
    command("RSET");
    expect("MAIL FROM: <" + sender.trimmed().toUtf8() + ">", {250});
    for (const QString& recipient : recipients) {
        const Reply reply = command("RCPT TO:<" + recipient.toUtf8() + ">");
        if (reply.code != 250 && reply.code != 251) {
            command("RSET");
            fail(reply.text());
        }
    }
    expect("DATA", {354});
    report(QStringLiteral("Az üzenet küldése"));
    QByteArray wire = mime::dotStuffed(message);
    if (!wire.endsWith("\r\n"))
        wire += "\r\n";
    m_connection->writeAll(wire.constData(), wire.size(), m_settings.replyTimeoutMs, m_observer.messageBytesWritten);
    const Reply accepted = command(".");
    if (accepted.code != 250) {
        command("RSET");
        fail(accepted.text());
    }
}

void SmtpClient::disconnect()
{
    if (m_connection) {
        try {
            command("QUIT");
        } catch (const ExportError&) {
            // The connection closes below whatever QUIT met.
        }
    }
    m_connection.reset();
    m_authenticated = false;
    report(QStringLiteral("Kapcsolat bontva."));
}
