#pragma once

#include "export/MailAccount.h"

class DataModule;
struct Base;
class UserMessages;
class Clock;
class WorkbookViewer;

// What a panel may ask of the main window around it.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void EnableToolbar() = 0;
    virtual void DisableToolbar() = 0;
    // After DisableToolbar: the toolbar itself enabled so it draws normally,
    // every button still disabled.
    virtual void EnableToolbarFrame() = 0;
    // A long action (a send) has ended and its boxes were answered: a close
    // of the window asked for meanwhile happens now.
    virtual void longActionEnded() = 0;
    // The month chosen in a month panel (SelectedYear, SelectedMonth) opens
    // in the appointments panel.
    virtual void openSelectedMonth() = 0;
};

// Everything a panel works with, handed over by the main window.
struct AppContext {
    DataModule& dm;
    Base& base;
    UserMessages& messages;
    const Clock& clock;
    WorkbookViewer& viewer;
    Shell& shell;
    MailAccount mail; // the built-in account; tests point it elsewhere
};

// Before a toolbar button opens its panel: the county gate (while no county
// is chosen in the settings, shows "<what>, amig nincsen kiválasztva a
// Megye! [BEÁLLÍTÁSOK]" under "Hiányos adatok!" and answers false), then the
// toolbar disabled while the panel is open.
bool mayOpenPanel(const AppContext& context, const QString& what);
