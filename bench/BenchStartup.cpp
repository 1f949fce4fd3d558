// Start-up of the real program in the current directory until the main
// window is shown and exposed, then exit. bench/run starts it repeatedly and
// reports the median wall time and peak memory of the whole process.

#include "app/Application.h"
#include "app/DesktopViewer.h"
#include "app/MainWindow.h"
#include "app/QtMessages.h"
#include "model/Clock.h"
#include "store/DataModule.h"

#include <QTest>

int main(int argc, char** argv)
{
    KelmirApplication app(argc, argv);
    QtMessages messages;
    SystemClock clock;
    DesktopViewer viewer;
    DataModule dm;
    MainWindow window(dm, messages, clock, viewer);
    if (!window.FormCreate())
        return 1;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 2;
    window.close();
    return 0;
}
