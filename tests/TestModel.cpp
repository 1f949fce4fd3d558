// The shared records, lookup tables, sort tables and blank tidying.

#include "model/Base.h"
#include "model/IdTable.h"
#include "model/SearchInString.h"
#include "model/SortTable.h"

#include <QTest>

class TestModel : public QObject {
    Q_OBJECT
private slots:
    void collapseBlanks_data();
    void collapseBlanks();
    void idTableLookups();
    void monthListEntry();
    void orderByLine_data();
    void orderByLine();
    void recordOperations();
};

void TestModel::collapseBlanks_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("one blank") << " "
                               << "";
    QTest::newRow("three blanks") << "   "
                                  << "";
    QTest::newRow("inner run") << "a   b"
                               << "a b";
    QTest::newRow("leading run keeps one") << "  a"
                                           << " a";
    QTest::newRow("trailing run") << "a  "
                                  << "a";
    QTest::newRow("all at once") << "  a   b  "
                                 << " a b";
    QTest::newRow("tabs are ordinary") << "a\t\tb"
                                       << "a\t\tb";
    QTest::newRow("accented text") << "Kossuth  Lajos   út 1. "
                                   << "Kossuth Lajos út 1.";
}

void TestModel::collapseBlanks()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    const QString before = input;
    QCOMPARE(CollapseBlanks(input), expected);
    QCOMPARE(input, before);
}

void TestModel::idTableLookups()
{
    SettlementIdTable settlements;
    QCOMPARE(settlements.find(5), 0);
    QCOMPARE(settlements.find(0), 1); // every slot holds 0 after clearing

    settlements.set(4096, 77);
    QCOMPARE(settlements.find(77), 4096);
    settlements.set(4097, 1);
    settlements.set(0, 1);
    settlements.set(-3, 1);
    QCOMPARE(settlements.find(1), 0);

    LocationIdTable locations;
    locations.set(1, 10);
    locations.set(2, 20);
    locations.set(3, 30);
    QCOMPARE(locations.find(20), 2);
    QCOMPARE(locations.find(40), 0);
    locations.set(2049, 99);
    QCOMPARE(locations.find(99), 0);
    locations.set(5, 20);
    QCOMPARE(locations.find(20), 2); // the smallest position wins
    locations.clear();
    QCOMPARE(locations.find(10), 0);
}

void TestModel::monthListEntry()
{
    MonthTable months;
    months.append(monthEntry(2013, 5));
    for (int i = 0; i < 300; ++i) // more than any fixed table would hold
        months.append(monthEntry(2014 + i / 12, i % 12 + 1));
    QCOMPARE(months.size(), 301);
    QCOMPARE(months.at(0).ev, 2013);
    QCOMPARE(months.at(0).honap, quint8(4));
    QCOMPARE(months.at(0).honap_s, QStringLiteral("Május"));
    QCOMPARE(months.at(300).honap_s, QStringLiteral("December"));
    QCOMPARE(months.at(301).ev, 0);
    months.clear();
    QCOMPARE(months.size(), 0);
    QCOMPARE(MonthNames[0], QStringLiteral("Január"));
    QCOMPARE(MonthNames[11], QStringLiteral("December"));
}

void TestModel::orderByLine_data()
{
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<QString>("expected");
    const QStringList start = locationSortStart();
    QTest::newRow("locations, start") << start << true
                                      << "ORDER BY at_telepulesek.telepules ASC, at_telepulesek.irsz ASC, "
                                         "at_helyszinek.cim ASC, at_helyszinek.helyszin ASC;";
    QTest::newRow("address first, descending")
        << QStringList{"at_helyszinek.cim", "at_telepulesek.telepules", "at_telepulesek.irsz", "at_helyszinek.helyszin"}
        << false
        << "ORDER BY at_helyszinek.cim DESC, at_telepulesek.telepules DESC, at_telepulesek.irsz DESC, "
           "at_helyszinek.helyszin DESC;";
    QTest::newRow("appointments, start")
        << donationSortStart() << true
        << "ORDER BY at_veradasok.nap ASC, at_veradasok.kezdes ASC, at_telepulesek.telepules ASC, "
           "at_telepulesek.irsz ASC, at_helyszinek.cim ASC, at_helyszinek.helyszin ASC;";
}

void TestModel::orderByLine()
{
    QFETCH(QStringList, columns);
    QFETCH(bool, ascending);
    QFETCH(QString, expected);
    SortTable table(locationSortStart());
    table.setColumns(columns);
    table.setAscending(ascending);
    QCOMPARE(table.orderByLine(), expected);
    table.reset();
    QVERIFY(table.ascending());
    QCOMPARE(table.columns().first(), QStringLiteral("at_telepulesek.telepules"));
}

void TestModel::recordOperations()
{
    Location location;
    location.SetAllValues(42, 0, 7, QStringLiteral("Fő u. 1."), QStringLiteral("Iskola"));
    location.SetValues(0, 8, QStringLiteral("Kossuth u. 2."), QStringLiteral("Ház"));
    QCOMPARE(location.id, 42);
    QCOMPARE(location.telepules_kod, 8);
    location.Clear();
    QCOMPARE(location.id, 0);
    QVERIFY(location.Cim.isEmpty());

    Settings settings;
    settings.SetValues(7, "Pest", "a@b.hu", "x", "y", 1, "u", "p");
    settings.Clear();
    QCOMPARE(settings.megye_kod, quint8(0));
    QCOMPARE(settings.Hitelesites, quint8(0));
    QVERIFY(settings.Megye.isEmpty() && settings.Cel.isEmpty() && settings.Password.isEmpty());

    Donation donation;
    donation.SetAllValues(3, "2016", "04", "09", "08:00", "12:00", 5);
    donation.SetValues("2016", "04", "10", "09:00", "13:00", 6);
    QCOMPARE(donation.id, 3);
    QCOMPARE(donation.nap, QStringLiteral("10"));
}

QTEST_GUILESS_MAIN(TestModel)
#include "TestModel.moc"
