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

Last, when qeldump stands beside QELC, it times `qeldump` and `qeldump --json`
(output thrown away) on the largest IPB file that the runs wrote, on the IPB
file of the same kind at n, and on the largest DAB file; and when qellint does,
it times one `qellint` command over many files (every source at n, 8 copies
each) with --jobs 1 and --jobs 2.
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


def written_files(work, extension):
    """The files with `extension` that the runs left, by size, largest last."""
    found = []
    for folder in os.listdir(work):
        for name in os.listdir(os.path.join(work, folder)):
            if name.endswith(extension):
                found.append((os.path.getsize(os.path.join(work, folder, name)), folder, name))
    return sorted(found)


def time_reader(qeldump, runs, work):
    ipbs, dabs = written_files(work, ".ipb"), written_files(work, ".dab")
    if not ipbs or not dabs:
        return
    _, big_folder, big_name = ipbs[-1]
    small_folder = big_folder.replace(f"-{LARGE}", f"-{SMALL}")
    files = [("IPB 4n", big_folder, big_name), ("IPB n", small_folder, big_name),
             ("DAB", dabs[-1][1], dabs[-1][2])]
    print(f"\nqeldump on the files written ({big_folder} for the IPB files):")
    print(f"{'file':<8} {'size MB':>8} {'mode':<7} {'wall s':>8} {'MB/s':>7} {'peak MB':>8}")
    walls = {}
    for label, folder, name in files:
        path = os.path.join(work, folder, name)
        mb = os.path.getsize(path) / MB
        for mode, argv in (("text", [qeldump, name]), ("--json", [qeldump, "--json", name])):
            run_once(argv, os.path.dirname(path))
            series = Series([run_once(argv, os.path.dirname(path)) for _ in range(runs)])
            walls[label, mode] = series.wall
            print(f"{label:<8} {mb:8.1f} {mode:<7} {series.wall:8.3f} {mb / series.wall:7.1f} "
                  f"{series.peak_kb / 1024:8.1f}", flush=True)
    for mode in ("text", "--json"):
        print(f"IPB 4n/n wall, {mode}: {walls['IPB 4n', mode] / walls['IPB n', mode]:.2f}")


def time_lint_jobs(qellint, runs, work):
    """qellint over many files in one command, on one thread and on two."""
    lint = os.path.join(work, "lint-many")
    os.makedirs(lint)
    names = []
    for folder in sorted(os.listdir(work)):
        if not folder.endswith(f"-{SMALL}"):
            continue
        for name in os.listdir(os.path.join(work, folder)):
            if name.endswith((".daf", ".ipf")):
                for copy in range(8):
                    names.append(f"{copy}-{name}")
                    shutil.copy(os.path.join(work, folder, name), os.path.join(lint, names[-1]))
    mb = sum(os.path.getsize(os.path.join(lint, name)) for name in names) / MB
    print(f"\nqellint on {len(names)} files ({mb:.1f} MB) in one command:")
    walls = {}
    for jobs in (1, 2):
        argv = [qellint, "--jobs", str(jobs), *names]
        # Findings make the status 1; the bench wants the time, not a clean source.
        argv = ["sh", "-c", '"$0" "$@" >/dev/null 2>&1; exit 0', *argv]
        run_once(argv, lint)
        series = Series([run_once(argv, lint) for _ in range(runs)])
        walls[jobs] = series.wall
        print(f"  --jobs {jobs}: wall {series.wall:.3f} s, CPU {series.cpu:.3f} s, "
              f"peak {series.peak_kb / 1024:.1f} MB")
    print(f"  --jobs 2 is {walls[1] / walls[2]:.2f} times as fast as --jobs 1")


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
        qeldump = os.path.join(os.path.dirname(qelc), "qeldump")
        if os.path.exists(qeldump):
            time_reader(qeldump, runs, work)
        if os.path.exists(qellint):
            time_lint_jobs(qellint, runs, work)
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
