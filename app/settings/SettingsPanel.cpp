#include "app/settings/SettingsPanel.h"

#include "app/ErrorReport.h"
#include "model/Base.h"
#include "model/UserMessages.h"
#include "store/DataModule.h"
#include "store/SettingsStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

QLineEdit* addField(QWidget* parent, const QString& name, QPoint at, int width)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setGeometry(at.x(), at.y(), width, 21);
    return field;
}

} // namespace

SettingsPanel::SettingsPanel(AppContext& context, QWidget* parent)
    : Panel(QStringLiteral("pnlSettingsMain"), QSize(409, 194), parent)
    , m_context(context)
{
    addLabel(this, QStringLiteral("lblCounty0"), {11, 8}, QStringLiteral("A szervezet azonosítása"));
    addRule(this, QStringLiteral("bvlLine1"), {134, 14, 259, 2});
    QLabel* countyLabel = addLabel(this, QStringLiteral("lblCounty1"), {20, 40}, QStringLiteral("Megye:"));
    m_cmbMegye = new QComboBox(this);
    m_cmbMegye->setObjectName(QStringLiteral("cmbMegye"));
    m_cmbMegye->setGeometry(65, 37, 167, 21); // room for "- Szervezet kiválasztása -"
    countyLabel->setBuddy(m_cmbMegye);
    m_cmbMegye->setMaxVisibleItems(21);
    addRule(this, QStringLiteral("bvlLine2"), {124, 79, 269, 2});
    // Drawn over the rule where a wider substitute font runs into it.
    addLabel(this, QStringLiteral("lblSMTP0"), {11, 73}, QStringLiteral("Email küldés beállításai"))
        ->setAutoFillBackground(true);
    m_edtDestinationEmail = addField(this, QStringLiteral("edtDestinationEmail"), {65, 99}, 210);
    addLabel(this, QStringLiteral("lblTargetMail"), {19, 102}, QStringLiteral("Címzett:"))
        ->setBuddy(m_edtDestinationEmail);
    addRule(this, QStringLiteral("bvlLine4"), {0, 137, 409, 2});
    addTitle(QStringLiteral("Label1"), {11, 150}, QStringLiteral("Beállítások"));
    QToolButton* cancel = addImageButton(QStringLiteral("btnCancelSettings"), {316, 145, 40, 40},
                                         Icons::PanelButton::Cancel, QStringLiteral("Mégsem"));
    QToolButton* save = addImageButton(QStringLiteral("btnSaveSettings"), {362, 145, 40, 40}, Icons::PanelButton::Save,
                                       QStringLiteral("Mentés"));

    // Below the visible edge.
    m_edtSMTP = addField(this, QStringLiteral("edtSMTP"), {196, 245}, 181);
    addLabel(this, QStringLiteral("lblSMTP2"), {20, 248}, QStringLiteral("Kimenő levelek kiszolgálója (SMTP):"))
        ->setBuddy(m_edtSMTP);
    m_cbxHitelesites = new QCheckBox(QStringLiteral("SMTP hitelesítés"), this);
    m_cbxHitelesites->setObjectName(QStringLiteral("cbxHitelesites"));
    m_cbxHitelesites->move(20, 280);
    m_pnlHitelesites = new BevelPanel(QStringLiteral("pnlHitelesites"), {36, 303, 341, 78}, this);
    m_edtUSR = addField(m_pnlHitelesites, QStringLiteral("edtUSR"), {86, 13}, 235);
    addLabel(m_pnlHitelesites, QStringLiteral("lblHitelesites1"), {16, 16}, QStringLiteral("Felhasználó:"))
        ->setBuddy(m_edtUSR);
    m_edtPSW = addField(m_pnlHitelesites, QStringLiteral("edtPSW"), {86, 42}, 235);
    addLabel(m_pnlHitelesites, QStringLiteral("lblHitelesites2"), {16, 45}, QStringLiteral("Jelszó:"))
        ->setBuddy(m_edtPSW);
    m_edtPSW->setEchoMode(QLineEdit::Password);
    m_pnlHitelesites->setEnabled(false);

    // The controls below the visible edge are filled and read, but never take
    // the focus: nobody could see what the keys change there.
    for (QWidget* hidden : std::initializer_list<QWidget*>{m_edtSMTP, m_cbxHitelesites, m_edtUSR, m_edtPSW})
        hidden->setFocusPolicy(Qt::NoFocus);
    setTabOrder(m_cmbMegye, m_edtDestinationEmail);
    setTabOrder(m_edtDestinationEmail, cancel);
    setTabOrder(cancel, save);

    UserMessages& messages = context.messages;
    onSignal(m_cbxHitelesites, &QCheckBox::toggled, messages, [this](bool) { cbxHitelesitesClick(); });
    onClicked(save, messages, [this] { btnSaveSettingsClick(); });
    onClicked(cancel, messages, [this] { btnCancelSettingsClick(); });
}

