// Months, appointments and their editor, on the real window with a real
// database file, Csongrád (county 6) chosen and a fixed clock.

#include "app/grid/ListGrid.h"
#include "app/schedule/DonationsPanel.h"
#include "app/schedule/OpenMonthPanel.h"
#include "model/Base.h"
#include "store/Connection.h"
#include "store/DataModule.h"
#include "store/DatabaseTarget.h"
#include "support/Fixture.h"
#include "support/PythonPeer.h"

#include <QComboBox>
#include <QCursor>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

class ScheduleFixture {
public:
    ScheduleFixture()
    {
        folder.chooseCounty(6);
        // Locations: 1 Szeged Egyetem, 2 Makó Városháza, 3 Szentes Kórház, 4 withdrawn Algyő Faluház,
        // 5 in another county.
        folder.addLocation("Szeged", 6720, "Dugonics tér 13.", "Egyetem");
        folder.addLocation("Makó", 6900, "Széchenyi tér 22.", "Városháza");
        folder.addLocation("Szentes", 6600, "Sima F. u. 44.", "Kórház");
        folder.addLocation("Algyő", 6750, "Kastélykert u. 40.", "Faluház", 1);
        folder.exec("INSERT INTO at_helyszinek (deleted, telepules_kod, cim, helyszin) "
                    "SELECT 0, id, 'Más megye', 'Máshol' FROM at_telepulesek WHERE megye_kod=7 LIMIT 1");
    }

    void addDonation(const char* ev, const char* honap, const char* nap, const char* kezdes, const char* befejezes,
                     int location) const
    {
        folder.addDonation(ev, honap, nap, kezdes, befejezes, location);
    }

    QStringList stored() const
    {
        return folder.lines("SELECT ev || honap || nap || ' ' || kezdes || '-' || befejezes || ' @' || helyszin_kod "
                            "FROM at_veradasok ORDER BY id");
    }

    DatabaseFolder folder;
};

struct ScheduleView {
    RunningProgram& program;
    ListGrid* grid() const { return program.find<ListGrid>("dbgVeradasok"); }
    QComboBox* combo(const char* name) const { return program.find<QComboBox>(name); }
    QLineEdit* time(const char* name) const { return program.find<QLineEdit>(name); }
    QPushButton* button(const char* name) const { return program.find<QPushButton>(name); }
    Base& base() const { return program.window->base(); }
    DonationsPanel& editor() const { return *program.window->donationsPanel(); }
    void click(const char* name) const { QTest::mouseClick(program.find<QAbstractButton>(name), Qt::LeftButton); }

    // New month through the toolbar, choosing year and month by text.
    void startMonth(const QString& year, const QString& month) const
    {
        click("btnNew");
        QComboBox* years = combo("cmbYear");
        years->setCurrentIndex(years->findText(year));
        combo("cmbMonth")->setCurrentIndex(combo("cmbMonth")->findText(month));
        click("btnMakeTable");
    }
    void openMonth(int entry) const
    {
        click("btnOpen");
        combo("cmbVeradasok")->setCurrentIndex(entry);
        click("btnOpenVeradasok");
    }
    QPoint cellCentre(int row, int column = 8) const
    {
        return grid()->visualRect(grid()->model()->index(row, column)).center();
    }
    void clickRow(int row) const { QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(row)); }
    void doubleClickRow(int row) const
    {
        clickRow(row);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(row));
    }
    void clickTitle(int column) const
    {
        QHeaderView* header = grid()->horizontalHeader();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }
    // Rows as "nap kezdes-befejezes telepules/helyszin".
    QStringList rows() const
    {
        QStringList result;
        for (int r = 0; r < grid()->queryModel()->rowCount(); ++r)
            result << grid()->value(r, 3).toString() + u' ' + grid()->value(r, 4).toString() + u'-'
                    + grid()->value(r, 5).toString() + u' ' + grid()->value(r, 7).toString() + u'/'
                    + grid()->value(r, 9).toString();
        return result;
    }
    void fill(const QString& day, const QString& start, const QString& end, int location) const
    {
        combo("cmbDay")->setCurrentIndex(combo("cmbDay")->findText(day));
        time("edtKezdes")->setText(start);
        time("edtBefejezes")->setText(end);
        combo("cmbHelyszinek")->setCurrentIndex(location);
    }
    int locationPosition(const QString& prefix) const
    {
        QComboBox* locations = combo("cmbHelyszinek");
        for (int i = 0; i < locations->count(); ++i)
            if (locations->itemText(i).startsWith(prefix))
                return i;
        return -1;
    }
};

} // namespace

class TestSchedule : public QObject {
    Q_OBJECT
private slots:
    void gatesRefuseWithoutCounty();
    void twoProgramsSeeEachOthersAppointments();
    void newMonthPreselection_data();
    void newMonthPreselection();
    void yearBeforeTheListIsRefusedUntilChosen();
    void daysOfTheMonth_data();
    void daysOfTheMonth();
    void newOnAMonthWithAppointmentsListsThem();
    void openMonthListAndMapping();
    void openWithNoMonths();
    void saveChecks_data();
    void saveChecks();
    void keyboardOnlyEntry();
    void timeFieldRefusesToBeLeftUnfilled();
    void changeThenNextSaveInserts();
    void identicalAppointmentsAndWithdrawnLocation();
    void changingNeedsAnAppointmentOfThisMonth();
    void deleteIsDisabledWhileEditing();
    void deleteLastRowAndQuestion();
    void deleteNamesTheRowMovedTo();
    void titleClicks();
    void sortMarkLeavesANarrowTitleInPlace();
    void failedListLoadShowsOneBox();
    void everythingSurvivesARestart();
    void failedMonthQueryLeavesAUsableToolbar();
    void openingAnotherMonthNeverShowsTheFormerRows();
    void cancelAfterAFailedSaveShowsTheList();
    void changeOrDeleteOfAnAppointmentDeletedElsewhere();
    void lockWaitShowsTheWaitCursor();
    void lostAnswerSaysTheSaveMayHaveHappened();
    void pressAndReleaseOnTheEditorButtons();
};

