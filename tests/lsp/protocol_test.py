#!/usr/bin/env python3
"""qel-language-server over pipes, as an editor drives it.

usage: protocol_test.py SERVER QELLINT QELC CASES EXAMPLES

Every source of the whole-program cases is opened in the server with its case's
input folder as the workspace, and the diagnostics published must be qellint's
findings for that source, each at the start of the token it names; then the
changes, the included files, hover, definition, symbols, completion,
formatting and malformed messages, on real sources."""

import glob
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from client import Client, uri_of  # noqa: E402

SERVER, QELLINT, QELC, CASES, EXAMPLES = map(os.path.abspath, sys.argv[1:6])
# qeldump stands beside qelc in the build tree.
QELDUMP = os.path.join(os.path.dirname(QELC), "qeldump")
del sys.argv[1:6]


def is_source(path):
    extension = os.path.splitext(path)[1].lower()
    return extension.startswith(".daf") or extension.startswith(".ipf")


def position_of(data, offset):
    """The editor's position (UTF-16 code units) of a byte offset."""
    line = data.count(b"\n", 0, offset)
    start = data.rfind(b"\n", 0, offset) + 1
    character = 0
    at = start
    while at < offset:
        lead = data[at]
        length = 4 if 0xF0 <= lead < 0xF8 else 3 if 0xE0 <= lead < 0xF0 else \
            2 if 0xC0 <= lead < 0xE0 else 1
        character += 2 if length == 4 else 1
        at += length
    return {"line": line, "character": character}


def start_of(data, line, column):
    """Where qellint's line and column (bytes, from 1) stand, clamped to the
    line's end and the text's end."""
    start = 0
    for _ in range(line - 1):
        end = data.find(b"\n", start)
        if end < 0:
            return position_of(data, len(data))
        start = end + 1
    end = data.find(b"\n", start)
    end = len(data) if end < 0 else end
    if end > start and data[end - 1:end] == b"\r":
        end -= 1
    return position_of(data, min(end, start + column - 1))


def qellint_findings(folder, names):
    """uri -> the sorted (start, severity, check, message) that qellint gives."""
    expected = {}
    for name in names:
        run = subprocess.run([QELLINT, "--format=json", name], cwd=folder, capture_output=True)
        for finding in json.loads(run.stdout)["findings"]:
            path = os.path.normpath(os.path.join(folder, finding["file"]))
            with open(path, "rb") as file:
                data = file.read()
            start = start_of(data, finding["line"], finding["column"])
            severity = 1 if finding["severity"] == "error" else 2
            expected.setdefault(uri_of(path), []).append(
                (json.dumps(start), severity, finding["check"], finding["message"]))
    return {uri: sorted(found) for uri, found in expected.items()}


def published(diagnostics):
    return sorted((json.dumps(d["range"]["start"]), d["severity"], d["code"], d["message"])
                  for d in diagnostics)


def folder_files(folder):
    for path in glob.glob(os.path.join(folder, "**", "*"), recursive=True):
        if os.path.isfile(path):
            yield os.path.relpath(path, folder)


def apply(text, edits):
    """`text` with the editor's `edits` applied (ASCII text: characters are bytes)."""
    starts = [0] + [at + 1 for at, c in enumerate(text) if c == "\n"]

    def offset(position):
        if position["line"] >= len(starts):
            return len(text)
        return min(starts[position["line"]] + position["character"], len(text))
    for edit in sorted(edits, key=lambda e: offset(e["range"]["start"]), reverse=True):
        start, end = offset(edit["range"]["start"]), offset(edit["range"]["end"])
        text = text[:start] + edit["newText"] + text[end:]
    return text


class Workspace(unittest.TestCase):
    """A scratch workspace folder and a server whose root it is."""

    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="qel-lsp-")
        self.server = None

    def tearDown(self):
        if self.server:
            if self.server.process.poll() is None:
                self.server.process.kill()
            self.server.wait()
        shutil.rmtree(self.root)

    def write(self, name, text):
        path = os.path.join(self.root, name)
        with open(path, "w") as file:
            file.write(text)
        return path

    def start(self, **options):
        self.server = Client(SERVER, self.root, **options)
        return self.server

    def ask(self, method, path, **params):
        return self.server.request(method, {"textDocument": {"uri": uri_of(path)}, **params})


class DiagnosticsEqualQellint(unittest.TestCase):
    def test_every_case_source(self):
        cases = sorted({path.split(os.sep + "in" + os.sep)[0] for path in glob.glob(
            os.path.join(CASES, "*", "*", "in", "**", "*"), recursive=True) if is_source(path)})
        self.assertGreater(len(cases), 300)
        compared = 0
        for case in cases:
            root = os.path.join(case, "in")
            names = []
            for name in folder_files(root):
                if not is_source(name):
                    continue
                with open(os.path.join(root, name), "rb") as file:
                    try:
                        file.read().decode("utf-8")
                    except UnicodeDecodeError:
                        continue  # an editor's text is UTF-8: no editor holds this one
                names.append(name)
            if not names:
                continue
            expected = qellint_findings(root, names)
            before = sorted(folder_files(root))
            client = Client(SERVER, root)
            for name in names:
                client.open(os.path.join(root, name))
            uris = set(expected) | {uri_of(os.path.join(root, name)) for name in names}
            try:
                for uri in uris:
                    want = expected.get(uri, [])
                    client.wait_diagnostics(uri, lambda found: published(found) == want, 20)
            except TimeoutError:
                got = {uri: published(client.diagnostics.get(uri, [])) for uri in uris}
                self.fail(f"{case}: qellint gives {expected}, the server {got}")
            finally:
                self.assertEqual(client.close(), 0)
            # The server reads and writes nothing in the workspace.
            self.assertEqual(sorted(folder_files(root)), before)
            compared += len(names)
        print(f"{compared} sources of {len(cases)} cases: the server's diagnostics are qellint's")


