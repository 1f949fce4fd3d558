// What only a real window system shows: the captions as the X server holds
// them, keys reaching a message box, and a mouse press and its release
// arriving apart with the focus moving between them. Runs under Xvfb with
// the xcb platform; xprop reads the windows' names, xdotool presses keys
// and buttons through the X server.

#include "TestConfig.h"
#include "app/Application.h"
#include "app/QtMessages.h"
#include "app/schedule/DonationsPanel.h"
#include "model/Base.h"
#include "support/Fixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000))
        return QStringLiteral("<%1 did not finish>").arg(program);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// The name the window manager would show for a window, read from the X server.
QString windowName(const QWidget* window)
{
    const QString line = run(QStringLiteral("xprop"),
                             {QStringLiteral("-id"), QString::number(window->winId()), QStringLiteral("_NET_WM_NAME")});
    const qsizetype quote = line.indexOf(u'"');
    return quote < 0 ? line : line.mid(quote + 1, line.size() - quote - 2);
}

// Shows a real message box; while it is up, reads its name from the X
// server and presses key through the X server to close it.
struct BoxSeen {
    QString name;
    UserMessages::Answer answer;
};
BoxSeen showAndAnswer(const QString& caption, UserMessages::Buttons buttons, const char* key)
{
    BoxSeen seen;
    QTimer::singleShot(300, [&seen, key] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box)
            return;
        seen.name = windowName(box);
        run(QStringLiteral("xdotool"),
            {QStringLiteral("key"), QStringLiteral("--window"), QString::number(box->winId()),
             QString::fromLatin1(key)});
    });
    QTimer::singleShot(5000, [] { // never leave a box up if no key reached it
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
    });
    QtMessages messages;
    seen.answer = messages.show(QStringLiteral("Szöveg"), caption, UserMessages::Icon::Information, buttons);
    return seen;
}

// Presses and releases the left mouse button over widget through the X
// server, with a pause between, while the event loop runs.
void clickThroughX(QWidget* widget)
{
    const QPoint at = widget->mapToGlobal(widget->rect().center());
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
                  {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                   QStringLiteral("mousedown"), QStringLiteral("1"), QStringLiteral("sleep"), QStringLiteral("0.15"),
                   QStringLiteral("mouseup"), QStringLiteral("1")});
    QTRY_VERIFY_WITH_TIMEOUT(xdotool.state() == QProcess::NotRunning, 5000);
    QTest::qWait(100);
}

// Presses keys through the X server (XTEST), as a keyboard does, into the
// window that has the focus, while the event loop runs; then lets the
// program handle them.
void keys(const QStringList& sequence)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
                  QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")} + sequence);
    QTRY_VERIFY_WITH_TIMEOUT(xdotool.state() == QProcess::NotRunning, 10000);
    QTest::qWait(200);
}

// Types ASCII text key by key (xdotool's "type" remaps the keyboard for
// each character, and the key press after it can go missing).
void typed(const QString& text)
{
    QStringList sequence;
    for (const QChar ch : text) {
        if (ch == u' ')
            sequence << QStringLiteral("space");
        else if (ch == u'.')
            sequence << QStringLiteral("period");
        else if (ch == u'@')
            sequence << QStringLiteral("at");
        else
            sequence << QString(ch);
    }
    keys(sequence);
}

QString focused()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QStringLiteral("<none>");
}

} // namespace

class TestWindowSystem : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void captionsAreExact();
    void keysReachAMessageBox();
    void pressAndReleaseOnTheEditorButtons();
    void launcherFailureIsSaidInABox();
    void windowKeepsItsTitleBarOnTheScreen();
    void firstDayByKeyboardAlone();
};

void TestWindowSystem::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    KelmirApplication::prepare(*qApp);
}

