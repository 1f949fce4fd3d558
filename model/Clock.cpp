#include "model/Clock.h"

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

int CurrentYear(const Clock& clock)
{
    return clock.now().date().year();
}

int CurrentMonth(const Clock& clock)
{
    return clock.now().date().month();
}
