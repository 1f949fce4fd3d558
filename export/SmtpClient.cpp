#include "export/SmtpClient.h"

#include "export/ExportError.h"
#include "export/SmtpTexts.h"

#include <QRegularExpression>
#include <QScopeGuard>

#include <cstring>

namespace {

[[noreturn]] void fail(const QString& text)
{
    throw ExportError(text);
}

[[noreturn]] void refused(const QString& serverText)
{
    fail(SmtpText::excerpt(serverText));
}

// The message on its way after DATA: a line beginning with "." gets a second
// one (RFC 5321 transparency), the end is marked by a line holding only ".",
// and the transport is written in large pieces whatever the pieces given.
class DataStream {
public:
    DataStream(SmtpTransport& transport, int stallTimeoutMs, const std::function<void(qint64)>& progress)
        : m_transport(transport)
        , m_stallTimeoutMs(stallTimeoutMs)
        , m_progress(progress)
    {
        m_buffer.reserve(bufferSize + 1024);
    }

    void put(const char* data, qsizetype size)
    {
        qsizetype runStart = 0;
        for (qsizetype i = 0; i < size;) {
            if (m_atLineStart && data[i] == '.') {
                append(data + runStart, i - runStart);
                append(".", 1);
                runStart = i;
            }
            const void* lineEnd = std::memchr(data + i, '\n', size_t(size - i));
            if (!lineEnd) {
                m_atLineStart = false;
                break;
            }
            i = static_cast<const char*>(lineEnd) - data + 1;
            m_atLineStart = true;
        }
        append(data + runStart, size - runStart);
        m_consumed += size;
        if (size >= 2)
            m_lastTwo = quint16(quint8(data[size - 2]) << 8 | quint8(data[size - 1]));
        else if (size == 1)
            m_lastTwo = quint16(m_lastTwo << 8 | quint8(data[0]));
    }

    void finish()
    {
        if (m_consumed > 0 && m_lastTwo != ('\r' << 8 | '\n'))
            append("\r\n", 2);
        append(".\r\n", 3);
        flush();
    }

private:
    static constexpr qsizetype bufferSize = 256 * 1024;

    void append(const char* data, qsizetype size)
    {
        m_buffer.append(data, size);
        if (m_buffer.size() >= bufferSize)
            flush();
    }

    void flush()
    {
        m_transport.write(m_buffer.constData(), m_buffer.size(), m_stallTimeoutMs);
        m_buffer.clear();
        if (m_progress)
            m_progress(m_consumed);
    }

    SmtpTransport& m_transport;
    int m_stallTimeoutMs;
    const std::function<void(qint64)>& m_progress;
    QByteArray m_buffer;
    bool m_atLineStart = true;
    quint16 m_lastTwo = 0;
    qint64 m_consumed = 0;
};

} // namespace

QString SmtpClient::Reply::text() const
{
    return lines.join(u'\n');
}

SmtpClient::SmtpClient(SmtpSettings settings, Observer observer)
    : m_settings(std::move(settings))
    , m_observer(std::move(observer))
{
}

void SmtpClient::report(const QString& status) const
{
    if (m_observer.status)
        m_observer.status(status);
}

SmtpClient::Reply SmtpClient::readReply(int timeoutMs, SmtpText::Wait what)
{
    // Whatever ends a reply early leaves the two sides out of step: what
    // comes next would be read as the answer to the next command.
    auto outOfStep = qScopeGuard([this] { m_transport.close(); });
    // One limit for the whole reply: a server that keeps a multi-line reply
    // going, or dribbles it, is cut off like a silent one.
    const WaitLimit limit(timeoutMs, what);
    Reply reply;
    qsizetype total = 0;
    for (;;) {
        QByteArray line = m_transport.readLine(limit, maxReplyLine);
        total += line.size();
        if (total > maxReply)
            fail(SmtpText::replyTooLong(int(maxReply)));
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        bool ok = false;
        const int code = line.left(3).toInt(&ok);
        if (!ok || line.size() < 3)
            fail(SmtpText::unintelligibleReply(SmtpText::excerpt(QString::fromUtf8(line))));
        reply.code = code;
        reply.lines << QString::fromUtf8(line);
        if (line.size() == 3 || line[3] != '-') {
            outOfStep.dismiss();
            return reply;
        }
    }
}

SmtpClient::Reply SmtpClient::command(const QByteArray& line)
{
    if (!m_transport.isOpen())
        fail(SmtpText::notConnected());
    const QByteArray wire = line + "\r\n";
    auto broken = qScopeGuard([this] { m_transport.close(); });
    m_transport.write(wire.constData(), wire.size(), m_settings.replyTimeoutMs);
    broken.dismiss();
    return readReply();
}

SmtpClient::Reply SmtpClient::expect(const QByteArray& line, std::initializer_list<int> accepted)
{
    Reply reply = command(line);
    if (std::find(accepted.begin(), accepted.end(), reply.code) == accepted.end())
        refused(reply.text());
    return reply;
}

