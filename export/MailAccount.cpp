#include "export/MailAccount.h"

#include "export/MailAccountDefaults.h"

MailAccount MailAccount::builtIn()
{
    MailAccount account;
    account.host = QString::fromUtf8(MailAccountDefaults::host);
    account.port = MailAccountDefaults::port;
    account.user = QString::fromUtf8(MailAccountDefaults::sender);
    account.password = QString::fromUtf8(MailAccountDefaults::password);
    account.caFile = QString::fromUtf8(MailAccountDefaults::caFile);
    account.agent = QString::fromUtf8(MailAccountDefaults::mailAgent);
    return account;
}
