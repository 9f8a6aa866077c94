#include "source/preprocessor.h"

#include "source/text_reader.h"

namespace qelc {

// Interim: copies the source unchanged until the directives are implemented.
int Preprocess(FILE* input, const std::string&, FILE* output, DefineTable&, BranchStack&) {
  TextReader reader(input);
  for (int c = reader.Get(); c != EOF; c = reader.Get()) std::fputc(c, output);
  return 1;
}

}  // namespace qelc
