#include "model/TimeText.h"

bool IsValidTime(const QString& text)
{
    if (text.size() != 5)
        return false;
    bool hoursOk = false;
    bool minutesOk = false;
    const int hours = text.left(2).toInt(&hoursOk);
    const int minutes = text.mid(3, 2).toInt(&minutesOk);
    return hoursOk && minutesOk && hours >= 0 && hours < 24 && minutes >= 0 && minutes < 60;
}

bool TimesOverlap(const QString& start, const QString& end, const QString& otherStart, const QString& otherEnd)
{
    return start < otherEnd && otherStart < end;
}