void SmtpClient::resetQuietly()
{
    try {
        command("RSET");
    } catch (const ExportError&) {
        // The refusal that led here is the error the user must see.
    }
}

void SmtpClient::connectToServer()
{
    disconnect();
    m_transport.connectTo(m_settings.host, m_settings.port, m_settings.connectTimeoutMs,
                          [this](const QString& status) { report(status); });
    try {
        const Reply greeting = readReply();
        if (greeting.code != 220)
            refused(greeting.text());
        introduce();
    } catch (...) {
        m_transport.close(); // closed without QUIT
        throw;
    }
}

void SmtpClient::introduce()
{
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

bool SmtpClient::offers(const QString& capability) const
{
    for (const QString& line : m_capabilities) {
        if (line.compare(capability, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool SmtpClient::offersLogin() const
{
    static const QRegularExpression separators(QStringLiteral("[ =]"));
    for (const QString& line : m_capabilities) {
        if (!line.startsWith(QStringLiteral("AUTH"), Qt::CaseInsensitive) || line.size() < 5
            || (line[4] != u' ' && line[4] != u'='))
            continue;
        for (const QString& mechanism : line.mid(5).split(separators, Qt::SkipEmptyParts)) {
            if (mechanism.compare(QStringLiteral("LOGIN"), Qt::CaseInsensitive) == 0)
                return true;
        }
    }
    return false;
}

void SmtpClient::startTls()
{
    expect("STARTTLS", {220});
    report(SmtpText::status(SmtpText::Status::StartingTls));
    m_transport.startTls(m_settings.host, m_settings.caFile, m_observer.tlsInfo,
                         WaitLimit(m_settings.replyTimeoutMs, SmtpText::Wait::Handshake));
    report(SmtpText::status(SmtpText::Status::TlsReady));
    introduce();
}

void SmtpClient::authenticate()
{
    if (!offersLogin() || m_settings.user.isEmpty())
        return;
    report(SmtpText::status(SmtpText::Status::Authenticating));
    expect("AUTH LOGIN", {334});
    const Reply name = expect(m_settings.user.toUtf8().toBase64(), {334, 235});
    if (name.code == 334)
        expect(m_settings.password.toUtf8().toBase64(), {235});
    m_authenticated = true;
}

void SmtpClient::send(const QString& sender, const QStringList& recipients, const QByteArray& message)
{
    send(sender, recipients, [&message](const Sink& sink) { sink(message.constData(), message.size()); });
}

void SmtpClient::send(const QString& sender, const QStringList& recipients, const MessageWriter& message)
{
    if (!m_transport.isOpen())
        fail(SmtpText::notConnected());
    if (!m_authenticated) {
        if (!m_transport.isEncrypted() && offers(QStringLiteral("STARTTLS"))) {
            try {
                startTls();
            } catch (...) {
                m_transport.close();
                throw;
            }
        }
        // Never the password in clear text, whatever the server asks. A
        // server offering only mechanisms the client does not speak gets
        // no password at all, and the mail goes unauthenticated.
        if (!m_transport.isEncrypted() && offersLogin() && !m_settings.user.isEmpty())
            fail(SmtpText::authenticationNeedsEncryption());
        authenticate();
    }
    command("RSET");
    expect("MAIL FROM: <" + sender.trimmed().toUtf8() + ">", {250});
    for (const QString& recipient : recipients) {
        const Reply reply = command("RCPT TO:<" + recipient.toUtf8() + ">");
        if (reply.code != 250 && reply.code != 251) {
            resetQuietly();
            refused(reply.text());
        }
    }
    const Reply data = command("DATA");
    if (data.code != 354) {
        resetQuietly();
        refused(data.text());
    }
    transmit(message);
    if (m_observer.awaitingAcceptance)
        m_observer.awaitingAcceptance();
    Reply accepted;
    try {
        accepted = readReply(m_settings.acceptanceTimeoutMs, SmtpText::Wait::Acceptance);
    } catch (const ExportError& error) {
        fail(SmtpText::acceptanceUnknown(error.message()));
    }
    if (accepted.code != 250) {
        resetQuietly();
        refused(accepted.text());
    }
}

void SmtpClient::transmit(const MessageWriter& message)
{
    report(SmtpText::status(SmtpText::Status::SendingMessage));
    // A message cut short (the connection broke, the composer failed)
    // cannot be ended or taken back on this connection.
    auto broken = qScopeGuard([this] { m_transport.close(); });
    DataStream stream(m_transport, m_settings.replyTimeoutMs, m_observer.messageBytesWritten);
    message([&stream](const char* data, qsizetype size) { stream.put(data, size); });
    stream.finish();
    broken.dismiss();
    report(SmtpText::status(SmtpText::Status::AwaitingAcceptance));
}

void SmtpClient::disconnect()
{
    if (m_transport.isOpen()) {
        try {
            command("QUIT");
        } catch (const ExportError&) {
            // The connection closes below whatever QUIT met.
        }
    }
    m_transport.close();
    m_authenticated = false;
    m_capabilities.clear();
    report(SmtpText::status(SmtpText::Status::Disconnected));
}