// Two workstations on one database: a month one of them fills in, the
// other finds among the months it can open, with its appointments.
void TestSchedule::twoProgramsSeeEachOthersAppointments()
{
    ScheduleFixture fixture;
    fixture.addDonation("2016", "04", "09", "08:00", "12:00", 1);
    RunningProgram first;
    RunningProgram second;
    QVERIFY(first.start());
    QVERIFY(second.start());
    ScheduleView mine{first};
    ScheduleView theirs{second};
    theirs.openMonth(0);
    QCOMPARE(theirs.rows(), QStringList{"09 08:00-12:00 Szeged/Egyetem"});
    mine.startMonth("2016", "Május");
    mine.click("btnNewVeradas");
    mine.fill("13", "08:30", "12:30", mine.locationPosition("6900"));
    mine.click("btnAddVeradas");
    QVERIFY(first.messages.boxes.isEmpty());
    theirs.click("btnCloseVeradasok");
    theirs.openMonth(1);
    QCOMPARE(theirs.rows(), QStringList{"13 08:30-12:30 Makó/Városháza"});
    QVERIFY(second.messages.boxes.isEmpty());
}

void TestSchedule::gatesRefuseWithoutCounty()
{
    DatabaseFolder folder;
    RunningProgram program;
    QVERIFY(program.start());
    program.messages.clear();
    ScheduleView view{program};
    view.click("btnNew");
    view.click("btnOpen");
    QCOMPARE(program.messages.boxes.size(), 2);
    QCOMPARE(program.messages.boxes[0].text,
             QStringLiteral("Az adatok felvitelét nem lehet elkezdeni, amig nincsen "
                            "kiválasztva a Megye! [BEÁLLÍTÁSOK]"));
    QCOMPARE(program.messages.boxes[1].text,
             QStringLiteral("Az adatok megnyitását nem lehet elvégezni, amig nincsen "
                            "kiválasztva a Megye! [BEÁLLÍTÁSOK]"));
    for (const auto& box : program.messages.boxes) {
        QCOMPARE(box.caption, QStringLiteral("Hiányos adatok!"));
        QCOMPARE(box.icon, UserMessages::Icon::Warning);
    }
    QVERIFY(program.find<QToolButton>("btnNew")->isEnabled());
}

void TestSchedule::newMonthPreselection_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("month");
    QTest::newRow("15 March 2016") << QDate(2016, 3, 15) << "2016"
                                   << "Április";
    QTest::newRow("3 December 2016") << QDate(2016, 12, 3) << "2017"
                                     << "Január";
    QTest::newRow("today") << QDate::currentDate() << QString::number(QDate::currentDate().addMonths(1).year())
                           << MonthNames[QDate::currentDate().addMonths(1).month() - 1];
    QTest::newRow("January 2012") << QDate(2012, 1, 31) << "2012"
                                  << "Február";
}

void TestSchedule::newMonthPreselection()
{
    QFETCH(QDate, today);
    QFETCH(QString, year);
    QFETCH(QString, month);
    ScheduleFixture fixture;
    RunningProgram program;
    program.clock.fixed = QDateTime(today, QTime(9, 0));
    QVERIFY(program.start());
    ScheduleView view{program};
    view.click("btnNew");
    QWidget* panel = program.find<QWidget>("pnlNewTable");
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->pos(), QPoint(327, 247));
    QCOMPARE(view.combo("cmbYear")->currentText(), year);
    QCOMPARE(view.combo("cmbYear")->itemText(0), QStringLiteral("2012"));
    QCOMPARE(view.combo("cmbYear")->currentIndex(), year.toInt() - 2012);
    QCOMPARE(view.combo("cmbMonth")->currentText(), month);
    QCOMPARE(view.combo("cmbMonth")->count(), 12);
    QCOMPARE(QApplication::focusWidget(), view.combo("cmbMonth"));
    program.screenshot("new-month-panel");
    QVERIFY(!program.find<QToolButton>("btnNew")->isEnabled());
    view.click("btnCancelTable");
    QVERIFY(!panel->isVisible());
    QVERIFY(program.find<QToolButton>("btnNew")->isEnabled());
}

void TestSchedule::yearBeforeTheListIsRefusedUntilChosen()
{
    ScheduleFixture fixture;
    RunningProgram program;
    program.clock.fixed = QDateTime(QDate(2010, 6, 1), QTime(9, 0));
    QVERIFY(program.start());
    ScheduleView view{program};
    view.click("btnNew");
    QCOMPARE(view.combo("cmbYear")->currentIndex(), -1);
    QCOMPARE(view.combo("cmbMonth")->currentText(), QStringLiteral("Július"));
    view.click("btnMakeTable");
    QCOMPARE(program.messages.captions(), QStringList{"Hiányos adatok!"});
    QVERIFY(program.find<QWidget>("pnlNewTable")->isVisible());
    QVERIFY(!program.find<QWidget>("pnlVeradasok")->isVisible());
    view.combo("cmbYear")->setCurrentIndex(view.combo("cmbYear")->findText("2012"));
    view.click("btnMakeTable");
    QCOMPARE(view.base().SelectedYear, 2012);
    QCOMPARE(int(view.base().SelectedMonth), 7);
}

void TestSchedule::daysOfTheMonth_data()
{
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("month");
    QTest::addColumn<int>("days");
    QTest::newRow("February 2016") << "2016"
                                   << "Február" << 29;
    QTest::newRow("February 2013") << "2013"
                                   << "Február" << 28;
    QTest::newRow("April 2013") << "2013"
                                << "Április" << 30;
    QTest::newRow("December 2016") << "2016"
                                   << "December" << 31;
}

