#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Start-up time and peak memory of the window against a minimal Qt Widgets program.

    bench/startup.py BUILD_DIR [RUNS]

Runs the probes of bench/startup_probe.cpp in turn RUNS times each (default 5) and prints the
median wall time from process start to the window's first paint (the probe quits there) and
the median peak resident memory, with the window's ratios to the empty window and to the empty
window with one Chinese label. Uses the offscreen platform unless QT_QPA_PLATFORM is set.
"""
import os
import statistics
import subprocess
import sys
import time


def run_once(exe):
    start = time.perf_counter()
    pid = os.fork()
    if pid == 0:
        devnull = os.open(os.devnull, os.O_WRONLY)
        os.dup2(devnull, 2)  # Qt's offscreen notes
        os.execv(exe, [exe])
    _, status, usage = os.wait4(pid, 0)
    elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{exe} failed")
    return elapsed * 1000.0, usage.ru_maxrss / 1024.0


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
    probes = {
        "mainform": os.path.join(build, "bench", "startup_probe_mainform"),
        "minimal": os.path.join(build, "bench", "startup_probe_minimal"),
        "label": os.path.join(build, "bench", "startup_probe_label"),
    }
    for exe in probes.values():
        run_once(exe)  # warm the file cache
    results = {name: [] for name in probes}
    for _ in range(runs):
        for name, exe in probes.items():
            results[name].append(run_once(exe))
    med = {}
    for name, samples in results.items():
        ms = statistics.median(s[0] for s in samples)
        mib = statistics.median(s[1] for s in samples)
        med[name] = (ms, mib)
        print(f"{name:9s} start-up {ms:7.1f} ms   peak memory {mib:6.1f} MiB   "
              f"(median of {runs}: {', '.join(f'{s[0]:.1f}' for s in samples)} ms)")
    for base in ("minimal", "label"):
        print(f"mainform/{base:7s} start-up {med['mainform'][0] / med[base][0]:.3f}   "
              f"peak memory {med['mainform'][1] / med[base][1]:.3f}")


if __name__ == "__main__":
    main()
