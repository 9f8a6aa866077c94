#!/usr/bin/env python3
"""The round trip of compiled files through qeldump --source.

usage: roundtrip.py QELC QELDUMP [--lint QELLINT] [--verbose] [--refusals LIST]
                    (CASES_DIR | --sources FILE... | --generate COUNT SEED |
                     --mutations COUNT SEED)

Each DAB or IPB file that qelc writes with status 0 is written back as a source
with `qeldump --source`; that source is compiled in a scratch folder and the two
files are compared with `qeldump --diff`. The files come from the whole-program
cases run by qelc (each in a scratch copy of its in/ folder, with its args), from
the sources given, or from COUNT random DAF and COUNT random IPF sources that
generate_daf.py and generate_ipf.py write with SEED, or from COUNT mutants of the
sources of the cases and examples, made as bench/compare_cases.py makes them (a
mutant that qelc refuses is passed over and counted).

Counted: round trips, of which byte-identical; --source runs that end with
status 1, each refused field named on standard error (the fields are tallied,
their indexes folded); failures: a status-0 source that does not compile back
to the same content, a status other than 0 or 1, or a status 1 whose standard
error has a line that names no field. With --lint, every written source is
linted too, and an error there is a failure. With --refusals, a refusal is a
failure unless LIST has its line (`LABEL: FILE FIELD`, the first field named),
and so is a line of LIST that is not refused any more: the list says what is
known not to round-trip, and a change that writes more, or less, updates it.
--verbose names the file of each refusal and of each round trip that is not
byte-identical. Exits 1 on any failure.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_OF = {".dab": ".daf", ".ipb": ".ipf"}


def run(args, cwd):
    return subprocess.run(args, cwd=cwd, capture_output=True, timeout=120)


def text(output, limit=300):
    return output.decode(errors="replace")[:limit]


def case_runs(cases_dir):
    """(label, in folder, arguments) of each case that qelc ends with status 0."""
    for root, dirs, files in os.walk(cases_dir):
        dirs.sort()
        expect = os.path.join(root, "expect")
        if not os.path.isdir(expect) or any(
                os.path.exists(os.path.join(root, f)) for f in ("program", "limits", "setup")):
            continue
        with open(os.path.join(expect, "status")) as f:
            if f.read().strip() != "0":
                continue
        args = []
        if os.path.exists(os.path.join(root, "args")):
            with open(os.path.join(root, "args")) as f:
                args = f.read().split("\n")
            if args and args[-1] == "":
                args.pop()
        yield os.path.relpath(root, cases_dir), os.path.join(root, "in"), args


def source_runs(paths):
    """A source given by its path is compiled alone, in a folder of its own."""
    for path in paths:
        yield path, None, [os.path.abspath(path)]


def mutant_runs(count, seed):
    """(label, folder, arguments, (name, bytes)) of each mutant of compare_cases.py."""
    sys.path.insert(0, os.path.join(HERE, "..", "bench"))
    import compare_cases
    for label, folder, (name, text), _ in compare_cases.mutant_jobs(count, seed, "qelc"):
        yield label, folder, [name], (name, text)


class RoundTrip:
    def __init__(self, qelc, qeldump, qellint, verbose, expected_refusals):
        self.qelc, self.qeldump, self.qellint, self.verbose = qelc, qeldump, qellint, verbose
        # The lines of --refusals not yet seen; None without the option.
        self.expected_refusals = expected_refusals
        self.counts = {"files": 0, "round trip": 0, "byte-identical": 0,
                       "refused (status 1)": 0, "failures": 0}
        self.not_compiled = 0
        self.refused_fields = {}

    def fail(self, label, why):
        self.counts["failures"] += 1
        print(f"FAIL {label}: {why}")

    def compile_run(self, label, in_dir, args, scratch, mutant=None):
        """Compiles one run in a scratch folder and checks every file it wrote. A mutant
        (its name and bytes) is written over its source first; one that does not
        compile is passed over."""
        work = os.path.join(scratch, "original")
        shutil.rmtree(work, ignore_errors=True)
        if in_dir is None:
            os.makedirs(work)
            shutil.copy(args[0], work)
            args = [os.path.basename(args[0])]
        elif os.path.isdir(in_dir):
            shutil.copytree(in_dir, work)
        else:
            os.makedirs(work)
        if mutant:
            with open(os.path.join(work, mutant[0]), "wb") as f:
                f.write(mutant[1])
        before = set(os.listdir(work))
        try:
            compiled = run([self.qelc] + args, work)
        except subprocess.TimeoutExpired:
            compiled = None
        if mutant and (compiled is None or compiled.returncode != 0):
            self.not_compiled += 1
            return
        if compiled.returncode != 0:
            self.fail(label, f"does not compile: {text(compiled.stdout)}")
            return
        for name in sorted(set(os.listdir(work)) - before):
            extension = os.path.splitext(name)[1]
            if extension in SOURCE_OF:
                self.check(f"{label}: {name}", os.path.join(work, name), extension, scratch)

    def check(self, label, original, extension, scratch):
        self.counts["files"] += 1
        written = run([self.qeldump, "--source", original], scratch)
        if written.returncode == 1:
            self.refused(label, written.stderr.decode(errors="replace").splitlines())
            return
        if written.returncode != 0:
            self.fail(label, f"qeldump --source exited {written.returncode}: {text(written.stderr)}")
            return
        back = os.path.join(scratch, "back")
        shutil.rmtree(back, ignore_errors=True)
        os.makedirs(back)
        base = os.path.splitext(os.path.basename(original))[0]
        with open(os.path.join(back, base + SOURCE_OF[extension]), "wb") as f:
            f.write(written.stdout)
        compiled = run([self.qelc, base + SOURCE_OF[extension]], back)
        again = os.path.join(back, base + extension)
        if compiled.returncode != 0 or not os.path.exists(again):
            self.fail(label, "the written source does not compile: "
                      + text(compiled.stdout + compiled.stderr))
            return
        diff = run([self.qeldump, "--diff", original, again], back)
        if diff.returncode != 0:
            self.fail(label, f"differs after the round trip: {text(diff.stdout, 500)}")
            return
        self.counts["round trip"] += 1
        with open(original, "rb") as a, open(again, "rb") as b:
            if a.read() == b.read():
                self.counts["byte-identical"] += 1
            elif self.verbose:
                print(f"{label}: round-trips, not byte-identical")
        if self.qellint:
            lint = run([self.qellint, base + SOURCE_OF[extension]], back)
            if lint.returncode != 0:
                self.fail(label, f"qellint finds errors in the written source: {text(lint.stdout)}")

    def refused(self, label, lines):
        named = [line for line in lines if re.match(r"qeldump: .*: cannot express \S+: ", line)]
        if not named or len(named) != len(lines):
            self.fail(label, f"status 1 without naming each field: {lines[:3]}")
            return
        self.counts["refused (status 1)"] += 1
        if self.expected_refusals is not None:
            first = named[0].split("cannot express ")[1].split(":")[0]
            key = f"{label} {first}"
            if key in self.expected_refusals:
                self.expected_refusals.remove(key)
            else:
                self.fail(label, f"refused, and not in the list of refusals: {named[0]}")
        for line in named:
            field = re.sub(r"\[\d+\]", "[]", line.split("cannot express ")[1].split(":")[0])
            self.refused_fields[field] = self.refused_fields.get(field, 0) + 1
            if self.verbose:
                print(f"{label}: {line}")

    def report(self):
        for key in sorted(self.expected_refusals or []):
            self.fail(key, "round-trips now: take it off the list of refusals")
        for field, n in sorted(self.refused_fields.items(), key=lambda item: (-item[1], item[0])):
            print(f"refused: {field} ({n} files)")
        print(", ".join(f"{key}: {value}" for key, value in self.counts.items()))
        if self.not_compiled:
            print(f"mutants that qelc refuses, passed over: {self.not_compiled}")


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    qelc, qeldump = (os.path.abspath(p) for p in argv[:2])
    rest = argv[2:]
    qellint, verbose, refusals = None, False, None
    while rest and rest[0] in ("--lint", "--verbose", "--refusals"):
        if rest[0] == "--lint":
            qellint, rest = os.path.abspath(rest[1]), rest[2:]
        elif rest[0] == "--refusals":
            with open(rest[1]) as f:
                refusals = {line.strip() for line in f if line.strip() and not line.startswith("#")}
            rest = rest[2:]
        else:
            verbose, rest = True, rest[1:]
    if not rest:
        sys.exit(__doc__)
    trip = RoundTrip(qelc, qeldump, qellint, verbose, refusals)
    with tempfile.TemporaryDirectory() as scratch:
        if rest[0] == "--sources":
            runs = source_runs(rest[1:])
        elif rest[0] == "--generate":
            count, seed = rest[1], rest[2]
            generated = os.path.join(scratch, "generated")
            for generator in ("generate_daf.py", "generate_ipf.py"):
                subprocess.run([sys.executable, os.path.join(HERE, generator), seed, count,
                                generated], check=True)
            runs = source_runs(sorted(os.path.join(generated, name)
                                      for name in os.listdir(generated)))
        elif rest[0] == "--mutations":
            runs = mutant_runs(int(rest[1]), int(rest[2]))
        else:
            runs = case_runs(rest[0])
        for label, in_dir, args, *mutant in runs:
            trip.compile_run(label, in_dir, args, scratch, *mutant)
    trip.report()
    return 1 if trip.counts["failures"] else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
