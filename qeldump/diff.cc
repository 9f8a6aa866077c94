#include "qeldump/diff.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>

#include "decompile/source_text.h"
#include "formats/catalogue.h"
#include "formats/field_map.h"
#include "formats/lexicon.h"
#include "formats/table_names.h"
#include "qeldump/field_lines.h"
#include "qeldump/field_printer.h"

namespace qelc::dump {

namespace {

// A leaf of a file: a text (a string's, held in the file's bytes) or a number.
struct Cell {
  FieldKind kind;
  std::string_view text;
  int32_t bits = 0;

  bool IsNumber() const { return kind == FieldKind::kInt || kind == FieldKind::kFloat; }
  // The text, or the number in decimal.
  std::string Raw() const {
    if (kind == FieldKind::kInt) return std::to_string(bits);
    return kind == FieldKind::kFloat ? FloatText(bits) : std::string(text);
  }
  bool operator==(const Cell& other) const {
    return IsNumber() ? bits == other.bits : text == other.text;
  }
};

// A leaf field of a record: its name in the field map, with its index when it
// is an element of a list of leaves ("items", 3).
struct Field {
  std::string_view name;
  int32_t index;
  Cell cell;

  std::string Path() const {
    return index < 0 ? std::string(name) : std::string(name) + "[" + std::to_string(index) + "]";
  }
};

struct Rows;

// A record of a file as the walk gives it: its leaf fields in file order and
// its lists of records.
struct Row {
  size_t index = 0;
  std::vector<Field> fields;
  std::vector<Rows> lists;
};

// A list of records, named by its path below the record that holds it
// ("rows", "statements.slots").
struct Rows {
  std::string name;
  std::vector<Row> rows;
};

// Builds the rows of one file from the walk that the text and JSON share.
class TreeBuilder final : public FieldPrinter {
 public:
  explicit TreeBuilder(const InputFile& file) : strings_(file.Strings()) {
    current_.push_back(&root_);
    prefixes_.emplace_back();
  }

  Row& Root() { return root_; }

  void BeginGroup(std::string_view) override {}
  void EndGroup() override {}
  void Strings() override {}

  void BeginRecord(std::string_view name) override {
    prefixes_.push_back(prefixes_.back() + std::string(name) + ".");
  }
  void EndRecord() override { prefixes_.pop_back(); }

  void BeginList(std::string_view name, std::span<const std::optional<size_t>>) override {
    lists_.push_back({prefixes_.back() + std::string(name), name, nullptr});
  }
  void EndList() override { lists_.pop_back(); }

  void BeginElement(size_t index) override {
    OpenList& list = lists_.back();
    if (!list.rows) {
      current_.back()->lists.push_back({list.name, {}});
      list.rows = &current_.back()->lists.back();
    }
    list.rows->rows.push_back(Row{index, {}, {}});
    current_.push_back(&list.rows->rows.back());
    prefixes_.emplace_back();
  }
  void EndElement() override {
    current_.pop_back();
    prefixes_.pop_back();
  }

  // The names the walk gives are those of the field maps, which outlive it;
  // the leaves of a record are never inside a record of it (a statement list).
  void Field(std::string_view name, const LeafValues& leaf) override {
    current_.back()->fields.push_back({name, -1, CellOf(leaf)});
  }
  void Element(size_t index, const LeafValues& leaf) override {
    current_.back()->fields.push_back({lists_.back().leafName, int32_t(index), CellOf(leaf)});
  }

 private:
  struct OpenList {
    std::string name;           // below the record that holds it
    std::string_view leafName;  // as the field map names it
    Rows* rows;                 // made at the list's first record
  };

  Cell CellOf(const LeafValues& leaf) const {
    const char* bytes = leaf.files[0].bytes;
    if (!bytes) return {leaf.kind, ""};
    if (leaf.kind == FieldKind::kText) {
      std::string_view text(bytes, leaf.size);
      return {leaf.kind, text.substr(0, text.find('\0'))};
    }
    if (leaf.kind != FieldKind::kString) return {leaf.kind, "", LoadField32(bytes)};
    std::string_view rest = strings_.substr(std::min(size_t(LoadField32(bytes)), strings_.size()));
    return {leaf.kind, rest.substr(0, rest.find('\0'))};
  }

  std::string_view strings_;
  Row root_;
  std::vector<Row*> current_;
  std::vector<std::string> prefixes_;  // of the fields of the current record
  std::vector<OpenList> lists_;
};

// A word that needs no quotes to be read as one: a key shown bare.
bool Plain(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return c > ' ' && c < 0x7F && c != '"' && c != ',' && c != ':' && c != '\\';
  });
}

std::string ConditionShown(std::string_view stored) {
  if (stored == "1") return "Always";
  std::optional<std::string> source = decompile::ConditionSource(stored);
  if (source && !source->empty()) return "When " + *source;
  return "condition " + Quote(stored);
}

