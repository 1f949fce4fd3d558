#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class RandomSource;

// The dispatch mail as an Internet message: multipart/mixed with a
// quoted-printable text part and base64 attachments; non-ASCII header text
// as RFC 2047 UTF-8 "B" encoded words; lines folded at 78 characters; CR LF
// line ends.
//
//   MailMessage mail;
//   mail.fromName = "…"; mail.fromAddress = "a@b.hu"; mail.to = {"c@d.hu"};
//   QByteArray wire = composeMessage(mail, QDateTime::currentDateTime(), random);
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

// The whole message; a new boundary is drawn from random on every call.
QByteArray composeMessage(const MailMessage& mail, const QDateTime& now, RandomSource& random);

// The recipients of a "To" text: split at commas, blanks trimmed, empty
// pieces dropped. Throws ExportError when nothing is left or an address
// holds a control character (CR and LF included) or a blank.
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
// A header line folded at blanks, tabs or commas to at most 78 characters.
QByteArray fold(const QByteArray& line);
// Quoted-printable body text (RFC 2045), CR LF line ends.
QByteArray quotedPrintable(const QByteArray& text);
// Base64 in lines of 76 characters, CR LF line ends.
QByteArray base64Lines(const QByteArray& data);
// Transparency on the wire: a line beginning with "." gets a second one.
QByteArray dotStuffed(const QByteArray& message);

} // namespace mime
