#!/usr/bin/env python3
"""qel against the programs it stands over, on the whole-program cases.

- every valid case source (qelc status 0) that qel build builds, from another
  folder and 4 at a time, gives the bytes qelc writes in a scratch copy, and
  nothing else is written;
- every failing one (qelc status 1) exits 1, writes nothing, and its first
  error stands where qellint run in its folder puts it, named from where qel ran;
- a PATH that does not exist exits 2 naming it and builds nothing;
- -j 1 and -j 4 over the whole tree of cases print the same and write the same;
- a build stopped by SIGINT or SIGTERM part way leaves only whole files and no
  temporary ones; one killed outright leaves no partial file under a final name;
- qel new writes sources that qelc compiles and qellint finds nothing in;
- qel fmt --check passes the examples, and qel fmt rewrites a source into
  that layout with the same compiled bytes;
- qel check and qel show print what qellint and qeldump print.
usage: qel_build.py QEL QELC QELLINT QELDUMP CASES EXAMPLES"""
import filecmp, json, os, re, shutil, signal, subprocess, sys, tempfile, time

qel, qelc, qellint, qeldump, cases, examples = (os.path.abspath(p) for p in sys.argv[1:7])
failures = []
counts = {}
COMPILED = re.compile(r"\.(dab|ipb)$", re.I)


def fail(message):
    failures.append(message)


def count(what):
    counts[what] = counts.get(what, 0) + 1


def run(args, cwd, **kwargs):
    return subprocess.run(args, cwd=cwd, capture_output=True, **kwargs)


def files_below(folder):
    found = set()
    for parent, _, names in os.walk(folder):
        found.update(os.path.relpath(os.path.join(parent, n), folder) for n in names)
    return found


def case_sources():
    """(area/case, source name) of the cases whose only argument is a source in in/."""
    for area in sorted(os.listdir(cases)):
        for name in sorted(os.listdir(os.path.join(cases, area))):
            case = os.path.join(cases, area, name)
            args_file = os.path.join(case, "args")
            text = open(args_file).read() if os.path.exists(args_file) else ""
            args = text.removesuffix("\n").split("\n") if text else []
            # Cases that fail for their environment (Out.txt cannot be made) fail qelc alone.
            if any(os.path.exists(os.path.join(case, f)) for f in ("limits", "setup", "program")) \
                    or os.path.exists(os.path.join(case, "in", "Out.txt")):
                continue
            if len(args) != 1 or not re.search(r"\.(daf|ipf)$", args[0], re.I):
                continue
            if os.path.isfile(os.path.join(case, "in", args[0])):
                yield f"{area}/{name}", args[0]


