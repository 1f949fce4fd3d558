#include "app/export/ExportPanel.h"

#include "app/ErrorReport.h"
#include "export/ExportError.h"
#include "export/ExportNames.h"
#include "export/ExportTable.h"
#include "export/WorkbookViewer.h"
#include "export/AdoXmlWriter.h"
#include "export/DispatchMail.h"
#include "export/MailAccount.h"
#include "export/QueryXlsTable.h"
#include "export/RandomSource.h"
#include "export/SmtpClient.h"
#include "model/Base.h"
#include "model/Clock.h"
#include "model/UserMessages.h"
#include "store/DataModule.h"
#include "store/DonationStore.h"

#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QThread>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QScopeGuard>
#include <QToolButton>

#include <limits>
#include <memory>

ExportPanel::ExportPanel(AppContext& context, QWidget* parent)
    : Panel(QStringLiteral("pnlExport"), QSize(247, 276), parent)
    , m_context(context)
{
    QLabel* prompt = addLabel(this, QStringLiteral("Label5"), {45, 15},
                              QStringLiteral("Kérlek válaszd ki, hogy melyik hónapot szeretnéd exportálni!"));
    prompt->setWordWrap(true);
    prompt->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    prompt->setGeometry(45, 15, 156, 34);
    m_cmbExport = new QComboBox(this);
    m_cmbExport->setObjectName(QStringLiteral("cmbExport"));
    m_cmbExport->setGeometry(62, 56, 121, 21);
    m_cmbExport->setFocusPolicy(Qt::ClickFocus); // not a tab stop
    m_lblSend = addLabel(this, QStringLiteral("lblSend"), {13, 104},
                         QStringLiteral("Kattints az alábbi levél ikonra az adatok elküldéséhez, vagy az Excel ikonra "
                                        "az adatok táblázatba mentéséhez:"));
    m_lblSend->setWordWrap(true);
    m_lblSend->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_lblSend->setGeometry(13, 104, 220, 41);
    m_btnSend = addImageButton(QStringLiteral("btnSend"), {43, 153, 74, 57}, Icons::PanelButton::Letter,
                               QStringLiteral("Küldés levélben"));
    m_btnExcel = addImageButton(QStringLiteral("btnExcel"), {147, 153, 57, 57}, Icons::PanelButton::Workbook,
                                QStringLiteral("Mentés Excel munkafüzetbe"));
    m_prbSending = new QProgressBar(this);
    m_prbSending->setObjectName(QStringLiteral("prbSending"));
    m_prbSending->setGeometry(10, 177, 228, 11);
    m_prbSending->setTextVisible(false);
    m_prbSending->hide();
    addRule(this, QStringLiteral("Bevel5"), {-1, 221, 247, 2});
    addTitle(QStringLiteral("Label6"), {10, 233}, QStringLiteral("Exportálás"));
    m_btnClose = addImageButton(QStringLiteral("btnCloseExport"), {200, 229, 40, 40}, Icons::PanelButton::Close,
                                QStringLiteral("Bezárás"));

    UserMessages& messages = context.messages;
    // The buttons follow the selection however it changes, so an action
    // never starts with the placeholder chosen.
    connect(m_cmbExport, &QComboBox::currentIndexChanged, this,
            [this, &messages] { runAction(messages, [this] { cmbExportCloseUp(); }); });
    connect(m_btnExcel, &QToolButton::clicked, this,
            [this, &messages] { runAction(messages, [this] { btnExcelClick(); }); });
    connect(m_btnSend, &QToolButton::clicked, this,
            [this, &messages] { runAction(messages, [this] { btnSendClick(); }); });
    connect(m_btnClose, &QToolButton::clicked, this,
            [this, &messages] { runAction(messages, [this] { btnCloseExportClick(); }); });
}

void ExportPanel::btnExportClick()
{
    if (m_context.base.CurrentSettings.megye_kod == 0) {
        m_context.messages.show(QStringLiteral("Az adatok exportálását nem lehet végrehajtani, amig nincsen "
                                               "kiválasztva a Megye! [BEÁLLÍTÁSOK]"),
                                QStringLiteral("Hiányos adatok!"), UserMessages::Icon::Warning,
                                UserMessages::Buttons::Ok);
        return;
    }
    m_context.shell.DisableToolbar();
    // A failed month query leaves the bare window with a usable toolbar.
    auto backOut = qScopeGuard([this] { m_context.shell.EnableToolbar(); });
    move(Panel::centredIn(parentWidget()->size(), size()));
    m_prbSending->hide();
    m_lblSend->hide();
    m_btnSend->setEnabled(false);
    m_btnExcel->setEnabled(false);
    const QStringList months = LoadMonthChoices(m_context.dm, m_context.base);
    backOut.dismiss();
    const QSignalBlocker quiet(m_cmbExport);
    m_cmbExport->clear();
    m_cmbExport->addItem(QStringLiteral("- Havi véradások -"));
    m_cmbExport->addItems(months);
    m_cmbExport->setCurrentIndex(0);
    show();
    raise();
}