class Changes(Workspace):
    BAD = "Device QX1\nAlias {\n  When PAKAGE is 'LQFP48' :\n    SWDIO : 'PA13'\n}\n"

    def test_incremental_and_full_changes(self):
        path = self.write("dev.daf", "")
        server = self.start()
        server.open(path, self.BAD)
        uri = uri_of(path)
        found = server.wait_diagnostics(uri, lambda found: len(found) == 1)
        self.assertEqual(found[0]["range"], {"start": {"line": 2, "character": 7},
                                             "end": {"line": 2, "character": 13}})
        self.assertEqual((found[0]["code"], found[0]["source"], found[0]["severity"]),
                         ("condition-syntax", "qellint", 1))
        # Typing the missing letter: one incremental change.
        server.notify("textDocument/didChange", {
            "textDocument": {"uri": uri, "version": 2},
            "contentChanges": [{"range": {"start": {"line": 2, "character": 9},
                                          "end": {"line": 2, "character": 9}}, "text": "C"}]})
        server.wait_diagnostics(uri, lambda found: found == [])
        # The whole text again, with the quote of the value missing.
        server.notify("textDocument/didChange", {
            "textDocument": {"uri": uri, "version": 3},
            "contentChanges": [{"text": self.BAD.replace("PAKAGE is 'LQFP48'", "PACKAGE is LQFP48")}]})
        found = server.wait_diagnostics(uri, lambda found: len(found) == 1)
        self.assertEqual(found[0]["range"]["start"], {"line": 2, "character": 18})
        self.assertIn("must be quoted", found[0]["message"])
        # Several changes in one message apply in order; the file stays untouched.
        server.notify("textDocument/didChange", {
            "textDocument": {"uri": uri, "version": 4},
            "contentChanges": [
                {"range": {"start": {"line": 2, "character": 18}, "end": {"line": 2, "character": 18}},
                 "text": "'"},
                {"range": {"start": {"line": 2, "character": 25}, "end": {"line": 2, "character": 25}},
                 "text": "'"}]})
        server.wait_diagnostics(uri, lambda found: found == [])
        server.notify("textDocument/didClose", {"textDocument": {"uri": uri}})
        self.assertEqual(server.close(), 0)
        self.assertEqual(os.listdir(self.root), ["dev.daf"])
        with open(path) as file:
            self.assertEqual(file.read(), "")

    def test_a_warning_and_utf16_columns(self):
        # Two pins of one name: a warning; the text before it holds a letter
        # of two UTF-16 units, which moves the column by two, not four bytes.
        text = ("Device QX1 // \U0001F600\nPinNumberByPackage {\n  When PACKAGE is 'P' :\n"
                "    P : 1 : 'A', P : 2 : 'A'\n}\n")
        path = self.write("dev.daf", "")
        server = self.start()
        server.open(path, text)
        expected = qellint_findings(self.root, [])  # nothing on the disk's empty file
        self.assertEqual(expected, {})
        found = server.wait_diagnostics(uri_of(path), lambda found: len(found) > 0)
        self.write("dev.daf", text)
        self.assertEqual(published(found), qellint_findings(self.root, ["dev.daf"])[uri_of(path)])
        self.assertEqual(server.close(), 0)


def apply_edits(text, edits):
    """The text with the protocol's text edits applied, last first. Lines end
    at LF, CRLF or CR, as the protocol counts them; the texts are ASCII."""
    starts = [0]
    at = 0
    while at < len(text):
        if text[at] == "\r" and text[at + 1:at + 2] == "\n":
            at += 1
        if text[at] in "\r\n":
            starts.append(at + 1)
        at += 1

    def offset(position):
        return min(len(text), starts[position["line"]] + position["character"])
    for edit in sorted(edits, key=lambda e: offset(e["range"]["start"]), reverse=True):
        text = (text[:offset(edit["range"]["start"])] + edit["newText"] +
                text[offset(edit["range"]["end"]):])
    return text


class QuickFixes(Workspace):
    """Each fix offered is applied as the editor applies it: its finding goes."""

    SOURCES = {
        "did you mean": ("Device QX1\nAlias {\n  When PAKAGE is 'LQFP48' :\n    SWDIO : 'PA13'\n}\n",
                         2, "Replace with 'PACKAGE'"),
        "unquoted value": ("Device QX1\nAlias {\n  When PACKAGE is LQFP48 :\n    SWDIO : 'PA13'\n}\n",
                           2, "Replace with ''LQFP48''"),
        "missing comma": ("Device QX1\nPinNumberByPackage {\n  When PACKAGE is 'Q44' :\n"
                          "    Q44 : 1 : 'VDD'\n    Q44 : 2 : 'GND'\n}\n", 3, "Insert ','"),
        "attribute": ("Device QX1\nInitialize {\n  When PACKAGE is 'Q44' :\n"
                      "    P1.nchnge = 0 ;\n}\n", 3, "Replace with 'P1.nchange'"),
    }

    def test_each_fix_removes_its_finding(self):
        path = self.write("dev.daf", "")
        server = self.start()
        uri = uri_of(path)
        for name, (text, line, title) in self.SOURCES.items():
            with self.subTest(name):
                server.forget_diagnostics()
                server.open(path, text)
                found = server.wait_diagnostics(uri, lambda found: len(found) == 1)
                whole_line = {"start": {"line": line, "character": 0},
                              "end": {"line": line, "character": 99}}
                actions = self.ask("textDocument/codeAction", path, range=whole_line,
                                   context={"diagnostics": found})["result"]
                self.assertEqual([a["title"] for a in actions], [title])
                self.assertEqual(actions[0]["kind"], "quickfix")
                self.assertEqual(actions[0]["diagnostics"][0]["message"], found[0]["message"])
                fixed = apply_edits(text, actions[0]["edit"]["changes"][uri])
                server.notify("textDocument/didChange", {
                    "textDocument": {"uri": uri, "version": 2}, "contentChanges": [{"text": fixed}]})
                server.wait_diagnostics(uri, lambda found: found == [])
                # A range away from the finding offers nothing.
                elsewhere = {"start": {"line": 0, "character": 0}, "end": {"line": 0, "character": 1}}
                server.notify("textDocument/didChange", {
                    "textDocument": {"uri": uri, "version": 3}, "contentChanges": [{"text": text}]})
                server.wait_diagnostics(uri, lambda found: len(found) == 1)
                self.assertEqual(
                    self.ask("textDocument/codeAction", path, range=elsewhere,
                             context={"diagnostics": []})["result"], [])
                server.notify("textDocument/didClose", {"textDocument": {"uri": uri}})
        self.assertEqual(server.close(), 0)


