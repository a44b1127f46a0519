#!/usr/bin/env python3
"""Runs one shell command several times; prints the median wall time in
seconds and the largest peak resident memory in megabytes of the process
tree's largest child, as "SECONDS MEGABYTES". Exit 1 when a run fails.

usage: run_timed.py RUNS 'shell command'
"""
import os
import resource
import statistics
import subprocess
import sys
import time


def main():
    runs = int(sys.argv[1])
    command = sys.argv[2]
    times = []
    peak_kb = 0
    for _ in range(runs):
        start = time.monotonic()
        proc = subprocess.Popen(["bash", "-c", command])
        _, status, usage = os.wait4(proc.pid, 0)
        times.append(time.monotonic() - start)
        # bash execs the last command of a simple pipeline-less command line;
        # for pipelines the children's figure is read below.
        peak_kb = max(peak_kb, usage.ru_maxrss)
        if os.waitstatus_to_exitcode(status) != 0:
            print("failed: %s" % command, file=sys.stderr)
            return 1
    children = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
    peak_kb = max(peak_kb, children)
    print("%.3f %.1f" % (statistics.median(times), peak_kb / 1024.0))
    return 0


if __name__ == "__main__":
    sys.exit(main())
