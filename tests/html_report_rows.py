#!/usr/bin/env python3
"""qeldump --html draws exactly the rows that qeldump --json lists.

For every whole-program case run by qelc (no `program` file) that ends with
status 0 and leaves DAB or IPB files (expect/files/NAME.dab.txt, .ipb.txt), and
for the examples: compile in a scratch copy, then compare the page of each file
with its JSON. A DAB page holds one pin shape per stored pin-number row (its
package, number, name and reserved mark) and one block per memory-map range
(its map number, start and end as written); an IPB page one port per input and
output of each module (module, port name, direction). Each file is then damaged
(cut short, and with a string reference moved past its pool) and --html must
end with status 2, a message on standard error and nothing on standard output.
Prints how many files and shapes were compared; exits 1 on any difference.
usage: html_report_rows.py QELC QELDUMP CASES EXAMPLES"""
import collections, json, os, shutil, subprocess, sys, tempfile

from html_shapes import Shapes

qelc, qeldump, cases_root, examples = (os.path.abspath(p) for p in sys.argv[1:5])
failures = []
counts = collections.Counter()


def run(args, cwd):
    return subprocess.run(args, cwd=cwd, capture_output=True, timeout=120)


def expected(doc):
    pins, blocks, ports = [], [], []
    if doc["kind"] == "dab":
        for block in doc["tables"]["pinNumbers"]:
            for row in block["rows"]:
                pins.append((row["package"], row["pinNumber"], row["name"], row["reserved"] != 0))
        for block in doc["tables"]["memoryMaps"]:
            for m in block["maps"]:
                for entry in m["entries"]:
                    fields = entry["fields"] + [""] * 2
                    blocks.append((m["number"], fields[0], fields[1]))
    else:
        for module in doc["modules"]:
            for key, direction in (("inputs", "in"), ("outputs", "out")):
                for port in module[key]:
                    ports.append((module["name"], port["text1"], direction))
    return pins, blocks, ports


def compare(label, path, work):
    page = run([qeldump, "--html", path], work)
    doc = run([qeldump, "--json", path], work)
    if page.returncode != 0 or doc.returncode != 0:
        failures.append(f"{label}: --html exited {page.returncode}: {page.stderr[:200]!r}")
        return
    text = page.stdout.decode("utf-8")
    for external in ("src=\"http", "href=\"http", "url(http", "<script"):
        if external in text:
            failures.append(f"{label}: the page holds {external}")
    shapes = Shapes()
    shapes.feed(text)
    want = expected(json.loads(doc.stdout))
    for kind, got, rows in zip(("pin shapes", "map blocks", "module ports"),
                               (shapes.pins, shapes.blocks, shapes.ports), want):
        if collections.Counter(got) != collections.Counter(rows):
            failures.append(f"{label}: {kind} differ: page {sorted(got)[:5]}, json {sorted(rows)[:5]}")
        counts[kind] += len(rows)
    counts["files"] += 1
    damage(label, path, work)


def damage(label, path, work):
    data = open(path, "rb").read()
    damaged = {"cut short": data[:len(data) // 2]}
    if data.startswith(b"6.0.0.0.1"):
        # The package reference of the first pin-number row, past the pool.
        at = 0x20 + 4
        damaged["a reference past the pool"] = data[:at] + b"\xff\xff\xff\x7f" + data[at + 4:]
    for what, bytes_ in damaged.items():
        broken = os.path.join(work, "broken.bin")
        with open(broken, "wb") as f:
            f.write(bytes_)
        out = run([qeldump, "--html", broken], work)
        if out.returncode != 2 or out.stdout or not out.stderr.startswith(b"qeldump: "):
            failures.append(f"{label}: {what}: status {out.returncode}, "
                            f"{len(out.stdout)} bytes on standard output")
        counts["damaged files"] += 1


def case_runs():
    for area in sorted(os.listdir(cases_root)):
        for name in sorted(os.listdir(os.path.join(cases_root, area))):
            case = os.path.join(cases_root, area, name)
            if any(os.path.exists(os.path.join(case, f)) for f in ("program", "limits", "setup")):
                continue
            try:
                status = open(os.path.join(case, "expect", "status")).read().strip()
            except OSError:
                continue
            files_dir = os.path.join(case, "expect", "files")
            outputs = []
            for folder, _, names in os.walk(files_dir) if os.path.isdir(files_dir) else []:
                outputs += [os.path.relpath(os.path.join(folder, n), files_dir)[:-len(".txt")]
                            for n in names if n.endswith((".dab.txt", ".ipb.txt"))]
            if status != "0" or not outputs:
                continue
            args_file = os.path.join(case, "args")
            args = open(args_file).read().split("\n") if os.path.exists(args_file) else []
            if args and args[-1] == "":
                args.pop()
            yield f"{area}/{name}", os.path.join(case, "in"), args, outputs
    for source, output in (("device.daf", "device.dab"), ("library.ipf", "library.ipb")):
        yield f"examples/{source}", None, [source], [output]


for label, in_dir, args, outputs in case_runs():
    with tempfile.TemporaryDirectory() as work:
        if in_dir:
            shutil.copytree(in_dir, work, dirs_exist_ok=True)
        else:
            shutil.copy(os.path.join(examples, args[0]), work)
        if run([qelc] + args, work).returncode != 0:
            failures.append(f"{label}: does not compile here")
            continue
        for output in outputs:
            compare(f"{label}: {output}", os.path.join(work, output), work)

for failure in failures:
    print("FAIL", failure)
print(f"files: {counts['files']}, pin shapes: {counts['pin shapes']}, "
      f"map blocks: {counts['map blocks']}, module ports: {counts['module ports']}, "
      f"damaged files refused: {counts['damaged files']}, failures: {len(failures)}")
sys.exit(1 if failures else 0)
