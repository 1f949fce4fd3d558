#pragma once

#include <QString>

#include <chrono>
#include <functional>
#include <vector>

// Small helpers shared by the benchmarks: a reference database and a timer
// that reports medians.
namespace bench {

// Writes a fresh datacore.vdf with the reference data at path.
void createReferenceDatabase(const QString& path);
// Runs SQL on a file (collation registered).
void exec(const QString& path, const QString& sql);

// Runs fn `rounds` times and returns the median wall time in microseconds.
double medianMicros(int rounds, const std::function<void()>& fn);

} // namespace bench
