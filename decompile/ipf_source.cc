#include "decompile/ipf_source.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <span>
#include <unordered_set>

#include "decompile/source_text.h"
#include "formats/catalogue.h"
#include "formats/lexicon.h"
#include "formats/text_limits.h"

namespace qelc::decompile {

namespace {

// The longest texts the compiler takes in each place.
constexpr size_t kCategoryLimit = text_limit::kCategoryText;
constexpr size_t kTextLimit = text_limit::kModuleText;
constexpr size_t kText3Limit = text_limit::kPortText3;
constexpr size_t kBusExtNameLimit = text_limit::kBusExtName;
constexpr size_t kMacroParameterLimit = text_limit::kMacroParameter;

// The shortest decimal text without a sign that reads back as `number`.
std::optional<std::string> NumberText(float number) {
  auto readsBack = [number](const std::string& text) {
    float back = float(std::strtod(text.c_str(), nullptr));
    return std::memcmp(&back, &number, sizeof back) == 0;
  };
  for (const char* text : {"inf", "nan"}) {
    if (readsBack(text)) return text;
  }
  if (std::signbit(number) || !std::isfinite(number)) return std::nullopt;
  char buffer[128];
  for (int precision = 1; precision <= 9; ++precision) {
    std::snprintf(buffer, sizeof buffer, "%.*g", precision, double(number));
    std::string text = buffer;
    if (size_t e = text.find("e+"); e != text.npos) text.erase(e + 1, 1);
    if (text.find('-') == text.npos && readsBack(text)) return text;
  }
  for (int decimals = 0; decimals <= 60; ++decimals) {
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, double(number));
    if (readsBack(buffer)) return std::string(buffer);
  }
  return std::nullopt;
}

// The string pool as the file holds it, and the strings a source would add to
// it so far: a record fits when the strings it adds for the first time are the
// next ones the file holds.
class PoolOrder {
 public:
  explicit PoolOrder(std::string_view strings) {
    for (size_t at = 0; at < strings.size();) {
      size_t end = strings.find('\0', at);
      target_.push_back(strings.substr(at, end - at));
      at = end + 1;
    }
  }
  bool Fits(std::span<const std::string_view> texts) const {
    std::vector<std::string_view> added;
    for (std::string_view text : texts) {
      if (seen_.contains(text) || std::find(added.begin(), added.end(), text) != added.end()) {
        continue;
      }
      if (next_ + added.size() >= target_.size() || target_[next_ + added.size()] != text) {
        return false;
      }
      added.push_back(text);
    }
    return true;
  }
  void Add(std::span<const std::string_view> texts) {
    for (std::string_view text : texts) {
      if (seen_.insert(text).second) ++next_;
    }
  }

 private:
  std::vector<std::string_view> target_;
  std::unordered_set<std::string_view> seen_;
  size_t next_ = 0;
};

// The keyword of the block that fills the record list `list`.
const char* Opens(std::string_view list) { return IpfBlockOf(list).keyword.data(); }

enum Kind {
  kModule,
  kInput,
  kOutput,
  kDeclaration,
  kBusExtName,
  kParameter,
  kStatement,
  kEquation
};
constexpr int kKinds = 8;

struct Unit {
  Kind kind;
  size_t index;
};

class Writer {
 public:
  Writer(const SoftIPLibrary& library, std::string_view strings, FILE* out,
         std::vector<std::string>& problems)
      : library_(library), strings_(strings), out_(out), problems_(problems), pool_(strings) {}

