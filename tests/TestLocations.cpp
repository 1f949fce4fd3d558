// The locations panel and the location store, on the real window and a real
// database file with Csongrád (county 6) chosen.

#include "app/grid/QueryTableModel.h"
#include "app/locations/LocationsPanel.h"
#include "model/Base.h"
#include "store/DataModule.h"
#include "support/Fixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace {

constexpr int csongrad = 6;

struct Place {
    const char* telepules;
    int irsz;
    const char* cim;
    const char* helyszin;
};

class LocationsFixture {
public:
    explicit LocationsFixture(int county = csongrad) { folder.chooseCounty(county); }

    QString settlementId(const char* telepules, int irsz) const
    {
        return folder.scalar(QStringLiteral("SELECT id FROM at_telepulesek WHERE telepules='%1' AND irsz=%2")
                                 .arg(QString::fromUtf8(telepules))
                                 .arg(irsz));
    }

    void add(const Place& place, int deleted = 0) const
    {
        folder.addLocation(place.telepules, place.irsz, place.cim, place.helyszin, deleted);
    }

    // Rows of at_helyszinek as "deleted|telepules|cim|helyszin", by id.
    QStringList stored() const
    {
        return folder.lines("SELECT h.deleted || '|' || t.telepules || '|' || h.cim || '|' || h.helyszin "
                            "FROM at_helyszinek h JOIN at_telepulesek t ON t.id=h.telepules_kod ORDER BY h.id");
    }

    DatabaseFolder folder;
};

const QList<Place> fivePlaces = {
    {"Szeged", 6720, "Dugonics tér 13.", "Egyetem"},     {"Makó", 6900, "Széchenyi tér 22.", "Városháza"},
    {"Algyő", 6750, "Kastélykert u. 40.", "Faluház"},    {"Szentes", 6600, "Kossuth tér 6.", "Művelődési Központ"},
    {"Szeged", 6721, "Kossuth Lajos sgt. 2.", "Kórház"},
};

struct LocationsView {
    RunningProgram& program;
    QTableView* grid() const { return program.find<QTableView>("dbgHelyszinek"); }
    QueryTableModel* model() const { return static_cast<QueryTableModel*>(grid()->model()); }
    QComboBox* settlements() const { return program.find<QComboBox>("cmbTelepulesek"); }
    QLineEdit* address() const { return program.find<QLineEdit>("edtCim"); }
    QLineEdit* name() const { return program.find<QLineEdit>("edtHelyszin"); }
    QPushButton* button(const char* objectName) const { return program.find<QPushButton>(objectName); }
    Base& base() const { return program.window->base(); }
    LocationsPanel& editor() const { return *program.window->locationsPanel(); }

    void open() const { QTest::mouseClick(program.find<QToolButton>("btnEditHelyszinek"), Qt::LeftButton); }
    void click(const char* objectName) const { QTest::mouseClick(button(objectName), Qt::LeftButton); }
    QPoint cellCentre(int row, int column) const { return grid()->visualRect(model()->index(row, column)).center(); }
    void clickRow(int row) const { QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(row, 5)); }
    void doubleClickRow(int row) const
    {
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(row, 5));
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(row, 5));
    }
    void clickTitle(int column) const
    {
        QHeaderView* header = grid()->horizontalHeader();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }
    // The grid's rows as "irsz telepules, cim - helyszin".
    QStringList rows() const
    {
        QStringList result;
        for (int r = 0; r < model()->rowCount(); ++r)
            result << model()->value(r, 3).toString() + u' ' + model()->value(r, 4).toString() + QStringLiteral(", ")
                    + model()->value(r, 5).toString() + QStringLiteral(" - ") + model()->value(r, 6).toString();
        return result;
    }
    int currentRow() const { return grid()->currentIndex().row(); }
    void chooseSettlement(const QString& text) const { settlements()->setCurrentIndex(settlements()->findText(text)); }
    bool editorEnabled() const { return settlements()->isEnabled() && address()->isEnabled(); }
    Qt::SortOrder markOrder() const { return drawnSortMark(grid()->horizontalHeader()); }
    int markColumn() const { return grid()->horizontalHeader()->sortIndicatorSection(); }
};

} // namespace

class TestLocations : public QObject {
    Q_OBJECT
private slots:
    void gateRefusesWithoutCounty();
    void twoProgramsSeeEachOthersLocations();
    void openingShowsLiveLocationsOfTheCounty();
    void settlementChoicesInHungarianOrder();
    void dropDownShowsAtMostItsRows();
    void saveChecks_data();
    void saveChecks();
    void keyboardOnlyEntryAndTidying();
    void bad_input_is_stored_as_typed();
    void editThenNextSaveInserts();
    void escapeAbandonsTheEntry();
    void doubleClickNeedsAChosenLocation();
    void deleteIsDisabledWhileEditing();
    void withdrawThirdOfFiveAndTheOnlyOne();
    void withdrawalNamesTheRowMovedTo();
    void titleClicksSortAndMark();
    void titleClickOnEmptyListChangesNothing();
    void reopeningClearsMarks();
    void failedListLoadShowsOneBox();
    void failedSaveKeepsTheEditor();
    void everythingSurvivesARestart();
    void failedOpeningLeavesAUsableToolbar();
    void cancelAfterAFailedSaveShowsTheList();
    void editOfALocationDeletedElsewhere();
    void editOfALocationWithdrawnElsewhere();
    void storedTextsAreSavedWhole();
    void rightToLeftTextStaysInItsPlace();
    void keyboardOnlyWithdrawalOfTheOnlyRow();
    void disabledDeleteLooksDisabled();
};

