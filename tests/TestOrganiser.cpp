// The organiser's month on the real window and database: a month started
// as a copy of another, and the warning before an appointment lands on a
// weekend, a public holiday or over another at the same place.

#include "app/grid/ListGrid.h"
#include "app/schedule/DonationsPanel.h"
#include "model/Calendar.h"
#include "support/Fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// Csongrád-Csanád with three live locations (1 Szeged Egyetem, 2 Makó
// Városháza, 3 Szentes Kórház) and a withdrawn one (4 Algyő Faluház); the
// clock in December 2027, so the years run to 2028.
struct Organiser {
    Organiser()
    {
        folder.chooseCounty(6);
        folder.addLocation("Szeged", 6720, "Dugonics tér 13.", "Egyetem");
        folder.addLocation("Makó", 6900, "Széchenyi tér 22.", "Városháza");
        folder.addLocation("Szentes", 6600, "Sima F. u. 44.", "Kórház");
        folder.addLocation("Algyő", 6750, "Kastélykert u. 40.", "Faluház", 1);
        program.clock.fixed = QDateTime(QDate(2027, 12, 10), QTime(9, 0));
    }

    template <typename T>
    T* find(const char* name) const
    {
        return program.find<T>(QString::fromLatin1(name));
    }
    void click(const char* name) const { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }
    void choose(const char* combo, const QString& text) const
    {
        QComboBox* box = find<QComboBox>(combo);
        box->setCurrentIndex(box->findText(text));
        QVERIFY2(box->currentText() == text, qPrintable(text));
    }
    // The new-month panel on year and month; copying from source when given.
    void startMonth(const QString& year, const QString& month, const QString& source = {}) const
    {
        click("btnNew");
        choose("cmbYear", year);
        choose("cmbMonth", month);
        if (!source.isEmpty()) {
            find<QCheckBox>("chkCopyFrom")->setChecked(true);
            choose("cmbSourceMonth", source);
        }
        click("btnMakeTable");
    }
    // The stored appointments of a month as "YYYYMMDD kezdes-befejezes @location".
    QStringList stored(const QString& yearMonth) const
    {
        return folder.lines(QStringLiteral("SELECT ev || honap || nap || ' ' || kezdes || '-' || befejezes || ' @' || "
                                           "helyszin_kod FROM at_veradasok WHERE ev || honap = '%1' "
                                           "ORDER BY nap, kezdes, helyszin_kod")
                                .arg(yearMonth));
    }
    void fill(const QString& day, const QString& start, const QString& end, int location) const
    {
        choose("cmbDay", day);
        find<QLineEdit>("edtKezdes")->setText(start);
        find<QLineEdit>("edtBefejezes")->setText(end);
        find<QComboBox>("cmbHelyszinek")->setCurrentIndex(location);
    }

    DatabaseFolder folder;
    RunningProgram program;
};

using Rows = QList<QStringList>; // ev, honap, nap, kezdes, befejezes, location

} // namespace

class TestOrganiser : public QObject {
    Q_OBJECT
private slots:
    void copyAMonth_data();
    void copyAMonth();
    void copyIntoAMonthWithAppointmentsIsRefused();
    void sourceOffersLastYearsMonth();
    void warningBeforeAnUnusualDay_data();
    void warningBeforeAnUnusualDay();
    void aChangedRowDoesNotClashWithItself();
    void dayLabelHoldsEveryHolidaysName();
};

