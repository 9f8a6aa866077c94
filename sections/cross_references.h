#pragma once

// The linter's checks of one DAF section against another: pins used by a name
// that nothing defines, pin numbers beyond what a package has, rows filed under
// another package's condition, one name on two pins of a package. The sections
// note what they read here while findings are collected; the compiler never
// builds any of it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "qelc/facts.h"
#include "source/diagnostics.h"
#include "source/facts_recorder.h"
#include "tables/parse_state.h"

namespace qelc {

extern const WarningCheck kUnknownPinName;
extern const WarningCheck kPinOutOfPackage;
extern const WarningCheck kPackageMismatch;
extern const WarningCheck kPinNameRepeated;
extern const WarningCheck kPinMissingInPackage;

// The pin names that real pinouts give several pins on purpose (power, ground,
// no connection): pin-name-repeated passes over them unless a project lists
// its own.
inline constexpr std::string_view kDefaultRepeatedPinNames[] = {"VDD*",  "VSS*",  "VCC*", "GND*",
                                                                "AVDD*", "AVSS*", "VBAT", "NC"};

// Whether `name` matches `pattern`, letter case aside; a `*` in the pattern
// stands for any text.
bool MatchesNamePattern(std::string_view name, std::string_view pattern);

// The pin count that a package name ends in: the number of a name made of
// letters and then digits (SOIC20 gives 20, UFBGA64 64); 0 for any other name
// (QFN32-1, 48, TSSOP20_1), whose digits may mean something else.
int32_t PinCountOfPackage(std::string_view package);

// The packages that a stored condition text (each token behind a backslash)
// restricts its block to: the values of PACKAGE is 'X' and PACKAGE isin [...]
// where every alternative of an `or` says one, intersected across an `and`.
// Nothing (nullopt) where the condition leaves the package open or is no
// such plain statement (isnot, isnotin, an indexed PACKAGE, a contradiction).
std::optional<std::vector<std::string>> PackagesNamedBy(std::string_view condition);

// The pin names one DAF source defines (PinNumberByPackage names, alias names,
// Initialize .name values) and uses (alias targets, group members, Pin entries,
// Initialize pins given by name), compared letter case aside.
class PinNames {
 public:
  // A name that a PinNumberByPackage row of `package` gives its pin.
  void DefineNumbered(std::string_view package, std::string_view name);
  // A name given otherwise: an alias, an Initialize .name value.
  void Define(std::string_view name);
  // A use under a condition that names `packages` (nullopt: any package).
  void Use(TextPoint at, std::string_view name,
           std::optional<std::vector<std::string>> packages = std::nullopt);
  // Warns at every use whose name no part of the source defines. A source
  // whose PinNumberByPackage rows name no pin has no pin list to check against
  // (a source of a few sections, the pins described elsewhere): nothing then.
  void ReportUnknown(Diagnostics& diagnostics) const;
  // Warns at every use under a condition that names a package whose rows lack
  // the name while another package's rows have it. A name that an alias or an
  // Initialize line gives may stand for any pin, so it is not examined.
  void ReportMissingInPackages(Diagnostics& diagnostics) const;

 private:
  struct NameUse {
    TextPoint at;
    std::string name;
    std::optional<std::vector<std::string>> packages;
  };
  // The names of one package's rows, folded.
  struct PackageNames {
    std::string package;  // as its first row writes it
    std::unordered_set<std::string> names;
  };
  const PackageNames* RowsOf(std::string_view package) const;

  std::unordered_set<std::string> defined_;
  std::unordered_set<std::string> definedOtherwise_;
  // In the order the packages first appear.
  std::vector<PackageNames> packages_;
  std::vector<NameUse> uses_;
};

// Notes a name that the source uses as a pin, written at `at` (its quotes are
// dropped), and keeps the place among the facts of the source. `condition`
// is the stored condition of an alias or a group member, whose pin must be
// one of the packages the condition names.
void UsePinName(ParseState& s, TokenSpan at, std::string_view written,
                std::string_view condition = {});
// Notes a name that the source gives a pin (an alias, an Initialize .name
// value), written at `at`. Returns its fact for the caller to complete, or
// null while no facts are kept.
NameDefinition* DefinePinName(ParseState& s, NameKind kind, TokenSpan at, std::string_view written);

// The When clause that a block of PinNumberByPackage rows or Initialize lines
// stands under: built at the start of the block, from the condition just read.
class PackageClause {
 public:
  explicit PackageClause(const ParseState& s);

  // A PinNumberByPackage row: its package against the condition, its pin
  // number against the package, its name (written at `nameAt`, in its quotes)
  // against the other names of the package in this clause. `writtenName` is
  // empty for a row without one.
  void NoteRow(ParseState& s, TextPoint packageAt, std::string_view package, TextPoint pinAt,
               int32_t pin, TokenSpan nameAt, std::string_view writtenName);
  // The pin of an Initialize target (before the dot), written at `at`: P<n>
  // against the packages the condition names; any other word is a pin used by
  // name.
  void NoteInitializePin(ParseState& s, TokenSpan at, std::string_view pin);

 private:
  struct NamedPin {
    int32_t pin;
    TextPoint at;
  };
  TextPoint clauseAt_;
  std::optional<std::vector<std::string>> packages_;
  // By package and name, both folded: the first pin of the clause with it.
  std::unordered_map<std::string, NamedPin> named_;
};

}  // namespace qelc
