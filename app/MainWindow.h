#pragma once

#include "app/Shell.h"
#include "model/Base.h"
#include "store/DatabaseTarget.h"

#include <QStringList>
#include <QWidget>

class QKeySequence;
class QToolButton;
class DonationsPanel;
class ExportPanel;
class LocationsPanel;
class NewMonthPanel;
class OpenMonthPanel;
class SettingsPanel;
class Panel;
class DataModule;

// The main window (TfrmMain, frmMain): a toolbar over an empty client area of 900 x 680 pixels on which
// one panel at a time is shown. Owns the program-wide state (Base).
class MainWindow : public QWidget, public Shell {
public:
    MainWindow(DataModule& dm, UserMessages& messages, const Clock& clock, WorkbookViewer& viewer);
    ~MainWindow() override;

    // The start-up sequence. False when the database or one of its tables
    // could not be opened: the message has been shown, whatever was opened is
    // closed again, and the window must not be shown.
    bool FormCreate();
    void FormShow();
    // Shows the window centred on its screen's free area, and where the
    // screen is smaller than the window, with its top left corner (the title
    // bar, the toolbar) inside it.
    void showInsideScreen();
    // The configuration files that may name a database server (read by
    // FormCreate; the environment variable KELMIR_DATABASE wins over them).
    void setConfigurationFiles(QStringList files) { m_configurationFiles = std::move(files); }
    void FormClose();

    void EnableToolbar() override;
    void DisableToolbar() override;
    void EnableToolbarFrame() override;
    void longActionEnded() override;
    void openSelectedMonth() override;

    void btnExitClick();

    Base& base() { return m_base; }
    AppContext& context() { return m_context; }
    LocationsPanel* locationsPanel() const { return m_locations; }
    DonationsPanel* donationsPanel() const { return m_donations; }
    OpenMonthPanel* openMonthPanel() const { return m_openMonth; }
    ExportPanel* exportPanel() const { return m_export; }

    static constexpr QSize clientSize{900, 680};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool openDatabase();
    void buildToolbar();
    QToolButton* addToolbarButton(const QString& name, int left, int image, const QString& hint,
                                  const QKeySequence& keys);

    DataModule& m_dm;
    Base m_base;
    AppContext m_context;
    QWidget* m_toolbar = nullptr;
    QList<QWidget*> m_toolbarItems;
    QList<QToolButton*> m_toolbarButtons; // in their order along the toolbar
    QToolButton* m_lastPressed = nullptr; // where the keyboard returns after a panel
    SettingsPanel* m_settings = nullptr;
    LocationsPanel* m_locations = nullptr;
    DonationsPanel* m_donations = nullptr;
    NewMonthPanel* m_newMonth = nullptr;
    OpenMonthPanel* m_openMonth = nullptr;
    ExportPanel* m_export = nullptr;
    QStringList m_configurationFiles = DatabaseTarget::filePaths();
    bool m_closed = false;
    bool m_closeRequested = false; // while a mail was on its way
};
