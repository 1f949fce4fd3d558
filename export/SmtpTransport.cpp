#include "export/SmtpTransport.h"

#include "export/ExportError.h"

#include <QFile>

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

[[noreturn]] void fail(const QString& text)
{
    throw ExportError(text);
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString openSslError()
{
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0)
        return SmtpText::unknownTlsError();
    char buffer[256];
    ERR_error_string_n(code, buffer, sizeof buffer);
    return QString::fromLatin1(buffer);
}

bool wouldBlock(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

// A socket BIO of our own: OpenSSL's writes a socket with write(), which
// raises SIGPIPE on a connection the peer has reset. This one sends with
// MSG_NOSIGNAL, so a broken connection is an error like any other.
int bioWrite(BIO* bio, const char* data, int length)
{
    const int fd = *static_cast<int*>(BIO_get_data(bio));
    BIO_clear_retry_flags(bio);
    const ssize_t written = ::send(fd, data, size_t(length), MSG_NOSIGNAL);
    if (written < 0 && wouldBlock(errno))
        BIO_set_retry_write(bio);
    return int(written);
}

int bioRead(BIO* bio, char* data, int length)
{
    const int fd = *static_cast<int*>(BIO_get_data(bio));
    BIO_clear_retry_flags(bio);
    const ssize_t read = ::recv(fd, data, size_t(length), 0);
    if (read < 0 && wouldBlock(errno))
        BIO_set_retry_read(bio);
    return int(read);
}

long bioControl(BIO*, int command, long, void*)
{
    return command == BIO_CTRL_FLUSH ? 1 : 0;
}

BIO_METHOD* noSignalSocketMethod()
{
    static BIO_METHOD* const method = [] {
        BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "kelmir socket");
        BIO_meth_set_write(m, bioWrite);
        BIO_meth_set_read(m, bioRead);
        BIO_meth_set_ctrl(m, bioControl);
        BIO_meth_set_create(m, [](BIO* bio) {
            BIO_set_init(bio, 1);
            return 1;
        });
        return m;
    }();
    return method;
}

struct ContextFree {
    void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
};
struct SslFree {
    void operator()(SSL* ssl) const
    {
        SSL_shutdown(ssl); // best-effort close_notify; the socket closes anyway
        SSL_free(ssl);
    }
};
struct AddressesFree {
    void operator()(addrinfo* addresses) const { ::freeaddrinfo(addresses); }
};

} // namespace

// The socket and the TLS objects, each with its owner; destroyed in the
// reverse order of their members, the socket last.
struct SmtpTransport::Handles {
    struct Socket {
        int fd = -1;
        ~Socket()
        {
            if (fd >= 0)
                ::close(fd);
        }
    } socket;
    std::unique_ptr<SSL_CTX, ContextFree> context;
    std::function<void()> tlsInfo;
    std::unique_ptr<SSL, SslFree> ssl;

    int fd() const { return socket.fd; }

    void waitFor(short events, const WaitLimit& limit) const
    {
        pollfd entry{fd(), events, 0};
        for (;;) {
            const int ready = ::poll(&entry, 1, int(limit.deadline.remainingTime()));
            if (ready > 0)
                return;
            if (ready == 0)
                fail(SmtpText::timeout(limit.what, limit.timeoutMs / 1000));
            if (errno != EINTR)
                fail(SmtpText::networkError(systemError(errno)));
        }
    }

    // Waits for what an OpenSSL call asked for; false when it was a real error.
    bool waitForTls(int result, const WaitLimit& limit) const
    {
        switch (SSL_get_error(ssl.get(), result)) {
        case SSL_ERROR_WANT_READ:
            waitFor(POLLIN, limit);
            return true;
        case SSL_ERROR_WANT_WRITE:
            waitFor(POLLOUT, limit);
            return true;
        default:
            return false;
        }
    }
};

SmtpTransport::SmtpTransport() = default;
SmtpTransport::~SmtpTransport() = default;

