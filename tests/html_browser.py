#!/usr/bin/env python3
"""The pages of qeldump --html as a browser shows them.

Renders in headless Chromium the pages of the examples and of a few made-up
devices (a pin name with markup in it, reserved and unnamed pins, a 1,000-pin
package, a memory map with a gap and an overlap, a soft-IP module), each with
--dump-dom and --screenshot, and checks that the rendered page holds one pin
shape per stored pin row with its attributes (and one block per map range, one
port per module port), that nothing on it was to be fetched or failed to load,
and that the screenshot is not blank. Exits 77 (skipped) when no browser is given.
usage: html_browser.py CHROMIUM QELC QELDUMP EXAMPLES"""
import collections, json, os, shutil, struct, subprocess, sys, tempfile, zlib

from html_shapes import Shapes

chromium = sys.argv[1]
qelc, qeldump, examples = (os.path.abspath(p) for p in sys.argv[2:5])
if not chromium or chromium.endswith("NOTFOUND") or not shutil.which(chromium):
    print("skipped: no chromium to render the pages with (Debian's package chromium)")
    sys.exit(77)

# A 1,000-pin package in condition blocks of 149 rows, the most a block holds.
BIG = "PinNumberByPackage {\n" + "".join(
    f"  When PACKAGE is 'B{b}' :\n" + ",\n".join(
        f"    BGA1000 : {n} : 'S{n}'" for n in range(b * 149 + 1, min(b * 149 + 150, 1001))) + "\n"
    for b in range(7)) + "}\n"
SOURCES = {
    "marks.daf": "Device M\nPinNumberByPackage {\n  When PACKAGE is 'SO8' :\n"
                 "    SO8 : 1 : '<b>', SO8 : 2 : RSV, SO8 : 3 : 'a&b', SO8 : 12 : 'FAR'\n"
                 "  When PACKAGE is 'Q' : TQFP44 : 1 : VDD, TQFP44 : 44 : \"x\"\n}\n"
                 "MemoryMap {\n  Always :\n  {\n    Number : 3\n    Title : 'RAM <main>'\n"
                 "    Description : 'd'\n    Main : 'M'\n    Secondary : 'S'\n"
                 "    0x0 : 0xFF : 'Boot' : RX : - : 256 : b\n"
                 "    0x80 : 0x1FF : 'Over' : RW : - : 384 : o\n"
                 "    4096 : 8191 : 'Far' : RW : - : 4K : f\n  }\n}\n",
    "big.daf": "Device B\n" + BIG,
}


def run(args, cwd, timeout=120):
    return subprocess.run(args, cwd=cwd, capture_output=True, timeout=timeout)


class Dom(Shapes):
    """The shapes, and every attribute that would fetch something."""

    def __init__(self):
        super().__init__()
        self.fetched = []

    def handle_starttag(self, tag, attrs):
        super().handle_starttag(tag, attrs)
        a = dict(attrs)
        for name in ("src", "href", "xlink:href", "srcset", "poster", "data"):
            if name in a and not (a[name] or "").startswith("#"):
                self.fetched.append(f"<{tag} {name}={a[name]!r}>")


def rows_of(doc):
    pins, blocks, ports = [], [], []
    for block in doc.get("tables", {}).get("pinNumbers", []):
        pins += [(r["package"], r["pinNumber"], r["name"], r["reserved"] != 0) for r in block["rows"]]
    for block in doc.get("tables", {}).get("memoryMaps", []):
        for m in block["maps"]:
            blocks += [(m["number"], (e["fields"] + ["", ""])[0], (e["fields"] + ["", ""])[1])
                       for e in m["entries"]]
    for module in doc.get("modules", []):
        for key, direction in (("inputs", "in"), ("outputs", "out")):
            ports += [(module["name"], p["text1"], direction) for p in module[key]]
    return pins, blocks, ports


