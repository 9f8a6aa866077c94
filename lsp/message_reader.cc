#include "lsp/message_reader.h"

#include <charconv>

#include "source/ascii.h"

namespace qelc::lsp {

namespace {

// A header line longer than this is no header of the protocol's: it is read on
// only to find its end.
constexpr size_t kLongestHeaderLine = 1024;

// Reads one line up to "\n" (a "\r" before it is dropped). False at the end of
// the input before any character.
bool ReadLine(std::istream& in, std::string& line) {
  line.clear();
  bool any = false;
  for (int c = in.get(); c != std::istream::traits_type::eof(); c = in.get()) {
    any = true;
    if (c == '\n') break;
    if (line.size() <= kLongestHeaderLine) line += char(c);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return any;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

constexpr std::string_view kLengthHeader = "Content-Length:";

}  // namespace

bool MessageReader::NextLine(std::string& line) {
  if (!pending_.empty()) {
    line = std::move(pending_);
    pending_.clear();
    return true;
  }
  return ReadLine(in_, line);
}

ReadMessage MessageReader::Next() {
  std::string line;
  std::string problem;
  size_t length = 0;
  bool hasLength = false;
  bool anyLine = false;
  for (;;) {
    if (!NextLine(line)) {
      return {ReadMessage::Kind::kEnd, "", anyLine ? "the input ends inside a header" : ""};
    }
    if (line.empty()) {
      if (!anyLine) continue;  // blank lines between messages
      break;
    }
    anyLine = true;
    if (size_t header = line.find(kLengthHeader); header != 0 && header != std::string::npos) {
      pending_ = line.substr(header);
      return {ReadMessage::Kind::kMalformed, "", "bytes that belong to no message"};
    }
    if (!problem.empty()) continue;
    size_t colon = line.find(':');
    if (colon == std::string::npos || line.size() > kLongestHeaderLine) {
      problem = "a header line that is not 'Name: value'";
      continue;
    }
    std::string_view name = Trimmed(std::string_view(line).substr(0, colon));
    std::string_view value = Trimmed(std::string_view(line).substr(colon + 1));
    if (!EqualsNoCase(name, "Content-Length")) continue;  // Content-Type and others
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
    if (error != std::errc() || end != value.data() + value.size()) {
      problem = "a Content-Length that is not a number";
    } else if (length > kMostBodyBytes) {
      problem = "a Content-Length beyond " + std::to_string(kMostBodyBytes) + " bytes";
    } else {
      hasLength = true;
    }
  }
  if (problem.empty() && !hasLength) problem = "a header without Content-Length";
  if (!problem.empty()) return {ReadMessage::Kind::kMalformed, "", problem};
  ReadMessage message{ReadMessage::Kind::kMessage, std::string(length, '\0'), ""};
  in_.read(message.body.data(), std::streamsize(length));
  if (size_t(in_.gcount()) != length) {
    return {ReadMessage::Kind::kEnd, "",
            "the input ends " + std::to_string(length - size_t(in_.gcount())) +
                " bytes before the end of a message"};
  }
  return message;
}

std::string Framed(std::string_view body) {
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + std::string(body);
}

}  // namespace qelc::lsp
