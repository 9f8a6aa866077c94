#include "tests/dab_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/dab_layout.h"
#include "tests/text_diff.h"

namespace qelc::test {

namespace {

// Includes deeper than this are taken for a cycle.
constexpr int kIncludeDepth = 16;
// Differing fields listed after the first one.
constexpr int kListedDifferences = 8;

struct Assignment {
  std::string where;  // "NAME:LINE" for messages
  std::string path;
  FieldLocation field;
  int64_t number = 0;
  std::optional<std::string> text;  // a string value, resolved once the pool is known
};

struct Expansion {
  std::vector<std::string> pool;
  std::vector<Assignment> assignments;
};

[[noreturn]] void Refuse(const std::string& where, const std::string& problem) {
  throw std::invalid_argument(where + ": " + problem);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

class LineReader {
 public:
  LineReader(std::string_view line, std::string where) : line_(line), where_(std::move(where)) {}

  void SkipBlanks() {
    while (at_ < line_.size() && IsBlank(line_[at_])) ++at_;
  }

  bool AtEnd() {
    SkipBlanks();
    return at_ >= line_.size() || line_[at_] == '#';
  }

  char Peek() {
    SkipBlanks();
    return at_ < line_.size() ? line_[at_] : '\0';
  }

  // A run of characters up to a blank, a comment or (when `stopAtEquals`) '='.
  std::string_view Word(bool stopAtEquals = false) {
    SkipBlanks();
    size_t start = at_;
    while (at_ < line_.size() && !IsBlank(line_[at_]) && line_[at_] != '#' &&
           !(stopAtEquals && line_[at_] == '=')) {
      ++at_;
    }
    return line_.substr(start, at_ - start);
  }

  void Expect(char c) {
    if (Peek() != c) Refuse(where_, std::string("expected '") + c + "' here: " + Rest());
    ++at_;
  }

  // "..." with the escapes \\ \" \n \r \t and \xHH (not \x00: pool strings end at NUL).
  std::string String() {
    Expect('"');
    std::string text;
    while (true) {
      if (at_ >= line_.size()) Refuse(where_, "string not closed before the line end");
      char c = line_[at_++];
      if (c == '"') return text;
      if (c != '\\') {
        text += c;
        continue;
      }
      if (at_ >= line_.size()) Refuse(where_, "string not closed before the line end");
      char escape = line_[at_++];
      switch (escape) {
        case '\\': text += '\\'; break;
        case '"': text += '"'; break;
        case 'n': text += '\n'; break;
        case 'r': text += '\r'; break;
        case 't': text += '\t'; break;
        case 'x': text += HexByte(); break;
        default:
          Refuse(where_, std::string("unknown escape '\\") + escape +
                             "' (known: \\\\ \\\" \\n \\r \\t \\xHH)");
      }
    }
  }

  // A decimal number with an optional sign, or 0x followed by hex digits.
  int64_t Number() {
    std::string_view word = Word();
    bool negative = !word.empty() && word[0] == '-';
    std::string_view digits = word.substr(!word.empty() && (word[0] == '-' || word[0] == '+'));
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
      base = 16;
      digits.remove_prefix(2);
    }
    uint64_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
      Refuse(where_, "'" + std::string(word) + "' is neither a number nor a quoted string");
    }
    int64_t number = negative ? -int64_t(std::min<uint64_t>(value, uint64_t(1) << 32))
                              : int64_t(std::min<uint64_t>(value, uint64_t(1) << 32));
    if (number < INT32_MIN || number > int64_t(UINT32_MAX)) {
      Refuse(where_, "'" + std::string(word) + "' does not fit a 32-bit field");
    }
    return number;
  }

  std::string Rest() { return "'" + std::string(line_.substr(std::min(at_, line_.size()))) + "'"; }

 private:
  char HexByte() {
    if (at_ + 2 > line_.size() || !std::isxdigit(static_cast<unsigned char>(line_[at_])) ||
        !std::isxdigit(static_cast<unsigned char>(line_[at_ + 1]))) {
      Refuse(where_, "\\x needs two hex digits");
    }
    int value = std::stoi(std::string(line_.substr(at_, 2)), nullptr, 16);
    at_ += 2;
    if (value == 0) Refuse(where_, "\\x00 cannot stand in a pool string (NUL ends it)");
    return static_cast<char>(value);
  }

