#include "sections/initialize.h"

#include <string>

#include "sections/checks.h"
#include "sections/cross_references.h"
#include "sections/section_rules.h"
#include "source/ascii.h"
#include "source/suggest.h"
#include "tables/dump_stream.h"
#include "tables/parse_state.h"

namespace qelc {

namespace {

constexpr int32_t kInitializeConditions = EntriesOf(&TableBlock::initialize);
constexpr int32_t kInitializeRows = EntriesOf(&InitializeCondition::rows);

using InitializeRows = decltype(InitializeCondition::rows);

}  // namespace

const WarningCheck kInitializeAttribute{
    "initialize-attribute", true,
    "an Initialize line whose target is no pin.attribute the section knows, so "
    "its value is "
    "dropped"};

namespace {

void SetDefaults(ParseState& s, InitializeRow& row, std::string_view pin) {
  s.pool.AddTo(row.pin, pin);
  s.pool.AddTo(row.signal, "");
  row.changeable = 1;
  row.reserved = 0;
  s.pool.AddTo(row.reservedName, "");
  s.pool.AddTo(row.displayName, "");
}

// Stores the condition of entry `index` and gives its row 0 the defaults with
// an empty pin, so the entry's row list starts again; the condition of entry
// index + 1 becomes the empty text that ends the list.
void AddInitializeCondition(ParseState& s, InitializeTable& table, int32_t index,
                            std::string_view condition) {
  AddEntry(
      s, table, index, kInitializeConditions, "Exceed number of initialize conditions.\n",
      [&](InitializeCondition& entry) {
        s.pool.AddTo(entry.condition, condition);
        SetDefaults(s, entry.rows[0], "");
      },
      [&](InitializeCondition& next) { s.pool.AddTo(next.condition, ""); });
}

// The row of `pin` (letter case aside): the existing one, or the first empty
// row, which then gets the pin and the defaults.
InitializeRow& FindOrAddRow(ParseState& s, InitializeRows& rows, std::string_view pin) {
  int32_t index = 0;
  while (index < kInitializeRows && !s.pool.IsEmpty(rows[index].pin) &&
         s.pool.Compare(rows[index].pin, pin) != 0) {
    ++index;
  }
  // The scan stopped at the pin's row, at the first empty row or after the last
  // row. An empty pin name takes the first empty row as its own and leaves it
  // as it is.
  if (index < kInitializeRows && s.pool.Compare(rows[index].pin, pin) == 0) return rows[index];
  return AddEntry(
      s, rows, index, kInitializeRows, "Exceed number of initializes.\n",
      [&](InitializeRow& row) { SetDefaults(s, row, pin); },
      [&](InitializeRow& next) { SetDefaults(s, next, ""); });
}

// Applies one line: `target` is pin.attribute, `value` the word after '=' and
// `reserveMark` 1 when the line carried an RSV mark. A target without a dot
// changes nothing. Returns the attribute that took the value, or null.
const PinAttributeWord* SetAttribute(ParseState& s, InitializeRows& rows, std::string_view target,
                                     std::string_view value, int32_t reserveMark) {
  size_t dot = target.find('.');
  if (dot == std::string_view::npos) return nullptr;
  std::string_view attribute = target.substr(dot + 1);
  // The row exists from here on, whatever the attribute.
  InitializeRow& row = FindOrAddRow(s, rows, target.substr(0, dot));
  const PinAttributeWord* word = FindWord(kPinAttributes, attribute);
  if (!word) return nullptr;
  std::string text = Unquote(value);
  switch (word->sets) {
    case PinAttribute::kSignal:
      s.pool.AddTo(row.signal, text);
      row.reserved = reserveMark;
      break;
    case PinAttribute::kChangeable:
      row.changeable = LeadingDigitsValue(text);
      break;
    case PinAttribute::kReservedName:
      s.pool.AddTo(row.reservedName, text);
      row.reserved = 1;
      break;
    case PinAttribute::kDisplayName:
      s.pool.AddTo(row.displayName, text);
      break;
  }
  return word;
}

// "; did you mean 'P1.name'?" for a target whose attribute is like one.
std::string AttributeSuggestion(ParseState& s, TextPoint at, std::string_view target) {
  size_t dot = target.find('.');
  if (dot == std::string_view::npos) return {};
  std::string_view attribute = target.substr(dot + 1);
  Suggestion suggestion(attribute);
  for (const PinAttributeWord& known : kPinAttributes) suggestion.Consider(known.word);
  Propose(suggestion, s.diagnostics, at, target.substr(0, dot + 1));
  return suggestion.Text(target.substr(0, dot + 1));
}

// "pin.name, .nchange, ... or .displayname"
std::string AttributeList() {
  std::string list = "pin";
  for (size_t i = 0; i < std::size(kPinAttributes); ++i) {
    if (i > 0) list += i + 1 < std::size(kPinAttributes) ? ", " : " or ";
    list += "." + std::string(kPinAttributes[i].word);
  }
  return list;
}

// line -> target '=' value [':' mark] ';'
void ReadInitializeLine(ParseState& s, InitializeRows& rows, PackageClause& clause) {
  TextPoint at = CurrentToken(s).start;
  TokenSpan targetAt = CurrentSpan(s);
  std::string target = TakeWord(s);
  ExpectText(s, "=");
  TokenSpan valueAt = CurrentSpan(s);
  std::string value = TakeTextValue(s);
  int32_t reserveMark = 0;
  if (SkipIf(s, ":")) {
    reserveMark = StartsWithNoCase(TokenText(s), "RSV") ? 1 : 0;
    SkipToken(s);
  }
  ExpectText(s, ";");
  const PinAttributeWord* applied = SetAttribute(s, rows, target, value, reserveMark);
  if (!Linting(s)) return;
  if (!applied) {
    WarnAt(s, at, kInitializeAttribute,
           "'" + target + "' sets no attribute (" + AttributeList() + "): the value " + value +
               " is dropped" + AttributeSuggestion(s, at, target));
  } else {
    std::string_view pin = std::string_view(target).substr(0, target.find('.'));
    WarnIfEndsList(s, at, pin, "the pin name");
    // The pin and the attribute are the two parts of one word.
    TextPoint pinEnd{at.line, at.column + int32_t(pin.size())};
    clause.NoteInitializePin(s, {at, pinEnd}, pin);
    if (s.facts) {
      s.facts->Keyword(KeywordKind::kAttribute, {{at.line, pinEnd.column + 1}, targetAt.end},
                       target.substr(pin.size() + 1));
    }
    if (applied->sets == PinAttribute::kSignal) {
      DefinePinName(s, NameKind::kPin, valueAt, value);
    }
  }
}

}  // namespace

void ReadInitializeBody(ParseState& s, InitializeTable& table) {
  ReadClauses(s, AlwaysClause::kRefused, table, AddInitializeCondition, [&](int32_t index) {
    PackageClause clause(s);
    do {
      ReadEntry(s, AfterSeparator<';'>, [&] { ReadInitializeLine(s, table[index].rows, clause); });
    } while (!TokenIs(s, kWhenWord) && !TokenIs(s, "}"));
  });
}

void EmptyInitialize(ParseState& s, InitializeTable& table) {
  AddInitializeCondition(s, table, 0, "");
}

void DumpInitialize(ParseState& s, const InitializeTable& table) {
  for (int32_t index = 0; index < kInitializeConditions; ++index) {
    const InitializeCondition& entry = table[index];
    if (s.pool.IsEmpty(entry.condition)) break;
    s.dump.Print("   [%02d] When: <%s>\n", index, s.pool.String(entry.condition));
    for (const InitializeRow& row : entry.rows) {
      if (s.pool.IsEmpty(row.pin)) break;
      s.dump.Print(
          "      Pin: <%s> Sig: <%s> Changable: %d iReserved: %d "
          "Reserved Name <%s> "
          "Display Name <%s>\n",
          s.pool.String(row.pin), s.pool.String(row.signal), row.changeable, row.reserved,
          s.pool.String(row.reservedName), s.pool.String(row.displayName));
    }
  }
}

}  // namespace qelc
