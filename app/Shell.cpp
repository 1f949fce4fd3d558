#include "app/Shell.h"

#include "model/Base.h"
#include "model/UserMessages.h"

bool mayOpenPanel(const AppContext& context, const QString& what)
{
    if (context.base.CurrentSettings.megye_kod == 0) {
        context.messages.show(what + QStringLiteral(", amig nincsen kiválasztva a Megye! [BEÁLLÍTÁSOK]"),
                              QStringLiteral("Hiányos adatok!"), UserMessages::Icon::Warning,
                              UserMessages::Buttons::Ok);
        return false;
    }
    context.shell.DisableToolbar();
    return true;
}
