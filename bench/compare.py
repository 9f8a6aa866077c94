#!/usr/bin/env python3
"""Checks that two qelc builds write the same bytes for the benchmark sources.

    compare.py OLD_QELC NEW_QELC [SCALE ...]      (default scales: 1 4)

Generates every kind of generate.py at each scale, runs both programs with -d
(which keeps the .pre file and, for IPF sources, writes the .dec file) in
separate copies of the source folder, and compares with cmp every file the two
runs leave, their standard output, standard error and exit status. Prints one
line per source and ends with status 1 when anything differs. compare_cases.py
does the same for the test cases and for mutated sources.
"""
import os
import resource
import shutil
import signal
import subprocess
import sys
import tempfile

import generate


def run(qelc, args, folder, timeout=None, filesize=None):
    """Runs qelc with args in folder; keeps its console output and status beside it.

    filesize limits every file the run writes (a write past it fails and the
    program goes on; its pipes are not limited). A run longer than timeout seconds
    is killed and its status is "timeout".
    """
    def limit():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (filesize, filesize))

    try:
        result = subprocess.run([qelc, *args], cwd=folder, capture_output=True, timeout=timeout,
                                preexec_fn=None if filesize is None else limit)
        status, out, err = result.returncode, result.stdout, result.stderr
    except subprocess.TimeoutExpired as expired:
        status, out, err = "timeout", expired.stdout or b"", expired.stderr or b""
    console = folder + ".console"
    os.makedirs(console)
    for name, content in (("stdout", out), ("stderr", err), ("status", f"{status}\n".encode())):
        with open(os.path.join(console, name), "wb") as file:
            file.write(content)
    return status


def files_below(folder):
    return sorted(os.path.relpath(os.path.join(top, name), folder)
                  for top, _, names in os.walk(folder) for name in names)


def compare_folders(old, new):
    """The differences between two folders, as lines; empty when they hold the same bytes."""
    old_files, new_files = files_below(old), files_below(new)
    if old_files != new_files:
        return [f"file lists differ: {old_files} / {new_files}"]
    differences = []
    for name in old_files:
        result = subprocess.run(["cmp", os.path.join(old, name), os.path.join(new, name)],
                                capture_output=True, text=True)
        if result.returncode != 0:
            differences.append(result.stdout.strip() or result.stderr.strip())
    return differences


def main():
    old_qelc, new_qelc = (os.path.abspath(path) for path in sys.argv[1:3])
    scales = [int(scale) for scale in sys.argv[3:]] or [1, 4]
    work = tempfile.mkdtemp(prefix="qelc-compare-")
    failed = False
    try:
        for kind, write in generate.GENERATORS.items():
            for scale in scales:
                source = os.path.join(work, f"{kind}-{scale}")
                os.makedirs(source)
                name = write(scale, source)
                old, new = source + ".old", source + ".new"
                shutil.copytree(source, old)
                shutil.copytree(source, new)
                status = run(old_qelc, [name, "-d"], old)
                run(new_qelc, [name, "-d"], new)
                differences = (compare_folders(old, new)
                               + compare_folders(old + ".console", new + ".console"))
                written = [f for f in files_below(old) if f not in files_below(source)]
                verdict = "DIFFERENT" if differences else "same bytes"
                print(f"{kind:<18} scale {scale}: status {status}, {verdict}: "
                      f"{', '.join(written)}, stdout, stderr", flush=True)
                for line in differences:
                    print(f"    {line}")
                failed = failed or bool(differences)
                for folder in (source, old, new, old + ".console", new + ".console"):
                    shutil.rmtree(folder)
    finally:
        shutil.rmtree(work)
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