void TestOrganiser::copyAMonth_data()
{
    QTest::addColumn<Rows>("source");
    QTest::addColumn<QString>("from"); // the source drop-down's text
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QStringList>("copied");
    QTest::addColumn<QString>("report");
    QTest::newRow("a 5th weekday is left out")
        << Rows{{"2026", "03", "10", "08:00", "12:00", "1"}, {"2026", "03", "30", "09:00", "13:00", "2"}}
        << "2026 Március"
        << "2027"
        << "Február" << QStringList{"20270209 08:00-12:00 @1"}
        << "1 véradást másoltam át a(z) 2026 Március hónapból a(z) 2027 Február hónapba.\n\n"
           "Kimaradt, mert a hónapban nincs ilyen nap (például 5. hétfő):\n"
           "  2026. 03. 30. hétfő, 09:00-13:00, Makó - Városháza";
    QTest::newRow("a withdrawn location is left out")
        << Rows{{"2027", "05", "04", "08:00", "12:00", "4"}, {"2027", "05", "04", "14:00", "18:00", "3"}}
        << "2027 Május"
        << "2028"
        << "Május" << QStringList{"20280502 14:00-18:00 @3"}
        << "1 véradást másoltam át a(z) 2027 Május hónapból a(z) 2028 Május hónapba.\n\n"
           "Kimaradt, mert a helyszín megszűnt:\n"
           "  2027. 05. 04. kedd, 08:00-12:00, Algyő - Faluház";
    QTest::newRow("December into January")
        << Rows{{"2027", "12", "03", "08:00", "12:00", "1"},
                {"2027", "12", "14", "10:00", "14:00", "2"},
                {"2027", "12", "14", "10:00", "14:00", "3"}}
        << "2027 December"
        << "2028"
        << "Január" << QStringList{"20280107 08:00-12:00 @1", "20280111 10:00-14:00 @2", "20280111 10:00-14:00 @3"}
        << "3 véradást másoltam át a(z) 2027 December hónapból a(z) 2028 Január hónapba.";
    QTest::newRow("a 5th Tuesday into a leap February")
        << Rows{{"2027", "03", "30", "08:00", "12:00", "1"}, {"2027", "03", "06", "08:00", "12:00", "2"}}
        << "2027 Március"
        << "2028"
        << "Február" << QStringList{"20280205 08:00-12:00 @2", "20280229 08:00-12:00 @1"}
        << "2 véradást másoltam át a(z) 2027 Március hónapból a(z) 2028 Február hónapba.\n\n"
           "Hétvégére vagy munkaszüneti napra esik, érdemes átnézni:\n"
           "  2028. 02. 05. szombat, 08:00-12:00, Makó - Városháza";
    Rows fifthWeek;
    for (const char* day : {"30", "31"}) {
        for (int hour = 8; hour < 15; ++hour)
            fifthWeek << QStringList{"2026",
                                     "03",
                                     day,
                                     QStringLiteral("%1:00").arg(hour, 2, 10, QLatin1Char('0')),
                                     QStringLiteral("%1:30").arg(hour, 2, 10, QLatin1Char('0')),
                                     "1"};
    }
    QStringList summarised{"0 véradást másoltam át a(z) 2026 Március hónapból a(z) 2027 Február hónapba.", "",
                           "Kimaradt, mert a hónapban nincs ilyen nap (például 5. hétfő):"};
    for (int n = 0; n < 12; ++n)
        summarised << QStringLiteral("  2026. 03. %1. %2, %3:00-%3:30, Szeged - Egyetem")
                          .arg(n < 7 ? "30" : "31", n < 7 ? "hétfő" : "kedd")
                          .arg(8 + n % 7, 2, 10, QLatin1Char('0'));
    summarised << QStringLiteral("  … és még 2");
    QTest::newRow("a long list of the left out is cut") << fifthWeek << "2026 Március"
                                                        << "2027"
                                                        << "Február" << QStringList() << summarised.join(u'\n');
    QTest::newRow("a 1st Friday onto New Year's Day")
        << Rows{{"2026", "05", "01", "08:00", "12:00", "1"}, {"2026", "06", "05", "08:00", "12:00", "2"}}
        << "2026 Május"
        << "2027"
        << "Január" << QStringList{"20270101 08:00-12:00 @1"}
        << "1 véradást másoltam át a(z) 2026 Május hónapból a(z) 2027 Január hónapba.\n\n"
           "Hétvégére vagy munkaszüneti napra esik, érdemes átnézni:\n"
           "  2027. 01. 01. péntek – újév, 08:00-12:00, Szeged - Egyetem";
}

// Each appointment to the same weekday of the same week, in one go, then
// the month open as a new month opens, and a box that says what happened.
void TestOrganiser::copyAMonth()
{
    QFETCH(Rows, source);
    QFETCH(QString, from);
    QFETCH(QString, year);
    QFETCH(QString, month);
    QFETCH(QStringList, copied);
    QFETCH(QString, report);
    Organiser organiser;
    for (const QStringList& row : source)
        organiser.folder.addDonation(qPrintable(row[0]), qPrintable(row[1]), qPrintable(row[2]), qPrintable(row[3]),
                                     qPrintable(row[4]), row[5].toInt());
    const int before = organiser.folder.scalar(QStringLiteral("SELECT COUNT(*) FROM at_veradasok")).toInt();
    QVERIFY(organiser.program.start());
    organiser.startMonth(year, month, from);
    const QString target = year
        + QStringLiteral("%1").arg(organiser.find<QComboBox>("cmbMonth")->currentIndex() + 1, 2, 10, QLatin1Char('0'));
    QCOMPARE(organiser.stored(target), copied);
    QCOMPARE(organiser.folder.scalar(QStringLiteral("SELECT COUNT(*) FROM at_veradasok")).toInt(),
             before + copied.size());
    QCOMPARE(organiser.program.messages.captions(), QStringList{"Másolás"});
    QCOMPARE(organiser.program.messages.boxes[0].text, report);
    QVERIFY(organiser.find<QWidget>("pnlVeradasok")->isVisible());
    QCOMPARE(organiser.find<ListGrid>("dbgVeradasok")->queryModel()->rowCount(), copied.size());
    organiser.program.screenshot("copied-month");
}

