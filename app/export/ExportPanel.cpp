#include "app/export/ExportPanel.h"

#include "app/ErrorReport.h"
#include "app/MonthDropDown.h"
#include "export/ExportNames.h"
#include "export/MonthDispatch.h"
#include "export/SmtpTexts.h"
#include "export/WorkbookViewer.h"
#include "model/Base.h"
#include "model/Clock.h"
#include "model/UserMessages.h"
#include "store/DataModule.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QScopeGuard>
#include <QToolButton>

#include <limits>

ExportPanel::ExportPanel(AppContext& context, QWidget* parent)
    : Panel(QStringLiteral("pnlExport"), QSize(247, 276), parent)
    , m_context(context)
    , m_dispatch(new MonthDispatch(context.dm.datacore, context.dm.aq_toExcel, this))
{
    QLabel* prompt = addLabel(this, QStringLiteral("Label5"), {45, 15},
                              QStringLiteral("Kérlek válaszd ki, hogy melyik hónapot szeretnéd exportálni!"));
    prompt->setWordWrap(true);
    prompt->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    prompt->setGeometry(45, 15, 156, 34);
    m_cmbExport = new QComboBox(this);
    m_cmbExport->setObjectName(QStringLiteral("cmbExport"));
    m_cmbExport->setGeometry(62, 56, 121, 21);
    m_cmbExport->setFocusPolicy(Qt::ClickFocus); // not a tab stop; the panel gives it the focus when it opens
    prompt->setBuddy(m_cmbExport);
    m_lblSend = addLabel(this, QStringLiteral("lblSend"), {13, 104},
                         QStringLiteral("Kattints az alábbi levél ikonra az adatok elküldéséhez, vagy az Excel ikonra "
                                        "az adatok táblázatba mentéséhez:"));
    m_lblSend->setWordWrap(true);
    m_lblSend->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_lblSend->setGeometry(13, 104, 220, 41);
    m_btnSend = addImageButton(QStringLiteral("btnSend"), {17, 153, 74, 57}, Icons::PanelButton::Letter,
                               QStringLiteral("Küldés levélben"));
    m_btnExcel = addImageButton(QStringLiteral("btnExcel"), {103, 153, 57, 57}, Icons::PanelButton::Workbook,
                                QStringLiteral("Mentés Excel munkafüzetbe"));
    m_btnPrint = addImageButton(QStringLiteral("btnPrint"), {172, 153, 57, 57}, Icons::PanelButton::Print,
                                QStringLiteral("Nyomtatás (PDF)"));
    m_prbSending = new QProgressBar(this);
    m_prbSending->setObjectName(QStringLiteral("prbSending"));
    m_prbSending->setGeometry(10, 177, 228, 11);
    m_prbSending->setTextVisible(false);
    m_prbSending->setAccessibleName(QStringLiteral("Exportálás folyamata"));
    m_prbSending->hide();
    addRule(this, QStringLiteral("Bevel5"), {-1, 221, 247, 2});
    addTitle(QStringLiteral("Label6"), {10, 233}, QStringLiteral("Exportálás"));
    m_btnClose = addImageButton(QStringLiteral("btnCloseExport"), {200, 229, 40, 40}, Icons::PanelButton::Close,
                                QStringLiteral("Bezárás"));

    UserMessages& messages = context.messages;
    // The buttons follow the selection however it changes, so an action
    // never starts with the placeholder chosen.
    onSignal(m_cmbExport, &QComboBox::currentIndexChanged, messages, [this](int) { cmbExportCloseUp(); });
    onClicked(m_btnExcel, messages, [this] { btnExcelClick(); });
    onClicked(m_btnSend, messages, [this] { btnSendClick(); });
    onClicked(m_btnPrint, messages, [this] { btnPrintClick(); });
    onClicked(m_btnClose, messages, [this] { btnCloseExportClick(); });
    followDispatch();
}