void ExportPanel::cmbExportCloseUp()
{
    const bool monthChosen = m_cmbExport->currentIndex() >= 1;
    m_lblSend->setVisible(monthChosen);
    m_btnSend->setEnabled(monthChosen);
    m_btnExcel->setEnabled(monthChosen);
}

void ExportPanel::btnCloseExportClick()
{
    hide();
    m_context.shell.EnableToolbar();
}

void ExportPanel::advanceGauge()
{
    m_prbSending->setValue(std::min(m_prbSending->value() + 1, m_prbSending->maximum()));
}

void ExportPanel::endAction()
{
    const QSignalBlocker quiet(m_cmbExport);
    m_cmbExport->setCurrentIndex(0);
    m_lblSend->hide();
    m_btnSend->setEnabled(false);
    m_btnExcel->setEnabled(false);
    m_prbSending->hide();
}

void ExportPanel::btnExcelClick()
{
    try {
        runExcelAction();
    } catch (...) {
        endAction();
        throw; // to the general error report
    }
}

void ExportPanel::runExcelAction()
{
    const int item = m_cmbExport->currentIndex();
    if (item < 1)
        return;
    QDir::current().mkdir(QStringLiteral("excel"));
    m_prbSending->show();
    advanceGauge();
    m_btnSend->setEnabled(false);
    m_btnExcel->setEnabled(false);

    Base& base = m_context.base;
    const int rows = BuildExportTable(m_context.dm, base, item);
    m_prbSending->setMaximum(rows + 10);
    const QString path = exportPath(QStringLiteral("excel"), QStringLiteral("xls"));
    advanceGauge();

    advanceGauge();
    // An existing file of that name is replaced.
    XlsWriter::writeFile(path, QueryXlsTable(m_context.dm.aq_toExcel, base.CurrentSettings.Megye));
    advanceGauge();
    const bool shown = m_context.viewer.show(path);
    advanceGauge();
    endAction();
    if (!shown) {
        m_context.messages.show(QStringLiteral("A munkafüzet elkészült, de nincs program, amely megnyitná:\n%1")
                                    .arg(QDir::toNativeSeparators(path)),
                                QStringLiteral("Exportálás"), UserMessages::Icon::Information,
                                UserMessages::Buttons::Ok);
    }
}

QString ExportPanel::exportPath(const QString& folder, const QString& extension) const
{
    const Base& base = m_context.base;
    return QDir::current().filePath(folder + u'/'
                                    + ExportFileName(base.CurrentSettings.Megye, base.SelectedMonthName,
                                                     ExportStampText(m_context.clock, QLocale::system()), extension));
}

void ExportPanel::setControlsEnabled(bool enabled)
{
    m_cmbExport->setEnabled(enabled);
    m_btnClose->setEnabled(enabled);
}

void ExportPanel::btnSendClick()
{
    m_busy = true;
    setControlsEnabled(false);
    try {
        runSendAction();
    } catch (const std::exception& error) {
        m_busy = false;
        setControlsEnabled(true);
        endAction();
        reportGeneralError(m_context.messages, error);
        m_context.shell.longActionEnded();
        return;
    }
    m_busy = false;
    setControlsEnabled(true);
    m_context.shell.longActionEnded();
}

