#include "app/schedule/OpenMonthPanel.h"

#include "app/MonthDropDown.h"
#include "model/UserMessages.h"

#include <QComboBox>
#include <QLabel>
#include <QScopeGuard>

OpenMonthPanel::OpenMonthPanel(AppContext& context, QWidget* parent)
    : MonthChooserPanel(context,
                        {QStringLiteral("pnlMegnyitas"), QStringLiteral("Bevel3"), QStringLiteral("btnCancelMegnyitas"),
                         QStringLiteral("btnOpenVeradasok")},
                        QSize(247, 136), parent)
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
}

void OpenMonthPanel::btnOpenClick()
{
    if (!mayOpenPanel(m_context, QStringLiteral("Az adatok megnyitását nem lehet elvégezni")))
        return;
    // A failed month query leaves the bare window with a usable toolbar.
    auto backOut = qScopeGuard([this] { m_context.shell.EnableToolbar(); });
    loadMonthDropDown(m_context, *m_cmbVeradasok, MonthList);
    backOut.dismiss();
    m_cmbVeradasok->setCurrentIndex(MonthList.size() == 0 ? -1 : 0);
    showOver();
    m_cmbVeradasok->setFocus();
}

void OpenMonthPanel::forward()
{
    const int k = m_cmbVeradasok->currentIndex();
    if (k < 0) {
        m_context.messages.show(QStringLiteral("Még nem rögzítettél adatot, így nincs mit megnyitni!"),
                                QStringLiteral("Hiányos adatok!"), UserMessages::Icon::Information,
                                UserMessages::Buttons::Ok);
        return;
    }
    const MonthEntry month = MonthList.at(k);
    openMonth(month.ev, month.honap + 1);
}
