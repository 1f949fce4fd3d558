#pragma once

#include "app/Panel.h"
#include "app/Shell.h"
#include "export/MonthFileExport.h"
#include "model/Months.h"

class MonthDispatch;
class QComboBox;
class QLabel;
class QProgressBar;
class QToolButton;
struct DispatchOutcome;
struct MonthExport;

// pnlExport: the county's months that hold appointments; the chosen one is
// saved as a workbook, mailed as XML or written as a printable PDF. The
// panel presents: the work is done by MonthFileExport and MonthDispatch.
class ExportPanel : public Panel {
public:
    ExportPanel(AppContext& context, QWidget* parent);
    ~ExportPanel() override;

    // The months behind the drop-down: item k (k >= 1) is entry k - 1.
    MonthTable MonthList;

    void btnExportClick();
    void cmbExportCloseUp();
    void btnCloseExportClick();
    void btnExcelClick();
    void btnSendClick();
    void btnPrintClick();

    // True while a mail is being sent.
    bool busy() const;
    MonthDispatch& dispatch() const { return *m_dispatch; }

private:
    // The gauge and the end of a send follow the dispatch's signals.
    void followDispatch();
    // The chosen month, selected, with the stamp of this moment.
    MonthExport chosenMonth();
    void advanceGauge(int by = 1);
    // Back to "open, no month": after an action, whether it ended well or not.
    void endAction();
    void sendEnded(const DispatchOutcome& outcome);
    void setControlsEnabled(bool enabled);
    void setActionsEnabled(bool enabled);
    // Writes the chosen month as a workbook or a printable PDF and shows it.
    void saveAndShow(MonthFileExport::Kind kind);

    AppContext& m_context;
    MonthDispatch* m_dispatch;
    QComboBox* m_cmbExport;
    QLabel* m_lblSend;
    QToolButton* m_btnSend;
    QToolButton* m_btnExcel;
    QToolButton* m_btnPrint;
    QProgressBar* m_prbSending;
    QToolButton* m_btnClose;
};
