#include "sections/type_shorthands.h"

#include <cstdio>
#include <string>

#include "source/ascii.h"
#include "source/expect.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/row_convention.h"
#include "tables/table_block.h"

namespace qelc {

namespace {

constexpr int32_t kTypeShortHandLimit = 300;
constexpr int32_t kNoCode = -1;

bool IsEmpty(const TypeShortHand& shortHand) { return PoolStringIsEmpty(shortHand.name); }

// qualifiers -> word (',' word)*, stored joined by single commas
std::string ReadQualifiers() {
  std::string qualifiers = TakeWord();
  while (TokenText() == ",") {
    ExpectText(",");
    std::string joined = qualifiers + ',' + TokenText();
    CheckTextLength(joined, kStoredTextLimit);
    qualifiers = std::move(joined);
    SkipToken();
  }
  return qualifiers;
}

// shorthand -> number ':' name [':' qualifiers] '=' value
void ReadShortHand(int32_t index) {
  int32_t code = LeadingDigitsValue(TokenText());
  ExpectKind(kNumberToken);
  ExpectText(":");
  std::string name = TakeWord();
  std::string qualifiers;
  if (TokenIs(":")) {
    ExpectText(":");
    qualifiers = ReadQualifiers();
  }
  ExpectText("=");
  CheckTextLength(TokenText(), kStoredTextLimit);
  AddTypeShortHand(index, code, qualifiers, name, Unquote(TokenText()));
  SkipToken();
}

}  // namespace

// TypeShortHand -> 'TypeShortHand' '{' shorthand* '}'
void SecTypeShortHand() {
  std::fputs("Parsing Section TypeShortHand\n", stdout);
  ExpectText("TypeShortHand");
  ExpectText("{");
  for (int32_t index = 0; !TokenIs("}"); ++index) ReadShortHand(index);
  ExpectText("}");
  DumpTypeShortHand();
}

void AddTypeShortHand(int32_t index, int32_t code, std::string_view qualifiers,
                      std::string_view name, std::string_view value) {
  // The pool order (name, value, qualifiers) is part of the file format.
  AddEntry(
      Tables().typeShortHands, index, kTypeShortHandLimit, "Exceed number of type short hands.\n",
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

void DumpTypeShortHand() {
  Dump("\nTypeShortHand\n");
  for (const TypeShortHand& shortHand : Tables().typeShortHands) {
    if (IsEmpty(shortHand)) break;
    Dump("   %4d: <%s>:<%s> = <%s>\n", shortHand.code, PoolString(shortHand.name),
         PoolString(shortHand.qualifiers), PoolString(shortHand.value));
  }
}

}  // namespace qelc