void TestSchedule::daysOfTheMonth()
{
    QFETCH(QString, year);
    QFETCH(QString, month);
    QFETCH(int, days);
    ScheduleFixture fixture;
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.startMonth(year, month);
    QCOMPARE(view.base().DaysInSelectedMonth, days);
    QComboBox* dayList = view.combo("cmbDay");
    QCOMPARE(dayList->count(), days);
    QCOMPARE(dayList->itemText(0), QStringLiteral("01"));
    QCOMPARE(dayList->itemText(8), QStringLiteral("09"));
    QCOMPARE(dayList->itemText(9), QStringLiteral("10"));
    QCOMPARE(dayList->itemText(days - 1), QString::number(days));
    QCOMPARE(program.find<QLabel>("lblHaviVeradas")->text(),
             year + u' ' + month + QStringLiteral(" havi véradó napok"));
}

void TestSchedule::newOnAMonthWithAppointmentsListsThem()
{
    ScheduleFixture fixture;
    fixture.addDonation("2016", "04", "12", "08:00", "12:00", 2);
    fixture.addDonation("2016", "04", "05", "09:00", "13:00", 1);
    fixture.addDonation("2016", "05", "05", "09:00", "13:00", 1); // another month
    fixture.addDonation("2016", "4", "01", "09:00", "13:00", 1);  // a month text without its zero is never selected
    fixture.folder.exec("INSERT INTO at_veradasok (ev, honap, nap, kezdes, befejezes, helyszin_kod) "
                        "VALUES ('2016', '04', '01', '07:00', '08:00', 5)"); // another county's location
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.click("btnNew"); // 15 March 2016: April preselected
    view.click("btnMakeTable");
    QWidget* panel = program.find<QWidget>("pnlVeradasok");
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->pos(), QPoint(38, 47));
    QCOMPARE(view.rows(), QStringList({"05 09:00-13:00 Szeged/Egyetem", "12 08:00-12:00 Makó/Városháza"}));
    QCOMPARE(fixture.stored().size(), 5); // nothing written
    QVERIFY(!program.find<QToolButton>("btnNew")->isEnabled());
    QVERIFY(program.find<QWidget>("tlbMain")->isEnabled());
    QCOMPARE(QApplication::focusWidget(), view.button("btnNewVeradas"));
    QVERIFY(!view.button("btnDeleteVeradas")->isEnabled());
    QVERIFY(!view.combo("cmbDay")->isEnabled());

    // Location choices: live ones of the county, by name; the placeholder first.
    QComboBox* locations = view.combo("cmbHelyszinek");
    QCOMPARE(locations->count(), 4);
    QCOMPARE(locations->itemText(0), QStringLiteral("- Helyszin kiválasztása -"));
    QCOMPARE(locations->itemText(1), QStringLiteral("6720 Szeged, Dugonics tér 13. - Egyetem"));
    QCOMPARE(locations->itemText(2), QStringLiteral("6600 Szentes, Sima F. u. 44. - Kórház"));
    QCOMPARE(locations->itemText(3), QStringLiteral("6900 Makó, Széchenyi tér 22. - Városháza"));

    for (int c : {0, 1, 2, 10, 11})
        QVERIFY(view.grid()->isColumnHidden(c));
    const QList<int> widths = {24, 56, 56, 32, 167, 207, 240};
    for (int c = 3; c <= 9; ++c)
        QCOMPARE(view.grid()->columnWidth(c), widths[c - 3]);
    program.screenshot("schedule-panel");

    view.click("btnCloseVeradasok");
    QVERIFY(!panel->isVisible());
    QVERIFY(program.find<QToolButton>("btnNew")->isEnabled());
}

void TestSchedule::openMonthListAndMapping()
{
    ScheduleFixture fixture;
    fixture.addDonation("2014", "01", "20", "08:00", "12:00", 3);
    fixture.addDonation("2013", "09", "05", "08:00", "12:30", 1);
    fixture.addDonation("2013", "09", "06", "08:00", "12:30", 4); // withdrawn locations count too
    fixture.addDonation("2013", "10", "06", "08:00", "12:30", 5); // another county
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.click("btnOpen");
    QWidget* panel = program.find<QWidget>("pnlMegnyitas");
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->pos(), QPoint(327, 272));
    QComboBox* months = view.combo("cmbVeradasok");
    QCOMPARE(months->count(), 2);
    QCOMPARE(months->itemText(0), QStringLiteral("2013 Szeptember"));
    QCOMPARE(months->itemText(1), QStringLiteral("2014 Január"));
    QCOMPARE(months->currentIndex(), 0);
    QCOMPARE(program.window->openMonthPanel()->MonthList.at(1).ev, 2014);
    QCOMPARE(int(program.window->openMonthPanel()->MonthList.at(1).honap), 0);
    program.screenshot("open-month-panel");
    months->setCurrentIndex(1);
    view.click("btnOpenVeradasok");
    QCOMPARE(view.base().SelectedYear, 2014);
    QCOMPARE(int(view.base().SelectedMonth), 1);
    QCOMPARE(program.find<QLabel>("lblHaviVeradas")->text(), QStringLiteral("2014 Január havi véradó napok"));
    QCOMPARE(view.rows(), QStringList{"20 08:00-12:00 Szentes/Kórház"});
    view.click("btnCloseVeradasok");

    view.openMonth(0);
    QCOMPARE(view.rows(), QStringList({"05 08:00-12:30 Szeged/Egyetem", "06 08:00-12:30 Algyő/Faluház"}));
    // A withdrawn location is listed but is not a choice: the row shows the placeholder.
    view.clickRow(1);
    QCOMPARE(view.combo("cmbHelyszinek")->currentIndex(), 0);
    QCOMPARE(view.combo("cmbDay")->currentText(), QStringLiteral("06"));
    QCOMPARE(view.time("edtBefejezes")->text(), QStringLiteral("12:30"));
    QCOMPARE(view.editor().CurrentDonation.helyszin_kod, 4);
}

