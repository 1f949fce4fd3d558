// The export panel, the export table and the workbook through the real
// window, with a real database file and a fixed clock.

#include "app/DesktopViewer.h"
#include "app/export/ExportPanel.h"
#include "export/AdoXmlWriter.h"
#include "export/ExportNames.h"
#include "export/MonthDispatch.h"
#include "export/SmtpClient.h"
#include "model/Base.h"
#include "store/DataModule.h"
#include "store/ExportTable.h"
#include "support/Fixture.h"
#include "support/PythonPeer.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLocale>
#include <QProcess>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <tuple>

#include <sys/stat.h>

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
    // The program's at_toExcel as "datum idopont megye irsz varos helyszin
    // cim" lines, in stored order (read on its own connection: on a server
    // the table is the connection's own).
    static QStringList table(const RunningProgram& program)
    {
        Query q(program.dm->datacore, QStringLiteral("check"));
        q.open(QStringLiteral("SELECT datum || ' ' || idopont || ' ' || megye || ' ' || irsz || ' ' || varos || ' ' "
                              "|| helyszin || ' ' || cim AS line FROM at_toExcel ORDER BY rowid"));
        QStringList lines;
        for (q.first(); !q.eof(); q.next())
            lines << q.field(QStringLiteral("line")).asString();
        return lines;
    }
    QStringList excelFiles() const { return QDir(folder.path() + QStringLiteral("/excel")).entryList(QDir::Files); }
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
    // Clicks the letter button and waits until the send and its boxes are over.
    void send() const
    {
        QTest::mouseClick(button("btnSend"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!program.window->exportPanel()->busy(), 30000);
    }
    bool idle() const
    {
        return months()->currentIndex() == 0 && !button("btnExcel")->isEnabled() && !button("btnSend")->isEnabled()
            && !button("btnPrint")->isEnabled() && !program.find<QLabel>("lblSend")->isVisible()
            && !gauge()->isVisible();
    }
};

} // namespace

