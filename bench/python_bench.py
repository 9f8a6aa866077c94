#!/usr/bin/env python3
"""The Python package against the qelc program: the examples compiled ROUNDS
times (default 1,000) through qelc.compile on one thread and on four, and by
the qelc program started ROUNDS times in a scratch folder.

usage: python_bench.py PACKAGE_DIR QELC EXAMPLES [ROUNDS]

PACKAGE_DIR holds the built package (build/python). Each round compiles every
.daf and .ipf source of EXAMPLES once; the results are checked against each
other before the times are printed.
"""
import os, pathlib, shutil, subprocess, sys, tempfile, threading, time


def main():
    package_dir, examples = sys.argv[1], sys.argv[3]
    qelc_program = os.path.abspath(sys.argv[2])
    rounds = int(sys.argv[4]) if len(sys.argv) > 4 else 1000
    sys.path.insert(0, os.path.abspath(package_dir))
    import qelc

    folder = pathlib.Path(examples)
    sources = [(p.name, p.read_bytes()) for p in sorted(folder.glob("*.daf")) + sorted(folder.glob("*.ipf"))]

    def compile_rounds(count, artifacts):
        for _ in range(count):
            for name, text in sources:
                artifacts.append(qelc.compile(text, name, includes=folder).artifact)

    figures = []

    def cpu_time():  # this process's and its ended children's
        times = os.times()
        return times.user + times.system + times.children_user + times.children_system

    def timed(label, run):
        start_wall, start_cpu = time.perf_counter(), cpu_time()
        run()
        wall, cpu = time.perf_counter() - start_wall, cpu_time() - start_cpu
        compilations = rounds * len(sources)
        figures.append((label, wall, cpu, compilations))

    one = []
    timed("qelc.compile, 1 thread", lambda: compile_rounds(rounds, one))

    four = [[] for _ in range(4)]

    def on_four_threads():
        threads = [threading.Thread(target=compile_rounds, args=(rounds // 4 + (t < rounds % 4), four[t]))
                   for t in range(4)]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()

    timed("qelc.compile, 4 threads", on_four_threads)

    with tempfile.TemporaryDirectory() as scratch:
        work = pathlib.Path(scratch) / "examples"
        shutil.copytree(folder, work)
        written = {}

        def program_rounds():
            for _ in range(rounds):
                for name, _text in sources:
                    subprocess.run([qelc_program, name], cwd=work, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, check=True)
            for name, _text in sources:
                stem = name.rsplit(".", 1)[0]
                output = work / (stem + (".dab" if name.lower().endswith(".daf") else ".ipb"))
                written[name] = output.read_bytes()

        timed("qelc program", program_rounds)

    assert one[:len(sources)] == [written[name] for name, _ in sources], "the results differ"
    assert sorted(map(len, one)) == sorted(len(a) for t in four for a in t)

    print(f"{len(sources)} sources ({', '.join(n for n, _ in sources)}), {rounds} rounds; "
          f"{os.cpu_count()} cores, load average {os.getloadavg()[0]:.2f}")
    print(f"{'':26} {'wall s':>8} {'CPU s':>8} {'ms each':>8} {'per s':>8}")
    for label, wall, cpu, compilations in figures:
        print(f"{label:26} {wall:8.2f} {cpu:8.2f} {1000 * wall / compilations:8.3f} "
              f"{compilations / wall:8.0f}")
    print(f"4 threads / 1 thread: {figures[0][1] / figures[1][1]:.2f}x; "
          f"1 thread / program: {figures[2][1] / figures[0][1]:.1f}x")


if __name__ == "__main__":
    main()