// Two workstations on one database: what one saves, the other shows once it
// opens its panel again.
void TestLocations::twoProgramsSeeEachOthersLocations()
{
    LocationsFixture fixture;
    fixture.add(fivePlaces[0]);
    RunningProgram first;
    RunningProgram second;
    QVERIFY(first.start());
    QVERIFY(second.start());
    LocationsView mine{first};
    LocationsView theirs{second};
    theirs.open();
    QCOMPARE(theirs.rows().size(), 1);
    mine.open();
    mine.click("btnNewHelyszin");
    mine.chooseSettlement(QStringLiteral("6900 Makó"));
    mine.address()->setText(QString::fromUtf8(fivePlaces[1].cim));
    mine.name()->setText(QString::fromUtf8(fivePlaces[1].helyszin));
    mine.click("btnAddHelyszin");
    QVERIFY(first.messages.boxes.isEmpty());
    QTest::mouseClick(second.find<QToolButton>("btnCloseHelyszinek"), Qt::LeftButton);
    theirs.open();
    QCOMPARE(theirs.rows(),
             QStringList({"6900 Makó, Széchenyi tér 22. - Városháza", "6720 Szeged, Dugonics tér 13. - Egyetem"}));
}

void TestLocations::gateRefusesWithoutCounty()
{
    DatabaseFolder folder;
    RunningProgram program;
    QVERIFY(program.start());
    program.messages.clear();
    LocationsView panel{program};
    panel.open();
    QCOMPARE(program.messages.boxes.size(), 1);
    QCOMPARE(program.messages.boxes[0].text,
             QStringLiteral("Az helyszinek szerkesztését nem lehet használni, amig "
                            "nincsen kiválasztva a Megye! [BEÁLLÍTÁSOK]"));
    QCOMPARE(program.messages.boxes[0].caption, QStringLiteral("Hiányos adatok!"));
    QCOMPARE(program.messages.boxes[0].icon, UserMessages::Icon::Warning);
    QVERIFY(!program.find<QWidget>("pnlHelyszinek")->isVisible());
    QVERIFY(program.find<QToolButton>("btnEditHelyszinek")->isEnabled());
}

void TestLocations::openingShowsLiveLocationsOfTheCounty()
{
    LocationsFixture fixture;
    for (const Place& place : fivePlaces)
        fixture.add(place);
    fixture.add({"Szeged", 6720, "Régi u. 1.", "Visszavont"}, 1);
    fixture.folder.exec("INSERT INTO at_helyszinek (deleted, telepules_kod, cim, helyszin) "
                        "SELECT 0, id, 'Más megye', 'Máshol' FROM at_telepulesek WHERE megye_kod=7 LIMIT 1");
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    QWidget* widget = program.find<QWidget>("pnlHelyszinek");
    QVERIFY(widget->isVisible());
    QCOMPARE(widget->pos(), QPoint(217, 128));
    QVERIFY(!program.find<QToolButton>("btnNew")->isEnabled());
    QCOMPARE(panel.rows(),
             QStringList({"6750 Algyő, Kastélykert u. 40. - Faluház", "6900 Makó, Széchenyi tér 22. - Városháza",
                          "6720 Szeged, Dugonics tér 13. - Egyetem", "6721 Szeged, Kossuth Lajos sgt. 2. - Kórház",
                          "6600 Szentes, Kossuth tér 6. - Művelődési Központ"}));
    QCOMPARE(panel.currentRow(), 0);
    QVERIFY(!panel.button("btnDeleteHelyszin")->isEnabled());
    QVERIFY(panel.button("btnNewHelyszin")->isEnabled());
    QVERIFY(!panel.editorEnabled());
    QVERIFY(!program.find<QWidget>("lblCim")->isEnabled());
    QCOMPARE(QApplication::focusWidget(), panel.grid());
    QCOMPARE(panel.editor().EditMode, EditModes::Idle);

    for (int c = 0; c < 3; ++c)
        QVERIFY(panel.grid()->isColumnHidden(c));
    const QList<int> widths = {33, 115, 148, 128};
    const QStringList titles = {"IrSz", "Település", "Cím", "Helyszin"};
    for (int c = 3; c < 7; ++c) {
        QCOMPARE(panel.grid()->columnWidth(c), widths[c - 3]);
        QCOMPARE(panel.model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), titles[c - 3]);
    }
    QCOMPARE(panel.grid()->contextMenuPolicy(), Qt::PreventContextMenu);
    QCOMPARE(panel.grid()->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(panel.grid()->selectionBehavior(), QAbstractItemView::SelectRows);

    // A click shows the location in the disabled editor and enables withdrawal.
    panel.clickRow(2);
    QCOMPARE(panel.settlements()->currentText(), QStringLiteral("6720 Szeged"));
    QCOMPARE(panel.address()->text(), QStringLiteral("Dugonics tér 13."));
    QCOMPARE(panel.name()->text(), QStringLiteral("Egyetem"));
    QVERIFY(panel.button("btnDeleteHelyszin")->isEnabled());
    QVERIFY(!panel.editorEnabled());
    QCOMPARE(panel.editor().CurrentLocation.id, 1);
    program.screenshot("locations-panel");

    QTest::mouseClick(program.find<QToolButton>("btnCloseHelyszinek"), Qt::LeftButton);
    QVERIFY(!widget->isVisible());
    QVERIFY(program.find<QToolButton>("btnNew")->isEnabled());
}

