// The export panel, the export table and the workbook through the real
// window, with a real database file and a fixed clock.

#include "export/ExportNames.h"
#include "export/SmtpClient.h"
#include "store/DataModule.h"
#include "support/Fixture.h"
#include "support/PythonPeer.h"

#include <QComboBox>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QTest>
#include <QToolButton>

namespace {

class ExportFixture {
public:
    ExportFixture()
    {
        folder.chooseCounty(6);
        // 1 Szeged Egyetem, 2 Makó Városháza, 3 Szeged (6721) Kórház, 4 withdrawn Algyő Faluház
        folder.addLocation("Szeged", 6720, "Dugonics tér 13.", "Egyetem");
        folder.addLocation("Makó", 6900, "Széchenyi tér 22.", "Városháza");
        folder.addLocation("Szeged", 6721, "Ady tér 10.", "Kórház");
        folder.addLocation("Algyő", 6750, "Kastélykert u. 40.", "Faluház", 1);
    }
    void addDonation(const char* ev, const char* honap, const char* nap, const char* kezdes, const char* befejezes,
                     int location) const
    {
        folder.addDonation(ev, honap, nap, kezdes, befejezes, location);
    }
    // at_toExcel as "datum idopont megye irsz varos helyszin cim" lines, in stored order.
    QStringList table() const
    {
        return folder.lines("SELECT datum || ' ' || idopont || ' ' || megye || ' ' || irsz || ' ' || varos || ' ' || "
                            "helyszin || ' ' || cim FROM at_toExcel ORDER BY rowid");
    }
    QStringList excelFiles() const
    {
        return QDir(folder.path() + QStringLiteral("/excel")).entryList(QDir::Files);
    }
    QStringList xmlFiles() const { return QDir(folder.path() + QStringLiteral("/xml")).entryList(QDir::Files); }
    DatabaseFolder folder;
};

struct ExportView {
    RunningProgram& program;
    QComboBox* months() const { return program.find<QComboBox>("cmbExport"); }
    QToolButton* button(const char* name) const { return program.find<QToolButton>(name); }
    QProgressBar* gauge() const { return program.find<QProgressBar>("prbSending"); }
    void open() const { QTest::mouseClick(button("btnExport"), Qt::LeftButton); }
    void choose(int item) const { months()->setCurrentIndex(item); }
    void excel() const { QTest::mouseClick(button("btnExcel"), Qt::LeftButton); }
    void send() const { QTest::mouseClick(button("btnSend"), Qt::LeftButton); }
    bool idle() const
    {
        return months()->currentIndex() == 0 && !button("btnExcel")->isEnabled() && !button("btnSend")->isEnabled()
               && !program.find<QLabel>("lblSend")->isVisible() && !gauge()->isVisible();
    }
};

} // namespace

class TestExport : public QObject {
    Q_OBJECT
private slots:
    void gateRefusesWithoutCounty();
    void monthsFollowThePlaceholder();
    void exportTableContentAndOrder();
    void workbookIsSavedAndShown();
    void viewerMissingNamesTheFile();
    void unwritableFolderRecovers();
    void sendReachesTheServer();
    void noServerShowsThreeBoxes();
    void unsafeRecipientIsRefusedBeforeConnecting();
    void stampForLocales_data();
    void stampForLocales();
};

void TestExport::gateRefusesWithoutCounty()
{
    DatabaseFolder folder;
    RunningProgram program;
    QVERIFY(program.start());
    program.messages.clear();
    ExportView view{program};
    view.open();
    QCOMPARE(program.messages.boxes.size(), 1);
    QCOMPARE(program.messages.boxes[0].text, QStringLiteral("Az adatok exportálását nem lehet végrehajtani, amig "
                                                            "nincsen kiválasztva a Megye! [BEÁLLÍTÁSOK]"));
    QCOMPARE(program.messages.boxes[0].caption, QStringLiteral("Hiányos adatok!"));
    QVERIFY(!program.find<QWidget>("pnlExport")->isVisible());
    QVERIFY(view.button("btnExport")->isEnabled());
}

