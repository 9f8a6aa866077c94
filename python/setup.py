"""A wheel of the package qelc, its extension built by the project's CMake
build (the target _qelc alone), with no download:

    python3 -m build --no-isolation --wheel --outdir dist python

The CMake tree stands in setuptools' build_temp; QELC_CMAKE_ARGS adds options
(for example -G Ninja).
"""
import os, pathlib, re, shlex, shutil, subprocess, sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent


class CMakeExtension(build_ext):
    def build_extension(self, ext):
        tree = pathlib.Path(self.build_temp).resolve() / "cmake"
        configure = ["cmake", "-S", str(ROOT), "-B", str(tree), "-DCMAKE_BUILD_TYPE=Release",
                     f"-DPython3_EXECUTABLE={sys.executable}", "-DQELC_PYTHON=ON",
                     *shlex.split(os.environ.get("QELC_CMAKE_ARGS", ""))]
        subprocess.run(configure, check=True)
        jobs = str(self.parallel or os.cpu_count() or 1)
        subprocess.run(["cmake", "--build", str(tree), "--target", "_qelc", "-j", jobs], check=True)
        built = next((tree / "python" / "qelc").glob("_qelc*"))
        target = pathlib.Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(built, target)


VERSION = re.search(r"project\(qelc VERSION ([0-9.]+)", (ROOT / "CMakeLists.txt").read_text())[1]

setup(
    name="qelc",
    version=VERSION,
    description="The qelc compiler of DAF and IPF sources, and the reader of DAB and IPB files",
    packages=["qelc"],
    package_data={"qelc": ["__init__.pyi", "py.typed"]},
    ext_modules=[Extension("qelc._qelc", sources=[])],
    cmdclass={"build_ext": CMakeExtension},
    python_requires=">=3.9",
    zip_safe=False,
)
