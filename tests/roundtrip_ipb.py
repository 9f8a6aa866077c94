#!/usr/bin/env python3
"""Round trip of IPB files through qeldump --source.

usage: roundtrip_ipb.py QELC QELDUMP (CASES_DIR | --sources FILE.ipf...)

For every whole-program case that writes an IPB file with status 0 (or every
source given), compiles the source, writes a source from the IPB with
qeldump --source, compiles that one in a scratch folder and compares the two
files with qeldump --diff. Counts the round trips, the byte-identical files, the
--source runs that end with status 1 (naming fields) and the failures: a source
written with status 0 that does not compile back to the same content. Exits 1 on
any failure.
"""
import os
import shutil
import subprocess
import sys
import tempfile


def run(args, cwd):
    return subprocess.run(args, cwd=cwd, capture_output=True, timeout=60)


def case_sources(cases_dir):
    """(label, folder with the inputs, argument list) of each case that writes an IPB file."""
    for root, dirs, files in os.walk(cases_dir):
        dirs.sort()
        expect = os.path.join(root, "expect")
        program = os.path.join(root, "program")
        if not os.path.isdir(expect) or os.path.exists(program):
            continue
        with open(os.path.join(expect, "status")) as f:
            if f.read().strip() != "0":
                continue
        files_dir = os.path.join(expect, "files")
        if not os.path.isdir(files_dir) or not any(n.endswith(".ipb.txt") for n in os.listdir(files_dir)):
            continue
        args_path = os.path.join(root, "args")
        args = []
        if os.path.exists(args_path):
            with open(args_path) as f:
                args = f.read().split("\n")
            if args and args[-1] == "":
                args.pop()
        yield os.path.relpath(root, cases_dir), os.path.join(root, "in"), args


def round_trip(qelc, qeldump, label, in_dir, args, counts, scratch):
    work = os.path.join(scratch, "a")
    again = os.path.join(scratch, "b")
    for folder in (work, again):
        shutil.rmtree(folder, ignore_errors=True)
    if os.path.isdir(in_dir):
        shutil.copytree(in_dir, work)
    else:
        os.makedirs(work)
    os.makedirs(again)
    if run([qelc] + args, work).returncode != 0:
        return
    for ipb in sorted(n for n in os.listdir(work) if n.endswith(".ipb")):
        counts["files"] += 1
        source = run([qeldump, "--source", os.path.join(work, ipb)], work)
        if source.returncode == 1:
            counts["source exit 1"] += 1
            named = [l for l in source.stderr.decode(errors="replace").splitlines() if "cannot express" in l]
            if not named:
                counts["failures"] += 1
                print(f"FAIL {label}/{ipb}: status 1 without a field named")
            continue
        if source.returncode != 0:
            counts["failures"] += 1
            print(f"FAIL {label}/{ipb}: --source status {source.returncode}: {source.stderr[:300]!r}")
            continue
        name = os.path.join(again, ipb[: -len(".ipb")] + ".ipf")
        with open(name, "wb") as f:
            f.write(source.stdout)
        compiled = run([qelc, os.path.basename(name)], again)
        new = os.path.join(again, ipb)
        if compiled.returncode != 0 or not os.path.exists(new):
            counts["failures"] += 1
            print(f"FAIL {label}/{ipb}: the written source does not compile: {compiled.stdout[-300:]!r}")
            continue
        diff = run([qeldump, "--diff", os.path.join(work, ipb), new], again)
        if diff.returncode != 0:
            counts["failures"] += 1
            print(f"FAIL {label}/{ipb}: {diff.stdout.decode(errors='replace')[:500]}")
            continue
        counts["round trip ok"] += 1
        with open(os.path.join(work, ipb), "rb") as a, open(new, "rb") as b:
            if a.read() == b.read():
                counts["byte-identical"] += 1


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    qelc, qeldump = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    counts = {"files": 0, "round trip ok": 0, "byte-identical": 0, "source exit 1": 0, "failures": 0}
    with tempfile.TemporaryDirectory() as scratch:
        if sys.argv[3] == "--sources":
            for path in sys.argv[4:]:
                in_dir = os.path.join(scratch, "in")
                shutil.rmtree(in_dir, ignore_errors=True)
                os.makedirs(in_dir)
                shutil.copy(path, in_dir)
                round_trip(qelc, qeldump, path, in_dir, [os.path.basename(path)], counts, scratch)
        else:
            for label, in_dir, args in case_sources(sys.argv[3]):
                round_trip(qelc, qeldump, label, in_dir, args, counts, scratch)
    print(", ".join(f"{key}: {value}" for key, value in counts.items()))
    sys.exit(1 if counts["failures"] else 0)


if __name__ == "__main__":
    main()
