#include "softip/categories.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>

#include "softip/library.h"
#include "source/expect.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/string_pool.h"

namespace qelc {

namespace {

// The text as a number the way strtod reads it, narrowed to single precision: a
// text that is no number gives 0.
float CategoryNumber(const std::string& text) {
  return float(std::strtod(text.c_str(), nullptr));
}

// entry -> number ':' name '=' value
void ParseCategoryEntry() {
  float number = CategoryNumber(TokenText());
  SkipToken();
  ExpectText(":");
  std::string name = TakeWord(kCategoryTextLimit);
  ExpectText("=");
  std::string value = Unquote(TakeWord(kCategoryTextLimit));
  AddSoftIPCategory(number, name, value);
}

// A key under which equal floats meet: +0 and -0 are equal floats, so they share
// the key of +0.
uint32_t EqualityKey(float number) {
  if (number == 0.0f) number = 0.0f;
  uint32_t bits;
  std::memcpy(&bits, &number, sizeof bits);
  return bits;
}

}  // namespace

void ParseSoftIPCategory() {
  std::fputs("Parsing Section SoftIPCategory\n", stdout);
  ExpectText("SoftIPCategory");
  ExpectText("{");
  do {
    ParseCategoryEntry();
  } while (!TokenIs("}"));
  ExpectText("}");
  DumpSoftIPCategories();
  CheckCategoryNumbers();
}

void AddSoftIPCategory(float number, std::string_view name, std::string_view value) {
  SoftIPCategoryEntry entry{number, 0, 0};
  PoolAddTo(entry.name, name);
  PoolAddTo(entry.value, value);
  Library().categories.Append(entry);
}

void DumpSoftIPCategories() {
  Dump("\nSoftIPCategory\n");
  for (const SoftIPCategoryEntry& entry : Library().categories) {
    Dump("<%f> : ", double(entry.number));
    Dump("<%s> : ", PoolString(entry.name));
    Dump("<%s> \n", PoolString(entry.value));
  }
  Dump("\n");
}

// Reports what comparing every pair (i, j > i) in order would report first: the
// smallest i that some later entry equals. One pass with an index of first
// occurrences finds it in linear time. NaN equals nothing, so it never repeats.
bool CheckCategoryNumbers() {
  const RecordList<SoftIPCategoryEntry>& categories = Library().categories;
  std::unordered_map<uint32_t, size_t> firstIndex;
  firstIndex.reserve(categories.Size());
  size_t repeated = categories.Size();
  for (size_t j = 0; j < categories.Size(); ++j) {
    float number = categories.At(j).number;
    if (std::isnan(number)) continue;
    auto [first, isNew] = firstIndex.emplace(EqualityKey(number), j);
    if (!isNew && first->second < repeated) repeated = first->second;
  }
  if (repeated == categories.Size()) return true;
  throw CFailMsg(Format("Found not unique category number %f\n",
                        double(categories.At(repeated).number)));
}

}  // namespace qelc
