// The _qelc extension of the Python package qelc: compiles, lints and formats
// sources held in memory through <qelc/qelc.h>, and reads DAB and IPB files
// with qeldump's own writers. The GIL is let go while the C++ side works, so
// threads of one interpreter compile side by side; an `includes` callable takes
// it back for each file it is asked for. Nothing is written to the process's
// streams: every writer of qeldump is handed a stream in memory.

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "compiler/compilation.h"
#include "formats/utf8.h"
#include "qelc/qelc.h"
#include "qeldump/field_lines.h"
#include "qeldump/input_file.h"
#include "qeldump/json_dump.h"
#include "qeldump/written_source.h"
#include "report/report.h"

namespace py = pybind11;

namespace qelc::python {

namespace {

// ---- Texts between the two sides -------------------------------------------

// Bytes that the compiler gave as text (console lines, names, messages): UTF-8
// where they are, each other byte as a lone surrogate, so that
// text.encode("utf-8", "surrogateescape") gives the bytes back.
py::str Text(std::string_view bytes) {
  PyObject* text = PyUnicode_DecodeUTF8(bytes.data(), Py_ssize_t(bytes.size()), "surrogateescape");
  if (!text) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(text);
}

// A text of a DAB or IPB file as qeldump --json gives it: UTF-8 where it is
// well-formed, one character per byte (Latin-1) where it is not.
py::str FileText(std::string_view bytes) {
  if (IsUtf8(bytes)) return Text(bytes);
  PyObject* text = PyUnicode_DecodeLatin1(bytes.data(), Py_ssize_t(bytes.size()), nullptr);
  if (!text) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(text);
}

// A source or a name as the compiler reads it: bytes as they are, a str as
// UTF-8 (lone surrogates back to the bytes they stand for).
std::string Bytes(const py::handle& value, const char* what) {
  if (PyBytes_Check(value.ptr())) return std::string(py::reinterpret_borrow<py::bytes>(value));
  if (PyByteArray_Check(value.ptr())) {
    return std::string(PyByteArray_AsString(value.ptr()), size_t(PyByteArray_Size(value.ptr())));
  }
  if (PyUnicode_Check(value.ptr())) {
    PyObject* encoded = PyUnicode_AsEncodedString(value.ptr(), "utf-8", "surrogateescape");
    if (!encoded) throw py::error_already_set();
    return std::string(py::reinterpret_steal<py::bytes>(encoded));
  }
  throw py::type_error(std::string(what) + " must be str or bytes, not " +
                       std::string(py::str(py::type::of(value).attr("__name__"))));
}

// Raises the package's exception `type` (an attribute of this module) with
// `message`, and with the attributes `extra` names on it.
[[noreturn]] void Raise(const char* type, const std::string& message, py::dict extra = {}) {
  py::object error = py::module_::import("qelc._qelc").attr(type)(Text(message));
  for (auto [key, value] : extra) error.attr(key) = value;
  PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(error.ptr())), error.ptr());
  throw py::error_already_set();
}

// ---- Included files ------------------------------------------------------------

// Asks a Python callable for each included file, holding the GIL only while it
// runs. An exception it raises stops nothing on the C++ side (the file is
// missing there) and is raised again when the call returns.
class CallableResolver : public IncludeResolver {
 public:
  explicit CallableResolver(py::object read) : read_(std::move(read)) {}

  std::optional<std::string> Read(const std::string& name) override {
    py::gil_scoped_acquire gil;
    if (error_) return std::nullopt;
    try {
      py::object got = read_(Text(name));
      if (got.is_none()) return std::nullopt;
      return Bytes(got, "what includes returns");
    } catch (py::error_already_set& error) {
      error_.emplace(std::move(error));
    } catch (py::builtin_exception& error) {
      error.set_error();
      error_.emplace();
    }
    return std::nullopt;
  }

  void RaiseAnyError() {
    if (error_) throw std::move(*error_);
  }

