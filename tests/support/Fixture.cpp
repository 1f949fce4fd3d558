#include "support/Fixture.h"

#include "TestConfig.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/export/ExportPanel.h"
#include "export/MonthDispatch.h"
#include "store/Connection.h"
#include "store/DataModule.h"
#include "store/DatabaseError.h"
#include "store/DatabaseTarget.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QStandardItemModel>
#include <QTest>

#include <stdexcept>

namespace {

ReferenceData readReferenceData(const QString& path)
{
    QFile csv(path);
    if (!csv.open(QIODevice::ReadOnly))
        throw std::runtime_error("reference CSV missing: " + path.toStdString());
    return ReferenceData::fromCsv(csv.readAll());
}

const ReferenceData& referenceData()
{
    static const ReferenceData data = readReferenceData(QStringLiteral(KELMIR_REFERENCE_CSV));
    return data;
}

// The socket folder of the test server, read from its state file.
QString serverFolder()
{
    QFile state(qEnvironmentVariable("KELMIR_TEST_SERVER"));
    if (!state.open(QIODevice::ReadOnly))
        throw std::runtime_error("the test server's state file cannot be read");
    return QString::fromUtf8(state.readAll()).trimmed();
}

QString serverUri(const QString& database)
{
    static const QString folder = serverFolder();
    return QStringLiteral("postgresql://kelmir@/%1?host=%2").arg(database, folder);
}

void onServerAdministration(const QString& statement)
{
    Connection administration;
    administration.open(serverUri(QStringLiteral("postgres")));
    administration.execute(statement);
}

} // namespace

QString DatabaseFolder::serverDatabaseUri(const QString& name)
{
    return serverUri(name);
}

QString DatabaseFolder::serverSocket()
{
    return serverFolder() + QStringLiteral("/.s.PGSQL.5432");
}

QString DatabaseFolder::databaseUriThrough(quint16 port) const
{
    return QStringLiteral("postgresql://kelmir@127.0.0.1:%1/%2").arg(port).arg(m_serverDatabase);
}

bool DatabaseFolder::onServer()
{
    return !qEnvironmentVariableIsEmpty("KELMIR_TEST_SERVER");
}

DatabaseFolder::DatabaseFolder()
    : DatabaseFolder(QString())
{
}

DatabaseFolder::DatabaseFolder(const QString& referenceCsv)
    : m_previous(QDir::currentPath())
{
    if (onServer()) {
        static int made = 0;
        m_serverDatabase = QStringLiteral("test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
        m_target = serverUri(m_serverDatabase);
        if (referenceCsv.isEmpty()) {
            onServerAdministration(
                QStringLiteral("CREATE DATABASE %1 TEMPLATE kelmir_reference").arg(m_serverDatabase));
        } else {
            onServerAdministration(QStringLiteral("CREATE DATABASE %1").arg(m_serverDatabase));
            createServerDatabase(m_target, readReferenceData(referenceCsv));
        }
        qputenv(DatabaseTarget::environmentVariable, m_target.toUtf8());
    } else {
        m_target = m_dir.filePath(QStringLiteral("datacore.vdf"));
        createDatabaseFile(m_target, referenceCsv.isEmpty() ? referenceData() : readReferenceData(referenceCsv));
    }
    QDir::setCurrent(m_dir.path());
}

DatabaseFolder::~DatabaseFolder()
{
    QDir::setCurrent(m_previous);
    if (m_serverDatabase.isEmpty())
        return;
    qunsetenv(DatabaseTarget::environmentVariable);
    try {
        onServerAdministration(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_serverDatabase));
    } catch (const DatabaseError& error) {
        qWarning("test database %s left behind: %s", qPrintable(m_serverDatabase), qPrintable(error.message()));
    }
}

QString DatabaseFolder::databasePath() const
{
    return m_target;
}

void DatabaseFolder::refuseWrites(const QString& table, const QString& event, const QString& message) const
{
    const QString name = QStringLiteral("refuse_") + event.toLower();
    if (onServer()) {
        exec(QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN RAISE EXCEPTION '%2'; "
                            "END $$; CREATE TRIGGER %1 BEFORE %3 ON %4 FOR EACH ROW EXECUTE FUNCTION %1();")
                 .arg(name, message, event, table));
    } else {
        exec(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 BEGIN SELECT RAISE(ABORT, '%4'); END")
                 .arg(name, event, table, message));
    }
}