def editor_range(text, finding):
    """The editor's range of qellint's finding in an ASCII text: the compiler
    ends a line at LF alone (dropping a CR before it), the editor at LF, CRLF
    and CR."""
    def offset(line, column):
        starts = [0] + [at + 1 for at, c in enumerate(text) if c == "\n"]
        if line > len(starts):
            return len(text)
        start = starts[line - 1]
        end = text.find("\n", start)
        end = len(text) if end < 0 else end - (1 if text[end - 1:end] == "\r" else 0)
        return min(end, start + column - 1)

    def position(at):
        before = text[:at].replace("\r\n", "\n").replace("\r", "\n")
        return {"line": before.count("\n"), "character": len(before) - before.rfind("\n") - 1}
    return {"start": position(offset(finding["line"], finding["column"])),
            "end": position(offset(finding["endLine"], finding["endColumn"]))}


class LineEnds(Workspace):
    """LF, CRLF and lone CR: the server's findings are qellint's on the file,
    at the same ranges, before and after an edit. (A lone CR ends no line for
    the compiler: there the #define line is no directive and the comment runs
    on, so the findings are other ones.)"""

    TEXT = ("Device QX1 // a comment\n#define WHERE PAKAGE\nAlias {\n  When WHERE is 'LQFP48' :\n"
            "    SWDIO : PA13,\n  When PAKAGE is 'X' :\n    A : 'B'\n}\n")

    def findings(self, name, text):
        with open(os.path.join(self.root, name), "w", newline="") as file:
            file.write(text)
        run = subprocess.run([QELLINT, "--format=json", name], cwd=self.root, capture_output=True)
        return sorted((json.dumps(editor_range(text, f)), f["check"], f["message"])
                      for f in json.loads(run.stdout)["findings"])

    def test_findings_are_qellints_whatever_the_line_ends(self):
        for name, end in (("lf.daf", "\n"), ("crlf.daf", "\r\n"), ("cr.daf", "\r")):
            with self.subTest(name):
                text = self.TEXT.replace("\n", end)
                edited = text.replace("PAKAGE is", "PACKAGE is")
                want_after = self.findings(name, edited)
                want = self.findings(name, text)
                path = os.path.join(self.root, name)
                server = self.start()
                server.open(path, text)
                uri = uri_of(path)

                def seen(found):
                    return sorted((json.dumps(d["range"]), d["code"], d["message"]) for d in found)
                try:
                    server.wait_diagnostics(uri, lambda found: seen(found) == want, 20)
                    # Typing the missing letter of the second PAKAGE.
                    server.notify("textDocument/didChange", {
                        "textDocument": {"uri": uri, "version": 2},
                        "contentChanges": [{"range": {"start": {"line": 5, "character": 9},
                                                      "end": {"line": 5, "character": 9}},
                                            "text": "C"}]})
                    server.wait_diagnostics(uri, lambda found: seen(found) == want_after, 20)
                except TimeoutError:
                    self.fail(f"{name}: qellint gives {want} / {want_after}, "
                              f"the server {seen(server.diagnostics.get(uri, []))}")
                self.assertEqual(server.close(), 0)
                self.server = None


