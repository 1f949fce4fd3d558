#include "app/schedule/NewMonthPanel.h"

#include "app/ErrorReport.h"
#include "app/MonthDropDown.h"
#include "model/Base.h"
#include "model/Calendar.h"
#include "model/Clock.h"
#include "model/UserMessages.h"
#include "store/DataModule.h"
#include "store/MonthCopy.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScopeGuard>

NewMonthPanel::NewMonthPanel(AppContext& context, QWidget* parent)
    : MonthChooserPanel(context,
                        {QStringLiteral("pnlNewTable"), QStringLiteral("Bevel2"), QStringLiteral("btnCancelTable"),
                         QStringLiteral("btnMakeTable")},
                        QSize(247, 186), parent)
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
    buildCopyChoice();
}

void NewMonthPanel::buildCopyChoice()
{
    m_chkCopy = new QCheckBox(QStringLiteral("Másolás innen:"), this);
    m_chkCopy->setObjectName(QStringLiteral("chkCopyFrom"));
    m_chkCopy->setGeometry(53, 74, 142, 19);
    m_cmbSource = new QComboBox(this);
    m_cmbSource->setObjectName(QStringLiteral("cmbSourceMonth"));
    m_cmbSource->setGeometry(53, 96, 142, 21); // as wide as year and month together
    m_cmbSource->setMaxVisibleItems(20);
    m_cmbSource->setAccessibleName(QStringLiteral("Forrás hónap"));
    m_cmbSource->setAccessibleDescription(m_chkCopy->text());
    m_cmbSource->setEnabled(false);
    connect(m_chkCopy, &QCheckBox::toggled, m_cmbSource, &QWidget::setEnabled);
    setTabOrder(m_cmbMonth, m_chkCopy);
    setTabOrder(m_chkCopy, m_cmbSource);
    // The target's own month of last year is offered as it changes.
    for (QComboBox* target : {m_cmbYear, m_cmbMonth})
        connect(target, &QComboBox::currentIndexChanged, this, [this] { preselectSource(); });
}

void NewMonthPanel::preselectSource()
{
    if (SourceMonths.size() == 0)
        return;
    const int year = firstYear + m_cmbYear->currentIndex() - 1;
    const int month = m_cmbMonth->currentIndex();
    int chosen = 0;
    for (qsizetype k = 0; k < SourceMonths.size(); ++k) {
        if (SourceMonths.at(k).ev == year && SourceMonths.at(k).honap == month)
            chosen = int(k);
    }
    m_cmbSource->setCurrentIndex(chosen);
}

void NewMonthPanel::btnNewClick()
{
    if (!mayOpenPanel(m_context, QStringLiteral("Az adatok felvitelét nem lehet elkezdeni")))
        return;
    // A failed month query leaves the bare window with a usable toolbar.
    auto backOut = qScopeGuard([this] { m_context.shell.EnableToolbar(); });
    loadMonthDropDown(m_context, *m_cmbSource, SourceMonths, {}, MonthOrder::LatestFirst);
    backOut.dismiss();
    m_chkCopy->setChecked(false);
    m_chkCopy->setEnabled(SourceMonths.size() > 0);
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
    preselectSource();
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
    const int year = firstYear + m_cmbYear->currentIndex();
    const int month = m_cmbMonth->currentIndex() + 1;
    const MonthEntry source = SourceMonths.at(m_cmbSource->currentIndex());
    std::optional<MonthCopyOutcome> copied;
    if (m_chkCopy->isChecked() && !(copied = copyInto(source, year, month)))
        return;
    openMonth(year, month);
    if (copied)
        reportCopy(*copied, source, year, month);
}

std::optional<MonthCopyOutcome> NewMonthPanel::copyInto(const MonthEntry& source, int year, int month)
{
    if (source.ev == 0) {
        m_context.messages.show(QStringLiteral("Válaszd ki a hónapot, amelyből másolni szeretnél!"),
                                QStringLiteral("Hiányos adatok!"), UserMessages::Icon::Information,
                                UserMessages::Buttons::Ok);
        m_cmbSource->setFocus();
        return std::nullopt;
    }
    const std::optional<MonthCopyOutcome> outcome = guarded(m_context.messages, [&] {
        return CopyMonth(m_context.dm.datacore, m_context.base.CurrentSettings.megye_kod, source.ev, source.honap + 1,
                         year, month);
    });
    if (!outcome)
        return std::nullopt; // the box said why; nothing was copied
    if (outcome->targetHeldAppointments) {
        m_context.messages.show(QStringLiteral("A(z) %1 %2 hónapban már vannak véradások, ezért nem másoltam "
                                               "bele semmit. Másolni csak üres hónapba lehet.")
                                    .arg(year)
                                    .arg(MonthNames[size_t(month - 1)]),
                                QStringLiteral("Másolás"), UserMessages::Icon::Warning, UserMessages::Buttons::Ok);
        return std::nullopt;
    }
    return outcome;
}

void NewMonthPanel::reportCopy(const MonthCopyOutcome& outcome, const MonthEntry& source, int year, int month)
{
    auto line = [](QDate date, const CopiedAppointment& appointment) {
        return QStringLiteral("  ") + HungarianDateText(date) + u' ' + DayDescription(date) + QStringLiteral(", ")
            + appointment.kezdes + u'-' + appointment.befejezes + QStringLiteral(", ") + appointment.place;
    };
    QStringList noSuchDay;
    QStringList withdrawn;
    QStringList unusual;
    for (const CopiedAppointment& appointment : outcome.appointments) {
        switch (appointment.leftOut) {
        case CopiedAppointment::LeftOut::NoSuchDay:
            noSuchDay << line(appointment.source, appointment);
            break;
        case CopiedAppointment::LeftOut::LocationWithdrawn:
            withdrawn << line(appointment.source, appointment);
            break;
        case CopiedAppointment::LeftOut::No:
            if (IsWeekend(appointment.target) || !HolidayName(appointment.target).isEmpty())
                unusual << line(appointment.target, appointment);
            break;
        }
    }
    QStringList text{QStringLiteral("%1 véradást másoltam át a(z) %2 %3 hónapból a(z) %4 %5 hónapba.")
                         .arg(outcome.copiedCount())
                         .arg(source.ev)
                         .arg(source.honap_s)
                         .arg(year)
                         .arg(MonthNames[size_t(month - 1)])};
    // A long list is cut, so the box stays within the screen.
    auto section = [&text](const char* heading, const QStringList& lines) {
        if (lines.isEmpty())
            return;
        text << QString() << QString::fromUtf8(heading) << lines.mid(0, listedAtMost);
        if (lines.size() > listedAtMost)
            text << QStringLiteral("  … és még %1").arg(lines.size() - listedAtMost);
    };
    section("Kimaradt, mert a hónapban nincs ilyen nap (például 5. hétfő):", noSuchDay);
    section("Kimaradt, mert a helyszín megszűnt:", withdrawn);
    section("Hétvégére vagy munkaszüneti napra esik, érdemes átnézni:", unusual);
    m_context.messages.show(text.join(u'\n'), QStringLiteral("Másolás"), UserMessages::Icon::Information,
                            UserMessages::Buttons::Ok);
}
