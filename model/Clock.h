#pragma once

#include <QDateTime>

// Today's date and time; tests fix them.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override;
};

// Today's year and month (1..12).
int CurrentYear(const Clock& clock);
int CurrentMonth(const Clock& clock);
