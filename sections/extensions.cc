#include "sections/extensions.h"

#include <string>

#include "sections/section_rules.h"
#include "source/expect.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/parse_state.h"
#include "tables/row_convention.h"

namespace qelc {

namespace {

constexpr int32_t kExtensionLimit = EntriesOf(&TableBlock::extensions);

// Stores both texts without their quotes as extension `index`.
void AddExtension(ParseState& s, ExtensionTable& table, int32_t index, std::string_view first,
                  std::string_view second) {
  AddEntry(
      s, table, index, kExtensionLimit, "Exceed number of extensions.\n",
      [&](Extension& entry) {
        s.pool.AddTo(entry.first, Unquote(first));
        s.pool.AddTo(entry.second, Unquote(second));
      },
      [&](Extension& entry) {
        s.pool.AddTo(entry.first, "");
        s.pool.AddTo(entry.second, "");
      });
}

// An extension ends where a quoted text opens the next line.
ResumeAt AtQuotedLine(const Parser& p) {
  return CurrentTokenKind(p) == kStringToken && OpensLine(p) ? ResumeAt::kBefore : ResumeAt::kNo;
}

}  // namespace

void ReadExtensionBody(ParseState& s, ExtensionTable& table) {
  for (int32_t index = 0; CurrentTokenKind(s) == kStringToken;) {
    bool read = ReadEntry(s, AtQuotedLine, [&] {
      WarnIfEndsList(s, CurrentToken(s).start, Unquote(TokenText(s)), "the extension's first text");
      std::string first = TakeWord(s);
      ExpectText(s, ":");
      std::string second = TakeTextValue(s);
      AddExtension(s, table, index, first, second);
    });
    if (read) ++index;
  }
}

void EmptyExtensions(ParseState& s, ExtensionTable& table) { AddExtension(s, table, 0, "", ""); }

void DumpExtensions(ParseState& s, const ExtensionTable& table) {
  for (const Extension& extension : table) {
    if (s.pool.IsEmpty(extension.first)) break;
    s.dump.Put<"   <%s>:<%s>\n">(s.pool.String(extension.first), s.pool.String(extension.second));
  }
}

}  // namespace qelc
