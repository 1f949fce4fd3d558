#include "export/MonthDispatch.h"

#include "export/AdoXmlWriter.h"
#include "export/DispatchMail.h"
#include "export/ExportError.h"
#include "export/ExportTable.h"
#include "export/RandomSource.h"
#include "export/SmtpWorker.h"
#include "store/DataModule.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

MonthDispatch::MonthDispatch(Tdm& dm, QObject* parent)
    : QObject(parent)
    , m_dm(dm)
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
    DispatchOutcome outcome;
    MailAccount account;
    try {
        account = MailAccount::configured(defaults, m_accountFiles);
    } catch (const ExportError& error) {
        outcome.accountError = error.message();
        end(outcome);
        return;
    }
    QStringList recipients;
    try {
        // No header or command may be made of what the settings hold.
        recipients = parseRecipients(recipientsText);
    } catch (const ExportError& error) {
        outcome.recipientError = error.message();
        end(outcome);
        return;
    }
    BuildExportTable(m_dm, month.county, month.countyName, month.year, month.month);
    const QString path = month.filePath(QStringLiteral("xml"), QStringLiteral("xml"));
    const QByteArray xml = AdoXml::document(m_dm.aq_toExcel);
    try {
        AdoXml::saveFile(xml, path);
    } catch (const ExportError& error) {
        outcome.saveError = error.message(); // nothing is sent without its attachment
        end(outcome);
        return;
    }

    DispatchDetails details;
    details.county = month.countyName;
    details.recipients = recipients;
    details.monthName = month.monthName;
    details.senderMailbox = account.user;
    details.mailAgent = account.agent;
    details.attachmentName = QFileInfo(path).fileName();
    details.attachment = xml; // shared, not copied
    const MailMessage mail = buildDispatchMail(details);
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
        DispatchOutcome sent;
        sent.connectError = connectError;
        sent.sendError = sendError;
        end(sent);
    });
    if (!m_thread.isRunning())
        m_thread.start();
    QMetaObject::invokeMethod(worker, &SmtpWorker::run, Qt::QueuedConnection);
    notBusy.dismiss();
}

void MonthDispatch::end(const DispatchOutcome& outcome)
{
    m_busy = false;
    emit finished(outcome);
}
