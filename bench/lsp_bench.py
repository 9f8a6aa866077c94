#!/usr/bin/env python3
"""How fast qel-language-server answers, and how much memory it keeps.

    lsp_bench.py SERVER QELLINT [CHANGES] [CASES EXAMPLES]

Drives the server over pipes as an editor does.

Diagnostics: opens a generated DAF source of 10,000 lines, then makes CHANGES
(default 40) one-character edits to it, each time measuring from the didChange
message to the diagnostics published for it (the server waits 20 ms of quiet
before it lints). Every other edit puts a mistake into a Pin line and the next
takes it out. The same again on a source of 10,000 lines with about 5,000
findings (its pin numbers are in a package named P1, which has one pin), and
on one with the same findings all on one line of 99 KB. For comparison,
qellint on each file.

Requests: on generated sources of odd shapes (a soft-IP module of 65,534 bus
names, 100,000 nested braces, the three sources above) and on the largest
sources of the test cases and the examples, the time of documentSymbol,
foldingRange, hover and references: the first after a didSave (which makes
the server read the source again) and the median of 5 more.

Memory: opens 200 documents of 1,000 lines each, waits for the diagnostics of
all, and reads the server's resident memory (VmRSS) before and after."""

import glob
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "lsp"))
from client import Client, uri_of  # noqa: E402

REQUEST_RUNS = 5


def pin_numbers(packages, rows):
    """A PinNumberByPackage section: a block per package, `rows` rows each."""
    out = ["PinNumberByPackage {"]
    for block, package in enumerate(packages):
        out.append(f"  When PACKAGE is '{package}' :")
        out += [f"    {package} : {row + 2} : 'S{block}_{row}'" + ("," if row + 1 < rows else "")
                for row in range(rows)]
    out.append("}")
    return out