bool SmtpTransport::isOpen() const
{
    return m_handles != nullptr;
}

bool SmtpTransport::isEncrypted() const
{
    return m_handles && m_handles->ssl;
}

void SmtpTransport::close()
{
    m_handles.reset();
    m_pending.clear();
}

void SmtpTransport::connectTo(const QString& host, quint16 port, int timeoutMs,
                              const std::function<void(const QString&)>& status)
{
    close();
    status(SmtpText::statusResolving(host));
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const QByteArray hostName = host.toUtf8();
    const QByteArray service = QByteArray::number(port);
    if (const int rc = ::getaddrinfo(hostName.constData(), service.constData(), &hints, &found); rc != 0)
        fail(SmtpText::hostNotFound(host, QString::fromLocal8Bit(gai_strerror(rc))));
    const std::unique_ptr<addrinfo, AddressesFree> addresses(found);

    QString lastError;
    for (addrinfo* address = addresses.get(); address; address = address->ai_next) {
        auto handles = std::make_unique<Handles>();
        handles->socket.fd =
            ::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, address->ai_protocol);
        if (handles->fd() < 0) {
            lastError = systemError(errno);
            continue;
        }
        status(SmtpText::statusConnecting(host, port));
        if (::connect(handles->fd(), address->ai_addr, address->ai_addrlen) != 0 && errno != EINPROGRESS) {
            lastError = systemError(errno);
            continue;
        }
        pollfd entry{handles->fd(), POLLOUT, 0};
        int ready = 0;
        do {
            ready = ::poll(&entry, 1, timeoutMs);
        } while (ready < 0 && errno == EINTR);
        if (ready == 0) {
            lastError = SmtpText::connectTimeoutReason();
            continue;
        }
        int error = 0;
        socklen_t length = sizeof error;
        if (ready < 0 || ::getsockopt(handles->fd(), SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
            lastError = systemError(error ? error : errno);
            continue;
        }
        m_handles = std::move(handles);
        status(SmtpText::status(SmtpText::Status::Connected));
        return;
    }
    fail(SmtpText::cannotConnect(host, port, lastError));
}

void SmtpTransport::startTls(const QString& host, const QString& caFile, const std::function<void()>& tlsInfo,
                             const WaitLimit& limit)
{
    if (!m_handles)
        fail(SmtpText::notConnected());
    Handles& h = *m_handles;
    h.context.reset(SSL_CTX_new(TLS_client_method()));
    if (!h.context)
        fail(SmtpText::tlsFailed(openSslError()));
    SSL_CTX_set_min_proto_version(h.context.get(), TLS1_2_VERSION);
    SSL_CTX_set_verify(h.context.get(), SSL_VERIFY_PEER, nullptr);
    const bool trusted = caFile.isEmpty()
        ? SSL_CTX_set_default_verify_paths(h.context.get()) == 1
        : SSL_CTX_load_verify_locations(h.context.get(), QFile::encodeName(caFile).constData(), nullptr) == 1;
    if (!trusted)
        fail(SmtpText::trustStoreUnusable(openSslError()));
    h.tlsInfo = tlsInfo;
    SSL_CTX_set_app_data(h.context.get(), &h);
    SSL_CTX_set_info_callback(h.context.get(), [](const SSL* ssl, int, int) {
        const auto* handles = static_cast<const Handles*>(SSL_CTX_get_app_data(SSL_get_SSL_CTX(ssl)));
        if (handles->tlsInfo)
            handles->tlsInfo();
    });
    h.ssl.reset(SSL_new(h.context.get()));
    BIO* bio = h.ssl ? BIO_new(noSignalSocketMethod()) : nullptr;
    if (!bio)
        fail(SmtpText::tlsFailed(openSslError()));
    BIO_set_data(bio, &h.socket.fd);
    SSL_set_bio(h.ssl.get(), bio, bio); // the SSL object owns the BIO from here

    const QByteArray name = host.toUtf8();
    unsigned char literal[16];
    const bool ipLiteral =
        ::inet_pton(AF_INET, name.constData(), literal) == 1 || ::inet_pton(AF_INET6, name.constData(), literal) == 1;
    if (ipLiteral) {
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(h.ssl.get()), name.constData());
    } else {
        SSL_set_tlsext_host_name(h.ssl.get(), name.constData()); // SNI
        SSL_set1_host(h.ssl.get(), name.constData());
    }
    m_pending.clear(); // nothing sent before the handshake may be read after it

    for (;;) {
        const int result = SSL_connect(h.ssl.get());
        if (result == 1)
            return;
        if (h.waitForTls(result, limit))
            continue;
        const long verify = SSL_get_verify_result(h.ssl.get());
        if (verify != X509_V_OK)
            fail(SmtpText::certificateUnverifiable(QString::fromLatin1(X509_verify_cert_error_string(verify))));
        // The peer's end of the connection, with nothing from the TLS
        // library to say: the server hung up.
        const int error = SSL_get_error(h.ssl.get(), result);
        if ((error == SSL_ERROR_ZERO_RETURN || error == SSL_ERROR_SYSCALL) && ERR_peek_error() == 0)
            fail(SmtpText::closedDuringHandshake());
        fail(SmtpText::tlsFailed(openSslError()));
    }
}