  void Write(const std::string& fileName) {
    std::string shown = fileName;
    for (char& c : shown) {
      if (c == '\n' || c == '\r') c = '?';
    }
    std::fprintf(out_, "// IPF source of %s, written from the file by qeldump --source\n",
                 shown.c_str());
    CheckCategoryNumbers();
    size_t category = 0;
    size_t module = 0;
    bool inSection = false;
    while (category < library_.categories.Size() || module < library_.modules.Size()) {
      bool categoryFits = category < library_.categories.Size() &&
                          (!identical_ || pool_.Fits(CategoryTexts(category)));
      std::string_view name = module < library_.modules.Size()
                                  ? Text(library_.modules.At(module).name)
                                  : std::string_view();
      bool moduleFits = module < library_.modules.Size() && (!identical_ || pool_.Fits({&name, 1}));
      if (!categoryFits && !moduleFits) {
        identical_ = false;
        continue;
      }
      if (categoryFits && (inSection || !moduleFits)) {
        if (!inSection) std::fprintf(out_, "\n%s {\n", Opens("categories"));
        inSection = true;
        pool_.Add(CategoryTexts(category));
        WriteCategory(category++);
      } else {
        if (inSection) std::fprintf(out_, "}\n");
        inSection = false;
        WriteModule(module++);
      }
    }
    if (inSection) std::fprintf(out_, "}\n");
  }

 private:
  std::string_view Text(StringRef ref) const { return strings_.data() + ref; }

  void Problem(const std::string& path, const std::string& reason) {
    problems_.push_back(path + ": " + reason);
  }

  // The source text of a field that the compiler reads as one word, as written;
  // where `anyToken`, the reader takes whatever token stands there, a
  // delimiter too.
  std::string Word(const std::string& path, std::string_view text, size_t limit,
                   bool anyToken = false) {
    std::optional<std::string> written = anyToken ? AsToken(text) : AsWritten(text);
    if (!written) {
      Problem(path, text.empty() ? "an empty text, which no word gives"
                                 : "no single word of a source reads as this text");
    } else if (text.size() > limit) {
      Problem(path, "longer than " + std::to_string(limit) + " characters");
    }
    return written.value_or("''");
  }

  // `text` as a quoted string.
  std::string Quote(const std::string& path, std::string_view text) {
    std::optional<std::string> quoted = Quoted(text);
    if (!quoted) Problem(path, "a text that no quoted string holds");
    return quoted.value_or("''");
  }

  std::array<std::string_view, 2> CategoryTexts(size_t i) const {
    const SoftIPCategoryEntry& entry = library_.categories.At(i);
    return {Text(entry.name), Text(entry.value)};
  }

  void CheckCategoryNumbers() {
    for (size_t i = 0; i < library_.categories.Size(); ++i) {
      for (size_t j = 0; j < i; ++j) {
        if (library_.categories.At(i).number == library_.categories.At(j).number) {
          Problem("categories[" + std::to_string(i) + "].number",
                  "the same number as categories[" + std::to_string(j) + "]");
          break;
        }
      }
    }
  }

  void WriteCategory(size_t i) {
    const SoftIPCategoryEntry& entry = library_.categories.At(i);
    std::string path = "categories[" + std::to_string(i) + "]";
    std::optional<std::string> number = NumberText(entry.number);
    if (!number) Problem(path + ".number", "no unsigned decimal number reads as this value");
    std::string name = Word(path + ".name", Text(entry.name), kCategoryLimit);
    // The value is read as a word and unquoted; written bare only where its
    // apostrophes would make it too long.
    std::string_view value = Text(entry.value);
    std::string valueSource = Quote(path + ".value", value);
    if (value.size() + 2 > kCategoryLimit) {
      if (value.size() <= kCategoryLimit && AsWritten(value) == value) {
        valueSource = std::string(value);
      } else {
        Problem(path + ".value", "longer than the " + std::to_string(kCategoryLimit) +
                                     " characters a value is read with");
      }
    }
    std::fprintf(out_, "  %s : %s = %s\n", number.value_or("0").c_str(), name.c_str(),
                 valueSource.c_str());
  }