void TestSchedule::openWithNoMonths()
{
    ScheduleFixture fixture;
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.click("btnOpen");
    QVERIFY(program.find<QWidget>("pnlMegnyitas")->isVisible());
    QCOMPARE(view.combo("cmbVeradasok")->count(), 0);
    QVERIFY(program.messages.boxes.isEmpty());
    view.click("btnOpenVeradasok");
    QCOMPARE(program.messages.boxes.size(), 1);
    QCOMPARE(program.messages.boxes[0].text, QStringLiteral("Még nem rögzítettél adatot, így nincs mit megnyitni!"));
    QCOMPARE(program.messages.boxes[0].caption, QStringLiteral("Hiányos adatok!"));
    QCOMPARE(program.messages.boxes[0].icon, UserMessages::Icon::Information);
    QVERIFY(program.find<QWidget>("pnlMegnyitas")->isVisible());
    view.click("btnCancelMegnyitas");
    QVERIFY(program.find<QToolButton>("btnOpen")->isEnabled());
}

void TestSchedule::saveChecks_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("location");
    QTest::addColumn<QString>("text"); // empty: saved
    QTest::addColumn<QString>("focus");
    const QString startMessage = "Értelmezhetetlen Kezdési időpontot adtál meg. Kérlek nézd át!";
    const QString endMessage = "Értelmezhetetlen Befejezési időpontot adtál meg. Kérlek nézd át!";
    const QString locationMessage = "A véradás rögzítéséhez a helyszínt ki kell választanod!";
    QTest::newRow("start 24:00") << "24:00"
                                 << "12:00" << 1 << startMessage << "edtKezdes";
    QTest::newRow("end 12:60") << "09:30"
                               << "12:60" << 1 << endMessage << "edtBefejezes";
    QTest::newRow("both invalid") << "25:00"
                                  << "99:99" << 0 << startMessage << "edtKezdes";
    QTest::newRow("start unfilled") << "08:"
                                    << "12:00" << 1 << startMessage << "edtKezdes";
    QTest::newRow("no location") << "08:00"
                                 << "12:00" << 0 << locationMessage << "cmbHelyszinek";
    QTest::newRow("end before start is kept") << "08:00"
                                              << "07:00" << 1 << ""
                                              << "cmbDay";
    QTest::newRow("cleared times") << "00:00"
                                   << "00:00" << 2 << ""
                                   << "cmbDay";
    QTest::newRow("last minute") << "23:59"
                                 << "23:59" << 3 << ""
                                 << "cmbDay";
}

void TestSchedule::saveChecks()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(int, location);
    QFETCH(QString, text);
    QFETCH(QString, focus);
    ScheduleFixture fixture;
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.startMonth("2013", "Szeptember");
    view.click("btnNewVeradas");
    view.fill("09", start, end, location); // a Monday: no weekend warning
    view.click("btnAddVeradas");
    if (text.isEmpty()) {
        QVERIFY(program.messages.boxes.isEmpty());
        const QString id = fixture.folder.scalar(QStringLiteral("SELECT id FROM at_helyszinek WHERE helyszin='%1'")
                                                     .arg(location == 1       ? "Egyetem"
                                                              : location == 2 ? "Kórház"
                                                                              : "Városháza"));
        QCOMPARE(fixture.stored(), QStringList{"20130909 " + start + u'-' + end + " @" + id});
        QCOMPARE(view.time("edtKezdes")->text(), QStringLiteral("00:00"));
        QCOMPARE(view.combo("cmbHelyszinek")->currentIndex(), 0);
        QCOMPARE(view.rows().size(), 1);
    } else {
        QCOMPARE(program.messages.boxes.size(), 1);
        QCOMPARE(program.messages.boxes[0].text, text);
        QCOMPARE(program.messages.boxes[0].icon, UserMessages::Icon::Warning);
        QVERIFY(fixture.stored().isEmpty());
    }
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    QCOMPARE(view.editor().EditMode, EditModes::New);
}

void TestSchedule::keyboardOnlyEntry()
{
    ScheduleFixture fixture;
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.startMonth("2016", "Május");
    QWidget* focus = QApplication::focusWidget();
    QCOMPARE(focus, view.button("btnNewVeradas"));
    QTest::keyClick(focus, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), view.combo("cmbDay"));
    QTest::keyClicks(view.combo("cmbDay"), "13");
    QCOMPARE(view.combo("cmbDay")->currentText(), QStringLiteral("13"));
    QTest::keyClick(view.combo("cmbDay"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), view.time("edtKezdes"));
    view.time("edtKezdes")->selectAll();
    QTest::keyClicks(view.time("edtKezdes"), "0830");
    QTest::keyClick(view.time("edtKezdes"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), view.time("edtBefejezes"));
    view.time("edtBefejezes")->selectAll();
    QTest::keyClicks(view.time("edtBefejezes"), "1230");
    QTest::keyClick(view.time("edtBefejezes"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), view.combo("cmbHelyszinek"));
    QTest::keyClicks(view.combo("cmbHelyszinek"), "6900");
    QTest::keyClick(view.combo("cmbHelyszinek"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), view.button("btnAddVeradas"));
    QTest::keyClick(view.button("btnAddVeradas"), Qt::Key_Return);
    QVERIFY(program.messages.boxes.isEmpty());
    QCOMPARE(fixture.stored(), QStringList{"20160513 08:30-12:30 @2"});
    QCOMPARE(view.rows(), QStringList{"13 08:30-12:30 Makó/Városháza"});
    // Escape on the day drop-down ends the entry.
    QTest::keyClick(view.combo("cmbDay"), Qt::Key_Escape);
    QCOMPARE(view.editor().EditMode, EditModes::Idle);
    QCOMPARE(QApplication::focusWidget(), view.grid());
    QVERIFY(view.button("btnNewVeradas")->isEnabled());
}

