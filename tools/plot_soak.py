#!/usr/bin/python3
"""tools/plot_soak.py -- plots of the soak runs kept in docs/perf: resident memory over the run, and the
wall and CPU seconds each 50,000 passes took (CPU read off the resident-memory samples, which carry the
process's CPU seconds so far, at the times the passes were stamped).

    tools/plot_soak.py [PERF_DIR]        default docs/perf; reads soak-NAME-rss.csv and soak-NAME-marks.csv
"""
import bisect
import csv
import glob
import os
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt

MARK = 50000


def cpu_at(times, cpus, second):
    i = bisect.bisect_left(times, second)
    if i <= 0:
        return cpus[0]
    if i >= len(times):
        return cpus[-1]
    share = (second - times[i - 1]) / (times[i] - times[i - 1])
    return cpus[i - 1] + share * (cpus[i] - cpus[i - 1])


def plot(out, name):
    rss = list(csv.DictReader(open(os.path.join(out, name + "-rss.csv"))))
    times = [float(r["seconds"]) for r in rss]
    panels = 1
    marks_path = os.path.join(out, name + "-marks.csv")
    steps = []
    if "cpu_s" in rss[0] and os.path.exists(marks_path):
        cpus = [float(r["cpu_s"] or 0) for r in rss]
        marks = [(int(r["pass"]), float(r["seconds"])) for r in csv.DictReader(open(marks_path))]
        previous = (0, 0.0)
        for passes, second in (m for m in marks if m[0] % MARK == 0):
            steps.append((passes, second - previous[1], cpu_at(times, cpus, second) - cpu_at(times, cpus, previous[1])))
            previous = (passes, second)
        panels = 2 if steps else 1
    fig, axes = plt.subplots(panels, 1, figsize=(6.4, 3.4 * panels), dpi=100, squeeze=False)
    ax = axes[0][0]
    ax.plot([t / 60 for t in times], [int(r["vmrss_kb"]) / 1024 for r in rss])
    ax.set_xlabel("minutes of wall time")
    ax.set_ylabel("VmRSS (MiB)")
    ax.set_ylim(bottom=0)
    ax.set_title("Soak: resident memory, " + name[5:], fontsize=9)
    ax.grid(alpha=0.3)
    if panels == 2:
        ax = axes[1][0]
        xs = [p / 1000 for p, _, _ in steps]
        ax.plot(xs, [w for _, w, _ in steps], "o-", label="wall")
        ax.plot(xs, [c for _, _, c in steps], "s--", label="CPU, every thread")
        ax.set_xlabel("thousands of passes (end of each block of 50,000)")
        ax.set_ylabel("seconds per 50,000 passes")
        ax.set_ylim(bottom=0)
        ax.grid(alpha=0.3)
        ax.legend()
    fig.tight_layout()
    fig.savefig(os.path.join(out, name + "-rss.png"))
    plt.close(fig)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "docs", "perf")
    for path in sorted(glob.glob(os.path.join(out, "soak-*-rss.csv"))):
        plot(out, os.path.basename(path)[: -len("-rss.csv")])


if __name__ == "__main__":
    main()
