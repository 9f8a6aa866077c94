#pragma once

// Helpers for the unit tests: the reporting side of a compilation that keeps
// what qelc would print, runs that end through FatalExit, and a parse state
// over a text held in memory. Only tests include this header.

#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "source/diagnostics.h"
#include "source/files.h"
#include "source/line_map.h"
#include "source/preprocessor.h"
#include "tables/parse_state.h"

namespace qelc::test_support {

// The console text of every message, on the stream the qelc program prints it
// on.
class ConsoleText : public OutputSink {
 public:
  void Emit(Message message) override {
    (message.stream == Stream::kStandardOutput ? out : err) += message.console;
  }
  std::string out, err;
};

// How a piece of code ended: its exit status when it ended the run, and what it
// printed on each stream meanwhile.
struct RunResult {
  bool exited = false;
  int status = 0;
  std::string out;
  std::string err;
};

// The reporting side of one compilation, its console text kept.
class Reporting {
 public:
  template <class Body>
  RunResult Run(Body body) {
    console_ = {};
    RunResult result;
    try {
      body();
    } catch (const FatalExit& exit) {
      result.exited = true;
      result.status = exit.status;
    }
    result.out = console_.out;
    result.err = console_.err;
    return result;
  }

 private:
  ConsoleText console_;

 public:
  Diagnostics diagnostics{console_};
};

// Files in memory: those named in `inputs` can be read, those written are kept.
class TestFiles : public MemoryFiles {
 public:
  TestFiles()
      : MemoryFiles([this](const std::string& path) -> std::optional<std::string> {
          auto input = inputs.find(path);
          if (input == inputs.end()) return std::nullopt;
          return input->second;
        }) {}

  // The bytes of the written file `name`, or nothing when there is none.
  std::optional<std::string> WrittenFile(std::string_view name) const {
    for (const File& file : Written()) {
      if (file.name == name) return file.bytes;
    }
    return std::nullopt;
  }

  std::map<std::string, std::string> inputs;
};

// A parse state whose token stream reads a text, as it reads the .pre file of
// a compilation, over files in memory. No token is read until the test asks.
class TextParse : public Reporting {
 public:
  explicit TextParse(std::string_view text = {}) { Open(text); }

  // Starts reading `text` afresh.
  void Open(std::string_view text) {
    files.inputs["t.pre"] = std::string(text);
    s.tokens.Open(files.OpenForReading("t.pre"));
  }

  // Declared before the state, whose streams read and write these files.
  TestFiles files;
  ParseState s{diagnostics};
};

// `source` preprocessed as dev.daf into memory, entering its lines in `map`
// when one is given: the preprocessor's status and the text it wrote.
struct Preprocessed {
  int status = 0;
  std::string text;
};
inline Preprocessed PreprocessText(std::string source, LineMap* map = nullptr) {
  FILE* input = fmemopen(source.data(), source.size(), "r");
  char* text = nullptr;
  size_t size = 0;
  FILE* output = open_memstream(&text, &size);
  DefineTable defines;
  BranchStack branches;
  Reporting reporting;
  TestFiles files;
  Preprocessed result;
  result.status =
      Preprocess(input, "dev.daf", output, defines, branches, reporting.diagnostics, files, map);
  std::fclose(input);
  std::fclose(output);
  result.text.assign(text, size);
  std::free(text);
  return result;
}

}  // namespace qelc::test_support