void TestWindowSystem::captionsAreExact()
{
    DatabaseFolder folder;
    folder.chooseCounty(6);
    RunningProgram program;
    QVERIFY(program.start());
    QCOMPARE(windowName(program.window.get()), QStringLiteral("Kelmir - Daventor - v1.2.2"));
    // The window carries the application's icon, every size of it.
    const QString icon =
        run(QStringLiteral("xprop"),
            {QStringLiteral("-id"), QString::number(program.window->winId()), QStringLiteral("_NET_WM_ICON")});
    QVERIFY2(icon.startsWith(QStringLiteral("_NET_WM_ICON(CARDINAL)")), qPrintable(icon.left(80)));
    QCOMPARE(KelmirApplication::applicationIcon().availableSizes().size(), 8);
    for (const char* caption : {"Információ", "Kilépés a Kelmirből", "Hiba az SQL script futásakor!"})
        QCOMPARE(showAndAnswer(QString::fromUtf8(caption), UserMessages::Buttons::Ok, "Return").name,
                 QString::fromUtf8(caption));
}

void TestWindowSystem::keysReachAMessageBox()
{
    const BoxSeen ok = showAndAnswer(QStringLiteral("Exportálás"), UserMessages::Buttons::Ok, "Return");
    QCOMPARE(ok.answer, UserMessages::Answer::Ok);
    const BoxSeen no = showAndAnswer(QStringLiteral("Kilépés a Kelmirből"), UserMessages::Buttons::YesNo, "Escape");
    QCOMPARE(no.answer, UserMessages::Answer::No);
    const BoxSeen yes = showAndAnswer(QStringLiteral("Kilépés a Kelmirből"), UserMessages::Buttons::YesNo, "Return");
    QCOMPARE(yes.answer, UserMessages::Answer::Yes);
}

void TestWindowSystem::pressAndReleaseOnTheEditorButtons()
{
    DatabaseFolder folder;
    folder.chooseCounty(6);
    folder.addLocation("Makó", 6900, "Széchenyi tér 22.", "Városháza");
    RunningProgram program;
    QVERIFY(program.start());
    program.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(program.window.get()));
    QTest::mouseClick(program.find<QToolButton>("btnNew"), Qt::LeftButton);
    QTest::mouseClick(program.find<QToolButton>("btnMakeTable"), Qt::LeftButton);
    QTest::mouseClick(program.find<QPushButton>("btnNewVeradas"), Qt::LeftButton);
    program.find<QComboBox>("cmbHelyszinek")->setCurrentIndex(1);
    auto* start = program.find<QLineEdit>("edtKezdes");
    start->setFocus();
    start->selectAll();
    QTest::keyClick(start, Qt::Key_Delete);
    QTest::keyClicks(start, "090");
    QCOMPARE(start->displayText(), QStringLiteral("09:0 "));

    // "Rögzít" with a half-filled start time: the time message, nothing saved.
    clickThroughX(program.find<QPushButton>("btnAddVeradas"));
    QCOMPARE(program.messages.captions(), QStringList{"Hibás idő érték!"});
    QCOMPARE(QApplication::focusWidget(), start);
    QCOMPARE(folder.scalar("SELECT count(*) FROM at_veradasok"), QStringLiteral("0"));

    // "Mégsem" with a half-filled start time: the entry ends.
    clickThroughX(program.find<QPushButton>("btnCancelVeradas"));
    QCOMPARE(program.window->donationsPanel()->EditMode, EditModes::Idle);
    program.screenshot("window-system-schedule");
}