void TestLocations::settlementChoicesInHungarianOrder()
{
    LocationsFixture fixture;
    fixture.folder.exec("INSERT INTO at_telepulesek (id, megye_kod, telepules, irsz) VALUES "
                        "(9001, 6, 'Csepel', 1210), (9002, 6, 'Baja', 6500), (9003, 6, 'Ág', 7381), "
                        "(9004, 6, 'Cukor', 1000), (9005, 6, 'Ács', 2941)");
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    QComboBox* combo = panel.settlements();
    QCOMPARE(combo->itemText(0), QStringLiteral("- Település kiválasztása -"));
    QCOMPARE(combo->count(),
             1 + fixture.folder.scalar("SELECT count(*) FROM at_telepulesek WHERE megye_kod=6").toInt());
    auto position = [&](const QString& text) { return combo->findText(text); };
    QVERIFY(position("2941 Ács") < position("7381 Ág"));
    QVERIFY(position("7381 Ág") < position("6500 Baja"));
    QVERIFY(position("1000 Cukor") < position("1210 Csepel"));
    QVERIFY(position("6720 Szeged") < position("6721 Szeged")); // same name: by postcode
    QVERIFY(position("6710 Szeged") < position("6720 Szeged"));
    // Position n, record n and slot n stand for the same settlement.
    const int szeged = position("6720 Szeged");
    QCOMPARE(QString::number(panel.editor().SettlementIds.at(szeged)), fixture.settlementId("Szeged", 6720));
}

// The settlement drop-down of a county with many settlements opens as a
// list of 20 rows below its box, not as a menu of every settlement.
void TestLocations::dropDownShowsAtMostItsRows()
{
    LocationsFixture fixture;
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    panel.click("btnNewHelyszin");
    QComboBox* settlements = panel.settlements();
    QVERIFY(settlements->count() > 40);
    settlements->showPopup();
    QAbstractItemView* list = settlements->view();
    QTRY_VERIFY(list->isVisible());
    const int rows = list->viewport()->height() / list->sizeHintForRow(0);
    settlements->hidePopup();
    QCOMPARE(rows, 20);
    QVERIFY(list->window()->geometry().top() >= settlements->mapToGlobal(QPoint(0, 0)).y()); // below, not over it
}

void TestLocations::saveChecks_data()
{
    QTest::addColumn<QString>("settlement");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("addressAfter");
    QTest::addColumn<QString>("nameAfter");
    QTest::newRow("no settlement, fields untouched") << ""
                                                     << "  Fő   u.  "
                                                     << " Ház "
                                                     << "Nem választottad ki a települést!"
                                                     << "cmbTelepulesek"
                                                     << "  Fő   u.  "
                                                     << " Ház ";
    QTest::newRow("address of blanks") << "6720 Szeged"
                                       << "    "
                                       << "Ház"
                                       << "A címhez nem írtál semmit!"
                                       << "edtCim"
                                       << ""
                                       << "Ház";
    QTest::newRow("empty address") << "6720 Szeged"
                                   << ""
                                   << "Ház"
                                   << "A címhez nem írtál semmit!"
                                   << "edtCim"
                                   << ""
                                   << "Ház";
    QTest::newRow("address tidied though the name fails") << "6720 Szeged"
                                                          << "  Kossuth   Lajos  "
                                                          << "   "
                                                          << "A helyszínhez nem írtál semmit!"
                                                          << "edtHelyszin"
                                                          << "Kossuth Lajos"
                                                          << "";
}

void TestLocations::saveChecks()
{
    QFETCH(QString, settlement);
    QFETCH(QString, address);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, focus);
    QFETCH(QString, addressAfter);
    QFETCH(QString, nameAfter);
    LocationsFixture fixture;
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    panel.click("btnNewHelyszin");
    if (!settlement.isEmpty())
        panel.chooseSettlement(settlement);
    panel.address()->setText(address);
    panel.name()->setText(name);
    panel.click("btnAddHelyszin");
    QCOMPARE(program.messages.boxes.size(), 1);
    QCOMPARE(program.messages.boxes[0].text, QStringLiteral("A rögzítéshez minden mező kitöltése kötelező!"));
    QCOMPARE(program.messages.boxes[0].caption, caption);
    QCOMPARE(program.messages.boxes[0].icon, UserMessages::Icon::Error);
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    QCOMPARE(panel.address()->text(), addressAfter);
    QCOMPARE(panel.name()->text(), nameAfter);
    QVERIFY(panel.editorEnabled());
    QCOMPARE(panel.editor().EditMode, EditModes::New);
    QVERIFY(fixture.stored().isEmpty());
}