void ExportPanel::followDispatch()
{
    // The gauge follows the send: from 100 towards the message's length.
    connect(m_dispatch, &MonthDispatch::messageMeasured, this, [this](qint64 bytes) {
        m_prbSending->setRange(0, int(std::min<qint64>(bytes, std::numeric_limits<int>::max())));
        m_prbSending->show();
        m_prbSending->setValue(std::min(100, m_prbSending->maximum()));
        advanceGauge(2);
    });
    connect(m_dispatch, &MonthDispatch::advanced, this, [this](int steps) { advanceGauge(steps); });
    // The server may take minutes to accept the message: the gauge keeps
    // moving meanwhile.
    connect(m_dispatch, &MonthDispatch::awaitingAcceptance, this, [this] { m_prbSending->setRange(0, 0); });
    connect(m_dispatch, &MonthDispatch::bytesWritten, this,
            [this](qint64 bytes) { m_prbSending->setValue(int(std::min<qint64>(bytes, m_prbSending->maximum()))); });
    onSignal(m_dispatch, &MonthDispatch::finished, m_context.messages,
             [this](const DispatchOutcome& outcome) { sendEnded(outcome); });
}

ExportPanel::~ExportPanel() = default;

bool ExportPanel::busy() const
{
    return m_dispatch->busy();
}

void ExportPanel::btnExportClick()
{
    if (!mayOpenPanel(m_context, QStringLiteral("Az adatok exportálását nem lehet végrehajtani")))
        return;
    // A failed month query leaves the bare window with a usable toolbar.
    auto backOut = qScopeGuard([this] { m_context.shell.EnableToolbar(); });
    move(Panel::centredIn(parentWidget()->size(), size()));
    m_prbSending->hide();
    m_lblSend->hide();
    setActionsEnabled(false);
    const QSignalBlocker quiet(m_cmbExport);
    loadMonthDropDown(m_context, *m_cmbExport, MonthList, QStringLiteral("- Havi véradások -"));
    backOut.dismiss();
    m_cmbExport->setCurrentIndex(0);
    show();
    raise();
    m_cmbExport->setFocus(Qt::OtherFocusReason); // the keyboard's way into the panel
}

void ExportPanel::cmbExportCloseUp()
{
    const bool monthChosen = m_cmbExport->currentIndex() >= 1;
    m_lblSend->setVisible(monthChosen);
    setActionsEnabled(monthChosen);
}

void ExportPanel::btnCloseExportClick()
{
    hide();
    m_context.shell.EnableToolbar();
}

void ExportPanel::advanceGauge(int by)
{
    m_prbSending->setValue(std::min(m_prbSending->value() + by, m_prbSending->maximum()));
}

void ExportPanel::endAction()
{
    const QSignalBlocker quiet(m_cmbExport);
    m_cmbExport->setCurrentIndex(0);
    m_lblSend->hide();
    setActionsEnabled(false);
    m_prbSending->hide();
}

void ExportPanel::setActionsEnabled(bool enabled)
{
    for (QToolButton* action : {m_btnSend, m_btnExcel, m_btnPrint})
        action->setEnabled(enabled);
}

void ExportPanel::setControlsEnabled(bool enabled)
{
    m_cmbExport->setEnabled(enabled);
    m_btnClose->setEnabled(enabled);
}

MonthExport ExportPanel::chosenMonth()
{
    Base& base = m_context.base;
    const MonthEntry chosen = MonthList.at(m_cmbExport->currentIndex() - 1);
    base.selectMonth(chosen.ev, chosen.honap + 1);
    MonthExport month;
    month.county = base.CurrentSettings.megye_kod;
    month.countyName = base.CurrentSettings.Megye;
    month.year = base.SelectedYear;
    month.month = base.SelectedMonth;
    month.monthName = base.SelectedMonthName;
    month.stamp = ExportStampText(m_context.clock);
    month.workingFolder = QDir::currentPath();
    return month;
}

void ExportPanel::btnExcelClick()
{
    saveAndShow(MonthFileExport::Kind::Workbook);
}