class LineEndsInAnswers(Workspace):
    """LF and CRLF: hover on a section keyword, the outline and the folding
    ranges are the same, before and after an edit that adds a row, and the same
    as for the edited text opened afresh. A lone CR ends a line for the editor
    but is a character of a word for the compiler: the Device line would run to
    the end of the text and a clause would not be read, so the same source has
    no answers to compare; a section that the compiler reads across lone CRs
    spans the editor's lines."""

    TEXT = ("Device QX1 // a comment\nPinNumberByPackage {\n  When PACKAGE is 'LQFP48' :\n"
            "    LQFP48 : 1 : 'PA0',\n    LQFP48 : 2 : 'PA1'\n}\n#ifdef WIDE\nStringQuote {\n}\n"
            "#endif\nAlias {\n  When PACKAGE is 'LQFP48' :\n    SWDIO : PA0,\n    SWCLK : PA1\n}\n")
    ROW = "    LQFP48 : 3 : 'PA2',"

    def answers(self, path, text):
        lines = text.replace("\r\n", "\n").split("\n")
        keyword = {"line": lines.index("Alias {"), "character": 2}
        return (self.ask("textDocument/hover", path, position=keyword)["result"],
                self.ask("textDocument/documentSymbol", path)["result"],
                sorted((f["startLine"], f["endLine"])
                       for f in self.ask("textDocument/foldingRange", path)["result"]))

    def test_answers_are_the_same_whatever_the_line_ends(self):
        server = self.start()
        edited = self.TEXT.replace("'PA0',\n", "'PA0',\n" + self.ROW + "\n")
        fresh = self.write("fresh.daf", edited)
        server.open(fresh)
        want_after = self.answers(fresh, edited)
        seen = {}
        for name, end in (("lf.daf", "\n"), ("crlf.daf", "\r\n")):
            text = self.TEXT.replace("\n", end)
            path = self.write(name, text)
            server.open(path, text)
            before = self.answers(path, text)
            server.notify("textDocument/didChange", {
                "textDocument": {"uri": uri_of(path), "version": 2},
                "contentChanges": [{"range": {"start": {"line": 4, "character": 0},
                                              "end": {"line": 4, "character": 0}},
                                    "text": self.ROW + end}]})
            seen[name] = before, self.answers(path, edited.replace("\n", end))
        before, after = seen["lf.daf"]
        self.assertEqual(seen["crlf.daf"], seen["lf.daf"])
        self.assertEqual(after, want_after)
        self.assertNotEqual(before, after)
        # The edit moved what follows the new row a line down.
        self.assertEqual(before[2], [(1, 5), (2, 4), (6, 9), (10, 14), (11, 13)])
        self.assertEqual(after[0]["range"]["start"], {"line": 11, "character": 0})
        self.assertEqual(server.close(), 0)

    def test_a_section_across_lone_carriage_returns(self):
        server = self.start()
        path = self.write("cr.daf", "Device QX1\nStringQuote {\r\r}\n")
        server.open(path)
        self.assertEqual(server.wait_diagnostics(uri_of(path)), [])
        symbols = self.ask("textDocument/documentSymbol", path)["result"]
        self.assertEqual([(s["name"], s["range"]) for s in symbols], [
            ("StringQuote", {"start": {"line": 1, "character": 0},
                             "end": {"line": 3, "character": 1}})])
        folds = self.ask("textDocument/foldingRange", path)["result"]
        self.assertEqual([(f["startLine"], f["endLine"]) for f in folds], [(1, 3)])
        self.assertEqual(server.close(), 0)


class Includes(Workspace):
    def test_included_file_findings_and_editor_text(self):
        self.write("ext.inc", "Extensions {\n  'ipf' 'Soft IP'\n}\n")
        path = self.write("dev.daf", "Device QX1\n#include \"ext.inc\"\n")
        server = self.start()
        server.open(path)
        include = uri_of(os.path.join(self.root, "ext.inc"))
        found = server.wait_diagnostics(include, lambda found: len(found) == 1)[0]
        self.assertEqual(found["range"]["start"], {"line": 1, "character": 8})
        self.assertEqual(found["relatedInformation"][0]["location"], {
            "uri": uri_of(path),
            "range": {"start": {"line": 1, "character": 10}, "end": {"line": 1, "character": 17}}})
        self.assertEqual(server.wait_diagnostics(uri_of(path)), [])
        # The included file opened and fixed in the editor, not saved: its text counts.
        server.open(os.path.join(self.root, "ext.inc"), "Extensions {\n  'ipf' : 'Soft IP'\n}\n",
                    language="daf")
        server.wait_diagnostics(include, lambda found: found == [])
        self.assertEqual(server.close(), 0)

    def test_root_from_initialization_option(self):
        os.mkdir(os.path.join(self.root, "lib"))
        self.write("lib/ext.inc", "Extensions {\n  'ipf' 'Soft IP'\n}\n")
        path = self.write("lib/dev.daf", "Device QX1\n#include ext.inc\n")
        server = self.start(init_options={"root": "lib"})
        server.open(path)
        include = uri_of(os.path.join(self.root, "lib", "ext.inc"))
        self.assertEqual(len(server.wait_diagnostics(include, lambda found: len(found) == 1)), 1)
        self.assertEqual(server.close(), 0)