 private:
  py::object read_;
  std::optional<py::error_already_set> error_;
};

// The `includes` argument: None (the working folder), a folder, or a callable.
class Includes {
 public:
  explicit Includes(const py::object& includes) {
    if (includes.is_none()) return;
    if (PyUnicode_Check(includes.ptr()) || PyBytes_Check(includes.ptr()) ||
        py::hasattr(includes, "__fspath__")) {
      py::bytes folder = py::module_::import("os").attr("fsencode")(includes);
      directory_.emplace(std::string(folder));
    } else if (PyCallable_Check(includes.ptr())) {
      callable_.emplace(includes);
    } else {
      throw py::type_error("includes must be a folder (str or os.PathLike) or a callable");
    }
  }

  IncludeResolver* resolver() {
    if (directory_) return &*directory_;
    if (callable_) return &*callable_;
    return nullptr;
  }

  void RaiseAnyError() {
    if (callable_) callable_->RaiseAnyError();
  }

 private:
  std::optional<DirectoryResolver> directory_;
  std::optional<CallableResolver> callable_;
};

// ---- Diagnostics and results -----------------------------------------------

const char* SeverityName(Severity severity) {
  switch (severity) {
    case Severity::kError:
      return "error";
    case Severity::kWarning:
      return "warning";
    case Severity::kNote:
      break;
  }
  return "note";
}

struct PyDiagnostic {
  py::str file;
  int line = 1;
  int column = 1;
  int endLine = 1;
  int endColumn = 1;
  std::string severity;
  py::str check;
  py::str message;
  py::list includedFrom;

  py::tuple Fields() const {
    return py::make_tuple(file, line, column, endLine, endColumn, severity, check, message,
                          includedFrom);
  }
};

PyDiagnostic ToPython(const Diagnostic& diagnostic) {
  const Location& at = diagnostic.location;
  PyDiagnostic converted{Text(at.file),
                         at.line,
                         at.column,
                         at.endLine,
                         at.endColumn,
                         SeverityName(diagnostic.severity),
                         Text(diagnostic.check),
                         Text(diagnostic.message),
                         py::list()};
  for (const IncludeSite& site : at.includedFrom) {
    converted.includedFrom.append(py::make_tuple(Text(site.file), site.line));
  }
  return converted;
}

py::list ToPython(const std::vector<Diagnostic>& diagnostics) {
  py::list converted;
  for (const Diagnostic& diagnostic : diagnostics) converted.append(ToPython(diagnostic));
  return converted;
}

struct PyResult {
  int status = 0;
  py::str standardOutput;
  py::str standardError;
  py::dict files;
  py::object artifact;
  py::list diagnostics;
};

// ---- compile, lint, format -----------------------------------------------------

PyResult CompileText(const py::object& text, const py::object& name, const py::object& includes,
                     bool keepPreprocessed, bool decode, bool warnings) {
  Source source{Bytes(name, "name"), Bytes(text, "text")};
  Includes reader(includes);
  CompileOptions options;
  options.keepPreprocessed = keepPreprocessed;
  options.decode = decode;
  options.warnings = warnings;
  options.resolver = reader.resolver();
  CompileResult result;
  {
    py::gil_scoped_release released;
    result = Compile(source, options);
  }
  reader.RaiseAnyError();
  PyResult converted{
      result.status, Text(result.standardOutput), Text(result.standardError), py::dict(),
      py::none(),    ToPython(result.diagnostics)};
  // The artifact is one of the files: one bytes object serves both.
  for (const OutputFile& file : result.files) {
    py::bytes bytes(file.bytes);
    converted.files[Text(file.name)] = bytes;
    if (result.artifact && file.name == result.artifact->name) converted.artifact = bytes;
  }
  return converted;
}

