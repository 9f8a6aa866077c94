"""The examples of docs/python.md, run in order in one scratch folder."""
import contextlib, io, re, shutil

from conftest import EXAMPLES, ROOT

FENCE = re.compile(r"^```python\n(.*?)^```[ \t]*$", re.M | re.S)


def test_every_python_example_runs(tmp_path, monkeypatch):
    blocks = FENCE.findall((ROOT / "docs" / "python.md").read_text())
    assert len(blocks) >= 5
    for name in ("device.daf", "library.ipf", "pins.csv"):
        shutil.copy(EXAMPLES / name, tmp_path)
    monkeypatch.chdir(tmp_path)
    printed = []
    for block in blocks:
        output = io.StringIO()
        with contextlib.redirect_stdout(output):
            exec(compile(block, "docs/python.md", "exec"), {})
        printed.append(output.getvalue())
    compiled, linted, built, pins, differences = printed[:5]
    assert compiled.startswith("0 ['Out.txt', 'device.dab']")
    assert (tmp_path / "device.dab").stat().st_size > 0
    assert linted.splitlines() == ["device.daf 0 findings", "library.ipf 0 findings"]
    assert built == "True\n"
    assert pins.splitlines()[-8:-1] == ["1 VDD", "2 PA0", "3 PA1", "4 PA2", "5 PA3", "7 NRST",
                                        "14 VSS"]
    assert differences.splitlines() == [
        "pinNumbers[0].rows[0].name: 'VBAT' -> 'VBAT_IN'",
        "pinNumbers[1].rows[0].name: 'VBAT' -> 'VBAT_IN'"]
