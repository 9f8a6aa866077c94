#include "sections/type_categories.h"

#include <string>

#include "source/expect.h"
#include "source/recovery.h"
#include "source/suggest.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/parse_state.h"
#include "tables/row_convention.h"

namespace qelc {

namespace {

constexpr int32_t kTypeCategoryLimit = EntriesOf(&TableBlock::typeCategories);

bool IsEmpty(ParseState& s, const TypeCategory& category) { return s.pool.IsEmpty(category.name); }

void AddTypeCategory(ParseState& s, TypeCategoryTable& table, int32_t index, std::string_view name,
                     std::string_view value) {
  AddEntry(
      s, table, index, kTypeCategoryLimit, "Exceed number of type categories.\n",
      [&](TypeCategory& entry) {
        s.pool.AddTo(entry.name, name);
        s.pool.AddTo(entry.value, value);
      },
      [&](TypeCategory& entry) {
        s.pool.AddTo(entry.name, "");
        s.pool.AddTo(entry.value, "");
      });
}

}  // namespace

void ReadTypeCategoryBody(ParseState& s, TypeCategoryTable& table) {
  // A failed entry leaves no gap: the Pin section looks names up to the first
  // empty one. Until every entry is read the table counts as incomplete.
  if (s.diagnostics.Recovers()) s.incompleteTables.insert(&table);
  bool complete = true;
  for (int32_t index = 0; !TokenIs(s, "}");) {
    bool read = ReadEntry(s, AtWordOpeningLine, [&] {
      if (s.facts) s.facts->Define(NameKind::kTypeCategory, CurrentSpan(s), TokenText(s));
      std::string name = TakeWord(s);
      ExpectText(s, "=");
      AddTypeCategory(s, table, index, name, Unquote(PeekWord(s)));
      SkipTextValue(s);
    });
    if (read) ++index;
    complete = complete && read;
  }
  if (s.diagnostics.Recovers() && complete) s.incompleteTables.erase(&table);
}

void EmptyTypeCategories(ParseState& s, TypeCategoryTable& table) {
  AddTypeCategory(s, table, 0, "", "");
}

int32_t FindTypeCategory(ParseState& s, const TypeCategoryTable& table, std::string_view text) {
  for (int32_t index = 0; index < kTypeCategoryLimit; ++index) {
    if (IsEmpty(s, table[index])) break;
    if (s.pool.Compare(table[index].name, text) == 0) return index;
  }
  return -1;
}

std::string UnknownTypeCategory(ParseState& s, const TypeCategoryTable& table,
                                std::string_view word) {
  constexpr int32_t kNamesShown = 12;
  std::string declared;
  Suggestion suggestion(word);
  int32_t index = 0;
  for (; index < kTypeCategoryLimit && !IsEmpty(s, table[index]); ++index) {
    std::string_view name = s.pool.String(table[index].name);
    suggestion.Consider(name);
    if (index < kNamesShown) declared += (index ? ", " : "") + std::string(name);
  }
  if (index == 0) return "'" + std::string(word) + "' is no type category: none is declared";
  if (index > kNamesShown) declared += ", ...";
  return "'" + std::string(word) + "' is no type category; declared: " + declared +
         suggestion.Text();
}

void DumpTypeCategories(ParseState& s, const TypeCategoryTable& table) {
  for (const TypeCategory& category : table) {
    if (IsEmpty(s, category)) break;
    s.dump.Put<"   <%s> = <%s>\n">(s.pool.String(category.name), s.pool.String(category.value));
  }
}

}  // namespace qelc