void SmtpTransport::write(const char* data, qsizetype size, int stallTimeoutMs)
{
    if (!m_handles)
        fail(SmtpText::notConnected());
    Handles& h = *m_handles;
    qsizetype written = 0;
    while (written < size) {
        const WaitLimit limit(stallTimeoutMs, SmtpText::Wait::Sending); // each stall, not the whole write
        const int chunk = int(std::min<qsizetype>(size - written, 1 << 20));
        if (h.ssl) {
            errno = 0;
            const int result = SSL_write(h.ssl.get(), data + written, chunk);
            if (result <= 0) {
                const int error = errno;
                if (h.waitForTls(result, limit))
                    continue;
                const QString tls = openSslError();
                fail(SmtpText::brokenWhileSending(error != 0 ? systemError(error) : tls));
            }
            written += result;
        } else {
            const ssize_t result = ::send(h.fd(), data + written, size_t(chunk), MSG_NOSIGNAL);
            if (result < 0) {
                if (wouldBlock(errno)) {
                    h.waitFor(POLLOUT, limit);
                    continue;
                }
                fail(SmtpText::brokenWhileSending(systemError(errno)));
            }
            written += result;
        }
    }
}

QByteArray SmtpTransport::readLine(const WaitLimit& limit, qsizetype maxBytes)
{
    if (!m_handles)
        fail(SmtpText::notConnected());
    Handles& h = *m_handles;
    qsizetype searched = 0;
    for (;;) {
        const qsizetype end = m_pending.indexOf('\n', searched);
        if (end >= 0) {
            if (end + 1 > maxBytes)
                fail(SmtpText::replyTooLong(int(maxBytes)));
            QByteArray line = m_pending.left(end + 1);
            m_pending.remove(0, end + 1);
            return line;
        }
        searched = m_pending.size();
        if (m_pending.size() > maxBytes)
            fail(SmtpText::replyTooLong(int(maxBytes))); // never keep more than one over-long line
        char buffer[4096];
        if (h.ssl) {
            const int result = SSL_read(h.ssl.get(), buffer, sizeof buffer);
            if (result <= 0) {
                if (h.waitForTls(result, limit))
                    continue;
                ERR_clear_error();
                fail(SmtpText::closedByServer());
            }
            m_pending.append(buffer, result);
        } else {
            const ssize_t result = ::recv(h.fd(), buffer, sizeof buffer, 0);
            if (result == 0)
                fail(SmtpText::closedByServer());
            if (result < 0) {
                if (wouldBlock(errno)) {
                    h.waitFor(POLLIN, limit);
                    continue;
                }
                fail(SmtpText::networkError(systemError(errno)));
            }
            m_pending.append(buffer, result);
        }
    }
}