class Questions(Workspace):
    """Hover, definition, symbols and completion on the examples."""

    def setUp(self):
        super().setUp()
        for name in ("device.daf", "library.ipf"):
            shutil.copy(os.path.join(EXAMPLES, name), self.root)
        self.daf = os.path.join(self.root, "device.daf")
        self.ipf = os.path.join(self.root, "library.ipf")
        with open(self.daf) as file:
            self.daf_lines = file.read().split("\n")
        with open(self.ipf) as file:
            self.ipf_lines = file.read().split("\n")
        self.start()
        self.server.open(self.daf)
        self.server.open(self.ipf)

    def at(self, lines, line_text, word, nth=0):
        line = next(n for n, text in enumerate(lines) if line_text in text)
        column = -1
        for _ in range(nth + 1):
            column = lines[line].index(word, column + 1)
        return {"line": line, "character": column + 1}

    def hover(self, path, position):
        result = self.ask("textDocument/hover", path, position=position)["result"]
        return result and result["contents"]["value"]

    def test_hover(self):
        lines = self.daf_lines
        text = self.hover(self.daf, self.at(lines, "PinNumberByPackage", "PinNumberByPackage"))
        self.assertIn("Pin numbers per package", text)
        self.assertIn("149 rows per block", text)
        self.assertIn("daf.md#pinnumberbypackage", text)
        self.assertIn("DEV", self.hover(self.daf, self.at(lines, "When DEV", "DEV")))
        self.assertIn("isin", self.hover(self.daf, self.at(lines, "isin", "isin")))
        self.assertIn("display", self.hover(self.daf, self.at(lines, ".displayname", "displayname")))
        # PA13 is pin 34 of LQFP48 and pin 46 of UFBGA64.
        pin = self.hover(self.daf, self.at(lines, "SWDIO", "PA13"))
        self.assertIn("`LQFP48` pin 34", pin)
        self.assertIn("`UFBGA64` pin 46", pin)
        self.assertIsNone(self.hover(self.daf, self.at(lines, "Device", "QX")))
        block = self.hover(self.ipf, self.at(self.ipf_lines, "Input :", "Input"))
        self.assertIn("Input ports", block)
        self.assertIn("ipf.md#input-and-output", block)

    def test_definition(self):
        lines = self.daf_lines
        found = self.ask("textDocument/definition", self.daf,
                         position=self.at(lines, "SWDIO", "PA13"))["result"]
        rows = [(f["uri"], lines[f["range"]["start"]["line"]].strip()) for f in found]
        self.assertEqual(rows, [(uri_of(self.daf), "LQFP48 : 34 : 'PA13',"),
                                (uri_of(self.daf), "UFBGA64 : 46 : 'PA13',")])
        self.assertEqual(self.ask("textDocument/definition", self.daf,
                                  position={"line": 0, "character": 0})["result"], [])

    def test_definition_of_include_and_define(self):
        self.write("pins.inc", "#define PKG 'LQFP48'\n")
        path = self.write("dev.daf", "Device QX1\n#include \"pins.inc\"\n"
                                     "Alias {\n  When PACKAGE is PKG :\n    A : 'PA0'\n}\n")
        self.server.open(path)
        found = self.ask("textDocument/definition", path,
                         position={"line": 1, "character": 12})["result"]
        self.assertEqual([f["uri"] for f in found], [uri_of(os.path.join(self.root, "pins.inc"))])
        found = self.ask("textDocument/definition", path,
                         position={"line": 3, "character": 21})["result"]
        self.assertEqual(found, [{"uri": uri_of(os.path.join(self.root, "pins.inc")), "range": {
            "start": {"line": 0, "character": 8}, "end": {"line": 0, "character": 11}}}])

    def test_symbols(self):
        symbols = self.ask("textDocument/documentSymbol", self.daf)["result"]
        keywords = [line.split()[0] for line in self.daf_lines
                    if line[:1].isalpha() and line.split()[0] != "Device"]
        self.assertEqual([s["name"] for s in symbols], keywords)
        alias = symbols[keywords.index("Alias")]
        self.assertTrue(alias["children"][0]["name"].startswith("When"))
        self.assertTrue(alias["children"][0]["children"])
        symbols = self.ask("textDocument/documentSymbol", self.ipf)["result"]
        self.assertEqual(symbols[0]["name"], "SoftIPCategory")
        modules = [s for s in symbols if s["kind"] == 2]
        self.assertTrue(modules)
        self.assertIn("Module", [block["name"] for block in modules[0]["children"]])

    def complete(self, path, text, line, character):
        self.server.notify("textDocument/didChange", {
            "textDocument": {"uri": uri_of(path), "version": 2}, "contentChanges": [{"text": text}]})
        items = self.ask("textDocument/completion", path,
                         position={"line": line, "character": character})["result"]
        return {item["label"] for item in items}

    def test_completion(self):
        path = self.write("edit.daf", "")
        self.server.open(path)
        self.assertIn("PinNumberByPackage", self.complete(path, "Device QX1\n", 1, 0))
        labels = self.complete(path, "Device QX1\nAlias {\n  When \n}\n", 2, 7)
        self.assertTrue({"PACKAGE", "DEV", "isin", "and"} <= labels)
        self.assertNotIn("Alias", labels)
        labels = self.complete(path, "Device QX1\nInitialize {\n  When :\n  P7.\n}\n", 3, 5)
        self.assertEqual(labels, {"name", "nchange", "PinEdit", "reserve", "displayname"})
        ipf = self.write("edit.ipf", "")
        self.server.open(ipf)
        labels = self.complete(ipf, "Uart {\n  \n}\n", 1, 2)
        self.assertTrue({"Module", "Input", "Macro"} <= labels)
        self.assertEqual(self.complete(ipf, "SoftIPCategory {\n  \n}\n", 1, 2), set())
        labels = self.complete(ipf, "Uart {\n  Macro : { MacroName ( ) {\n    _when \n", 2, 10)
        self.assertIn("PACKAGE", labels)

    def test_formatting(self):
        path = os.path.join(self.root, "plain.daf")
        text = None
        for status in sorted(glob.glob(os.path.join(CASES, "*", "*", "expect", "status"))):
            case = os.path.dirname(os.path.dirname(status))
            with open(status) as file:
                compiled = file.read().strip() == "0"
            sources = glob.glob(os.path.join(case, "in", "*.daf"))
            if not compiled or len(sources) != 1 or not os.path.isfile(sources[0]) \
                    or len(os.listdir(os.path.join(case, "in"))) != 1:
                continue
            with open(sources[0], newline="") as file:
                text = file.read()
            # A source of several sections, without comments or directives.
            if "//" not in text and "#" not in text and text.count("{") > 3:
                break
        self.assertIsNotNone(text)
        self.server.open(path, text)
        self.assert_formats(path, text)
        # The example, with its comments, is kept in its layout: formatting
        # it changes nothing.
        with open(self.daf, newline="") as file:
            example = file.read()
        formatted = self.assert_formats(self.daf, example)
        self.assertEqual(formatted, example)

    def test_formatting_keeps_comments_and_directives(self):
        self.write("conv.inc", "TypeConversion { A : B ; }\n")
        path = self.write("kept.daf", (
            "// the device\n#define PKG 'P44'\nDevice   D1\n"
            "Alias {  // aliases\n#ifdef WIDE\n  When DEV is 'W' : A : 'B'\n#else\n"
            "      When PACKAGE is PKG :   A:'C'  // narrow\n#endif\n}\n"
            "#include \"conv.inc\"\n"))
        with open(path) as file:
            text = file.read()
        self.server.open(path)
        formatted = self.assert_formats(path, text)
        self.assertEqual(formatted, (
            "// the device\n#define PKG 'P44'\nDevice D1\n\n"
            "Alias { // aliases\n#ifdef WIDE\n  When DEV is 'W' : A : 'B'\n#else\n"
            "  When PACKAGE is PKG : A : 'C' // narrow\n#endif\n}\n"
            "#include \"conv.inc\"\n"))

    def test_range_formatting(self):
        path = os.path.join(self.root, "range.daf")
        text = ("Device D1\nAlias {  When DEV is 'X' : A:'B' }\n"
                "// the middle one\nTypeConversion { A : B ;   C : D ; }\n"
                "Extensions {   'daf' : 'x' }\n")
        self.server.open(path, text)
        # A range inside the second section formats that section alone, with
        # the comment above it.
        edits = self.ask("textDocument/rangeFormatting", path, options={},
                         range={"start": {"line": 3, "character": 20},
                                "end": {"line": 3, "character": 22}})["result"]
        self.assertEqual(len(edits), 1)
        self.assertEqual(edits[0]["range"], {"start": {"line": 2, "character": 0},
                                             "end": {"line": 4, "character": 0}})
        changed = apply(text, edits)
        self.assertEqual(changed, (
            "Device D1\nAlias {  When DEV is 'X' : A:'B' }\n"
            "\n// the middle one\nTypeConversion {\n  A : B ;\n  C : D ;\n}\n"
            "Extensions {   'daf' : 'x' }\n"))
        self.assertEqual(self.dab(changed), self.dab(text))
        # The whole document in a range is the document formatted.
        whole = self.ask("textDocument/rangeFormatting", path, options={},
                         range={"start": {"line": 0, "character": 0},
                                "end": {"line": 5, "character": 0}})["result"]
        formatted = self.ask("textDocument/formatting", path, options={})["result"]
        self.assertEqual(apply(text, whole), apply(text, formatted))

    def test_formatting_refusal_is_shown(self):
        path = os.path.join(self.root, "broken.daf")
        self.server.open(path, "Device QX1\nAlias {\n")
        for method, params in (("textDocument/formatting", {}), (
                "textDocument/rangeFormatting",
                {"range": {"start": {"line": 0, "character": 0},
                           "end": {"line": 1, "character": 0}}})):
            reply = self.ask(method, path, options={}, **params)
            self.assertEqual(reply["result"], [])
            shown = self.server.shown.get(timeout=30)
            self.assertEqual(shown["type"], 2)
            self.assertTrue(shown["message"].startswith(
                "not formatted: the source has an error at broken.daf:2:8: expected '}'"), shown)

    def assert_formats(self, path, text):
        """Formats the open document `path` (holding `text`): the result compiles
        into the same DAB file and is its own format. Returns it."""
        edits = self.ask("textDocument/formatting", path, options={"tabSize": 2})["result"]
        formatted = apply(text, edits)
        self.assertEqual(self.dab(text), self.dab(formatted))
        self.server.notify("textDocument/didChange", {
            "textDocument": {"uri": uri_of(path), "version": 2},
            "contentChanges": [{"text": formatted}]})
        self.assertEqual(self.ask("textDocument/formatting", path, options={})["result"], [])
        self.assertTrue(self.server.shown.empty())
        return formatted

    def dab(self, text):
        folder = tempfile.mkdtemp(dir=self.root)
        for name in os.listdir(self.root):
            if name.endswith(".inc"):
                shutil.copy(os.path.join(self.root, name), folder)
        with open(os.path.join(folder, "dev.daf"), "w") as file:
            file.write(text)
        subprocess.run([QELC, "dev.daf"], cwd=folder, capture_output=True, check=True)
        with open(os.path.join(folder, "dev.dab"), "rb") as file:
            return file.read()


