#!/usr/bin/env python3
"""Times qelc against what it cannot do without, each figure a ratio of runs made
in turn on the same machine at the same moment.

    ratios.py QELC [--previous OLD_QELC] [--runs N]

On the soft-IP source of one million Input lines (generate.py softip-inputs 4)
each round runs, one after the other: QELC, `wc -w` (C locale), the I/O floor,
OLD_QELC when given, and the qellint beside QELC. The I/O floor is `cat` copying
every byte the compilation must read and write: the source into a .pre file,
that file read back and removed, and an IPB file and an Out.txt of the sizes
QELC writes, replacing those of the round before as QELC replaces its own. The
fresh floor writes the last two as new files and removes them: the cost of the
same bytes where no earlier output is replaced.
Each ratio is taken within a round (so both runs saw the same load) and the
median over the rounds is printed, with the median times and the peak memory
(maximum resident set) of each program.

Then the defines at 40,000, 80,000 and 160,000 (generate.py defines 8, 16 and
32): the median time of each and the ratio of the largest to the smallest (4
for linear growth), paired with OLD_QELC when given. Last, qellint over many
files (every kind of generate.py at scale 1, 8 copies each) with --jobs 1 and
--jobs 2 in turn, and the ratio of the two.
"""
import argparse
import os
import shutil
import statistics
import sys
import tempfile

import generate
from bench import MB, run_once

# Each round runs qelc where its IPB file and Out.txt of the round before are:
# it replaces them (truncates and writes them again) and creates and removes
# its .pre file. The floor does the same; the fresh floor writes new files
# and removes all three.
FLOOR = ('cat "$1" > floor.pre && cat floor.pre > /dev/null && cat "$2" > floor.ipb '
         '&& cat "$3" > floor.txt && rm floor.pre')
FRESH_FLOOR = ('cat "$1" > fresh.pre && cat fresh.pre > /dev/null && cat "$2" > fresh.ipb '
               '&& cat "$3" > fresh.txt && rm fresh.pre fresh.ipb fresh.txt')


def rounds(commands, folder, runs):
    """Runs each (label, argv, env) once untimed, then `runs` rounds in turn."""
    for _, argv, env in commands:
        run_once(argv, folder, env)
    results = {label: [] for label, _, _ in commands}
    for _ in range(runs):
        for label, argv, env in commands:
            results[label].append(run_once(argv, folder, env))
    return results


def median_ratio(results, label, base):
    return statistics.median(a.wall / b.wall for a, b in zip(results[label], results[base]))


def soft_ip(qelc, previous, qellint, runs, work):
    folder = os.path.join(work, "softip")
    os.makedirs(folder)
    name = generate.softip_inputs(4, folder)
    # The files the floor copies: those this qelc writes.
    run_once([qelc, name], folder)
    for written, kept in ((name[:-4] + ".ipb", "kept.ipb"), ("Out.txt", "kept.txt")):
        os.replace(os.path.join(folder, written), os.path.join(folder, kept))
    wc_env = dict(os.environ, LC_ALL="C")
    commands = [("qelc", [qelc, name], None), ("wc -w", ["wc", "-w", name], wc_env),
                ("I/O floor", ["sh", "-c", FLOOR, "floor", name, "kept.ipb", "kept.txt"], None),
                ("fresh floor", ["sh", "-c", FRESH_FLOOR, "floor", name, "kept.ipb", "kept.txt"],
                 None)]
    if previous:
        commands.append(("previous qelc", [previous, name], None))
    if qellint:
        commands.append(("qellint", [qellint, name], None))
    results = rounds(commands, folder, runs)
    size = os.path.getsize(os.path.join(folder, name)) / MB
    print(f"{name} ({size:.1f} MB), {runs} rounds; medians:")
    for label, series in results.items():
        wall = statistics.median(r.wall for r in series)
        cpu = statistics.median(r.cpu for r in series)
        peak = max(r.peak_kb for r in series) / 1024
        print(f"  {label:<14} wall {wall:6.3f} s  CPU {cpu:6.3f} s  peak {peak:6.1f} MB")
    print(f"  qelc / wc -w:       {median_ratio(results, 'qelc', 'wc -w'):.2f}")
    print(f"  qelc / I/O floor:   {median_ratio(results, 'qelc', 'I/O floor'):.2f}  "
          f"(fresh files: {median_ratio(results, 'qelc', 'fresh floor'):.2f})")
    if previous:
        print(f"  qelc / previous:    {median_ratio(results, 'qelc', 'previous qelc'):.2f}")
    if qellint:
        print(f"  qellint / qelc:     {median_ratio(results, 'qellint', 'qelc'):.2f}  "
              f"(peak {max(r.peak_kb for r in results['qellint']) / max(r.peak_kb for r in results['qelc']):.2f})")


