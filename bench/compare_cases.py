#!/usr/bin/env python3
"""Checks that two qelc builds behave byte for byte alike on the test cases and on
mutated sources.

    compare_cases.py OLD_QELC NEW_QELC [--mutations N] [--seed S] [--timeout SECONDS]
                     [--jobs J] [--qellint]

With --qellint the two programs are qellint builds, and their text output is
compared: on the cases that run qellint without --format, and on each mutant.

cases: every folder tests/cases/AREA/CASE whose program is qelc (no `program`
file, or one naming qelc) is run by both programs, each in its own copy of the
case's in/ folder, with the case's `args`, its `limits` (filesize) and the mkdir
lines of its `setup` (readonly lines too, except for root, whom they do not bind);
see tests/README.md.

mutations: N mutants (default 1000) of the .daf and .ipf sources of tests/cases
and examples/, each made by one to three small random edits (delete, duplicate or
swap a token or a line, insert a keyword or a delimiter, flip a bit, cut the file
short, change a number, insert a quote). Each mutant is written beside the other
input files of its case (its includes) and run by both programs, without and with
-d. Mutant I of seed S is always the same.

Each run gets TIMEOUT seconds (default 10); a run that takes longer is a
difference. The exit status, standard output, standard error and every file the
runs leave are compared with cmp. Prints each difference with the folder kept for
it, then one summary line per group, and ends with status 1 when anything differs.
"""
import argparse
import glob
import multiprocessing
import os
import random
import re
import shutil
import sys
import tempfile

import compare

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KEYWORDS = [b"Device", b"Alias", b"Extensions", b"TypeCategory", b"Initialize", b"Group",
            b"OutputSyntax", b"Pin", b"MemoryMap", b"QelConfig", b"SoftIPCategory", b"Module",
            b"Input", b"Output", b"Macro", b"_when", b"is", b"#include", b"#define",
            b"#ifdef", b"#ifndef", b"#else", b"#endif"]
DELIMITERS = [b"{", b"}", b"(", b")", b":", b";", b",", b"=", b"'", b'"', b"\n", b"//", b"/*"]
NUMBERS = [b"0", b"-1", b"1", b"255", b"256", b"65536", b"2147483648", b"4294967296",
           b"99999999999999999999", b"1.5", b"0x10"]


def lines_of(path):
    """The lines of a case file, as the test runner reads them; none when it is missing."""
    if not os.path.exists(path):
        return []
    with open(path, "rb") as file:
        lines = file.read().split(b"\n")
    return lines[:-1] if lines[-1] == b"" else lines


def word_lines(path):
    """The lines of a `limits` or `setup` file as pairs of words, comments left out."""
    return [line.decode().split() for line in lines_of(path)
            if line.strip() and not line.lstrip().startswith(b"#")]


def case_jobs(program):
    """(label, input folder, no mutant, runs) for every case that runs `program`
    (qellint: in its text output)."""
    named = ([], [b"qelc"]) if program == "qelc" else ([program.encode()],)
    for case in sorted(glob.glob(os.path.join(ROOT, "tests/cases/*/*/"))):
        if [line.strip() for line in lines_of(os.path.join(case, "program"))] not in named:
            continue
        if any(arg.startswith(b"--format") for arg in lines_of(os.path.join(case, "args"))):
            continue
        filesize = next((int(n) for word, n in word_lines(os.path.join(case, "limits"))
                         if word == "filesize"), None)
        runs = [("", lines_of(os.path.join(case, "args")), filesize,
                 word_lines(os.path.join(case, "setup")))]
        yield os.path.relpath(case, ROOT), os.path.join(case, "in"), None, runs


def sources():
    """(folder, source path below it) of every .daf and .ipf source of the cases and examples.

    The folder is the one qelc runs in: a case's in/, examples/cmake-project or examples/.
    """
    examples = os.path.join(ROOT, "examples")
    folders = sorted(glob.glob(os.path.join(ROOT, "tests/cases/*/*/in")))
    found = [(folder, name) for folder in folders + [os.path.join(examples, "cmake-project")]
             for name in compare.files_below(folder)]
    found += [(examples, name) for name in sorted(os.listdir(examples))]
    return [(folder, name) for folder, name in found
            if os.path.splitext(name)[1].lower().startswith((".daf", ".ipf"))]


