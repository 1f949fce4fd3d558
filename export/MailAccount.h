#pragma once

#include "export/SmtpClient.h"

// The submission account the dispatch mail goes through: the server and
// its trust store, the sender mailbox (which is also the login name), its
// password, and the mail agent named in X-Mailer. It is the program's own,
// never taken from the settings.
struct MailAccount : SmtpSettings {
    QString agent;

    // The values built into the program at configure time.
    static MailAccount builtIn();
};
