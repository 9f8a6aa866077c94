#include "qeldump/json_dump.h"

#include <rapidjson/filewritestream.h>
#include <rapidjson/writer.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "formats/field_map.h"
#include "formats/utf8.h"
#include "qeldump/field_printer.h"

namespace qelc::dump {

namespace {

// JSON: a member per field, an array per list, an object with its "index" per
// record of a list; a record that is no list stands as its one list.
class JsonPrinter final : public FieldPrinter {
 public:
  JsonPrinter(const InputFile& file, FILE* out)
      : file_(file), stream_(out, buffer_, sizeof buffer_), json_(stream_) {}

  void Run() {
    json_.StartObject();
    Key("file");
    Text(file_.name);
    Key("kind");
    Text(file_.kind == FileKind::kDab ? "dab" : "ipb");
    const InputFile* files[] = {&file_};
    WalkFiles(files, false, *this);
    json_.EndObject();
    stream_.Put('\n');
    stream_.Flush();
  }

  void BeginGroup(std::string_view name) override {
    Key(name);
    json_.StartObject();
  }
  void EndGroup() override { json_.EndObject(); }

  void Strings() override {
    Key("strings");
    json_.StartArray();
    std::string_view strings = file_.Strings();
    for (size_t at = 0; at < strings.size();) {
      size_t end = strings.find('\0', at);
      json_.StartObject();
      Key("offset");
      json_.Uint64(at);
      Key("text");
      Text(strings.substr(at, end - at));
      json_.EndObject();
      at = end + 1;
    }
    json_.EndArray();
  }

  void BeginRecord(std::string_view name) override {
    Key(name);
    recordKeyed_ = true;
  }
  void EndRecord() override {}

  void BeginList(std::string_view name, std::span<const std::optional<size_t>>) override {
    if (!recordKeyed_) Key(name);
    recordKeyed_ = false;
    json_.StartArray();
  }
  void EndList() override { json_.EndArray(); }

  void BeginElement(size_t index) override {
    json_.StartObject();
    Key("index");
    json_.Uint64(index);
  }
  void EndElement() override { json_.EndObject(); }

  void Field(std::string_view name, const LeafValues& leaf) override {
    Key(name);
    Leaf(leaf.kind, leaf.files.front().bytes, leaf.size);
  }
  void Element(size_t, const LeafValues& leaf) override {
    Leaf(leaf.kind, leaf.files.front().bytes, leaf.size);
  }

 private:
  void Key(std::string_view name) { json_.Key(name.data(), rapidjson::SizeType(name.size())); }

  // Valid UTF-8 as it stands; anything else byte by byte as Latin-1.
  void Text(std::string_view text) {
    if (IsUtf8(text)) {
      json_.String(text.data(), rapidjson::SizeType(text.size()));
      return;
    }
    std::string converted = Latin1ToUtf8(text);
    json_.String(converted.data(), rapidjson::SizeType(converted.size()));
  }

  void Reference(int32_t ref) {
    std::string_view strings = file_.Strings();
    std::string_view rest = strings.substr(std::min(size_t(ref), strings.size()));
    Text(rest.substr(0, rest.find('\0')));
  }

  void Float(int32_t bits) {
    float value = std::bit_cast<float>(bits);
    if (!std::isfinite(value)) {
      Text(std::isnan(value) ? "nan" : value > 0 ? "inf" : "-inf");
      return;
    }
    char text[32];
    char* end = std::to_chars(text, text + sizeof text, value).ptr;
    json_.RawValue(text, size_t(end - text), rapidjson::kNumberType);
  }

  void Leaf(FieldKind kind, const char* bytes, size_t size) {
    switch (kind) {
      case FieldKind::kText: {
        std::string_view text(bytes, size);
        Text(text.substr(0, text.find_last_not_of('\0') + 1));
        return;
      }
      case FieldKind::kString:
        Reference(LoadField32(bytes));
        return;
      case FieldKind::kFloat:
        Float(LoadField32(bytes));
        return;
      case FieldKind::kInt:
      case FieldKind::kRecord:
        json_.Int(LoadField32(bytes));
        return;
    }
  }

  const InputFile& file_;
  char buffer_[1 << 16];
  rapidjson::FileWriteStream stream_;
  rapidjson::Writer<rapidjson::FileWriteStream> json_;
  bool recordKeyed_ = false;  // a record wrote its key for the list it holds
};

}  // namespace

void WriteJson(const InputFile& file, FILE* out) {
  auto printer = std::make_unique<JsonPrinter>(file, out);
  printer->Run();
}

}  // namespace qelc::dump
