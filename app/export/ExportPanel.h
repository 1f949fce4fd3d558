#pragma once

#include "app/Panel.h"
#include "app/Shell.h"
#include "export/SmtpClient.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QToolButton;

// pnlExport: the county's months that hold appointments; the chosen one is
// saved as a workbook under excel/ or mailed as XML.
class ExportPanel : public Panel {
public:
    ExportPanel(AppContext& context, QWidget* parent);

    void btnExportClick();
    void cmbExportCloseUp();
    void btnCloseExportClick();
    void btnExcelClick();
    void btnSendClick();

    // True while a mail is being sent.
    bool busy() const { return m_busy; }

    QProgressBar* gauge() const { return m_prbSending; }

private:
    void advanceGauge();
    // Back to "open, no month": after an action, whether it ended well or not.
    void endAction();
    void runExcelAction();
    void runSendAction();
    QString exportPath(const QString& folder, const QString& extension) const;
    // connect, send, disconnect off the user-interface thread; returns the
    // error texts of the first two steps (empty when they succeeded).
    std::pair<QString, QString> dispatch(const QStringList& recipients, const SmtpClient::MessageWriter& message);
    void setControlsEnabled(bool enabled);

    AppContext& m_context;
    QComboBox* m_cmbExport;
    QLabel* m_lblSend;
    QToolButton* m_btnSend;
    QToolButton* m_btnExcel;
    QProgressBar* m_prbSending;
    QToolButton* m_btnClose;
    bool m_busy = false;
};