def defines(qelc, previous, runs, work):
    print("\ndefines (each with five lines that name them), medians:")
    walls = {}
    for scale in (8, 16, 32):
        folder = os.path.join(work, f"defines-{scale}")
        os.makedirs(folder)
        name = generate.defines(scale, folder)
        commands = [("qelc", [qelc, name], None)]
        if previous:
            commands.append(("previous", [previous, name], None))
        results = rounds(commands, folder, runs)
        walls[scale] = statistics.median(r.wall for r in results["qelc"])
        line = f"  {5000 * scale:>7,} defines: qelc {walls[scale]:.3f} s"
        if previous:
            line += (f", previous {statistics.median(r.wall for r in results['previous']):.3f} s"
                     f", qelc / previous {median_ratio(results, 'qelc', 'previous'):.2f}")
        print(line)
    print(f"  160,000 / 40,000: {walls[32] / walls[8]:.2f}")


def lint_jobs(qellint, runs, work):
    folder = os.path.join(work, "lint-many")
    os.makedirs(folder)
    names = []
    for kind, make in generate.GENERATORS.items():
        source = os.path.join(work, f"one-{kind}")
        os.makedirs(source)
        name = make(1, source)
        for copy in range(8):
            names.append(f"{copy}-{name}")
            shutil.copy(os.path.join(source, name), os.path.join(folder, names[-1]))
    # Findings make the status 1; the time is what is measured here.
    quiet = ["sh", "-c", '"$0" "$@" >/dev/null 2>&1; exit 0']
    commands = [(f"--jobs {jobs}", quiet + [qellint, "--jobs", str(jobs), *names], None)
                for jobs in (1, 2)]
    results = rounds(commands, folder, runs)
    mb = sum(os.path.getsize(os.path.join(folder, n)) for n in names) / MB
    print(f"\nqellint on {len(names)} files ({mb:.1f} MB), medians:")
    for label, series in results.items():
        print(f"  {label}: wall {statistics.median(r.wall for r in series):.3f} s, "
              f"CPU {statistics.median(r.cpu for r in series):.3f} s")
    print(f"  --jobs 1 / --jobs 2: {median_ratio(results, '--jobs 1', '--jobs 2'):.2f}  "
          f"({os.cpu_count()} cores, load average {os.getloadavg()[0]:.1f} at the end)")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("qelc")
    parser.add_argument("--previous")
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    qelc = os.path.abspath(args.qelc)
    previous = os.path.abspath(args.previous) if args.previous else None
    qellint = os.path.join(os.path.dirname(qelc), "qellint")
    qellint = qellint if os.path.exists(qellint) else None
    print(f"load average {os.getloadavg()[0]:.1f} at the start, {os.cpu_count()} cores\n")
    work = tempfile.mkdtemp(prefix="qelc-ratios-")
    try:
        soft_ip(qelc, previous, qellint, args.runs, work)
        defines(qelc, previous, args.runs, work)
        if qellint:
            lint_jobs(qellint, args.runs, work)
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    sys.exit(main())
