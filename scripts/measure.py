"""Helpers of scripts/measure: summarise strace logs, and time window starts and imports."""
import os
import re
import statistics
import subprocess
import sys
import time
from collections import Counter


def target_of(line, image):
    """Which file a traced call is about: the image, its journal, its folder, or None."""
    journal = image + ".statwright-journal"
    if journal in line:
        return "journal"
    if image in line:
        return "image"
    folder = os.path.dirname(image)
    # Opened by its name, or flushed and closed through a descriptor strace names it for.
    if re.search(r"\"" + re.escape(folder) + r"\"|\(\d+<" + re.escape(folder) + r">\)", line):
        return "folder"
    return None


def syscalls(trace_path, image):
    """System calls on the image, its journal and its folder between the probe's markers."""
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
            elif phase:
                target = target_of(line, image)
                match = call.match(line)
                if target and match:
                    counts[phase][(target, match.group(1))] += 1
    show(f"System calls of one load and one save of {os.path.basename(image)} "
         "(strace -f -y):", counts)


def show(title, counts):
    keys = sorted(set().union(*counts.values()))
    print(title)
    print(f"  {'file':<8} {'call':<10} " + " ".join(f"{phase:>9}" for phase in counts))
    for target, name in keys:
        print(f"  {target:<8} {name:<10} " +
              " ".join(f"{counts[phase][(target, name)]:>9}" for phase in counts))
    print(f"  {'total':<19} " + " ".join(f"{sum(c.values()):>9}" for c in counts.values()))


def import_(cli, image, first, second, runs):
    """The calls of an import that changes every entry, and its time, median of `runs`."""
    trace = image + ".trace"
    subprocess.run(["strace", "-f", "-y", "-qq", "-o", trace, "-e",
                    "trace=openat,pread64,pwrite64,fsync,fdatasync,flock,unlink,close",
                    cli, "import", image, first], check=True, stdout=subprocess.DEVNULL)
    counts = {"import": Counter()}
    call = re.compile(r"^\d+\s+(\w+)\(")
    with open(trace, encoding="utf-8", errors="replace") as lines:
        for line in lines:
            target, match = target_of(line, image), call.match(line)
            if target and match:
                counts["import"][(target, match.group(1))] += 1
    show(f"System calls of one import of a whole changed table into "
         f"{os.path.basename(image)}:", counts)
    times = []
    for run in range(int(runs)):
        started = time.monotonic()
        subprocess.run([cli, "import", image, second if run % 2 == 0 else first], check=True,
                       stdout=subprocess.DEVNULL)
        times.append((time.monotonic() - started) * 1000.0)
    print(f"  time of one import, median of {runs}: {statistics.median(times):.1f} ms "
          f"(min {min(times):.1f}, max {max(times):.1f})")


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
    """Start to first paint and peak resident memory: the real window next to a bare one, and
    to a bare one that draws one line of text (what finding and drawing a font costs)."""
    runs = int(runs)
    results = {"first-paint": [], "empty-window": [], "one-line": []}
    start_once(probe, "empty-window")  # warm the caches for all
    for _ in range(runs):
        for mode in results:  # alternate, so all see the same machine
            results[mode].append(start_once(probe, mode))
    median = {mode: (statistics.median(t for t, _ in values),
                     statistics.median(m for _, m in values))
              for mode, values in results.items()}
    window, empty, line = median["first-paint"], median["empty-window"], median["one-line"]
    print(f"Start to first paint and peak memory, median of {runs} starts each (Xvfb):")
    print(f"  {'':<30} {'first paint':>12} {'peak RSS':>10}")
    print(f"  {'Statwright window':<30} {window[0]:>9.1f} ms {window[1]:>7.1f} MB")
    print(f"  {'bare Qt main window':<30} {empty[0]:>9.1f} ms {empty[1]:>7.1f} MB")
    print(f"  {'bare window, one line of text':<30} {line[0]:>9.1f} ms {line[1]:>7.1f} MB")
    print(f"  {'ratio to the bare window':<30} {window[0] / empty[0]:>11.2f}x "
          f"{window[1] / empty[1]:>8.2f}x")
    print(f"  {'ratio to the one line':<30} {window[0] / line[0]:>11.2f}x "
          f"{window[1] / line[1]:>8.2f}x")


if __name__ == "__main__":
    {"syscalls": syscalls, "windows": windows, "import": import_}[sys.argv[1]](*sys.argv[2:])
