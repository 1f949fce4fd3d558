// Writes one workbook of ROWS x 7 cells (the export's columns) to PATH and
// exits; bench/run times it against xlwt writing the same rows.
// Usage: bench-xls PATH ROWS

#include "bench/GeneratedMonth.h"
#include "export/XlsWriter.h"

#include <chrono>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const int rows = QString::fromLocal8Bit(argv[2]).toInt();
    const auto start = std::chrono::steady_clock::now();
    GeneratedMonth month(rows);
    XlsWriter::writeFile(QString::fromLocal8Bit(argv[1]), month, QStringLiteral("Borsod-Abaúj-Zemplén"));
    std::printf("work_ms=%.1f\n",
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    return 0;
}