void ExportPanel::runSendAction()
{
    const int item = m_cmbExport->currentIndex();
    if (item < 1)
        return;
    UserMessages& messages = m_context.messages;
    auto closingBox = [&](bool failed) {
        if (failed)
            messages.show(QStringLiteral("Az adatok küldése nem sikerült. Kérlek ellenőrizd az internetkapcsolatot!"),
                          QStringLiteral("Exportálás"), UserMessages::Icon::Warning, UserMessages::Buttons::Ok);
        else
            messages.show(QStringLiteral("Az adatok sikeresen postázva!"), QStringLiteral("Exportálás"),
                          UserMessages::Icon::Information, UserMessages::Buttons::Ok);
    };

    m_btnSend->setEnabled(false);
    m_btnExcel->setEnabled(false);
    Base& base = m_context.base;
    // The recipients first: nothing is written or sent for a refused one,
    // and no header or command is made of what the settings hold.
    QStringList recipients;
    try {
        recipients = parseRecipients(base.CurrentSettings.Cel);
    } catch (const ExportError& error) {
        messages.show(error.message(), QStringLiteral("Hibás címzett!"), UserMessages::Icon::Error,
                      UserMessages::Buttons::Ok);
        closingBox(true);
        endAction();
        return;
    }

    QDir::current().mkdir(QStringLiteral("xml"));
    BuildExportTable(m_context.dm, base, item);
    const QString path = exportPath(QStringLiteral("xml"), QStringLiteral("xml"));
    const QByteArray xml = AdoXml::document(m_context.dm.aq_toExcel);
    try {
        AdoXml::saveFile(xml, path);
    } catch (const ExportError& error) {
        // Nothing is sent without its attachment.
        messages.show(error.message(), QStringLiteral("Hiba a mentéskor!"), UserMessages::Icon::Error,
                      UserMessages::Buttons::Ok);
        closingBox(true);
        endAction();
        return;
    }

    DispatchDetails details;
    details.county = base.CurrentSettings.Megye;
    details.recipients = base.CurrentSettings.Cel;
    details.monthName = base.SelectedMonthName;
    details.senderMailbox = m_context.mail.user;
    details.mailAgent = QString::fromUtf8(MailAccount::mailAgent);
    details.attachmentName = QFileInfo(path).fileName();
    details.attachment = xml;
    const MailMessage mail = buildDispatchMail(details);
    SystemRandom random;
    const QDateTime now = m_context.clock.now();
    const QByteArray boundary = mime::boundary(random);

    m_prbSending->setMaximum(int(std::min<qint64>(messageSize(mail, now, boundary), std::numeric_limits<int>::max())));
    m_prbSending->show();
    m_prbSending->setValue(std::min(100, m_prbSending->maximum()));
    advanceGauge();
    advanceGauge();

    const auto [connectError, sendError] = dispatch(recipients, [&](const SmtpClient::Sink& sink) {
        writeMessage(mail, now, boundary, sink);
    });
    const QString prefix = QStringLiteral("A számítógép valószínűleg nem kapcsolódik az internetre. Kérlek "
                                          "ellenőrizd!\n\nHibaüzenet:\n");
    if (!connectError.isEmpty())
        messages.show(prefix + connectError, QStringLiteral("A csatlakozásnál hiba történt!"),
                      UserMessages::Icon::Error, UserMessages::Buttons::Ok);
    if (!sendError.isEmpty())
        messages.show(prefix + sendError, QStringLiteral("Hiba a küldésnél!"), UserMessages::Icon::Error,
                      UserMessages::Buttons::Ok);
    advanceGauge();
    m_prbSending->hide();
    closingBox(!connectError.isEmpty() || !sendError.isEmpty());
    endAction();
}

std::pair<QString, QString> ExportPanel::dispatch(const QStringList& recipients,
                                                  const SmtpClient::MessageWriter& message)
{
    // Progress reaches the gauge through the event loop of this thread.
    QPointer<QProgressBar> gauge(m_prbSending);
    auto onGauge = [gauge](std::function<void(QProgressBar*)> change) {
        QMetaObject::invokeMethod(
            gauge, [gauge, change] {
                if (gauge)
                    change(gauge);
            },
            Qt::QueuedConnection);
    };
    auto advance = [onGauge](int by) {
        onGauge([by](QProgressBar* bar) { bar->setValue(std::min(bar->value() + by, bar->maximum())); });
    };
    SmtpClient::Observer observer;
    observer.status = [advance](const QString&) { advance(1); };
    observer.tlsInfo = [advance] { advance(50); };
    observer.messageBytesWritten = [onGauge](qint64 bytes) {
        onGauge([bytes](QProgressBar* bar) { bar->setValue(int(std::min<qint64>(bytes, bar->maximum()))); });
    };

    QString connectError;
    QString sendError;
    const SmtpSettings settings = m_context.mail;
    const QString sender = settings.user;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        SmtpClient client(settings, observer);
        try {
            client.connectToServer();
        } catch (const ExportError& error) {
            connectError = error.message();
        }
        advance(1);
        try {
            client.send(sender, recipients, message); // fails at once without a connection
        } catch (const ExportError& error) {
            sendError = error.message();
        }
        advance(1);
        client.disconnect(); // QUIT failures are caught inside; the socket always closes
    }));
    QEventLoop loop;
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    worker->wait();
    return {connectError, sendError};
}
