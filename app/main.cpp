#include "app/Application.h"
#include "app/DesktopViewer.h"
#include "app/ErrorReport.h"
#include "app/MainWindow.h"
#include "app/QtMessages.h"
#include "model/Clock.h"
#include "store/DataModule.h"

#include <QScreen>

int main(int argc, char** argv)
{
    KelmirApplication app(argc, argv);
    QtMessages messages;
    app.setErrorMessages(&messages);
    SystemClock clock;
    DesktopViewer viewer;

    Tdm dm;
    TfrmMain window(dm, messages, clock, viewer);
    bool started = false;
    if (!runAction(messages, [&] { started = window.FormCreate(); }) || !started) {
        dm.CloseDatabase();
        return 1;
    }
    const QRect screen = window.screen()->availableGeometry();
    window.move(screen.center() - window.rect().center());
    window.show();
    return app.exec();
}
