#pragma once

// A project's settings of the linter: the file qel.conf in the folder of a
// source or the nearest folder above it, shared by qellint, the library's Lint
// and the language server. It is a list of sections and settings:
//
//   # power and ground pins repeat on purpose
//   [checks]
//   pin-name-repeated = off
//   [names]
//   repeated = VDD* VSS* GND* NC
//
// `[checks]` turns warning checks on and off by name (on, off); `[names]`
// `repeated` lists the pin names that a package may give several pins without
// a pin-name-repeated finding, in place of the default list. A `*` in a name
// stands for any text; names compare letter case aside.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "source/diagnostics.h"

namespace qelc {

inline constexpr char kProjectConfigName[] = "qel.conf";

struct ProjectConfig {
  std::string path;  // the file read
  // The checks named, in the file's order, each with on (true) or off.
  std::vector<std::pair<std::string, bool>> checks;
  // The names of [names] repeated; nothing when the file does not say.
  std::optional<std::vector<std::string>> repeatedPinNames;
  // The lines that say nothing this reading understands, each with why.
  std::vector<std::pair<int32_t, std::string>> problems;

  // `on` with the file's checks turned on and off.
  void Apply(WarningSet& on) const;
  // Each problem as an error of the check project-config at its line,
  // appended to `findings`.
  void ReportProblems(std::vector<Diagnostic>& findings) const;
  // The repeated pin names as the linter takes them (null: the default ones).
  const std::vector<std::string>* RepeatedPinNames() const {
    return repeatedPinNames ? &*repeatedPinNames : nullptr;
  }
};

// Reads the text of a project configuration found at `path`.
ProjectConfig ParseProjectConfig(std::string_view text, std::string path);

// The qel.conf of the folder that holds `source` (a path as the command line
// gives it) or of the nearest folder above it, read from the disk; nothing
// when no folder up to the root has one.
std::optional<ProjectConfig> FindProjectConfig(const std::string& source);

}  // namespace qelc
