#include "export/MonthDispatch.h"

#include "export/AdoXmlWriter.h"
#include "export/DispatchMail.h"
#include "export/ExportError.h"
#include "export/RandomSource.h"
#include "export/SmtpWorker.h"
#include "store/ExportTable.h"
#include "store/Query.h"

#include <QFileInfo>
#include <QScopeGuard>

MonthDispatch::MonthDispatch(Connection& connection, Query& rows, QObject* parent)
    : QObject(parent)
    , m_connection(connection)
    , m_rows(rows)
{
    m_thread.setObjectName(QStringLiteral("SMTP"));
}

MonthDispatch::~MonthDispatch()
{
    m_thread.quit();
    m_thread.wait();
}

void MonthDispatch::start(const MonthExport& month, const QString& recipientsText, const MailAccount& defaults,
                          const QDateTime& now)
{
    m_busy = true;
    auto notBusy = qScopeGuard([this] { m_busy = false; }); // an error thrown from here ends the send
    MailAccount account;
    QStringList recipients;
    QString path;
    QByteArray xml;
    DispatchOutcome::Stage stage = DispatchOutcome::Stage::Account;
    try {
        account = MailAccount::configured(defaults, m_accountFiles);
        stage = DispatchOutcome::Stage::Recipients;
        recipients = parseRecipients(recipientsText); // no header or command is made of what the settings hold
        stage = DispatchOutcome::Stage::Saving;
        path = saveAttachment(month, xml); // nothing is sent without its attachment
    } catch (const ExportError& error) {
        end(stage, error.message());
        return;
    }
    sendOnWorker(account, recipients, dispatchMail(month, recipients, account, path, xml), now);
    notBusy.dismiss();
}

QString MonthDispatch::saveAttachment(const MonthExport& month, QByteArray& xml)
{
    BuildExportTable(m_connection, m_rows, month.county, month.countyName, month.year, month.month);
    const QString path = month.filePath(QStringLiteral("xml"), QStringLiteral("xml"));
    xml = AdoXml::document(m_rows);
    AdoXml::saveFile(xml, path);
    return path;
}

MailMessage MonthDispatch::dispatchMail(const MonthExport& month, const QStringList& recipients,
                                        const MailAccount& account, const QString& attachmentPath,
                                        const QByteArray& xml) const
{
    DispatchDetails details;
    details.county = month.countyName;
    details.recipients = recipients;
    details.monthName = month.monthName;
    details.senderMailbox = account.user;
    details.mailAgent = account.agent;
    details.attachmentName = QFileInfo(attachmentPath).fileName();
    details.attachment = xml; // shared, not copied
    return buildDispatchMail(details);
}

void MonthDispatch::sendOnWorker(const MailAccount& account, const QStringList& recipients, const MailMessage& mail,
                                 const QDateTime& now)
{
    SystemRandom systemRandom;
    const QByteArray boundary = mime::boundary(m_random ? *m_random : systemRandom);
    emit messageMeasured(messageSize(mail, now, boundary));
    auto* worker = new SmtpWorker(
        account, recipients, m_composer ? m_composer : [mail, now, boundary](const SmtpClient::Sink& sink) {
            writeMessage(mail, now, boundary, sink);
        });
    worker->moveToThread(&m_thread);
    connect(worker, &SmtpWorker::advanced, this, &MonthDispatch::advanced);
    connect(worker, &SmtpWorker::bytesWritten, this, &MonthDispatch::bytesWritten);
    connect(worker, &SmtpWorker::awaitingAcceptance, this, &MonthDispatch::awaitingAcceptance);
    connect(worker, &SmtpWorker::done, this, [this, worker](const QString& connectError, const QString& sendError) {
        worker->deleteLater();
        if (!connectError.isEmpty())
            end(DispatchOutcome::Stage::Connecting, connectError);
        else if (!sendError.isEmpty())
            end(DispatchOutcome::Stage::Sending, sendError);
        else
            end(DispatchOutcome::Stage::Delivered);
    });
    if (!m_thread.isRunning())
        m_thread.start();
    QMetaObject::invokeMethod(worker, &SmtpWorker::run, Qt::QueuedConnection);
}

void MonthDispatch::end(DispatchOutcome::Stage stage, const QString& message)
{
    m_busy = false;
    emit finished({stage, message});
}