  // The strings a unit of a module adds, in the order the compiler adds them.
  std::vector<std::string_view> UnitTexts(const SoftIPModule& m, Unit unit) const {
    switch (unit.kind) {
      case kModule:
        return {Text(m.moduleName)};
      case kInput: {
        const SoftIPInput& p = m.inputs.At(unit.index);
        return {Text(p.text1), Text(p.text2), Text(p.text3),
                Text(p.text4), Text(p.text5), Text(p.text6)};
      }
      case kOutput: {
        const SoftIPOutput& p = m.outputs.At(unit.index);
        return {Text(p.text1), Text(p.text2), Text(p.text3), Text(p.text4), Text(p.text5)};
      }
      case kDeclaration: {
        const SoftIPDeclaration& d = m.declarations.At(unit.index);
        return {Text(d.text1), Text(d.text2), Text(d.text3)};
      }
      case kBusExtName:
        return {Text(m.busExtNames.At(unit.index))};
      case kParameter:
        return {Text(m.macroParameters.At(unit.index))};
      case kStatement: {
        const SoftIPMacroStatement& s = m.macroStatements.At(unit.index);
        return {Text(s.condition), Text(s.statements)};
      }
      case kEquation:
        return {Text(m.equationParameters.At(unit.index))};
    }
    return {};
  }

  // The order of a module's records: the one that adds the strings in the
  // file's order, where the records allow it, else each kind in one block.
  std::vector<Unit> ScheduleModule(const SoftIPModule& m, bool moduleStatement) {
    std::array<size_t, kKinds> counts = {moduleStatement ? 1u : 0u, m.inputs.Size(),
                                         m.outputs.Size(),          m.declarations.Size(),
                                         m.busExtNames.Size(),      m.macroParameters.Size(),
                                         m.macroStatements.Size(),  m.equationParameters.Size()};
    std::array<size_t, kKinds> taken{};
    std::vector<Unit> units;
    int current = -1;
    for (;;) {
      int chosen = -1;
      for (int step = -1; step < kKinds && chosen < 0; ++step) {
        int kind = step < 0 ? current : step;
        if (kind < 0 || taken[size_t(kind)] == counts[size_t(kind)]) continue;
        Unit unit{Kind(kind), taken[size_t(kind)]};
        if (!identical_ || pool_.Fits(UnitTexts(m, unit))) chosen = kind;
      }
      if (chosen < 0) {
        if (taken == counts) break;
        identical_ = false;
        continue;
      }
      Unit unit{Kind(chosen), taken[size_t(chosen)]++};
      pool_.Add(UnitTexts(m, unit));
      units.push_back(unit);
      current = chosen;
    }
    return units;
  }

  void WriteModule(size_t i) {
    const SoftIPModule& m = library_.modules.At(i);
    std::string path = "modules[" + std::to_string(i) + "]";
    std::string_view name = Text(m.name);
    std::string nameSource = Word(path + ".name", name, kTextLimit);
    if (EqualsNoCase(name, Opens("categories"))) {
      Problem(path + ".name", "a module of this name would be read as a category section");
    }
    pool_.Add({&name, 1});
    bool moduleStatement = !Text(m.moduleName).empty();
    if (!moduleStatement && m.moduleNumber != 0) {
      Problem(path + ".moduleNumber", "a module without Module text has the number 0");
    }
    std::vector<Unit> units = ScheduleModule(m, moduleStatement);
    if (!moduleStatement) {
      std::string_view empty;
      if (identical_ && !pool_.Fits({&empty, 1})) identical_ = false;
      pool_.Add({&empty, 1});
    }
    std::fprintf(out_, "\n%s {\n", nameSource.c_str());
    for (size_t u = 0; u < units.size();) {
      size_t end = u + 1;
      Kind kind = units[u].kind;
      auto sameBlock = [&](Kind next, Kind previous) {
        if (kind == kParameter)
          return next == kStatement || (next == kParameter && previous == kParameter);
        return next == kind && kind != kModule;
      };
      while (end < units.size() && sameBlock(units[end].kind, units[end - 1].kind)) ++end;
      WriteBlock(m, path, std::span(units).subspan(u, end - u));
      u = end;
    }
    std::fprintf(out_, "}\n");
  }