// The check names a caller gave, each known to the linter.
std::vector<std::string> CheckNames(const py::iterable& names, const char* argument) {
  std::vector<const WarningCheck*> known = AllWarningChecks();
  std::vector<std::string> checks;
  for (py::handle name : names) {
    std::string check = Bytes(name, argument);
    bool found = false;
    for (const WarningCheck* warning : known) found = found || warning->name == check;
    if (!found) throw py::value_error("no warning check " + check + " (qellint --list-checks)");
    checks.push_back(std::move(check));
  }
  return checks;
}

py::list LintText(const py::object& text, const py::object& name, const py::object& includes,
                  int maxErrors, const py::iterable& enable, const py::iterable& disable) {
  if (maxErrors < 0) throw py::value_error("max_errors must be 0 (all) or more");
  Source source{Bytes(name, "name"), Bytes(text, "text")};
  Includes reader(includes);
  LintOptions options;
  options.maxErrors = size_t(maxErrors);
  options.enable = CheckNames(enable, "a name in enable");
  options.disable = CheckNames(disable, "a name in disable");
  options.resolver = reader.resolver();
  LintResult result;
  {
    py::gil_scoped_release released;
    result = Lint(source, options);
  }
  reader.RaiseAnyError();
  if (!result.isSource) {
    throw py::value_error(source.name + ": not a DAF or IPF source (.daf or .ipf)");
  }
  return ToPython(result.diagnostics);
}

py::str FormatText(const py::object& text, const py::object& name, const py::object& includes) {
  Source source{Bytes(name, "name"), Bytes(text, "text")};
  Includes reader(includes);
  FormatResult result;
  {
    py::gil_scoped_release released;
    result = Format(source, reader.resolver());
  }
  reader.RaiseAnyError();
  if (!result.text) Raise("FormatRefused", result.refusal);
  return Text(*result.text);
}

// ---- Reading DAB and IPB files -----------------------------------------------

// A value of qeldump's text form as a Python value: a quoted text as str (the
// " @OFFSET" note after it left out), a float's shortest text as float, an
// integer as int. `shown` is advanced past the value.
py::object FieldValue(std::string_view& shown) {
  if (shown.starts_with('"')) {
    std::string bytes;
    size_t at = 1;
    for (; at < shown.size() && shown[at] != '"'; ++at) {
      if (shown[at] != '\\' || at + 1 >= shown.size()) {
        bytes += shown[at];
        continue;
      }
      char escaped = shown[++at];
      if (escaped == 'x' && at + 2 < shown.size()) {
        unsigned value = 0;
        std::from_chars(shown.data() + at + 1, shown.data() + at + 3, value, 16);
        bytes += char(value);
        at += 2;
      } else {
        bytes += escaped == 'n' ? '\n' : escaped == 'r' ? '\r' : escaped == 't' ? '\t' : escaped;
      }
    }
    shown.remove_prefix(std::min(at + 1, shown.size()));
    if (shown.starts_with(" @")) {
      size_t end = shown.find(" (inside a string)");
      shown.remove_prefix(
          end != std::string_view::npos ? end + 18 : std::min(shown.find(' ', 1), shown.size()));
    }
    return FileText(bytes);
  }
  std::string_view word = shown.substr(0, shown.find(' '));
  shown.remove_prefix(word.size());
  long long number = 0;
  auto [end, problem] = std::from_chars(word.data(), word.data() + word.size(), number);
  if (problem == std::errc() && end == word.data() + word.size()) return py::int_(number);
  if (word.starts_with("nan") || word.starts_with("-nan")) return py::float_(std::nan(""));
  return py::float_(py::str(std::string(word)));
}

py::object FieldValue(const std::optional<std::string>& shown) {
  if (!shown) return py::none();
  std::string_view rest = *shown;
  return FieldValue(rest);
}

// A DAB or IPB file read whole and checked.
class PyFile {
 public:
  explicit PyFile(std::unique_ptr<dump::InputFile> file) : file_(std::move(file)) {}

  const dump::InputFile& file() const { return *file_; }
  std::string Kind() const { return file_->kind == dump::FileKind::kDab ? "dab" : "ipb"; }
  py::str Name() const { return Text(file_->name); }

