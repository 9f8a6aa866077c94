#include "softip/categories.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "softip/library.h"
#include "source/diagnostics.h"
#include "source/expect.h"
#include "source/fatal.h"
#include "source/format.h"
#include "source/recovery.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/parse_state.h"
#include "tables/string_pool.h"

namespace qelc {

namespace {

// The text as a number the way strtod reads it, narrowed to single precision: a
// text that is no number gives 0.
float CategoryNumber(const std::string& text) { return float(std::strtod(text.c_str(), nullptr)); }

// entry -> number ':' name '=' value
void ReadCategoryEntry(ParseState& s, SoftIPBuild& library) {
  TextPoint start = CurrentToken(s).start;
  float number = CategoryNumber(std::string(TokenText(s)));
  if (Linting(s)) {
    char* end = nullptr;
    std::string text(TokenText(s));
    std::strtod(text.c_str(), &end);
    if (TokenText(s).empty() || *end != '\0') {
      Warn(s, kNumberConversionCheck,
           Format("category number '%s' is not a number as a whole: %g is stored", text.c_str(),
                  double(number)));
    }
  }
  SkipToken(s);
  ExpectText(s, ":");
  TokenSpan nameAt = CurrentSpan(s);
  std::string name = TakeWord(s, kCategoryTextLimit);
  if (s.facts) s.facts->Define(NameKind::kSoftIpCategory, nameAt, name);
  ExpectText(s, "=");
  std::string value = Unquote(TakeTextValue(s, kCategoryTextLimit));
  // Kept beside the entry it belongs to, so an entry the linter skipped has
  // none.
  library.categoryStarts.push_back(start);
  AddSoftIPCategory(s, library, number, name, value);
}

// An entry ends where the next line starts.
ResumeAt AtLineStart(const Parser& p) { return OpensLine(p) ? ResumeAt::kBefore : ResumeAt::kNo; }

// A key under which equal floats meet: +0 and -0 are equal floats, so they
// share the key of +0.
uint32_t EqualityKey(float number) {
  if (number == 0.0f) number = 0.0f;
  uint32_t bits;
  std::memcpy(&bits, &number, sizeof bits);
  return bits;
}

// An open-addressing table from a key to the index where it was first seen:
// a flat array probed linearly, kept at most half full.
class FirstOccurrences {
 public:
  explicit FirstOccurrences(size_t count) {
    size_t size = 2;
    while (size < 2 * count) {
      size *= 2;
      --shift_;
    }
    slots_.assign(size, Slot{});
  }

  // The index where `key` was first seen; `index` itself when it is new.
  size_t FirstOrAdd(uint32_t key, size_t index) {
    size_t mask = slots_.size() - 1;
    // The top bits of the product depend on every bit of the key. The low bits
    // would not: the bits of many floats end in long runs of zeros, and such
    // keys would all start at the same slot.
    size_t home = size_t((uint64_t(key) * 0x9E3779B97F4A7C15ull) >> shift_);
    for (size_t at = home;; at = (at + 1) & mask) {
      Slot& slot = slots_[at];
      if (!slot.used) {
        slot = Slot{true, key, index};
        return index;
      }
      if (slot.key == key) return slot.index;
    }
  }

 private:
  struct Slot {
    bool used = false;
    uint32_t key = 0;
    size_t index = 0;
  };
  std::vector<Slot> slots_;
  int shift_ = 63;  // 64 less the bits of a slot number
};

}  // namespace

void ReadSoftIPCategory(ParseState& s, SoftIPBuild& library) {
  s.diagnostics.Print(MessageKind::kProgress, "Parsing Section SoftIPCategory\n");
  FactScope fact(s.facts, s.tokens, SectionKind::kSoftIpCategory);
  ExpectText(s, "SoftIPCategory");
  ExpectText(s, "{");
  do {
    Recovering(s, AtLineStart, [&] { ReadCategoryEntry(s, library); });
  } while (!TokenIs(s, "}"));
  ExpectText(s, "}");
  DumpSoftIPCategories(s, library);
  CheckCategoryNumbers(s, library);
}

void AddSoftIPCategory(ParseState& s, SoftIPBuild& library, float number, std::string_view name,
                       std::string_view value) {
  SoftIPCategoryEntry entry{number, 0, 0};
  s.pool.AddTo(entry.name, name);
  s.pool.AddTo(entry.value, value);
  library.categories.Append(entry);
}

void DumpSoftIPCategories(ParseState& s, SoftIPLibrary& library) {
  s.dump.Put<"\nSoftIPCategory\n">();
  for (const SoftIPCategoryEntry& entry : library.categories) {
    s.dump.Print("<%f> : ", double(entry.number));
    s.dump.Put<"<%s> : ">(s.pool.String(entry.name));
    s.dump.Put<"<%s> \n">(s.pool.String(entry.value));
  }
  s.dump.Put<"\n">();
}

// Reports what comparing every pair (i, j > i) in order would report first: the
// smallest i that some later entry equals. One pass over the list with a table
// of first occurrences finds it in linear time. NaN equals nothing, so it never
// repeats.
void CheckCategoryNumbers(ParseState& s, SoftIPBuild& library) {
  const RecordList<SoftIPCategoryEntry>& categories = library.categories;
  FirstOccurrences seen(categories.Size());
  size_t repeated = categories.Size();
  size_t repeatedBy = 0;  // the later entry that repeats it, where it is reported
  for (size_t j = 0; j < categories.Size(); ++j) {
    float number = categories.At(j).number;
    if (std::isnan(number)) continue;
    size_t first = seen.FirstOrAdd(EqualityKey(number), j);
    if (first != j && first < repeated) {
      repeated = first;
      repeatedBy = j;
    }
  }
  if (repeated == categories.Size()) return;
  double number = double(categories.At(repeated).number);
  const std::vector<TextPoint>& starts = library.categoryStarts;
  s.diagnostics.FailAt(repeatedBy < starts.size() ? starts[repeatedBy] : CurrentToken(s).start,
                       Format("Found not unique category number %f\n", number),
                       Stream::kStandardOutput, "category-number-repeated",
                       Format("category number %g repeats the number of an earlier entry", number));
}

}  // namespace qelc
