#include "app/schedule/NewMonthPanel.h"

#include "model/Clock.h"
#include "model/Months.h"
#include "model/UserMessages.h"

#include <QComboBox>
#include <QLabel>

NewMonthPanel::NewMonthPanel(AppContext& context, QWidget* parent)
    : MonthChooserPanel(context,
                        {QStringLiteral("pnlNewTable"), QStringLiteral("Bevel2"), QStringLiteral("btnCancelTable"),
                         QStringLiteral("btnMakeTable")},
                        QSize(247, 136), parent)
{
    QLabel* prompt = addLabel(this, QStringLiteral("Label3"), {21, 15},
                              QStringLiteral("Melyik hónapra szeretnél adatokat felvinni?"));
    m_cmbYear = new QComboBox(this);
    prompt->setBuddy(m_cmbYear);
    m_cmbYear->setAccessibleName(QStringLiteral("Év"));
    m_cmbYear->setAccessibleDescription(prompt->text());
    m_cmbYear->setObjectName(QStringLiteral("cmbYear"));
    m_cmbYear->setGeometry(53, 42, 58, 21); // the year must fit beside the drop-down arrow
    m_cmbYear->setMaxVisibleItems(20);
    m_cmbMonth = new QComboBox(this);
    m_cmbMonth->setObjectName(QStringLiteral("cmbMonth"));
    m_cmbMonth->setGeometry(115, 42, 80, 21);
    m_cmbMonth->setMaxVisibleItems(12);
    m_cmbMonth->setAccessibleName(QStringLiteral("Hónap"));
    m_cmbMonth->setAccessibleDescription(prompt->text());
    for (const QString& name : MonthNames)
        m_cmbMonth->addItem(name);
    setTabOrder(m_cmbYear, m_cmbMonth);
}

void NewMonthPanel::btnNewClick()
{
    if (!mayOpenPanel(m_context, QStringLiteral("Az adatok felvitelét nem lehet elkezdeni")))
        return;
    // The years run from 2012 to next year, so today's month and the next
    // one can always be chosen; a year's position stays year - 2012.
    const int year = CurrentYear(m_context.clock);
    const int month = CurrentMonth(m_context.clock);
    m_cmbYear->clear();
    for (int y = firstYear; y <= std::max(year + 1, firstYear); ++y)
        m_cmbYear->addItem(QString::number(y));
    const int yearPosition = month == 12 ? year - firstYear + 1 : year - firstYear;
    m_cmbYear->setCurrentIndex(yearPosition >= 0 && yearPosition < m_cmbYear->count() ? yearPosition : -1);
    m_cmbMonth->setCurrentIndex(month == 12 ? 0 : month);
    showOver();
    m_cmbMonth->setFocus();
}

void NewMonthPanel::forward()
{
    if (m_cmbYear->currentIndex() < 0) {
        m_context.messages.show(QStringLiteral("Válaszd ki az évet, amelyre adatokat szeretnél felvinni!"),
                                QStringLiteral("Hiányos adatok!"), UserMessages::Icon::Information,
                                UserMessages::Buttons::Ok);
        m_cmbYear->setFocus();
        return;
    }
    openMonth(firstYear + m_cmbYear->currentIndex(), m_cmbMonth->currentIndex() + 1);
}
