#include "sections/string_quote.h"

#include <cstdio>

#include "source/expect.h"
#include "source/token_stream.h"

namespace qelc {

void SecStringQuote() {
  std::fputs("Parsing Section StringQuote\n", stdout);
  ExpectText("StringQuote");
  ExpectText("{");
  int depth = 0;
  while (!TokenText().empty() && !(depth == 0 && TokenIs("}"))) {
    if (TokenIs("{")) ++depth;
    if (TokenIs("}")) --depth;
    SkipToken();
  }
  ExpectText("}");
}

}  // namespace qelc