// A column's value in a row: `raw` compares and keys, `shown` is written.
struct Value {
  std::string raw;
  std::string shown;
  bool number = false;

  bool operator==(const Value& other) const { return raw == other.raw; }
};

// A list of statements, whose texts are words each ended by a mark byte.
bool IsStatementList(std::string_view path) { return path.ends_with("statements.slots"); }

std::string StatementWords(std::string_view text) {
  std::string shown;
  for (size_t at = 0; at < text.size();) {
    size_t end = std::min(text.find(kStatementWordEnd, at), text.size());
    shown += (shown.empty() ? "" : " ") + Quote(text.substr(at, end - at));
    at = end + 1;
  }
  return shown.empty() ? Quote("") : shown;
}

class Reviewer {
 public:
  Reviewer(const TableNames& names, bool dab, const DifferenceSink& out)
      : names_(names), dab_(dab), out_(out) {}

  void Files(const Row& a, const Row& b) {
    for (const Field& field : a.fields) {
      const Cell* other = FieldOf(b, field.name);
      if (other && !(*other == field.cell)) {
        Changed("header", field.name, Shown(field.cell), Shown(*other));
      }
    }
    ListsOf(a, b, "", "");
  }

 private:
  // The leaf `path` of a row: "name", or "name[3]" for an element of a list.
  static const Cell* FieldOf(const Row& row, std::string_view path) {
    size_t open = path.find('[');
    std::string_view name = path.substr(0, open);
    int32_t index = -1;
    if (open != std::string_view::npos) {
      std::from_chars(path.data() + open + 1, path.data() + path.size(), index);
    }
    for (const Field& field : row.fields) {
      if (field.name == name && field.index == index) return &field.cell;
    }
    return nullptr;
  }

  static const Rows* ListOf(const Row& row, std::string_view name) {
    for (const Rows& list : row.lists) {
      if (list.name == name) return &list;
    }
    return nullptr;
  }

  static std::string Shown(const Cell& cell) {
    return cell.IsNumber() ? cell.Raw() : Quote(cell.text);
  }

  static std::string Joined(std::string_view path, std::string_view name) {
    return path.empty() ? std::string(name) : std::string(path) + "." + std::string(name);
  }

  // The field `field` of a row of the list at `path`: a leaf, or the leaves
  // of a list of leaves (up to the first empty one in a DAB file).
  // Without `shown`, the value is for comparing only.
  Value ValueOf(const Row& row, std::string_view field, std::string_view path,
                bool shown = true) const {
    if (const Cell* cell = FieldOf(row, field)) {
      if (!shown) return {cell->Raw(), "", cell->IsNumber()};
      if (field == "text" && IsStatementList(path)) {
        return {cell->Raw(), StatementWords(cell->text)};
      }
      return {cell->Raw(), Shown(*cell), cell->IsNumber()};
    }
    Value value;
    for (const Field& element : row.fields) {
      if (element.name != field || element.index < 0) continue;
      const Cell& cell = element.cell;
      if (dab_ && !cell.IsNumber() && cell.text.empty()) break;
      value.raw += cell.Raw() + '\0';
      if (!shown) continue;
      value.shown += (value.shown.empty() ? "" : ", ") +
                     (Plain(cell.text) ? std::string(cell.text) : Shown(cell));
    }
    value.shown = "[" + value.shown + "]";
    return value;
  }

  // The rows of a list that its readers read: in a DAB file, up to the first
  // record that is all zero or whose first key marks the entry after the last
  // (the empty text, the number -1, or the end kind of a statement list).
  std::vector<const Row*> Used(const Rows& list, const ListNames* names,
                               std::string_view path) const {
    std::vector<const Row*> used;
    std::vector<std::string_view> key = names ? names->Key() : std::vector<std::string_view>();
    for (const Row& row : list.rows) {
      if (dab_ && row.index != used.size()) break;
      if (dab_ && !key.empty()) {
        Value first = ValueOf(row, key[0], path, false);
        if (first.number ? first.raw == "-1" : first.raw.empty()) break;
        if (IsStatementList(path) && EqualsNoCase(first.raw, kStatementEndKind)) break;
      }
      used.push_back(&row);
    }
    return used;
  }

  struct Keyed {
    const Row* row;
    size_t place;     // in the list as its readers read it
    std::string key;  // the values of the key fields, each ended by a NUL
  };

  std::vector<Keyed> KeysOf(const std::vector<const Row*>& rows, const ListNames* names,
                            const std::string& path) const {
    std::vector<Keyed> keyed;
    std::vector<std::string_view> key = names ? names->Key() : std::vector<std::string_view>();
    for (size_t i = 0; i < rows.size(); ++i) {
      Keyed row{rows[i], i, key.empty() ? std::to_string(i) : ""};
      for (std::string_view field : key)
        row.key += ValueOf(*rows[i], field, path, false).raw + '\0';
      keyed.push_back(std::move(row));
    }
    return keyed;
  }

