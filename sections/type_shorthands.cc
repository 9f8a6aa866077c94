#include "sections/type_shorthands.h"

#include <string>

#include "source/ascii.h"
#include "source/expect.h"
#include "source/recovery.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/parse_state.h"
#include "tables/row_convention.h"

namespace qelc {

namespace {

constexpr int32_t kTypeShortHandLimit = EntriesOf(&TableBlock::typeShortHands);
constexpr int32_t kNoCode = -1;  // the code of an empty entry

void AddTypeShortHand(ParseState& s, TypeShortHandTable& table, int32_t index, int32_t code,
                      std::string_view qualifiers, std::string_view name, std::string_view value) {
  // The pool order (name, value, qualifiers) is part of the file format.
  AddEntry(
      s, table, index, kTypeShortHandLimit, "Exceed number of type short hands.\n",
      [&](TypeShortHand& entry) {
        entry.code = code;
        s.pool.AddTo(entry.name, name);
        s.pool.AddTo(entry.value, value);
        s.pool.AddTo(entry.qualifiers, qualifiers);
      },
      [&](TypeShortHand& entry) {
        entry.code = kNoCode;
        s.pool.AddTo(entry.name, "");
        s.pool.AddTo(entry.value, "");
        s.pool.AddTo(entry.qualifiers, "");
      });
}

// qualifiers -> word (',' word)*, stored joined by single commas
std::string ReadQualifiers(ParseState& s) {
  std::string qualifiers = TakeWord(s);
  while (SkipIf(s, ",")) {
    std::string joined = qualifiers + ',' + std::string(TokenText(s));
    CheckTextLength(s, joined, kStoredTextLimit);
    qualifiers = std::move(joined);
    SkipToken(s);
  }
  return qualifiers;
}

// shorthand -> number ':' name [':' qualifiers] '=' value
void ReadShortHand(ParseState& s, TypeShortHandTable& table, int32_t index) {
  int32_t code = LeadingDigitsValue(TokenText(s));
  ExpectKind(s, kNumberToken);
  ExpectText(s, ":");
  std::string name = TakeWord(s);
  std::string qualifiers;
  if (SkipIf(s, ":")) qualifiers = ReadQualifiers(s);
  ExpectText(s, "=");
  AddTypeShortHand(s, table, index, code, qualifiers, name, Unquote(PeekWord(s)));
  SkipTextValue(s);
}

// A short hand ends where a number opens the next line.
ResumeAt AtNumberOpeningLine(const Parser& p) {
  return CurrentTokenKind(p) == kNumberToken && OpensLine(p) ? ResumeAt::kBefore : ResumeAt::kNo;
}

}  // namespace

void ReadTypeShortHandBody(ParseState& s, TypeShortHandTable& table) {
  for (int32_t index = 0; !TokenIs(s, "}");) {
    if (ReadEntry(s, AtNumberOpeningLine, [&] { ReadShortHand(s, table, index); })) ++index;
  }
}

void EmptyTypeShortHands(ParseState& s, TypeShortHandTable& table) {
  AddTypeShortHand(s, table, 0, kNoCode, "", "", "");
}

void DumpTypeShortHands(ParseState& s, const TypeShortHandTable& table) {
  for (const TypeShortHand& shortHand : table) {
    if (s.pool.IsEmpty(shortHand.name)) break;
    s.dump.Put<"   %4d: <%s>:<%s> = <%s>\n">(shortHand.code, s.pool.String(shortHand.name),
                                             s.pool.String(shortHand.qualifiers),
                                             s.pool.String(shortHand.value));
  }
}

}  // namespace qelc
