"""Runs commands in fresh processes, rounds alternated so that each meets
the same machine; prints for each, as one JSON line, the median wall time of
the whole process, the median of the time the program reports for its own
work (a line "work_ms=N" on its output, when it prints one) and the median
peak memory (maximum resident set).
Usage: measure.py ROUNDS COMMAND [ARGS...] [-- COMMAND [ARGS...]]"""
import json
import os
import statistics
import subprocess
import sys
import time

rounds = int(sys.argv[1])
commands, current = [], []
for arg in sys.argv[2:]:
    if arg == "--":
        commands.append(current)
        current = []
    else:
        current.append(arg)
commands.append(current)
figures = [{"times": [], "work": [], "peaks": []} for _ in commands]
for _ in range(rounds):
    for command, figure in zip(commands, figures):
        start = time.perf_counter()
        child = subprocess.Popen(command, stdout=subprocess.PIPE)
        output = child.stdout.read().decode()
        _, status, usage = os.wait4(child.pid, 0)
        figure["times"].append((time.perf_counter() - start) * 1000)
        figure["peaks"].append(usage.ru_maxrss / 1024)
        if status != 0:
            sys.exit(f"{command[0]} failed with status {status}")
        for line in output.splitlines():
            if line.startswith("work_ms="):
                figure["work"].append(float(line.split("=", 1)[1]))
for figure in figures:
    result = {"process_ms": round(statistics.median(figure["times"]), 1),
              "peak_mb": round(statistics.median(figure["peaks"]), 1)}
    if figure["work"]:
        result["work_ms"] = round(statistics.median(figure["work"]), 1)
    print(json.dumps(result))
