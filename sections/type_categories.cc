#include "sections/type_categories.h"

#include <string>

#include "source/expect.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/row_convention.h"

namespace qelc {

namespace {

constexpr int32_t kTypeCategoryLimit = EntriesOf(&TableBlock::typeCategories);

bool IsEmpty(const TypeCategory& category) { return PoolStringIsEmpty(category.name); }

void AddTypeCategory(TypeCategoryTable& table, int32_t index, std::string_view name,
                     std::string_view value) {
  AddEntry(
      table, index, kTypeCategoryLimit, "Exceed number of type categories.\n",
      [&](TypeCategory& entry) {
        PoolAddTo(entry.name, name);
        PoolAddTo(entry.value, value);
      },
      [](TypeCategory& entry) {
        PoolAddTo(entry.name, "");
        PoolAddTo(entry.value, "");
      });
}

}  // namespace

void ReadTypeCategoryBody(TypeCategoryTable& table) {
  for (int32_t index = 0; !TokenIs("}"); ++index) {
    std::string name = TakeWord();
    ExpectText("=");
    AddTypeCategory(table, index, name, Unquote(PeekWord()));
    SkipToken();
  }
}

void EmptyTypeCategories(TypeCategoryTable& table) { AddTypeCategory(table, 0, "", ""); }

int32_t FindTypeCategory(const TypeCategoryTable& table, std::string_view text) {
  for (int32_t index = 0; index < kTypeCategoryLimit; ++index) {
    if (IsEmpty(table[index])) break;
    if (PoolCompare(table[index].name, text) == 0) return index;
  }
  return -1;
}

void DumpTypeCategories(const TypeCategoryTable& table) {
  for (const TypeCategory& category : table) {
    if (IsEmpty(category)) break;
    Dump("   <%s> = <%s>\n", PoolString(category.name), PoolString(category.value));
  }
}

}  // namespace qelc
