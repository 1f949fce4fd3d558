// The settings panel and the settings row, on the real window.

#include "store/Connection.h"
#include "store/DataModule.h"
#include "store/Transaction.h"
#include "support/Fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <tuple>

namespace {

void insertSettings(const DatabaseFolder& folder, const QString& values)
{
    folder.exec("INSERT INTO at_settings (megye_kod, cel, forras, smtp, auth_sec, auth_usr, auth_psw) VALUES (" + values
                + ")");
}

void openPanel(RunningProgram& program)
{
    QTest::mouseClick(program.find<QToolButton>("btnSettings"), Qt::LeftButton);
    QVERIFY(program.find<QWidget>("pnlSettingsMain")->isVisible());
}

void save(RunningProgram& program)
{
    QTest::mouseClick(program.find<QToolButton>("btnSaveSettings"), Qt::LeftButton);
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void firstSaveInsertsRowOneAndLaterSavesUpdateIt();
    void saveWithoutCountyIsRefused();
    void storedFlagTwoShowsClearAndSavesZero();
    void authenticationBoxEnablesCredentials();
    void cancelKeepsEverything();
    void failedSaveKeepsPanelOpen();
    void failedCountyLookupEndsTheSave();
    void rowUnderAnotherNumberIsReadAndRewritten();
    void twoProgramsOnAFileWithoutSettingsMakeOneRow();
    void hiddenControlsNeverTakeTheFocus();
    void storedTextsAreSavedWhole();
};

void TestSettings::firstSaveInsertsRowOneAndLaterSavesUpdateIt()
{
    DatabaseFolder folder;
    {
        RunningProgram program;
        QVERIFY(program.start());
        openPanel(program);
        QCOMPARE(program.window->findChild<QWidget*>("pnlSettingsMain")->pos(), QPoint(246, 243));
        auto* county = program.find<QComboBox>("cmbMegye");
        auto* recipient = program.find<QLineEdit>("edtDestinationEmail");
        QCOMPARE(county->currentIndex(), 0);
        QCOMPARE(recipient->text(), QString());

        county->setCurrentIndex(7);
        recipient->setText("  cel@example.hu ");
        program.screenshot("settings-panel");
        program.find<QLineEdit>("edtSMTP")->setText("smtp.example.hu"); // never read
        save(program);
        QVERIFY(!program.find<QWidget>("pnlSettingsMain")->isVisible());
        QVERIFY(program.find<QToolButton>("btnNew")->isEnabled());
        QCOMPARE(folder.scalar("SELECT count(*) FROM at_settings"), QStringLiteral("1"));
        QCOMPARE(folder.scalar("SELECT id || '|' || megye_kod || '|' || cel || '|' || forras || '|' || smtp || '|' "
                               "|| auth_sec FROM at_settings"),
                 QStringLiteral("1|7|  cel@example.hu |||0"));
        const Settings& settings = program.window->base().CurrentSettings;
        QCOMPARE(settings.Megye, folder.scalar("SELECT megye_nev FROM at_megyek WHERE id=7"));

        // A second save in the same run updates row 1.
        openPanel(program);
        QCOMPARE(county->currentIndex(), 7);
        county->setCurrentIndex(3);
        save(program);
        QCOMPARE(folder.scalar("SELECT count(*) || '|' || max(id) || '|' || max(megye_kod) FROM at_settings"),
                 QStringLiteral("1|1|3"));
    }
    RunningProgram restarted;
    QVERIFY(restarted.start());
    QVERIFY(restarted.messages.boxes.isEmpty()); // a county is set: no reminder
    QCOMPARE(int(restarted.window->base().CurrentSettings.megye_kod), 3);
    QCOMPARE(restarted.window->base().CurrentSettings.Cel, QStringLiteral("  cel@example.hu "));
}

void TestSettings::saveWithoutCountyIsRefused()
{
    DatabaseFolder folder;
    RunningProgram program;
    QVERIFY(program.start());
    program.messages.clear();
    openPanel(program);
    program.find<QLineEdit>("edtDestinationEmail")->setText("x@y.hu");
    save(program);
    QCOMPARE(program.messages.boxes.size(), 1);
    QCOMPARE(program.messages.boxes[0].text, QStringLiteral("A megye-azonosító nem lett kiválasztva!"));
    QCOMPARE(program.messages.boxes[0].caption, QStringLiteral("Információ"));
    QCOMPARE(program.messages.boxes[0].icon, UserMessages::Icon::Information);
    QVERIFY(program.find<QWidget>("pnlSettingsMain")->isVisible());
    QCOMPARE(QApplication::focusWidget(), program.find<QWidget>("cmbMegye"));
    QCOMPARE(folder.scalar("SELECT count(*) FROM at_settings"), QStringLiteral("0"));
}

void TestSettings::storedFlagTwoShowsClearAndSavesZero()
{
    DatabaseFolder folder;
    insertSettings(folder, "5, 'a@b.hu', 'régi', 'régi smtp', 2, 'usr', 'psw'");
    RunningProgram program;
    QVERIFY(program.start());
    openPanel(program);
    QVERIFY(!program.find<QCheckBox>("cbxHitelesites")->isChecked());
    QVERIFY(!program.find<QWidget>("edtUSR")->isEnabled());
    QCOMPARE(program.find<QLineEdit>("edtUSR")->text(), QStringLiteral("usr"));
    QCOMPARE(program.find<QLineEdit>("edtSMTP")->text(), QStringLiteral("régi smtp"));
    save(program);
    QCOMPARE(folder.scalar("SELECT auth_sec || '|' || auth_usr || '|' || auth_psw || '|' || forras || '|' || smtp "
                           "FROM at_settings"),
             QStringLiteral("0|usr|psw||"));
}

void TestSettings::authenticationBoxEnablesCredentials()
{
    DatabaseFolder folder;
    insertSettings(folder, "5, 'a@b.hu', '', '', 1, 'usr', 'titok'");
    RunningProgram program;
    QVERIFY(program.start());
    openPanel(program);
    auto* box = program.find<QCheckBox>("cbxHitelesites");
    QVERIFY(box->isChecked());
    QVERIFY(program.find<QWidget>("edtUSR")->isEnabled());
    QVERIFY(program.find<QWidget>("lblHitelesites2")->isEnabled());
    QCOMPARE(program.find<QLineEdit>("edtPSW")->echoMode(), QLineEdit::Password);
    box->click();
    QVERIFY(!program.find<QWidget>("edtUSR")->isEnabled());
    QVERIFY(!program.find<QWidget>("pnlHitelesites")->isEnabled());
    box->click();
    QVERIFY(program.find<QWidget>("edtUSR")->isEnabled());
    program.find<QLineEdit>("edtPSW")->setText("új jelszó");
    save(program);
    QCOMPARE(folder.scalar("SELECT auth_sec || '|' || auth_psw FROM at_settings"), QStringLiteral("1|új jelszó"));
}

void TestSettings::cancelKeepsEverything()
{
    DatabaseFolder folder;
    insertSettings(folder, "4, 'a@b.hu', '', '', 0, '', ''");
    RunningProgram program;
    QVERIFY(program.start());
    openPanel(program);
    program.find<QComboBox>("cmbMegye")->setCurrentIndex(9);
    program.find<QLineEdit>("edtDestinationEmail")->setText("other@b.hu");
    QTest::mouseClick(program.find<QToolButton>("btnCancelSettings"), Qt::LeftButton);
    QVERIFY(!program.find<QWidget>("pnlSettingsMain")->isVisible());
    QVERIFY(program.find<QToolButton>("btnSettings")->isEnabled());
    QCOMPARE(int(program.window->base().CurrentSettings.megye_kod), 4);
    QCOMPARE(folder.scalar("SELECT megye_kod || cel FROM at_settings"), QStringLiteral("4a@b.hu"));
    openPanel(program);
    QCOMPARE(program.find<QComboBox>("cmbMegye")->currentIndex(), 4);
    QCOMPARE(program.find<QLineEdit>("edtDestinationEmail")->text(), QStringLiteral("a@b.hu"));
}

void TestSettings::failedSaveKeepsPanelOpen()
{
    DatabaseFolder folder;
    insertSettings(folder, "4, 'a@b.hu', '', '', 0, '', ''");
    folder.refuseWrites("at_settings", "UPDATE", "zárolva");
    RunningProgram program;
    QVERIFY(program.start());
    openPanel(program);
    program.find<QComboBox>("cmbMegye")->setCurrentIndex(8);
    save(program);
    QCOMPARE(program.messages.captions(), QStringList{"Hiba az SQL script futásakor!"});
    QCOMPARE(program.messages.boxes[0].text, QStringLiteral("zárolva"));
    QVERIFY(program.find<QWidget>("pnlSettingsMain")->isVisible());
    QVERIFY(!program.find<QToolButton>("btnSettings")->isEnabled());
    QCOMPARE(int(program.window->base().CurrentSettings.megye_kod), 8); // the new values stay in memory
    QCOMPARE(folder.scalar("SELECT megye_kod FROM at_settings"), QStringLiteral("4"));

    // The failed transaction was rolled back at once: another program's
    // write does not wait for it.
    {
        Connection other;
        other.setBusyTimeout(200);
        other.open(folder.databasePath());
        Transaction write(other); // the write lock every save takes
        other.execute(QStringLiteral("UPDATE at_megyek SET megye_nev=megye_nev WHERE id=1"));
        write.commit();
    }
    // Once the cause is gone, the next save succeeds.
    folder.exec(DatabaseFolder::onServer() ? QStringLiteral("DROP TRIGGER refuse_update ON at_settings")
                                           : QStringLiteral("DROP TRIGGER refuse_update"));
    program.messages.clear();
    save(program);
    QCOMPARE(program.messages.boxes.size(), 0);
    QVERIFY(!program.find<QWidget>("pnlSettingsMain")->isVisible());
    QVERIFY(program.find<QToolButton>("btnSettings")->isEnabled());
    QCOMPARE(folder.scalar("SELECT id || ':' || megye_kod FROM at_settings"), QStringLiteral("1:8"));
}

void TestSettings::failedCountyLookupEndsTheSave()
{
    DatabaseFolder folder;
    insertSettings(folder, "4, 'a@b.hu', '', '', 0, '', ''");
    RunningProgram program;
    QVERIFY(program.start());
    openPanel(program);
    program.find<QComboBox>("cmbMegye")->setCurrentIndex(8);
    folder.exec("ALTER TABLE at_megyek RENAME TO at_megyek_regi"); // another program breaks the file
    save(program);
    QCOMPARE(program.messages.captions(), QStringList({"Hiba az SQL script futásakor!", "Kelmir"}));
    QVERIFY(program.messages.boxes[1].text.endsWith(u'.'));
    // The county exists: it is the lookup that failed, and that is what is said.
    QVERIFY2(program.messages.boxes[1].text.contains(QStringLiteral("nem olvashatók be"))
                 && !program.messages.boxes[1].text.contains(QStringLiteral("nem található")),
             qPrintable(program.messages.boxes[1].text));
    QCOMPARE(int(program.window->base().CurrentSettings.megye_kod), 4);
    QCOMPARE(folder.scalar("SELECT megye_kod FROM at_settings"), QStringLiteral("4"));
    QVERIFY(program.find<QWidget>("pnlSettingsMain")->isVisible());
}

void TestSettings::rowUnderAnotherNumberIsReadAndRewritten()
{
    DatabaseFolder folder;
    // A row that was deleted: the counter gives the next insert number 2.
    insertSettings(folder, "4, 'regi@b.hu', '', '', 0, '', ''");
    folder.exec("DELETE FROM at_settings");
    {
        RunningProgram program;
        QVERIFY(program.start());
        openPanel(program);
        program.find<QComboBox>("cmbMegye")->setCurrentIndex(7);
        program.find<QLineEdit>("edtDestinationEmail")->setText("elso@b.hu");
        save(program);
        QVERIFY(!program.find<QWidget>("pnlSettingsMain")->isVisible());
        QCOMPARE(folder.lines("SELECT id || ':' || megye_kod || ':' || cel FROM at_settings ORDER BY id").join(u','),
                 QStringLiteral("1:7:elso@b.hu"));
        // Every later save writes that row.
        openPanel(program);
        program.find<QComboBox>("cmbMegye")->setCurrentIndex(3);
        program.find<QLineEdit>("edtDestinationEmail")->setText("masodik@b.hu");
        save(program);
        QVERIFY(!program.find<QWidget>("pnlSettingsMain")->isVisible());
        QCOMPARE(folder.lines("SELECT id || ':' || megye_kod || ':' || cel FROM at_settings ORDER BY id").join(u','),
                 QStringLiteral("1:3:masodik@b.hu"));
    }
    {
        RunningProgram restarted;
        QVERIFY(restarted.start());
        QCOMPARE(int(restarted.window->base().CurrentSettings.megye_kod), 3);
        QCOMPARE(restarted.window->base().CurrentSettings.Cel, QStringLiteral("masodik@b.hu"));
    }
    // A file an earlier version left with the row under number 2 starts
    // with that row's county and recipient.
    folder.exec("UPDATE at_settings SET id=2");
    RunningProgram older;
    QVERIFY(older.start());
    QCOMPARE(int(older.window->base().CurrentSettings.megye_kod), 3);
    QCOMPARE(older.window->base().CurrentSettings.Cel, QStringLiteral("masodik@b.hu"));
    // Its first save leaves exactly row 1, holding what was saved.
    openPanel(older);
    older.find<QComboBox>("cmbMegye")->setCurrentIndex(9);
    older.find<QLineEdit>("edtDestinationEmail")->setText("harmadik@b.hu");
    save(older);
    QCOMPARE(older.messages.boxes.size(), 0);
    QVERIFY(!older.find<QWidget>("pnlSettingsMain")->isVisible());
    QCOMPARE(folder.lines("SELECT id || ':' || megye_kod || ':' || cel FROM at_settings ORDER BY id").join(u','),
             QStringLiteral("1:9:harmadik@b.hu"));
}

void TestSettings::twoProgramsOnAFileWithoutSettingsMakeOneRow()
{
    DatabaseFolder folder;
    RunningProgram first;
    RunningProgram second;
    QVERIFY(first.start());
    QVERIFY(second.start());
    for (auto [program, county, recipient] :
         {std::tuple{&first, 5, "elso@b.hu"}, std::tuple{&second, 8, "masodik@b.hu"}}) {
        openPanel(*program);
        program->find<QComboBox>("cmbMegye")->setCurrentIndex(county);
        program->find<QLineEdit>("edtDestinationEmail")->setText(recipient);
        save(*program);
        QVERIFY(!program->find<QWidget>("pnlSettingsMain")->isVisible());
    }
    QCOMPARE(folder.lines("SELECT id || ':' || megye_kod || ':' || cel FROM at_settings ORDER BY id").join(u','),
             QStringLiteral("1:8:masodik@b.hu"));
}

void TestSettings::hiddenControlsNeverTakeTheFocus()
{
    DatabaseFolder folder;
    insertSettings(folder, "5, 'a@b.hu', '', 'régi smtp', 1, 'usr', 'titok'");
    RunningProgram program;
    QVERIFY(program.start());
    openPanel(program);
    QVERIFY(program.find<QCheckBox>("cbxHitelesites")->isChecked());
    const QList<QWidget*> hidden = {program.find<QWidget>("edtSMTP"), program.find<QWidget>("cbxHitelesites"),
                                    program.find<QWidget>("edtUSR"), program.find<QWidget>("edtPSW")};
    QCOMPARE(QApplication::focusWidget(), program.find<QWidget>("cmbMegye"));
    // Tab walks the visible controls only, and keys typed on the way
    // change nothing nobody can see.
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY2(!hidden.contains(QApplication::focusWidget()), qPrintable(QApplication::focusWidget()->objectName()));
        if (qobject_cast<QLineEdit*>(QApplication::focusWidget()) == nullptr)
            QTest::keyClicks(QApplication::focusWidget(), "x");
    }
    QCOMPARE(program.find<QLineEdit>("edtSMTP")->text(), QStringLiteral("régi smtp"));
    QCOMPARE(program.find<QLineEdit>("edtUSR")->text(), QStringLiteral("usr"));
    QCOMPARE(program.find<QLineEdit>("edtPSW")->text(), QStringLiteral("titok"));
    QVERIFY(program.find<QCheckBox>("cbxHitelesites")->isChecked());
}

// A recipient or password stored longer than a line field takes (by
// another program) is shown and saved back whole.
void TestSettings::storedTextsAreSavedWhole()
{
    DatabaseFolder folder;
    const QString recipients = QStringList(3000, QStringLiteral("cimzett@example.hu")).join(u',');
    const QString password = QString(33000, u'x');
    insertSettings(folder, QStringLiteral("4, '%1', '', '', 1, 'felhasznalo', '%2'").arg(recipients, password));
    RunningProgram program;
    QVERIFY(program.start());
    openPanel(program);
    QCOMPARE(program.find<QLineEdit>("edtDestinationEmail")->text().size(), recipients.size());
    save(program);
    QVERIFY(program.messages.boxes.isEmpty());
    QCOMPARE(folder.scalar("SELECT length(cel) || ':' || length(auth_psw) FROM at_settings"),
             QStringLiteral("%1:%2").arg(recipients.size()).arg(password.size()));
}

QTEST_MAIN(TestSettings)
#include "TestSettings.moc"