class AcrossIncludes(Workspace):
    """Hover, definition and references over the files of one source, and an
    included file opened alone, read through a source that includes it."""

    PINS = ("PinNumberByPackage {\n  When PACKAGE is 'LQFP48' :\n"
            "    LQFP48 : 34 : 'PA13',\n    LQFP48 : 37 : 'PA14'\n}\n")
    SOURCE = ("Device QX1\n#include \"pins.inc\"\nAlias {\n  When DEV is 'QX1' :\n"
              "    SWDIO : 'PA13',\n    'JTMS' : PA13\n}\n")

    def setUp(self):
        super().setUp()
        self.pins = self.write("pins.inc", self.PINS)
        self.daf = self.write("dev.daf", self.SOURCE)

    def places(self, found):
        return sorted((os.path.basename(f["uri"][len("file://"):]), f["range"]["start"]["line"],
                       f["range"]["start"]["character"], f["range"]["end"]["character"])
                      for f in found)

    def test_hover_definition_and_references_from_the_source(self):
        server = self.start()
        self.assertTrue(server.capabilities["referencesProvider"])
        server.open(self.daf)
        use = {"line": 4, "character": 14}  # 'PA13' behind SWDIO
        self.assertIn("`LQFP48` pin 34", self.ask("textDocument/hover", self.daf,
                                                  position=use)["result"]["contents"]["value"])
        self.assertEqual(self.places(self.ask("textDocument/definition", self.daf,
                                              position=use)["result"]),
                         [("pins.inc", 2, 18, 24)])
        everywhere = [("dev.daf", 4, 12, 18), ("dev.daf", 5, 13, 17), ("pins.inc", 2, 18, 24)]
        found = self.ask("textDocument/references", self.daf, position=use,
                         context={"includeDeclaration": True})["result"]
        self.assertEqual(self.places(found), everywhere)
        found = self.ask("textDocument/references", self.daf, position=use,
                         context={"includeDeclaration": False})["result"]
        self.assertEqual(self.places(found), everywhere[:2])
        # A word that names nothing has no references.
        self.assertEqual(self.ask("textDocument/references", self.daf,
                                  position={"line": 0, "character": 8},
                                  context={"includeDeclaration": True})["result"], [])
        self.assertEqual(server.close(), 0)

    def test_an_included_file_opened_alone(self):
        other = self.write("other.daf", "Device QX2\n#include pins.inc\n")
        server = self.start()
        self.assertIn("qel.chooseSource", server.capabilities["executeCommandProvider"]["commands"])
        # The pin map repeats a name on another pin: a warning of the source's run.
        server.open(self.pins, self.PINS.replace("'PA14'", "'PA13'"), language="daf")
        message = self.message("window/showMessage")
        self.assertIn("dev.daf", message["params"]["message"])
        found = server.wait_diagnostics(uri_of(self.pins), lambda found: len(found) == 1)
        self.assertEqual(found[0]["code"], "pin-name-repeated")
        self.assertEqual(found[0]["range"]["start"], {"line": 3, "character": 18})
        definition = {"line": 2, "character": 20}
        found = self.ask("textDocument/references", self.pins, position=definition,
                         context={"includeDeclaration": True})["result"]
        self.assertEqual(self.places(found), [("dev.daf", 4, 12, 18), ("dev.daf", 5, 13, 17),
                                              ("pins.inc", 2, 18, 24), ("pins.inc", 3, 18, 24)])
        hover = self.ask("textDocument/hover", self.pins, position=definition)["result"]
        self.assertIn("`LQFP48` pin 37", hover["contents"]["value"])
        # Read through the other source, which uses none of the pins.
        self.assertIsNone(server.request("workspace/executeCommand", {
            "command": "qel.chooseSource", "arguments": [uri_of(self.pins), uri_of(other)]})["result"])
        found = self.ask("textDocument/references", self.pins, position=definition,
                         context={"includeDeclaration": True})["result"]
        self.assertEqual(self.places(found), [("pins.inc", 2, 18, 24), ("pins.inc", 3, 18, 24)])
        symbols = self.ask("textDocument/documentSymbol", self.pins)["result"]
        self.assertEqual([s["name"] for s in symbols], ["PinNumberByPackage"])
        # Closed, the file keeps no findings of the source it was read through.
        server.notify("textDocument/didClose", {"textDocument": {"uri": uri_of(self.pins)}})
        server.wait_diagnostics(uri_of(self.pins), lambda found: found == [])
        self.assertEqual(server.close(), 0)

    def message(self, method):
        # The client keeps the messages shown to the user apart.
        if method == "window/showMessage":
            return {"method": method, "params": self.server.shown.get(timeout=30)}
        while True:
            message = self.server.messages.get(timeout=30)
            if message and message.get("method") == method:
                return message