void TestLocations::keyboardOnlyEntryAndTidying()
{
    LocationsFixture fixture;
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    QCOMPARE(QApplication::focusWidget(), panel.grid());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), panel.button("btnNewHelyszin"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(panel.editor().EditMode, EditModes::New);
    QCOMPARE(QApplication::focusWidget(), panel.settlements());
    QTest::keyClicks(panel.settlements(), "6720");
    QCOMPARE(panel.settlements()->currentText(), QStringLiteral("6720 Szeged"));
    QTest::keyClick(panel.settlements(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), panel.address());
    typeText(panel.address(), QStringLiteral("  Tisza   Lajos krt.  5.  "));
    QTest::keyClick(panel.address(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), panel.name());
    typeText(panel.name(), QStringLiteral("Művelődési Ház"));
    QTest::keyClick(panel.name(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(QApplication::focusWidget(), panel.button("btnAddHelyszin"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    QVERIFY(program.messages.boxes.isEmpty());
    QCOMPARE(fixture.stored(), QStringList{"0|Szeged|Tisza Lajos krt. 5.|Művelődési Ház"});
    // Ready for the next new location; the list re-read, no row chosen.
    QCOMPARE(panel.editor().EditMode, EditModes::New);
    QVERIFY(panel.editorEnabled());
    QCOMPARE(panel.settlements()->currentIndex(), 0);
    QVERIFY(panel.address()->text().isEmpty());
    QCOMPARE(QApplication::focusWidget(), panel.settlements());
    QCOMPARE(panel.rows(), QStringList{"6720 Szeged, Tisza Lajos krt. 5. - Művelődési Ház"});
    QCOMPARE(panel.editor().CurrentLocation.id, 0);
    QCOMPARE(panel.address()->maxLength(), 128);
}

void TestLocations::bad_input_is_stored_as_typed()
{
    LocationsFixture fixture;
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    const QStringList texts = {"O'Brien \"Kis\" köz 1.", "100% _a_ ; DROP TABLE at_helyszinek; --",
                               QString(128, QChar(u'ű'))};
    for (const QString& text : texts) {
        panel.click("btnNewHelyszin");
        panel.chooseSettlement("6900 Makó");
        panel.address()->setText(text);
        panel.name()->setText(text);
        panel.click("btnAddHelyszin");
    }
    QVERIFY(program.messages.boxes.isEmpty());
    QCOMPARE(fixture.stored().size(), 3);
    for (int i = 0; i < texts.size(); ++i)
        QCOMPARE(fixture.stored()[i], QStringLiteral("0|Makó|%1|%1").arg(texts[i]));
}

void TestLocations::editThenNextSaveInserts()
{
    LocationsFixture fixture;
    for (const Place& place : fivePlaces)
        fixture.add(place);
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    panel.doubleClickRow(1); // Makó
    QCOMPARE(panel.editor().EditMode, EditModes::Change);
    QVERIFY(panel.editorEnabled());
    QVERIFY(!panel.grid()->isEnabled());
    QVERIFY(!panel.button("btnNewHelyszin")->isEnabled());
    QVERIFY(!program.find<QToolButton>("btnCloseHelyszinek")->isEnabled());
    panel.chooseSettlement("6600 Szentes");
    panel.address()->setText("Új cím 1.");
    panel.click("btnAddHelyszin");
    QCOMPARE(fixture.stored()[1], QStringLiteral("0|Szentes|Új cím 1.|Városháza"));
    QCOMPARE(fixture.folder.scalar("SELECT count(*) FROM at_helyszinek"), QStringLiteral("5"));
    QCOMPARE(panel.editor().EditMode, EditModes::New);
    QVERIFY(panel.address()->text().isEmpty());

    panel.chooseSettlement("6750 Algyő");
    panel.address()->setText("Második u. 2.");
    panel.name()->setText("Iskola");
    panel.click("btnAddHelyszin");
    QCOMPARE(fixture.stored().size(), 6);
    QCOMPARE(fixture.stored()[1], QStringLiteral("0|Szentes|Új cím 1.|Városháza")); // the edited row is untouched
    QCOMPARE(fixture.stored()[5], QStringLiteral("0|Algyő|Második u. 2.|Iskola"));
    QCOMPARE(panel.currentRow(), 0);
}

void TestLocations::escapeAbandonsTheEntry()
{
    LocationsFixture fixture;
    fixture.add(fivePlaces[0]);
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    const QList<QWidget*> controls = {panel.settlements(), panel.address(), panel.name(),
                                      panel.button("btnAddHelyszin"), panel.button("btnCancelHelyszin")};
    for (QWidget* control : controls) {
        panel.click("btnNewHelyszin");
        panel.chooseSettlement("6900 Makó");
        panel.address()->setText("Valami");
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Escape);
        QCOMPARE(panel.editor().EditMode, EditModes::Idle);
        QVERIFY(!panel.editorEnabled());
        QVERIFY(panel.address()->text().isEmpty());
        QCOMPARE(panel.settlements()->currentIndex(), 0);
        QVERIFY(panel.grid()->isEnabled());
        QCOMPARE(QApplication::focusWidget(), panel.grid());
        QVERIFY(!panel.button("btnDeleteHelyszin")->isEnabled());
    }
    // Enter on "Mégsem" presses it.
    panel.click("btnNewHelyszin");
    panel.button("btnCancelHelyszin")->setFocus();
    QTest::keyClick(panel.button("btnCancelHelyszin"), Qt::Key_Return);
    QCOMPARE(panel.editor().EditMode, EditModes::Idle);
    QCOMPARE(fixture.stored().size(), 1);
}

void TestLocations::doubleClickNeedsAChosenLocation()
{
    LocationsFixture fixture;
    fixture.add(fivePlaces[0]);
    fixture.add(fivePlaces[1]);
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    // Below the last row, and on a row right after opening with nothing chosen via the header.
    QTest::mouseDClick(panel.grid()->viewport(), Qt::LeftButton, {}, QPoint(100, 150));
    QCOMPARE(panel.editor().EditMode, EditModes::Idle);
    QHeaderView* header = panel.grid()->horizontalHeader();
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(5) + 5, 10));
    QCOMPARE(panel.editor().EditMode, EditModes::Idle);
    // After cancelling an edit nothing is chosen until a row is clicked again.
    panel.doubleClickRow(0);
    QCOMPARE(panel.editor().EditMode, EditModes::Change);
    panel.click("btnCancelHelyszin");
    QTest::mouseDClick(panel.grid()->viewport(), Qt::LeftButton, {}, QPoint(100, 150));
    QCOMPARE(panel.editor().EditMode, EditModes::Idle);
    QCOMPARE(panel.editor().CurrentLocation.id, 0);
}

// "Töröl" is of the browsing state: an edit started with "Új" or a double
// click disables it, as it disables the grid, "Új" and the close button.
void TestLocations::deleteIsDisabledWhileEditing()
{
    LocationsFixture fixture;
    fixture.add(fivePlaces[0]);
    fixture.add(fivePlaces[1]);
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    for (const bool doubleClick : {false, true}) {
        panel.clickRow(1);
        QVERIFY(panel.button("btnDeleteHelyszin")->isEnabled());
        if (doubleClick)
            panel.doubleClickRow(1);
        else
            panel.click("btnNewHelyszin");
        QVERIFY(panel.editorEnabled());
        QVERIFY(!panel.button("btnDeleteHelyszin")->isEnabled());
        QVERIFY(!panel.button("btnNewHelyszin")->isEnabled());
        QVERIFY(!panel.grid()->isEnabled());
        QVERIFY(!program.find<QToolButton>("btnCloseHelyszinek")->isEnabled());
        panel.click("btnCancelHelyszin");
    }
}

void TestLocations::withdrawThirdOfFiveAndTheOnlyOne()
{
    LocationsFixture fixture;
    for (const Place& place : fivePlaces)
        fixture.add(place);
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    panel.clickRow(2); // Szeged, Dugonics tér
    program.messages.answerNext(UserMessages::Answer::No);
    panel.click("btnDeleteHelyszin");
    QCOMPARE(program.messages.boxes.size(), 1);
    QCOMPARE(program.messages.boxes[0].text,
             QStringLiteral("Biztosan törlöd a következő helyszint? \n\"6720 Szeged, Dugonics tér 13. - Egyetem\""));
    QCOMPARE(program.messages.boxes[0].caption, QStringLiteral("Helyszin törlése"));
    QCOMPARE(program.messages.boxes[0].icon, UserMessages::Icon::Warning);
    QCOMPARE(panel.rows().size(), 5);

    program.messages.answerNext(UserMessages::Answer::Yes);
    panel.click("btnDeleteHelyszin");
    QCOMPARE(panel.rows().size(), 4);
    QCOMPARE(panel.currentRow(), 2);
    QCOMPARE(program.dm->aq_helyszinek.recNo(), 3);
    QVERIFY(panel.address()->text().isEmpty());
    QVERIFY(!panel.button("btnDeleteHelyszin")->isEnabled());
    QCOMPARE(fixture.stored()[0], QStringLiteral("1|Szeged|Dugonics tér 13.|Egyetem"));

    // Down to the only location.
    for (int i = 0; i < 3; ++i) {
        panel.clickRow(0);
        program.messages.answerNext(UserMessages::Answer::Yes);
        panel.click("btnDeleteHelyszin");
    }
    QCOMPARE(panel.rows().size(), 1);
    panel.clickRow(0);
    const QString last = panel.address()->text();
    program.messages.answerNext(UserMessages::Answer::Yes);
    panel.click("btnDeleteHelyszin");
    QVERIFY(panel.rows().isEmpty());
    QCOMPARE(panel.address()->text(), last); // the editor still shows the withdrawn location
    QVERIFY(!panel.button("btnDeleteHelyszin")->isEnabled());
    QCOMPARE(fixture.folder.scalar("SELECT sum(deleted) FROM at_helyszinek"), QStringLiteral("5"));
    panel.click("btnNewHelyszin");
    QVERIFY(panel.address()->text().isEmpty());
}

void TestLocations::withdrawalNamesTheRowMovedTo()
{
    LocationsFixture fixture;
    for (const Place& place : fivePlaces)
        fixture.add(place);
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    panel.clickRow(0); // Algyő
    QTest::keyClick(panel.grid(), Qt::Key_Down);
    QCOMPARE(panel.currentRow(), 1);
    program.messages.answerNext(UserMessages::Answer::Yes);
    panel.click("btnDeleteHelyszin");
    QCOMPARE(program.messages.boxes.last().text,
             QStringLiteral("Biztosan törlöd a következő helyszint? \n\"6900 Makó, Széchenyi tér 22. - Városháza\""));
    QCOMPARE(fixture.stored()[1], QStringLiteral("1|Makó|Széchenyi tér 22.|Városháza"));
    QCOMPARE(fixture.folder.scalar("SELECT sum(deleted) FROM at_helyszinek"), QStringLiteral("1"));

    // A title click re-sorts under the chosen location; the question still names it.
    panel.clickRow(3); // Szentes
    panel.clickTitle(6);
    program.messages.answerNext(UserMessages::Answer::No);
    panel.click("btnDeleteHelyszin");
    QCOMPARE(program.messages.boxes.last().text,
             QStringLiteral(
                 "Biztosan törlöd a következő helyszint? \n\"6600 Szentes, Kossuth tér 6. - Művelődési Központ\""));
}

void TestLocations::titleClicksSortAndMark()
{
    LocationsFixture fixture;
    // Ties on the address: the settlement, postcode and name break them.
    fixture.add({"Szeged", 6721, "Fő tér 1.", "B"});
    fixture.add({"Makó", 6900, "Fő tér 1.", "A"});
    fixture.add({"Szeged", 6720, "Fő tér 1.", "C"});
    fixture.add({"Algyő", 6750, "Ady u. 2.", "D"});
    fixture.add({"Szeged", 6720, "Fő tér 1.", "A"});
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    QCOMPARE(panel.markColumn(), -1);
    struct Step {
        int column;
        Qt::SortOrder mark;
        QStringList rows;
    };
    const QStringList byAddressAscending = {"6750 Algyő, Ady u. 2. - D", "6900 Makó, Fő tér 1. - A",
                                            "6720 Szeged, Fő tér 1. - A", "6720 Szeged, Fő tér 1. - C",
                                            "6721 Szeged, Fő tér 1. - B"};
    QStringList byAddressDescending = byAddressAscending;
    std::reverse(byAddressDescending.begin(), byAddressDescending.end());
    const QList<Step> steps = {
        {5, Qt::AscendingOrder, byAddressAscending},
        {5, Qt::DescendingOrder, byAddressDescending},
        {5, Qt::AscendingOrder, byAddressAscending},
        {3,
         Qt::AscendingOrder,
         {"6720 Szeged, Fő tér 1. - A", "6720 Szeged, Fő tér 1. - C", "6721 Szeged, Fő tér 1. - B",
          "6750 Algyő, Ady u. 2. - D", "6900 Makó, Fő tér 1. - A"}},
        {6,
         Qt::AscendingOrder,
         {"6900 Makó, Fő tér 1. - A", "6720 Szeged, Fő tér 1. - A", "6721 Szeged, Fő tér 1. - B",
          "6720 Szeged, Fő tér 1. - C", "6750 Algyő, Ady u. 2. - D"}},
        {6,
         Qt::DescendingOrder,
         {"6750 Algyő, Ady u. 2. - D", "6720 Szeged, Fő tér 1. - C", "6721 Szeged, Fő tér 1. - B",
          "6720 Szeged, Fő tér 1. - A", "6900 Makó, Fő tér 1. - A"}},
        {4,
         Qt::AscendingOrder,
         {"6750 Algyő, Ady u. 2. - D", "6900 Makó, Fő tér 1. - A", "6720 Szeged, Fő tér 1. - A",
          "6720 Szeged, Fő tér 1. - C", "6721 Szeged, Fő tér 1. - B"}},
    };
    for (const Step& step : steps) {
        panel.clickTitle(step.column);
        QCOMPARE(panel.rows(), step.rows);
        QCOMPARE(panel.markColumn(), step.column);
        QCOMPARE(panel.markOrder(), step.mark);
        QCOMPARE(panel.currentRow(), 0);
    }
    QCOMPARE(panel.editor().Sort.orderByLine(),
             QStringLiteral("ORDER BY at_telepulesek.telepules ASC, at_telepulesek.irsz ASC, at_helyszinek.cim ASC, "
                            "at_helyszinek.helyszin ASC;"));
}

void TestLocations::titleClickOnEmptyListChangesNothing()
{
    LocationsFixture fixture;
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    panel.clickTitle(5);
    QCOMPARE(panel.markColumn(), -1);
    QVERIFY(panel.rows().isEmpty());
    QVERIFY(program.messages.boxes.isEmpty());
}

void TestLocations::reopeningClearsMarks()
{
    LocationsFixture fixture;
    fixture.add(fivePlaces[0]);
    fixture.add(fivePlaces[1]);
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    panel.clickTitle(5);
    panel.clickTitle(5);
    QCOMPARE(panel.markOrder(), Qt::DescendingOrder);
    QTest::mouseClick(program.find<QToolButton>("btnCloseHelyszinek"), Qt::LeftButton);
    panel.open();
    QCOMPARE(panel.markColumn(), -1);
    QCOMPARE(panel.rows().first(), QStringLiteral("6900 Makó, Széchenyi tér 22. - Városháza"));
    panel.clickTitle(5); // starts again with ascending
    QCOMPARE(panel.markOrder(), Qt::AscendingOrder);
    QCOMPARE(panel.rows().first(), QStringLiteral("6720 Szeged, Dugonics tér 13. - Egyetem"));
}

void TestLocations::failedListLoadShowsOneBox()
{
    LocationsFixture fixture;
    fixture.add(fivePlaces[0]);
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    fixture.folder.exec("ALTER TABLE at_helyszinek RENAME COLUMN cim TO utca");
    panel.clickTitle(4);
    QCOMPARE(program.messages.captions(), QStringList{"Hiba az SQL script futásakor!"});
    QVERIFY(program.messages.boxes[0].text.contains("cim"));
    QCOMPARE(panel.model()->rowCount(), 0);
    QVERIFY(!panel.button("btnDeleteHelyszin")->isEnabled());
}

void TestLocations::failedSaveKeepsTheEditor()
{
    LocationsFixture fixture;
    fixture.folder.refuseWrites("at_helyszinek", "INSERT", "tele a lemez");
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    panel.click("btnNewHelyszin");
    panel.chooseSettlement("6900 Makó");
    panel.address()->setText("Fő u. 1.");
    panel.name()->setText("Ház");
    panel.click("btnAddHelyszin");
    QCOMPARE(program.messages.captions(), QStringList({"Hiba az SQL script futásakor!", "Programhiba!"}));
    QCOMPARE(program.messages.boxes[0].text, QStringLiteral("tele a lemez"));
    QCOMPARE(program.messages.boxes[1].text,
             QStringLiteral("Hiba történt az adatok rögzítése közben. Az adatokat valószínűleg nem sikerült menteni. "
                            "Kérlek értesítsd a fejlesztőt!"));
    QCOMPARE(panel.address()->text(), QStringLiteral("Fő u. 1."));
    QCOMPARE(panel.editor().EditMode, EditModes::New);
    QCOMPARE(QApplication::focusWidget(), panel.settlements());
}

void TestLocations::everythingSurvivesARestart()
{
    LocationsFixture fixture;
    {
        RunningProgram program;
        QVERIFY(program.start());
        LocationsView panel{program};
        panel.open();
        panel.click("btnNewHelyszin");
        panel.chooseSettlement("6600 Szentes");
        panel.address()->setText("Kossuth tér 6.");
        panel.name()->setText("Művelődési Központ");
        panel.click("btnAddHelyszin");
        panel.click("btnCancelHelyszin");
        program.screenshot("locations-after-entry");
    }
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    QCOMPARE(panel.rows(), QStringList{"6600 Szentes, Kossuth tér 6. - Művelődési Központ"});
}

void TestLocations::failedOpeningLeavesAUsableToolbar()
{
    LocationsFixture fixture;
    fixture.add(fivePlaces[0]);
    fixture.folder.exec("ALTER TABLE at_telepulesek RENAME COLUMN megye_kod TO megye"); // the settlements fail
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    QCOMPARE(program.messages.captions(), QStringList{"Kelmir"});
    // The bare window: no half-filled panel, every toolbar button usable.
    QVERIFY(!program.find<QWidget>("pnlHelyszinek")->isVisible());
    for (const char* name : {"btnNew", "btnOpen", "btnEditHelyszinek", "btnExport", "btnSettings", "btnExit"})
        QVERIFY2(program.find<QToolButton>(name)->isEnabled(), name);
}

void TestLocations::cancelAfterAFailedSaveShowsTheList()
{
    LocationsFixture fixture;
    fixture.add(fivePlaces[0]);
    fixture.add(fivePlaces[1]);
    fixture.folder.refuseWrites("at_helyszinek", "INSERT", "tele a lemez");
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    QCOMPARE(panel.model()->rowCount(), 2);
    for (const bool escape : {false, true}) {
        panel.click("btnNewHelyszin");
        panel.chooseSettlement("6900 Makó");
        panel.address()->setText("Fő u. 1.");
        panel.name()->setText("Ház");
        panel.click("btnAddHelyszin");
        QCOMPARE(panel.model()->rowCount(), 0); // the failed write ran in the list's query
        if (escape)
            QTest::keyClick(panel.name(), Qt::Key_Escape);
        else
            panel.click("btnCancelHelyszin");
        QCOMPARE(panel.editor().EditMode, EditModes::Idle);
        QCOMPARE(panel.rows(),
                 QStringList({"6900 Makó, Széchenyi tér 22. - Városháza", "6720 Szeged, Dugonics tér 13. - Egyetem"}));
    }
}

void TestLocations::editOfALocationDeletedElsewhere()
{
    LocationsFixture fixture;
    fixture.add(fivePlaces[0]);
    fixture.add(fivePlaces[1]);
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    panel.doubleClickRow(1); // Szeged
    QCOMPARE(panel.editor().EditMode, EditModes::Change);
    fixture.folder.exec("DELETE FROM at_helyszinek WHERE helyszin='Egyetem'"); // another program
    panel.name()->setText("Egyetem aula");
    panel.click("btnAddHelyszin");
    // Not reported as saved: a clear message, and the list as it now is.
    QCOMPARE(program.messages.captions(), QStringList{"A helyszín nem található!"});
    QVERIFY(program.messages.boxes[0].text.contains(QStringLiteral("másik program")));
    QCOMPARE(panel.editor().EditMode, EditModes::Idle);
    QCOMPARE(panel.rows(), QStringList{"6900 Makó, Széchenyi tér 22. - Városháza"});
    QCOMPARE(fixture.stored(), QStringList{"0|Makó|Széchenyi tér 22.|Városháza"});
}

// A location another workstation withdrew while it was being changed here
// stays withdrawn: the change is not saved, and the user is told.
void TestLocations::editOfALocationWithdrawnElsewhere()
{
    LocationsFixture fixture;
    fixture.add(fivePlaces[0]);
    fixture.add(fivePlaces[1]);
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    panel.doubleClickRow(1);                                                            // Szeged
    fixture.folder.exec("UPDATE at_helyszinek SET deleted=1 WHERE helyszin='Egyetem'"); // another program
    panel.name()->setText("Egyetem aula");
    panel.click("btnAddHelyszin");
    QCOMPARE(program.messages.captions(), QStringList{"A helyszín nem található!"});
    QCOMPARE(panel.editor().EditMode, EditModes::Idle);
    QCOMPARE(panel.rows(), QStringList{"6900 Makó, Széchenyi tér 22. - Városháza"});
    QCOMPARE(fixture.stored(),
             QStringList({"1|Szeged|Dugonics tér 13.|Egyetem", "0|Makó|Széchenyi tér 22.|Városháza"}));
}

// The typing limit is for typing: an address or name stored longer (by
// another program, an earlier version) is saved back whole.
void TestLocations::storedTextsAreSavedWhole()
{
    LocationsFixture fixture;
    const QString longAddress = QStringLiteral("Dugonics tér 13., ") + QString(200, u'é');
    const QString longName = QStringLiteral("Egyetem ") + QString(150, u'ő');
    fixture.folder.exec(
        QStringLiteral("INSERT INTO at_helyszinek (deleted, telepules_kod, cim, helyszin) SELECT 0, id, "
                       "'%1', '%2' FROM at_telepulesek WHERE telepules='Szeged' AND irsz=6720")
            .arg(longAddress, longName));
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    panel.doubleClickRow(0);
    QCOMPARE(panel.address()->text(), longAddress);
    panel.click("btnAddHelyszin");
    QVERIFY(program.messages.boxes.isEmpty());
    QCOMPARE(fixture.stored(), QStringList{"0|Szeged|" + longAddress + u'|' + longName});
    // A new entry is typed within the limit again.
    panel.click("btnNewHelyszin");
    QCOMPARE(panel.address()->maxLength(), 128);
    QCOMPARE(panel.name()->maxLength(), 128);
}

// A name holding a right-to-left override is set apart in the sentences
// that show it: the question keeps its own order around it.
void TestLocations::rightToLeftTextStaysInItsPlace()
{
    LocationsFixture fixture;
    const QString overridden = QStringLiteral("Egyetem ") + QChar(0x202E) + QStringLiteral("aula");
    fixture.add({"Szeged", 6720, "Dugonics tér 13.", "x"});
    fixture.folder.exec(QStringLiteral("UPDATE at_helyszinek SET helyszin='%1'").arg(overridden));
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    panel.clickRow(0);
    program.messages.answerNext(UserMessages::Answer::No);
    panel.click("btnDeleteHelyszin");
    QCOMPARE(program.messages.boxes[0].text,
             QStringLiteral("Biztosan törlöd a következő helyszint? \n\"6720 Szeged, Dugonics tér 13. - ")
                 + QChar(0x2068) + overridden + QChar(0x2069) + u'"');
    const QModelIndex cell = panel.model()->index(0, 6);
    QCOMPARE(panel.model()->data(cell, Qt::DisplayRole).toString(), QChar(0x2068) + overridden + QChar(0x2069));
    QCOMPARE(panel.model()->data(panel.model()->index(0, 5), Qt::DisplayRole).toString(),
             QStringLiteral("Dugonics tér 13."));
}

void TestLocations::keyboardOnlyWithdrawalOfTheOnlyRow()
{
    LocationsFixture fixture;
    fixture.add(fivePlaces[0]);
    RunningProgram program;
    QVERIFY(program.start());
    LocationsView panel{program};
    panel.open();
    // The grid stands on its only row after opening; Space chooses it.
    QCOMPARE(QApplication::focusWidget(), panel.grid());
    QCOMPARE(panel.currentRow(), 0);
    QVERIFY(!panel.button("btnDeleteHelyszin")->isEnabled());
    QTest::keyClick(panel.grid(), Qt::Key_Space);
    QVERIFY(panel.button("btnDeleteHelyszin")->isEnabled());
    QCOMPARE(panel.address()->text(), QStringLiteral("Dugonics tér 13."));
    // Tab to "Töröl", Enter, and Yes.
    while (QApplication::focusWidget() != panel.button("btnDeleteHelyszin"))
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    program.messages.answerNext(UserMessages::Answer::Yes);
    QTest::keyClick(panel.button("btnDeleteHelyszin"), Qt::Key_Return);
    QCOMPARE(program.messages.captions(), QStringList{"Helyszin törlése"});
    QCOMPARE(fixture.stored(), QStringList{"1|Szeged|Dugonics tér 13.|Egyetem"});
    QCOMPARE(panel.model()->rowCount(), 0);
    // Enter chooses as well.
    fixture.add(fivePlaces[1]);
    QTest::mouseClick(program.find<QToolButton>("btnCloseHelyszinek"), Qt::LeftButton);
    panel.open();
    QTest::keyClick(panel.grid(), Qt::Key_Return);
    QVERIFY(panel.button("btnDeleteHelyszin")->isEnabled());
}

void TestLocations::disabledDeleteLooksDisabled()
{
    RunningProgram program;
    LocationsFixture fixture;
    QVERIFY(program.start());
    for (const char* name : {"btnDeleteHelyszin", "btnDeleteVeradas"}) {
        QPushButton* remove = program.find<QPushButton>(name);
        const QPalette& palette = remove->palette();
        QCOMPARE(palette.color(QPalette::Active, QPalette::ButtonText), QColor(128, 0, 0));
        // Disabled, it is drawn like every other disabled button.
        QCOMPARE(palette.color(QPalette::Disabled, QPalette::ButtonText),
                 program
                     .find<QPushButton>(name == QByteArray("btnDeleteHelyszin") ? "btnNewHelyszin" : "btnNewVeradas")
                     ->palette()
                     .color(QPalette::Disabled, QPalette::ButtonText));
        QVERIFY(remove->font().bold());
    }
}

QTEST_MAIN(TestLocations)
#include "TestLocations.moc"
