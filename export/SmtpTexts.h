#pragma once

#include <QString>
#include <QStringList>

// Every text the mail client and its transport put into an error, in one
// place, so that each is proper Hungarian and a test can read them all.
namespace SmtpText {

// What the client was waiting for when a time limit passed.
enum class Wait { Connect, Reply, Sending, Handshake, Acceptance };

QString timeout(Wait wait, int seconds);
QString networkError(const QString& systemText);
QString hostNotFound(const QString& host, const QString& systemText);
QString cannotConnect(const QString& host, int port, const QString& reason);
QString connectTimeoutReason();
QString notConnected();
QString closedByServer();
QString brokenWhileSending(const QString& reason);
QString replyTooLong(int limitBytes);
QString unintelligibleReply(const QString& excerpt);
QString trustStoreUnusable(const QString& tlsText);
QString certificateUnverifiable(const QString& tlsText);
QString tlsFailed(const QString& tlsText);
QString unknownTlsError();
QString closedDuringHandshake();
// The message went out whole but its acceptance never came (or the
// connection broke before it): the server may have delivered it.
QString acceptanceUnknown(const QString& reason);
// Anything else that stopped the send (out of memory, say).
QString unexpected(const QString& reason);
QString authenticationNeedsEncryption();
QString statusResolving(const QString& host);
QString statusConnecting(const QString& host, int port);
// The other states of the dialogue, as the gauge's steps report them.
enum class Status {
    Connected,
    StartingTls,
    TlsReady,
    Authenticating,
    SendingMessage,
    AwaitingAcceptance,
    Disconnected
};
QString status(Status status);

// A server's reply text as a box may show it: at most a few lines, each cut
// to a readable length, control characters replaced; the cuts are marked.
QString excerpt(const QString& serverText);

// Every text above, filled with sample values.
QStringList samples();

} // namespace SmtpText
