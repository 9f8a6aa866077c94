#include "sections/type_shorthands.h"

#include <string>

#include "source/ascii.h"
#include "source/expect.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/row_convention.h"

namespace qelc {

namespace {

constexpr int32_t kTypeShortHandLimit = EntriesOf(&TableBlock::typeShortHands);
constexpr int32_t kNoCode = -1;  // the code of an empty entry

void AddTypeShortHand(TypeShortHandTable& table, int32_t index, int32_t code,
                      std::string_view qualifiers, std::string_view name,
                      std::string_view value) {
  // The pool order (name, value, qualifiers) is part of the file format.
  AddEntry(
      table, index, kTypeShortHandLimit, "Exceed number of type short hands.\n",
      [&](TypeShortHand& entry) {
        entry.code = code;
        PoolAddTo(entry.name, name);
        PoolAddTo(entry.value, value);
        PoolAddTo(entry.qualifiers, qualifiers);
      },
      [](TypeShortHand& entry) {
        entry.code = kNoCode;
        PoolAddTo(entry.name, "");
        PoolAddTo(entry.value, "");
        PoolAddTo(entry.qualifiers, "");
      });
}

// qualifiers -> word (',' word)*, stored joined by single commas
std::string ReadQualifiers() {
  std::string qualifiers = TakeWord();
  while (SkipIf(",")) {
    std::string joined = qualifiers + ',' + TokenText();
    CheckTextLength(joined, kStoredTextLimit);
    qualifiers = std::move(joined);
    SkipToken();
  }
  return qualifiers;
}

// shorthand -> number ':' name [':' qualifiers] '=' value
void ReadShortHand(TypeShortHandTable& table, int32_t index) {
  int32_t code = LeadingDigitsValue(TokenText());
  ExpectKind(kNumberToken);
  ExpectText(":");
  std::string name = TakeWord();
  std::string qualifiers;
  if (SkipIf(":")) qualifiers = ReadQualifiers();
  ExpectText("=");
  AddTypeShortHand(table, index, code, qualifiers, name, Unquote(PeekWord()));
  SkipToken();
}

}  // namespace

void ReadTypeShortHandBody(TypeShortHandTable& table) {
  for (int32_t index = 0; !TokenIs("}"); ++index) ReadShortHand(table, index);
}

void EmptyTypeShortHands(TypeShortHandTable& table) {
  AddTypeShortHand(table, 0, kNoCode, "", "", "");
}

void DumpTypeShortHands(const TypeShortHandTable& table) {
  for (const TypeShortHand& shortHand : table) {
    if (PoolStringIsEmpty(shortHand.name)) break;
    Dump("   %4d: <%s>:<%s> = <%s>\n", shortHand.code, PoolString(shortHand.name),
         PoolString(shortHand.qualifiers), PoolString(shortHand.value));
  }
}

}  // namespace qelc
