#!/usr/bin/env python3
"""qeldump --source writes back every DAB file the whole-program cases compile.

For each case of tests/cases run by qelc (no `program` file) that ends with
status 0 and leaves a DAB file (expect/files/NAME.dab.txt), in a scratch copy of
in/: compile as the case does, write NAME.dab back with `qeldump --source`,
compile that source in a second scratch directory, and compare the two files
with `qeldump --diff`. Counts: round trips, of which byte-identical; sources
refused with status 1 (each refused field named on standard error); failures:
a status-0 source that does not compile back to the same content, a status
other than 0 or 1, or a refusal that names no field. With QELLINT given, the
round-tripped sources are linted too and an error there is a failure.
Exits 1 on any failure.
usage: roundtrip.py QELC QELDUMP CASES [QELLINT]"""
import os, re, shutil, subprocess, sys, tempfile

qelc, qeldump, root = (os.path.abspath(p) for p in sys.argv[1:4])
qellint = os.path.abspath(sys.argv[4]) if len(sys.argv) > 4 else None
counts = {"round trip": 0, "byte-identical": 0, "refused (status 1)": 0, "failures": 0}
refused_fields = {}
# ROUNDTRIP_VERBOSE=1 names the case of each refusal and of each round trip
# that is not byte-identical.
verbose = bool(os.environ.get("ROUNDTRIP_VERBOSE"))
failures = []


def run(args, cwd):
    return subprocess.run(args, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          timeout=120)


def cases():
    for area in sorted(os.listdir(root)):
        for name in sorted(os.listdir(os.path.join(root, area))):
            case = os.path.join(root, area, name)
            if os.path.exists(os.path.join(case, "program")):
                continue
            if any(os.path.exists(os.path.join(case, f)) for f in ("limits", "setup")):
                continue
            try:
                status = open(os.path.join(case, "expect", "status")).read().strip()
            except OSError:
                continue
            files = os.path.join(case, "expect", "files")
            dabs = []
            for folder, _, names in os.walk(files) if os.path.isdir(files) else []:
                dabs += [os.path.relpath(os.path.join(folder, n), files)[:-len(".txt")]
                         for n in names if n.endswith(".dab.txt")]
            if status == "0" and dabs:
                yield f"{area}/{name}", case, dabs


def check(label, case, dab, work):
    original = os.path.join(work, dab)
    out = run([qeldump, "--source", original], work)
    if out.returncode == 1:
        lines = out.stderr.decode(errors="replace").splitlines()
        named = [l for l in lines if re.match(r"qeldump: .*: cannot express \S+: ", l)]
        if not named or len(named) != len(lines):
            failures.append(f"{label}: status 1 without naming each field: {lines[:3]}")
            return
        counts["refused (status 1)"] += 1
        for line in named:
            field = re.sub(r"\[\d+\]", "[]", line.split("cannot express ")[1].split(":")[0])
            refused_fields[field] = refused_fields.get(field, 0) + 1
            if verbose:
                print(f"{label}: {line}")
        return
    if out.returncode != 0:
        failures.append(f"{label}: qeldump --source exited {out.returncode}: "
                        f"{out.stderr.decode(errors='replace')[:200]}")
        return
    back = tempfile.mkdtemp(dir=work)
    base = os.path.basename(dab)
    source = os.path.join(back, base[:-len(".dab")] + ".daf")
    with open(source, "wb") as f:
        f.write(out.stdout)
    compiled = run([qelc, os.path.basename(source)], back)
    again = os.path.join(back, base)
    if compiled.returncode != 0 or not os.path.exists(again):
        failures.append(f"{label}: the source does not compile: "
                        f"{(compiled.stdout + compiled.stderr).decode(errors='replace')[-300:]}")
        return
    diff = run([qeldump, "--diff", original, again], work)
    if diff.returncode != 0:
        failures.append(f"{label}: differs after the round trip: "
                        f"{diff.stdout.decode(errors='replace')[:300]}")
        return
    counts["round trip"] += 1
    if open(original, "rb").read() == open(again, "rb").read():
        counts["byte-identical"] += 1
    elif verbose:
        print(f"{label}: {base} round-trips, not byte-identical")
    if qellint:
        lint = run([qellint, os.path.basename(source)], back)
        if lint.returncode not in (0,):
            failures.append(f"{label}: qellint finds errors in the written source: "
                            f"{lint.stdout.decode(errors='replace')[:300]}")


for label, case, dabs in cases():
    with tempfile.TemporaryDirectory() as work:
        shutil.copytree(os.path.join(case, "in"), work, dirs_exist_ok=True)
        args_file = os.path.join(case, "args")
        args = open(args_file).read().split("\n") if os.path.exists(args_file) else []
        if args and args[-1] == "":
            args.pop()
        if run([qelc] + args, work).returncode != 0:
            failures.append(f"{label}: the case does not compile here")
            continue
        for dab in dabs:
            check(label, case, dab, work)

counts["failures"] = len(failures)
for failure in failures:
    print("FAIL", failure)
for field, n in sorted(refused_fields.items(), key=lambda item: -item[1]):
    print(f"refused: {field} ({n} files)")
print(", ".join(f"{k}: {v}" for k, v in counts.items()))
sys.exit(1 if failures else 0)
