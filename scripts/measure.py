"""Helpers of scripts/measure: summarise an strace log per step, and time window starts."""
import os
import re
import statistics
import subprocess
import sys
import time
from collections import Counter


def syscalls(trace_path, image):
    """System calls on the image between the probe's markers, like strace -c counts."""
    phase = None
    counts = {"load": Counter(), "save": Counter()}
    call = re.compile(r"^\d+\s+(\w+)\(")
    with open(trace_path, encoding="utf-8", errors="replace") as trace:
        for line in trace:
            if '"== load\\n"' in line:
                phase = "load"
            elif '"== save\\n"' in line:
                phase = "save"
            elif '"== end\\n"' in line:
                phase = None
            elif phase and image in line:
                match = call.match(line)
                if match:
                    counts[phase][match.group(1)] += 1
    names = sorted(set(counts["load"]) | set(counts["save"]))
    print(f"System calls on {os.path.basename(image)} (strace -f -y, filtered to its path):")
    print(f"  {'call':<10} {'one load':>9} {'one save':>9}")
    for name in names:
        print(f"  {name:<10} {counts['load'][name]:>9} {counts['save'][name]:>9}")
    print(f"  {'total':<10} {sum(counts['load'].values()):>9} {sum(counts['save'].values()):>9}")


def start_once(probe, mode):
    environment = dict(os.environ, QT_QPA_PLATFORM="xcb")
    started = time.monotonic()
    process = subprocess.Popen([probe, mode], stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, env=environment)
    line = process.stdout.readline()
    painted = time.monotonic()
    process.stdout.read()
    _, status, usage = os.wait4(process.pid, 0)
    process.returncode = status
    if line.strip() != b"painted":
        sys.exit(f"{mode}: the window did not report its first paint")
    return (painted - started) * 1000.0, usage.ru_maxrss / 1024.0


def windows(probe, runs):
    """Start to first paint and peak resident memory, the real window next to a bare one."""
    runs = int(runs)
    results = {"first-paint": [], "empty-window": []}
    start_once(probe, "empty-window")  # warm the caches for both
    for _ in range(runs):
        for mode in results:  # alternate, so both see the same machine
            results[mode].append(start_once(probe, mode))
    median = {mode: (statistics.median(t for t, _ in values),
                     statistics.median(m for _, m in values))
              for mode, values in results.items()}
    window, empty = median["first-paint"], median["empty-window"]
    print(f"Start to first paint and peak memory, median of {runs} starts each (Xvfb):")
    print(f"  {'':<22} {'first paint':>12} {'peak RSS':>10}")
    print(f"  {'Statwright window':<22} {window[0]:>9.1f} ms {window[1]:>7.1f} MB")
    print(f"  {'bare Qt main window':<22} {empty[0]:>9.1f} ms {empty[1]:>7.1f} MB")
    print(f"  {'ratio':<22} {window[0] / empty[0]:>11.2f}x {window[1] / empty[1]:>8.2f}x")


if __name__ == "__main__":
    {"syscalls": syscalls, "windows": windows}[sys.argv[1]](*sys.argv[2:])
