#include "sections/string_quote.h"

#include "source/expect.h"
#include "source/token_stream.h"
#include "tables/parse_state.h"

namespace qelc {

void SkipStringQuoteBody(ParseState& s) {
  int depth = 0;
  while (!TokenText(s).empty() && !(depth == 0 && TokenIs(s, "}"))) {
    if (TokenIs(s, "{")) ++depth;
    if (TokenIs(s, "}")) --depth;
    SkipToken(s);
  }
}

}  // namespace qelc