void DatabaseFolder::lockEverything(Connection& connection)
{
    if (onServer())
        connection.execute(QStringLiteral("BEGIN; LOCK TABLE at_megyek, at_telepulesek, at_helyszinek, at_settings, "
                                          "at_veradasok IN ACCESS EXCLUSIVE MODE;"));
    else
        connection.execute(QStringLiteral("BEGIN EXCLUSIVE;"));
}

void DatabaseFolder::exec(const QString& sql) const
{
    Connection connection;
    connection.open(databasePath());
    connection.execute(sql);
}

QStringList DatabaseFolder::lines(const QString& sql) const
{
    Connection connection;
    connection.open(databasePath());
    StatementResult result;
    connection.engine().run(sql, {}, &result);
    QStringList lines;
    for (int r = 0; r < result.rows; ++r)
        lines << result.value(r, 0).toString();
    return lines;
}

void DatabaseFolder::chooseCounty(int county, const QString& recipient) const
{
    exec(QStringLiteral("INSERT INTO at_settings (megye_kod, cel, forras, smtp, auth_sec, auth_usr, auth_psw) "
                        "VALUES (%1, '%2', '', '', 0, '', '')")
             .arg(county)
             .arg(recipient));
}

int DatabaseFolder::addLocation(const char* telepules, int irsz, const char* cim, const char* helyszin,
                                int deleted) const
{
    exec(QStringLiteral("INSERT INTO at_helyszinek (deleted, telepules_kod, cim, helyszin) SELECT %1, id, '%2', '%3' "
                        "FROM at_telepulesek WHERE telepules='%4' AND irsz=%5")
             .arg(deleted)
             .arg(QString::fromUtf8(cim), QString::fromUtf8(helyszin), QString::fromUtf8(telepules))
             .arg(irsz));
    return scalar(QStringLiteral("SELECT max(id) FROM at_helyszinek")).toInt();
}

void DatabaseFolder::addDonation(const char* ev, const char* honap, const char* nap, const char* kezdes,
                                 const char* befejezes, int location) const
{
    exec(QStringLiteral("INSERT INTO at_veradasok (ev, honap, nap, kezdes, befejezes, helyszin_kod) VALUES ('%1', "
                        "'%2', '%3', '%4', '%5', %6)")
             .arg(ev, honap, nap, kezdes, befejezes)
             .arg(location));
}

QString DatabaseFolder::scalar(const QString& sql) const
{
    return lines(sql).value(0);
}

RunningProgram::RunningProgram()
    : dm(std::make_unique<DataModule>())
{
    static const bool prepared = [] {
        KelmirApplication::prepare(*qApp);
        return true;
    }();
    Q_UNUSED(prepared);
    window = std::make_unique<MainWindow>(*dm, messages, clock, viewer);
    // The account the tests give, whatever mail account files this machine holds.
    window->exportPanel()->dispatch().setAccountFiles({});
    window->setConfigurationFiles({});
}

RunningProgram::~RunningProgram()
{
    window->close();
    window.reset();
    dm->CloseDatabase();
}

bool RunningProgram::start()
{
    started = window->FormCreate();
    if (started) {
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning("window not exposed");
    }
    return started;
}

void RunningProgram::screenshot(const QString& name) const
{
    const QString folder = qEnvironmentVariable("KELMIR_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    window->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

Qt::SortOrder drawnSortMark(QHeaderView* header)
{
    // A header of the same kind and style, one wide, untitled section, with
    // the grid's mark: the arrow drawn alone.
    QStandardItemModel model(1, 1);
    model.setHorizontalHeaderLabels({QString()});
    QHeaderView probe(Qt::Horizontal);
    probe.setModel(&model);
    probe.setStyle(header->style());
    probe.setSortIndicatorShown(true);
    probe.setSortIndicator(0, header->sortIndicatorOrder());
    probe.resize(200, header->height());
    probe.resizeSection(0, 200);
    const QImage image = probe.grab().toImage();
    // The arrow's rows, top to bottom, by how many dark pixels each holds.
    QList<int> widths;
    for (int y = 0; y < image.height(); ++y) {
        int dark = 0;
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        if (dark > 0)
            widths << dark;
    }
    if (widths.size() < 2)
        return Qt::SortOrder(-1);
    return widths.first() < widths.last() ? Qt::AscendingOrder : Qt::DescendingOrder;
}

void typeText(QWidget* widget, const QString& text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 128) {
            QTest::keyClick(widget, char(ch.unicode()));
        } else {
            QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }
}
