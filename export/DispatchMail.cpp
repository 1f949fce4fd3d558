#include "export/DispatchMail.h"

MailMessage buildDispatchMail(const DispatchDetails& details)
{
    MailMessage mail;
    const QString organisation =
        QStringLiteral("Devere Dedizavevide ") + details.county + QStringLiteral(" Megyei Szervezete");
    mail.fromName = organisation;
    mail.fromAddress = details.senderMailbox;
    mail.replyTo = details.senderMailbox;
    mail.to = details.recipients;
    mail.subject = QStringLiteral("Véradónapok: ") + details.monthName;
    mail.organization = organisation;
    mail.mailer = details.mailAgent;
    mail.bodyLines = {QStringLiteral("Ez egy automatikusan generált email, amit a Kelmir program küldött."), QString(),
                      QStringLiteral("Kérlek ne válaszolj rá!")};
    mail.attachments.append({details.attachmentName, details.attachment});
    return mail;
}
