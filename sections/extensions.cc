#include "sections/extensions.h"

#include <cstdio>

#include "source/expect.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/row_convention.h"
#include "tables/table_block.h"

namespace qelc {

namespace {

constexpr int32_t kExtensionLimit = 20;

bool IsEmpty(const Extension& extension) { return PoolStringIsEmpty(extension.first); }

}  // namespace

// Extensions -> 'Extensions' '{' (string ':' word)* '}'
void SecExtensions() {
  std::fputs("Parsing Section Extensions\n", stdout);
  ExpectText("Extensions");
  ExpectText("{");
  for (int32_t index = 0; TokenKind() == kStringToken; ++index) {
    std::string first = TakeWord();
    ExpectText(":");
    std::string second = TakeWord();
    AddExtension(index, first, second);
  }
  ExpectText("}");
  DumpExtensions();
}

void AddExtension(int32_t index, std::string_view first, std::string_view second) {
  AddEntry(
      Tables().extensions, index, kExtensionLimit, "Exceed number of extensions.\n",
      [&](Extension& entry) {
        PoolAddTo(entry.first, Unquote(first));
        PoolAddTo(entry.second, Unquote(second));
      },
      [](Extension& entry) {
        PoolAddTo(entry.first, "");
        PoolAddTo(entry.second, "");
      });
}

void DumpExtensions() {
  Dump("\nExtensions\n");
  for (const Extension& extension : Tables().extensions) {
    if (IsEmpty(extension)) break;
    Dump("   <%s>:<%s>\n", PoolString(extension.first), PoolString(extension.second));
  }
}

}  // namespace qelc
