#include "sections/cross_references.h"

#include <algorithm>

#include "source/ascii.h"
#include "source/expect.h"
#include "source/format.h"
#include "source/token_stream.h"

namespace qelc {

const WarningCheck kUnknownPinName{
    "unknown-pin-name", true,
    "a pin used by a name that no PinNumberByPackage row, alias or Initialize .name defines"};
const WarningCheck kPinOutOfPackage{
    "pin-out-of-package", true,
    "a pin number above the pin count that its package's name ends in (SOIC20, LQFP48)"};
const WarningCheck kPackageMismatch{
    "package-mismatch", true,
    "a PinNumberByPackage row for a package other than the one its When condition names"};
const WarningCheck kPinNameRepeated{"pin-name-repeated", true,
                                    "one name on two pins of one package under one condition"};
const WarningCheck kPinMissingInPackage{
    "pin-missing-in-package", true,
    "an alias or group member under a When condition that names a package whose "
    "PinNumberByPackage rows lack the pin that other packages have"};

namespace {

std::string Folded(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) c = FoldCase(c);
  return folded;
}

bool IsAsciiLetter(char c) { return FoldCase(c) >= 'a' && FoldCase(c) <= 'z'; }

// The tokens of a stored condition text, each behind a backslash. A quoted
// value runs to the apostrophe that the next backslash (or the end) follows, so
// a backslash inside it does not split it.
std::vector<std::string_view> ConditionTokens(std::string_view text) {
  std::vector<std::string_view> tokens;
  size_t at = 0;
  while (at < text.size() && text[at] == '\\') {
    size_t start = at + 1;
    size_t end = text.find('\\', start);
    if (start < text.size() && text[start] == '\'') {
      size_t close = text.find('\'', start + 1);
      while (close != std::string_view::npos && close + 1 < text.size() &&
             text[close + 1] != '\\') {
        close = text.find('\'', close + 1);
      }
      end = close == std::string_view::npos ? close : close + 1;
    }
    if (end == std::string_view::npos) end = text.size();
    tokens.push_back(text.substr(start, end - start));
    at = end;
  }
  return tokens;
}

// What a part of a condition says of the package: nothing (`restricts` false),
// or that it is one of `packages` (unquoted, each once letter case aside).
struct PackageSet {
  bool restricts = false;
  std::vector<std::string> packages;

  bool Contains(std::string_view package) const {
    return std::any_of(packages.begin(), packages.end(),
                       [package](const std::string& p) { return EqualsNoCase(p, package); });
  }
  void Add(std::string_view package) {
    if (!Contains(package)) packages.emplace_back(package);
  }
};

// Both hold: the packages that both allow; a side that says nothing leaves
// the other as it is.
PackageSet Both(const PackageSet& a, const PackageSet& b) {
  if (!a.restricts) return b;
  if (!b.restricts) return a;
  PackageSet both{true, {}};
  for (const std::string& package : a.packages) {
    if (b.Contains(package)) both.Add(package);
  }
  return both;
}

// Either holds: the packages of both sides, and nothing where one side says
// nothing (that side may hold for any package).
PackageSet Either(const PackageSet& a, const PackageSet& b) {
  if (!a.restricts || !b.restricts) return {};
  PackageSet either = a;
  for (const std::string& package : b.packages) either.Add(package);
  return either;
}

// Reads a stored condition by the grammar it was accepted with (so every token
// stands where the grammar allows it) for what it says of the package.
class PackageReader {
 public:
  explicit PackageReader(std::string_view condition) : tokens_(ConditionTokens(condition)) {}

  bool AtEnd() const { return next_ == tokens_.size(); }

  // condition -> and-term ('or' and-term)*
  PackageSet Condition() {
    PackageSet packages = AndTerm();
    while (SkipIf(kOrWord)) packages = Either(packages, AndTerm());
    return packages;
  }

 private:
  bool Is(std::string_view word) const { return !AtEnd() && EqualsNoCase(tokens_[next_], word); }
  bool SkipIf(std::string_view word) {
    if (!Is(word)) return false;
    ++next_;
    return true;
  }
  std::string_view Take() { return AtEnd() ? std::string_view() : tokens_[next_++]; }
  // The operator the next token is, or null.
  const ConditionOperatorWord* Operator() const {
    return AtEnd() ? nullptr : FindWord(kConditionOperators, tokens_[next_]);
  }

  // and-term -> primary ('and' primary)*
  PackageSet AndTerm() {
    PackageSet packages = Primary();
    while (SkipIf(kAndWord)) packages = Both(packages, Primary());
    return packages;
  }

  // primary -> '(' condition ')' | variable ('[' number ']')* [test] | nothing
  PackageSet Primary() {
    if (SkipIf("(")) {
      PackageSet packages = Condition();
      SkipIf(")");
      return packages;
    }
    if (AtEnd() || Is(")") || (Operator() && Operator()->operand == ConditionOperand::kJoin)) {
      return {};
    }
    bool package = EqualsNoCase(Take(), "PACKAGE");
    while (SkipIf("[")) {
      package = false;  // PACKAGE[n] is not the package itself
      Take();
      SkipIf("]");
    }
    return Test(package);
  }

