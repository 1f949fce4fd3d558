// The built-in counties and settlements, checked against facts of the
// country's administrative register, and kelmir-newdb --update-reference,
// which mends a database written with an earlier list. The earlier list is
// represented by a small fixture taken from it (tests/data/old_settlements.csv):
// one row of every county, Csongrád under its former name, and the rows it
// filed under the wrong county (Szombathely, Nagykőrös, Csongrád town).

#include "TestConfig.h"
#include "app/grid/QueryTableModel.h"
#include "store/Connection.h"
#include "support/Fixture.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace {

const QString oldList = QStringLiteral(KELMIR_SOURCE_DIR "/tests/data/old_settlements.csv");

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList& arguments)
{
    QProcess tool;
    tool.start(QStringLiteral(KELMIR_BINARY_DIR "/bin/kelmir-newdb"), arguments);
    ToolRun run;
    if (!tool.waitForFinished(60000))
        return run;
    run.exitCode = tool.exitCode();
    run.out = QString::fromUtf8(tool.readAllStandardOutput());
    run.err = QString::fromUtf8(tool.readAllStandardError());
    return run;
}

QByteArray fileDigest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "missing";
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Everything but the two reference tables, as text, to compare before and after.
QStringList userData(const DatabaseFolder& folder)
{
    return folder.lines("SELECT 'h' || id || '|' || deleted || '|' || telepules_kod || '|' || cim || '|' || helyszin "
                        "FROM at_helyszinek")
        + folder.lines("SELECT 'v' || id || '|' || ev || honap || nap || '|' || kezdes || '-' || befejezes || '|' "
                       "|| helyszin_kod FROM at_veradasok")
        + folder.lines("SELECT 's' || id || '|' || megye_kod || '|' || cel FROM at_settings");
}

} // namespace

class TestReferenceData : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void countiesInHungarianOrder();
    void everyCountyHoldsItsOwnSettlements_data();
    void everyCountyHoldsItsOwnSettlements();
    void countySeatsLieInTheirCounties();
    void noSettlementNameInTwoCounties();
    void oldDatabaseIsMendedKeepingEveryRow();
    void freshDatabaseNeedsNoMending();
    void unusableTargetsAreRefusedUntouched_data();
    void unusableTargetsAreRefusedUntouched();
    void lockedFileIsRefusedAfterABoundedWait();

private:
    std::unique_ptr<DatabaseFolder> m_fresh;
};

void TestReferenceData::initTestCase()
{
    m_fresh = std::make_unique<DatabaseFolder>();
}

void TestReferenceData::countiesInHungarianOrder()
{
    const QStringList counties = m_fresh->lines("SELECT id || ' ' || megye_nev FROM at_megyek ORDER BY id");
    QCOMPARE(counties,
             (QStringList{"1 Bács-Kiskun",
                          "2 Baranya",
                          "3 Békés",
                          "4 Borsod-Abaúj-Zemplén",
                          "5 Budapest",
                          "6 Csongrád-Csanád",
                          "7 Fejér",
                          "8 Győr-Moson-Sopron",
                          "9 Hajdú-Bihar",
                          "10 Heves",
                          "11 Jász-Nagykun-Szolnok",
                          "12 Komárom-Esztergom",
                          "13 Nógrád",
                          "14 Pest",
                          "15 Somogy",
                          "16 Szabolcs-Szatmár-Bereg",
                          "17 Tolna",
                          "18 Vas",
                          "19 Veszprém",
                          "20 Zala"}));
    QCOMPARE(m_fresh->scalar("SELECT count(*) FROM at_telepulesek"), QStringLiteral("3574"));
}

void TestReferenceData::everyCountyHoldsItsOwnSettlements_data()
{
    QTest::addColumn<QString>("county");
    QTest::addColumn<int>("settlements");
    const QList<std::pair<const char*, int>> register_ = {
        {"Baranya", 301},
        {"Borsod-Abaúj-Zemplén", 357},
        {"Bács-Kiskun", 119},
        {"Békés", 75},
        {"Csongrád-Csanád", 60},
        {"Fejér", 107},
        {"Győr-Moson-Sopron", 181},
        {"Hajdú-Bihar", 82},
        {"Heves", 118},
        {"Jász-Nagykun-Szolnok", 77},
        {"Komárom-Esztergom", 75},
        {"Nógrád", 128},
        {"Pest", 185},
        {"Somogy", 244},
        {"Szabolcs-Szatmár-Bereg", 228},
        {"Tolna", 108},
        {"Vas", 216},
        {"Veszprém", 217},
        {"Zala", 257},
        {"Budapest", 1},
    };
    for (const auto& [county, settlements] : register_)
        QTest::newRow(county) << QString::fromUtf8(county) << settlements;
}