  std::string_view line_;
  std::string where_;
  size_t at_ = 0;
};

void ExpandLines(std::string_view text, const std::string& sourceName,
                 const IncludeReader& readInclude, int depth, Expansion& out) {
  size_t lineNumber = 0;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    std::string where = sourceName + ":" + std::to_string(lineNumber);
    LineReader reader(line, where);
    if (reader.AtEnd()) continue;

    std::string_view first = reader.Word(/*stopAtEquals=*/true);
    if (first == "include") {
      std::string name(reader.Word());
      if (name.empty()) Refuse(where, "include needs a name");
      if (!reader.AtEnd()) Refuse(where, "unexpected text after the include name");
      if (depth >= kIncludeDepth) Refuse(where, "includes nested too deeply (a cycle?)");
      std::optional<std::string> included = readInclude(name);
      if (!included) Refuse(where, "cannot read the include file of '" + name + "'");
      ExpandLines(*included, name + ".dab.txt", readInclude, depth + 1, out);
    } else if (first == "pool") {
      if (reader.AtEnd()) Refuse(where, "pool needs at least one quoted string");
      while (!reader.AtEnd()) out.pool.push_back(reader.String());
    } else {
      Assignment assignment{where, std::string(first), {}, 0, std::nullopt};
      try {
        assignment.field = ResolvePath(first);
      } catch (const std::invalid_argument& error) {
        Refuse(where, error.what());
      }
      reader.Expect('=');
      if (reader.Peek() == '"') {
        assignment.text = reader.String();
      } else {
        assignment.number = reader.Number();
      }
      if (!reader.AtEnd()) Refuse(where, "unexpected text after the value: " + reader.Rest());
      switch (assignment.field.kind) {
        case FieldKind::kBytes:
          Refuse(where, "'" + assignment.path + "' is implied and cannot be set");
        case FieldKind::kInteger:
          if (assignment.text) {
            Refuse(where, "'" + assignment.path + "' is a number field; its value is a number");
          }
          break;
        case FieldKind::kReference:
          if (!assignment.text) {
            Refuse(where, "'" + assignment.path +
                              "' is a string field; its value is a quoted pool string");
          }
          break;
      }
      out.assignments.push_back(std::move(assignment));
    }
  }
}

void Store32(std::string& bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + size_t(i)] = static_cast<char>(value >> (8 * i));
}

int32_t Load32(std::string_view bytes, size_t offset) {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) {
    value |= uint32_t(static_cast<unsigned char>(bytes[offset + size_t(i)])) << (8 * i);
  }
  return static_cast<int32_t>(value);
}

// The string that a reference points at in `pool`, for messages.
std::string ShowReference(std::string_view pool, int32_t ref) {
  std::string shown = std::to_string(ref);
  if (ref < 0 || size_t(ref) >= pool.size()) return shown + " (outside the pool)";
  std::string_view rest = pool.substr(size_t(ref));
  size_t nul = rest.find('\0');
  bool inside = ref == 0 || pool[size_t(ref) - 1] == '\0';
  return shown + " (\"" + Escape(rest.substr(0, nul)) + "\"" +
         (inside ? "" : ", not the start of a string") + ")";
}

std::string ShowField(const ByteName& name, std::string_view bytes, std::string_view pool) {
  if (name.field.offset + name.field.size > bytes.size()) return "missing (the file ends)";
  switch (name.field.kind) {
    case FieldKind::kInteger:
      return std::to_string(Load32(bytes, name.field.offset));
    case FieldKind::kReference:
      return ShowReference(pool, Load32(bytes, name.field.offset));
    case FieldKind::kBytes:
      return "\"" + Escape(bytes.substr(name.field.offset, name.field.size)) + "\"";
  }
  return {};
}

std::string DescribeBlockDifferences(std::string_view expected, std::string_view actual) {
  std::string_view expectedPool = expected.substr(kBlockSize);
  std::string_view actualPool = actual.size() > kBlockSize ? actual.substr(kBlockSize) : "";
  size_t compared = std::min(kBlockSize, actual.size());
  std::string message;
  int fields = 0;
  size_t fieldEnd = 0;  // bytes below it belong to a field already counted
  for (size_t i = 0; i < compared; ++i) {
    if (expected[i] == actual[i] || i < fieldEnd) continue;
    ByteName name = NameByte(i);
    fieldEnd = name.field.offset + name.field.size;
    ++fields;
    if (fields > kListedDifferences + 1) continue;
    message += fields == 1 ? "first difference at byte " + std::to_string(i) + ": " : "  then ";
    message += name.path + ": expected " + ShowField(name, expected, expectedPool) +
               ", actual " + ShowField(name, actual, actualPool) + "\n";
  }
  if (fields > kListedDifferences + 1) {
    message += "  ... " + std::to_string(fields - kListedDifferences - 1) +
               " more differing fields in the table block\n";
  }
  return message;
}