void TestOrganiser::copyIntoAMonthWithAppointmentsIsRefused()
{
    Organiser organiser;
    organiser.folder.addDonation("2027", "03", "09", "08:00", "12:00", 1);
    organiser.folder.addDonation("2028", "03", "14", "10:00", "12:00", 2);
    QVERIFY(organiser.program.start());
    organiser.startMonth("2028", "Március", "2027 Március");
    QCOMPARE(organiser.program.messages.captions(), QStringList{"Másolás"});
    QCOMPARE(organiser.program.messages.boxes[0].text,
             QStringLiteral("A(z) 2028 Március hónapban már vannak véradások, ezért nem másoltam bele semmit. "
                            "Másolni csak üres hónapba lehet."));
    QCOMPARE(organiser.stored("202803"), QStringList{"20280314 10:00-12:00 @2"});
    // The panel stays for another choice; "Mégsem" gives the toolbar back.
    QVERIFY(organiser.find<QWidget>("pnlNewTable")->isVisible());
    QVERIFY(!organiser.find<QWidget>("pnlVeradasok")->isVisible());
    organiser.click("btnCancelTable");
    QVERIFY(organiser.find<QAbstractButton>("btnNew")->isEnabled());
}

// The source list runs latest first and starts on the target's month of
// the year before; the box can be ticked only when there is a month to copy.
void TestOrganiser::sourceOffersLastYearsMonth()
{
    Organiser organiser;
    QVERIFY(organiser.program.start());
    organiser.click("btnNew");
    QVERIFY(!organiser.find<QCheckBox>("chkCopyFrom")->isEnabled());
    organiser.click("btnCancelTable");
    for (const char* month : {"01", "02", "11"})
        organiser.folder.addDonation("2027", month, "05", "08:00", "12:00", 1);
    organiser.click("btnNew");
    QComboBox* sources = organiser.find<QComboBox>("cmbSourceMonth");
    QCOMPARE(sources->accessibleName(), QStringLiteral("Forrás hónap"));
    QCOMPARE(sources->count(), 3);
    QCOMPARE(sources->itemText(0), QStringLiteral("2027 November"));
    // December 2027 today: January 2028 is offered, and January 2027 with it.
    QCOMPARE(sources->currentText(), QStringLiteral("2027 Január"));
    QVERIFY(!sources->isEnabled());
    organiser.find<QCheckBox>("chkCopyFrom")->setChecked(true);
    QVERIFY(sources->isEnabled());
    organiser.choose("cmbMonth", QStringLiteral("Február"));
    QCOMPARE(sources->currentText(), QStringLiteral("2027 Február"));
    organiser.program.screenshot("new-month-panel-copy");
}

void TestOrganiser::warningBeforeAnUnusualDay_data()
{
    QTest::addColumn<QString>("day"); // of January 2027; 05 holds 10:00-12:00 at Szeged
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("location");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("warning"); // empty: saved without a box
    QTest::newRow("New Year's Day") << "01"
                                    << "08:00"
                                    << "12:00" << 1 << "péntek – újév"
                                    << "2027. 01. 01. péntek: újév (munkaszüneti nap). Biztosan rögzíted?";
    QTest::newRow("Saturday") << "02"
                              << "08:00"
                              << "12:00" << 1 << "szombat"
                              << "2027. 01. 02. szombat: hétvégi nap. Biztosan rögzíted?";
    QTest::newRow("overlap at the same place")
        << "05"
        << "11:00"
        << "13:00" << 1 << "kedd"
        << "2027. 01. 05. kedd: ugyanezen a helyszínen ezen a napon már van véradás, amely egybeesik vele "
           "(10:00-12:00). Biztosan rögzíted?";
    QTest::newRow("touching ends") << "05"
                                   << "12:00"
                                   << "14:00" << 1 << "kedd"
                                   << "";
    QTest::newRow("same time elsewhere") << "05"
                                         << "10:00"
                                         << "12:00" << 2 << "kedd"
                                         << "";
}

