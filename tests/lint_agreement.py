#!/usr/bin/env python3
"""qellint agrees with qelc on every whole-program case.

For each case of tests/cases whose source qelc reads (its first argument names a
.daf or .ipf file of in/), in a scratch copy of in/:
- status 0: qellint finds no error, and warns only on the cases that
  tests/lint/quirk_cases lists, with exactly the checks listed there;
- status 1 after a parse or preprocessor error: qellint reports an error, and its
  first error stands where qelc stopped. For "... but seeing 'T'" messages qelc
  names the token T and the preprocessed line N it had read up to; the .pre that
  qelc -d keeps shows the line. The first error must name a source line whose text
  is that preprocessed line (N, or N-1 when T ended a line) with T at the reported
  column; an error said at its cause (a missing ',' at the end of the entry before)
  may do so with its second place, the token it found. A line a define rewrote differs from its source line and is counted
  apart. Preprocessor messages must point at their directive.
Cases that fail for their environment (limits, setup, read-only or a full disk)
are left out, the linter writes nothing; so are the linter's own cases.
usage: lint_agreement.py QELC QELLINT CASES"""
import json, os, re, shutil, subprocess, sys, tempfile

qelc, qellint, root = (os.path.abspath(p) for p in sys.argv[1:4])
DIRECTIVES = {"Cannot open include file": "#include", "Found#endif": "#endif",
              "Found #else": "#else", "The number of #ifdef": "#if",
              "Include files nested": "#include"}
counts = {"clean": 0, "token": 0, "line": 0, "directive": 0, "error only": 0, "rewritten line": 0,
          "found token": 0}
failures = []
warned = set()
quirks = os.path.join(os.path.dirname(os.path.abspath(__file__)), "lint", "quirk_cases")
expected_warnings = {tuple(line.split("#")[0].split()) for line in open(quirks)
                     if line.split("#")[0].strip()}


def run(program, args, cwd):
    return subprocess.run([program] + args, cwd=cwd, capture_output=True)


def check(case, source, status, work):
    lint = run(qellint, ["--format=json", source], work)
    if lint.returncode not in (0, 1):
        return f"qellint status {lint.returncode}: {lint.stderr[-300:]!r}"
    found = json.loads(lint.stdout)["findings"]
    errors = [f for f in found if f["severity"] == "error"]
    if status == 0:
        name = os.path.relpath(case, root)
        warned.update((name, f["check"]) for f in found)
        if errors or lint.returncode != 0:
            return f"errors on a valid source: {errors[:2]}"
        counts["clean"] += 1
        return None
    if not errors or lint.returncode != 1:
        return "no error reported"
    # An error said at its cause names the token qelc stopped at as "found",
    # which is tried first; else the error's own place must stand there.
    places = ([errors[0]["found"]] if "found" in errors[0] else []) + [errors[0]]
    problems = []
    for place in places:
        problem, kind = agrees(case, source, work, place)
        if not problem:
            counts["found token" if place is not errors[0] else kind] += 1
            return None
        problems.append(problem)
    return "; ".join(problems)


def agrees(case, source, work, first):
    """None and the kind of agreement when `first` stands where qelc stopped,
    else what differs."""
    path = os.path.join(work, first["file"])
    lines = open(path, "rb").read().decode("latin-1").split("\n") if os.path.isfile(path) else []
    text = lines[first["line"] - 1].rstrip("\r") if 0 < first["line"] <= len(lines) else None
    expected = open(os.path.join(case, "expect", "stdout"), "rb").read().decode("latin-1") \
        if os.path.exists(os.path.join(case, "expect", "stdout")) else ""
    stderr = open(os.path.join(case, "expect", "stderr"), "rb").read().decode("latin-1") \
        if os.path.exists(os.path.join(case, "expect", "stderr")) else ""
    for message, directive in DIRECTIVES.items():
        if message in stderr:
            if text is None or directive not in text.lower():
                return f"{message}: first error at {first} does not name a {directive} line", None
            return None, "directive"
    # The message is the last thing qelc prints; a token in it may span lines.
    seen = re.search(r"Line: +(\d+): (.*)\n\Z", expected, re.S)
    if not seen:
        return None, "error only"
    line = int(seen.group(1))
    named = re.search(r"but seeing '(.*)'\.\Z", seen.group(2), re.S)
    # "Expecting '1', but seeing '0'." compares token kinds and names no token.
    kinds = re.match(r"Expecting '\d', but", seen.group(2))
    token = named.group(1) if named and not kinds else ""
    keep = tempfile.mkdtemp()
    try:
        shutil.copytree(os.path.join(case, "in"), keep, dirs_exist_ok=True)
        run(qelc, [source, "-d"], keep)
        pre = open(os.path.join(keep, source.rsplit(".", 1)[0] + ".pre"), "rb").read()
    finally:
        shutil.rmtree(keep)
    pre_lines = pre.decode("latin-1").split("\n")
    start = line - token.count("\n")
    candidates = [pre_lines[n - 1] for n in (start, start - 1) if 0 < n <= len(pre_lines)]
    if text is None:
        return f"first error {first} names no source line", None
    if text not in candidates:
        if token and any(token.split("\n")[0] in c for c in candidates):
            return None, "rewritten line"
        return f"first error at {first['file']}:{first['line']} ({text!r}) is not qelc's line {line}", None
    # The tokenizer drops the backslash of an escape from the token's text.
    if not token:
        return None, "line"
    if not text[first["column"] - 1:].replace("\\", "").startswith(token.split("\n")[0]):
        return f"column {first['column']} of {text!r} does not hold {token!r}", None
    return None, "token"


for area in sorted(os.listdir(root)):
    for name in sorted(os.listdir(os.path.join(root, area))):
        case = os.path.join(root, area, name)
        args_file = os.path.join(case, "args")
        args = open(args_file).read().split("\n") if os.path.exists(args_file) else []
        if any(os.path.exists(os.path.join(case, f)) for f in ("limits", "setup", "program")) \
                or not args:
            continue
        source = args[0]
        if not re.search(r"\.(daf|ipf)", source, re.I) or \
                not os.path.isfile(os.path.join(case, "in", source)):
            continue
        status = int(open(os.path.join(case, "expect", "status")).read())
        if status not in (0, 1) or os.path.exists(os.path.join(case, "in", "Out.txt")):
            continue
        work = tempfile.mkdtemp()
        try:
            shutil.copytree(os.path.join(case, "in"), work, dirs_exist_ok=True)
            problem = check(case, source, status, work)
        finally:
            shutil.rmtree(work)
        if problem:
            failures.append(f"{area}/{name}: {problem}")

for name, check in sorted(warned - expected_warnings):
    failures.append(f"{name}: warning {check} on a valid source")
for name, check in sorted(expected_warnings - warned):
    failures.append(f"{name}: no warning {check}, which tests/lint/quirk_cases expects")
print(", ".join(f"{n} {k}" for k, n in counts.items()))
for failure in failures:
    print("FAIL", failure)
sys.exit(1 if failures else 0)