void TestExport::monthsFollowThePlaceholder()
{
    ExportFixture fixture;
    fixture.addDonation("2021", "01", "10", "08:00", "12:00", 1);
    fixture.addDonation("2020", "09", "05", "08:00", "12:00", 4); // only at a withdrawn location: still listed
    RunningProgram program;
    QVERIFY(program.start());
    ExportView view{program};
    view.open();
    QWidget* panel = program.find<QWidget>("pnlExport");
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->pos(), QPoint(327, 202));
    QVERIFY(!view.button("btnNew")->isEnabled());
    QCOMPARE(view.months()->count(), 3);
    QCOMPARE(view.months()->itemText(0), QStringLiteral("- Havi véradások -"));
    QCOMPARE(view.months()->itemText(1), QStringLiteral("2020 Szeptember"));
    QCOMPARE(view.months()->itemText(2), QStringLiteral("2021 Január"));
    QVERIFY(view.idle());

    // Choosing with the keyboard, with the list closed, moves the buttons too.
    view.months()->setFocus();
    QTest::keyClick(view.months(), Qt::Key_Down);
    QCOMPARE(view.months()->currentIndex(), 1);
    QVERIFY(view.button("btnExcel")->isEnabled());
    QVERIFY(view.button("btnSend")->isEnabled());
    QVERIFY(program.find<QLabel>("lblSend")->isVisible());
    program.screenshot("export-panel");
    QTest::keyClick(view.months(), Qt::Key_Up);
    QVERIFY(view.idle());

    QTest::mouseClick(view.button("btnCloseExport"), Qt::LeftButton);
    QVERIFY(!panel->isVisible());
    QVERIFY(view.button("btnNew")->isEnabled());
}

void TestExport::exportTableContentAndOrder()
{
    ExportFixture fixture;
    fixture.addDonation("2020", "09", "10", "08:00", "12:00", 1);
    fixture.addDonation("2020", "09", "09", "10:30", "12:00", 2);
    fixture.addDonation("2020", "09", "10", "08:00", "11:00", 3); // same day and start: Szeged Ady before Dugonics
    fixture.addDonation("2020", "09", "09", "08:00", "09:00", 4); // withdrawn location, still exported
    fixture.addDonation("2020", "09", "10", "07:00", "09:00", 2);
    fixture.addDonation("2020", "10", "01", "07:00", "09:00", 2);
    RunningProgram program;
    QVERIFY(program.start());
    ExportView view{program};
    view.open();
    view.choose(1);
    view.excel();
    QVERIFY(program.messages.boxes.isEmpty());
    const QString county = program.window->base().CurrentSettings.Megye;
    QCOMPARE(fixture.table(),
             QStringList({"2020.09.09 08:00-09:00 " + county + " 6750 Algyő Faluház Kastélykert u. 40.",
                          "2020.09.09 10:30-12:00 " + county + " 6900 Makó Városháza Széchenyi tér 22.",
                          "2020.09.10 07:00-09:00 " + county + " 6900 Makó Városháza Széchenyi tér 22.",
                          "2020.09.10 08:00-11:00 " + county + " 6721 Szeged Kórház Ady tér 10.",
                          "2020.09.10 08:00-12:00 " + county + " 6720 Szeged Egyetem Dugonics tér 13."}));
    QCOMPARE(program.dm->aq_toExcel.columnNames(),
             QStringList({"DÁTUM", "IDŐPONT", "MEGYE", "IRSZ", "TELEPÜLÉS", "HELYSZÍN (intézmény neve)", "Cím"}));
    QCOMPARE(program.window->base().SelectedMonthName, QStringLiteral("Szeptember"));
    QCOMPARE(view.gauge()->maximum(), 15);
    QVERIFY(view.idle());

    // A second export replaces the table.
    view.choose(2);
    view.excel();
    QCOMPARE(fixture.table(), QStringList{"2020.10.01 07:00-09:00 " + county + " 6900 Makó Városháza Széchenyi tér 22."});
}

void TestExport::workbookIsSavedAndShown()
{
    ExportFixture fixture;
    fixture.addDonation("2020", "09", "05", "08:00", "12:30", 1);
    fixture.addDonation("2020", "09", "06", "09:00", "13:00", 2);
    RunningProgram program;
    program.clock.fixed = QDateTime(QDate(2020, 9, 15), QTime(14, 30, 5));
    QVERIFY(program.start());
    ExportView view{program};
    view.open();
    view.choose(1);
    view.excel();
    const QString county = program.window->base().CurrentSettings.Megye;
    const QString expectedName =
        ExportFileName(county, QStringLiteral("Szeptember"), ExportStampText(program.clock, QLocale::system()), "xls");
    QCOMPARE(fixture.excelFiles(), QStringList{expectedName});
    const QString path = QDir(fixture.folder.path()).filePath("excel/" + expectedName);
    QCOMPARE(program.viewer.shown, QStringList{path});
    QVERIFY(program.messages.boxes.isEmpty());

    const QJsonObject sheet = runPythonPeer(peerScript("read_xls.py"), {path}).object()["sheets"].toArray()[0].toObject();
    QCOMPARE(sheet["name"].toString(), county);
    QCOMPARE(sheet["nrows"].toInt(), 3);
    const QJsonArray first = sheet["cells"].toArray()[1].toArray();
    QCOMPARE(first[0].toObject()["value"].toString(), QStringLiteral("2020.09.05"));
    QCOMPARE(first[3].toObject()["type"].toString(), QStringLiteral("number"));
    QCOMPARE(first[3].toObject()["value"].toDouble(), 6720.0);

    // Again within the same second: the file of that name is replaced.
    fixture.addDonation("2020", "09", "07", "09:00", "13:00", 3);
    view.choose(1);
    view.excel();
    QCOMPARE(fixture.excelFiles(), QStringList{expectedName});
    QCOMPARE(runPythonPeer(peerScript("read_xls.py"), {path}).object()["sheets"].toArray()[0].toObject()["nrows"].toInt(),
             4);
}

