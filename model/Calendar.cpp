#include "model/Calendar.h"

#include <array>

QString HungarianWeekday(QDate date)
{
    static const std::array<QString, 7> names{QStringLiteral("hétfő"),   QStringLiteral("kedd"),
                                              QStringLiteral("szerda"),  QStringLiteral("csütörtök"),
                                              QStringLiteral("péntek"),  QStringLiteral("szombat"),
                                              QStringLiteral("vasárnap")};
    return date.isValid() ? names[size_t(date.dayOfWeek() - 1)] : QString();
}

QDate EasterSunday(int year)
{
    const int a = year % 19;
    const int b = year / 100;
    const int c = year % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = (h + l - 7 * m + 114) % 31 + 1;
    return QDate(year, month, day);
}

QString HolidayName(QDate date)
{
    if (!date.isValid())
        return {};
    struct Fixed {
        int month;
        int day;
        const char* name;
    };
    static constexpr std::array<Fixed, 9> fixed{{{1, 1, "újév"},
                                                 {3, 15, "nemzeti ünnep"},
                                                 {5, 1, "a munka ünnepe"},
                                                 {8, 20, "államalapítás"},
                                                 {10, 23, "nemzeti ünnep"},
                                                 {11, 1, "mindenszentek"},
                                                 {12, 24, "szenteste"},
                                                 {12, 25, "karácsony"},
                                                 {12, 26, "karácsony másnapja"}}};
    for (const Fixed& holiday : fixed) {
        if (holiday.month == date.month() && holiday.day == date.day()) {
            if (holiday.month == 12 && holiday.day == 24 && date.year() < 2024)
                return {};
            return QString::fromUtf8(holiday.name);
        }
    }
    struct Movable {
        int fromEaster;
        const char* name;
    };
    static constexpr std::array<Movable, 5> movable{
        {{-2, "nagypéntek"}, {0, "húsvétvasárnap"}, {1, "húsvéthétfő"}, {49, "pünkösdvasárnap"}, {50, "pünkösdhétfő"}}};
    const qint64 fromEaster = EasterSunday(date.year()).daysTo(date);
    for (const Movable& holiday : movable) {
        if (holiday.fromEaster == fromEaster)
            return QString::fromUtf8(holiday.name);
    }
    return {};
}

bool IsWeekend(QDate date)
{
    return date.isValid() && date.dayOfWeek() >= Qt::Saturday;
}

QString DayDescription(QDate date)
{
    const QString holiday = HolidayName(date);
    return holiday.isEmpty() ? HungarianWeekday(date) : HungarianWeekday(date) + QStringLiteral(" – ") + holiday;
}

QString HungarianDateText(QDate date)
{
    return date.toString(QStringLiteral("yyyy. MM. dd."));
}

QDate SameWeekdayIn(QDate source, int targetYear, int targetMonth)
{
    const QDate first(targetYear, targetMonth, 1);
    if (!source.isValid() || !first.isValid())
        return {};
    const int week = (source.day() - 1) / 7;
    const int day = 1 + (source.dayOfWeek() - first.dayOfWeek() + 7) % 7 + 7 * week;
    return day <= first.daysInMonth() ? QDate(targetYear, targetMonth, day) : QDate();
}
