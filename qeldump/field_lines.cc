#include "qeldump/field_lines.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

#include "formats/field_map.h"
#include "formats/suggest.h"
#include "formats/table_block.h"
#include "qeldump/field_printer.h"

namespace qelc::dump {

namespace {

void Put(FILE* out, std::string_view text) { std::fwrite(text.data(), 1, text.size(), out); }

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

// The text form: a line per leaf, its path built from the names and indexes of
// the walk, handed to a LineVisitor with the leaf's value in each file.
class LinePrinter final : public FieldPrinter {
 public:
  LinePrinter(std::span<const InputFile* const> files, bool content, const LineVisitor& visit)
      : content_(content), visit_(visit), values_(files.size()) {
    for (const InputFile* file : files) refs_.emplace_back(file->Strings(), content);
  }

  void BeginGroup(std::string_view) override {}
  void EndGroup() override {}
  // WriteText lists the pool after every field.
  void Strings() override {}

  void BeginRecord(std::string_view name) override { Enter(name); }
  void EndRecord() override { Leave(); }

  void BeginList(std::string_view name, std::span<const std::optional<size_t>> counts) override {
    Enter(name);
    if (counts.empty()) return;
    for (size_t i = 0; i < counts.size(); ++i) {
      values_[i].reset();
      if (counts[i]) values_[i] = std::to_string(*counts[i]);
    }
    visit_(path_ + ".count", values_);
  }
  void EndList() override { Leave(); }

  void BeginElement(size_t index) override {
    marks_.push_back(path_.size());
    AppendIndex(index);
  }
  void EndElement() override { Leave(); }

  void Field(std::string_view name, const LeafValues& leaf) override {
    Enter(name);
    Line(leaf);
    Leave();
  }
  void Element(size_t index, const LeafValues& leaf) override {
    BeginElement(index);
    Line(leaf);
    Leave();
  }

 private:
  void Enter(std::string_view name) {
    marks_.push_back(path_.size());
    if (!path_.empty()) path_ += '.';
    path_ += name;
  }
  void AppendIndex(size_t index) { path_.append("[").append(std::to_string(index)).append("]"); }
  void Leave() {
    path_.resize(marks_.back());
    marks_.pop_back();
  }

  // A DAB field that is zero in every file has no line; outside `content` mode
  // a zero DAB field has no value.
  void Line(const LeafValues& leaf) {
    std::span<const FieldValue> files = leaf.files;
    if (std::all_of(files.begin(), files.end(), [](const FieldValue& v) { return v.zero; })) {
      return;
    }
    for (size_t i = 0; i < files.size(); ++i) {
      values_[i].reset();
      if (files[i].bytes && (content_ || !files[i].zero)) {
        values_[i] = LeafValue(leaf.kind, files[i].bytes, leaf.size, refs_[i]);
      }
    }
    visit_(path_, values_);
  }

  bool content_;
  const LineVisitor& visit_;
  std::vector<std::optional<std::string>> values_;
  std::vector<References> refs_;
  std::string path_;
  std::vector<size_t> marks_;
};

bool UnderPath(std::string_view line, std::string_view path) {
  return line.size() > path.size() && line.substr(0, path.size()) == path &&
         (line[path.size()] == '.' || line[path.size()] == '[');
}

// A path without the indices in its brackets.
std::string NamesOf(std::string_view path) {
  std::string names;
  bool inIndex = false;
  for (char c : path) {
    if (c == ']') inIndex = false;
    if (!inIndex) names += c;
    if (c == '[') inIndex = true;
  }
  return names;
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

std::string FloatText(int32_t bits) {
  float value = std::bit_cast<float>(bits);
  char text[48];
  char* end = std::to_chars(text, text + sizeof text, value).ptr;
  if (std::isnan(value)) {
    end += std::snprintf(end, size_t(text + sizeof text - end), "(0x%08X)", uint32_t(bits));
  }
  return std::string(text, end);
}

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
  LinePrinter printer(files, content, visit);
  WalkFiles(files, content, printer);
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
  if (named || dab) return;
  // The nearest of the paths the file has (of each line and of each record it
  // stands in) whose names differ: an index past the end has no near miss.
  Suggestion suggestion(path);
  std::string names = NamesOf(path);
  auto consider = [&](std::string_view candidate) {
    if (NamesOf(candidate) != names) suggestion.Consider(candidate);
  };
  WalkLines(files, false,
            [&](const std::string& linePath, std::span<const std::optional<std::string>>) {
              for (size_t cut = linePath.find_first_of(".["); cut != std::string::npos;
                   cut = linePath.find_first_of(".[", cut + 1)) {
                consider(std::string_view(linePath).substr(0, cut));
              }
              consider(linePath);
            });
  throw FileProblem("no field " + std::string(path) + " in this IPB file" + suggestion.Text());
}

void WriteLayout(FILE* out) { WriteLayoutOf(DabBlockMap(), 0, true, "", out); }

}  // namespace qelc::dump
