#!/usr/bin/env python3
"""Looks for follow-on errors of qellint's recovery: errors that stand far from
every mistake of a source.

    lint_recovery_mutants.py QELLINT [--count N] [--seed S] [--show K]

Takes the valid sources of tests/cases (status 0, run by qelc, at least eight
lines, no #include) and of examples/, and makes N mutants (default 1000 tries)
of three mistakes each: on three lines at least three lines apart, one word is
deleted or a stray word (x : , ; = 'q') is inserted. Each mutant is linted with
every error shown (--max-errors 0 where the build knows it). An error within one
line of a mutated line is "near" (the mistake itself; a missing ';' is reported
on the next line); any other is "far": a follow-on error, or a mistake whose
effect qelc itself reports further down (an unterminated quote, a '}' left out).
Prints the counts, then the first K far errors (default 5) with the mutated
lines, so that each can be read. Mutant I of seed S is always the same."""
import argparse, glob, json, os, random, subprocess, tempfile

here = os.path.dirname(os.path.abspath(__file__))
root = os.path.join(here, "..")


def sources():
    found = []
    for status in glob.glob(os.path.join(root, "tests", "cases", "*", "*", "expect", "status")):
        case = os.path.dirname(os.path.dirname(status))
        if open(status).read().strip() != "0" or os.path.exists(os.path.join(case, "program")):
            continue
        for path in glob.glob(os.path.join(case, "in", "*.daf")) + \
                glob.glob(os.path.join(case, "in", "*.ipf")):
            if not os.path.isfile(path):
                continue
            text = open(path, "rb").read()
            if text.count(b"\n") >= 7 and b"#include" not in text:
                found.append(path)
    found += glob.glob(os.path.join(root, "examples", "*.daf"))
    found += glob.glob(os.path.join(root, "examples", "*.ipf"))
    return sorted(found)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("qellint")
    parser.add_argument("--count", type=int, default=1000)
    parser.add_argument("--seed", type=int, default=5)
    parser.add_argument("--show", type=int, default=5)
    args = parser.parse_args()
    qellint = os.path.abspath(args.qellint)
    help_text = subprocess.run([qellint, "--help"], capture_output=True, text=True).stdout
    extra = ["--max-errors", "0"] if "--max-errors" in help_text else []
    rng = random.Random(args.seed)
    valid = sources()
    counts = {"mutants": 0, "errors": 0, "near": 0, "far": 0}
    far = []
    scratch = tempfile.mkdtemp()
    for _ in range(args.count):
        source = rng.choice(valid)
        lines = open(source, encoding="latin-1").read().split("\n")
        candidates = [k for k, line in enumerate(lines)
                      if len(line.split()) >= 2 and not line.lstrip().startswith("#")]
        if len(candidates) < 3:
            continue
        picked = sorted(rng.sample(candidates, 3))
        if any(b - a < 3 for a, b in zip(picked, picked[1:])):
            continue
        for k in picked:
            words = lines[k].split()
            at = rng.randrange(len(words))
            if rng.choice(["delete", "insert"]) == "delete":
                del words[at]
            else:
                words.insert(at, rng.choice(["x", ":", ",", ";", "=", "'q'"]))
            lines[k] = "  " + " ".join(words)
        name = "m" + os.path.splitext(source)[1]
        open(os.path.join(scratch, name), "w", encoding="latin-1").write("\n".join(lines))
        run = subprocess.run([qellint, "--format=json"] + extra + [name], cwd=scratch,
                             capture_output=True, timeout=60)
        if run.returncode not in (0, 1):
            print(f"status {run.returncode} on a mutant of {source}")
            continue
        counts["mutants"] += 1
        for error in json.loads(run.stdout)["findings"]:
            if error["severity"] != "error":
                continue
            counts["errors"] += 1
            line = error["line"] - 1
            if any(line - 1 <= k <= line + 1 for k in picked):
                counts["near"] += 1
            else:
                counts["far"] += 1
                far.append((source, picked, error, lines))
    print(f"{counts['mutants']} mutants: {counts['errors']} errors, {counts['near']} near a "
          f"mistake, {counts['far']} far from every one")
    for source, picked, error, lines in far[:args.show]:
        print(f"== {os.path.relpath(source, root)}: mistakes on lines "
              f"{', '.join(str(k + 1) for k in picked)}; error at {error['line']}:"
              f"{error['column']}: {error['message'][:100]}")
        for k in sorted(set(picked + [error["line"] - 1])):
            print(f"   {k + 1}: {lines[k] if k < len(lines) else ''}")


main()
