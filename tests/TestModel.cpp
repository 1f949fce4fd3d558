// The shared records, lookup tables, sort tables and blank tidying; the
// calendar an appointment is checked against.

#include "model/Base.h"
#include "model/Calendar.h"
#include "model/IdTable.h"
#include "model/SearchInString.h"
#include "model/SortTable.h"
#include "model/TimeText.h"

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
    void holidaysOfAYear_data();
    void holidaysOfAYear();
    void dayDescriptions();
    void sameWeekdayOfTheSameWeek_data();
    void sameWeekdayOfTheSameWeek();
    void timesOverlap_data();
    void timesOverlap();
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

// Every public holiday of each year, found by walking the year's days, with
// Easter as the calendars print it.
void TestModel::holidaysOfAYear_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<QDate>("easter");
    QTest::newRow("2024") << 2024 << QDate(2024, 3, 31);
    QTest::newRow("2025") << 2025 << QDate(2025, 4, 20);
    QTest::newRow("2026") << 2026 << QDate(2026, 4, 5);
    QTest::newRow("2027") << 2027 << QDate(2027, 3, 28);
    QTest::newRow("2028") << 2028 << QDate(2028, 4, 16);
    QTest::newRow("2029") << 2029 << QDate(2029, 4, 1);
    QTest::newRow("2030") << 2030 << QDate(2030, 4, 21);
}

void TestModel::holidaysOfAYear()
{
    QFETCH(int, year);
    QFETCH(QDate, easter);
    QCOMPARE(EasterSunday(year), easter);
    auto day = [year](int month, int d) { return QDate(year, month, d).toString(Qt::ISODate); };
    auto fromEaster = [&easter](int days) { return easter.addDays(days).toString(Qt::ISODate); };
    const QStringList expected{day(1, 1) + " újév",
                               day(3, 15) + " nemzeti ünnep",
                               fromEaster(-2) + " nagypéntek",
                               fromEaster(0) + " húsvétvasárnap",
                               fromEaster(1) + " húsvéthétfő",
                               day(5, 1) + " a munka ünnepe",
                               fromEaster(49) + " pünkösdvasárnap",
                               fromEaster(50) + " pünkösdhétfő",
                               day(8, 20) + " államalapítás",
                               day(10, 23) + " nemzeti ünnep",
                               day(11, 1) + " mindenszentek",
                               day(12, 24) + " szenteste",
                               day(12, 25) + " karácsony",
                               day(12, 26) + " karácsony másnapja"};
    QStringList found;
    for (QDate date(year, 1, 1); date.year() == year; date = date.addDays(1)) {
        if (!HolidayName(date).isEmpty())
            found << date.toString(Qt::ISODate) + u' ' + HolidayName(date);
    }
    QStringList sorted = expected;
    sorted.sort();
    found.sort();
    QCOMPARE(found, sorted);
}

void TestModel::dayDescriptions()
{
    QCOMPARE(DayDescription(QDate(2027, 1, 1)), QStringLiteral("péntek – újév"));
    QCOMPARE(DayDescription(QDate(2026, 11, 3)), QStringLiteral("kedd"));
    QCOMPARE(DayDescription(QDate(2026, 12, 6)), QStringLiteral("vasárnap"));
    // Christmas Eve became a holiday in 2024.
    QCOMPARE(HolidayName(QDate(2023, 12, 24)), QString());
    QCOMPARE(HolidayName(QDate(2024, 12, 24)), QStringLiteral("szenteste"));
    QVERIFY(IsWeekend(QDate(2026, 12, 5)) && IsWeekend(QDate(2026, 12, 6)) && !IsWeekend(QDate(2026, 12, 7)));
    QCOMPARE(HungarianDateText(QDate(2027, 1, 1)), QStringLiteral("2027. 01. 01."));
}

void TestModel::sameWeekdayOfTheSameWeek_data()
{
    QTest::addColumn<QDate>("source");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<QDate>("target"); // invalid: left out
    QTest::newRow("2nd Tuesday") << QDate(2026, 3, 10) << 2027 << 3 << QDate(2027, 3, 9);
    QTest::newRow("1st Sunday, month starting on it") << QDate(2026, 2, 1) << 2026 << 3 << QDate(2026, 3, 1);
    QTest::newRow("1st Saturday, month starting after it") << QDate(2026, 3, 7) << 2026 << 4 << QDate(2026, 4, 4);
    QTest::newRow("December into January") << QDate(2026, 12, 8) << 2027 << 1 << QDate(2027, 1, 12);
    QTest::newRow("5th Monday, none in February") << QDate(2026, 3, 30) << 2027 << 2 << QDate();
    QTest::newRow("5th Friday kept") << QDate(2026, 10, 30) << 2027 << 1 << QDate(2027, 1, 29);
    QTest::newRow("5th Thursday, not the 4th") << QDate(2026, 12, 31) << 2027 << 1 << QDate();
    QTest::newRow("5th Tuesday into a leap February") << QDate(2027, 3, 30) << 2028 << 2 << QDate(2028, 2, 29);
    QTest::newRow("5th Tuesday, common February") << QDate(2027, 3, 30) << 2027 << 2 << QDate();
    QTest::newRow("29 February into May") << QDate(2028, 2, 29) << 2028 << 5 << QDate(2028, 5, 30);
}

void TestModel::sameWeekdayOfTheSameWeek()
{
    QFETCH(QDate, source);
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(QDate, target);
    const QDate copied = SameWeekdayIn(source, year, month);
    QCOMPARE(copied, target);
    if (copied.isValid()) {
        QCOMPARE(copied.dayOfWeek(), source.dayOfWeek());
        QCOMPARE((copied.day() - 1) / 7, (source.day() - 1) / 7);
    }
}

void TestModel::timesOverlap_data()
{
    QTest::addColumn<QString>("other"); // against 10:00-12:00
    QTest::addColumn<bool>("overlaps");
    QTest::newRow("same") << "10:00-12:00" << true;
    QTest::newRow("inside") << "10:30-11:00" << true;
    QTest::newRow("around") << "08:00-14:00" << true;
    QTest::newRow("over the start") << "09:00-10:01" << true;
    QTest::newRow("over the end") << "11:59-13:00" << true;
    QTest::newRow("touching the end") << "12:00-14:00" << false;
    QTest::newRow("touching the start") << "08:00-10:00" << false;
    QTest::newRow("before") << "07:00-09:00" << false;
    QTest::newRow("after") << "13:00-15:00" << false;
}

void TestModel::timesOverlap()
{
    QFETCH(QString, other);
    QFETCH(bool, overlaps);
    const QString start = other.section(u'-', 0, 0);
    const QString end = other.section(u'-', 1, 1);
    QCOMPARE(TimesOverlap(QStringLiteral("10:00"), QStringLiteral("12:00"), start, end), overlaps);
    QCOMPARE(TimesOverlap(start, end, QStringLiteral("10:00"), QStringLiteral("12:00")), overlaps);
}

QTEST_GUILESS_MAIN(TestModel)
#include "TestModel.moc"
