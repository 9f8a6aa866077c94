"""qelc.read and qelc.diff against qeldump, on every file the cases compile."""
import json, subprocess

import pytest
import qelc

from conftest import EXAMPLES, JOBS, program


def qeldump(*args, cwd=None):
    return subprocess.run([program("QELDUMP_BINARY"), *args], cwd=cwd, capture_output=True,
                          timeout=120)


@pytest.fixture(scope="module")
def compiled(tmp_path_factory):
    """Every DAB and IPB file the case sources compile to, written to a folder."""
    folder = tmp_path_factory.mktemp("compiled")
    paths = []
    for i, job in enumerate(JOBS):
        result = qelc.compile(job.text, job.name, includes=job.inputs)
        if result.artifact is not None:
            kind = next(n for n, b in result.files.items() if b is result.artifact
                        or n.lower().endswith((".dab", ".ipb")))[-4:].lower()
            path = folder / f"{i:04d}{kind}"
            path.write_bytes(result.artifact)
            paths.append(path)
    assert len(paths) > 100
    return paths


def test_as_dict_and_text_are_qeldumps(compiled):
    for path in compiled:
        run = qeldump("--json", str(path))
        file = qelc.read(path)
        assert file.kind == path.suffix[1:]
        assert file.to_json() + "\n" == run.stdout.decode()
        assert file.as_dict() == json.loads(run.stdout)
        assert file.text().encode("utf-8", "surrogateescape") == qeldump(str(path)).stdout
        from_bytes = qelc.read(path.read_bytes(), name=str(path))
        assert from_bytes.to_json() == file.to_json()


def test_source_and_html_are_qeldumps(compiled):
    refused = 0
    for path in compiled:
        file = qelc.read(path)
        run = qeldump("--source", str(path))
        if run.returncode == 0:
            assert file.source().encode("utf-8", "surrogateescape") == run.stdout
        else:
            refused += 1
            with pytest.raises(qelc.CannotExpress) as error:
                file.source()
            lines = run.stderr.decode().splitlines()
            assert [f"qeldump: {path}: {p}" for p in error.value.problems] == lines
            assert error.value.text.encode("utf-8", "surrogateescape") == run.stdout
        assert file.html().encode("utf-8", "surrogateescape") == qeldump("--html", str(path)).stdout
    assert refused < len(compiled)


def test_get_is_qeldumps_value_as_python(compiled):
    for path in compiled[:60]:
        file = qelc.read(path)
        lines = qeldump(str(path)).stdout.decode("utf-8", "surrogateescape").splitlines()[1:]
        fields = [line.split(" = ", 1) for line in lines if not line.startswith("pool@")]
        for field, value in fields[:40]:
            got = qeldump("--get", field, str(path)).stdout.decode("utf-8", "surrogateescape")
            assert got == value + "\n"
            if value.startswith('"'):
                assert isinstance(file.get(field), str)
            elif "." in value or "n" in value:
                assert isinstance(file.get(field), float)
            else:
                assert file.get(field) == int(value)


def test_get_of_a_record_is_a_dict_of_its_lines():
    device = qelc.read(qelc.compile((EXAMPLES / "device.daf").read_bytes(), "device.daf").artifact)
    assert device.get("pinNumbers[0].rows[0]") == {
        "pinNumbers[0].rows[0].package": "LQFP48", "pinNumbers[0].rows[0].pinNumber": 1,
        "pinNumbers[0].rows[0].name": "VBAT"}
    assert device.get("pinNumbers[0].condition") == "\\PACKAGE\\is\\'LQFP48'"
    assert device.get("formatVersion") == "6.0.0.0.1"
    assert device.get("pinNumbers[9]") == {}
    whole = device.as_dict()
    assert device.get("poolUsedSize") == whole["header"]["poolUsedSize"]
    rows = device.get("pinNumbers[1]")
    for row in whole["tables"]["pinNumbers"][1]["rows"]:
        # A zero field has no line; its reference is to the empty text.
        assert rows.get(f"pinNumbers[1].rows[{row['index']}].name", "") == row["name"]
    with pytest.raises(KeyError, match="no field noSuchTable"):
        device.get("noSuchTable[0]")
    library = qelc.read(qelc.compile((EXAMPLES / "library.ipf").read_bytes(), "library.ipf").artifact)
    modules = library.as_dict()["modules"]
    assert library.get("modules.count") == len(modules)
    assert library.get("modules[0].name") == modules[0]["name"]


def test_diff_lists_what_qeldump_lists(compiled, tmp_path):
    dabs = [p for p in compiled if p.suffix == ".dab"]
    pairs = list(zip(dabs[:40], dabs[1:41]))
    for a, b in pairs:
        run = qeldump("--diff", "--by-index", str(a), str(b))
        found = qelc.diff(a, b)
        listed = [line for line in run.stdout.decode().splitlines() if ": " in line
                  and " hold the same fields" not in line]
        assert [p for p, _, _ in found] == [line.split(": ", 1)[0] for line in listed]
        assert (run.returncode == 1) == bool(found)
    assert qelc.diff(dabs[0], qelc.read(dabs[0])) == []
    ipbs = [p for p in compiled if p.suffix == ".ipb"]
    with pytest.raises(ValueError, match="only files of one kind compare"):
        qelc.diff(dabs[0], ipbs[0])


def test_damaged_files_raise_with_qeldumps_message(compiled, tmp_path):
    samples = [next(p for p in compiled if p.suffix == s) for s in (".dab", ".ipb")]
    damaged = [b"", b"garbage", samples[0].read_bytes()[:-7], samples[1].read_bytes()[:-3],
               samples[0].read_bytes() + b"\0"]
    for i, data in enumerate(damaged):
        path = tmp_path / f"damaged{i}"
        path.write_bytes(data)
        run = qeldump(str(path))
        assert run.returncode == 2
        with pytest.raises(qelc.DamagedFile) as error:
            qelc.read(path)
        assert isinstance(error.value, ValueError)
        assert f"qeldump: {error.value}\n" == run.stderr.decode()
        with pytest.raises(qelc.DamagedFile, match="^<bytes>: "):
            qelc.read(data)
    with pytest.raises(FileNotFoundError):
        qelc.read(tmp_path / "missing.dab")