// The index of the expected pool string that holds pool byte `at`.
size_t StringHolding(const std::vector<PoolString>& pool, size_t at) {
  size_t index = 0;
  while (index + 1 < pool.size() && pool[index + 1].offset <= at) ++index;
  return index;
}

std::string DescribePoolDifference(const DabImage& expected, std::string_view actual) {
  std::string_view expectedPool = std::string_view(expected.bytes).substr(kBlockSize);
  std::string_view actualPool = actual.substr(kBlockSize);
  if (expectedPool == actualPool) return {};
  size_t common = std::min(expectedPool.size(), actualPool.size());
  size_t at = size_t(std::mismatch(expectedPool.begin(), expectedPool.begin() + common,
                                   actualPool.begin()).first - expectedPool.begin());
  std::string message = "pool byte " + std::to_string(at);
  if (at < expectedPool.size()) {
    size_t index = StringHolding(expected.pool, at);
    const PoolString& string = expected.pool[index];
    message += " (string #" + std::to_string(index) + " \"" + Escape(string.text) +
               "\" at pool offset " + std::to_string(string.offset) + ")";
  } else {
    message += " (after the last expected string)";
  }
  auto show = [](std::string_view pool, size_t at) {
    return at < pool.size() ? "\"" + Escape(pool.substr(at, 1)) + "\"" : std::string("end of file");
  };
  message += ": expected " + show(expectedPool, at) + ", actual " + show(actualPool, at);
  if (at < actualPool.size()) {
    size_t stringStart = actualPool.substr(0, at).rfind('\0');
    stringStart = stringStart == std::string_view::npos ? 0 : stringStart + 1;
    std::string_view actualString = actualPool.substr(stringStart);
    actualString = actualString.substr(0, actualString.find('\0'));
    message += "; the actual pool holds \"" + Escape(actualString.substr(0, 200)) +
               "\" at pool offset " + std::to_string(stringStart);
  }
  return message + "\n";
}

}  // namespace

DabImage ExpandDabText(std::string_view text, const std::string& sourceName,
                       const IncludeReader& readInclude) {
  Expansion expansion;
  ExpandLines(text, sourceName, readInclude, 0, expansion);

  DabImage image;
  std::string poolBytes;
  for (const std::string& string : expansion.pool) {
    image.pool.push_back(PoolString{string, poolBytes.size()});
    poolBytes += string;
    poolBytes += '\0';
  }
  image.bytes.assign(kBlockSize, '\0');
  std::memcpy(image.bytes.data(), kFormatVersion, sizeof kFormatVersion);
  Store32(image.bytes, ResolvePath("poolUsedSize").offset, uint32_t(poolBytes.size()));
  Store32(image.bytes, ResolvePath("poolCapacity").offset, uint32_t(kPoolCapacity));

  for (const Assignment& assignment : expansion.assignments) {
    uint32_t value = uint32_t(assignment.number);
    if (assignment.text) {
      auto found = std::find_if(image.pool.begin(), image.pool.end(),
                                [&](const PoolString& s) { return s.text == *assignment.text; });
      if (found == image.pool.end()) {
        Refuse(assignment.where, "\"" + Escape(*assignment.text) +
                                     "\" is not one of the pool strings listed");
      }
      value = uint32_t(found->offset);
    }
    Store32(image.bytes, assignment.field.offset, value);
  }
  image.bytes += poolBytes;
  return image;
}

IncludeReader IncludeDirectory(const std::string& directory) {
  return [directory](const std::string& name) -> std::optional<std::string> {
    std::ifstream file(directory + "/" + name + ".dab.txt", std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  };
}

std::string DescribeDabDifference(const DabImage& expected, std::string_view actual) {
  if (expected.bytes == actual) return {};
  std::string message;
  if (expected.bytes.size() != actual.size()) {
    message = "the file has " + std::to_string(actual.size()) + " bytes, expected " +
              std::to_string(expected.bytes.size()) + " (the table block of " +
              std::to_string(kBlockSize) + " and " +
              std::to_string(expected.bytes.size() - kBlockSize) + " pool bytes)\n";
  }
  message += DescribeBlockDifferences(expected.bytes, actual);
  if (actual.size() >= kBlockSize) message += DescribePoolDifference(expected, actual);
  if (!message.empty() && message.back() == '\n') message.pop_back();
  return message;
}

}  // namespace qelc::test
