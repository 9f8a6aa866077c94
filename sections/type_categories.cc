#include "sections/type_categories.h"

#include <cstdio>

#include "source/expect.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/row_convention.h"
#include "tables/table_block.h"

namespace qelc {

namespace {

constexpr int32_t kTypeCategoryLimit = 20;

bool IsEmpty(const TypeCategory& category) { return PoolStringIsEmpty(category.name); }

}  // namespace

// TypeCategory -> 'TypeCategory' '{' (name '=' value)* '}'
void SecTypeCategory() {
  std::fputs("Parsing Section TypeCategory\n", stdout);
  ExpectText("TypeCategory");
  ExpectText("{");
  for (int32_t index = 0; !TokenIs("}"); ++index) {
    std::string name = TakeWord();
    ExpectText("=");
    CheckTextLength(TokenText(), kStoredTextLimit);
    AddTypeCategory(index, name, Unquote(TokenText()));
    SkipToken();
  }
  ExpectText("}");
  DumpTypeCategory();
}

void AddTypeCategory(int32_t index, std::string_view name, std::string_view value) {
  AddEntry(
      Tables().typeCategories, index, kTypeCategoryLimit, "Exceed number of type categories.\n",
      [&](TypeCategory& entry) {
        PoolAddTo(entry.name, name);
        PoolAddTo(entry.value, value);
      },
      [](TypeCategory& entry) {
        PoolAddTo(entry.name, "");
        PoolAddTo(entry.value, "");
      });
}

int32_t FindTypeCategory(std::string_view text) {
  const TypeCategory* categories = Tables().typeCategories;
  for (int32_t index = 0; index < kTypeCategoryLimit; ++index) {
    if (IsEmpty(categories[index])) break;
    if (PoolCompare(categories[index].name, text) == 0) return index;
  }
  return -1;
}

void DumpTypeCategory() {
  Dump("\nTypeCategory\n");
  for (const TypeCategory& category : Tables().typeCategories) {
    if (IsEmpty(category)) break;
    Dump("   <%s> = <%s>\n", PoolString(category.name), PoolString(category.value));
  }
}

}  // namespace qelc