  // test -> value-test string | list-test '[' string* ']'
  PackageSet Test(bool package) {
    const ConditionOperatorWord* test = Operator();
    ConditionOperand operand = test ? test->operand : ConditionOperand::kJoin;
    PackageSet packages{package && test && test->affirms, {}};
    if (operand == ConditionOperand::kValue) {
      ++next_;
      packages.Add(Unquote(Take()));
    } else if (operand == ConditionOperand::kList) {
      ++next_;
      SkipIf("[");
      while (!AtEnd() && !SkipIf("]")) packages.Add(Unquote(Take()));
    } else {
      packages.restricts = false;
    }
    if (!packages.restricts) packages.packages.clear();
    return packages;
  }

  std::vector<std::string_view> tokens_;
  size_t next_ = 0;
};

std::string PackageList(const std::vector<std::string>& packages) {
  std::string list = packages.size() == 1 ? "package " : "packages ";
  for (size_t i = 0; i < packages.size(); ++i) list += (i ? ", " : "") + packages[i];
  return list;
}

// P<n>: an Initialize pin given by its number.
std::optional<int32_t> InitializePinNumber(std::string_view pin) {
  if (pin.size() < 2 || FoldCase(pin[0]) != 'p' || !IsWholeDecimal(pin.substr(1))) {
    return std::nullopt;
  }
  return LeadingDigitsValue(pin.substr(1));
}

}  // namespace

bool MatchesNamePattern(std::string_view name, std::string_view pattern) {
  size_t star = pattern.find('*');
  if (star == std::string_view::npos) return EqualsNoCase(name, pattern);
  if (name.size() < star || !EqualsNoCase(name.substr(0, star), pattern.substr(0, star))) {
    return false;
  }
  std::string_view rest = pattern.substr(star + 1);
  for (size_t from = star; from <= name.size(); ++from) {
    if (MatchesNamePattern(name.substr(from), rest)) return true;
  }
  return false;
}

// A name that a project lets a package give several pins.
bool RepeatedOnPurpose(const ParseState& s, std::string_view name) {
  auto matches = [name](std::string_view pattern) { return MatchesNamePattern(name, pattern); };
  if (s.repeatedPinNames) {
    return std::any_of(s.repeatedPinNames->begin(), s.repeatedPinNames->end(), matches);
  }
  return std::any_of(std::begin(kDefaultRepeatedPinNames), std::end(kDefaultRepeatedPinNames),
                     matches);
}

int32_t PinCountOfPackage(std::string_view package) {
  size_t digits = package.size();
  while (digits > 0 && package[digits - 1] >= '0' && package[digits - 1] <= '9') --digits;
  // A count of more than six digits is no pin count.
  if (digits == 0 || digits == package.size() || package.size() - digits > 6 ||
      package[digits] == '0') {
    return 0;
  }
  if (!std::all_of(package.begin(), package.begin() + digits, IsAsciiLetter)) return 0;
  return LeadingDigitsValue(package.substr(digits));
}

std::optional<std::vector<std::string>> PackagesNamedBy(std::string_view condition) {
  PackageReader reader(condition);
  PackageSet packages = reader.Condition();
  if (!reader.AtEnd() || !packages.restricts || packages.packages.empty()) return std::nullopt;
  return packages.packages;
}

void PinNames::DefineNumbered(std::string_view package, std::string_view name) {
  if (name.empty()) return;
  defined_.insert(Folded(name));
  auto rows = std::find_if(packages_.begin(), packages_.end(), [package](const PackageNames& rows) {
    return EqualsNoCase(rows.package, package);
  });
  if (rows == packages_.end()) rows = packages_.insert(rows, {std::string(package), {}});
  rows->names.insert(Folded(name));
}

void PinNames::Define(std::string_view name) {
  if (name.empty()) return;
  defined_.insert(Folded(name));
  definedOtherwise_.insert(Folded(name));
}

void PinNames::Use(TextPoint at, std::string_view name,
                   std::optional<std::vector<std::string>> packages) {
  if (!name.empty()) uses_.push_back({at, std::string(name), std::move(packages)});
}

const PinNames::PackageNames* PinNames::RowsOf(std::string_view package) const {
  for (const PackageNames& rows : packages_) {
    if (EqualsNoCase(rows.package, package)) return &rows;
  }
  return nullptr;
}

void PinNames::ReportUnknown(Diagnostics& diagnostics) const {
  if (packages_.empty() || !diagnostics.Enabled(kUnknownPinName)) return;
  for (const NameUse& use : uses_) {
    if (defined_.contains(Folded(use.name))) continue;
    diagnostics.WarnAt(use.at, kUnknownPinName,
                       "pin " + QuotedText(use.name) +
                           " is not defined by any PinNumberByPackage row, alias or "
                           "Initialize .name");
  }
}