// The distinct settlements of each county, as the administrative register
// counts them.
void TestReferenceData::everyCountyHoldsItsOwnSettlements()
{
    QFETCH(QString, county);
    QFETCH(int, settlements);
    QCOMPARE(m_fresh
                 ->scalar(QStringLiteral("SELECT count(DISTINCT t.telepules) FROM at_telepulesek t JOIN at_megyek m "
                                         "ON m.id=t.megye_kod WHERE m.megye_nev='%1'")
                              .arg(county))
                 .toInt(),
             settlements);
}

void TestReferenceData::countySeatsLieInTheirCounties()
{
    // Pest's seat is Budapest, a county of its own.
    const QList<std::pair<const char*, const char*>> seats = {
        {"Pécs", "Baranya"},
        {"Kecskemét", "Bács-Kiskun"},
        {"Békéscsaba", "Békés"},
        {"Miskolc", "Borsod-Abaúj-Zemplén"},
        {"Budapest", "Budapest"},
        {"Szeged", "Csongrád-Csanád"},
        {"Székesfehérvár", "Fejér"},
        {"Győr", "Győr-Moson-Sopron"},
        {"Debrecen", "Hajdú-Bihar"},
        {"Eger", "Heves"},
        {"Szolnok", "Jász-Nagykun-Szolnok"},
        {"Tatabánya", "Komárom-Esztergom"},
        {"Salgótarján", "Nógrád"},
        {"Kaposvár", "Somogy"},
        {"Nyíregyháza", "Szabolcs-Szatmár-Bereg"},
        {"Szekszárd", "Tolna"},
        {"Szombathely", "Vas"},
        {"Veszprém", "Veszprém"},
        {"Zalaegerszeg", "Zala"},
    };
    for (const auto& [seat, county] : seats) {
        const QStringList counties = m_fresh->lines(
            QStringLiteral("SELECT DISTINCT m.megye_nev FROM at_telepulesek t JOIN at_megyek m ON m.id=t.megye_kod "
                           "WHERE t.telepules='%1'")
                .arg(QString::fromUtf8(seat)));
        QVERIFY2(counties == QStringList{QString::fromUtf8(county)},
                 qPrintable(QString::fromUtf8(seat) + QStringLiteral(": ") + counties.join(u',')));
    }
}

void TestReferenceData::noSettlementNameInTwoCounties()
{
    const QStringList shared = m_fresh->lines("SELECT telepules FROM at_telepulesek GROUP BY telepules "
                                              "HAVING count(DISTINCT megye_kod) > 1");
    QVERIFY2(shared.isEmpty(), qPrintable(shared.mid(0, 10).join(u',')));
}

// An office's database written with the earlier list: the mend moves the
// misfiled settlements, renames Csongrád, adds the pairs it lacked, keeps
// every id, and a location at Szombathely shows in the county of Vas.
void TestReferenceData::oldDatabaseIsMendedKeepingEveryRow()
{
    DatabaseFolder folder(oldList);
    const int szombathely =
        folder.scalar("SELECT id FROM at_telepulesek WHERE telepules='Szombathely' AND irsz=9707").toInt();
    QCOMPARE(folder.scalar(QStringLiteral("SELECT m.megye_nev FROM at_telepulesek t JOIN at_megyek m ON "
                                          "m.id=t.megye_kod WHERE t.id=%1")
                               .arg(szombathely)),
             QStringLiteral("Pest"));
    folder.chooseCounty(18); // Vas
    const int location = folder.addLocation("Szombathely", 9707, "Fő tér 1.", "Városháza");
    folder.addDonation("2027", "03", "09", "08:00", "12:00", location);
    const QStringList before = userData(folder);
    const QStringList idsBefore = folder.lines("SELECT id || ' ' || irsz || ' ' || telepules FROM at_telepulesek "
                                               "ORDER BY id");

    const ToolRun first = runTool({QStringLiteral("--update-reference"), folder.databasePath()});
    QCOMPARE(first.exitCode, 0);
    QVERIFY2(first.err.isEmpty(), qPrintable(first.err));
    QCOMPARE(first.out,
             QStringLiteral("Frissítve: 6 település sor megyéje, 1 megye neve, 3546 új település sor. A "
                            "helyszínek, az időpontok és a beállítások nem változtak.\n"));

    QCOMPARE(userData(folder), before);
    QCOMPARE(folder.lines("SELECT id || ' ' || irsz || ' ' || telepules FROM at_telepulesek WHERE id<=28 ORDER BY id"),
             idsBefore);
    QCOMPARE(folder.scalar("SELECT megye_nev FROM at_megyek WHERE id=6"), QStringLiteral("Csongrád-Csanád"));
    QCOMPARE(folder.lines("SELECT DISTINCT megye_kod FROM at_telepulesek WHERE telepules IN ('Szombathely')"),
             QStringList{"18"});
    QCOMPARE(folder.lines("SELECT DISTINCT megye_kod FROM at_telepulesek WHERE telepules IN ('Csongrád', 'Makó')"),
             QStringList{"6"});
    QCOMPARE(folder.scalar("SELECT megye_kod FROM at_telepulesek WHERE telepules='Nagykőrös'"), QStringLiteral("14"));
    QCOMPARE(folder.scalar("SELECT count(*) FROM at_telepulesek"), QStringLiteral("3574"));

    const ToolRun second = runTool({QStringLiteral("--update-reference"), folder.databasePath()});
    QCOMPARE(second.exitCode, 0);
    QCOMPARE(second.out,
             QStringLiteral("A megyék és a települések már a beépített lista szerintiek, semmi sem változott.\n"));

    RunningProgram program;
    QVERIFY(program.start());
    QTest::mouseClick(program.find<QToolButton>("btnEditHelyszinek"), Qt::LeftButton);
    auto* model = static_cast<QueryTableModel*>(program.find<QTableView>("dbgHelyszinek")->model());
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->value(0, 4).toString() + u' ' + model->value(0, 5).toString(),
             QStringLiteral("Szombathely Fő tér 1."));
}

