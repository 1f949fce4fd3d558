#include "bench/BenchSupport.h"

#include "store/Connection.h"
#include "store/Schema.h"

#include <QFile>

#include <sqlite3.h>

#include <algorithm>
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
    char* error = nullptr;
    if (sqlite3_exec(connection.handle(), sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "?";
        sqlite3_free(error);
        throw std::runtime_error(message);
    }
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

} // namespace bench
