"""Runs a command repeatedly in fresh processes; prints as JSON the median
wall time of the whole process, the median of the time the program reports
for its own work (a line "work_ms=N" on its output, when it prints one) and
the median peak memory (maximum resident set).
Usage: measure.py ROUNDS COMMAND [ARGS...]"""
import json
import os
import statistics
import subprocess
import sys
import time

rounds, command = int(sys.argv[1]), sys.argv[2:]
times, work, peaks = [], [], []
for _ in range(rounds):
    start = time.perf_counter()
    child = subprocess.Popen(command, stdout=subprocess.PIPE)
    output = child.stdout.read().decode()
    _, status, usage = os.wait4(child.pid, 0)
    times.append((time.perf_counter() - start) * 1000)
    peaks.append(usage.ru_maxrss / 1024)
    if status != 0:
        sys.exit(f"{command[0]} failed with status {status}")
    for line in output.splitlines():
        if line.startswith("work_ms="):
            work.append(float(line.split("=", 1)[1]))
result = {"process_ms": round(statistics.median(times), 1), "peak_mb": round(statistics.median(peaks), 1)}
if work:
    result["work_ms"] = round(statistics.median(work), 1)
print(json.dumps(result))
