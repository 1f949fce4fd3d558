#include "model/Months.h"

const std::array<QString, 12> MonthNames = {
    QStringLiteral("Január"),     QStringLiteral("Február"), QStringLiteral("Március"),  QStringLiteral("Április"),
    QStringLiteral("Május"),      QStringLiteral("Június"),  QStringLiteral("Július"),   QStringLiteral("Augusztus"),
    QStringLiteral("Szeptember"), QStringLiteral("Október"), QStringLiteral("November"), QStringLiteral("December"),
};

QString TwoDigitText(int number)
{
    return number >= 1 && number <= 9 ? QStringLiteral("0") + QString::number(number) : QString::number(number);
}

MonthEntry monthEntry(qint32 year, int monthNumber)
{
    MonthEntry entry;
    entry.ev = year;
    if (monthNumber >= 1 && monthNumber <= 12) {
        entry.honap = quint8(monthNumber - 1);
        entry.honap_s = MonthNames[entry.honap];
    }
    return entry;
}
