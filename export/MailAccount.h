#pragma once

#include "export/SmtpClient.h"

// The submission account the dispatch mail goes through: the server and
// its trust store, the sender mailbox (which is also the login name), its
// password, and the mail agent named in X-Mailer. It is the program's own,
// never taken from the settings.
//
// The values built in at configure time are the defaults; at each send the
// mail account files override them key by key: /etc/kelmir/mail.conf, then
// $XDG_CONFIG_HOME/kelmir/mail.conf (~/.config/kelmir/mail.conf), the later
// winning. Their [mail] section knows host, port, sender, password, ca_file
// (a PEM trust store; empty: the system's) and agent:
//
//   [mail]
//   host = posta.example.hu
//   port = 587
//   sender = veradas@example.hu
//   password = titok
struct MailAccount : SmtpSettings {
    QString agent;

    // The values built into the program at configure time.
    static MailAccount builtIn();
    // The defaults with the files' keys over them. Throws ExportError for a
    // file that cannot be read or is malformed, and for one that holds a
    // password but that every user of the machine may read.
    static MailAccount configured(const MailAccount& defaults, const QStringList& files = filePaths());
    static QStringList filePaths();
};
