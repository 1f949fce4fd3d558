#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class RandomSource;

// The dispatch mail as an Internet message: multipart/mixed with the base64
// attachments first and the quoted-printable text part after them;
// non-ASCII header text as RFC 2047 UTF-8 "B" encoded words; lines folded at
// 78 characters; CR LF line ends. The message is written in pieces to a
// sink, so it is never held whole in memory: measuring it and sending it
// write it twice with the same boundary.
//
//   MailMessage mail;
//   mail.fromName = "…"; mail.fromAddress = "a@b.hu"; mail.to = {"c@d.hu"};
//   const QByteArray boundary = mime::boundary(random);
//   const qint64 size = messageSize(mail, now, boundary);
//   writeMessage(mail, now, boundary, [&](const char* data, qsizetype n) { … });
struct MailMessage {
    QString fromName;
    QString fromAddress;
    QString replyTo;
    QStringList to;
    QString subject;
    QString organization;
    QString mailer;
    QStringList bodyLines;
    struct Attachment {
        QString fileName;
        QByteArray data;
    };
    QList<Attachment> attachments;
};

using ByteSink = std::function<void(const char* data, qsizetype size)>;

void writeMessage(const MailMessage& mail, const QDateTime& now, const QByteArray& boundary, const ByteSink& sink);
// The length in bytes of what writeMessage writes.
qint64 messageSize(const MailMessage& mail, const QDateTime& now, const QByteArray& boundary);
// The whole message in memory, with a boundary drawn from random.
QByteArray composeMessage(const MailMessage& mail, const QDateTime& now, RandomSource& random);

// Every recipient must be a plain ASCII address of at most 254 characters:
// local part (letters, digits, and ! # $ % & ' * + - / = ? ^ _ ` { | } ~,
// dot-separated), "@", and a domain of letters, digits and hyphens between
// dots.
constexpr qsizetype maxAddressLength = 254;
bool isPlainAddress(const QString& address);

// The recipients of a "To" text: split at commas, blanks around them
// trimmed, empty pieces dropped. Throws ExportError when nothing is left or
// a piece is not a plain address.
QStringList parseRecipients(const QString& text);

namespace mime {

// Text for a header: as it is when printable ASCII, else with the words
// that need it as encoded words.
QByteArray headerText(const QString& text);
// A parameter value (a file name): as it is, or wholly as encoded words.
QByteArray parameterText(const QString& text);
// A display name: quoted when printable ASCII, else encoded words.
QByteArray displayName(const QString& name);
// RFC 5322 date-time with the local offset: "Tue, 15 Sep 2020 14:30:05 +0200".
QByteArray dateTime(const QDateTime& when);
// 34 letters and digits with "=_" at a random place, never at either end.
QByteArray boundary(RandomSource& random);
// A header line folded at blanks, tabs or commas to at most 78 characters
// where it can be; a word longer than that stays whole on its own line.
QByteArray fold(const QByteArray& line);
// Quoted-printable body text (RFC 2045), CR LF line ends.
QByteArray quotedPrintable(const QByteArray& text);
// Base64 in lines of 76 characters, CR LF line ends, written to sink in
// pieces of a bounded size.
void writeBase64Lines(const QByteArray& data, const ByteSink& sink);
qint64 base64LinesSize(qint64 dataSize);

} // namespace mime