  // A row as the lines name it: by its key fields, or by its place.
  std::string Named(const Keyed& row, const ListNames* names, const std::string& path) const {
    std::vector<std::string_view> key = names ? names->Key() : std::vector<std::string_view>();
    if (key.empty()) return "#" + std::to_string(row.place);
    std::string named;
    for (std::string_view field : key) {
      Value value = ValueOf(*row.row, field, path);
      if (!named.empty()) named += ' ';
      if (field == "condition") {
        named += ConditionShown(value.raw);
        continue;
      }
      // A text key that is one plain word is shown without quotes.
      bool text = value.shown.starts_with('"');
      named +=
          ColumnTitle(*names, field) + " " + (text && Plain(value.raw) ? value.raw : value.shown);
    }
    return named;
  }

  static std::string ColumnTitle(const ListNames& names, std::string_view field) {
    const ColumnName* column = names.Column(field);
    return std::string(column ? column->name : field);
  }

  // The columns of a row: those its names list, then any other leaf.
  std::vector<std::pair<std::string, Value>> Columns(const Row& row, const ListNames* names,
                                                     const std::string& path,
                                                     bool shown = true) const {
    std::vector<std::pair<std::string, Value>> columns;
    if (names) {
      for (const ColumnName& column : names->columns) {
        columns.emplace_back(column.name, ValueOf(row, column.field, path, shown));
      }
    }
    for (const Field& field : row.fields) {
      if (names && (names->Column(field.name) || names->Column(field.Path()))) continue;
      columns.emplace_back(field.Path(), Value{field.cell.Raw(), shown ? Shown(field.cell) : ""});
    }
    return columns;
  }

  void Changed(const std::string& where, std::string_view column, const std::string& before,
               const std::string& after) {
    out_({Difference::Kind::kChanged,
          where + ": " + std::string(column) + " " + before + " -> " + after});
  }

  // A row that one file alone holds: its key, then its other values and the
  // size of its lists.
  void OneSided(Difference::Kind kind, const std::string& where, const Keyed& row,
                const ListNames* names, const std::string& path) {
    std::string details;
    std::vector<std::string_view> key = names ? names->Key() : std::vector<std::string_view>();
    for (const auto& [column, value] : Columns(*row.row, names, path)) {
      bool isKey = std::any_of(key.begin(), key.end(), [&](std::string_view field) {
        return ColumnTitle(*names, field) == column;
      });
      if (isKey || value.raw.empty()) continue;
      details += (details.empty() ? "" : ", ") + column + " " + value.shown;
    }
    for (const Rows& list : row.row->lists) {
      std::string listPath = Joined(path, list.name);
      const ListNames* inner = names_.Find(listPath);
      size_t used = Used(list, inner, listPath).size();
      if (used == 0) continue;
      details += (details.empty() ? "" : ", ") + std::string(inner ? inner->heading : list.name) +
                 " " + std::to_string(used);
    }
    std::string text = where + ": " + (kind == Difference::Kind::kAdded ? "added " : "removed ") +
                       Named(row, names, path);
    if (!details.empty()) text += " (" + details + ")";
    out_({kind, std::move(text)});
  }

  // The lists of two matched rows, each matched by its key.
  void ListsOf(const Row& a, const Row& b, const std::string& path, const std::string& where) {
    std::vector<std::string_view> names;
    for (const Row* row : {&a, &b}) {
      for (const Rows& list : row->lists) {
        if (std::find(names.begin(), names.end(), list.name) == names.end()) {
          names.push_back(list.name);
        }
      }
    }
    const Rows none;
    for (std::string_view name : names) {
      std::string listPath = Joined(path, name);
      const ListNames* listNames = names_.Find(listPath);
      const Rows* inA = ListOf(a, name);
      const Rows* inB = ListOf(b, name);
      // A table is named by its heading; a nested list too when its row holds others.
      std::string heading(listNames ? listNames->Title() : name);
      std::string listWhere = where.empty()                 ? heading
                              : names_.ListsBelow(path) > 1 ? where + ", " + heading
                                                            : where;
      Match(inA ? *inA : none, inB ? *inB : none, listNames, listPath, listWhere);
    }
  }

