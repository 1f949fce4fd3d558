#include "model/Base.h"

#include <QDate>

void Base::selectMonth(qint32 year, int month)
{
    SelectedYear = year;
    SelectedMonth = quint8(month);
    SelectedMonthName = monthEntry(year, month).honap_s;
    DaysInSelectedMonth = QDate(year, month, 1).daysInMonth();
}
