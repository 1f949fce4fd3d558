"""Starts the start-up benchmark repeatedly; prints median wall time and peak memory."""
import os
import statistics
import sys
import time

program, rounds = sys.argv[1], int(sys.argv[2])
times, peaks = [], []
for _ in range(rounds):
    start = time.perf_counter()
    pid = os.fork()
    if pid == 0:
        os.execv(program, [program])
    _, status, usage = os.wait4(pid, 0)
    times.append((time.perf_counter() - start) * 1000)
    peaks.append(usage.ru_maxrss / 1024)
    if status != 0:
        sys.exit(f"start-up failed with status {status}")
print(f"start-up to shown window: median {statistics.median(times):.0f} ms "
      f"(min {min(times):.0f}, max {max(times):.0f}) over {rounds} runs; "
      f"peak memory median {statistics.median(peaks):.1f} MB")
