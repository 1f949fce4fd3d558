#include "app/Shell.h"

#include "model/Base.h"
#include "model/UserMessages.h"

bool countyChosen(const AppContext& context, const QString& refusal)
{
    if (context.base.CurrentSettings.megye_kod != 0)
        return true;
    context.messages.show(refusal, QStringLiteral("Hiányos adatok!"), UserMessages::Icon::Warning,
                          UserMessages::Buttons::Ok);
    return false;
}
