"""What the package's tests share: the programs of the build they compare
against, the case sources, and each source's run of the qelc program."""
import functools, os, pathlib, shutil, subprocess, tempfile

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
CASES = ROOT / "tests" / "cases"
EXAMPLES = ROOT / "examples"
OUTPUTS = (".pre", ".dab", ".ipb", ".dec")


def program(variable):
    path = os.environ.get(variable)
    if not path:
        pytest.skip(f"{variable} is not set (run through run.py)")
    return path


def _files_below(root):
    return {p.relative_to(root).as_posix(): p.read_bytes() for p in root.rglob("*") if p.is_file()}


def _folder_in_the_way(inputs):
    """A folder where qelc writes a file: a failure only the disk can give."""
    return any(p.is_dir() and (p.name == "Out.txt" or p.suffix.lower() in OUTPUTS)
               for p in inputs.rglob("*"))


class Job:
    """One source of a case, with the options its case gives qelc."""

    def __init__(self, folder, name, debug):
        self.folder, self.inputs, self.name, self.debug = folder, folder / "in", name, debug
        self.id = f"{folder.parent.name}/{folder.name}/{name}"

    @property
    def text(self):
        return (self.inputs / self.name).read_bytes()

    @functools.cached_property
    def program(self):
        """What the qelc program printed and changed, run on a scratch copy."""
        with tempfile.TemporaryDirectory() as scratch:
            work = pathlib.Path(scratch) / "in"
            shutil.copytree(self.inputs, work, symlinks=True)
            run = subprocess.run([program("QELC_BINARY"), self.name] + (["-d"] if self.debug else []),
                                 cwd=work, capture_output=True, timeout=120)
            before = _files_below(self.inputs)
            changed = {n: b for n, b in _files_below(work).items() if before.get(n) != b}
        return run.returncode, run.stdout, run.stderr, changed

    def written(self, result):
        """The files of a Result that the program's run would have changed."""
        return {n: b for n, b in result.files.items()
                if not (self.inputs / n).is_file() or (self.inputs / n).read_bytes() != b}


def _jobs():
    jobs = []
    for folder in sorted(CASES.glob("*/*")):
        if any((folder / f).exists() for f in ("setup", "limits")) or not (folder / "in").is_dir():
            continue
        if _folder_in_the_way(folder / "in"):
            continue
        args = (folder / "args").read_text().split("\n") if (folder / "args").exists() else []
        debug = len(args) > 1 and args[1].lower().startswith("-d")
        for source in sorted((folder / "in").iterdir()):
            if source.is_file() and source.suffix.lower()[:4] in (".daf", ".ipf"):
                jobs.append(Job(folder, source.name, debug and args[0] == source.name))
    return jobs


JOBS = _jobs()


def pytest_generate_tests(metafunc):
    if "job" in metafunc.fixturenames:
        metafunc.parametrize("job", JOBS, ids=[job.id for job in JOBS])
