#include "bench/BenchSupport.h"

#include "store/Connection.h"
#include "store/Schema.h"
#include "store/sqlite/HungarianCollation.h"

#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace bench {

void createReferenceDatabase(const QString& path)
{
    QFile csv(QStringLiteral(KELMIR_REFERENCE_CSV));
    if (!csv.open(QIODevice::ReadOnly))
        throw std::runtime_error("reference CSV missing");
    createDatabaseFile(path, ReferenceData::fromCsv(csv.readAll()));
}

void exec(const QString& path, const QString& sql)
{
    Connection connection;
    connection.open(path);
    connection.execute(sql);
}

sqlite3* openEngine(const QString& path)
{
    sqlite3* db = nullptr;
    // Opened as the program opens its own: one thread, no mutexes.
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr)
        != SQLITE_OK)
        throw std::runtime_error("cannot open the file");
    registerHungarianCollation(db);
    return db;
}

void closeEngine(sqlite3* db)
{
    sqlite3_close_v2(db);
}

double medianMicros(int rounds, const std::function<void()>& fn)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        fn();
        times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

int stepWithEngine(sqlite3* db, const QByteArray& sql)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, nullptr);
    int rows = 0;
    const int columns = sqlite3_column_count(statement);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            if (sqlite3_column_type(statement, c) == SQLITE_INTEGER)
                (void)sqlite3_column_int(statement, c);
            else
                (void)sqlite3_column_bytes(statement, c);
        }
        ++rows;
    }
    sqlite3_finalize(statement);
    return rows;
}

std::pair<double, double> alternateMedians(int rounds, const std::function<void()>& a, const std::function<void()>& b)
{
    std::vector<double> timesA;
    std::vector<double> timesB;
    auto time = [](const std::function<void()>& fn) {
        const auto start = std::chrono::steady_clock::now();
        fn();
        return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    };
    a(); // warm both up once
    b();
    for (int i = 0; i < rounds; ++i) {
        timesA.push_back(time(a));
        timesB.push_back(time(b));
    }
    std::sort(timesA.begin(), timesA.end());
    std::sort(timesB.begin(), timesB.end());
    return {timesA[timesA.size() / 2], timesB[timesB.size() / 2]};
}

void report(const char* what, int rows, double program, double engine, int rounds)
{
    std::printf("%s, %d rows\n", what, rows);
    std::printf("  program (statement, static result, grid model): %8.0f us median of %d\n", program, rounds);
    std::printf("  engine alone, same statement and file:           %8.0f us median of %d\n", engine, rounds);
    std::printf("  ratio program/engine: %.2f\n", program / engine);
}

PrintedMessages::Answer PrintedMessages::show(const QString& text, const QString& caption, Icon, Buttons)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    return Answer::Ok;
}

} // namespace bench
