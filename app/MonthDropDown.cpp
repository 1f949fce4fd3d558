#include "app/MonthDropDown.h"

#include "app/Shell.h"
#include "model/Base.h"
#include "store/DataModule.h"
#include "store/DonationStore.h"

#include <QComboBox>

#include <algorithm>

void loadMonthDropDown(const AppContext& context, QComboBox& dropDown, MonthTable& months, const QString& placeholder,
                       MonthOrder order)
{
    QList<MonthEntry> found = LoadMonthChoices(context.dm.datacore, context.base.CurrentSettings.megye_kod);
    if (order == MonthOrder::LatestFirst)
        std::reverse(found.begin(), found.end());
    months.clear();
    dropDown.clear();
    if (!placeholder.isEmpty())
        dropDown.addItem(placeholder);
    for (const MonthEntry& month : found) {
        months.append(month);
        dropDown.addItem(QString::number(month.ev) + u' ' + month.honap_s);
    }
}