class Rename(Workspace):
    def setUp(self):
        super().setUp()
        with open(os.path.join(EXAMPLES, "device.daf")) as file:
            self.text = file.read()
        self.daf = self.write("device.daf", self.text)
        self.lines = self.text.split("\n")
        self.start()
        self.server.open(self.daf)

    def position(self, line_text, word):
        line = next(n for n, text in enumerate(self.lines) if line_text in text)
        return {"line": line, "character": self.lines[line].index(word) + 1}

    def test_rename_a_pin_and_compile_the_same_tables(self):
        self.assertTrue(self.server.capabilities["renameProvider"]["prepareProvider"])
        at = self.position("JTMS", "PA13")
        prepared = self.ask("textDocument/prepareRename", self.daf, position=at)["result"]
        self.assertEqual(prepared["placeholder"], "PA13")
        self.assertIsNone(self.ask("textDocument/prepareRename", self.daf,
                                   position=self.position("Device", "QX"))["result"])
        edits = self.ask("textDocument/rename", self.daf, position=at,
                         newName="PX13")["result"]["changes"][uri_of(self.daf)]
        self.assertEqual(len(edits), 4)
        renamed = apply_edits(self.text, edits)
        # Quotes stay where the name had them, and only there.
        self.assertIn("LQFP48 : 34 : 'PX13'", renamed)
        self.assertIn("'JTMS' : PX13", renamed)
        by_word = re.sub(r"\bPA13\b", "PX13", self.text)
        self.assertEqual(renamed, by_word)
        folder = tempfile.mkdtemp(dir=self.root)
        for name, text in (("renamed.daf", renamed), ("expected.daf", by_word)):
            with open(os.path.join(folder, name), "w") as file:
                file.write(text)
            subprocess.run([QELC, name], cwd=folder, capture_output=True, check=True)
        lint = subprocess.run([QELLINT, "renamed.daf"], cwd=folder, capture_output=True, text=True)
        self.assertEqual(lint.returncode, 0, lint.stdout)
        self.assertIn("0 errors, 0 warnings", lint.stderr)
        diff = subprocess.run([QELDUMP, "--diff", "renamed.dab", "expected.dab"], cwd=folder,
                              capture_output=True, text=True)
        self.assertEqual((diff.returncode, diff.stdout), (0, ""))
        dump = subprocess.run([QELDUMP, "renamed.dab"], cwd=folder, capture_output=True, text=True)
        self.assertIn("PX13", dump.stdout)
        self.assertNotIn("PA13", dump.stdout)
        # No name holds a blank or a delimiter.
        self.assertIn("error", self.ask("textDocument/rename", self.daf, position=at,
                                        newName="P X"))