  void WriteBlock(const SoftIPModule& m, const std::string& path, std::span<const Unit> units) {
    switch (units.front().kind) {
      case kModule: {
        std::string text = Word(path + ".moduleName", Text(m.moduleName), kTextLimit);
        if (m.moduleNumber < -128 || m.moduleNumber > 127) {
          Problem(path + ".moduleNumber", "outside the 8 bits a module number is kept in");
        }
        int number = m.moduleNumber < 0 ? m.moduleNumber + 256 : m.moduleNumber;
        std::fprintf(out_, "  %s : { %s : %d ; }\n", Opens("modules"), text.c_str(), number);
        return;
      }
      case kInput:
      case kOutput:
        WritePorts(m, path, units);
        return;
      case kDeclaration:
        for (size_t n = 0; n < units.size(); ++n) {
          const SoftIPDeclaration& d = m.declarations.At(units[n].index);
          OpenBlock("declarations", n, Text(d.text1));
          std::string at = path + ".declarations[" + std::to_string(units[n].index) + "].";
          std::fprintf(out_, "    %s : %s : %s ;\n",
                       Word(at + "text1", Text(d.text1), kTextLimit, true).c_str(),
                       Word(at + "text2", Text(d.text2), kTextLimit, true).c_str(),
                       Word(at + "text3", Text(d.text3), kTextLimit, true).c_str());
        }
        std::fprintf(out_, "  }\n");
        return;
      case kBusExtName:
        // A name is whatever token stands there, but a `}` after the first
        // one ends the block: such a name opens a block of its own.
        for (size_t n = 0; n < units.size(); ++n) {
          std::string_view name = Text(m.busExtNames.At(units[n].index));
          if (n == 0 || name == "}") {
            std::fprintf(out_, "%s  %s : {", n ? " }\n" : "", Opens("busExtNames"));
          }
          std::string at = path + ".busExtNames[" + std::to_string(units[n].index) + "]";
          std::fprintf(out_, " %s", Word(at, name, kBusExtNameLimit, true).c_str());
        }
        std::fprintf(out_, " }\n");
        return;
      case kParameter:
      case kStatement:
        WriteMacro(m, path, units);
        return;
      case kEquation:
        std::fprintf(
            out_, "  %s : { MacroName (%s) ; }\n", Opens("equationParameters"),
            Parameters(m.equationParameters, path + ".equationParameters", units, kTextLimit)
                .c_str());
        return;
    }
  }

  // Opens the block of the n-th line of a block of `list` that starts with
  // `first`: the block is opened before the first line, and again before a
  // line that starts with `}`, which would end the block there.
  void OpenBlock(std::string_view list, size_t n, std::string_view first) {
    if (n == 0 || first == "}") std::fprintf(out_, "%s  %s : {\n", n ? "  }\n" : "", Opens(list));
  }

  std::string Parameters(const RecordList<StringRef>& list, const std::string& path,
                         std::span<const Unit> units, size_t limit) {
    std::string text;
    for (const Unit& unit : units) {
      if (unit.kind == kStatement) break;
      // Any token but `)` is a parameter: a `,` one too, as the commas
      // between parameters are always written.
      std::string at = path + "[" + std::to_string(unit.index) + "]";
      std::string_view parameter = Text(list.At(unit.index));
      if (parameter == ")") Problem(at, "a `)` ends the parameters");
      text += text.empty() ? " " : " , ";
      text += Word(at, parameter, limit, true);
    }
    return text + (text.empty() ? "" : " ");
  }