void TestExport::viewerMissingNamesTheFile()
{
    ExportFixture fixture;
    fixture.addDonation("2020", "09", "05", "08:00", "12:30", 1);
    RunningProgram program;
    program.viewer.succeed = false;
    QVERIFY(program.start());
    ExportView view{program};
    view.open();
    view.choose(1);
    view.excel();
    QCOMPARE(fixture.excelFiles().size(), 1);
    QCOMPARE(program.messages.boxes.size(), 1);
    QVERIFY(program.messages.boxes[0].text.contains(fixture.excelFiles().first()));
    QCOMPARE(program.messages.boxes[0].icon, UserMessages::Icon::Information);
    QVERIFY(view.idle());
}

void TestExport::unwritableFolderRecovers()
{
    ExportFixture fixture;
    fixture.addDonation("2020", "09", "05", "08:00", "12:30", 1);
    QFile blocker(QDir(fixture.folder.path()).filePath("excel"));
    QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    RunningProgram program;
    QVERIFY(program.start());
    ExportView view{program};
    view.open();
    view.choose(1);
    view.excel();
    QCOMPARE(program.messages.captions(), QStringList{"Kelmir"});
    QCOMPARE(program.messages.boxes[0].icon, UserMessages::Icon::Error);
    QVERIFY(program.viewer.shown.isEmpty());
    QVERIFY(view.idle());
    QVERIFY(program.find<QWidget>("pnlExport")->isVisible());
    // The panel works again once the folder can be made.
    QVERIFY(blocker.remove());
    view.choose(1);
    view.excel();
    QCOMPARE(fixture.excelFiles().size(), 1);
}

void TestExport::sendReachesTheServer()
{
    ExportFixture fixture;
    fixture.folder.exec("UPDATE at_settings SET cel='cel@example.hu, masik@example.hu'");
    fixture.addDonation("2020", "09", "05", "08:00", "12:30", 1);
    fixture.addDonation("2020", "09", "06", "09:00", "13:00", 4);
    PeerServer server;
    QVERIFY(server.start(peerScript("smtp_server.py"), {fixture.folder.path() + "/certs", "veradas@example.hu", "jelszo"}));
    RunningProgram program;
    QVERIFY(program.start());
    SmtpSettings& mail = program.window->context().mail;
    mail.host = QStringLiteral("127.0.0.1");
    mail.port = server.port();
    mail.user = QStringLiteral("veradas@example.hu");
    mail.password = QStringLiteral("jelszo");
    mail.caFile = server.caFile();
    ExportView view{program};
    view.open();
    view.choose(1);
    view.send();
    QCOMPARE(program.messages.captions(), QStringList{"Exportálás"});
    QCOMPARE(program.messages.boxes[0].text, QStringLiteral("Az adatok sikeresen postázva!"));
    QCOMPARE(program.messages.boxes[0].icon, UserMessages::Icon::Information);
    QVERIFY(view.idle());
    QVERIFY(view.months()->isEnabled());
    QCOMPARE(fixture.xmlFiles().size(), 1);
    QVERIFY(fixture.xmlFiles()[0].endsWith(".xml"));
    QVERIFY(fixture.xmlFiles()[0].contains(" Megye Szeptember havi véradásai ("));

    const QString xmlPath = fixture.folder.path() + "/xml/" + fixture.xmlFiles()[0];
    const QJsonObject xml = runPythonPeer(peerScript("read_ado_xml.py"), {xmlPath}).object();
    const QJsonArray fields = xml["fields"].toArray();
    QCOMPARE(fields.size(), 7);
    QCOMPARE(fields[5].toObject()["alias"].toString(), QStringLiteral("c5"));
    QCOMPARE(fields[5].toObject()["name"].toString(), QStringLiteral("HELYSZÍN (intézmény neve)"));
    QCOMPARE(fields[3].toObject()["type"].toString(), QStringLiteral("int"));
    QCOMPARE(fields[0].toObject()["name"].toString(), QStringLiteral("DÁTUM"));
    const QJsonArray rows = xml["rows"].toArray();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[1].toObject()["HELYSZÍN (intézmény neve)"].toString(), QStringLiteral("Faluház"));
    QCOMPARE(rows[0].toObject()["IRSZ"].toString(), QStringLiteral("6720"));

    const QJsonObject seen = server.finish();
    const QJsonObject received = seen["messages"].toArray()[0].toObject();
    QCOMPARE(received["to"].toArray(), QJsonArray({"cel@example.hu", "masik@example.hu"}));
    QVERIFY(received["tls"].toBool());
    const QString data = received["data"].toString();
    QVERIFY(data.contains("Subject: =?UTF-8?B?VsOpcmFkw7NuYXBvazo=?= Szeptember"));
    QFile xmlFile(xmlPath);
    QVERIFY(xmlFile.open(QIODevice::ReadOnly));
    QVERIFY(data.contains(QString::fromLatin1(xmlFile.readAll().left(57).toBase64())));
}