void TestSchedule::timeFieldRefusesToBeLeftUnfilled()
{
    ScheduleFixture fixture;
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.startMonth("2016", "Május");
    view.click("btnNewVeradas");
    QLineEdit* start = view.time("edtKezdes");
    QCOMPARE(start->text(), QStringLiteral("00:00"));
    QCOMPARE(start->inputMask(), QStringLiteral("99:99"));
    start->setFocus();
    start->selectAll();
    QTest::keyClick(start, Qt::Key_Delete);
    QTest::keyClicks(start, "1a7");
    QCOMPARE(start->displayText(), QStringLiteral("17:  "));
    QTest::keyClick(start, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), start);
    QTest::keyClick(start, Qt::Key_Return);
    QTest::qWait(20);
    QCOMPARE(QApplication::focusWidget(), start);
    QTest::keyClicks(start, "45");
    QTest::keyClick(start, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), view.time("edtBefejezes"));
    QCOMPARE(start->text(), QStringLiteral("17:45"));
    // Escape leaves even an unfilled field: the entry is abandoned.
    view.time("edtBefejezes")->selectAll();
    QTest::keyClick(view.time("edtBefejezes"), Qt::Key_Delete);
    QTest::keyClick(view.time("edtBefejezes"), Qt::Key_Escape);
    QCOMPARE(view.editor().EditMode, EditModes::Idle);
    QCOMPARE(view.time("edtBefejezes")->text(), QStringLiteral("00:00"));
}

void TestSchedule::changeThenNextSaveInserts()
{
    ScheduleFixture fixture;
    fixture.addDonation("2016", "04", "05", "09:00", "13:00", 1);
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.click("btnNew");
    view.click("btnMakeTable");
    view.doubleClickRow(0);
    QCOMPARE(view.editor().EditMode, EditModes::Change);
    QVERIFY(!view.grid()->isEnabled());
    QVERIFY(!view.button("btnNewVeradas")->isEnabled());
    QVERIFY(!program.find<QToolButton>("btnCloseVeradasok")->isEnabled());
    view.time("edtBefejezes")->setText("14:00");
    view.click("btnAddVeradas");
    QCOMPARE(fixture.stored(), QStringList{"20160405 09:00-14:00 @1"});
    QCOMPARE(view.editor().EditMode, EditModes::New);
    view.fill("06", "10:00", "11:00", view.locationPosition("6600"));
    view.click("btnAddVeradas");
    QCOMPARE(fixture.stored(), QStringList({"20160405 09:00-14:00 @1", "20160406 10:00-11:00 @3"}));
}

void TestSchedule::identicalAppointmentsAndWithdrawnLocation()
{
    ScheduleFixture fixture;
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.startMonth("2016", "Június");
    view.click("btnNewVeradas");
    // The second is a double booking: asked about, and stored on "Igen".
    program.messages.answerNext(UserMessages::Answer::Yes);
    for (int i = 0; i < 2; ++i) {
        view.fill("10", "08:00", "12:00", view.locationPosition("6720"));
        view.click("btnAddVeradas");
    }
    QCOMPARE(program.messages.captions(), QStringList{"Figyelmeztetés"});
    QCOMPARE(view.rows(), QStringList({"10 08:00-12:00 Szeged/Egyetem", "10 08:00-12:00 Szeged/Egyetem"}));
    QCOMPARE(fixture.stored().size(), 2);
}

void TestSchedule::changingNeedsAnAppointmentOfThisMonth()
{
    ScheduleFixture fixture;
    fixture.addDonation("2016", "04", "05", "09:00", "13:00", 1);
    fixture.addDonation("2016", "05", "07", "09:00", "13:00", 2);
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.openMonth(0); // April
    view.clickRow(0);
    view.click("btnCloseVeradasok");
    view.openMonth(1); // May: the April appointment must not be changeable from here
    QTest::mouseDClick(view.grid()->viewport(), Qt::LeftButton, {}, QPoint(300, 300)); // below the last row
    QCOMPARE(view.editor().EditMode, EditModes::Idle);
    QHeaderView* header = view.grid()->horizontalHeader();
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(8) + 5, 10));
    QCOMPARE(view.editor().EditMode, EditModes::Idle);
    view.click("btnEditVeradas");
    QCOMPARE(view.editor().EditMode, EditModes::Idle);
    QCOMPARE(fixture.stored(), QStringList({"20160405 09:00-13:00 @1", "20160507 09:00-13:00 @2"}));
}

// "Töröl" is of the browsing state: an edit started with "Új" or a double
// click disables it, as it disables the grid, "Új" and the close button.
void TestSchedule::deleteIsDisabledWhileEditing()
{
    ScheduleFixture fixture;
    fixture.addDonation("2016", "04", "09", "08:00", "12:00", 1);
    fixture.addDonation("2016", "04", "11", "08:00", "12:00", 2);
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.openMonth(0);
    for (const bool doubleClick : {false, true}) {
        view.clickRow(1);
        QVERIFY(view.button("btnDeleteVeradas")->isEnabled());
        if (doubleClick)
            view.doubleClickRow(1);
        else
            view.click("btnNewVeradas");
        QVERIFY(view.combo("cmbDay")->isEnabled());
        QVERIFY(!view.button("btnDeleteVeradas")->isEnabled());
        QVERIFY(!view.button("btnNewVeradas")->isEnabled());
        QVERIFY(!view.grid()->isEnabled());
        QVERIFY(!program.find<QToolButton>("btnCloseVeradasok")->isEnabled());
        view.click("btnCancelVeradas");
    }
}

