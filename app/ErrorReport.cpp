#include "app/ErrorReport.h"

#include "model/UserMessages.h"
#include "store/DatabaseError.h"
#include "store/Statement.h"

void reportGeneralError(UserMessages& messages, const QString& text)
{
    messages.show(withClosingFullStop(text), QStringLiteral("Kelmir"), UserMessages::Icon::Error,
                  UserMessages::Buttons::Ok);
}

void reportGeneralError(UserMessages& messages, const std::exception& error)
{
    if (const auto* database = dynamic_cast<const DatabaseError*>(&error))
        reportGeneralError(messages, database->message());
    else
        reportGeneralError(messages, QString::fromUtf8(error.what()));
}
