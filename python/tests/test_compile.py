"""qelc.compile against the qelc program, on every case source."""
import threading

import pytest
import qelc

from conftest import EXAMPLES, JOBS


def as_bytes(text):
    return text.encode("utf-8", "surrogateescape")


def compile_job(job, includes=None):
    return qelc.compile(job.text, job.name, includes=includes or job.inputs,
                        keep_preprocessed=job.debug, decode=job.debug)


def test_compile_gives_the_programs_status_texts_and_files(job):
    status, out, err, changed = job.program
    result = compile_job(job)
    assert (result.status, as_bytes(result.stdout), as_bytes(result.stderr)) == (status, out, err)
    assert job.written(result) == changed
    artifacts = [b for n, b in result.files.items() if n.lower().endswith((".dab", ".ipb"))]
    assert result.artifact == (artifacts[0] if artifacts else None)
    assert all(d.severity == "error" for d in result.diagnostics)
    assert bool(result.diagnostics) == (status == 1)


def test_a_callable_gives_what_the_folder_gives():
    jobs = [j for j in JOBS if b"#include" in j.text][:40]
    assert jobs
    asked = []

    def read(name):
        asked.append(name)
        path = jobs_by_name[0].inputs / name
        return path.read_bytes() if path.is_file() else None

    for job in jobs:
        jobs_by_name = [job]
        by_folder, by_callable = compile_job(job), compile_job(job, includes=read)
        assert (by_callable.status, by_callable.stdout, by_callable.files) == \
               (by_folder.status, by_folder.stdout, by_folder.files), job.id
    assert asked


def test_includes_as_str_text_and_pathlike(tmp_path):
    (tmp_path / "part.daf").write_text("Device QX\n")
    source = '#include "part.daf"\n'
    for includes in (tmp_path, str(tmp_path), lambda name: (tmp_path / name).read_text()):
        result = qelc.compile(source, "dev.daf", includes=includes)
        assert result.status == 0 and result.artifact, result.stdout
    assert qelc.compile(source.encode(), "dev.daf", includes=tmp_path).artifact == result.artifact


def test_a_callable_that_raises_raises_from_compile():
    def read(name):
        raise LookupError(name)

    with pytest.raises(LookupError, match="part.daf"):
        qelc.compile('#include "part.daf"\n', "dev.daf", includes=read)
    with pytest.raises(TypeError):
        qelc.compile('#include "part.daf"\n', "dev.daf", includes=lambda name: 42)
    with pytest.raises(TypeError):
        qelc.compile(42)


def test_bytes_that_are_not_utf8_come_back_as_they_were():
    result = qelc.compile(b"Device Q\nBog\xe9\xff {\n", "dev.daf")
    assert result.status == 1
    assert b"seeing 'Bog\xe9\xff'" in as_bytes(result.stdout)
    assert "Bog\udce9\udcff" in result.stdout
    assert as_bytes(result.files["Out.txt"].decode("utf-8", "surrogateescape")) == \
        result.files["Out.txt"]


def test_a_name_without_a_source_extension_is_not_compiled():
    result = qelc.compile("Device Q\n", "notes.txt")
    assert result.status == 2 and result.artifact is None and not result.files


def test_four_threads_give_what_one_gives():
    jobs = JOBS[::3]
    alone = [compile_job(job) for job in jobs]
    got = [[None] * len(jobs) for _ in range(4)]

    def work(t):
        for i in range(len(jobs)):
            k = (i + t * len(jobs) // 4) % len(jobs)
            # Two of the threads read the includes through Python.
            read = (lambda name, job=jobs[k]: (job.inputs / name).read_bytes()
                    if (job.inputs / name).is_file() else None)
            got[t][k] = compile_job(jobs[k], includes=read if t % 2 else None)

    threads = [threading.Thread(target=work, args=(t,)) for t in range(4)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    key = lambda r: (r.status, r.stdout, r.stderr, r.files, r.artifact, r.diagnostics)
    for results in got:
        assert [key(r) for r in results] == [key(r) for r in alone]



def test_nothing_is_printed_on_the_process_streams(capfd, tmp_path):
    failed = qelc.compile("Device Q\nBogus {\n", "dev.daf", warnings=True)
    assert failed.status == 1 and failed.stdout
    qelc.lint("Device Q\nBogus {\n", "dev.daf")
    device = qelc.read(qelc.compile((EXAMPLES / "device.daf").read_bytes(), "device.daf").artifact)
    device.text(), device.to_json(), device.source(), device.html(), device.get("pinNumbers[0]")
    for damaged in (b"garbage", b""):
        with pytest.raises(qelc.DamagedFile):
            qelc.read(damaged)
    assert capfd.readouterr() == ("", "")
