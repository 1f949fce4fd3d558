#pragma once

#include <QDate>
#include <QString>

// The Hungarian calendar an appointment is checked against: weekday names
// and the public holidays (munkaszüneti napok), Easter computed, nothing
// looked up.

// "hétfő" … "vasárnap"; empty for an invalid date.
QString HungarianWeekday(QDate date);

// Easter Sunday of a Gregorian year (the Anonymous Gregorian algorithm).
QDate EasterSunday(int year);

// The public holiday's name ("újév", "húsvéthétfő"), empty on any other day.
// 24 December is one from 2024 on.
QString HolidayName(QDate date);

bool IsWeekend(QDate date);

// "péntek – újév" on a holiday, the weekday alone on another day.
QString DayDescription(QDate date);

// "2027. 01. 01." as dates are said in the program's messages.
QString HungarianDateText(QDate date);

// Where an appointment of a month falls when the month is copied into
// another: the same weekday of the same week, week = (day - 1) / 7, the
// weekday counted from the target month's first day (the 2nd Tuesday to the
// 2nd Tuesday). An invalid date when the target month has no such day (a
// 5th Monday).
QDate SameWeekdayIn(QDate source, int targetYear, int targetMonth);
