#pragma once

#include "export/MailMessage.h"

// The month's dispatch mail: the organisation's name as sender and
// organization, the recipients of the settings, the month in the subject,
// the fixed three-line text and the XML file attached.
struct DispatchDetails {
    QString county;      // CurrentSettings.Megye
    QString recipients;  // CurrentSettings.Cel, comma separated
    QString monthName;   // SelectedMonthName
    QString senderMailbox;
    QString mailAgent;
    QString attachmentName;
    QByteArray attachment;
};

// Throws ExportError when the recipients text is empty or unsafe.
MailMessage buildDispatchMail(const DispatchDetails& details);
