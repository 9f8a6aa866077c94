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

#include "softip/record_fields.h"
#include "source/utf8.h"
#include "tables/field_map.h"

namespace qelc::dump {

namespace {

class JsonDump {
 public:
  JsonDump(const InputFile& file, FILE* out)
      : file_(file), stream_(out, buffer_, sizeof buffer_), json_(stream_) {}

  void Run() {
    json_.StartObject();
    Key("file");
    Text(file_.name);
    Key("kind");
    Text(file_.kind == FileKind::kDab ? "dab" : "ipb");
    if (file_.kind == FileKind::kDab) {
      Dab();
    } else {
      Ipb();
    }
    json_.EndObject();
    stream_.Put('\n');
    stream_.Flush();
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

  void Strings() {
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

  // DAB: tables and nested lists hold only their records with a non-zero byte;
  // lists of texts run to their last non-zero reference.
  void Dab() {
    const FieldNode& block = DabBlockMap();
    std::span<const FieldNode> header = block.fields.first(4);
    Key("header");
    json_.StartObject();
    for (const FieldNode& field : header) {
      Key(field.name);
      DabValue(field, field.offset);
    }
    json_.EndObject();
    Strings();
    Key("tables");
    json_.StartObject();
    for (const FieldNode& table : block.fields.subspan(header.size())) {
      Key(table.name);
      DabValue(table, table.offset);
    }
    json_.EndObject();
  }

  void DabValue(const FieldNode& field, size_t offset) {
    const DabFile& dab = *file_.dab;
    if (field.kind == FieldKind::kRecord && field.IsList()) {
      json_.StartArray();
      for (int index = 0; index < field.count; ++index) {
        size_t at = offset + size_t(index) * field.size;
        if (dab.Zero(at, field.size)) continue;
        json_.StartObject();
        Key("index");
        json_.Int(index);
        DabFields(field, at);
        json_.EndObject();
      }
      json_.EndArray();
    } else if (field.kind == FieldKind::kRecord) {
      // A record that only holds a list (a statement list) stands as that list.
      const FieldNode& list = field.fields.front();
      DabValue(list, offset + list.offset);
    } else if (field.IsList()) {
      int last = field.count - 1;
      while (last >= 0 && dab.Int(offset + size_t(last) * field.size) == 0) --last;
      json_.StartArray();
      for (int index = 0; index <= last; ++index)
        Reference(dab.Int(offset + size_t(index) * field.size));
      json_.EndArray();
    } else {
      Leaf(field.kind, dab.Bytes().data() + offset, field.size);
    }
  }

  void DabFields(const FieldNode& record, size_t offset) {
    for (const FieldNode& field : record.fields) {
      Key(field.name);
      DabValue(field, offset + field.offset);
    }
  }

  // IPB: every record of every list, as the file holds them.
  void Ipb() {
    const SoftIPLibrary& library = file_.ipb;
    Key("header");
    json_.StartObject();
    Key("formatVersion");
    json_.Int(library.formatVersion);
    Key("stringBytesUsed");
    json_.Int(library.stringBytesUsed);
    Key("stringCapacity");
    json_.Int(library.stringCapacity);
    json_.EndObject();
    Key("categories");
    IpbList(CategoryEntryMap(), reinterpret_cast<const char*>(library.categories.Data()),
            library.categories.Size());
    Key("modules");
    json_.StartArray();
    size_t index = 0;
    for (const SoftIPModule& module : library.modules) {
      json_.StartObject();
      Key("index");
      json_.Uint64(index++);
      for (const ModuleField& field : ModuleFields()) {
        Key(field.name);
        int32_t value = module.*field.member;
        Leaf(field.kind, reinterpret_cast<const char*>(&value), sizeof value);
      }
      for (const ModuleList& list : ModuleLists()) {
        Key(list.element.name);
        IpbList(list.element, list.records(module).data(), list.count(module));
      }
      json_.EndObject();
    }
    json_.EndArray();
    Strings();
  }

  void IpbList(const FieldNode& element, const char* records, size_t count) {
    json_.StartArray();
    for (size_t index = 0; index < count; ++index) {
      const char* record = records + index * element.size;
      if (element.kind != FieldKind::kRecord) {
        Leaf(element.kind, record, element.size);
        continue;
      }
      json_.StartObject();
      Key("index");
      json_.Uint64(index);
      for (const FieldNode& field : element.fields) {
        Key(field.name);
        Leaf(field.kind, record + field.offset, field.size);
      }
      json_.EndObject();
    }
    json_.EndArray();
  }

  const InputFile& file_;
  char buffer_[1 << 16];
  rapidjson::FileWriteStream stream_;
  rapidjson::Writer<rapidjson::FileWriteStream> json_;
};

}  // namespace

void WriteJson(const InputFile& file, FILE* out) {
  auto dump = std::make_unique<JsonDump>(file, out);
  dump->Run();
}

}  // namespace qelc::dump
