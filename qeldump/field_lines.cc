#include "qeldump/field_lines.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

#include "softip/record_fields.h"
#include "tables/field_map.h"
#include "tables/table_block.h"

namespace qelc::dump {

namespace {

void Put(FILE* out, std::string_view text) { std::fwrite(text.data(), 1, text.size(), out); }

// The shortest text that reads back as the same float; a NaN also shows its bits.
std::string FloatText(int32_t bits) {
  float value = std::bit_cast<float>(bits);
  char text[48];
  char* end = std::to_chars(text, text + sizeof text, value).ptr;
  if (std::isnan(value)) {
    end += std::snprintf(end, size_t(text + sizeof text - end), "(0x%08X)", uint32_t(bits));
  }
  return std::string(text, end);
}

// Shows references into one file's strings. A reference that starts no string,
// or starts a string whose text also stands earlier in the pool, gets its offset.
class References {
 public:
  References(std::string_view strings, bool content) : strings_(strings), content_(content) {
    if (content) return;
    std::vector<uint32_t> starts;
    for (size_t at = 0; at < strings.size(); at = strings.find('\0', at) + 1) {
      starts.push_back(uint32_t(at));
    }
    auto text = [&](uint32_t at) { return strings.substr(at, strings.find('\0', at) - at); };
    std::stable_sort(starts.begin(), starts.end(),
                     [&](uint32_t x, uint32_t y) { return text(x) < text(y); });
    for (size_t i = 1; i < starts.size(); ++i) {
      if (text(starts[i]) == text(starts[i - 1])) repeats_.push_back(starts[i]);
    }
    std::sort(repeats_.begin(), repeats_.end());
  }

  std::string Show(int32_t ref) const {
    std::string_view rest = strings_.substr(std::min(size_t(ref), strings_.size()));
    std::string shown = Quote(rest.substr(0, rest.find('\0')));
    if (content_) return shown;
    if (ref != 0 && strings_[size_t(ref) - 1] != '\0') {
      return shown + " @" + std::to_string(ref) + " (inside a string)";
    }
    if (std::binary_search(repeats_.begin(), repeats_.end(), uint32_t(ref))) {
      shown += " @" + std::to_string(ref);
    }
    return shown;
  }

 private:
  std::string_view strings_;
  bool content_;
  std::vector<uint32_t> repeats_;  // string starts whose text stands earlier too
};

std::string LeafValue(FieldKind kind, const char* bytes, size_t size, const References& refs) {
  switch (kind) {
    case FieldKind::kText: {
      std::string_view text(bytes, size);
      return Quote(text.substr(0, text.find_last_not_of('\0') + 1));
    }
    case FieldKind::kString:
      return refs.Show(LoadField32(bytes));
    case FieldKind::kFloat:
      return FloatText(LoadField32(bytes));
    case FieldKind::kInt:
    case FieldKind::kRecord:
      break;
  }
  return std::to_string(LoadField32(bytes));
}

using Values = std::vector<std::optional<std::string>>;

void WalkDab(std::span<const InputFile* const> files, bool content, const LineVisitor& visit) {
  std::vector<References> refs;
  for (const InputFile* file : files) refs.emplace_back(file->dab->Pool(), content);
  Values values(files.size());
  auto allZero = [&](size_t offset, size_t size) {
    return std::all_of(files.begin(), files.end(),
                       [&](const InputFile* file) { return file->dab->Zero(offset, size); });
  };
  auto leaf = [&](const FieldNode& field, size_t offset, const std::string& path) {
    if (content && offset == offsetof(TableBlock, poolUsedSize)) return;
    for (size_t i = 0; i < files.size(); ++i) {
      const DabFile& dab = *files[i]->dab;
      values[i].reset();
      if (content || !dab.Zero(offset, field.size)) {
        values[i] = LeafValue(field.kind, dab.Bytes().data() + offset, field.size, refs[i]);
      }
    }
    visit(path, values);
  };
  std::string path;
  WalkFields(DabBlockMap(), 0, true, path, allZero, leaf);
}

// The IPB lists side by side: per file the raw records of one list, or nothing
// when the file lacks the list's owner (a module beyond the end of its list).
struct ListRecords {
  std::optional<std::span<const char>> bytes;
  size_t count = 0;
};

class IpbWalk {
 public:
  IpbWalk(std::span<const InputFile* const> files, bool content, const LineVisitor& visit)
      : files_(files), content_(content), visit_(visit), values_(files.size()) {
    for (const InputFile* file : files) refs_.emplace_back(file->ipbStrings, content);
  }

