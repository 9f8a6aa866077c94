#!/usr/bin/env python3
"""Times qelc on the generated benchmark sources.

    bench.py QELC [RUNS [KIND ...]]

For every kind of generate.py (or each KIND named) it writes the source at
scale 1 (n) and at scale 4 (4n) into a scratch folder, runs QELC once untimed
and then RUNS times on each, and prints, for the 4n source: its size, the
median wall time, MB/s of source, the median CPU time (user + system), the peak
memory, and the ratio of the median wall time at 4n to the one at n (and the
same ratio of CPU times). Every run must end with status 0.

When qellint stands beside QELC (the same build folder), it is timed the same
way on the same sources, in rows of its own: it reads every source in memory
and writes nothing, so its rows show the linter's own cost and that it stays
linear.

Then it times `wc -w` on the largest source, interleaved run by run with qelc on
the same file so that both see the same load, and prints qelc's times as a
multiple of it. `wc` runs in the C locale, where it splits bytes at ASCII white
space without decoding characters.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import generate

SMALL, LARGE = 1, 4
MB = 1 << 20


class Run:
    def __init__(self, wall, cpu, peak_kb):
        self.wall, self.cpu, self.peak_kb = wall, cpu, peak_kb


def run_once(argv, folder, env=None):
    """Runs argv in folder; returns its Run. A status other than 0 stops the bench."""
    with tempfile.TemporaryFile() as errors:
        start = time.perf_counter()
        process = subprocess.Popen(argv, cwd=folder, env=env, stdout=subprocess.DEVNULL,
                                   stderr=errors)
        # wait4 gives this child's own resource use, peak memory included.
        _, status, usage = os.wait4(process.pid, 0)
        wall = time.perf_counter() - start
        process.returncode = os.waitstatus_to_exitcode(status)
        if process.returncode != 0:
            errors.seek(0)
            sys.exit(f"{' '.join(argv)} in {folder} ended with status {process.returncode}:\n"
                     + errors.read().decode(errors="replace")[-2000:])
    return Run(wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss)


class Series:
    """The runs of one command on one source."""

    def __init__(self, runs):
        self.runs = runs

    @property
    def wall(self):
        return statistics.median(r.wall for r in self.runs)

    @property
    def cpu(self):
        return statistics.median(r.cpu for r in self.runs)

    @property
    def peak_kb(self):
        return max(r.peak_kb for r in self.runs)


def generate_source(kind, scale, folder):
    os.makedirs(folder)
    name = generate.GENERATORS[kind](scale, folder)
    return name, os.path.getsize(os.path.join(folder, name))


def main():
    qelc = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    kinds = sys.argv[3:] or list(generate.GENERATORS)
    wc_env = dict(os.environ, LC_ALL="C")
    work = tempfile.mkdtemp(prefix="qelc-bench-")
    try:
        print(f"{runs} runs per source; times are medians; CPU = user + system\n")
        print(f"{'input':<26} {'size MB':>8} {'wall s':>8} {'MB/s':>7} {'CPU s':>7} "
              f"{'peak MB':>8} {'4n/n wall':>10} {'4n/n CPU':>9}")
        largest = None
        qellint = os.path.join(os.path.dirname(qelc), "qellint")
        programs = [(qelc, "")] + ([(qellint, "qellint ")] if os.path.exists(qellint) else [])
        for kind in kinds:
            sources = {}
            for scale in (SMALL, LARGE):
                folder = os.path.join(work, f"{kind}-{scale}")
                sources[scale] = (folder, *generate_source(kind, scale, folder))
            for program, label in programs:
                series = {}
                for scale, (folder, name, size) in sources.items():
                    run_once([program, name], folder)  # warm-up: caches, fresh source
                    series[scale] = Series([run_once([program, name], folder)
                                            for _ in range(runs)])
                big = series[LARGE]
                mb = size / MB
                print(f"{label + kind:<26} {mb:8.1f} {big.wall:8.3f} {mb / big.wall:7.1f} "
                      f"{big.cpu:7.3f} {big.peak_kb / 1024:8.1f} "
                      f"{big.wall / series[SMALL].wall:10.2f} "
                      f"{big.cpu / series[SMALL].cpu:9.2f}", flush=True)
            if largest is None or sources[LARGE][2] > largest[2]:
                largest = sources[LARGE]

        folder, name, size = largest
        qelc_runs, wc_runs = [], []
        for _ in range(runs):
            qelc_runs.append(run_once([qelc, name], folder))
            wc_runs.append(run_once(["wc", "-w", name], folder, env=wc_env))
        q, w = Series(qelc_runs), Series(wc_runs)
        print(f"\n{name} ({size / MB:.1f} MB), qelc and wc -w run in turn:")
        print(f"  wc -w: wall {w.wall:.3f} s, CPU {w.cpu:.3f} s")
        print(f"  qelc:  wall {q.wall:.3f} s = {q.wall / w.wall:.1f} x wc -w, "
              f"CPU {q.cpu:.3f} s = {q.cpu / w.cpu:.1f} x wc -w")
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
