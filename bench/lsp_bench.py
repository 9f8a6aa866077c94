#!/usr/bin/env python3
"""How fast qel-language-server answers an edit, and how much memory it keeps.

    lsp_bench.py SERVER [CHANGES]

Drives the server over pipes as an editor does: opens a generated DAF source of
10,000 lines, then makes CHANGES (default 40) one-character edits to it, each
time measuring from the didChange message to the diagnostics published for it
(the server waits 20 ms of quiet before it lints). Every other edit puts a
mistake into a Pin line and the next takes it out. Then opens 200 documents of
1,000 lines each, waits for the diagnostics of all, and reads the server's
resident memory (VmRSS) before and after."""

import os
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "lsp"))
from client import Client, uri_of  # noqa: E402


def daf_source(lines):
    """A DAF source of about `lines` lines without a finding: pin numbers,
    type categories, and Pin groups of 210 lines until the count is reached."""
    out = ["Device Bench", "PinNumberByPackage {"]
    for block in range(9):
        package = f"Q{block}FP160"
        out.append(f"  When PACKAGE is '{package}' :")
        rows = min(149, max(1, (lines - 40) // 9 // 2))
        out += [f"    {package} : {row + 1} : 'S{block}_{row}'" + ("," if row + 1 < rows else "")
                for row in range(rows)]
    out.append("}")
    out.append("TypeCategory {")
    out += [f"  CAT{c} = 'v{c}'" for c in range(20)]
    out.append("}")
    out.append("Pin {")
    group = 0
    while len(out) < lines - 25:
        out.append(f"  S{group % 9}_{group // 9} : {{")
        for cond in range(10):
            out.append(f"    {'else ' if cond else ''}if PN[{cond}] is 'X{cond}'")
            out += [f"      CAT{cat} : T{cat}, T{(cat + 1) % 40}" for cat in range(20)]
        out.append("  }")
        group += 1
    out.append("}")
    return "\n".join(out) + "\n"


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def main():
    server = sys.argv[1]
    changes = int(sys.argv[2]) if len(sys.argv) > 2 else 40
    root = tempfile.mkdtemp(prefix="qel-lsp-bench-")
    client = Client(server, root)
    started = rss_kib(client.process.pid)

    text = daf_source(10_000)
    lines = text.split("\n")
    path = os.path.join(root, "big.daf")
    uri = uri_of(path)
    client.open(path, text)
    client.wait_diagnostics(uri, timeout=60)
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
        if (change % 2 == 0) != bool(found):
            sys.exit(f"change {change}: {len(found)} diagnostics, expected "
                     f"{'some' if change % 2 == 0 else 'none'}")
    print(f"source of {len(lines) - 1} lines, {changes} edits: diagnostics published after "
          f"median {statistics.median(times):.1f} ms (min {min(times):.1f}, "
          f"max {max(times):.1f})")

    documents = 200
    small = daf_source(1_000)
    one = rss_kib(client.process.pid)
    for n in range(documents):
        client.open(os.path.join(root, f"dev{n}.daf"), small.replace("Device Bench", f"Device D{n}"))
    for n in range(documents):
        client.wait_diagnostics(uri_of(os.path.join(root, f"dev{n}.daf")), timeout=120)
    many = rss_kib(client.process.pid)
    print(f"resident memory: {started / 1024:.1f} MiB at start, {one / 1024:.1f} MiB with the "
          f"10,000-line source open, {many / 1024:.1f} MiB with {documents} more documents of "
          f"{len(small.splitlines())} lines ({len(small) * documents / 2**20:.1f} MiB of text)")
    client.close()


if __name__ == "__main__":
    main()
