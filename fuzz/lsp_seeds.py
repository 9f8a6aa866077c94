#!/usr/bin/env python3
"""Writes seeds of the language server's fuzz target: for each DAF and IPF
source of the folders, a session that initializes, opens the source, changes
it, asks each question at its middle and shuts down, framed as an editor
frames it.

usage: lsp_seeds.py CORPUS FOLDER..."""
import glob
import hashlib
import json
import os
import sys


def framed(messages):
    out = b""
    for message in messages:
        body = json.dumps({"jsonrpc": "2.0", **message}).encode()
        out += b"Content-Length: %d\r\n\r\n" % len(body) + body
    return out


def session(name, text):
    uri = "file:///" + name
    lines = text.split("\n")
    middle = {"line": len(lines) // 2, "character": len(lines[len(lines) // 2]) // 2}
    document = {"textDocument": {"uri": uri}}
    asked = [{"id": n + 2, "method": method, "params": {**document, "position": middle}}
             for n, method in enumerate(["textDocument/hover", "textDocument/definition",
                                         "textDocument/documentSymbol",
                                         "textDocument/completion", "textDocument/formatting"])]
    return framed([
        {"id": 1, "method": "initialize", "params": {"rootUri": "file:///"}},
        {"method": "textDocument/didOpen", "params": {"textDocument": {
            "uri": uri, "languageId": "daf", "version": 1, "text": text}}},
        {"method": "textDocument/didChange", "params": {**document, "contentChanges": [
            {"range": {"start": middle, "end": middle}, "text": "x"}]}},
        *asked,
        {"id": 99, "method": "shutdown"},
        {"method": "exit"}])


def main():
    corpus = sys.argv[1]
    sources = []
    for folder in sys.argv[2:]:
        for extension in ("daf", "ipf"):
            sources += glob.glob(os.path.join(folder, "**", "*." + extension), recursive=True)
    for path in sorted(sources):
        if not os.path.isfile(path):
            continue
        with open(path, "rb") as file:
            text = file.read().decode("utf-8", errors="replace")
        seed = session(os.path.basename(path), text)
        with open(os.path.join(corpus, "seed-" + hashlib.sha1(seed).hexdigest()[:16]), "wb") as out:
            out.write(seed)


if __name__ == "__main__":
    main()