  py::str ToText() const {
    return Text(WithoutGil([&](FILE* out) { dump::WriteText(*file_, out); }));
  }

  py::str ToJson() const {
    std::string json = WithoutGil([&](FILE* out) { dump::WriteJson(*file_, out); });
    if (json.ends_with('\n')) json.pop_back();
    return Text(json);
  }

  // qeldump --get: one value, or a dict of the lines under a record or list.
  py::object Get(const std::string& path) const {
    std::string lines;
    try {
      lines = WithoutGil([&](FILE* out) { dump::WriteField(*file_, path, "", out); });
    } catch (const dump::FileProblem& problem) {
      throw py::key_error(problem.what());
    }
    py::dict under;
    for (std::string_view rest = lines; !rest.empty();) {
      std::string_view line = rest.substr(0, rest.find('\n'));
      rest.remove_prefix(std::min(line.size() + 1, rest.size()));
      bool inside = line.size() > path.size() && line.starts_with(path) &&
                    (line[path.size()] == '.' || line[path.size()] == '[');
      if (!inside) return line.empty() ? py::none() : FieldValue(line);
      size_t equals = line.find(" = ");
      std::string_view value = line.substr(equals + 3);
      under[Text(line.substr(0, equals))] = FieldValue(value);
    }
    return under;
  }

  // qeldump --source: the source, or CannotExpress naming the fields it
  // cannot give (with the source of the rest as its `text`).
  py::str Source() const {
    std::vector<std::string> problems;
    std::string source;
    {
      py::gil_scoped_release released;
      source = dump::WrittenSource(*file_, problems);
    }
    if (problems.empty()) return Text(source);
    std::string message;
    py::list named;
    for (const std::string& problem : problems) {
      message += (message.empty() ? "" : "\n") + file_->name + ": " + problem;
      named.append(Text(problem));
    }
    py::dict extra;
    extra["problems"] = named;
    extra["text"] = Text(source);
    Raise("CannotExpress", message, extra);
  }

  py::str Html() const {
    std::string page;
    try {
      py::gil_scoped_release released;
      page = file_->kind == dump::FileKind::kDab
                 ? report::DabReport(*file_->dab, file_->name)
                 : report::IpbReport(file_->ipb, file_->ipbStrings, file_->name);
    } catch (const dump::FileProblem& problem) {
      Raise("DamagedFile", file_->name + ": " + problem.what());
    }
    return Text(page);
  }

 private:
  template <typename Write>
  static std::string WithoutGil(Write&& write) {
    py::gil_scoped_release released;
    return dump::Written(write);
  }

  std::unique_ptr<dump::InputFile> file_;
};

PyFile ReadFile(const py::object& data, const py::object& name) {
  auto file = std::make_unique<dump::InputFile>();
  if (PyBytes_Check(data.ptr()) || PyByteArray_Check(data.ptr())) {
    file->bytes = Bytes(data, "data");
    file->name = name.is_none() ? "<bytes>" : Bytes(name, "name");
  } else {
    py::object path = py::module_::import("pathlib").attr("Path")(data);
    file->bytes = std::string(py::bytes(path.attr("read_bytes")()));
    file->name = name.is_none() ? Bytes(py::module_::import("os").attr("fspath")(data), "path")
                                : Bytes(name, "name");
  }
  try {
    py::gil_scoped_release released;
    dump::CheckBytes(*file);
  } catch (const dump::FileProblem& problem) {
    Raise("DamagedFile", file->name + ": " + problem.what());
  }
  return PyFile(std::move(file));
}

const dump::InputFile& AsFile(const py::object& given, std::optional<PyFile>& read) {
  if (py::isinstance<PyFile>(given)) return given.cast<const PyFile&>().file();
  read.emplace(ReadFile(given, py::none()));
  return read->file();
}

