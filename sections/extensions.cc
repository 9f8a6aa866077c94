#include "sections/extensions.h"

#include <string>

#include "sections/section_rules.h"
#include "source/expect.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/row_convention.h"

namespace qelc {

namespace {

constexpr int32_t kExtensionLimit = EntriesOf(&TableBlock::extensions);

// Stores both texts without their quotes as extension `index`.
void AddExtension(ExtensionTable& table, int32_t index, std::string_view first,
                  std::string_view second) {
  AddEntry(
      table, index, kExtensionLimit, "Exceed number of extensions.\n",
      [&](Extension& entry) {
        PoolAddTo(entry.first, Unquote(first));
        PoolAddTo(entry.second, Unquote(second));
      },
      [](Extension& entry) {
        PoolAddTo(entry.first, "");
        PoolAddTo(entry.second, "");
      });
}

}  // namespace

void ReadExtensionBody(ExtensionTable& table) {
  for (int32_t index = 0; CurrentTokenKind() == kStringToken; ++index) {
    WarnIfEndsList(CurrentToken().start, Unquote(TokenText()), "the extension's first text");
    std::string first = TakeWord();
    ExpectText(":");
    std::string second = TakeWord();
    AddExtension(table, index, first, second);
  }
}

void EmptyExtensions(ExtensionTable& table) { AddExtension(table, 0, "", ""); }

void DumpExtensions(const ExtensionTable& table) {
  for (const Extension& extension : table) {
    if (PoolStringIsEmpty(extension.first)) break;
    Dump("   <%s>:<%s>\n", PoolString(extension.first), PoolString(extension.second));
  }
}

}  // namespace qelc
