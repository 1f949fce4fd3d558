#pragma once

#include "app/MainWindow.h"
#include "support/RecordingMessages.h"
#include "support/TestDoubles.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

class DataModule;
class MainWindow;

class QHeaderView;

// The direction of the sort mark as the header draws it: Qt::AscendingOrder
// for an arrow pointing up (▲), Qt::DescendingOrder for one pointing down.
// Read from the pixels of the marked section, not from the header's state.
Qt::SortOrder drawnSortMark(QHeaderView* header);

// Types text key by key, accented letters included (QTest::keyClicks takes
// ASCII only).
void typeText(QWidget* widget, const QString& text);

class Connection;

// A fresh database built by the same code as kelmir-newdb, and a temporary
// folder that becomes the working directory for the test. The database is
// datacore.vdf in that folder; when KELMIR_TEST_SERVER names the state file
// of the test server (tests/postgres/test-server), it is a fresh database on
// that server instead, which the program opens through KELMIR_DATABASE.
class DatabaseFolder {
public:
    DatabaseFolder();
    // A database built from another reference list (a CSV file of the same
    // shape as the built-in one), as an earlier version wrote it.
    explicit DatabaseFolder(const QString& referenceCsv);
    ~DatabaseFolder();
    // Whether this run of the suite keeps its data on the test server.
    static bool onServer();
    // The URI of a database of that name on the test server.
    static QString serverDatabaseUri(const QString& name);
    // The test server's socket, for a proxy in front of it.
    static QString serverSocket();
    // This folder's server database reached on 127.0.0.1 at port (a proxy's).
    QString databaseUriThrough(quint16 port) const;
    QString path() const { return m_dir.path(); }
    // The file's path, or the server database's URI.
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

    // Faults arranged in the engine's own terms: every INSERT or UPDATE
    // (event) on table fails with message; another program takes every
    // table's lock on connection and holds it until ROLLBACK.
    void refuseWrites(const QString& table, const QString& event, const QString& message) const;
    static void lockEverything(Connection& connection);

private:
    QTemporaryDir m_dir;
    QString m_previous;
    QString m_serverDatabase; // its name; empty for a file
    QString m_target;
};

// The real main window on the folder's database, with recording seams.
struct RunningProgram {
    RecordingMessages messages;
    FixedClock clock;
    RecordingViewer viewer;
    std::unique_ptr<DataModule> dm;
    std::unique_ptr<MainWindow> window;
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
