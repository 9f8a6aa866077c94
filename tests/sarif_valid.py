#!/usr/bin/env python3
"""qellint --format=sarif validates against the SARIF 2.1.0 schema.

Runs qellint on the sources of every linter case (a case whose file `program`
names qellint) and validates each log with python3-jsonschema; the logs must
hold results, so that results are validated too. Exit 77 (skipped, with the
reason) when python3-jsonschema is not installed or the schema has not been
fetched, unless QELC_REQUIRE_SARIF is set (.ci/run sets it): then that fails.
usage: sarif_valid.py SCHEMA QELLINT CASES"""
import glob, json, os, subprocess, sys


def cannot_check(reason):
    if os.environ.get("QELC_REQUIRE_SARIF"):
        sys.exit(f"the SARIF check cannot run: {reason}")
    print(f"skipped: {reason}")
    sys.exit(77)


try:
    import jsonschema
except ImportError:
    cannot_check("python3-jsonschema is not installed (apt-get install python3-jsonschema)")

schema_path, qellint, root = sys.argv[1:4]
if not os.path.isfile(schema_path):
    cannot_check(f"no schema at {schema_path}: run .ci/run to fetch it")
schema = json.load(open(schema_path))
assert "2.1.0" in schema["title"], schema["title"]
validator = jsonschema.Draft4Validator(schema, format_checker=jsonschema.FormatChecker())
results = 0
for program in sorted(glob.glob(os.path.join(root, "*", "*", "program"))):
    case = os.path.dirname(program)
    if open(program).read().split() != ["qellint"]:
        continue
    sources = [a for a in open(os.path.join(case, "args")).read().split("\n") if a and a[0] != "-"]
    run = subprocess.run([qellint, "--format=sarif"] + sources, cwd=os.path.join(case, "in"),
                         capture_output=True)
    log = json.loads(run.stdout)
    errors = sorted(validator.iter_errors(log), key=str)
    if errors:
        sys.exit(f"{case}: {errors[0].message} at {list(errors[0].absolute_path)}")
    results += len(log["runs"][0]["results"])
print(f"{results} results validated")
sys.exit(0 if results else "no results to validate")
