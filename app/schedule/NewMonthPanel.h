#pragma once

#include "app/schedule/MonthChooserPanel.h"
#include "model/Months.h"
#include "store/MonthCopy.h"

#include <optional>

class QCheckBox;
class QComboBox;

// pnlNewTable: asks for the year and month to schedule, preselecting the
// month after today's. Starting a month writes nothing, unless "Másolás
// innen:" is ticked: then the chosen month of the county is copied into the
// new one first (MonthCopy), and a box tells what was copied and what not.
class NewMonthPanel : public MonthChooserPanel {
public:
    static constexpr int firstYear = 2012;

    NewMonthPanel(AppContext& context, QWidget* parent);

    void btnNewClick();

    // The months behind the source drop-down, latest first.
    MonthTable SourceMonths;

protected:
    void forward() override; // btnMakeTableClick

private:
    void buildCopyChoice();
    // The same month a year earlier when it holds appointments, else the latest.
    void preselectSource();
    // Copies the source into year/month; no outcome when nothing was copied
    // (a box said why).
    std::optional<MonthCopyOutcome> copyInto(const MonthEntry& source, int year, int month);
    void reportCopy(const MonthCopyOutcome& outcome, const MonthEntry& source, int year, int month);

    static constexpr int listedAtMost = 12; // rows named in each part of the copy's box

    QComboBox* m_cmbYear;
    QComboBox* m_cmbMonth;
    QCheckBox* m_chkCopy;
    QComboBox* m_cmbSource;
};