// qeldump --diff --by-index: (path, old, new) for each field whose content differs.
py::list Diff(const py::object& a, const py::object& b) {
  std::optional<PyFile> readA, readB;
  const dump::InputFile& first = AsFile(a, readA);
  const dump::InputFile& second = AsFile(b, readB);
  if (first.kind != second.kind) {
    auto kindName = [](const dump::InputFile& file) {
      return file.kind == dump::FileKind::kDab ? "a DAB file" : "an IPB file";
    };
    throw py::value_error(second.name + ": " + kindName(second) + ", and " + first.name + " is " +
                          kindName(first) + "; only files of one kind compare");
  }
  struct Difference {
    std::string path;
    std::optional<std::string> before, after;
  };
  std::vector<Difference> found;
  {
    py::gil_scoped_release released;
    const dump::InputFile* files[] = {&first, &second};
    dump::WalkLines(
        files, true,
        [&](const std::string& path, std::span<const std::optional<std::string>> values) {
          if (values[0] != values[1]) found.push_back({path, values[0], values[1]});
        });
  }
  py::list differences;
  for (const Difference& difference : found) {
    differences.append(py::make_tuple(Text(difference.path), FieldValue(difference.before),
                                      FieldValue(difference.after)));
  }
  return differences;
}

void AddException(py::module_& module, const char* name, const char* doc) {
  std::string qualified = std::string("qelc.") + name;
  PyObject* type = PyErr_NewExceptionWithDoc(qualified.c_str(), doc, PyExc_ValueError, nullptr);
  if (!type) throw py::error_already_set();
  module.add_object(name, py::reinterpret_steal<py::object>(type));
}

}  // namespace

}  // namespace qelc::python