void TestSchedule::deleteLastRowAndQuestion()
{
    ScheduleFixture fixture;
    fixture.addDonation("2013", "09", "05", "08:00", "12:30", 1);
    fixture.addDonation("2013", "09", "06", "08:00", "12:30", 2);
    fixture.addDonation("2013", "09", "07", "08:00", "12:30", 3);
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.openMonth(0);
    view.clickRow(2);
    QVERIFY(view.button("btnDeleteVeradas")->isEnabled());
    program.messages.answerNext(UserMessages::Answer::Yes);
    view.click("btnDeleteVeradas");
    QCOMPARE(program.messages.boxes[0].text,
             QStringLiteral(
                 "Biztosan törlöd a következő Véradást? \n\"Szeptember 07. 08:00-12:30, Szentes - Kórház\""));
    QCOMPARE(program.messages.boxes[0].caption, QStringLiteral("Véradó időpont törlése"));
    QCOMPARE(program.messages.boxes[0].icon, UserMessages::Icon::Warning);
    QCOMPARE(view.rows().size(), 2);
    QCOMPARE(view.grid()->currentIndex().row(), 1);
    QVERIFY(!view.button("btnDeleteVeradas")->isEnabled());
    QCOMPARE(view.time("edtKezdes")->text(), QStringLiteral("00:00"));
    QCOMPARE(QApplication::focusWidget(), view.grid());

    view.clickRow(0);
    program.messages.answerNext(UserMessages::Answer::No);
    view.click("btnDeleteVeradas");
    QCOMPARE(view.rows().size(), 2);
    view.clickRow(0);
    program.messages.answerNext(UserMessages::Answer::Yes);
    view.click("btnDeleteVeradas");
    view.clickRow(0);
    program.messages.answerNext(UserMessages::Answer::Yes);
    view.click("btnDeleteVeradas");
    QVERIFY(view.rows().isEmpty());
    QVERIFY(fixture.stored().isEmpty());
}

void TestSchedule::deleteNamesTheRowMovedTo()
{
    ScheduleFixture fixture;
    fixture.addDonation("2013", "09", "05", "08:00", "12:30", 1);
    fixture.addDonation("2013", "09", "06", "09:00", "11:00", 2);
    fixture.addDonation("2013", "09", "07", "10:00", "12:00", 3);
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.openMonth(0);
    view.clickRow(0);
    QTest::keyClick(view.grid(), Qt::Key_Down);
    program.messages.answerNext(UserMessages::Answer::Yes);
    view.click("btnDeleteVeradas");
    QCOMPARE(program.messages.boxes.last().text,
             QStringLiteral(
                 "Biztosan törlöd a következő Véradást? \n\"Szeptember 06. 09:00-11:00, Makó - Városháza\""));
    QCOMPARE(fixture.stored(), QStringList({"20130905 08:00-12:30 @1", "20130907 10:00-12:00 @3"}));

    // A title click re-sorts under the chosen row; it stays the one named and deleted.
    view.clickRow(1); // Szentes
    view.clickTitle(9);
    program.messages.answerNext(UserMessages::Answer::Yes);
    view.click("btnDeleteVeradas");
    QCOMPARE(program.messages.boxes.last().text,
             QStringLiteral(
                 "Biztosan törlöd a következő Véradást? \n\"Szeptember 07. 10:00-12:00, Szentes - Kórház\""));
    QCOMPARE(fixture.stored(), QStringList{"20130905 08:00-12:30 @1"});
}

void TestSchedule::titleClicks()
{
    ScheduleFixture fixture;
    fixture.addDonation("2013", "09", "05", "10:00", "12:00", 2); // Makó Városháza
    fixture.addDonation("2013", "09", "03", "14:00", "15:00", 1); // Szeged Egyetem
    fixture.addDonation("2013", "09", "05", "08:00", "09:00", 3); // Szentes Kórház
    fixture.addDonation("2013", "09", "04", "08:00", "18:00", 1); // Szeged Egyetem
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.openMonth(0);
    const QStringList byDay = {"03 14:00-15:00 Szeged/Egyetem", "04 08:00-18:00 Szeged/Egyetem",
                               "05 08:00-09:00 Szentes/Kórház", "05 10:00-12:00 Makó/Városháza"};
    QCOMPARE(view.rows(), byDay);
    QStringList byDayDescending = byDay;
    std::reverse(byDayDescending.begin(), byDayDescending.end());
    struct Step {
        int column;
        Qt::SortOrder mark;
        QStringList rows;
    };
    const QList<Step> steps = {
        {9,
         Qt::AscendingOrder,
         {"03 14:00-15:00 Szeged/Egyetem", "04 08:00-18:00 Szeged/Egyetem", "05 08:00-09:00 Szentes/Kórház",
          "05 10:00-12:00 Makó/Városháza"}},
        {9,
         Qt::DescendingOrder,
         {"05 10:00-12:00 Makó/Városháza", "05 08:00-09:00 Szentes/Kórház", "04 08:00-18:00 Szeged/Egyetem",
          "03 14:00-15:00 Szeged/Egyetem"}},
        {4,
         Qt::AscendingOrder,
         {"04 08:00-18:00 Szeged/Egyetem", "05 08:00-09:00 Szentes/Kórház", "05 10:00-12:00 Makó/Városháza",
          "03 14:00-15:00 Szeged/Egyetem"}},
        {7,
         Qt::AscendingOrder,
         {"05 10:00-12:00 Makó/Városháza", "03 14:00-15:00 Szeged/Egyetem", "04 08:00-18:00 Szeged/Egyetem",
          "05 08:00-09:00 Szentes/Kórház"}},
        {5, Qt::AscendingOrder, byDay}, // the end time orders like the day
        {5, Qt::DescendingOrder, byDayDescending},
        {3, Qt::AscendingOrder, byDay},
    };
    for (const Step& step : steps) {
        view.clickTitle(step.column);
        QCOMPARE(view.rows(), step.rows);
        QCOMPARE(view.grid()->horizontalHeader()->sortIndicatorSection(), step.column);
        QCOMPARE(drawnSortMark(view.grid()->horizontalHeader()), step.mark);
    }
    // Reopening restores the start order and clears the marks.
    view.clickTitle(9);
    view.clickTitle(9);
    view.click("btnCloseVeradasok");
    view.openMonth(0);
    QCOMPARE(view.rows(), byDay);
    QCOMPARE(view.grid()->horizontalHeader()->sortIndicatorSection(), -1);

    // On an empty month a click sets only the direction for the next load.
    view.click("btnCloseVeradasok");
    view.startMonth("2013", "Október");
    view.clickTitle(4);
    QCOMPARE(view.grid()->horizontalHeader()->sortIndicatorSection(), -1);
    QVERIFY(view.editor().Sort.ascending());
    QCOMPARE(view.editor().Sort.columns().first(), QStringLiteral("at_veradasok.nap"));
}