void ExportPanel::btnPrintClick()
{
    saveAndShow(MonthFileExport::Kind::PrintableMonth);
}

void ExportPanel::saveAndShow(MonthFileExport::Kind kind)
{
    if (m_cmbExport->currentIndex() < 1)
        return;
    m_prbSending->show();
    setActionsEnabled(false);
    auto recover = qScopeGuard([this] { endAction(); }); // then the general error report
    MonthFileExport file(m_context.dm.datacore, m_context.dm.aq_toExcel, kind);
    connect(&file, &MonthFileExport::advanced, this, [this] { advanceGauge(); });
    connect(&file, &MonthFileExport::rowsCounted, this, [this](int rows) { m_prbSending->setMaximum(rows + 10); });
    const QString path = file.run(chosenMonth());
    const bool shown = m_context.viewer.show(path);
    advanceGauge();
    recover.dismiss();
    endAction();
    if (!shown) {
        const QString text = kind == MonthFileExport::Kind::Workbook
            ? QStringLiteral("A munkafüzet elkészült, de nincs program, amely megnyitná:\n%1")
            : QStringLiteral("A nyomtatható PDF elkészült, de nincs program, amely megnyitná:\n%1");
        m_context.messages.show(text.arg(QDir::toNativeSeparators(path)), QStringLiteral("Exportálás"),
                                UserMessages::Icon::Information, UserMessages::Buttons::Ok);
    }
}

void ExportPanel::btnSendClick()
{
    if (m_cmbExport->currentIndex() < 1)
        return;
    setActionsEnabled(false);
    setControlsEnabled(false);
    auto recover = qScopeGuard([this] { // a database error: then the general error report
        setControlsEnabled(true);
        endAction();
    });
    m_dispatch->start(chosenMonth(), m_context.base.CurrentSettings.Cel, m_context.mail, m_context.clock.now());
    recover.dismiss();
}

void ExportPanel::sendEnded(const DispatchOutcome& outcome)
{
    UserMessages& messages = m_context.messages;
    const auto ended = qScopeGuard([this] {
        setControlsEnabled(true);
        endAction();
        m_context.shell.longActionEnded();
    });
    auto error = [&messages](const QString& text, const char* caption) {
        messages.show(text, QString::fromUtf8(caption), UserMessages::Icon::Error, UserMessages::Buttons::Ok);
    };
    const QString network = QStringLiteral("A számítógép valószínűleg nem kapcsolódik az internetre. Kérlek "
                                           "ellenőrizd!\n\nHibaüzenet:\n");
    using Stage = DispatchOutcome::Stage;
    switch (outcome.stage) {
    case Stage::Account:
        error(outcome.message, "Hibás levelezési beállítás!");
        break;
    case Stage::Recipients:
        error(outcome.message, "Hibás címzett!");
        break;
    case Stage::Saving:
        error(outcome.message, "Hiba a mentéskor!");
        break;
    case Stage::Connecting:
        // Without a connection the send fails too, and says so in its box.
        error(network + outcome.message, "A csatlakozásnál hiba történt!");
        error(network + SmtpText::notConnected(), "Hiba a küldésnél!");
        break;
    case Stage::Sending:
        error(network + outcome.message, "Hiba a küldésnél!");
        break;
    case Stage::Delivered:
        break;
    }
    const bool reachedTheServer =
        outcome.stage == Stage::Connecting || outcome.stage == Stage::Sending || outcome.stage == Stage::Delivered;
    if (reachedTheServer) {
        advanceGauge();
        m_prbSending->hide();
    }
    if (outcome.failed())
        messages.show(QStringLiteral("Az adatok küldése nem sikerült. Kérlek ellenőrizd az internetkapcsolatot!"),
                      QStringLiteral("Exportálás"), UserMessages::Icon::Warning, UserMessages::Buttons::Ok);
    else
        messages.show(QStringLiteral("Az adatok sikeresen postázva!"), QStringLiteral("Exportálás"),
                      UserMessages::Icon::Information, UserMessages::Buttons::Ok);
}