  void Run() {
    Header("formatVersion", &SoftIPLibrary::formatVersion);
    if (!content_) Header("stringBytesUsed", &SoftIPLibrary::stringBytesUsed);
    Header("stringCapacity", &SoftIPLibrary::stringCapacity);
    std::vector<ListRecords> categories;
    for (const InputFile* file : files_) {
      const auto& list = file->ipb.categories;
      categories.push_back({std::span(reinterpret_cast<const char*>(list.Data()),
                                      list.Size() * sizeof(SoftIPCategoryEntry)),
                            list.Size()});
    }
    List("categories", CategoryEntryMap(), categories);
    size_t modules = 0;
    for (const InputFile* file : files_) modules = std::max(modules, file->ipb.modules.Size());
    Count("modules", [](const InputFile& file) { return file.ipb.modules.Size(); });
    for (size_t index = 0; index < modules; ++index) Module(index);
  }

 private:
  const SoftIPModule* ModuleOf(size_t file, size_t index) const {
    const auto& modules = files_[file]->ipb.modules;
    return index < modules.Size() ? &modules.At(index) : nullptr;
  }

  void Header(const char* name, int32_t SoftIPLibrary::*field) {
    for (size_t i = 0; i < files_.size(); ++i) values_[i] = std::to_string(files_[i]->ipb.*field);
    visit_(name, values_);
  }

  template <typename CountOf>
  void Count(const std::string& path, CountOf countOf) {
    for (size_t i = 0; i < files_.size(); ++i) values_[i] = std::to_string(countOf(*files_[i]));
    visit_(path + ".count", values_);
  }

  void Module(size_t index) {
    std::string path = "modules[" + std::to_string(index) + "]";
    for (const ModuleField& field : ModuleFields()) {
      for (size_t i = 0; i < files_.size(); ++i) {
        const SoftIPModule* module = ModuleOf(i, index);
        values_[i].reset();
        if (module) {
          int32_t value = module->*field.member;
          values_[i] = LeafValue(field.kind, reinterpret_cast<const char*>(&value), 4, refs_[i]);
        }
      }
      visit_(path + "." + std::string(field.name), values_);
    }
    for (const ModuleList& list : ModuleLists()) {
      std::vector<ListRecords> records;
      for (size_t i = 0; i < files_.size(); ++i) {
        const SoftIPModule* module = ModuleOf(i, index);
        records.push_back(module ? ListRecords{list.records(*module), list.count(*module)}
                                 : ListRecords{});
      }
      List(path + "." + std::string(list.element.name), list.element, records);
    }
  }

  void List(const std::string& path, const FieldNode& element,
            const std::vector<ListRecords>& records) {
    size_t longest = 0;
    for (size_t i = 0; i < files_.size(); ++i) {
      values_[i].reset();
      if (records[i].bytes) values_[i] = std::to_string(records[i].count);
      longest = std::max(longest, records[i].count);
    }
    visit_(path + ".count", values_);
    for (size_t index = 0; index < longest; ++index) {
      std::string recordPath = path + "[" + std::to_string(index) + "]";
      auto leaf = [&](const FieldNode& field, const std::string& fieldPath) {
        for (size_t i = 0; i < files_.size(); ++i) {
          values_[i].reset();
          if (index < records[i].count) {
            const char* bytes = records[i].bytes->data() + index * element.size + field.offset;
            values_[i] = LeafValue(field.kind, bytes, field.size, refs_[i]);
          }
        }
        visit_(fieldPath, values_);
      };
      if (element.kind != FieldKind::kRecord) leaf(element, recordPath);
      for (const FieldNode& field : element.fields) {
        leaf(field, recordPath + "." + std::string(field.name));
      }
    }
  }

  std::span<const InputFile* const> files_;
  bool content_;
  const LineVisitor& visit_;
  Values values_;
  std::vector<References> refs_;
};

bool UnderPath(std::string_view line, std::string_view path) {
  return line.size() > path.size() && line.substr(0, path.size()) == path &&
         (line[path.size()] == '.' || line[path.size()] == '[');
}

void WriteLayoutOf(const FieldNode& record, size_t base, bool absolute, const std::string& path,
                   FILE* out) {
  static constexpr const char* kKindNames[] = {"text", "int", "float", "string", "record"};
  for (const FieldNode& field : record.fields) {
    std::string fieldPath =
        path.empty() ? std::string(field.name) : path + "." + std::string(field.name);
    size_t offset = base + field.offset;
    // A record that is no list (a statement list) has no line; its fields
    // count from the record that holds it.
    if (field.kind == FieldKind::kRecord && !field.IsList()) {
      WriteLayoutOf(field, offset, absolute, fieldPath, out);
      continue;
    }
    char offsetText[16];
    std::snprintf(offsetText, sizeof offsetText, absolute ? "0x%06zX" : "+%zu", offset);
    std::fprintf(out, "%-9s %6d %5d %-6s %s\n", offsetText, int(field.size), field.count,
                 kKindNames[int(field.kind)], fieldPath.c_str());
    if (field.kind == FieldKind::kRecord) WriteLayoutOf(field, 0, false, fieldPath + "[]", out);
  }
}

}  // namespace

std::string Quote(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\\':
        quoted += "\\\\";
        break;
      case '"':
        quoted += "\\\"";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '\t':
        quoted += "\\t";
        break;
      default:
        if (byte < 0x20 || byte > 0x7E) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02X", byte);
          quoted += hex;
        } else {
          quoted += c;
        }
    }
  }
  return quoted + "\"";
}

