#pragma once

#include "app/MainWindow.h"
#include "support/RecordingMessages.h"
#include "support/TestDoubles.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

class Tdm;
class TfrmMain;

class QHeaderView;

// The direction of the sort mark as the header draws it: Qt::AscendingOrder
// for an arrow pointing up (▲), Qt::DescendingOrder for one pointing down.
// Read from the pixels of the marked section, not from the header's state.
Qt::SortOrder drawnSortMark(QHeaderView* header);

// Types text key by key, accented letters included (QTest::keyClicks takes
// ASCII only).
void typeText(QWidget* widget, const QString& text);

// A fresh datacore.vdf built by the same code as kelmir-newdb, in a
// temporary folder that becomes the working directory for the test.
class DatabaseFolder {
public:
    DatabaseFolder();
    ~DatabaseFolder();
    QString path() const { return m_dir.path(); }
    QString databasePath() const;
    // Runs SQL on the file directly (collation registered), for arranging
    // and checking what the program stored.
    void exec(const QString& sql) const;
    QString scalar(const QString& sql) const;
    // The first column of every row of a select, as text.
    QStringList lines(const QString& sql) const;

    // Arranging data the way the program stores it.
    void chooseCounty(int county, const QString& recipient = QStringLiteral("cel@example.hu")) const;
    // A location at the settlement with that name and postcode; returns its id.
    int addLocation(const char* telepules, int irsz, const char* cim, const char* helyszin, int deleted = 0) const;
    void addDonation(const char* ev, const char* honap, const char* nap, const char* kezdes, const char* befejezes,
                     int location) const;

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// The real main window on the folder's database, with recording seams.
struct RunningProgram {
    RecordingMessages messages;
    FixedClock clock;
    RecordingViewer viewer;
    std::unique_ptr<Tdm> dm;
    std::unique_ptr<TfrmMain> window;
    bool started = false;

    RunningProgram();
    ~RunningProgram();
    // FormCreate, then shows the window when start-up succeeded.
    bool start();
    template <typename T>
    T* find(const QString& name) const;
    // Saves a picture of the window as NAME.png when KELMIR_SCREENSHOTS
    // names a folder; does nothing otherwise.
    void screenshot(const QString& name) const;
};

template <typename T>
T* RunningProgram::find(const QString& name) const
{
    return window->findChild<T*>(name);
}
