#pragma once

#include "model/Months.h"

class QComboBox;
struct AppContext;

enum class MonthOrder { Chronological, LatestFirst };

// Fills a month drop-down and the table behind it with the county's months
// that hold appointments, as "2013 Szeptember", after placeholder when one
// is given. Throws DatabaseError when the month query fails.
void loadMonthDropDown(const AppContext& context, QComboBox& dropDown, MonthTable& months,
                       const QString& placeholder = {}, MonthOrder order = MonthOrder::Chronological);
