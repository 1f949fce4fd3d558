#include "bench/BenchSupport.h"

#include "store/Connection.h"
#include "store/Schema.h"
#include "store/sqlite/HungarianCollation.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

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

Psql::Psql(const QString& uri)
{
    m_process.start(QStringLiteral("psql"), {"-X", "-q", "-A", "-t", "-o", "/dev/null", uri});
    if (!m_process.waitForStarted())
        throw std::runtime_error("psql does not start");
    m_process.write("\\timing on\n");
}

Psql::~Psql()
{
    m_process.closeWriteChannel();
    m_process.waitForFinished();
}

double Psql::run(const QByteArray& statement)
{
    m_process.write(statement + "\n\\echo KESZ\n");
    QByteArray output;
    while (!output.contains("KESZ\n")) {
        if (!m_process.waitForReadyRead(30000))
            throw std::runtime_error("psql does not answer");
        output += m_process.readAllStandardOutput();
    }
    const QRegularExpressionMatch time =
        QRegularExpression(QStringLiteral("Time: ([0-9.]+) ms")).match(QString::fromUtf8(output));
    if (!time.hasMatch())
        throw std::runtime_error("psql gave no time: " + output.toStdString());
    return time.captured(1).toDouble() * 1000.0;
}

Link::Link(const QString& serverSocket, int delayMs)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral("/usr/bin/python3"),
                    {QStringLiteral(KELMIR_SOURCE_DIR "/tests/peers/link_proxy.py"), serverSocket,
                     QStringLiteral("--delay-ms"), QString::number(delayMs)});
    m_port = quint16(QJsonDocument::fromJson(command({})).object().value("port").toInt());
    if (m_port == 0)
        throw std::runtime_error("the link proxy does not start");
}

Link::~Link()
{
    m_process.closeWriteChannel();
    m_process.waitForFinished(5000);
}

int Link::trips()
{
    return QJsonDocument::fromJson(command("trips")).object().value("trips").toInt();
}

QByteArray Link::command(const QByteArray& line)
{
    if (!line.isEmpty())
        m_process.write(line + '\n');
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(30000))
            throw std::runtime_error("the link proxy does not answer");
    }
    return m_process.readLine();
}

} // namespace bench
