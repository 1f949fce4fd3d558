#pragma once

#include "model/Months.h"
#include "model/Records.h"

#include <QString>

// The program-wide state: the organisation's settings, which every panel
// reads, and the month that is open or exported, which the month choosers
// set and the schedule and export read. Everything else belongs to the
// panel that uses it. One Base lives as long as the main window.
struct Base {
    Settings CurrentSettings;

    qint32 SelectedYear = 0;
    quint8 SelectedMonth = 0; // 1..12
    QString SelectedMonthName;
    qint32 DaysInSelectedMonth = 0;

    // Makes month (1..12) of year the selected month.
    void selectMonth(qint32 year, int month);
};
