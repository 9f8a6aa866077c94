#include "lsp/message_reader.h"

#include <gtest/gtest.h>

#include <sstream>

namespace qelc::lsp {
namespace {

using Kind = ReadMessage::Kind;

std::vector<ReadMessage> ReadAll(const std::string& bytes) {
  std::istringstream in(bytes);
  MessageReader reader(in);
  std::vector<ReadMessage> messages;
  for (;;) {
    messages.push_back(reader.Next());
    if (messages.back().kind == Kind::kEnd) return messages;
  }
}

TEST(MessageReader, ReadsFramedBodiesWhateverTheOtherHeaders) {
  auto messages = ReadAll(Framed("{}") + "content-length:  3\r\nContent-Type: x\r\n\r\n[1]");
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0].body, "{}");
  EXPECT_EQ(messages[1].body, "[1]");
  EXPECT_EQ(messages[2].problem, "");
}

TEST(MessageReader, PassesOverMalformedHeadersAndReadsOn) {
  auto messages = ReadAll("Garbage\r\n\r\nContent-Length: x\r\n\r\nA: b\r\n\r\n" + Framed("{}"));
  ASSERT_EQ(messages.size(), 5u);
  EXPECT_EQ(messages[0].problem, "a header line that is not 'Name: value'");
  EXPECT_EQ(messages[1].problem, "a Content-Length that is not a number");
  EXPECT_EQ(messages[2].problem, "a header without Content-Length");
  EXPECT_EQ(messages[3].body, "{}");
}

TEST(MessageReader, FindsTheNextHeaderAfterALengthGivenShort) {
  auto messages = ReadAll("Content-Length: 2\r\n\r\n{\"a\"}" + Framed("{}"));
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(messages[0].body, "{\"");
  EXPECT_EQ(messages[1].kind, Kind::kMalformed);
  EXPECT_EQ(messages[2].body, "{}");
}

TEST(MessageReader, EndsInsideAMessageWithAProblem) {
  auto messages = ReadAll("Content-Length: 10\r\n\r\n{}");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].kind, Kind::kEnd);
  EXPECT_EQ(messages[0].problem, "the input ends 8 bytes before the end of a message");
  EXPECT_EQ(ReadAll("Content-Length: 9999999999999\r\n\r\n")[0].kind, Kind::kMalformed);
}

}  // namespace
}  // namespace qelc::lsp