def mutate(text, rng):
    """The text with one small random edit."""
    how = rng.choice(["delete", "duplicate", "swap", "insert", "flip", "cut", "number", "quote"])
    at = rng.randrange(len(text) + 1)
    if how in ("delete", "duplicate", "swap"):
        pieces = (re.findall(rb"\w+|\s+|.", text, re.S) if rng.random() < 0.5
                  else text.splitlines(keepends=True))
        tokens = [i for i, piece in enumerate(pieces) if piece.strip()] or [None]
        i, j = rng.choice(tokens), rng.choice(tokens)
        if i is None:
            return text
        if how == "delete":
            pieces[i] = b""
        elif how == "duplicate":
            pieces[i] *= 2
        else:
            pieces[i], pieces[j] = pieces[j], pieces[i]
        return b"".join(pieces)
    if how == "insert":
        return text[:at] + b" " + rng.choice(KEYWORDS + DELIMITERS) + b" " + text[at:]
    if how == "flip" and text:
        at = min(at, len(text) - 1)
        return text[:at] + bytes([text[at] ^ 1 << rng.randrange(8)]) + text[at + 1:]
    if how == "cut":
        return text[:at]
    if how == "number":
        numbers = [match.span() for match in re.finditer(rb"\d+(?:\.\d+)?", text)] or [(at, at)]
        start, end = rng.choice(numbers)
        return text[:start] + rng.choice(NUMBERS) + text[end:]
    return text[:at] + rng.choice([b"'", b'"']) + text[at:]


def mutant_jobs(count, seed, program):
    """(label, input folder, (source, mutated bytes), runs) for each of count mutants."""
    candidates = sources()
    for index in range(count):
        rng = random.Random(f"{seed}:{index}")
        folder, name = rng.choice(candidates)
        with open(os.path.join(folder, name), "rb") as file:
            text = file.read()
        for _ in range(rng.randint(1, 3)):
            text = mutate(text, rng)
        label = f"mutant {index} of seed {seed} ({os.path.relpath(os.path.join(folder, name), ROOT)})"
        runs = ([("plain", [name], None, []), ("debug", [name, "-d"], None, [])]
                if program == "qelc" else [("text", [name], None, [])])
        yield label, folder, (name, text), runs


def compare_job(job):
    """Runs both programs for one case or mutant; returns (label, differences, kept folder)."""
    (label, inputs, mutant, runs), (old_qelc, new_qelc, timeout, scratch) = job
    work = tempfile.mkdtemp(prefix=re.sub(r"\W+", "-", label)[:60] + "-", dir=scratch)
    differences = []
    for tag, args, filesize, setup in runs:
        for side, qelc in (("old", old_qelc), ("new", new_qelc)):
            folder = os.path.join(work, tag, side)
            if os.path.isdir(inputs):
                shutil.copytree(inputs, folder)
            else:
                os.makedirs(folder)
            if mutant:
                with open(os.path.join(folder, mutant[0]), "wb") as file:
                    file.write(mutant[1])
            locked = []
            for verb, name in setup:
                path = os.path.join(folder, name)
                if verb == "mkdir":
                    os.makedirs(path, exist_ok=True)
                elif verb == "readonly" and os.geteuid() != 0:
                    os.chmod(path, os.stat(path).st_mode & ~0o222)
                    locked.append(path)
            if compare.run(qelc, args, folder, timeout, filesize) == "timeout":
                differences.append(f"{tag or 'run'}: {side} ran past {timeout} s")
            for path in locked:
                os.chmod(path, os.stat(path).st_mode | 0o200)
        old, new = os.path.join(work, tag, "old"), os.path.join(work, tag, "new")
        differences += [f"{tag or 'run'}: " + line.replace(os.path.join(work, tag, ""), "")
                        for line in compare.compare_folders(old, new)
                        + compare.compare_folders(old + ".console", new + ".console")]
    if not differences:
        shutil.rmtree(work)
    return label, differences, work


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("old_qelc")
    parser.add_argument("new_qelc")
    parser.add_argument("--mutations", type=int, default=1000, metavar="N")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--timeout", type=float, default=10, metavar="SECONDS")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--qellint", action="store_true",
                        help="compare two qellint builds' text output")
    options = parser.parse_args()
    scratch = tempfile.mkdtemp(prefix="qelc-compare-cases-")
    settings = (os.path.abspath(options.old_qelc), os.path.abspath(options.new_qelc),
                options.timeout, scratch)
    program = "qellint" if options.qellint else "qelc"
    groups = {"cases": case_jobs(program),
              "mutations": mutant_jobs(options.mutations, options.seed, program)}
    summary, failed = [], False
    with multiprocessing.Pool(options.jobs) as pool:
        for group, jobs in groups.items():
            compared = differ = 0
            for label, differences, kept in pool.imap_unordered(
                    compare_job, ((job, settings) for job in jobs), chunksize=4):
                compared += 1
                if differences:
                    differ += 1
                    print(f"{label} differs (kept in {kept}):", flush=True)
                    for line in differences:
                        print(f"    {line}", flush=True)
            summary.append(f"{group}: {compared} compared, {differ} differ")
            failed = failed or differ > 0
    print("\n".join(summary))
    if failed:
        print(f"differing folders kept in {scratch}")
    else:
        shutil.rmtree(scratch)
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
