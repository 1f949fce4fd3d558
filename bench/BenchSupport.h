#pragma once

#include "model/UserMessages.h"

#include <QByteArray>
#include <QProcess>
#include <QString>

#include <chrono>
#include <functional>
#include <utility>
#include <vector>

// Small helpers shared by the benchmarks: a reference database and a timer
// that reports medians.
struct sqlite3;

namespace bench {

// Writes a fresh datacore.vdf with the reference data at path.
void createReferenceDatabase(const QString& path);
// Runs SQL on a file (collation registered).
void exec(const QString& path, const QString& sql);

// Runs fn `rounds` times and returns the median wall time in microseconds.
double medianMicros(int rounds, const std::function<void()>& fn);

// A connection of the engine's own to the file, with the collation the
// sorted columns are declared with; closed by closeEngine().
sqlite3* openEngine(const QString& path);
void closeEngine(sqlite3* db);

// The engine alone, once: prepares sql, steps every row reading every column
// (integers as integers, the rest as raw bytes), finalizes; returns the rows.
int stepWithEngine(sqlite3* db, const QByteArray& sql);

// Runs a and b alternately, `rounds` times each, so that both see the same
// machine; returns their median wall times in microseconds.
std::pair<double, double> alternateMedians(int rounds, const std::function<void()>& a, const std::function<void()>& b);

// Prints the side-by-side figures and their ratio.
void report(const char* what, int rows, double program, double engine, int rounds);

// psql in one session, fed one statement at a time.
class Psql {
public:
    explicit Psql(const QString& uri);
    ~Psql();
    // Runs the statement; returns psql's own time (\timing: sending the
    // statement to having its whole answer) in microseconds.
    double run(const QByteArray& statement);

private:
    QProcess m_process;
};

// The link of tests/peers/link_proxy.py in front of a server's socket, every
// packet held delayMs each way; counts the round trips the program makes.
class Link {
public:
    Link(const QString& serverSocket, int delayMs);
    ~Link();
    quint16 port() const { return m_port; }
    // The round trips since the last call.
    int trips();

private:
    QByteArray command(const QByteArray& line);
    QProcess m_process;
    quint16 m_port = 0;
};

// A user-message sink that prints instead of asking.
class PrintedMessages final : public UserMessages {
public:
    Answer show(const QString& text, const QString& caption, Icon, Buttons) override;
};

} // namespace bench