void TestReferenceData::freshDatabaseNeedsNoMending()
{
    DatabaseFolder folder;
    const QByteArray digest = folder.onServer() ? QByteArray() : fileDigest(folder.databasePath());
    const ToolRun run = runTool({QStringLiteral("--update-reference"), folder.databasePath()});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out,
             QStringLiteral("A megyék és a települések már a beépített lista szerintiek, semmi sem változott.\n"));
    if (!folder.onServer())
        QCOMPARE(fileDigest(folder.databasePath()), digest);
}

void TestReferenceData::unusableTargetsAreRefusedUntouched_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("no such file") << "missing"
                                  << "Az adatbázis nem nyitható meg:";
    QTest::newRow("not a database") << "text"
                                    << "Az adatbázis nem nyitható meg:";
    QTest::newRow("another program's database")
        << "foreign"
        << "A frissítés nem sikerült, semmi sem változott: Ez nem a Kelmir adatbázisa: hiányzik "
           "belőle a(z) at_megyek tábla.";
    QTest::newRow("settlements missing")
        << "partial"
        << "A frissítés nem sikerült, semmi sem változott: Ez nem a Kelmir adatbázisa: hiányzik "
           "belőle a(z) at_telepulesek tábla.";
}

void TestReferenceData::unusableTargetsAreRefusedUntouched()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    if (DatabaseFolder::onServer())
        QSKIP("files only");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("datacore.vdf"));
    if (kind == QLatin1String("text")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("irsz,telepules,megye\n");
    } else if (kind != QLatin1String("missing")) {
        Connection connection;
        connection.createNew(path);
        connection.execute(kind == QLatin1String("foreign") ? QStringLiteral("CREATE TABLE notes (id INTEGER)")
                                                            : QStringLiteral("CREATE TABLE at_megyek (id INTEGER, "
                                                                             "megye_nev TEXT)"));
    }
    const QByteArray digest = fileDigest(path);
    const ToolRun run = runTool({QStringLiteral("--update-reference"), path});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.startsWith(message), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
    QCOMPARE(fileDigest(path), digest);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
             kind == QLatin1String("missing") ? QStringList() : QStringList{"datacore.vdf"});
}

// Another program in the middle of a write: the mend waits the bounded lock
// wait, then says so and leaves the database as it was.
void TestReferenceData::lockedFileIsRefusedAfterABoundedWait()
{
    DatabaseFolder folder(oldList);
    Connection other;
    other.open(folder.databasePath());
    DatabaseFolder::lockEverything(other);
    const ToolRun run = runTool({QStringLiteral("--update-reference"), folder.databasePath()});
    other.execute(QStringLiteral("ROLLBACK;"));
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.startsWith(QStringLiteral("Az adatbázist egy másik program tartja zárolva, ezért semmi sem "
                                               "változott.")),
             qPrintable(run.err));
    QCOMPARE(folder.scalar("SELECT megye_nev FROM at_megyek WHERE id=6"), QStringLiteral("Csongrád"));
    QCOMPARE(folder.scalar("SELECT count(*) FROM at_telepulesek"), QStringLiteral("28"));
}

QTEST_MAIN(TestReferenceData)
#include "TestReferenceData.moc"
