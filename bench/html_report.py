#!/usr/bin/env python3
"""Times qeldump --html on the largest pages a DAB file gives.

Two files: a device whose 1,000-pin package is spread over seven condition
blocks of the pin-number table (compiled by QELC), and a DAB file with every
record of every table filled (made here from the field map that
`qeldump --layout` prints: each text field a reference to one of a few thousand
pool strings, each number a small count, the memory-map ranges with addresses).
Prints, per file, the size of the file and of the page and the best wall time
of RUNS runs of `qeldump --html -o PAGE`.
usage: html_report.py QELC QELDUMP [RUNS]"""
import os, struct, subprocess, sys, tempfile, time

qelc, qeldump = (os.path.abspath(p) for p in sys.argv[1:3])
runs = int(sys.argv[3]) if len(sys.argv) > 3 else 5
MB = 1024 * 1024


def thousand_pin_source():
    blocks = []
    for b in range(7):
        pins = range(b * 149 + 1, min(b * 149 + 150, 1001))
        blocks.append(f"  When PACKAGE is 'B{b}' :\n" +
                      ",\n".join(f"    BGA1000 : {n} : 'S{n}'" for n in pins) + "\n")
    return "Device B\nPinNumberByPackage {\n" + "".join(blocks) + "}\n"


def layout():
    """(offset, size, count, kind, path) of every field, nested ones relative."""
    lines = subprocess.run([qeldump, "--layout"], capture_output=True, check=True).stdout
    fields, stack = [], []
    for line in lines.decode().splitlines():
        offset, size, count, kind, path = line.split()
        depth = path.count("[]")
        node = {"offset": int(offset.lstrip("+"), 0), "size": int(size), "count": int(count),
                "kind": kind, "path": path, "fields": []}
        del stack[depth:]
        (stack[-1]["fields"] if stack else fields).append(node)
        stack.append(node)
    return fields


def full_block():
    pool = bytearray(b"\0")
    refs = {}

    def ref(text):
        if text not in refs:
            refs[text] = len(pool)
            pool.extend(text.encode() + b"\0")
        return refs[text]

    block = bytearray(0x1E3400)
    block[0:9] = b"6.0.0.0.1"
    counter = [0]

    def fill(fields, base, index):
        for field in fields:
            for i in range(field["count"]):
                at = base + field["offset"] + i * field["size"]
                if field["kind"] == "record":
                    fill(field["fields"], at, i)
                    continue
                if field["kind"] != "string" and field["kind"] != "int":
                    continue
                counter[0] += 1
                if field["kind"] == "int":
                    value = index + 1
                elif field["path"].endswith("entries[].fields") and i < 2:
                    value = ref(f"0x{index * 0x1000 + i * 0xFFF:08X}")
                elif field["path"].endswith("rows[].package"):
                    value = ref("LQFP600")
                else:
                    value = ref(f"S{counter[0] % 2500}")
                struct.pack_into("<i", block, at, value)

    fill([f for f in layout() if f["offset"] >= 0x20], 0, 0)
    struct.pack_into("<ii", block, 0x14, len(pool), 32000)
    assert len(pool) <= 32000, len(pool)
    return bytes(block) + bytes(pool)


def best_of(argv, cwd):
    walls = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(argv, cwd=cwd, check=True, capture_output=True)
        walls.append(time.perf_counter() - start)
    return min(walls)


with tempfile.TemporaryDirectory() as work:
    with open(os.path.join(work, "big.daf"), "w") as f:
        f.write(thousand_pin_source())
    subprocess.run([qelc, "big.daf"], cwd=work, check=True, capture_output=True)
    with open(os.path.join(work, "full.dab"), "wb") as f:
        f.write(full_block())
    print(f"{'file':<32} {'file MB':>8} {'page MB':>8} {'best wall s':>12}")
    for label, name in (("1,000-pin package (7 blocks)", "big.dab"),
                        ("every table full", "full.dab")):
        page = os.path.join(work, name + ".html")
        wall = best_of([qeldump, "--html", "-o", page, name], work)
        print(f"{label:<32} {os.path.getsize(os.path.join(work, name)) / MB:8.2f} "
              f"{os.path.getsize(page) / MB:8.2f} {wall:12.3f}")
