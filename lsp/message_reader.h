#pragma once

// The framing of the language server protocol: each message is a header of
// "Name: value" lines, each ended by "\r\n", an empty line, and a body of
// exactly Content-Length bytes of JSON.

#include <cstddef>
#include <istream>
#include <string>

namespace qelc::lsp {

struct ReadMessage {
  enum class Kind {
    kMessage,    // `body` holds a message's bytes
    kMalformed,  // a header that cannot be read; `problem` says why
    kEnd,        // the input ended (`problem` says so when inside a message)
  };
  Kind kind = Kind::kEnd;
  std::string body;
  std::string problem;
};

// The longest body read: a longer one is refused and passed over.
constexpr size_t kMostBodyBytes = size_t{256} << 20;

class MessageReader {
 public:
  explicit MessageReader(std::istream& in) : in_(in) {}

  // The next message. After a malformed header the reader passes over the
  // rest of that header (up to its empty line, or to a "Content-Length:" that
  // stands after the bytes of a message whose length was given short) and
  // goes on from there.
  ReadMessage Next();

 private:
  bool NextLine(std::string& line);

  std::istream& in_;
  // A header's first line found after bytes that belong to no message.
  std::string pending_;
};

// Messages are written with the header alone that the protocol requires.
std::string Framed(std::string_view body);

}  // namespace qelc::lsp
