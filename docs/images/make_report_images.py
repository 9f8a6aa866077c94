#!/usr/bin/env python3
"""Draws the images of docs/report.md from the example device.

Compiles examples/device.daf and examples/library.ipf in a scratch folder,
writes their pages with `qeldump --html`, and saves the page's first pinout,
first memory map and first module symbol as standalone SVG files beside this
script, each with the page's style sheet inside it.
usage: make_report_images.py QELC QELDUMP"""
import os, re, shutil, subprocess, sys, tempfile

qelc, qeldump = (os.path.abspath(p) for p in sys.argv[1:3])
here = os.path.dirname(os.path.abspath(__file__))
examples = os.path.join(here, "..", "..", "examples")


def page_of(source, output, work):
    shutil.copy(os.path.join(examples, source), work)
    subprocess.run([qelc, source], cwd=work, check=True, capture_output=True)
    return subprocess.run([qeldump, "--html", output], cwd=work, check=True,
                          capture_output=True).stdout.decode("utf-8")


def save(page, svg_class, name):
    style = re.search(r"<style>(.*?)</style>", page, re.S).group(1)
    svg = re.search(r'<svg class="drawing ' + svg_class + r'".*?</svg>', page, re.S).group(0)
    svg = svg.replace("<svg ", '<svg xmlns="http://www.w3.org/2000/svg" ', 1)
    svg = re.sub(r'(viewBox="0 0 (\S+) (\S+)")', r'\1 width="\2" height="\3"', svg, count=1)
    svg = svg.replace(">", "><style>" + style + "svg { font-family: sans-serif; background: #fff; }"
                      "</style>", 1)
    with open(os.path.join(here, name), "w") as f:
        f.write(svg)
    print("wrote", os.path.join("docs", "images", name))


with tempfile.TemporaryDirectory() as work:
    device = page_of("device.daf", "device.dab", work)
    save(device, "pinout", "device-pinout.svg")
    save(device, "address-bar", "device-memory-map.svg")
    save(page_of("library.ipf", "library.ipb", work), "symbol", "library-module.svg")
