#include "app/schedule/OpenMonthPanel.h"

#include "app/ErrorReport.h"
#include "app/MonthDropDown.h"
#include "app/schedule/DonationsPanel.h"
#include "model/Base.h"
#include "model/UserMessages.h"

#include <QComboBox>
#include <QLabel>
#include <QScopeGuard>
#include <QToolButton>

OpenMonthPanel::OpenMonthPanel(AppContext& context, DonationsPanel& donations, QWidget* parent)
    : Panel(QStringLiteral("pnlMegnyitas"), QSize(247, 136), parent)
    , m_context(context)
    , m_donations(donations)
{
    QLabel* prompt =
        addLabel(this, QStringLiteral("Label4"), {45, 15}, QStringLiteral("Válaszd ki a véradások dátumát!"));
    prompt->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    prompt->setGeometry(25, 15, 196, 15); // centred in the panel, with room for the substitute font
    m_cmbVeradasok = new QComboBox(this);
    m_cmbVeradasok->setObjectName(QStringLiteral("cmbVeradasok"));
    m_cmbVeradasok->setGeometry(61, 42, 124, 21); // wide enough for "2013 Szeptember", still centred
    m_cmbVeradasok->setMaxVisibleItems(20);
    prompt->setBuddy(m_cmbVeradasok);
    addRule(this, QStringLiteral("Bevel3"), {0, 80, 247, 2});
    QToolButton* cancel = addImageButton(QStringLiteral("btnCancelMegnyitas"), {158, 88, 40, 40},
                                         Icons::PanelButton::Cancel, QStringLiteral("Mégsem"));
    QToolButton* forward = addImageButton(QStringLiteral("btnOpenVeradasok"), {201, 88, 40, 40},
                                          Icons::PanelButton::Forward, QStringLiteral("Tovább"));
    UserMessages& messages = context.messages;
    connect(cancel, &QToolButton::clicked, this,
            [this, &messages] { runAction(messages, [this] { btnCancelMegnyitasClick(); }); });
    connect(forward, &QToolButton::clicked, this,
            [this, &messages] { runAction(messages, [this] { btnOpenVeradasokClick(); }); });
}

void OpenMonthPanel::btnOpenClick()
{
    if (!countyChosen(m_context,
                      QStringLiteral("Az adatok megnyitását nem lehet elvégezni, amig nincsen kiválasztva a "
                                     "Megye! [BEÁLLÍTÁSOK]")))
        return;
    m_context.shell.DisableToolbar();
    // A failed month query leaves the bare window with a usable toolbar.
    auto backOut = qScopeGuard([this] { m_context.shell.EnableToolbar(); });
    move(Panel::centredIn(parentWidget()->size(), size()));
    loadMonthDropDown(m_context, *m_cmbVeradasok, MonthList);
    backOut.dismiss();
    m_cmbVeradasok->setCurrentIndex(MonthList.size() == 0 ? -1 : 0);
    show();
    raise();
    m_cmbVeradasok->setFocus();
}

void OpenMonthPanel::btnCancelMegnyitasClick()
{
    hide();
    m_context.shell.EnableToolbar();
}

void OpenMonthPanel::btnOpenVeradasokClick()
{
    const int k = m_cmbVeradasok->currentIndex();
    if (k < 0) {
        m_context.messages.show(QStringLiteral("Még nem rögzítettél adatot, így nincs mit megnyitni!"),
                                QStringLiteral("Hiányos adatok!"), UserMessages::Icon::Information,
                                UserMessages::Buttons::Ok);
        return;
    }
    hide();
    m_context.shell.DisableToolbar();
    m_context.shell.EnableToolbarFrame();
    const MonthEntry month = MonthList.at(k);
    m_context.base.selectMonth(month.ev, month.honap + 1);
    m_donations.openSelectedMonth();
}
