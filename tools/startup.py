#!/usr/bin/python3
"""Vexarion's start-up beyond an empty SDL + OpenGL program, for tools/bench.sh.

    tools/startup.py BASELINE RUN_FOLDER [PAIRS]

Runs the baseline (tools/startup-baseline.c, built by bench.sh) and
`vexarion-replay --frames 1` one after the other, PAIRS times (default 31),
on the display and with the sound drivers of the environment, and prints the
medians: the program's wall time, the baseline's, and the program's extra
time per pair. Paired runs see the same machine load; the median drops the
runs a busy moment spoiled. The first pair only warms the caches.
"""
import os
import statistics
import subprocess
import sys
import time


def wall(command, folder):
    start = time.perf_counter()
    subprocess.run(command, cwd=folder, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    return (time.perf_counter() - start) * 1000.0


def main():
    baseline, folder = os.path.abspath(sys.argv[1]), sys.argv[2]
    pairs = int(sys.argv[3]) if len(sys.argv) > 3 else 31
    program = [os.path.join(os.path.abspath(folder), "vexarion-replay"), "--frames", "1"]
    empty, own, extra = [], [], []
    for n in range(pairs + 1):
        e = wall([baseline], folder)
        p = wall(program, folder)
        if n > 0:
            empty.append(e)
            own.append(p)
            extra.append(p - e)
    print("startup_ms %.1f" % statistics.median(own))
    print("startup_empty_ms %.1f" % statistics.median(empty))
    print("startup_extra_ms %.1f" % statistics.median(extra))


main()
