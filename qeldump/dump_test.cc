// The reader on files made here: the marks of references, the JSON against the
// pool, comparisons and damage.
#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "formats/field_map.h"
#include "formats/table_block.h"
#include "qeldump/diff.h"
#include "qeldump/field_lines.h"
#include "qeldump/input_file.h"
#include "qeldump/json_dump.h"
#include "qeldump/written_source.h"
#include "softip/categories.h"
#include "softip/ipb_output.h"
#include "softip/modules.h"
#include "softip/test_support.h"

namespace qelc::dump {
namespace {

std::unique_ptr<InputFile> Checked(const std::string& name, std::string bytes) {
  auto file = std::make_unique<InputFile>();
  file->name = name;
  file->bytes = std::move(bytes);
  CheckBytes(*file);
  return file;
}

std::string Text(const std::string& name, std::string bytes) {
  std::unique_ptr<InputFile> file = Checked(name, std::move(bytes));
  return Written([&](FILE* out) { WriteText(*file, out); });
}

// A DAB file of `block` (its header filled in) and a pool of `strings`.
std::string DabBytes(TableBlock& block, const std::vector<std::string>& strings) {
  std::string pool;
  for (const std::string& text : strings) pool += text + '\0';
  std::memcpy(block.formatVersion, kFormatVersion, sizeof kFormatVersion);
  block.poolUsedSize = int32_t(pool.size());
  block.poolCapacity = kPoolCapacity;
  return std::string(reinterpret_cast<const char*>(&block), sizeof block) + pool;
}

TEST(Reader, MarksReferencesThatAStringTextAloneWouldNotPlace) {
  auto block = std::make_unique<TableBlock>();
  block->extensions[0] = {2, 6};  // inside "ab"; the second "ab"
  block->extensions[1] = {1, 9};
  EXPECT_EQ(Text("m.dab", DabBytes(*block, {"", "ab", "x", "ab", "q\"\\\n\x01\xE9"})),
            "m.dab: DAB file, pool 16 of 32000 bytes used\n"
            "formatVersion = \"6.0.0.0.1\"\npoolUsedSize = 16\npoolCapacity = 32000\n"
            "extensions[0].first = \"b\" @2 (inside a string)\nextensions[0].second = \"ab\" @6\n"
            "extensions[1].first = \"ab\"\nextensions[1].second = \"q\\\"\\\\\\n\\x01\\xE9\"\n"
            "pool@0 = \"\"\npool@1 = \"ab\"\npool@4 = \"x\"\npool@6 = \"ab\"\n"
            "pool@9 = \"q\\\"\\\\\\n\\x01\\xE9\"\n");
}

// Strings, with the text that JSON must give for each: Latin-1 for bytes that
// are no UTF-8.
const std::pair<std::string, std::string> kStrings[] = {
    {"", ""},
    {"plain", "plain"},
    {"caf\xC3\xA9", "caf\xC3\xA9"},
    {"\xE9t\xE9", "\xC3\xA9t\xC3\xA9"},
    {std::string("a\x01") + "b", std::string("a\x01") + "b"},
};

// A block with about one field in sixteen set, every string field to one of
// kStrings or into the middle of "plain", so that some records stay zero.
std::string FilledDab() {
  auto block = std::make_unique<TableBlock>();
  std::vector<std::string> pool;
  std::vector<int32_t> refs;
  int32_t at = 0;
  for (const auto& [text, json] : kStrings) {
    pool.push_back(text);
    refs.push_back(at);
    at += int32_t(text.size() + 1);
  }
  refs.push_back(3);  // "ain"
  char* bytes = reinterpret_cast<char*>(block.get());
  std::string path;
  auto never = [](size_t, size_t) { return false; };
  auto fill = [&](const FieldNode& field, size_t offset, const std::string&) {
    uint32_t hash = uint32_t(offset) * 2654435761u;
    if (offset < 32 || (hash >> 16) % 16 != 0) return;
    int32_t value = field.kind == FieldKind::kString ? refs[(hash >> 8) % refs.size()]
                                                     : int32_t(hash >> 12) - (1 << 19);
    std::memcpy(bytes + offset, &value, 4);
  };
  WalkFields(DabBlockMap(), 0, true, path, never, fill);
  return DabBytes(*block, pool);
}

// Checks every value of the JSON below `path` against the file, finding its
// field by the path that the JSON spells; returns how many non-zero fields it saw.
int CheckJson(const DabFile& dab, const rapidjson::Value& json, const std::string& path) {
  int nonZero = 0;
  if (json.IsObject()) {
    for (const auto& member : json.GetObject()) {
      std::string name = member.name.GetString();
      if (name == "index") continue;
      // A statement list stands for its slots.
      nonZero +=
          CheckJson(dab, member.value, path + "." + name + (name == "statements" ? ".slots" : ""));
    }
  } else if (json.IsArray()) {
    for (rapidjson::SizeType i = 0; i < json.Size(); ++i) {
      int index = json[i].IsObject() ? json[i]["index"].GetInt() : int(i);
      nonZero += CheckJson(dab, json[i], path + "[" + std::to_string(index) + "]");
    }
  } else {
    std::string problem;
    FieldTarget target = ResolveFieldPath(DabBlockMap(), path, problem);
    EXPECT_NE(target.node, nullptr) << path << ": " << problem;
    if (!target.node) return 0;
    int32_t raw = dab.Int(target.offset);
    if (json.IsString()) {
      std::string expected(dab.StringAt(raw));
      for (const auto& [text, converted] : kStrings) {
        if (text == expected) expected = converted;
      }
      EXPECT_EQ(std::string(json.GetString(), json.GetStringLength()), expected) << path;
    } else {
      EXPECT_EQ(json.GetInt(), raw) << path;
    }
    nonZero += raw != 0;
  }
  return nonZero;
}

TEST(Reader, JsonHoldsEveryTableAndResolvesEveryStringField) {
  std::unique_ptr<InputFile> file = Checked("f.dab", FilledDab());
  std::string json = Written([&](FILE* out) { WriteJson(*file, out); });
  rapidjson::Document document;
  ASSERT_FALSE(document.Parse(json.c_str()).HasParseError());
  EXPECT_STREQ(document["kind"].GetString(), "dab");
  EXPECT_EQ(document["header"]["poolCapacity"].GetInt(), 32000);
  ASSERT_EQ(document["strings"].Size(), std::size(kStrings));
  EXPECT_STREQ(document["strings"][3]["text"].GetString(), "\xC3\xA9t\xC3\xA9");

  const rapidjson::Value& tables = document["tables"];
  ASSERT_EQ(tables.MemberCount(), 23u);
  auto member = tables.MemberBegin();
  int nonZero = 0;
  for (const FieldNode& table : DabBlockMap().fields.subspan(4)) {
    ASSERT_EQ(std::string(member->name.GetString()), table.name);
    nonZero += CheckJson(*file->dab, member->value, std::string(table.name));
    ++member;
  }
  // Every non-zero field of the tables (the header aside) stands in the JSON.
  int fields = 0;
  std::string path;
  auto zero = [&](size_t offset, size_t size) {
    return (offset < 32 && size <= 20) || file->dab->Zero(offset, size);
  };
  auto count = [&](const FieldNode&, size_t, const std::string&) { ++fields; };
  WalkFields(DabBlockMap(), 0, true, path, zero, count);
  EXPECT_EQ(nonZero, fields);
  EXPECT_GT(fields, 20000);
}

// The text lines that the JSON of an IPB file spells: "path = value" per leaf
// and "path.count = n" per list, in document order, without the strings.
void JsonLines(const rapidjson::Value& json, const std::string& path,
               std::vector<std::string>& lines) {
  if (json.IsObject()) {
    for (const auto& member : json.GetObject()) {
      std::string name = member.name.GetString();
      if (name == "index" || name == "file" || name == "kind" || name == "strings") continue;
      // The header is a group of the JSON alone.
      std::string inner = name == "header" ? "" : path.empty() ? name : path + "." + name;
      JsonLines(member.value, inner, lines);
    }
  } else if (json.IsArray()) {
    lines.push_back(path + ".count = " + std::to_string(json.Size()));
    for (rapidjson::SizeType i = 0; i < json.Size(); ++i) {
      JsonLines(json[i], path + "[" + std::to_string(i) + "]", lines);
    }
  } else if (json.IsString()) {
    lines.push_back(path + " = " + Quote(json.GetString()));
  } else if (json.IsInt()) {
    lines.push_back(path + " = " + std::to_string(json.GetInt()));
  } else {
    char number[32];
    float value = float(json.GetDouble());
    lines.push_back(path + " = " +
                    std::string(number, std::to_chars(number, number + 32, value).ptr));
  }
}

// Text and JSON come from one walk of the file: the JSON names every line of
// the text (its offsets of repeated strings aside) with the same value.
TEST(Reader, IpbJsonAndTextShowTheSameFields) {
  test::Bytes bytes = test::SoftIPState().FilledLibraryBytes();
  std::unique_ptr<InputFile> file = Checked("l.ipb", test::AsText(bytes));

  std::vector<std::string> textLines;
  std::string text = Written([&](FILE* out) { WriteText(*file, out); });
  for (size_t at = text.find('\n') + 1; at < text.size(); at = text.find('\n', at) + 1) {
    std::string line = text.substr(at, text.find('\n', at) - at);
    if (line.starts_with("pool@")) break;
    textLines.push_back(std::regex_replace(line, std::regex(R"(" @[0-9]+$)"), "\""));
  }
  rapidjson::Document document;
  std::string json = Written([&](FILE* out) { WriteJson(*file, out); });
  ASSERT_FALSE(document.Parse(json.c_str()).HasParseError());
  std::vector<std::string> jsonLines;
  JsonLines(document, "", jsonLines);
  EXPECT_EQ(jsonLines, textLines);
  EXPECT_EQ(textLines.size(), 51u);  // 3 + 1 + 3 + 1 + 33 (Uart) + 10 (Bare)
}

TEST(Reader, DiffComparesStringsByTheirText) {
  auto block = std::make_unique<TableBlock>();
  block->extensions[0] = {1, 3};
  auto a = Checked("a.dab", DabBytes(*block, {"", "a", "b"}));
  auto diff = [](const InputFile& x, const InputFile& y) {
    bool differ = false;
    std::string text = Written([&](FILE* out) { differ = WriteDifferences(x, y, true, out); });
    return std::make_pair(differ, text);
  };
  EXPECT_EQ(diff(*a, *a), std::make_pair(false, std::string()));
  block->extensions[0] = {3, 1};
  auto reordered = Checked("b.dab", DabBytes(*block, {"", "b", "a"}));
  EXPECT_EQ(diff(*a, *reordered),
            std::make_pair(false, std::string("a.dab and b.dab hold the same fields; their bytes "
                                              "differ (the pool holds its strings in another order "
                                              "or other strings besides)\n")));
  block->extensions[0] = {3, 5};
  block->typeShortHands[7].code = 9;
  auto changed = Checked("c.dab", DabBytes(*block, {"", "b", "a", "c"}));
  EXPECT_EQ(diff(*a, *changed),
            std::make_pair(true, std::string("extensions[0].second: \"b\" -> \"c\"\n"
                                             "typeShortHands[7].code: 0 -> 9\n")));
}

// Every damaged file is refused with a reason, or still reads whole.
void ExpectRefusedOrReadable(std::string bytes, bool mustRefuse, const std::string& what) {
  std::unique_ptr<InputFile> file;
  try {
    file = Checked("d", std::move(bytes));
  } catch (const FileProblem& problem) {
    EXPECT_STRNE(problem.what(), "") << what;
    return;
  }
  EXPECT_FALSE(mustRefuse) << what << " was read";
  std::string shown = Written([&](FILE* out) {
    WriteText(*file, out);
    WriteJson(*file, out);
  });
  EXPECT_FALSE(shown.empty()) << what;
}

TEST(Reader, RefusesDamagedDabFiles) {
  auto block = std::make_unique<TableBlock>();
  block->extensions[0] = {1, 3};
  block->typeShortHands[299].code = -1;
  block->memoryMaps[19].maps[9].entries[29].fields[7] = 5;
  const std::string whole = DabBytes(*block, {"", "a", "b\x01", "long text"});
  std::mt19937 random(11);
  std::vector<size_t> cuts;
  for (size_t size = 0; size < whole.size(); size += 1 << 16) cuts.push_back(size);
  for (int i = 0; i < 20; ++i) cuts.push_back(random() % whole.size());
  for (size_t size : cuts)
    ExpectRefusedOrReadable(whole.substr(0, size), true, "cut at " + std::to_string(size));
  ExpectRefusedOrReadable(whole + '\0', true, "a byte more");
  for (size_t at = 0; at < 32; ++at) {
    std::string flipped = whole;
    int bit = int(random() % 8);
    flipped[at] = char(flipped[at] ^ (1 << bit));
    // The version text with its NUL, the pool's used size and its capacity's sign.
    bool mustRefuse = at < 10 || (at >= 20 && at < 24) || (at == 27 && bit == 7);
    ExpectRefusedOrReadable(flipped, mustRefuse, "header byte " + std::to_string(at));
  }
  for (size_t at = 0x1E3400; at < whole.size(); ++at) {
    std::string flipped = whole;
    flipped[at] = char(flipped[at] ^ (1 << random() % 8));
    ExpectRefusedOrReadable(flipped, at + 1 == whole.size(), "pool byte " + std::to_string(at));
  }
}

TEST(Reader, RefusesIpbFilesWithARaisedCount) {
  test::SoftIPState state;
  AddSoftIPCategory(state.s, state.library, 1.0f, "c", "v");
  SoftIPModule module;
  SetModuleName(state.s, module, "M");
  AddPort(state.s, module, PortKind::kInput, {"a", "b", "c", "d", 1, 2, "e", "f"});
  AddModule(state.s, state.library, std::move(module));
  ASSERT_TRUE(WriteIpbFile(state.s, state.library, state.files, "l.ipb"));
  std::string whole = state.files.WrittenFile("l.ipb").value_or("");
  ExpectRefusedOrReadable(whole, false, "the file as written");
  // The count prefixes: categories, modules, then the module's seven lists.
  for (size_t at : {12, 26, 40, 74, 76, 78, 80, 82, 84}) {
    std::string raised = whole;
    ASSERT_LT(raised[at], 2) << at;
    ++raised[at];
    ExpectRefusedOrReadable(raised, true, "count at " + std::to_string(at));
  }
  for (size_t size = 0; size < whole.size(); ++size) {
    ExpectRefusedOrReadable(whole.substr(0, size), true, "cut at " + std::to_string(size));
  }
}

}  // namespace
}  // namespace qelc::dump