  void Match(const Rows& a, const Rows& b, const ListNames* names, const std::string& path,
             const std::string& where) {
    std::vector<Keyed> rowsA = KeysOf(Used(a, names, path), names, path);
    std::vector<Keyed> rowsB = KeysOf(Used(b, names, path), names, path);
    // Rows of B by key, in order; the n-th row of A with a key takes the n-th
    // row of B with it.
    std::unordered_map<std::string_view, std::vector<size_t>> byKey;
    for (size_t j = 0; j < rowsB.size(); ++j) byKey[rowsB[j].key].push_back(j);
    std::unordered_map<std::string_view, size_t> taken;
    std::vector<std::optional<size_t>> partnerOfB(rowsB.size());
    for (size_t i = 0; i < rowsA.size(); ++i) {
      auto found = byKey.find(rowsA[i].key);
      size_t& next = taken[rowsA[i].key];
      if (found == byKey.end() || next >= found->second.size()) {
        OneSided(Difference::Kind::kRemoved, where, rowsA[i], names, path);
        continue;
      }
      partnerOfB[found->second[next++]] = i;
    }
    for (size_t j = 0; j < rowsB.size(); ++j) {
      if (!partnerOfB[j]) {
        OneSided(Difference::Kind::kAdded, where, rowsB[j], names, path);
        continue;
      }
      const Row& rowA = *rowsA[*partnerOfB[j]].row;
      const Row& rowB = *rowsB[j].row;
      // Most rows are the same: they are compared before anything is shown.
      if (rowA.lists.empty() && rowB.lists.empty() &&
          Columns(rowA, names, path, false) == Columns(rowB, names, path, false)) {
        continue;
      }
      std::string rowWhere = where + ", " + Named(rowsB[j], names, path);
      auto columnsA = Columns(rowA, names, path);
      for (const auto& [column, value] : Columns(rowB, names, path)) {
        auto other = std::find_if(columnsA.begin(), columnsA.end(),
                                  [&](const auto& c) { return c.first == column; });
        if (other == columnsA.end()) {
          Changed(rowWhere, column, "(none)", value.shown);
        } else if (other->second.raw != value.raw) {
          Changed(rowWhere, column, other->second.shown, value.shown);
        }
      }
      ListsOf(rowA, rowB, path, rowWhere);
    }
  }

  const TableNames& names_;
  bool dab_;
  const DifferenceSink& out_;
};

Row TreeOf(const InputFile& file) {
  TreeBuilder builder(file);
  const InputFile* files[] = {&file};
  WalkFiles(files, true, builder);
  return std::move(builder.Root());
}

}  // namespace

void KeyedDifferences(const InputFile& a, const InputFile& b, const DifferenceSink& out) {
  bool dab = a.kind == FileKind::kDab;
  TableNames names = dab ? TableNames::OfDab() : TableNames::OfIpb();
  Reviewer reviewer(names, dab, out);
  reviewer.Files(TreeOf(a), TreeOf(b));
}

void IndexDifferences(const InputFile& a, const InputFile& b, const DifferenceSink& out) {
  const InputFile* files[] = {&a, &b};
  Difference line{Difference::Kind::kChanged, ""};  // one buffer for every line
  WalkLines(files, true,
            [&](const std::string& path, std::span<const std::optional<std::string>> values) {
              if (values[0] == values[1]) return;
              line.kind = !values[0]   ? Difference::Kind::kAdded
                          : !values[1] ? Difference::Kind::kRemoved
                                       : Difference::Kind::kChanged;
              line.text.assign(path).append(": ").append(values[0].value_or("(none)"));
              line.text.append(" -> ").append(values[1].value_or("(none)"));
              out(line);
            });
}

Comparison Compare(const InputFile& a, const InputFile& b, bool byIndex,
                   const DifferenceSink& out) {
  Comparison comparison;
  auto count = [&](const Difference& line) {
    ++comparison.counts[int(line.kind)];
    out(line);
  };
  if (byIndex) {
    IndexDifferences(a, b, count);
  } else {
    KeyedDifferences(a, b, count);
  }
  comparison.differ = comparison.Lines() > 0;
  if (comparison.differ) return comparison;
  bool pastTheEnd = false;
  if (!byIndex) IndexDifferences(a, b, [&](const Difference&) { pastTheEnd = true; });
  if (pastTheEnd) {
    comparison.differ = true;
    comparison.note = a.name + " and " + b.name +
                      " hold the same rows; they differ in entries past the end of a list, "
                      "which the file's readers pass over (--by-index lists them)";
  } else if (a.bytes != b.bytes) {
    comparison.note = a.name + " and " + b.name +
                      " hold the same fields; their bytes differ (the pool holds its strings in "
                      "another order or other strings besides)";
  }
  return comparison;
}

bool WriteDifferences(const InputFile& a, const InputFile& b, bool byIndex, FILE* out) {
  Comparison comparison = Compare(a, b, byIndex, [&](const Difference& line) {
    std::fwrite(line.text.data(), 1, line.text.size(), out);
    std::fputc('\n', out);
  });
  if (!comparison.note.empty()) std::fprintf(out, "%s\n", comparison.note.c_str());
  return comparison.differ;
}

}  // namespace qelc::dump
