#!/usr/bin/env python3
"""qellint --jobs changes nothing but the time it takes.

Lints every source of the cases in one command with --jobs 1 and with --jobs 4
(text and JSON): the outputs must be byte for byte the same. Then each file's
findings in that one long command must equal what linting the file alone gives;
a finding in a file that several sources include is said once there, so it is
compared without the #include lines that reached it.
usage: lint_jobs.py QELLINT CASES"""
import glob, json, os, subprocess, sys
from concurrent.futures import ThreadPoolExecutor

qellint, root = os.path.abspath(sys.argv[1]), sys.argv[2]
os.chdir(root)
files = sorted(glob.glob("*/*/in/**/*.daf", recursive=True) + glob.glob("*/*/in/**/*.ipf", recursive=True))


def lint(*args):
    run = subprocess.run([qellint, *args], capture_output=True)
    return run.returncode, run.stdout, run.stderr


failures = []
for form in ("text", "json"):
    one = lint("--jobs", "1", "--format", form, *files)
    four = lint("--jobs", "4", "--format", form, *files)
    if one != four:
        failures.append(f"--jobs 1 and --jobs 4 differ in --format {form}")

status, out, _ = lint("--jobs", "4", "--format", "json", *files)
together = {}
for finding in json.loads(out)["findings"]:
    together.setdefault(finding["file"], []).append(finding)


def alone(name):
    return name, json.loads(lint("--format", "json", name)[1])["findings"]


def placed(finding):
    return {k: v for k, v in finding.items() if k not in ("includedFrom", "reachedFrom")}


with ThreadPoolExecutor(max_workers=2) as pool:
    for name, found in pool.map(alone, files):
        mine = [f for f in found if f["file"] == name]
        others = [f for f in found if f["file"] != name]
        # Findings in included files carry those files' names.
        said = lambda file: [placed(f) for f in together.get(file, [])]
        if together.get(name, []) != mine or any(placed(f) not in said(f["file"]) for f in others):
            failures.append(f"{name}: its findings alone differ from those in the long command")

for failure in failures:
    print(failure)
print(f"lint --jobs: {len(files)} files, {sum(map(len, together.values()))} findings, "
      f"{len(failures)} differences")
sys.exit(1 if failures else 0)
