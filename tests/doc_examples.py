#!/usr/bin/env python3
"""Compiles and runs the examples of the user documents, so that none can rot.

usage: doc_examples.py BIN_DIR DOC.md...

Fenced blocks, by info string (one scratch folder per document, blocks in order):
  daf | ipf [error] [NAME]  a source: written to NAME (default example.daf or
                            example.ipf) and compiled with qelc; status 0 and an
                            output file are expected, or status 1 with `error`
  file NAME                 a file written for later blocks (an include file)
  console                   `$ ` lines are commands run by bash in the folder;
                            the lines after them are the exact terminal output
A console block that runs a program not built yet is skipped.
"""
import difflib, os, pathlib, pty, re, subprocess, sys, tempfile

FENCE = re.compile(r"^```([^\n`]*)\n(.*?)^```[ \t]*$", re.M | re.S)


def terminal(script, cwd, env):
    """Runs the script as a person at a terminal would see it: standard output
    and error interleaved in the order written, on a pseudo-terminal."""
    leader, follower = pty.openpty()
    process = subprocess.Popen(["bash", "-c", script], cwd=cwd, env=env,
                               stdin=subprocess.DEVNULL, stdout=follower, stderr=follower)
    os.close(follower)
    output = b""
    try:
        while chunk := os.read(leader, 65536):
            output += chunk
    except OSError:  # the pseudo-terminal closes when the last writer ends
        pass
    os.close(leader)
    process.wait()
    return output.replace(b"\r\n", b"\n").decode("utf-8", "replace")


def check_document(doc, bin_dir, env, scratch):
    failures = skipped = checked = 0
    text = doc.read_text()
    for match in FENCE.finditer(text):
        words, body = match.group(1).split(), match.group(2)
        where = f"{doc.name}:{text.count(chr(10), 0, match.start()) + 1}"
        if words[:1] in (["daf"], ["ipf"]):
            expect_error = words[1:2] == ["error"]
            names = words[2:] if expect_error else words[1:]
            name = names[0] if names else "example." + words[0]
            (scratch / name).write_text(body)
            output = scratch / (name.split(".")[0] + (".dab" if words[0] == "daf" else ".ipb"))
            output.unlink(missing_ok=True)
            run = subprocess.run([str(bin_dir / "qelc"), name], cwd=scratch,
                                 capture_output=True, text=True)
            ok = run.returncode == 1 if expect_error else run.returncode == 0 and output.exists()
            if not ok:
                failures += 1
                print(f"{where}: qelc {name} ended with status {run.returncode}"
                      f"{' (an error was expected)' if expect_error else ''}\n{run.stdout}{run.stderr}")
            checked += 1
        elif words[:1] == ["file"] and len(words) == 2:
            (scratch / words[1]).write_text(body)
        elif words == ["console"]:
            commands = [line[2:] for line in body.splitlines() if line.startswith("$ ")]
            expected = "".join(line + "\n" for line in body.splitlines() if not line.startswith("$ "))
            missing = {c.split()[0] for c in commands} & {"qeldump", "qellint", "qel"}
            if any(not (bin_dir / program).exists() for program in missing):
                skipped += 1
                continue
            actual = terminal("\n".join(commands), scratch, env)
            checked += 1
            if actual != expected:
                failures += 1
                print(f"{where}: the output differs from the document", flush=True)
                sys.stdout.writelines(difflib.unified_diff(
                    expected.splitlines(True), actual.splitlines(True), "document", "programs"))
    return failures, skipped, checked


def main():
    bin_dir = pathlib.Path(sys.argv[1]).resolve()
    env = dict(os.environ, PATH=f"{bin_dir}{os.pathsep}{os.environ['PATH']}", LC_ALL="C")
    totals = [0, 0, 0]
    with tempfile.TemporaryDirectory() as root:
        for doc in map(pathlib.Path, sys.argv[2:]):
            scratch = pathlib.Path(root) / doc.stem
            scratch.mkdir()
            totals = [a + b for a, b in zip(totals, check_document(doc, bin_dir, env, scratch))]
    failures, skipped, checked = totals
    print(f"{checked} examples checked, {failures} failed, {skipped} skipped (program not built)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