  void WritePorts(const SoftIPModule& m, const std::string& path, std::span<const Unit> units) {
    bool input = units.front().kind == kInput;
    for (size_t u = 0; u < units.size(); ++u) {
      const Unit& unit = units[u];
      std::string at =
          path + (input ? ".inputs[" : ".outputs[") + std::to_string(unit.index) + "].";
      std::array<std::string_view, 6> texts{};
      int32_t numbers[2];
      if (input) {
        const SoftIPInput& p = m.inputs.At(unit.index);
        texts = {Text(p.text1), Text(p.text2), Text(p.text3),
                 Text(p.text4), Text(p.text5), Text(p.text6)};
        numbers[0] = p.number1;
        numbers[1] = p.number2;
      } else {
        const SoftIPOutput& p = m.outputs.At(unit.index);
        texts = {Text(p.text1), Text(p.text2), Text(p.text3), Text(p.text4), Text(p.text5), ""};
        numbers[0] = p.number1;
        numbers[1] = p.number2;
      }
      OpenBlock(input ? "inputs" : "outputs", u, texts[0]);
      // The texts are whatever token stands there, but a `:` or `;` where
      // text5 stands and a `;` where text6 stands end the line.
      std::string line = "   ";
      for (int f = 0; f < 4; ++f) {
        std::string field = "text" + std::to_string(f + 1);
        line += " " + Word(at + field, texts[size_t(f)], f == 2 ? kText3Limit : kTextLimit, true) +
                " :";
      }
      if (texts[4] == ":" || texts[4] == ";") Problem(at + "text5", "a token that ends the field");
      if (texts[5] == ";") Problem(at + "text6", "a token that ends the line");
      int fields = !texts[5].empty()   ? 4
                   : !texts[4].empty() ? 3
                   : numbers[1] != 0   ? 2
                   : numbers[0] != 0   ? 1
                                       : 0;
      for (int f = 0; f < 2 && f < fields; ++f) {
        if (numbers[f] < 0)
          Problem(at + "number" + std::to_string(f + 1),
                  "a negative number, which no source gives");
        line += " " + std::to_string(numbers[f]) + " :";
      }
      if (fields >= 3)
        line +=
            texts[4].empty() ? " :" : " " + Word(at + "text5", texts[4], kTextLimit, true) + " :";
      if (fields >= 4) line += " " + Word(at + "text6", texts[5], kTextLimit, true);
      std::fprintf(out_, "%s ;\n", line.c_str());
    }
    std::fprintf(out_, "  }\n");
  }

  void WriteMacro(const SoftIPModule& m, const std::string& path, std::span<const Unit> units) {
    std::fprintf(
        out_, "  %s : {\n    MacroName (%s) {\n", Opens("macroStatements"),
        Parameters(m.macroParameters, path + ".macroParameters", units, kMacroParameterLimit)
            .c_str());
    for (const Unit& unit : units) {
      if (unit.kind != kStatement) continue;
      const SoftIPMacroStatement& s = m.macroStatements.At(unit.index);
      std::string at = path + ".macroStatements[" + std::to_string(unit.index) + "].";
      std::string line = "     ";
      std::string_view condition = Text(s.condition);
      if (condition != "1") {
        std::optional<std::string> source = ConditionSource(condition);
        if (condition.size() > kConditionLimit) {
          Problem(at + "condition",
                  "longer than " + std::to_string(kConditionLimit) + " characters");
        } else if (!source) {
          Problem(at + "condition", "not a condition the compiler reads");
        }
        line += source && !source->empty() ? " _when " + *source + " :" : " _when :";
      }
      std::string_view statements = Text(s.statements);
      if (statements.empty() || statements.back() != '\n') {
        Problem(at + "statements", "statements always end with a line end");
      }
      const char* separator = " ";
      for (size_t start = 0; start < statements.size() || start == 0;) {
        size_t end = statements.find('\n', start);
        if (end == statements.npos) end = statements.size();
        line += separator + Quote(at + "statements", statements.substr(start, end - start));
        separator = " , ";
        start = end + 1;
      }
      std::fprintf(out_, "%s\n", line.c_str());
    }
    std::fprintf(out_, "    }\n  }\n");
  }

  const SoftIPLibrary& library_;
  std::string_view strings_;
  FILE* out_;
  std::vector<std::string>& problems_;
  PoolOrder pool_;
  // Whether the records so far were placed so that the strings enter the pool in
  // the file's order; once not, the rest is written in the plain order.
  bool identical_ = true;
};

}  // namespace

void WriteIpfSource(const SoftIPLibrary& library, std::string_view strings,
                    const std::string& fileName, FILE* out, std::vector<std::string>& problems) {
  Writer(library, strings, out, problems).Write(fileName);
}

}  // namespace qelc::decompile