def daf_source(lines, findings=False, one_line=False):
    """A DAF source of about `lines` lines: pin numbers, type categories, and
    Pin groups of 210 lines until the count is reached. Without a finding, or
    with `findings` four PinNumberByPackage sections of 1,260 rows in the
    package P1, which has one pin: a warning for each row; with `one_line`
    all of them on one line of 99 KB."""
    out = ["Device Bench"]
    if findings:
        for _ in range(4):
            out += pin_numbers(["P1"] * 9, 140)
        if one_line:
            out = [out[0], " ".join(line.strip() for line in out[1:])]
    else:
        out += pin_numbers([f"Q{block}FP160" for block in range(9)],
                           min(149, max(1, (lines - 40) // 9 // 2)))
    out.append("TypeCategory {")
    out += [f"  CAT{c} = 'v{c}'" for c in range(20)]
    out.append("}")
    out.append("Pin {")
    group = 0
    while len(out) < lines - 25:
        out.append(f"  S{group % 9}_{group // 9 % 140} : {{")
        for cond in range(10):
            out.append(f"    {'else ' if cond else ''}if PN[{cond}] is 'X{cond}'")
            out += [f"      CAT{cat} : T{cat}, T{(cat + 1) % 40}" for cat in range(20)]
        out.append("  }")
        group += 1
    out.append("}")
    return "\n".join(out) + "\n"


def bus_source():
    """A soft-IP module whose BusExtName block lists 65,534 names on one line."""
    names = " ".join("b" for _ in range(65534))
    return "Bus {\n  Module : { 'bus' : 1 ; }\n  BusExtName : { " + names + " }\n}\n"


def nested_source():
    depth = 100000
    return "Device QX1\nStringQuote {\n  " + "{" * depth + "}" * depth + "\n}\n"


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def figures(times):
    """Median and 90th percentile of `times` (ms)."""
    ordered = sorted(times)
    p90 = ordered[min(len(ordered) - 1, int(0.9 * len(ordered)))]
    return f"median {statistics.median(times):.1f} ms, 90th percentile {p90:.1f} ms"


def edit_latency(client, root, name, text, changes):
    """The times (ms) from each of `changes` edits to its diagnostics."""
    lines = text.split("\n")
    path = os.path.join(root, name)
    with open(path, "w") as file:
        file.write(text)
    uri = uri_of(path)
    client.open(path, text)
    before = len(client.wait_diagnostics(uri, timeout=60))
    # The edit: the first category name of a Pin line in the middle.
    line = next(n for n in range(len(lines) // 2, len(lines)) if lines[n].strip().startswith("CAT"))
    character = lines[line].index("CAT") + 1
    times = []
    for change in range(changes):
        with client.published:
            client.diagnostics.pop(uri, None)
        sent = time.perf_counter()
        client.notify("textDocument/didChange", {
            "textDocument": {"uri": uri, "version": change + 2},
            "contentChanges": [{"range": {"start": {"line": line, "character": character},
                                          "end": {"line": line, "character": character + 1}},
                                "text": "X" if change % 2 == 0 else "A"}]})
        found = client.wait_diagnostics(uri, timeout=60)
        times.append((time.perf_counter() - sent) * 1000)
        if (len(found) > before) != (change % 2 == 0):
            sys.exit(f"{name}, change {change}: {len(found)} diagnostics after {before}")
    client.notify("textDocument/didClose", {"textDocument": {"uri": uri}})
    client.wait_diagnostics(uri, lambda found: not found, timeout=60)
    return path, before, times


def qellint_ms(qellint, path, runs=10):
    times = []
    for _ in range(runs):
        started = time.perf_counter()
        subprocess.run([qellint, os.path.basename(path)], cwd=os.path.dirname(path),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        times.append((time.perf_counter() - started) * 1000)
    return statistics.median(times)


def middle_word(text):
    """The position of the first word of the middle line that has one."""
    lines = text.split("\n")
    for line in list(range(len(lines) // 2, len(lines))) + list(range(len(lines) // 2 - 1, -1, -1)):
        stripped = lines[line].lstrip(" \t{}")
        if stripped and (stripped[0].isalnum() or stripped[0] == "'"):
            return {"line": line, "character": len(lines[line]) - len(stripped) + 1}
    return {"line": 0, "character": 0}


def time_requests(client, path, text, position):
    """Per method: the ms of the first request after a notification (didSave:
    the source is read again), the median ms of REQUEST_RUNS more, and what
    the last answered (a count)."""
    uri = uri_of(path)
    asked = {
        "documentSymbol": {},
        "foldingRange": {},
        "hover": {"position": position},
        "references": {"position": position, "context": {"includeDeclaration": True}},
    }
    row = {}
    for method, params in asked.items():
        client.notify("textDocument/didSave", {"textDocument": {"uri": uri}})
        times = []
        for _ in range(REQUEST_RUNS + 1):
            started = time.perf_counter()
            reply = client.request("textDocument/" + method,
                                   {"textDocument": {"uri": uri}, **params}, timeout=120)
            times.append((time.perf_counter() - started) * 1000)
        result = reply.get("result")
        count = len(result) if isinstance(result, list) else int(result is not None)
        row[method] = (times[0], statistics.median(times[1:]), count)
    return row


def request_sources(root, cases, examples):
    """(name, path, text, position) of the sources the requests are timed on."""
    big = daf_source(10_000)
    generated = [
        ("bus.ipf (65,534 bus names on a line)", "bus.ipf", bus_source(), None),
        ("nested.daf (100,000 nested braces)", "nested.daf", nested_source(), None),
        ("big.daf (10,000 lines)", "big.daf", big, None),
        ("findings.daf (10,000 lines, 5,043 findings)", "findings.daf",
         daf_source(10_000, findings=True), None),
        ("one-line.daf (5,043 findings on one line)", "one-line.daf",
         daf_source(4_961, findings=True, one_line=True), None),
    ]
    sources = []
    for label, name, text, position in generated:
        path = os.path.join(root, "requests", name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as file:
            file.write(text)
        if "'S4_70'" in text:
            # A pin name of a PinNumberByPackage row that a Pin entry uses.
            line = next(n for n, row in enumerate(text.split("\n")) if "'S4_70'" in row)
            position = {"line": line, "character": text.split("\n")[line].index("'S4_70'") + 2}
        sources.append((label, path, text, position or middle_word(text)))
    found = []
    if cases:
        found += glob.glob(os.path.join(cases, "*", "*", "in", "**", "*"), recursive=True)
    if examples:
        found += glob.glob(os.path.join(examples, "**", "*"), recursive=True)
    found = [p for p in found if os.path.isfile(p)
             and os.path.splitext(p)[1].lower()[:4] in (".daf", ".ipf")]
    for kind in (".daf", ".ipf"):
        largest = sorted((p for p in found if os.path.splitext(p)[1].lower().startswith(kind)),
                         key=os.path.getsize, reverse=True)[:2]
        for source in largest:
            with open(source, encoding="utf-8", errors="replace", newline="") as file:
                text = file.read()
            # Each in a copy of its folder, so that its includes are read.
            folder = os.path.join(root, "cases", str(len(sources)))
            shutil.copytree(os.path.dirname(source), folder)
            path = os.path.join(folder, os.path.basename(source))
            parts = os.path.normpath(source).split(os.sep)
            label = parts[-3] + "/" + parts[-1] if "in" in parts[-3:-1] else parts[-1]
            sources.append((label[:44], path, text, middle_word(text)))
    return sources


def main():
    server, qellint = map(os.path.abspath, sys.argv[1:3])
    changes = int(sys.argv[3]) if len(sys.argv) > 3 else 40
    cases = sys.argv[4] if len(sys.argv) > 4 else None
    examples = sys.argv[5] if len(sys.argv) > 5 else None
    root = tempfile.mkdtemp(prefix="qel-lsp-bench-")
    client = Client(server, root)
    started = rss_kib(client.process.pid)

    for name, findings, one_line in (("big.daf", False, False), ("findings.daf", True, False),
                                     ("one-line.daf", True, True)):
        text = daf_source(10_000 - (5_039 if one_line else 0), findings, one_line)
        path, count, times = edit_latency(client, root, name, text, changes)
        print(f"{name}: {text.count(chr(10))} lines, {count} findings, {changes} edits: "
              f"diagnostics published after {figures(times)} (min {min(times):.1f}, max "
              f"{max(times):.1f}); qellint on the file: {qellint_ms(qellint, path):.1f} ms "
              f"(median of 10 runs)")

    print(f"requests: ms of the first after a didSave / median of {REQUEST_RUNS} more "
          "(the number of items answered)")
    print(f"{'source':<44} {'KB':>6} {'symbols':>20} {'folding':>20} {'hover':>16} "
          f"{'references':>18}")
    for label, path, text, position in request_sources(root, cases, examples):
        client.open(path, text)
        client.wait_diagnostics(uri_of(path), timeout=120)
        row = time_requests(client, path, text, position)
        cells = [f"{row[m][0]:.1f} / {row[m][1]:.1f} ({row[m][2]})" for m in
                 ("documentSymbol", "foldingRange", "hover", "references")]
        print(f"{label:<44} {len(text.encode()) / 1000:6.1f} {cells[0]:>20} "
              f"{cells[1]:>20} {cells[2]:>16} {cells[3]:>18}")
        client.notify("textDocument/didClose", {"textDocument": {"uri": uri_of(path)}})

    documents = 200
    small = daf_source(1_000)
    one = rss_kib(client.process.pid)
    for n in range(documents):
        client.open(os.path.join(root, f"dev{n}.daf"), small.replace("Device Bench", f"Device D{n}"))
    for n in range(documents):
        client.wait_diagnostics(uri_of(os.path.join(root, f"dev{n}.daf")), timeout=120)
    many = rss_kib(client.process.pid)
    print(f"resident memory: {started / 1024:.1f} MiB at start, {one / 1024:.1f} MiB after the "
          f"runs above, {many / 1024:.1f} MiB with {documents} more documents of "
          f"{len(small.splitlines())} lines ({len(small) * documents / 2**20:.1f} MiB of text)")
    client.close()
    shutil.rmtree(root)


if __name__ == "__main__":
    main()
