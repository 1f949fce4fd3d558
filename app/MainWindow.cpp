#include "app/MainWindow.h"

#include "app/ErrorReport.h"
#include "app/Icons.h"
#include "app/Panel.h"
#include "app/export/ExportPanel.h"
#include "app/locations/LocationsPanel.h"
#include "app/schedule/DonationsPanel.h"
#include "app/schedule/NewMonthPanel.h"
#include "app/schedule/OpenMonthPanel.h"
#include "app/settings/SettingsPanel.h"
#include "model/UserMessages.h"
#include "store/DataModule.h"
#include "store/DatabaseError.h"
#include "store/DatabaseTarget.h"
#include "store/SettingsStore.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QToolButton>

namespace {

// The toolbar strip with its gradient background.
class ToolbarFrame : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        QLinearGradient gradient(0, 0, 0, height());
        gradient.setColorAt(0, QColor(250, 250, 252));
        gradient.setColorAt(1, QColor(205, 212, 224));
        p.fillRect(rect(), gradient);
        p.setPen(QColor(160, 166, 178));
        p.drawLine(0, height() - 1, width(), height() - 1);
    }
};

const QString databaseCaption = QStringLiteral("Adatbázis hiba!");

} // namespace

MainWindow::MainWindow(DataModule& dm, UserMessages& messages, const Clock& clock, WorkbookViewer& viewer)
    : QWidget(nullptr,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_dm(dm)
    , m_context{dm, m_base, messages, clock, viewer, *this, MailAccount::builtIn()}
{
    setObjectName(QStringLiteral("frmMain"));
    // While a statement waits for another program's lock the window cannot
    // answer; the wait cursor says so.
    m_dm.datacore.setWaitHook([](bool waiting) {
        if (waiting)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QGuiApplication::restoreOverrideCursor();
    });
    setWindowTitle(QStringLiteral("Kelmir - Daventor - v1.2.2"));
    setFixedSize(clientSize);
    setFont(programFont(8));
    QPalette background = palette();
    background.setColor(QPalette::Window, background.color(QPalette::Button));
    setPalette(background);
    setAutoFillBackground(true);

    buildToolbar();
    m_settings = new SettingsPanel(m_context, this);
    m_locations = new LocationsPanel(m_context, this);
    m_donations = new DonationsPanel(m_context, this);
    m_newMonth = new NewMonthPanel(m_context, this);
    m_openMonth = new OpenMonthPanel(m_context, this);
    m_export = new ExportPanel(m_context, this);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildToolbar()
{
    m_toolbar = new ToolbarFrame(this);
    m_toolbar->setObjectName(QStringLiteral("tlbMain"));
    m_toolbar->setGeometry(0, 0, clientSize.width(), 41);

    QToolButton* btnNew = addToolbarButton(QStringLiteral("btnNew"), 0, 0, QStringLiteral("Véradó időpontok felvitele"),
                                           QKeySequence(Qt::CTRL | Qt::Key_N));
    QToolButton* btnOpen =
        addToolbarButton(QStringLiteral("btnOpen"), 48, 1, QStringLiteral("Véradó időpontok megnyitása"),
                         QKeySequence(Qt::CTRL | Qt::Key_O));
    QToolButton* btnLocations = addToolbarButton(QStringLiteral("btnEditHelyszinek"), 96, 2,
                                                 QStringLiteral("Helyszinek"), QKeySequence(Qt::CTRL | Qt::Key_L));
    auto addSeparator = [this](const QString& name, int left) {
        auto* separator = new QFrame(m_toolbar);
        separator->setObjectName(name);
        separator->setFrameShape(QFrame::VLine);
        separator->setFrameShadow(QFrame::Sunken);
        separator->setGeometry(left + 3, 6, 2, 29);
        m_toolbarItems << separator;
    };
    addSeparator(QStringLiteral("tblSEPARATOR1"), 144);
    QToolButton* btnExport = addToolbarButton(QStringLiteral("btnExport"), 152, 3, QStringLiteral("Exportálás"),
                                              QKeySequence(Qt::CTRL | Qt::Key_E));
    addSeparator(QStringLiteral("tblSEPARATOR2"), 200);
    QToolButton* btnSettings = addToolbarButton(QStringLiteral("btnSettings"), 208, 4, QStringLiteral("Beállítások"),
                                                QKeySequence(Qt::CTRL | Qt::Key_B));
    QToolButton* btnExit = addToolbarButton(QStringLiteral("btnExit"), 256, 5, QStringLiteral("Kilépés a programból"),
                                            QKeySequence(Qt::CTRL | Qt::Key_Q));

    // The panels are opened by their own handlers once they are built.
    UserMessages& messages = m_context.messages;
    onClicked(btnSettings, messages, [this] { m_settings->btnSettingsClick(); });
    onClicked(btnNew, messages, [this] { m_newMonth->btnNewClick(); });
    onClicked(btnOpen, messages, [this] { m_openMonth->btnOpenClick(); });
    onClicked(btnLocations, messages, [this] { m_locations->btnEditHelyszinekClick(); });
    onClicked(btnExport, messages, [this] { m_export->btnExportClick(); });
    onClicked(btnExit, messages, [this] { btnExitClick(); });
}

QToolButton* MainWindow::addToolbarButton(const QString& name, int left, int image, const QString& hint,
                                          const QKeySequence& keys)
{
    auto* button = new QToolButton(m_toolbar);
    button->setObjectName(name);
    button->setGeometry(left, 0, 48, 41);
    button->setAutoRaise(true);
    button->setIconSize(QSize(32, 32));
    button->setIcon(Icons::toolbar(static_cast<Icons::Toolbar>(image)));
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setAccessibleDescription(keys.toString(QKeySequence::NativeText));
    button->setFocusPolicy(Qt::StrongFocus);
    button->installEventFilter(this);
    connect(button, &QToolButton::clicked, this, [this, button] { m_lastPressed = button; });
    // The key does what a click does, and only when a click could: the
    // toolbar is disabled while a panel is open.
    auto* shortcut = new QShortcut(keys, this);
    connect(shortcut, &QShortcut::activated, button, [button] {
        if (button->isEnabled())
            button->click();
    });
    m_toolbarItems << button;
    m_toolbarButtons << button;
    return button;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Along the toolbar with the arrow keys; Enter presses like Space.
    auto* button = qobject_cast<QToolButton*>(watched);
    if (event->type() != QEvent::KeyPress || !button || !m_toolbarButtons.contains(button))
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier)
        return QWidget::eventFilter(watched, event);
    const qsizetype at = m_toolbarButtons.indexOf(button);
    const qsizetype count = m_toolbarButtons.size();
    switch (key->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int step = key->key() == Qt::Key_Right ? 1 : -1;
        for (qsizetype n = 1; n < count; ++n) {
            QToolButton* next = m_toolbarButtons[(at + step * n + count * n) % count];
            if (next->isEnabled()) {
                next->setFocus(Qt::TabFocusReason);
                break;
            }
        }
        return true;
    }
    case Qt::Key_Home:
        m_toolbarButtons.first()->setFocus(Qt::TabFocusReason);
        return true;
    case Qt::Key_End:
        m_toolbarButtons.last()->setFocus(Qt::TabFocusReason);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        button->click();
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

bool MainWindow::openDatabase()
{
    UserMessages& messages = m_context.messages;
    QString target;
    try {
        target = DatabaseTarget::configured(m_configurationFiles);
    } catch (const Error& error) {
        messages.show(error.message(), QStringLiteral("Hibás adatbázis-beállítás!"), UserMessages::Icon::Error,
                      UserMessages::Buttons::Ok);
        return false;
    }
    try {
        m_dm.datacore.open(target);
    } catch (const DatabaseError&) {
        messages.show(QStringLiteral("Hiba az adatkapcsolatnál. Lehetséges, hogy az adatfájl nem létezik, vagy a "
                                     "hozzáférés nem megfelelő!"),
                      databaseCaption, UserMessages::Icon::Error, UserMessages::Buttons::Ok);
        return false;
    }
    const QString tableMessages[5] = {
        QStringLiteral("A Megyék táblát nem lehet megnyitni. A program futása befejeződik."),
        QStringLiteral("A Települések táblát nem lehet megnyitni. A program futása befejeződik."),
        QStringLiteral("A Helyszínek táblát nem lehet megnyitni. A program futása befejeződik."),
        QStringLiteral("A Beállítások táblát nem lehet megnyitni. A program futása befejeződik."),
        QStringLiteral("A Véradások táblát nem lehet megnyitni. A program futása befejeződik."),
    };
    const int missing = m_dm.openTables();
    if (missing >= 0) {
        messages.show(tableMessages[missing], databaseCaption, UserMessages::Icon::Error, UserMessages::Buttons::Ok);
        m_dm.CloseDatabase();
        return false;
    }
    return true;
}

bool MainWindow::FormCreate()
{
    if (!openDatabase())
        return false;

    // Each load is guarded: a failure shows its box, leaves the settings
    // cleared, and start-up goes on.
    Settings& settings = m_base.CurrentSettings;
    settings = guarded(m_context.messages, [this] { return LoadSettings(m_dm.datacore); }).value_or(Settings());
    if (const std::optional<QString> recipient =
            guarded(m_context.messages, [this] { return LoadRecipient(m_dm.datacore); }))
        settings.Cel = *recipient;
    else
        settings.Clear();

    m_settings->fillCounties();
    m_settings->selectCounty(m_base.CurrentSettings.megye_kod);
    if (m_base.CurrentSettings.megye_kod == 0) {
        m_context.messages.show(QStringLiteral(
                                    "Az adatok felvitele előtt be kell állítania a megye-azonosítót! [BEÁLLÍTÁSOK]"),
                                QStringLiteral("Információ"), UserMessages::Icon::Information,
                                UserMessages::Buttons::Ok);
    }
    return true;
}

void MainWindow::showInsideScreen()
{
    const QRect screen = this->screen()->availableGeometry();
    auto place = [&screen](QSize outer) {
        return QPoint(screen.left() + std::max(0, (screen.width() - outer.width()) / 2),
                      screen.top() + std::max(0, (screen.height() - outer.height()) / 2));
    };
    move(place(size()));
    show();
    // Once shown, the window manager's frame is known: place it again with
    // it (a window's position is its frame's).
    const QSize frame = frameGeometry().size();
    if (frame != size())
        move(place(frame));
}

void MainWindow::FormShow()
{
    m_settings->HideSettingsPanel();
    const QPoint centre = Panel::centredIn(clientSize, m_settings->size());
    m_settings->move(m_settings->x(), centre.y());
    m_settings->move(centre.x(), m_settings->y());
    m_settings->DisableAuthFields();
    m_locations->HideLocationsPanel();
    for (QWidget* panel : std::initializer_list<QWidget*>{m_donations, m_newMonth, m_openMonth, m_export})
        panel->hide();
}

void MainWindow::FormClose()
{
    if (m_closed)
        return;
    m_closed = true;
    m_dm.CloseDatabase();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        runAction(m_context.messages, [this] { FormShow(); });
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_export->busy()) {
        m_closeRequested = true; // a mail is on its way; the window closes after it
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void MainWindow::EnableToolbar()
{
    m_toolbar->setEnabled(true);
    for (QWidget* item : m_toolbarItems)
        item->setEnabled(true);
    // Back from a panel, the keyboard is where it left: on the button that
    // opened it.
    const QWidget* focus = QApplication::focusWidget();
    if (m_lastPressed && (!focus || !focus->isVisible() || !focus->isEnabled() || focus == this))
        m_lastPressed->setFocus(Qt::OtherFocusReason);
}

void MainWindow::DisableToolbar()
{
    m_toolbar->setEnabled(false);
    for (QWidget* item : m_toolbarItems)
        item->setEnabled(false);
}

void MainWindow::EnableToolbarFrame()
{
    m_toolbar->setEnabled(true);
}

void MainWindow::openSelectedMonth()
{
    m_donations->openSelectedMonth();
}

void MainWindow::longActionEnded()
{
    if (m_closeRequested) {
        m_closeRequested = false;
        close();
    }
}

void MainWindow::btnExitClick()
{
    DisableToolbar();
    const auto answer =
        m_context.messages.show(QStringLiteral("Biztosan bezárod a programot ?"), QStringLiteral("Kilépés a Kelmirből"),
                                UserMessages::Icon::Question, UserMessages::Buttons::YesNo);
    if (answer == UserMessages::Answer::Yes)
        close();
    else
        EnableToolbar();
}