void TestExport::noServerShowsThreeBoxes()
{
    ExportFixture fixture;
    fixture.addDonation("2020", "09", "05", "08:00", "12:30", 1);
    RunningProgram program;
    QVERIFY(program.start());
    SmtpSettings& mail = program.window->context().mail;
    mail.host = QStringLiteral("127.0.0.1");
    mail.port = 1; // nothing listens there
    ExportView view{program};
    view.open();
    view.choose(1);
    view.send();
    QCOMPARE(program.messages.captions(),
             QStringList({"A csatlakozásnál hiba történt!", "Hiba a küldésnél!", "Exportálás"}));
    QVERIFY(program.messages.boxes[0].text.startsWith(
        QStringLiteral("A számítógép valószínűleg nem kapcsolódik az internetre. Kérlek ellenőrizd!\n\nHibaüzenet:\n")));
    QCOMPARE(program.messages.boxes[2].text,
             QStringLiteral("Az adatok küldése nem sikerült. Kérlek ellenőrizd az internetkapcsolatot!"));
    QCOMPARE(program.messages.boxes[2].icon, UserMessages::Icon::Warning);
    QCOMPARE(fixture.xmlFiles().size(), 1); // the XML file is still written
    QVERIFY(view.idle());
    QVERIFY(program.find<QWidget>("btnCloseExport")->isEnabled());
}

void TestExport::unsafeRecipientIsRefusedBeforeConnecting()
{
    ExportFixture fixture;
    fixture.folder.exec("UPDATE at_settings SET cel='cel@example.hu' || char(13) || char(10) || 'RCPT TO:<x@evil.example>'");
    fixture.addDonation("2020", "09", "05", "08:00", "12:30", 1);
    RunningProgram program;
    QVERIFY(program.start());
    program.window->context().mail.host = QStringLiteral("127.0.0.1");
    program.window->context().mail.port = 1;
    ExportView view{program};
    view.open();
    view.choose(1);
    view.send();
    QCOMPARE(program.messages.captions(), QStringList({"Hibás címzett!", "Exportálás"}));
    QCOMPARE(program.messages.boxes[1].icon, UserMessages::Icon::Warning);
    QVERIFY(fixture.xmlFiles().isEmpty());
    QVERIFY(view.idle());
}

void TestExport::stampForLocales_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("stamp");
    QTest::newRow("Hungarian") << QLocale(QLocale::Hungarian, QLocale::Hungary) << "2020. 09. 15.14.30.05";
    QTest::newRow("English, slashes in the date") << QLocale(QLocale::English, QLocale::UnitedStates)
                                                  << "9.15.202.30.05 PM";
}

void TestExport::stampForLocales()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, stamp);
    FixedClock clock;
    clock.fixed = QDateTime(QDate(2020, 9, 15), QTime(14, 30, 5));
    const QString text = ExportStampText(clock, locale);
    QCOMPARE(text.left(stamp.size()), stamp);
    for (const QChar ch : QStringLiteral("<>:\"/\\|?*"))
        QVERIFY(!text.contains(ch));
}

QTEST_MAIN(TestExport)
#include "TestExport.moc"