// Started from the desktop's menu with a working folder that cannot be
// made, the kelmir command ends with a box the user sees and answers, not
// with text on a terminal nobody reads.
void TestWindowSystem::launcherFailureIsSaidInABox()
{
    QTemporaryDir home;
    QFile blocker(home.filePath("foglalt"));
    QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where a parent folder belongs
    blocker.close();
    QProcess launcher;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("KELMIR_HOME"), blocker.fileName() + QStringLiteral("/kelmir"));
    launcher.setProcessEnvironment(environment);
    launcher.start(QStringLiteral(KELMIR_BINARY_DIR "/bin/kelmir-start"), {});
    QVERIFY(launcher.waitForStarted());
    QString box;
    QTRY_VERIFY_WITH_TIMEOUT(!(box = run(QStringLiteral("xdotool"),
                                         {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                          QStringLiteral("--name"), QStringLiteral("^Kelmir$")}))
                                  .isEmpty(),
                             10000);
    // The box takes its key once it is mapped and has the focus.
    for (int attempt = 0; attempt < 20 && !launcher.waitForFinished(250); ++attempt)
        run(QStringLiteral("xdotool"),
            {QStringLiteral("key"), QStringLiteral("--window"), box.section(u'\n', 0, 0), QStringLiteral("Return")});
    QCOMPARE(launcher.state(), QProcess::NotRunning);
    // The box ended with the key still down as the X server sees it: let it up.
    run(QStringLiteral("xdotool"), {QStringLiteral("keyup"), QStringLiteral("Return")});
    QCOMPARE(launcher.exitCode(), 1);
    QVERIFY(launcher.readAllStandardError().isEmpty());
}

// Centred on a screen that holds it; on a smaller one (this test runs a
// second time on an 800 x 600 screen) its top left corner, with the title
// bar and the toolbar, stays inside the screen's free area.
void TestWindowSystem::windowKeepsItsTitleBarOnTheScreen()
{
    DatabaseFolder folder;
    folder.chooseCounty(6);
    RunningProgram program;
    QVERIFY(program.start());
    program.window->hide();
    program.window->showInsideScreen();
    QVERIFY(QTest::qWaitForWindowExposed(program.window.get()));
    const QRect screen = program.window->screen()->availableGeometry();
    const QRect frame = program.window->frameGeometry();
    QVERIFY2(
        screen.contains(frame.topLeft()),
        qPrintable(
            QStringLiteral("%1,%2 on %3x%4").arg(frame.x()).arg(frame.y()).arg(screen.width()).arg(screen.height())));
    if (screen.width() >= frame.width() && screen.height() >= frame.height())
        QVERIFY(qAbs(frame.center().x() - screen.center().x()) <= 1
                && qAbs(frame.center().y() - screen.center().y()) <= 1);
    else
        QCOMPARE(frame.topLeft(), screen.topLeft());
    program.screenshot(QStringLiteral("window-on-%1x%2").arg(screen.width()).arg(screen.height()));
}