scratch = tempfile.mkdtemp(prefix="qel-build-")
try:
    # qelc in a scratch copy of each case, for its status and its compiled file.
    valid, failing = [], []
    for case, source in case_sources():
        reference = os.path.join(scratch, "ref", case)
        shutil.copytree(os.path.join(cases, case, "in"), reference)
        shutil.copytree(os.path.join(cases, case, "in"), os.path.join(scratch, "tree", case))
        before = files_below(reference)
        status = run([qelc, source], reference).returncode
        written = [f for f in files_below(reference) - before if COMPILED.search(f)]
        if status == 0 and len(written) == 1:
            valid.append((case, source, written[0]))
        elif status == 1:
            failing.append((case, source))
    shutil.copytree(os.path.join(scratch, "tree"), os.path.join(scratch, "pristine"))

    # Valid sources, named from the scratch folder: includes are read from each source's folder.
    tree_before = files_below(os.path.join(scratch, "tree"))
    paths = [os.path.join("tree", case, source) for case, source, _ in valid]
    built = run([qel, "build", "-j", "4"] + paths, scratch)
    if built.returncode != 0:
        fail(f"qel build of the valid sources: status {built.returncode}: {built.stderr[-400:]!r}")
    expected_new = set()
    for case, source, artifact in valid:
        expected_new.add(os.path.join(case, artifact))
        ours = os.path.join(scratch, "tree", case, artifact)
        if not os.path.exists(ours):
            fail(f"{case}: qel build wrote no {artifact}")
        elif not filecmp.cmp(ours, os.path.join(scratch, "ref", case, artifact), shallow=False):
            fail(f"{case}: {artifact} differs from what qelc writes")
        else:
            count("same bytes as qelc")
    extra = files_below(os.path.join(scratch, "tree")) - tree_before - expected_new
    if extra:
        fail(f"qel build wrote more than the compiled files: {sorted(extra)[:5]}")
    shutil.rmtree(os.path.join(scratch, "tree"))
    shutil.copytree(os.path.join(scratch, "pristine"), os.path.join(scratch, "tree"))

    # Failing sources: status 1, nothing written, the first error where qellint puts it.
    for case, source in failing:
        folder = os.path.join(scratch, "tree", case)
        before = files_below(folder)
        result = run([qel, "build", os.path.join("tree", case, source)], scratch)
        lint = json.loads(run([qellint, "--format=json", source], folder).stdout)
        errors = [f for f in lint["findings"] if f["severity"] == "error"]
        first = re.search(rb"^(.*?):(\d+):(\d+): error: ", result.stderr, re.M)
        if result.returncode != 1:
            fail(f"{case}: qel build status {result.returncode}, not 1")
        elif files_below(folder) != before:
            fail(f"{case}: a failing build wrote {sorted(files_below(folder) - before)}")
        elif not errors or not first:
            fail(f"{case}: no error to compare: {result.stderr[:200]!r}")
        else:
            where = (first.group(1).decode(), int(first.group(2)), int(first.group(3)))
            name = errors[0]["file"]
            want = (name if name.startswith("/") else os.path.join("tree", case, name),
                    errors[0]["line"], errors[0]["column"])
            if where != want:
                fail(f"{case}: first error at {where}, qellint says {want}")
            else:
                count("first error where qellint puts it")

    # A PATH that does not exist: status 2, named, and nothing built.
    case, source, artifact = valid[0]
    missing = run([qel, "build", os.path.join("tree", case, source), "no/such.daf"], scratch)
    if missing.returncode != 2 or missing.stderr != b"qel: no/such.daf: no such file or folder\n" \
            or os.path.exists(os.path.join(scratch, "tree", case, artifact)):
        fail(f"missing PATH: status {missing.returncode}, {missing.stderr!r}")
    else:
        count("missing PATH refused")

    # The whole tree (sources that fail among them) on 1 and on 4 threads.
    runs = {}
    for jobs in ("1", "4"):
        copy = os.path.join(scratch, "jobs" + jobs)
        shutil.copytree(os.path.join(scratch, "pristine"), copy)
        result = run([qel, "build", "--keep-going", "-j", jobs, "."], copy)
        files = {f: open(os.path.join(copy, f), "rb").read() for f in files_below(copy)}
        runs[jobs] = (result.returncode, result.stdout, result.stderr, files)
    if runs["1"] != runs["4"]:
        fail("qel build -j 1 and -j 4 differ (status, output or files)")
    elif runs["1"][0] != 1 or not runs["1"][2]:
        fail(f"qel build of the whole tree: status {runs['1'][0]}, expected 1 with findings")
    else:
        count("-j 1 and -j 4 alike")

    # Stopped part way: many copies of the example device.
    reference = os.path.join(scratch, "device-ref")
    shutil.copytree(examples, reference)
    run([qelc, "device.daf"], reference)
    device_bytes = open(os.path.join(reference, "device.dab"), "rb").read()
    for how in (signal.SIGINT, signal.SIGTERM, signal.SIGKILL):
        many = os.path.join(scratch, f"many-{how.name}")
        os.makedirs(many)
        text = open(os.path.join(examples, "device.daf"), "rb").read()
        total = 3000
        for i in range(total):
            with open(os.path.join(many, f"d{i:04}.daf"), "wb") as out:
                out.write(text)
        process = subprocess.Popen([qel, "build", "-j", "2", "."], cwd=many,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + 60
        while time.time() < deadline and len(files_below(many)) < total + 20:
            time.sleep(0.01)
        process.send_signal(how)
        status = process.wait()
        left = files_below(many) - {f"d{i:04}.daf" for i in range(total)}
        finished = {f for f in left if f.endswith(".dab")}
        temporary = left - finished
        broken = [f for f in finished if open(os.path.join(many, f), "rb").read() != device_bytes]
        if status != -how:
            fail(f"{how.name}: status {status}, not ended by the signal")
        elif not 0 < len(finished) < total:
            fail(f"{how.name}: {len(finished)} of {total} built: the signal did not come part way")
        elif broken:
            fail(f"{how.name}: partial files {broken[:3]}")
        elif temporary and how != signal.SIGKILL:
            fail(f"{how.name}: temporary files left: {sorted(temporary)[:3]}")
        else:
            count("stopped part way, only whole files")

    # qel new.
    new = os.path.join(scratch, "new")
    os.makedirs(new)
    for language, name in (("daf", "Board"), ("ipf", "Glue")):
        file = f"{name}.{language}"
        made = run([qel, "new", language, name], new)
        compiled = run([qelc, file], new)
        lint = run([qellint, file], new)
        again = run([qel, "new", language, name], new)
        if made.returncode != 0 or compiled.returncode != 0:
            fail(f"qel new {language}: status {made.returncode}, qelc {compiled.returncode}")
        elif lint.returncode != 0 or lint.stdout or lint.stderr != b"0 errors, 0 warnings\n":
            fail(f"qel new {language}: qellint says {lint.stdout[:300]!r}")
        elif again.returncode != 1 or b"already exists" not in again.stderr:
            fail(f"qel new {language} over its file: status {again.returncode}")
        else:
            count("qel new compiles and lints clean")

    # qel fmt.
    sources = [os.path.join(examples, f) for f in sorted(os.listdir(examples))
               if re.search(r"\.(daf|ipf)$", f)]
    checked = run([qel, "fmt", "--check"] + sources, examples)
    if checked.returncode != 0 or checked.stdout or checked.stderr:
        fail(f"qel fmt --check of the examples: {checked.returncode} {checked.stdout!r}")
    else:
        count("examples in their layout")
    loose = os.path.join(scratch, "loose")
    shutil.copytree(examples, loose)
    device = os.path.join(loose, "device.daf")
    canonical = open(device, "rb").read()
    # Blanks added around the colons and before the lines; comments are kept as written.
    loosened = [line if line.lstrip().startswith(b"//") else
                b"    " + line.replace(b" : ", b"   :  ") for line in canonical.split(b"\n")]
    with open(device, "wb") as out:
        out.write(b"\n".join(loosened))
    listed = run([qel, "fmt", "--check", "device.daf"], loose)
    formatted = run([qel, "fmt", "device.daf"], loose)
    run([qelc, "device.daf"], loose)
    if listed.returncode != 1 or listed.stdout != b"device.daf\n":
        fail(f"qel fmt --check of a loose source: {listed.returncode} {listed.stdout!r}")
    elif formatted.returncode != 0 or open(device, "rb").read() != canonical:
        fail(f"qel fmt did not give the canonical layout back: {formatted.stderr!r}")
    elif open(os.path.join(loose, "device.dab"), "rb").read() != device_bytes:
        fail("qel fmt changed what the source compiles to")
    elif any(f.endswith(".tmp") for f in files_below(loose)):
        fail("qel fmt left a temporary file")
    else:
        count("qel fmt rewrites into the layout")

    # qel check and qel show: the linter's and the reader's own runs.
    pairs = [(["check", "device.daf"], [qellint, "device.daf"]),
             (["check", "--format=json", "-Werror", "library.ipf"],
              [qellint, "--format=json", "-Werror", "library.ipf"]),
             (["show", "device.dab"], [qeldump, "device.dab"]),
             (["show", "--json", "library.ipb"], [qeldump, "--json", "library.ipb"]),
             (["show", "--bogus"], [qeldump, "--bogus"])]
    for ours, theirs in pairs:
        a, b = run([qel] + ours, reference), run(theirs, reference)
        if (a.returncode, a.stdout, a.stderr) != (b.returncode, b.stdout, b.stderr):
            fail(f"qel {' '.join(ours)} differs from {os.path.basename(theirs[0])}")
        else:
            count("check and show as the programs")
finally:
    shutil.rmtree(scratch)

print(", ".join(f"{what}: {n}" for what, n in counts.items()))
for failure in failures:
    print("FAIL", failure)
sys.exit(1 if failures else 0)