// "Nap" is 24 pixels wide: its mark goes above the title, and the title's
// pixels stay exactly where they were without it.
void TestSchedule::sortMarkLeavesANarrowTitleInPlace()
{
    ScheduleFixture fixture;
    fixture.addDonation("2016", "04", "09", "08:00", "12:00", 1);
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.openMonth(0);
    QHeaderView* header = view.grid()->horizontalHeader();
    auto title = [header](int column) {
        const QRect section(header->sectionViewportPosition(column), 7, header->sectionSize(column),
                            header->height() - 7); // below the mark's rows
        return header->viewport()->grab(section).toImage();
    };
    const QImage unmarked = title(3);
    view.clickTitle(3);
    QCOMPARE(view.grid()->horizontalHeader()->sortIndicatorSection(), 3);
    QCOMPARE(title(3), unmarked);
    QCOMPARE(drawnSortMark(header), Qt::AscendingOrder);
}

void TestSchedule::failedListLoadShowsOneBox()
{
    ScheduleFixture fixture;
    fixture.addDonation("2013", "09", "05", "10:00", "12:00", 2);
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.openMonth(0);
    fixture.folder.exec("ALTER TABLE at_veradasok RENAME COLUMN kezdes TO kezdet");
    view.clickTitle(3);
    QCOMPARE(program.messages.captions(), QStringList{"Hiba az SQL script futásakor!"});
    QCOMPARE(view.grid()->queryModel()->rowCount(), 0);
    QVERIFY(program.find<QToolButton>("btnCloseVeradasok")->isEnabled());
}

void TestSchedule::everythingSurvivesARestart()
{
    ScheduleFixture fixture;
    {
        RunningProgram program;
        QVERIFY(program.start());
        ScheduleView view{program};
        view.startMonth("2016", "Április");
        view.click("btnNewVeradas");
        view.fill("21", "07:30", "11:45", view.locationPosition("6900"));
        view.click("btnAddVeradas");
        view.click("btnCancelVeradas");
    }
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.openMonth(0);
    QCOMPARE(view.rows(), QStringList{"21 07:30-11:45 Makó/Városháza"});
}

void TestSchedule::failedMonthQueryLeavesAUsableToolbar()
{
    ScheduleFixture fixture;
    fixture.addDonation("2013", "09", "05", "10:00", "12:00", 2);
    fixture.folder.exec("ALTER TABLE at_veradasok RENAME COLUMN honap TO ho"); // the month query fails
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.click("btnOpen");
    QCOMPARE(program.messages.captions(), QStringList{"Kelmir"});
    QVERIFY(!program.find<QWidget>("pnlMegnyitas")->isVisible());
    for (const char* name : {"btnNew", "btnOpen", "btnEditHelyszinek", "btnExport", "btnSettings", "btnExit"})
        QVERIFY2(program.find<QToolButton>(name)->isEnabled(), name);
}

void TestSchedule::openingAnotherMonthNeverShowsTheFormerRows()
{
    ScheduleFixture fixture;
    fixture.addDonation("2013", "09", "05", "10:00", "12:00", 2);
    fixture.addDonation("2013", "10", "07", "08:00", "09:00", 1);
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.openMonth(0); // September
    view.clickRow(0);
    QVERIFY(view.button("btnDeleteVeradas")->isEnabled());
    view.click("btnCloseVeradasok");
    fixture.folder.exec("ALTER TABLE at_helyszinek RENAME COLUMN deleted TO torolt"); // the location choices fail
    view.openMonth(1);                                                                // October
    QCOMPARE(program.messages.captions(), QStringList{"Kelmir"});
    // Nothing of September is left to see, change or delete.
    QCOMPARE(view.grid()->queryModel()->rowCount(), 0);
    QCOMPARE(view.editor().CurrentDonation.id, 0);
    QCOMPARE(view.time("edtKezdes")->text(), QStringLiteral("00:00"));
    QCOMPARE(view.time("edtBefejezes")->text(), QStringLiteral("00:00"));
    QVERIFY(!view.button("btnDeleteVeradas")->isEnabled());
    // The bare window, with a usable toolbar.
    QVERIFY(!program.find<QWidget>("pnlVeradasok")->isVisible());
    QVERIFY(program.find<QToolButton>("btnOpen")->isEnabled());
    QCOMPARE(fixture.stored().size(), 2);
}

void TestSchedule::cancelAfterAFailedSaveShowsTheList()
{
    ScheduleFixture fixture;
    fixture.addDonation("2016", "05", "05", "10:00", "12:00", 2);
    fixture.folder.refuseWrites("at_veradasok", "INSERT", "tele a lemez");
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.openMonth(0);
    for (const bool escape : {false, true}) {
        view.click("btnNewVeradas");
        view.fill("13", "08:30", "12:30", view.locationPosition("6900"));
        view.click("btnAddVeradas");
        QCOMPARE(program.messages.captions().last(), QStringLiteral("Programhiba!"));
        QCOMPARE(view.grid()->queryModel()->rowCount(), 0);
        if (escape)
            QTest::keyClick(view.combo("cmbDay"), Qt::Key_Escape);
        else
            view.click("btnCancelVeradas");
        QCOMPARE(view.editor().EditMode, EditModes::Idle);
        QCOMPARE(view.rows(), QStringList{"05 10:00-12:00 Makó/Városháza"});
    }
}

