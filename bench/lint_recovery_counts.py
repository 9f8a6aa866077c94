#!/usr/bin/env python3
"""Counts the errors two qellint builds report on the failing cases of the tests.

    lint_recovery_counts.py OLD_QELLINT NEW_QELLINT [--show]

Cases: every folder tests/cases/AREA/CASE run by qelc (no `program` file, or one
naming qelc) that expects status 1, whose first argument is a .daf or .ipf source
and that sets up no failing environment (no `limits`, no `setup`). Both linters
run on the case's in/ folder with --format=json (and --max-errors 0 where the
build knows the option, so that nothing is held back). Cases where neither
reports an error (qelc failed on something else, a file it writes) are left out.

Prints one line per case whose count differs, with --show every error the new
build adds, and then the totals: cases, errors before and after, cases with more
than one error before and after."""
import glob, json, os, subprocess, sys

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "cases")


def knows_max_errors(qellint):
    run = subprocess.run([qellint, "--help"], capture_output=True, text=True)
    return "--max-errors" in run.stdout


def errors(qellint, extra, case, source):
    run = subprocess.run([qellint, "--format=json"] + extra + [source],
                         cwd=os.path.join(case, "in"), capture_output=True, timeout=60)
    found = json.loads(run.stdout)["findings"]
    return [f for f in found if f["severity"] == "error"]


def cases():
    for status in sorted(glob.glob(os.path.join(root, "*", "*", "expect", "status"))):
        case = os.path.dirname(os.path.dirname(status))
        program = os.path.join(case, "program")
        if os.path.exists(program) and open(program).read().split() != ["qelc"]:
            continue
        if open(status).read().strip() != "1":
            continue
        if any(os.path.exists(os.path.join(case, f)) for f in ("limits", "setup")):
            continue
        args_path = os.path.join(case, "args")
        args = open(args_path).read().split("\n") if os.path.exists(args_path) else []
        if not args or not args[0].lower().endswith((".daf", ".ipf")):
            continue
        if not os.path.isfile(os.path.join(case, "in", args[0])):
            continue
        yield case, args[0]


def main():
    old, new = (os.path.abspath(p) for p in sys.argv[1:3])
    show = "--show" in sys.argv[3:]
    old_extra = ["--max-errors", "0"] if knows_max_errors(old) else []
    new_extra = ["--max-errors", "0"] if knows_max_errors(new) else []
    total = {"cases": 0, "before": 0, "after": 0, "many before": 0, "many after": 0}
    for case, source in cases():
        before = errors(old, old_extra, case, source)
        after = errors(new, new_extra, case, source)
        if not before and not after:
            continue
        total["cases"] += 1
        total["before"] += len(before)
        total["after"] += len(after)
        total["many before"] += len(before) > 1
        total["many after"] += len(after) > 1
        if len(before) != len(after):
            print(f"{os.path.relpath(case, root)}: {len(before)} -> {len(after)}")
            if show:
                known = {(e["file"], e["line"], e["column"], e["message"]) for e in before}
                for e in after:
                    if (e["file"], e["line"], e["column"], e["message"]) not in known:
                        print(f"  + {e['file']}:{e['line']}:{e['column']}: {e['message']}"
                              f" [{e['check']}]")
    print(f"{total['cases']} failing cases: {total['before']} errors before, "
          f"{total['after']} after; cases with more than one error: "
          f"{total['many before']} before, {total['many after']} after")


main()
