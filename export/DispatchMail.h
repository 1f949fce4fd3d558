#pragma once

#include "export/MailMessage.h"

// The month's dispatch mail: the organisation's name as sender and
// organization, the recipients of the settings, the month in the subject,
// the fixed three-line text and the XML file attached.
struct DispatchDetails {
    QString county;         // CurrentSettings.Megye
    QStringList recipients; // parsed from CurrentSettings.Cel
    QString monthName;      // SelectedMonthName
    QString senderMailbox;
    QString mailAgent;
    QString attachmentName;
    QByteArray attachment;
};

MailMessage buildDispatchMail(const DispatchDetails& details);