void TestSchedule::changeOrDeleteOfAnAppointmentDeletedElsewhere()
{
    ScheduleFixture fixture;
    fixture.addDonation("2016", "05", "05", "10:00", "12:00", 2);
    fixture.addDonation("2016", "05", "06", "10:00", "12:00", 1);
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.openMonth(0);
    view.doubleClickRow(0);
    QCOMPARE(view.editor().EditMode, EditModes::Change);
    fixture.folder.exec("DELETE FROM at_veradasok WHERE nap='05'"); // another program
    view.time("edtKezdes")->setText("09:00");
    view.click("btnAddVeradas");
    QCOMPARE(program.messages.captions(), QStringList{"A véradó időpont nem található!"});
    QCOMPARE(view.editor().EditMode, EditModes::Idle);
    QCOMPARE(view.rows(), QStringList{"06 10:00-12:00 Szeged/Egyetem"});
    QCOMPARE(fixture.stored(), QStringList{"20160506 10:00-12:00 @1"});

    // A delete that finds the row gone is not reported as done either.
    program.messages.clear();
    view.clickRow(0);
    fixture.folder.exec("DELETE FROM at_veradasok"); // another program
    program.messages.answerNext(UserMessages::Answer::Yes);
    view.click("btnDeleteVeradas");
    QCOMPARE(program.messages.captions(), QStringList({"Véradó időpont törlése", "A véradó időpont nem található!"}));
    QCOMPARE(view.grid()->queryModel()->rowCount(), 0);
}

void TestSchedule::lockWaitShowsTheWaitCursor()
{
    ScheduleFixture fixture;
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.startMonth("2016", "Május");
    view.click("btnNewVeradas");
    view.fill("13", "08:30", "12:30", view.locationPosition("6900"));
    // Another program holds the file's lock while the save waits for it.
    Connection other;
    other.open(fixture.folder.databasePath());
    DatabaseFolder::lockEverything(other);
    program.dm->datacore.setBusyTimeout(300);
    const Connection::WaitHook showCursor = program.dm->datacore.waitHook();
    QList<bool> cursorDuringWait;
    program.dm->datacore.setWaitHook([&](bool waiting) {
        showCursor(waiting);
        const QCursor* cursor = QGuiApplication::overrideCursor();
        cursorDuringWait << (cursor && cursor->shape() == Qt::WaitCursor);
    });
    view.click("btnAddVeradas");
    other.execute("ROLLBACK;");
    QCOMPARE(cursorDuringWait, QList<bool>({true, false}));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QCOMPARE(program.messages.captions(), QStringList({"Hiba az SQL script futásakor!", "Programhiba!"}));
}

// The link drops after the server has saved the appointment, and the server
// cannot be reached for a while: the box says the save may have happened, the
// entry stays in the editor, and once the server answers again the list
// shows that it holds the row, without a box for each try on the way.
void TestSchedule::lostAnswerSaysTheSaveMayHaveHappened()
{
    if (!DatabaseFolder::onServer())
        QSKIP("a server's link only");
    ScheduleFixture fixture;
    PeerServer link;
    QVERIFY(link.start(peerScript("link_proxy.py"), {DatabaseFolder::serverSocket()}));
    qputenv(DatabaseTarget::environmentVariable, fixture.folder.databaseUriThrough(link.port()).toUtf8());
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.startMonth("2016", "Május");
    view.click("btnNewVeradas");
    view.fill("13", "08:30", "12:30", view.locationPosition("6900"));
    link.command("cut");
    link.command("down");
    view.click("btnAddVeradas");
    QCOMPARE(program.messages.captions(), QStringList{"Hiba az SQL script futásakor!"});
    QVERIFY2(program.messages.boxes[0].text.contains(
                 "lehet, hogy a mentés mégis megtörtént; a lista újratöltése után ellenőrizze"),
             qPrintable(program.messages.boxes[0].text));
    QCOMPARE(fixture.folder.scalar("SELECT count(*) FROM at_veradasok"), QStringLiteral("1"));
    QCOMPARE(view.grid()->queryModel()->rowCount(), 0);
    QCOMPARE(view.combo("cmbDay")->currentText(), QStringLiteral("13"));
    QTest::qWait(2500); // a try while the server is still out of reach
    link.command("up");
    QTRY_COMPARE_WITH_TIMEOUT(view.grid()->queryModel()->rowCount(), 1, 10000);
    QCOMPARE(program.messages.captions(), QStringList{"Hiba az SQL script futásakor!"});
    QCOMPARE(view.combo("cmbDay")->currentText(), QStringLiteral("13"));
}

void TestSchedule::pressAndReleaseOnTheEditorButtons()
{
    // As in a real window: press and release arrive apart, with the event
    // loop running between them, so the focus moves on the press.
    auto clickInTwoSteps = [](QWidget* button) {
        QTest::mousePress(button, Qt::LeftButton);
        QTest::qWait(50);
        QTest::mouseRelease(button, Qt::LeftButton);
        QTest::qWait(20);
    };
    ScheduleFixture fixture;
    RunningProgram program;
    QVERIFY(program.start());
    ScheduleView view{program};
    view.startMonth("2016", "Május");
    view.click("btnNewVeradas");
    view.fill("13", "08:30", "12:30", view.locationPosition("6900"));
    QLineEdit* start = view.time("edtKezdes");
    start->setFocus();
    start->selectAll();
    QTest::keyClick(start, Qt::Key_Delete);
    QTest::keyClicks(start, "090");
    QCOMPARE(start->displayText(), QStringLiteral("09:0 "));
    program.messages.clear();
    clickInTwoSteps(view.button("btnAddVeradas"));
    QCOMPARE(program.messages.captions(), QStringList{"Hibás idő érték!"});
    QCOMPARE(program.messages.boxes[0].text,
             QStringLiteral("Értelmezhetetlen Kezdési időpontot adtál meg. Kérlek nézd át!"));
    QCOMPARE(QApplication::focusWidget(), start);
    QVERIFY(fixture.stored().isEmpty());

    // An unfilled end time: "Mégsem" still ends the entry.
    QTest::keyClicks(start, "0");
    QLineEdit* end = view.time("edtBefejezes");
    end->setFocus();
    end->selectAll();
    QTest::keyClick(end, Qt::Key_Delete);
    QTest::keyClicks(end, "1");
    clickInTwoSteps(view.button("btnCancelVeradas"));
    QCOMPARE(view.editor().EditMode, EditModes::Idle);
    QVERIFY(fixture.stored().isEmpty());
}

QTEST_MAIN(TestSchedule)
#include "TestSchedule.moc"
