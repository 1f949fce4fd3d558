// The round trips to the server each of the user's actions makes, counted
// by the link between the real program and the server (a connection's own
// set-up included), and the time each takes over a link with a 20 ms round
// trip.
//
//   bench-trips SOCKET DATABASE   (a database written by kelmir-newdb)

#include "app/Application.h"
#include "app/MainWindow.h"
#include "bench/BenchSupport.h"
#include "export/WorkbookViewer.h"
#include "model/Clock.h"
#include "store/Connection.h"
#include "store/DataModule.h"
#include "store/DatabaseTarget.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <functional>

namespace {

class NoViewer final : public WorkbookViewer {
public:
    bool show(const QString&) override { return true; }
};

} // namespace

int main(int argc, char** argv)
{
    KelmirApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench-trips SOCKET DATABASE\n");
        return 2;
    }
    try {
        bench::Link link(QString::fromLocal8Bit(argv[1]), 10);
        const QString uri =
            QStringLiteral("postgresql://kelmir@127.0.0.1:%1/%2").arg(link.port()).arg(QString::fromUtf8(argv[2]));
        {
            Connection arranging;
            arranging.open(uri);
            arranging.execute(QStringLiteral(
                "DELETE FROM at_settings; INSERT INTO at_settings (megye_kod, cel) VALUES (4, 'cel@example.hu'); "
                "INSERT INTO at_helyszinek (deleted, telepules_kod, cim, helyszin) SELECT 0, id, 'Fő utca 1.', "
                "'Művelődési Ház' FROM at_telepulesek WHERE megye_kod = 4 ORDER BY id LIMIT 40;"));
        }
        qputenv(DatabaseTarget::environmentVariable, uri.toUtf8());
        link.trips();

        bench::PrintedMessages messages;
        SystemClock clock;
        NoViewer viewer;
        DataModule dm;
        MainWindow window(dm, messages, clock, viewer);
        auto find = [&](const char* name) { return window.findChild<QWidget*>(QString::fromLatin1(name)); };
        auto click = [&](const char* name) { QTest::mouseClick(find(name), Qt::LeftButton); };
        auto choose = [&](const char* name, int index) { static_cast<QComboBox*>(find(name))->setCurrentIndex(index); };
        auto count = [&](const char* action, const std::function<void()>& steps) {
            const auto start = std::chrono::steady_clock::now();
            steps();
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            std::printf("  %-44s %3d round trips %7.0f ms\n", action, link.trips(), ms);
        };
        std::printf("round trips to the server over a 20 ms link, by action\n");
        count("start-up to the shown window", [&] {
            if (!window.FormCreate())
                throw std::runtime_error("start-up failed");
            window.show();
            QTest::qWaitForWindowExposed(&window);
        });
        count("open the locations panel", [&] { click("btnEditHelyszinek"); });
        count("close it", [&] { click("btnCloseHelyszinek"); });
        count("start a month (the appointments panel)", [&] {
            click("btnNew");
            choose("cmbMonth", 3);
            click("btnMakeTable");
        });
        count("new appointment (editor opened)", [&] { click("btnNewVeradas"); });
        count("save it and read the list again", [&] {
            choose("cmbDay", 5);
            static_cast<QLineEdit*>(find("edtKezdes"))->setText(QStringLiteral("08:30"));
            static_cast<QLineEdit*>(find("edtBefejezes"))->setText(QStringLiteral("12:30"));
            choose("cmbHelyszinek", 2);
            click("btnAddVeradas");
        });
        count("close the panel", [&] {
            click("btnCancelVeradas");
            click("btnCloseVeradasok");
        });
        count("open the export panel (its month list)", [&] { click("btnExport"); });
        count("export the month (the send reads the same)", [&] {
            choose("cmbExport", 1);
            click("btnExcel");
        });
        window.close();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
