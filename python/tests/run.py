#!/usr/bin/env python3
"""Runs the Python package's tests with pytest against a build.

usage: run.py PACKAGE_DIR QELC QELLINT QELDUMP [PYTEST_ARGS...]

PACKAGE_DIR holds the built package (build/python, with qelc/ in it). Without
pytest or the built package the run is skipped with status 77, unless
QELC_REQUIRE_PYTHON is set.
"""
import importlib.util, os, pathlib, sys


def main():
    package_dir, qelc, qellint, qeldump = (os.path.abspath(a) for a in sys.argv[1:5])
    pytest_args = sys.argv[5:]
    sys.path.insert(0, package_dir)
    missing = [name for name in ("pytest", "qelc") if importlib.util.find_spec(name) is None]
    if missing:
        print(f"{' and '.join(missing)} not found for {sys.executable}")
        return 1 if os.environ.get("QELC_REQUIRE_PYTHON") else 77
    os.environ.update(QELC_PACKAGE_DIR=package_dir, QELC_BINARY=qelc,
                      QELLINT_BINARY=qellint, QELDUMP_BINARY=qeldump)
    os.environ["PYTHONPATH"] = os.pathsep.join(filter(None, [package_dir, os.environ.get("PYTHONPATH")]))
    import pytest
    here = pathlib.Path(__file__).resolve().parent
    return pytest.main([str(here), "-q", "-p", "no:cacheprovider", *pytest_args])


if __name__ == "__main__":
    sys.exit(main())