// Asked before the save; "Igen" stores, "Nem" goes back to the entry as it
// was and stores nothing.
void TestOrganiser::warningBeforeAnUnusualDay()
{
    QFETCH(QString, day);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(int, location);
    QFETCH(QString, label);
    QFETCH(QString, warning);
    for (const auto answer : {UserMessages::Answer::No, UserMessages::Answer::Yes}) {
        Organiser organiser;
        organiser.folder.addDonation("2027", "01", "05", "10:00", "12:00", 1);
        QVERIFY(organiser.program.start());
        organiser.startMonth("2027", "Január");
        organiser.click("btnNewVeradas");
        organiser.fill(day, start, end, location);
        QCOMPARE(organiser.find<QLabel>("lblNapNeve")->text(), label);
        organiser.program.messages.answerNext(answer);
        organiser.click("btnAddVeradas");
        const QStringList existing{"20270105 10:00-12:00 @1"};
        QStringList withNew = existing;
        // The drop-down is in name order: Egyetem (1), Kórház (3), Városháza (2).
        const int id = location == 1 ? 1 : location == 2 ? 3 : 2;
        withNew << QStringLiteral("2027%1%2 %3-%4 @%5").arg("01", day, start, end).arg(id);
        withNew.sort();
        if (warning.isEmpty()) {
            QVERIFY(organiser.program.messages.boxes.isEmpty());
            QCOMPARE(organiser.stored("202701"), withNew);
            break; // nothing was asked, so the answer does not matter
        }
        QCOMPARE(organiser.program.messages.captions(), QStringList{"Figyelmeztetés"});
        QCOMPARE(organiser.program.messages.boxes[0].text, warning);
        QCOMPARE(organiser.program.messages.boxes[0].buttons, UserMessages::Buttons::YesNo);
        DonationsPanel* panel = organiser.program.window->donationsPanel();
        if (answer == UserMessages::Answer::No) {
            QCOMPARE(organiser.stored("202701"), existing);
            QCOMPARE(panel->EditMode, EditModes::New);
            QCOMPARE(organiser.find<QComboBox>("cmbDay")->currentText(), day);
            QCOMPARE(organiser.find<QLineEdit>("edtKezdes")->text(), start);
            QCOMPARE(organiser.find<QComboBox>("cmbHelyszinek")->currentIndex(), location);
            organiser.program.screenshot("warning-day-label");
        } else {
            QCOMPARE(organiser.stored("202701"), withNew);
        }
    }
}

void TestOrganiser::aChangedRowDoesNotClashWithItself()
{
    Organiser organiser;
    organiser.folder.addDonation("2027", "01", "05", "10:00", "12:00", 1);
    QVERIFY(organiser.program.start());
    organiser.startMonth("2027", "Január");
    ListGrid* grid = organiser.find<ListGrid>("dbgVeradasok");
    const QPoint cell = grid->visualRect(grid->model()->index(0, 8)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell);
    QCOMPARE(organiser.program.window->donationsPanel()->EditMode, EditModes::Change);
    organiser.find<QLineEdit>("edtBefejezes")->setText(QStringLiteral("12:30"));
    organiser.click("btnAddVeradas");
    QVERIFY(organiser.program.messages.boxes.isEmpty());
    QCOMPARE(organiser.stored("202701"), QStringList{"20270105 10:00-12:30 @1"});
}

// The longest weekday with the longest holiday name still fits beside the
// day drop-down, in the window's own font.
void TestOrganiser::dayLabelHoldsEveryHolidaysName()
{
    Organiser organiser;
    QVERIFY(organiser.program.start());
    organiser.startMonth("2027", "Január");
    QLabel* label = organiser.find<QLabel>("lblNapNeve");
    const QFontMetrics metrics(label->font());
    for (QDate date(2024, 1, 1); date.year() <= 2030; date = date.addDays(1)) {
        if (HolidayName(date).isEmpty())
            continue;
        const QString text = DayDescription(date);
        QVERIFY2(metrics.horizontalAdvance(text) <= label->contentsRect().width(), qPrintable(text));
    }
}

QTEST_MAIN(TestOrganiser)
#include "TestOrganiser.moc"