void SettingsPanel::fillCounties()
{
    m_cmbMegye->clear();
    m_cmbMegye->addItem(QStringLiteral("- Szervezet kiválasztása -"));
    m_cmbMegye->addItems(LoadCounties(m_context.dm.datacore));
}

void SettingsPanel::selectCounty(int position)
{
    m_cmbMegye->setCurrentIndex(position < m_cmbMegye->count() ? position : -1);
}

void SettingsPanel::ShowSettingsPanel()
{
    show();
    raise();
}

void SettingsPanel::HideSettingsPanel()
{
    hide();
}

void SettingsPanel::EnableAuthFields()
{
    m_pnlHitelesites->setEnabled(true);
    for (const char* name : {"lblHitelesites1", "lblHitelesites2", "edtUSR", "edtPSW"})
        m_pnlHitelesites->findChild<QWidget*>(QLatin1String(name))->setEnabled(true);
}

void SettingsPanel::DisableAuthFields()
{
    m_pnlHitelesites->setEnabled(false);
    for (const char* name : {"lblHitelesites1", "lblHitelesites2", "edtUSR", "edtPSW"})
        m_pnlHitelesites->findChild<QWidget*>(QLatin1String(name))->setEnabled(false);
}

void SettingsPanel::btnSettingsClick()
{
    const QSize client = parentWidget()->size();
    move(Panel::centredIn(client, size()));
    m_context.shell.DisableToolbar();
    ShowSettingsPanel();
    const Settings& settings = m_context.base.CurrentSettings;
    m_cbxHitelesites->setChecked(settings.Hitelesites == 1); // toggled() runs cbxHitelesitesClick
    selectCounty(settings.megye_kod);
    // Shown whole, also when another program stored more than a field takes.
    constexpr int typingLimit = 32767; // a line field's own
    showStoredText(m_edtDestinationEmail, settings.Cel, typingLimit);
    showStoredText(m_edtSMTP, settings.SMTP, typingLimit);
    showStoredText(m_edtUSR, settings.User, typingLimit);
    showStoredText(m_edtPSW, settings.Password, typingLimit);
    m_cmbMegye->setFocus();
}

void SettingsPanel::cbxHitelesitesClick()
{
    if (m_cbxHitelesites->isChecked())
        EnableAuthFields();
    else
        DisableAuthFields();
}

void SettingsPanel::btnSaveSettingsClick()
{
    const int position = m_cmbMegye->currentIndex();
    if (position <= 0) {
        m_context.messages.show(QStringLiteral("A megye-azonosító nem lett kiválasztva!"), QStringLiteral("Információ"),
                                UserMessages::Icon::Information, UserMessages::Buttons::Ok);
        m_cmbMegye->setFocus();
        return;
    }
    const quint8 authentication = m_cbxHitelesites->isChecked() ? 1 : 0;

    const std::optional<County> county =
        guarded(m_context.messages, [&] { return LookUpCounty(m_context.dm.datacore, position); });
    // A failed lookup ends the save with the general error report, before
    // anything is changed, saying which of the two failed.
    if (!county || county->id == 0) {
        reportGeneralError(m_context.messages,
                           county ? QStringLiteral("A(z) %1 azonosítójú megye nem található").arg(position)
                                  : QStringLiteral("A megye adatai nem olvashatók be az adatbázisból, ezért a "
                                                   "beállítások nem mentődtek"));
        return;
    }

    Settings& settings = m_context.base.CurrentSettings;
    settings.SetValues(quint8(county->id), county->name, m_edtDestinationEmail->text(), QString(), QString(),
                       authentication, m_edtUSR->text(), m_edtPSW->text());
    if (guarded(m_context.messages, [&] { SaveSettings(m_context.dm.datacore, settings); })) {
        m_context.shell.EnableToolbar();
        HideSettingsPanel();
    }
}

void SettingsPanel::btnCancelSettingsClick()
{
    m_context.shell.EnableToolbar();
    HideSettingsPanel();
}