// The whole first day without a mouse: the county, a location, a month with
// an appointment, and its export, each by its toolbar key and the keys of
// its panel, pressed through the X server.
void TestWindowSystem::firstDayByKeyboardAlone()
{
    DatabaseFolder folder;
    RunningProgram program;
    QVERIFY(program.start());
    program.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(program.window.get()));
    QCOMPARE(program.messages.captions(), QStringList{"Információ"}); // the county reminder
    program.messages.clear();

    // The county and the recipient.
    keys({"ctrl+b"});
    QCOMPARE(focused(), QStringLiteral("cmbMegye"));
    keys({"Down", "Down", "Down", "Down", "Down", "Down", "Tab"});
    QCOMPARE(focused(), QStringLiteral("edtDestinationEmail"));
    typed(QStringLiteral("cel@example.hu"));
    keys({"Tab", "Tab", "space"});
    QVERIFY(program.messages.boxes.isEmpty());
    QCOMPARE(folder.scalar("SELECT megye_kod || ' ' || cel FROM at_settings"), QStringLiteral("6 cel@example.hu"));

    // A location: "Új", the settlement by its postcode, Enter from field to field.
    keys({"ctrl+l"});
    QVERIFY(program.find<QWidget>("pnlHelyszinek")->isVisible());
    QCOMPARE(focused(), QStringLiteral("dbgHelyszinek"));
    keys({"Tab"});
    QCOMPARE(focused(), QStringLiteral("btnNewHelyszin"));
    keys({"space"});
    QCOMPARE(focused(), QStringLiteral("cmbTelepulesek"));
    typed(QStringLiteral("6720"));
    keys({"Return"});
    QCOMPARE(focused(), QStringLiteral("edtCim"));
    typed(QStringLiteral("Dugonics ter 13."));
    keys({"Return"});
    typed(QStringLiteral("Egyetem"));
    keys({"Return"});
    QCOMPARE(focused(), QStringLiteral("btnAddHelyszin"));
    keys({"Return"});
    QVERIFY(program.messages.boxes.isEmpty());
    QCOMPARE(folder.scalar("SELECT t.irsz || ' ' || t.telepules || ', ' || h.cim || ' - ' || h.helyszin FROM "
                           "at_helyszinek h JOIN at_telepulesek t ON t.id=h.telepules_kod"),
             QStringLiteral("6720 Szeged, Dugonics ter 13. - Egyetem"));
    keys({"Escape"});
    while (focused() != QLatin1String("btnCloseHelyszinek"))
        keys({"Tab"});
    keys({"space"});
    QVERIFY(!program.find<QWidget>("pnlHelyszinek")->isVisible());
    QCOMPARE(focused(), QStringLiteral("btnEditHelyszinek")); // the keyboard is back where it left

    // The next month (April 2016 by the clock) and an appointment in it.
    keys({"ctrl+n"});
    QCOMPARE(focused(), QStringLiteral("cmbMonth"));
    keys({"Tab", "Tab"});
    QCOMPARE(focused(), QStringLiteral("btnMakeTable"));
    keys({"space"});
    QVERIFY(program.find<QWidget>("pnlVeradasok")->isVisible());
    QCOMPARE(focused(), QStringLiteral("btnNewVeradas"));
    keys({"space"});
    QCOMPARE(focused(), QStringLiteral("cmbDay"));
    typed(QStringLiteral("05"));
    keys({"Return"});
    typed(QStringLiteral("0800"));
    keys({"Return"});
    typed(QStringLiteral("1230"));
    keys({"Return"});
    QCOMPARE(focused(), QStringLiteral("cmbHelyszinek"));
    keys({"Down", "Return"});
    QCOMPARE(focused(), QStringLiteral("btnAddVeradas"));
    keys({"Return"});
    QVERIFY2(program.messages.boxes.isEmpty(), qPrintable(program.messages.captions().join(u',')));
    QCOMPARE(folder.scalar("SELECT ev || honap || nap || ' ' || kezdes || '-' || befejezes FROM at_veradasok"),
             QStringLiteral("20160405 08:00-12:30"));
    keys({"Escape"});
    while (focused() != QLatin1String("btnCloseVeradasok"))
        keys({"Tab"});
    keys({"space"});

    // The month exported: the list has the focus when the panel opens.
    keys({"ctrl+e"});
    QCOMPARE(focused(), QStringLiteral("cmbExport"));
    keys({"Down"});
    while (focused() != QLatin1String("btnExcel"))
        keys({"Tab"});
    keys({"space"});
    QTRY_COMPARE_WITH_TIMEOUT(program.viewer.shown.size(), 1, 10000);
    QVERIFY(program.viewer.shown[0].endsWith(QStringLiteral("Április havi véradásai (2016. 03. 15.10.30.00).xls")));
    while (focused() != QLatin1String("btnCloseExport"))
        keys({"Tab"});
    keys({"space"});

    // And the day ends with the exit question.
    program.messages.answerNext(UserMessages::Answer::Yes);
    keys({"ctrl+q"});
    QCOMPARE(program.messages.captions(), QStringList{"Kilépés a Kelmirből"});
    QVERIFY(!program.window->isVisible());
}

QTEST_MAIN(TestWindowSystem)
#include "TestWindowSystem.moc"
