#pragma once

#include <set>
#include <string>
#include <vector>

#include "source/parser.h"
#include "tables/dump_stream.h"
#include "tables/string_pool.h"

namespace qelc {

// Declared by the DAF sections (sections/cross_references.h), which alone use it.
class PinNames;

// What the section and soft-IP rules of one compilation work on: the parser,
// the string pool that every stored text goes into, and the dump stream that
// every table is dumped onto.
struct ParseState : Parser {
  explicit ParseState(Diagnostics& diagnostics)
      : Parser(diagnostics), pool(diagnostics), dump(diagnostics) {}

  StringPool pool;
  DumpStream dump;
  // While findings are collected from a DAF source: where its sections note the
  // pin names they define and use, checked against each other once all is read.
  // Null otherwise.
  PinNames* pinNames = nullptr;
  // While linting: the pin names a package may give several pins (a `*`
  // stands for any text); null: the power and ground names of
  // kDefaultRepeatedPinNames.
  const std::vector<std::string>* repeatedPinNames = nullptr;
  // While linting: tables that lack an entry the linter skipped after an error,
  // so that a name not found in them proves nothing.
  std::set<const void*> incompleteTables;
};

}  // namespace qelc
