#include "app/ErrorReport.h"

#include "model/Error.h"
#include "model/UserMessages.h"

QString withClosingFullStop(const QString& text)
{
    if (!text.isEmpty() && text.back().unicode() > u'.')
        return text + u'.';
    return text;
}

void reportGeneralError(UserMessages& messages, const QString& text)
{
    messages.show(withClosingFullStop(text), QStringLiteral("Kelmir"), UserMessages::Icon::Error,
                  UserMessages::Buttons::Ok);
}

void reportGeneralError(UserMessages& messages, const std::exception& error)
{
    if (const auto* own = dynamic_cast<const Error*>(&error))
        reportGeneralError(messages, own->message());
    else
        reportGeneralError(messages, QString::fromUtf8(error.what()));
}

void reportDatabaseError(UserMessages& messages, const QString& text)
{
    messages.show(text, sqlErrorCaption, UserMessages::Icon::Warning, UserMessages::Buttons::Ok);
}
