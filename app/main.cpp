#include "app/Application.h"
#include "app/DesktopViewer.h"
#include "app/ErrorReport.h"
#include "app/MainWindow.h"
#include "app/QtMessages.h"
#include "app/WorkingFolder.h"
#include "model/Clock.h"
#include "store/DataModule.h"

#include <sys/prctl.h>
#include <sys/resource.h>

namespace {

// The settings' and the mail account's passwords live in this process's
// memory: no core dump may carry them to the disk.
void disableCoreDumps()
{
    const rlimit none{0, 0};
    ::setrlimit(RLIMIT_CORE, &none);
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
}

// The folder the kelmir command asks the program to prepare and work in:
// "--working-folder FOLDER" ahead of any other argument.
QString requestedWorkingFolder(const QStringList& arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--working-folder"));
    return at > 0 && at + 1 < arguments.size() ? arguments[at + 1] : QString();
}

} // namespace

int main(int argc, char** argv)
{
    disableCoreDumps();
    KelmirApplication app(argc, argv);
    QtMessages messages;
    app.setErrorMessages(&messages);
    const QString folder = requestedWorkingFolder(app.arguments());
    if (!folder.isEmpty() && !prepareWorkingFolder(folder, messages))
        return 1;
    SystemClock clock;
    DesktopViewer viewer;

    DataModule dm;
    MainWindow window(dm, messages, clock, viewer);
    bool started = false;
    if (!runAction(messages, [&] { started = window.FormCreate(); }) || !started) {
        dm.CloseDatabase();
        return 1;
    }
    window.showInsideScreen();
    return app.exec();
}
