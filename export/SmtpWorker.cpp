#include "export/SmtpWorker.h"

#include "export/ExportError.h"
#include "export/SmtpTexts.h"

namespace {

// Runs one step of the dialogue; what it throws becomes the text to tell.
template <typename Step>
QString attempt(Step&& step)
{
    try {
        step();
    } catch (const ExportError& error) {
        return error.message();
    } catch (const std::exception& error) {
        return SmtpText::unexpected(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        return SmtpText::unexpected(QString());
    }
    return {};
}

} // namespace

SmtpWorker::SmtpWorker(MailAccount account, QStringList recipients, SmtpClient::MessageWriter message)
    : m_account(std::move(account))
    , m_recipients(std::move(recipients))
    , m_message(std::move(message))
{
}

void SmtpWorker::run()
{
    SmtpClient::Observer observer;
    observer.status = [this](const QString&) { emit advanced(1); };
    observer.tlsInfo = [this] { emit advanced(50); };
    observer.messageBytesWritten = [this](qint64 bytes) { emit bytesWritten(bytes); };
    observer.awaitingAcceptance = [this] { emit awaitingAcceptance(); };
    SmtpClient client(m_account, observer);
    const QString connectError = attempt([&] { client.connectToServer(); });
    emit advanced(1);
    // Fails at once without a connection, as the user's second box says.
    const QString sendError = attempt([&] { client.send(m_account.user, m_recipients, m_message); });
    emit advanced(1);
    attempt([&] { client.disconnect(); }); // a failed QUIT is caught inside; the socket always closes
    emit done(connectError, sendError);
}