void WalkLines(std::span<const InputFile* const> files, bool content, const LineVisitor& visit) {
  if (files.front()->kind == FileKind::kDab) {
    WalkDab(files, content, visit);
  } else {
    IpbWalk(files, content, visit).Run();
  }
}

void WriteText(const InputFile& file, FILE* out) {
  bool dab = file.kind == FileKind::kDab;
  int32_t capacity =
      dab ? file.dab->Int(offsetof(TableBlock, poolCapacity)) : file.ipb.stringCapacity;
  std::fprintf(out, "%s: %s file, %s %zu of %d bytes used\n", file.name.c_str(),
               dab ? "DAB" : "IPB", dab ? "pool" : "strings", file.Strings().size(), int(capacity));
  const InputFile* files[] = {&file};
  std::string line;
  WalkLines(files, false,
            [&](const std::string& path, std::span<const std::optional<std::string>> values) {
              if (!values[0]) return;
              line.assign(path).append(" = ").append(*values[0]).append("\n");
              Put(out, line);
            });
  std::string_view strings = file.Strings();
  for (size_t at = 0; at < strings.size();) {
    size_t end = strings.find('\0', at);
    line.assign("pool@").append(std::to_string(at)).append(" = ");
    line.append(Quote(strings.substr(at, end - at))).append("\n");
    Put(out, line);
    at = end + 1;
  }
}

void WriteField(const InputFile& file, std::string_view path, const std::string& linePrefix,
                FILE* out) {
  bool dab = file.kind == FileKind::kDab;
  if (dab) {
    std::string problem;
    FieldTarget target = ResolveFieldPath(DabBlockMap(), path, problem);
    if (!target.node) {
      throw FileProblem("no field " + std::string(path) + " in a DAB file: " + problem);
    }
    if (target.node->kind != FieldKind::kRecord && target.indexed) {
      References refs(file.dab->Pool(), false);
      const char* bytes = file.dab->Bytes().data() + target.offset;
      Put(out, linePrefix + LeafValue(target.node->kind, bytes, target.node->size, refs) + "\n");
      return;
    }
  }
  const InputFile* files[] = {&file};
  bool named = false;
  std::string line;
  WalkLines(
      files, false,
      [&](const std::string& linePath, std::span<const std::optional<std::string>> values) {
        if (linePath == path) {
          named = true;
          line.assign(linePrefix).append(values[0].value_or("")).append("\n");
        } else if (UnderPath(linePath, path)) {
          named = true;
          if (!values[0]) return;
          line.assign(linePrefix).append(linePath).append(" = ").append(*values[0]).append("\n");
        } else {
          return;
        }
        Put(out, line);
      });
  if (!named && !dab) throw FileProblem("no field " + std::string(path) + " in this IPB file");
}

bool WriteDifferences(const InputFile& a, const InputFile& b, FILE* out) {
  const InputFile* files[] = {&a, &b};
  bool differ = false;
  std::string line;
  WalkLines(files, true,
            [&](const std::string& path, std::span<const std::optional<std::string>> values) {
              if (values[0] == values[1]) return;
              differ = true;
              line.assign(path).append(": ").append(values[0].value_or("(none)")).append(" -> ");
              line.append(values[1].value_or("(none)")).append("\n");
              Put(out, line);
            });
  if (!differ && a.bytes != b.bytes) {
    std::fprintf(out,
                 "%s and %s hold the same fields; their bytes differ (the pool holds its strings "
                 "in another order or other strings besides)\n",
                 a.name.c_str(), b.name.c_str());
  }
  return differ;
}

void WriteLayout(FILE* out) { WriteLayoutOf(DabBlockMap(), 0, true, "", out); }

}  // namespace qelc::dump
