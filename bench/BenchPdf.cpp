// Writes the printable month of ROWS appointments to PATH and exits;
// bench/run times it against ReportLab laying out the same rows.
// Usage: bench-pdf PATH ROWS

#include "bench/GeneratedMonth.h"
#include "export/PrintableMonth.h"

#include <QGuiApplication>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv); // fonts need the application
    if (argc != 3)
        return 2;
    const int rows = QString::fromLocal8Bit(argv[2]).toInt();
    const auto start = std::chrono::steady_clock::now();
    GeneratedMonth month(rows);
    PrintableMonth::writeFile(QString::fromLocal8Bit(argv[1]), month,
                              PrintableMonth::title(QStringLiteral("Borsod-Abaúj-Zemplén"), 2020,
                                                    QStringLiteral("Szeptember")));
    std::printf("work_ms=%.1f\n",
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    return 0;
}