class TestExport : public QObject {
    Q_OBJECT
private slots:
    void gateRefusesWithoutCounty();
    void monthsFollowThePlaceholder();
    void exportTableContentAndOrder();
    void twoProgramsExportTheirOwnMonths();
    void failedExportLeavesTheTableAsItWas();
    void workbookIsSavedAndShown();
    void viewerMissingNamesTheFile();
    void desktopViewerGoesByTheOpenersAnswer_data();
    void desktopViewerGoesByTheOpenersAnswer();
    void unwritableFolderRecovers();
    void sendReachesTheServer();
    void noServerShowsThreeBoxes();
    void unsafeRecipientIsRefusedBeforeConnecting();
    void sendAgainstScriptedServers_data();
    void sendAgainstScriptedServers();
    void attachmentKeepsEveryCharacter();
    void emptyMonthStillTypesThePostcode();
    void closingDuringASendClosesAfterIt();
    void failingComposerEndsTheSend();
    void exportWritesOnlyRegularFiles_data();
    void exportWritesOnlyRegularFiles();
    void fullDiskNamesTheFile_data();
    void fullDiskNamesTheFile();
    void failedMonthListLeavesAUsableToolbar();
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
    QCOMPARE(program.messages.boxes[0].text,
             QStringLiteral("Az adatok exportálását nem lehet végrehajtani, amig "
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
    QCOMPARE(fixture.table(program),
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
    QCOMPARE(fixture.table(program),
             QStringList{"2020.10.01 07:00-09:00 " + county + " 6900 Makó Városháza Széchenyi tér 22."});
}

// Two workstations exporting at the same time each get their own month:
// on a server every connection has its own export table. (A file has one
// export table for whoever opens it.)
void TestExport::twoProgramsExportTheirOwnMonths()
{
    if (!DatabaseFolder::onServer())
        QSKIP("a server's connections only");
    ExportFixture fixture;
    fixture.addDonation("2020", "09", "05", "08:00", "12:30", 1);
    fixture.addDonation("2020", "10", "01", "07:00", "09:00", 2);
    RunningProgram first;
    RunningProgram second;
    QVERIFY(first.start());
    QVERIFY(second.start());
    ExportView mine{first};
    ExportView theirs{second};
    mine.open();
    theirs.open();
    mine.choose(1);
    theirs.choose(2);
    mine.excel();
    theirs.excel();
    const QString county = first.window->base().CurrentSettings.Megye;
    QCOMPARE(fixture.table(first),
             QStringList{"2020.09.05 08:00-12:30 " + county + " 6720 Szeged Egyetem Dugonics tér 13."});
    QCOMPARE(fixture.table(second),
             QStringList{"2020.10.01 07:00-09:00 " + county + " 6900 Makó Városháza Széchenyi tér 22."});
    QVERIFY(first.messages.boxes.isEmpty());
    QVERIFY(second.messages.boxes.isEmpty());
}

// A row the engine refuses halfway through the month: the action ends with
// the engine's words and the table keeps the last export whole.
void TestExport::failedExportLeavesTheTableAsItWas()
{
    ExportFixture fixture;
    fixture.addDonation("2020", "09", "05", "08:00", "12:30", 1);
    fixture.addDonation("2020", "10", "01", "07:00", "09:00", 1);
    fixture.addDonation("2020", "10", "02", "07:00", "09:00", 2);
    RunningProgram program;
    QVERIFY(program.start());
    ExportView view{program};
    view.open();
    view.choose(1);
    view.excel();
    const QStringList september = fixture.table(program);
    QCOMPARE(september.size(), 1);
    // On a server the export table is the connection's own: so is the trigger.
    if (DatabaseFolder::onServer())
        program.dm->datacore.execute(QStringLiteral(
            "CREATE FUNCTION pg_temp.refuse() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN IF NEW.varos = 'Makó' THEN "
            "RAISE EXCEPTION 'Makó nem'; END IF; RETURN NEW; END$$; CREATE TRIGGER refuse BEFORE INSERT ON at_toexcel "
            "FOR EACH ROW EXECUTE FUNCTION pg_temp.refuse();"));
    else
        program.dm->datacore.execute(QStringLiteral(
            "CREATE TEMP TRIGGER refuse BEFORE INSERT ON at_toExcel WHEN NEW.varos = 'Makó' BEGIN SELECT "
            "RAISE(ABORT, 'Makó nem'); END;"));
    program.messages.clear();
    view.choose(2);
    view.excel();
    QVERIFY(!program.messages.boxes.isEmpty());
    QVERIFY2(program.messages.boxes.first().text.contains(QStringLiteral("Makó nem")),
             qPrintable(program.messages.boxes.first().text));
    QCOMPARE(fixture.table(program), september);
    QCOMPARE(fixture.excelFiles().size(), 1);
    QVERIFY(view.idle());
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
        ExportFileName(county, QStringLiteral("Szeptember"), ExportStampText(program.clock), "xls");
    // The suite runs under LC_ALL=C.UTF-8: the stamp is Hungarian all the same.
    QCOMPARE(expectedName, county + QStringLiteral(" Megye Szeptember havi véradásai (2020. 09. 15.14.30.05).xls"));
    QCOMPARE(fixture.excelFiles(), QStringList{expectedName});
    const QString path = QDir(fixture.folder.path()).filePath("excel/" + expectedName);
    QCOMPARE(program.viewer.shown, QStringList{path});
    QVERIFY(program.messages.boxes.isEmpty());

    const QJsonObject sheet =
        runPythonPeer(peerScript("read_xls.py"), {path}).object()["sheets"].toArray()[0].toObject();
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
    QCOMPARE(
        runPythonPeer(peerScript("read_xls.py"), {path}).object()["sheets"].toArray()[0].toObject()["nrows"].toInt(),
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

void TestExport::desktopViewerGoesByTheOpenersAnswer_data()
{
    QTest::addColumn<QString>("opener"); // the script's body; empty: no opener at all
    QTest::addColumn<bool>("shown");
    QTest::newRow("handed on") << "exit 0" << true;
    QTest::newRow("no program for the file") << "exit 3" << false;
    QTest::newRow("the opener shows it itself") << "exec sleep 30" << true;
    QTest::newRow("no opener installed") << "" << false;
}

// xdg-open ends at once and says by its status whether a program took the
// file; the viewer goes by that, not by whether the opener could be started.
void TestExport::desktopViewerGoesByTheOpenersAnswer()
{
    QFETCH(QString, opener);
    QFETCH(bool, shown);
    QTemporaryDir dir;
    const QString script = dir.filePath("xdg-open");
    if (!opener.isEmpty()) {
        QFile file(script);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n[ -f \"$1\" ] || exit 2\n" + opener.toUtf8() + "\n");
        file.close();
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
    }
    QFile workbook(dir.filePath("munkafuzet.xls"));
    QVERIFY(workbook.open(QIODevice::WriteOnly));
    workbook.close();
    DesktopViewer viewer(script, 1500);
    QCOMPARE(viewer.show(workbook.fileName()), shown);
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
    QVERIFY(
        server.start(peerScript("smtp_server.py"), {fixture.folder.path() + "/certs", "veradas@example.hu", "jelszo"}));
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
    QVERIFY(program.messages.boxes[0].text.startsWith(QStringLiteral(
        "A számítógép valószínűleg nem kapcsolódik az internetre. Kérlek ellenőrizd!\n\nHibaüzenet:\n")));
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
    fixture.folder.exec(QStringLiteral("UPDATE at_settings SET cel='cel@example.hu\r\nRCPT TO:<x@evil.example>'"));
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
    QVERIFY(!QDir(fixture.folder.path() + "/xml").exists()); // nothing touched on disk
    QVERIFY(view.idle());

    // An address that is not plain ASCII is refused the same way.
    fixture.folder.exec(QStringLiteral("UPDATE at_settings SET cel='józsef@példa.hu'"));
    RunningProgram second;
    QVERIFY(second.start());
    second.window->context().mail.port = 1;
    ExportView again{second};
    again.open();
    again.choose(1);
    again.send();
    QCOMPARE(second.messages.captions(), QStringList({"Hibás címzett!", "Exportálás"}));
    QVERIFY(second.messages.boxes[0].text.contains(QStringLiteral("józsef@példa.hu")));
    QVERIFY(!QDir(fixture.folder.path() + "/xml").exists());
}

void TestExport::sendAgainstScriptedServers_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QString>("errorHas"); // a pattern the first error box holds
    const QStringList delivered = {"RSET", "MAIL FROM", "RCPT TO", "RCPT TO", "DATA", ".", "QUIT"};
    const QStringList login = {"EHLO", "STARTTLS", "EHLO", "AUTH LOGIN", "<name>", "<password>"};
    const QStringList success = {"Exportálás"};
    const QStringList sendFailed = {"Hiba a küldésnél!", "Exportálás"};
    const QStringList connectFailed = {"A csatlakozásnál hiba történt!", "Hiba a küldésnél!", "Exportálás"};
    QTest::newRow("neither STARTTLS nor AUTH: in clear")
        << "neither" << QStringList{"EHLO"} + delivered << success << "";
    QTest::newRow("AUTH without STARTTLS: no password in clear")
        << "auth-without-starttls" << QStringList{"EHLO", "QUIT"} << sendFailed << "STARTTLS";
    QTest::newRow("STARTTLS answered 454")
        << "starttls-refused" << QStringList{"EHLO", "STARTTLS"} << sendFailed << "454";
    QTest::newRow("PLAIN only: no AUTH") << "plain-mechanism-only"
                                         << QStringList{"EHLO", "STARTTLS", "EHLO"} + delivered << success << "";
    QTest::newRow("EHLO refused: HELO") << "ehlo-refused" << QStringList{"EHLO", "HELO"} + delivered << success << "";
    QTest::newRow("235 on the login name")
        << "login-accepted-at-name" << QStringList{"EHLO", "STARTTLS", "EHLO", "AUTH LOGIN", "<name>"} + delivered
        << success << "";
    QTest::newRow("second recipient refused")
        << "second-recipient-refused" << login + QStringList{"RSET", "MAIL FROM", "RCPT TO", "RCPT TO", "RSET", "QUIT"}
        << sendFailed << "550 5.1.1 No such user here";
    QTest::newRow("DATA refused: RSET") << "data-refused"
                                        << login
            + QStringList{"RSET", "MAIL FROM", "RCPT TO", "RCPT TO", "DATA", "RSET", "QUIT"}
                                        << sendFailed << "554 5.5.1";
    QTest::newRow("silent server") << "silent" << QStringList{} << connectFailed << "Időtúllépés";
    QTest::newRow("untrusted certificate")
        << "untrusted-certificate" << QStringList{"EHLO", "STARTTLS", "<handshake refused>"} << sendFailed
        << "tanúsítvány";
    QTest::newRow("TLS reset after 354") << "tls-reset-after-354"
                                         << login + QStringList{"RSET", "MAIL FROM", "RCPT TO", "RCPT TO", "DATA"}
                                         << sendFailed << "megszakadt|bontotta";
    QTest::newRow("421 and close after RCPT, over TLS")
        << "421-after-rcpt" << login + QStringList{"RSET", "MAIL FROM", "RCPT TO"} << sendFailed << "421 4.3.2";
    QTest::newRow("1 MB reply line without CR LF")
        << "long-line" << QStringList{"EHLO"} << connectFailed << "túl hosszú";
    QTest::newRow("70 KiB of short continuation lines")
        << "long-multiline" << QStringList{"EHLO"} << connectFailed << "túl hosszú";
    QTest::newRow("endless multi-line reply")
        << "endless-multiline" << QStringList{"EHLO"} << connectFailed << "Időtúllépés";
    QTest::newRow("replies a byte at a time") << "dribble" << QStringList{"EHLO"} + delivered << success << "";
    QTest::newRow("AUTH PLAIN only, no STARTTLS: unauthenticated")
        << "plain-without-starttls" << QStringList{"EHLO"} + delivered << success << "";
    QTest::newRow("closed after 220 to STARTTLS") << "close-after-starttls" << QStringList{"EHLO", "STARTTLS"}
                                                  << sendFailed << "TLS\\) felépítése közben bontotta";
    QTest::newRow("acceptance later than a reply's wait") << "slow-acceptance" << login + delivered << success << "";
    QTest::newRow("acceptance that never comes: no QUIT")
        << "no-acceptance" << login + QStringList{"RSET", "MAIL FROM", "RCPT TO", "RCPT TO", "DATA", "."} << sendFailed
        << "mégis megérkezik";
}

void TestExport::sendAgainstScriptedServers()
{
    QFETCH(QString, scenario);
    QFETCH(QStringList, commands);
    QFETCH(QStringList, captions);
    QFETCH(QString, errorHas);
    ExportFixture fixture;
    fixture.folder.exec("UPDATE at_settings SET cel='cel@example.hu, masik@example.hu'");
    fixture.addDonation("2020", "09", "05", "08:00", "12:30", 1);
    PeerServer server;
    QVERIFY(server.start(peerScript("scripted_smtp.py"), {fixture.folder.path() + "/certs", scenario}));
    RunningProgram program;
    QVERIFY(program.start());
    SmtpSettings& mail = program.window->context().mail;
    mail.host = QStringLiteral("127.0.0.1");
    mail.port = server.port();
    mail.user = QStringLiteral("veradas@example.hu");
    mail.password = QStringLiteral("jelszo");
    mail.caFile = server.caFile();
    mail.replyTimeoutMs = 1500;
    mail.acceptanceTimeoutMs = 4000;
    ExportView view{program};
    view.open();
    view.choose(1);
    QElapsedTimer timer;
    timer.start();
    view.send();
    QVERIFY2(timer.elapsed() < 20000, "the send must end by itself"); // a hang check, not a measurement
    // The process is alive, the boxes are the ones of a send, and the panel
    // is ready for the next action.
    QCOMPARE(program.messages.captions(), captions);
    if (!errorHas.isEmpty())
        QVERIFY2(program.messages.boxes[0].text.contains(QRegularExpression(errorHas)),
                 qPrintable(program.messages.boxes[0].text));
    for (const auto& box : program.messages.boxes)
        QVERIFY(box.text.size() < 2000 && box.text.count(u'\n') < 20);
    QVERIFY(view.idle());
    QVERIFY(program.find<QWidget>("btnCloseExport")->isEnabled());
    const QJsonObject seen = server.finish();
    QStringList seenCommands;
    for (const QJsonValue& command : seen["commands"].toArray())
        seenCommands << command.toString();
    QCOMPARE(seenCommands, commands);
    // The password never crossed the wire in clear.
    const QString password = QString::fromLatin1(QByteArray("jelszo").toBase64());
    if (!commands.contains("STARTTLS"))
        QVERIFY(!seen["lines"].toArray().contains(QJsonValue(password)));
}

void TestExport::attachmentKeepsEveryCharacter()
{
    ExportFixture fixture;
    // Values with XML's special characters, a character beyond the Basic
    // Multilingual Plane, and characters XML 1.0 cannot hold at all.
    const QString special = QStringLiteral("a & b < c > d \" e ' f");
    const QString emoji = QStringLiteral("Vér 🩸 pont");
    const QString control = QStringLiteral("sor") + QChar(1) + QStringLiteral("vége") + QChar(0xFFFE) + u'!';
    const QString whitespace = QStringLiteral("fül\there\nsor ") + QString(300, u'é'); // longer than 255
    Connection connection;
    connection.open(fixture.folder.databasePath());
    Query update(connection, QStringLiteral("update"));
    for (const auto& [id, helyszin, cim] : {std::tuple{1, special, whitespace}, std::tuple{2, emoji, control}}) {
        update.execute(QStringLiteral("UPDATE at_helyszinek SET helyszin=:a, cim=:b WHERE id=%1;").arg(id),
                       {{"a", helyszin}, {"b", cim}});
    }
    connection.close();
    fixture.addDonation("2020", "09", "05", "08:00", "12:30", 1);
    fixture.addDonation("2020", "09", "06", "08:00", "12:30", 2);

    PeerServer server;
    QVERIFY(server.start(peerScript("scripted_smtp.py"), {fixture.folder.path() + "/certs", "neither"}));
    RunningProgram program;
    QVERIFY(program.start());
    program.window->context().mail.host = QStringLiteral("127.0.0.1");
    program.window->context().mail.port = server.port();
    ExportView view{program};
    view.open();
    view.choose(1);
    view.send();
    QCOMPARE(program.messages.captions(), QStringList{"Exportálás"});
    server.finish();
    const QString xmlPath = fixture.folder.path() + "/xml/" + fixture.xmlFiles().value(0);
    const QJsonObject xml = runPythonPeer(peerScript("read_ado_xml.py"), {xmlPath}).object();
    const QJsonArray rows = xml["rows"].toArray();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].toObject()["HELYSZÍN (intézmény neve)"].toString(), special);
    QCOMPARE(rows[0].toObject()["Cím"].toString(), whitespace);
    QCOMPARE(rows[1].toObject()["HELYSZÍN (intézmény neve)"].toString(), emoji);
    // What XML cannot hold arrives as U+FFFD, and nothing around it changes.
    QCOMPARE(rows[1].toObject()["Cím"].toString(),
             QStringLiteral("sor") + QChar(0xFFFD) + QStringLiteral("vége") + QChar(0xFFFD) + u'!');
    // Every value fits the length its field declares.
    QCOMPARE(xml["overlong"].toArray().size(), 0);
}

void TestExport::emptyMonthStillTypesThePostcode()
{
    ExportFixture fixture;
    RunningProgram program;
    QVERIFY(program.start());
    QCOMPARE(BuildExportTable(program.dm->datacore, program.dm->aq_toExcel, 6, QStringLiteral("Csongrád"), 2020, 9),
             0); // a month without appointments
    const QString path = fixture.folder.path() + "/empty.xml";
    AdoXml::saveFile(AdoXml::document(program.dm->aq_toExcel), path);
    const QJsonObject xml = runPythonPeer(peerScript("read_ado_xml.py"), {path}).object();
    QCOMPARE(xml["rows"].toArray().size(), 0);
    QStringList types;
    for (const QJsonValue& field : xml["fields"].toArray())
        types << field.toObject()["type"].toString();
    QCOMPARE(types, QStringList({"string", "string", "string", "int", "string", "string", "string"}));
}

void TestExport::closingDuringASendClosesAfterIt()
{
    ExportFixture fixture;
    fixture.addDonation("2020", "09", "05", "08:00", "12:30", 1);
    PeerServer server;
    QVERIFY(server.start(peerScript("scripted_smtp.py"), {fixture.folder.path() + "/certs", "silent"}));
    RunningProgram program;
    QVERIFY(program.start());
    SmtpSettings& mail = program.window->context().mail;
    mail.host = QStringLiteral("127.0.0.1");
    mail.port = server.port();
    mail.replyTimeoutMs = 1000;
    ExportView view{program};
    view.open();
    view.choose(1);
    QTest::mouseClick(view.button("btnSend"), Qt::LeftButton);
    QVERIFY(program.window->exportPanel()->busy());
    QVERIFY(!program.window->close()); // refused while the mail is on its way
    QVERIFY(program.window->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!program.window->exportPanel()->busy(), 30000);
    // The send ended with its boxes, then the window closed as asked.
    QCOMPARE(program.messages.captions(),
             QStringList({"A csatlakozásnál hiba történt!", "Hiba a küldésnél!", "Exportálás"}));
    QVERIFY(!program.window->isVisible());
    QVERIFY(!program.dm->datacore.isOpen());
}

// Whatever the worker meets (here: memory running out while the message is
// composed on the wire), the send ends with its boxes, the panel is usable
// again and the window closes when asked.
void TestExport::failingComposerEndsTheSend()
{
    ExportFixture fixture;
    fixture.addDonation("2020", "09", "05", "08:00", "12:30", 1);
    PeerServer server;
    QVERIFY(server.start(peerScript("scripted_smtp.py"), {fixture.folder.path() + "/certs", "neither"}));
    RunningProgram program;
    QVERIFY(program.start());
    SmtpSettings& mail = program.window->context().mail;
    mail.host = QStringLiteral("127.0.0.1");
    mail.port = server.port();
    mail.replyTimeoutMs = 1500;
    program.window->exportPanel()->dispatch().setComposer([](const SmtpClient::Sink& sink) {
        sink("From: x\r\n", 9);
        throw std::bad_alloc();
    });
    ExportView view{program};
    view.open();
    view.choose(1);
    view.send();
    QCOMPARE(program.messages.captions(), QStringList({"Hiba a küldésnél!", "Exportálás"}));
    QVERIFY2(program.messages.boxes[0].text.contains(QStringLiteral("Váratlan hiba")),
             qPrintable(program.messages.boxes[0].text));
    QVERIFY(view.idle());
    QVERIFY(program.find<QWidget>("btnCloseExport")->isEnabled());
    QVERIFY(!program.window->exportPanel()->busy());
    // The message was cut short: the connection closed without QUIT.
    QCOMPARE(server.finish()["commands"].toArray().last().toString(), QStringLiteral("DATA"));
    QVERIFY(program.window->close());
}

void TestExport::exportWritesOnlyRegularFiles_data()
{
    QTest::addColumn<QString>("kind"); // xls: the workbook, xml: the attachment of a send, pdf: the printout
    QTest::addColumn<QString>("planted");
    for (const char* kind : {"xls", "xml", "pdf"}) {
        for (const char* planted :
             {"a link to another file", "a dangling link", "a FIFO", "a folder", "the folder a link", "a regular file"})
            QTest::addRow("%s, %s", kind, planted) << kind << planted;
    }
}

// What stands at the export's predictable name is never written through:
// a link, a FIFO or a folder there (or a link in place of the export
// folder) is refused with a message naming it; a regular file is replaced.
void TestExport::exportWritesOnlyRegularFiles()
{
    QFETCH(QString, kind);
    QFETCH(QString, planted);
    ExportFixture fixture;
    fixture.addDonation("2020", "09", "05", "08:00", "12:30", 1);
    RunningProgram program;
    QVERIFY(program.start());
    program.window->context().mail.host = QStringLiteral("127.0.0.1");
    program.window->context().mail.port = 1; // nothing listens: only the file matters here
    const QString county = program.window->base().CurrentSettings.Megye;
    const QDir work(fixture.folder.path());
    const QString folder = work.filePath(kind == QLatin1String("xls") ? QStringLiteral("excel") : kind);
    const QString path =
        folder + u'/' + ExportFileName(county, QStringLiteral("Szeptember"), ExportStampText(program.clock), kind);
    const QString victim = work.filePath("sajat.txt");
    QFile mine(victim);
    QVERIFY(mine.open(QIODevice::WriteOnly));
    mine.write("a felhasználó saját fájlja");
    mine.close();
    const QString elsewhere = work.filePath("mashol");
    QVERIFY(work.mkdir("mashol"));
    if (planted == QLatin1String("the folder a link")) {
        QVERIFY(QFile::link(elsewhere, folder));
    } else {
        QVERIFY(work.mkdir(QFileInfo(folder).fileName()));
        if (planted == QLatin1String("a link to another file"))
            QVERIFY(QFile::link(victim, path));
        else if (planted == QLatin1String("a dangling link"))
            QVERIFY(QFile::link(elsewhere + QStringLiteral("/uj.bin"), path));
        else if (planted == QLatin1String("a FIFO"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (planted == QLatin1String("a folder"))
            QVERIFY(QDir().mkdir(path));
        else
            QVERIFY(QFile::copy(victim, path));
    }

    ExportView view{program};
    view.open();
    view.choose(1);
    if (kind == QLatin1String("xls"))
        view.excel();
    else if (kind == QLatin1String("pdf"))
        QTest::mouseClick(view.button("btnPrint"), Qt::LeftButton);
    else
        view.send();
    QVERIFY(view.idle());
    QFile unchanged(victim);
    QVERIFY(unchanged.open(QIODevice::ReadOnly));
    QCOMPARE(unchanged.readAll(), QByteArray("a felhasználó saját fájlja"));
    QCOMPARE(QDir(elsewhere).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
    const QStringList left =
        QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot | QDir::Hidden);
    if (planted == QLatin1String("a regular file")) {
        QCOMPARE(left, QStringList{QFileInfo(path).fileName()});
        QVERIFY(QFileInfo(path).isFile() && !QFileInfo(path).isSymLink());
        QVERIFY(QFileInfo(path).size() > 100); // the export's, not the copy's bytes
        return;
    }
    // The refusal names what it refused; nothing half-written is left.
    const QString refused = planted == QLatin1String("the folder a link") ? folder : path;
    QVERIFY(!program.messages.boxes.isEmpty());
    const auto& box = program.messages.boxes[0];
    QCOMPARE(box.caption,
             kind == QLatin1String("xml") ? QStringLiteral("Hiba a mentéskor!") : QStringLiteral("Kelmir"));
    QVERIFY2(box.text.contains(refused), qPrintable(box.text));
    if (kind == QLatin1String("xml"))
        QCOMPARE(program.messages.captions().last(), QStringLiteral("Exportálás"));
    if (planted != QLatin1String("the folder a link"))
        QCOMPARE(left, QStringList{QFileInfo(path).fileName()});
}

void TestExport::fullDiskNamesTheFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("workbook") << "xls";
    QTest::newRow("attachment") << "xml";
}

// A disk that fills up while the export writes: the message names the file
// and says why, and the earlier file of that name, if any, is kept.
void TestExport::fullDiskNamesTheFile()
{
    QFETCH(QString, kind);
    ExportFixture fixture;
    for (int day = 1; day <= 28; ++day)
        fixture.addDonation("2020", "09", qPrintable(QStringLiteral("%1").arg(day, 2, 10, QChar(u'0'))), "08:00",
                            "12:30", 1 + day % 3);
    const QString folder = fixture.folder.path() + (kind == QLatin1String("xls") ? "/excel" : "/xml");
    QVERIFY(QDir().mkdir(folder));
    QProcess mount;
    mount.start(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=16k", "tmpfs", folder});
    if (!mount.waitForFinished() || mount.exitCode() != 0)
        QSKIP("a small disk cannot be mounted here (needs root)");
    const auto unmount = qScopeGuard([&folder] { QProcess::execute(QStringLiteral("umount"), {folder}); });
    {
        QFile filler(folder + QStringLiteral("/kitoltes"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(1024, 'x');
        while (filler.write(block) == block.size() && filler.flush()) { }
    }
    QFile::resize(folder + QStringLiteral("/kitoltes"), QFileInfo(folder + QStringLiteral("/kitoltes")).size() - 2048);
    RunningProgram program;
    QVERIFY(program.start());
    program.window->context().mail.host = QStringLiteral("127.0.0.1");
    program.window->context().mail.port = 1;
    ExportView view{program};
    view.open();
    view.choose(1);
    if (kind == QLatin1String("xls"))
        view.excel();
    else if (kind == QLatin1String("pdf"))
        QTest::mouseClick(view.button("btnPrint"), Qt::LeftButton);
    else
        view.send();
    QVERIFY(view.idle());
    QVERIFY(!program.messages.boxes.isEmpty());
    const QString text = program.messages.boxes[0].text;
    QVERIFY2(text.contains(QStringLiteral("Nincs elég szabad hely a lemezen")) && text.contains(folder + u'/'),
             qPrintable(text));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"kitoltes"});
}

void TestExport::failedMonthListLeavesAUsableToolbar()
{
    ExportFixture fixture;
    fixture.addDonation("2020", "09", "05", "08:00", "12:30", 1);
    fixture.folder.exec("ALTER TABLE at_veradasok RENAME COLUMN honap TO ho"); // the month query fails
    RunningProgram program;
    QVERIFY(program.start());
    ExportView view{program};
    view.open();
    QCOMPARE(program.messages.captions(), QStringList{"Kelmir"});
    QVERIFY(!program.find<QWidget>("pnlExport")->isVisible());
    for (const char* name : {"btnNew", "btnOpen", "btnEditHelyszinek", "btnExport", "btnSettings", "btnExit"})
        QVERIFY2(program.find<QToolButton>(name)->isEnabled(), name);
}

void TestExport::stampForLocales_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("stamp");
    // The Hungarian short date, then hours, minutes and seconds with nothing
    // after them, whatever the desktop's locale (no year running into the
    // hour, no AM or time zone).
    const QTime afternoon(14, 30, 5);
    QTest::newRow("Hungarian") << QLocale(QLocale::Hungarian, QLocale::Hungary) << afternoon << "2020. 09. 15.14.30.05";
    QTest::newRow("English (US)") << QLocale(QLocale::English, QLocale::UnitedStates) << afternoon
                                  << "2020. 09. 15.14.30.05";
    QTest::newRow("C") << QLocale::c() << afternoon << "2020. 09. 15.14.30.05";
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << afternoon << "2020. 09. 15.14.30.05";
    QTest::newRow("morning, as the Hungarian long time writes it")
        << QLocale(QLocale::English, QLocale::UnitedStates) << QTime(9, 5, 3) << "2020. 09. 15.9.05.03";
}

void TestExport::stampForLocales()
{
    QFETCH(QLocale, locale);
    QFETCH(QTime, time);
    QFETCH(QString, stamp);
    const QLocale previous;
    QLocale::setDefault(locale);
    const auto restore = qScopeGuard([&previous] { QLocale::setDefault(previous); });
    FixedClock clock;
    clock.fixed = QDateTime(QDate(2020, 9, 15), time);
    const QString text = ExportStampText(clock);
    QCOMPARE(text, stamp);
    for (const QChar ch : QStringLiteral("<>:\"/\\|?*"))
        QVERIFY(!text.contains(ch));
}

QTEST_MAIN(TestExport)
#include "TestExport.moc"
