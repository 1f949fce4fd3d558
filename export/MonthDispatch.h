#pragma once

#include "export/MailAccount.h"
#include "export/MonthExport.h"

#include <QDateTime>
#include <QObject>
#include <QThread>

class Connection;
class Query;
class RandomSource;
struct MailMessage;

// What a send met: the stage where it stopped and what went wrong there.
struct DispatchOutcome {
    enum class Stage {
        Delivered,
        Account,    // the mail account files could not be used: nothing written, nothing sent
        Recipients, // the recipients could not be used: nothing written, nothing sent
        Saving,     // the XML file could not be written: nothing sent
        Connecting, // the server could not be reached: nothing sent
        Sending,    // the dialogue failed after the connection
    };
    Stage stage = Stage::Delivered;
    QString message; // empty when delivered
    bool failed() const { return stage != Stage::Delivered; }
};
Q_DECLARE_METATYPE(DispatchOutcome)

// Send a month: the mail account files are read over the account's values
// and the recipients checked first (nothing is touched for a refusal), the
// export table is built into rows (the export's query), saved as XML under
// xml/ (made when missing) and attached, once, to the dispatch mail, whose
// length is told for the gauge. The mail dialogue then runs on a worker
// thread and finished() tells the outcome; the window keeps answering
// meanwhile.
//
//   MonthDispatch dispatch(dm.datacore, dm.aq_toExcel);
//   connect(&dispatch, &MonthDispatch::finished, …);
//   dispatch.start(month, "cel@example.hu", MailAccount::builtIn(), clock.now());   // throws DatabaseError
class MonthDispatch : public QObject {
    Q_OBJECT
public:
    MonthDispatch(Connection& connection, Query& rows, QObject* parent = nullptr);
    ~MonthDispatch() override; // waits for a send on its way

    // account: the built-in values, which the mail account files override.
    void start(const MonthExport& month, const QString& recipients, const MailAccount& account, const QDateTime& now);
    bool busy() const { return m_busy; }
    // The boundary's random source, and the mail account files; tests set them.
    void setRandomSource(RandomSource* random) { m_random = random; }
    void setAccountFiles(QStringList files) { m_accountFiles = std::move(files); }
    // What writes the message on the wire, in place of the dispatch mail;
    // tests give one that fails.
    void setComposer(SmtpClient::MessageWriter composer) { m_composer = std::move(composer); }

signals:
    void messageMeasured(qint64 bytes); // the whole message's length
    void advanced(int steps);
    void bytesWritten(qint64 bytes);
    void awaitingAcceptance(); // the message is out, the server's answer not yet in
    void finished(const DispatchOutcome& outcome);

private:
    // The XML attachment of the month, saved; its file's path.
    QString saveAttachment(const MonthExport& month, QByteArray& xml);
    MailMessage dispatchMail(const MonthExport& month, const QStringList& recipients, const MailAccount& account,
                             const QString& attachmentPath, const QByteArray& xml) const;
    void sendOnWorker(const MailAccount& account, const QStringList& recipients, const MailMessage& mail,
                      const QDateTime& now);
    void end(DispatchOutcome::Stage stage, const QString& message = {});

    Connection& m_connection;
    Query& m_rows;
    QThread m_thread;
    RandomSource* m_random = nullptr;
    QStringList m_accountFiles = MailAccount::filePaths();
    SmtpClient::MessageWriter m_composer;
    bool m_busy = false;
};