def png_pixels(path):
    """Width, height and the rows of an 8-bit RGB or RGBA PNG, unfiltered."""
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    at, idat = 8, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            assert depth == 8 and colour in (2, 6), f"PNG colour type {colour}, depth {depth}"
            channels = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        line = raw[y * (stride + 1):(y + 1) * (stride + 1)]
        kind, row = line[0], bytearray(line[1:])
        for x in range(stride):
            left = row[x - channels] if x >= channels else 0
            up, corner = previous[x], previous[x - channels] if x >= channels else 0
            if kind == 1:
                row[x] = (row[x] + left) & 255
            elif kind == 2:
                row[x] = (row[x] + up) & 255
            elif kind == 3:
                row[x] = (row[x] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                row[x] = (row[x] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append(row)
        previous = row
    return width, height, channels, rows


def inked(path):
    """The share of the screenshot's pixels that are not the background's colour."""
    width, height, channels, rows = png_pixels(path)
    background = bytes(rows[0][:3])
    inked = sum(1 for row in rows for x in range(0, width * channels, channels)
                if bytes(row[x:x + 3]) != background)
    return inked / (width * height)


failures, counts = [], collections.Counter()
with tempfile.TemporaryDirectory() as work:
    pages = []
    for source in ("device.daf", "library.ipf"):
        shutil.copy(os.path.join(examples, source), work)
    for name, text in SOURCES.items():
        with open(os.path.join(work, name), "w") as f:
            f.write(text)
    for source in ["device.daf", "library.ipf"] + list(SOURCES):
        compiled = run([qelc, source], work)
        output = source.rsplit(".", 1)[0] + (".dab" if source.endswith(".daf") else ".ipb")
        if compiled.returncode != 0:
            failures.append(f"{source}: does not compile: {compiled.stdout[-300:]!r}")
            continue
        page = os.path.join(work, output + ".html")
        if run([qeldump, "--html", "-o", page, output], work).returncode != 0:
            failures.append(f"{source}: qeldump --html failed")
            continue
        doc = json.loads(run([qeldump, "--json", output], work).stdout)
        pages.append((source, page, rows_of(doc)))

    browser = [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
               "--user-data-dir=" + os.path.join(work, "profile"), "--enable-logging=stderr",
               "--v=0"]
    for source, page, want in pages:
        url = "file://" + page
        dom = run(browser + ["--dump-dom", url], work, timeout=180)
        found = Dom()
        found.feed(dom.stdout.decode("utf-8", "replace"))
        for kind, got, rows in zip(("pin shapes", "map blocks", "module ports"),
                                   (found.pins, found.blocks, found.ports), want):
            if collections.Counter(got) != collections.Counter(rows):
                failures.append(f"{source}: rendered {kind} differ from --json: "
                                f"{sorted(set(got) ^ set(rows))[:4]}")
            counts[kind] += len(got)
        log = dom.stderr.decode("utf-8", "replace")
        for line in log.splitlines():
            if "net::ERR" in line or "Failed to load" in line or "Not allowed to load" in line:
                failures.append(f"{source}: {line.strip()[:200]}")
        failures += [f"{source}: the page fetches {what}" for what in found.fetched]
        shot = os.path.join(work, os.path.basename(page) + ".png")
        run(browser + ["--window-size=1000,1400", "--screenshot=" + shot, url], work, timeout=180)
        if not os.path.exists(shot):
            failures.append(f"{source}: no screenshot")
            continue
        share = inked(shot)
        if share < 0.01:
            failures.append(f"{source}: the screenshot is blank ({share:.2%} inked)")
        counts["pages"] += 1
        print(f"{source}: {len(found.pins)} pin shapes, {len(found.blocks)} map blocks, "
              f"{len(found.ports)} ports rendered; screenshot {share:.1%} inked")

for failure in failures:
    print("FAIL", failure)
print(f"pages: {counts['pages']}, pin shapes: {counts['pin shapes']}, map blocks: "
      f"{counts['map blocks']}, module ports: {counts['module ports']}, failures: {len(failures)}")
sys.exit(1 if failures else 0)
