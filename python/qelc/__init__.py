"""The qelc compiler in memory.

compile, lint and format DAF and IPF sources; read, compare and write back DAB
and IPB files as qeldump does. Texts that came from bytes (console lines,
messages, names, formatted sources) are UTF-8 with every other byte kept as a
lone surrogate: ``text.encode("utf-8", "surrogateescape")`` gives the bytes
back. The texts of a DAB or IPB file are read as qeldump --json reads them:
UTF-8 where they are, one character per byte (Latin-1) where they are not.
"""

from ._qelc import (
    CannotExpress,
    DamagedFile,
    Diagnostic,
    File,
    FormatRefused,
    Result,
    __version__,
    compile,
    diff,
    format,
    lint,
    read,
)

__all__ = [
    "CannotExpress",
    "DamagedFile",
    "Diagnostic",
    "File",
    "FormatRefused",
    "Result",
    "__version__",
    "compile",
    "diff",
    "format",
    "lint",
    "read",
]
