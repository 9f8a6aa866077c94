#pragma once

// Helpers shared by the soft-IP unit tests.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "softip/library.h"
#include "source/test_support.h"

namespace qelc::test {

using Bytes = std::vector<unsigned char>;

inline std::string AsText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }
inline Bytes AsBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A soft-IP compilation as it starts: an empty library whose string buffer the
// pool works on, files in memory, and no dump stream open, so dumps go nowhere.
class SoftIPState : public test_support::TextParse {
 public:
  SoftIPState() { EXPECT_TRUE(BeginSoftIPLibrary(s, library)); }

  SoftIPLibrary library;
};

}  // namespace qelc::test