PYBIND11_MODULE(_qelc, module) {
  using namespace qelc::python;
  module.doc() =
      "The qelc compiler in memory: compile, lint and format DAF and IPF sources; read, "
      "compare and write back DAB and IPB files as qeldump does.";
  module.attr("__version__") = QELC_VERSION;

  AddException(module, "DamagedFile",
               "The bytes are no sound DAB or IPB file; the message is qeldump's: NAME: what is "
               "wrong.");
  AddException(module, "CannotExpress",
               "No source gives back some fields of the file. `problems` names each one; `text` "
               "is the source of the rest.");
  AddException(module, "FormatRefused",
               "The source is not formatted: the message says why (its first error, or the line "
               "the layout would compile differently).");

  py::class_<PyDiagnostic>(module, "Diagnostic",
                           "One finding of the compiler or the linter, at its range in the user's "
                           "files (lines and byte columns from 1, the end just after the last "
                           "character).")
      .def_readonly("file", &PyDiagnostic::file)
      .def_readonly("line", &PyDiagnostic::line)
      .def_readonly("column", &PyDiagnostic::column)
      .def_readonly("end_line", &PyDiagnostic::endLine)
      .def_readonly("end_column", &PyDiagnostic::endColumn)
      .def_readonly("severity", &PyDiagnostic::severity, "\"error\", \"warning\" or \"note\"")
      .def_readonly("check", &PyDiagnostic::check, "the rule's name, as -Wno-NAME takes it")
      .def_readonly("message", &PyDiagnostic::message)
      .def_readonly("included_from", &PyDiagnostic::includedFrom,
                    "the #include lines that reached the file, innermost first: (file, line)")
      .def("__eq__",
           [](const PyDiagnostic& a, const py::object& b) {
             return py::isinstance<PyDiagnostic>(b) &&
                    a.Fields().equal(b.cast<const PyDiagnostic&>().Fields());
           })
      .def("__hash__",
           [](const PyDiagnostic& d) {
             return py::hash(py::make_tuple(d.file, d.line, d.column, d.check, d.message));
           })
      .def("__str__",
           [](const PyDiagnostic& d) {
             return py::str("{}:{}:{}: {}: {} [{}]")
                 .format(d.file, d.line, d.column, d.severity, d.message, d.check);
           })
      .def("__repr__", [](const PyDiagnostic& d) {
        return py::str(
                   "qelc.Diagnostic({!r}, line={}, column={}, end_line={}, end_column={}, "
                   "severity={!r}, check={!r}, message={!r}, included_from={!r})")
            .format(d.file, d.line, d.column, d.endLine, d.endColumn, d.severity, d.check,
                    d.message, d.includedFrom);
      });

  py::class_<PyResult>(module, "Result",
                       "What a compilation gave: the qelc program's status, what it prints "
                       "(str: UTF-8, other bytes as lone surrogates), the files it leaves and "
                       "its diagnostics.")
      .def_readonly("status", &PyResult::status, "qelc's exit status: 0 compiled, 1 an error")
      .def_readonly("stdout", &PyResult::standardOutput)
      .def_readonly("stderr", &PyResult::standardError)
      .def_readonly("files", &PyResult::files,
                    "every file qelc leaves, name -> bytes, in the order they were created")
      .def_readonly("artifact", &PyResult::artifact, "the DAB or IPB file's bytes, or None")
      .def_readonly("diagnostics", &PyResult::diagnostics)
      .def("__repr__", [](const PyResult& r) {
        return py::str("<qelc.Result status={} files={!r}>")
            .format(r.status, r.files.attr("keys")());
      });

  py::class_<PyFile>(module, "File", "A DAB or IPB file, read whole and checked.")
      .def_property_readonly("kind", &PyFile::Kind, "\"dab\" or \"ipb\"")
      .def_property_readonly("name", &PyFile::Name, "the name qeldump's texts give the file")
      .def("text", &PyFile::ToText, "The text qeldump prints: every field as path = value.")
      .def("to_json", &PyFile::ToJson,
           "The document qeldump --json prints, without its final newline.")
      .def(
          "as_dict",
          [](const PyFile& file) {
            return py::module_::import("json").attr("loads")(file.ToJson());
          },
          "The document of to_json() as Python values.")
      .def("get", &PyFile::Get, py::arg("path"),
           "The value qeldump --get PATH prints: a field's as int, float or str, a record's "
           "or list's as a dict of path -> value. KeyError for a path that names nothing.")
      .def("source", &PyFile::Source,
           "The source qeldump --source writes; CannotExpress where it names fields.")
      .def("html", &PyFile::Html, "The page of qeldump --html.")
      .def("__repr__", [](const PyFile& file) {
        return py::str("<qelc.File {!r} ({})>").format(file.Name(), file.Kind());
      });

  module.def("compile", &CompileText, py::arg("text"), py::arg("name") = "source.daf",
             py::kw_only(), py::arg("includes") = py::none(), py::arg("keep_preprocessed") = false,
             py::arg("decode") = false, py::arg("warnings") = false,
             "Compiles a DAF or IPF source as the qelc program would (-d: keep_preprocessed "
             "and decode) and returns a Result.");
  module.def("lint", &LintText, py::arg("text"), py::arg("name") = "source.daf", py::kw_only(),
             py::arg("includes") = py::none(), py::arg("max_errors") = 20,
             py::arg("enable") = py::tuple(), py::arg("disable") = py::tuple(),
             "What qellint finds in the source: a list of Diagnostic.");
  module.def("format", &FormatText, py::arg("text"), py::arg("name") = "source.daf", py::kw_only(),
             py::arg("includes") = py::none(),
             "The source in qelc's layout, its comments kept; FormatRefused when it cannot be.");
  module.def("read", &ReadFile, py::arg("data"), py::kw_only(), py::arg("name") = py::none(),
             "Reads a DAB or IPB file from bytes or a path; DamagedFile when it is not sound.");
  module.def("diff", &Diff, py::arg("a"), py::arg("b"),
             "The fields whose content differs between two files of one kind, as qeldump "
             "--diff --by-index lists them: (path, old, new), None for a record one file lacks.");
}
