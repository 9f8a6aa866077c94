#include "sections/string_quote.h"

#include "source/expect.h"
#include "source/token_stream.h"

namespace qelc {

void SkipStringQuoteBody() {
  int depth = 0;
  while (!TokenText().empty() && !(depth == 0 && TokenIs("}"))) {
    if (TokenIs("{")) ++depth;
    if (TokenIs("}")) --depth;
    SkipToken();
  }
}

}  // namespace qelc
