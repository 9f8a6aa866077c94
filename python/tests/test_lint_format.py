"""qelc.lint against qellint --format=json, and qelc.format."""
import json, subprocess

import pytest
import qelc

from conftest import EXAMPLES, program


def finding(diagnostic):
    """A Diagnostic in the shape of qellint's JSON (which says "warning" for a
    note, and writes its texts as UTF-8 with U+FFFD for other bytes)."""
    text = lambda s: s.encode("utf-8", "surrogateescape").decode("utf-8", "replace")
    shown = dict(file=text(diagnostic.file), line=diagnostic.line, column=diagnostic.column,
                 endLine=diagnostic.end_line, endColumn=diagnostic.end_column,
                 severity="error" if diagnostic.severity == "error" else "warning",
                 check=diagnostic.check, message=text(diagnostic.message))
    if diagnostic.included_from:
        shown["includedFrom"] = [dict(file=text(f), line=line) for f, line in diagnostic.included_from]
    return shown


def qellint_findings(job):
    run = subprocess.run([program("QELLINT_BINARY"), "--format=json", job.name],
                         cwd=job.inputs, capture_output=True, timeout=120)
    assert run.returncode in (0, 1), run.stderr
    keep = ("file", "line", "column", "endLine", "endColumn", "severity", "check", "message")
    found = []
    for f in json.loads(run.stdout)["findings"]:
        shown = {k: f[k] for k in keep}
        if "includedFrom" in f:
            shown["includedFrom"] = [dict(file=s["file"], line=s["line"]) for s in f["includedFrom"]]
        found.append(shown)
    return found


def test_lint_gives_qellints_findings(job):
    # qellint reads a project's qel.conf; qelc.lint takes its settings as
    # arguments only.
    if any(parent.joinpath("qel.conf").exists() for parent in [job.inputs, *job.inputs.parents]):
        pytest.skip("the case holds a qel.conf, which only qellint reads")
    found = qelc.lint(job.text, job.name, includes=job.inputs)
    assert [finding(d) for d in found] == qellint_findings(job)


def test_lint_options():
    source = "Device QX\nAlias {\n  When DEV is 'QX' :\n    A 'B',\n    C 'D',\n    E 'F'\n}\n"
    everything = qelc.lint(source, "dev.daf", max_errors=0)
    assert len(everything) >= 3 and everything[0].severity == "error"
    assert qelc.lint(source, "dev.daf", max_errors=1) == everything[:1]
    with pytest.raises(ValueError, match="no warning check"):
        qelc.lint(source, "dev.daf", enable=["no-such-check"])
    with pytest.raises(ValueError, match="dev.txt: not a DAF or IPF source"):
        qelc.lint("Device QX\n", "dev.txt")
    assert len(set(everything)) == len(everything)


def test_warning_checks_turn_on_and_off():
    for source in sorted(EXAMPLES.glob("*.daf")) + sorted(EXAMPLES.glob("*.ipf")):
        assert qelc.lint(source.read_bytes(), source.name, includes=EXAMPLES) == []
    run = subprocess.run([program("QELLINT_BINARY"), "--list-checks"], capture_output=True, text=True)
    names = [line.split()[0] for line in run.stdout.splitlines() if line.strip()]
    assert names
    source = (EXAMPLES / "device.daf").read_text()
    assert qelc.lint(source, "device.daf", enable=names, disable=names) == []


def test_format_lays_out_and_refuses():
    device = (EXAMPLES / "device.daf").read_text()
    assert qelc.format(device, "device.daf") == device
    squeezed = "Device QX100\nAlias{ When DEV is 'QX100':A:'B'}\n"
    formatted = qelc.format(squeezed, "dev.daf")
    assert formatted != squeezed and qelc.format(formatted, "dev.daf") == formatted
    assert qelc.compile(formatted, "dev.daf").artifact == qelc.compile(squeezed, "dev.daf").artifact
    with pytest.raises(qelc.FormatRefused) as refused:
        qelc.format("Device QX\nBogus {\n", "dev.daf")
    assert isinstance(refused.value, ValueError) and str(refused.value)


def test_compile_with_warnings_says_what_lint_says():
    source = "Device QX\nPinNumberByPackage {\n  When PACKAGE is 'P' :\n    P : x : 'A',\n    P : 2 : 'B'\n}\n"
    quiet = qelc.compile(source, "dev.daf")
    loud = qelc.compile(source, "dev.daf", warnings=True)
    assert quiet.status == loud.status == 0 and quiet.artifact == loud.artifact
    assert quiet.diagnostics == []
    assert [d for d in loud.diagnostics if d.severity == "warning"] == qelc.lint(source, "dev.daf")
    assert loud.diagnostics and str(loud.diagnostics[0]).startswith("dev.daf:4:9: warning: ")
