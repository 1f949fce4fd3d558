#include "app/export/ExportPanel.h"

#include "app/ErrorReport.h"
#include "export/ExportError.h"
#include "export/ExportNames.h"
#include "export/ExportTable.h"
#include "export/WorkbookViewer.h"
#include "export/QueryXlsTable.h"
#include "model/Base.h"
#include "model/UserMessages.h"
#include "store/DataModule.h"
#include "store/DonationStore.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QToolButton>

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
    QToolButton* close = addImageButton(QStringLiteral("btnCloseExport"), {200, 229, 40, 40},
                                        Icons::PanelButton::Close, QStringLiteral("Bezárás"));

    UserMessages& messages = context.messages;
    // The buttons follow the selection however it changes, so an action
    // never starts with the placeholder chosen.
    connect(m_cmbExport, &QComboBox::currentIndexChanged, this,
            [this, &messages] { runAction(messages, [this] { cmbExportCloseUp(); }); });
    connect(m_btnExcel, &QToolButton::clicked, this,
            [this, &messages] { runAction(messages, [this] { btnExcelClick(); }); });
    connect(close, &QToolButton::clicked, this,
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
    move(Panel::centredIn(parentWidget()->size(), size()));
    m_prbSending->hide();
    m_lblSend->hide();
    m_btnSend->setEnabled(false);
    m_btnExcel->setEnabled(false);
    const QStringList months = LoadMonthChoices(m_context.dm, m_context.base);
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
    const QDir workingDirectory = QDir::current();
    workingDirectory.mkdir(QStringLiteral("excel"));
    m_prbSending->show();
    advanceGauge();
    m_btnSend->setEnabled(false);
    m_btnExcel->setEnabled(false);

    Base& base = m_context.base;
    const int rows = BuildExportTable(m_context.dm, base, item);
    m_prbSending->setMaximum(rows + 10);
    const QString path = workingDirectory.filePath(
        QStringLiteral("excel/")
        + ExportFileName(base.CurrentSettings.Megye, base.SelectedMonthName,
                         ExportStampText(m_context.clock, QLocale::system()), QStringLiteral("xls")));
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