void PinNames::ReportMissingInPackages(Diagnostics& diagnostics) const {
  if (!diagnostics.Enabled(kPinMissingInPackage)) return;
  for (const NameUse& use : uses_) {
    std::string name = Folded(use.name);
    if (!use.packages || definedOtherwise_.contains(name)) continue;
    std::vector<std::string> having;
    for (const PackageNames& rows : packages_) {
      if (rows.names.contains(name)) having.push_back(rows.package);
    }
    if (having.empty()) continue;
    for (const std::string& package : *use.packages) {
      const PackageNames* rows = RowsOf(package);
      if (!rows || rows->names.contains(name)) continue;
      diagnostics.WarnAt(use.at, kPinMissingInPackage,
                         Format("pin %s has no PinNumberByPackage row of package %s, which "
                                "the When condition names; %s %s it",
                                QuotedText(use.name).c_str(), rows->package.c_str(),
                                PackageList(having).c_str(), having.size() == 1 ? "has" : "have"));
      break;
    }
  }
}

void UsePinName(ParseState& s, TokenSpan at, std::string_view written, std::string_view condition) {
  if (s.pinNames) {
    s.pinNames->Use(at.start, Unquote(written),
                    condition.empty() ? std::nullopt : PackagesNamedBy(condition));
  }
  if (s.facts) s.facts->Use(NameKind::kPin, at, written);
}

NameDefinition* DefinePinName(ParseState& s, NameKind kind, TokenSpan at,
                              std::string_view written) {
  if (s.pinNames) s.pinNames->Define(Unquote(written));
  if (!s.facts || Unquote(written).empty()) return nullptr;
  return &s.facts->Define(kind, at, written);
}

PackageClause::PackageClause(const ParseState& s)
    : clauseAt_(s.entryStart),
      packages_(Linting(s) ? PackagesNamedBy(s.condition) : std::nullopt) {}

void PackageClause::NoteRow(ParseState& s, TextPoint packageAt, std::string_view package,
                            TextPoint pinAt, int32_t pin, TokenSpan nameSpan,
                            std::string_view writtenName) {
  std::string packageName = Unquote(package);
  std::string name = Unquote(writtenName);
  TextPoint nameAt = nameSpan.start;
  if (packages_ && !PackageSet{true, *packages_}.Contains(packageName)) {
    WarnAt(s, packageAt, kPackageMismatch,
           Format("a row for package %s under a When condition that names %s (at %s)",
                  packageName.c_str(), PackageList(*packages_).c_str(),
                  s.diagnostics.EarlierPlace(clauseAt_, packageAt).c_str()));
  }
  int32_t count = PinCountOfPackage(packageName);
  if (count > 0 && pin > count) {
    WarnAt(s, pinAt, kPinOutOfPackage,
           Format("pin %d is above the %d pins of package %s", pin, count, packageName.c_str()));
  }
  if (name.empty()) return;
  if (s.pinNames) s.pinNames->DefineNumbered(packageName, name);
  if (s.facts) {
    NameDefinition& pinName = s.facts->Define(NameKind::kPin, nameSpan, writtenName);
    pinName.package = packageName;
    pinName.pinNumber = pin;
    pinName.condition = s.condition;
  }
  if (StartsWithNoCase(name, "RSV") || RepeatedOnPurpose(s, name)) return;
  auto [first, isFirst] =
      named_.try_emplace(Folded(packageName) + '\n' + Folded(name), NamedPin{pin, nameAt});
  // The same pin again is pin-number-repeated's finding.
  if (!isFirst && first->second.pin != pin) {
    WarnAt(s, nameAt, kPinNameRepeated,
           Format("pin name %s repeats pin %d of package %s (at %s)", QuotedText(name).c_str(),
                  first->second.pin, packageName.c_str(),
                  s.diagnostics.EarlierPlace(first->second.at, nameAt).c_str()));
  }
}

void PackageClause::NoteInitializePin(ParseState& s, TokenSpan span, std::string_view pin) {
  TextPoint at = span.start;
  std::optional<int32_t> number = InitializePinNumber(pin);
  if (!number) {
    UsePinName(s, span, pin);
    return;
  }
  if (!packages_) return;
  // The smallest package the pin does not fit: the condition lets the line
  // stand for each of them.
  const std::string* smallest = nullptr;
  int32_t smallestCount = 0;
  for (const std::string& package : *packages_) {
    int32_t count = PinCountOfPackage(package);
    if (count > 0 && *number > count && (!smallest || count < smallestCount)) {
      smallest = &package;
      smallestCount = count;
    }
  }
  if (!smallest) return;
  WarnAt(s, at, kPinOutOfPackage,
         Format("pin %.*s is above the %d pins of package %s, which the When condition "
                "names (at %s)",
                int(pin.size()), pin.data(), smallestCount, smallest->c_str(),
                s.diagnostics.EarlierPlace(clauseAt_, at).c_str()));
}

}  // namespace qelc