def apply_edits(text, edits):
    data = text.encode()
    lines = data.split(b"\n")

    def offset(position):
        return sum(len(line) + 1 for line in lines[:position["line"]]) + position["character"]

    for edit in sorted(edits, key=lambda e: offset(e["range"]["start"]), reverse=True):
        start, end = offset(edit["range"]["start"]), offset(edit["range"]["end"])
        data = data[:start] + edit["newText"].encode() + data[end:]
    return data.decode()


class OutlineAndFolding(Workspace):
    def outline(self, name, text):
        path = self.write(name, text)
        self.server.open(path)
        return self.ask("textDocument/documentSymbol", path)["result"]

    # How long these take is measured by bench/lsp_bench.py, not here.
    def test_large_sources_are_outlined(self):
        self.start()
        names = " ".join("b" for _ in range(65534))
        bus = "Bus {\n  Module : { 'bus' : 1 ; }\n  BusExtName : { " + names + " }\n}\n"
        self.assertGreater(len(bus), 131000)
        symbols = self.outline("bus.ipf", bus)
        self.assertEqual([(s["name"], [b["name"] for b in s["children"]]) for s in symbols],
                         [("Bus", ["Module", "BusExtName"])])
        depth = 100000
        nested = "Device QX1\nStringQuote {\n  " + "{" * depth + "}" * depth + "\n}\n"
        self.assertGreater(len(nested), 200000)
        symbols = self.outline("nested.daf", nested)
        self.assertEqual([s["name"] for s in symbols], ["StringQuote"])
        self.assertEqual(symbols[0]["range"]["end"], {"line": 3, "character": 1})
        self.assertEqual(self.server.close(), 0)

    def test_folding_sections_clauses_and_conditional_blocks(self):
        path = self.write("dev.daf", "Device QX1\n#ifdef NOTHING\nAlias {\n}\n#endif\n"
                                     "Alias {\n  When DEV is 'QX1' :\n    A : 'P1',\n"
                                     "    B : 'P2'\n}\n")
        server = self.start()
        self.assertTrue(server.capabilities["foldingRangeProvider"])
        server.open(path)
        folds = self.ask("textDocument/foldingRange", path)["result"]
        self.assertEqual(sorted((f["startLine"], f["endLine"]) for f in folds),
                         [(1, 4), (5, 9), (6, 8)])
        self.assertEqual(server.close(), 0)


class Malformed(Workspace):
    def test_bad_messages_are_answered_or_logged(self):
        server = self.start(stderr=subprocess.PIPE)
        # A header line without a colon, a header without Content-Length.
        server.send_bytes(b"Garbage\r\n\r\n")
        server.send_bytes(b"Content-Type: x\r\n\r\n")
        server.send_bytes(b"Content-Length: many\r\n\r\n")
        # A body that is no JSON, and one that is JSON but no request.
        server.send_bytes(b"Content-Length: 5\r\n\r\n{oops")
        reply = server.reply(None)
        self.assertEqual(reply["error"]["code"], -32700)
        server.send({"jsonrpc": "2.0", "id": 7})
        self.assertEqual(server.reply(7)["error"]["code"], -32600)
        server.send([1, 2])
        self.assertEqual(server.reply(None)["error"]["code"], -32600)
        # A method the server does not have; bad parameters.
        self.assertEqual(server.request("textDocument/typeDefinition", {})["error"]["code"], -32601)
        self.assertEqual(server.request("textDocument/hover", {"textDocument": 3})["error"]["code"],
                         -32602)
        self.assertEqual(server.request("textDocument/hover", {
            "textDocument": {"uri": "file:///x.daf"},
            "position": {"line": -1, "character": 0}})["error"]["code"], -32602)
        # A Content-Length shorter than the body: the rest is read as a header.
        body = json.dumps({"jsonrpc": "2.0", "id": 8, "method": "shutdown"}).encode()
        server.send_bytes(b"Content-Length: %d\r\n\r\n" % (len(body) - 3) + body)
        self.assertEqual(server.reply(None)["error"]["code"], -32700)
        # The server still answers.
        self.assertIsNone(server.request("shutdown", None)["result"])
        server.notify("exit", None)
        server.process.stdin.close()
        log = server.process.stderr.read().decode()
        self.assertEqual(server.wait(), 0)
        self.assertIn("a header line that is not 'Name: value'", log)
        self.assertIn("a header without Content-Length", log)
        self.assertIn("a Content-Length that is not a number", log)

    def test_lifecycle(self):
        # Before initialize, a request is refused.
        process = subprocess.Popen([SERVER], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL)
        body = json.dumps({"jsonrpc": "2.0", "id": 1, "method": "textDocument/hover"}).encode()
        exit_body = json.dumps({"jsonrpc": "2.0", "method": "exit"}).encode()
        out, _ = process.communicate(b"Content-Length: %d\r\n\r\n" % len(body) + body +
                                     b"Content-Length: %d\r\n\r\n" % len(exit_body) + exit_body,
                                     timeout=30)
        self.assertIn(b'"code":-32002', out)
        # exit without shutdown: status 1; the input ending inside a message: status 1.
        self.assertEqual(process.returncode, 1)
        server = self.start()
        server.send_bytes(b"Content-Length: 100\r\n\r\n{")
        self.assertEqual(server.wait(), 1)


if __name__ == "__main__":
    unittest.main(verbosity=2)
