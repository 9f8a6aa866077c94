#include "qeldump/diff.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

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

// The records of a file as flat arrays, so that a file of a million records
// takes a few words per leaf: a leaf is its bytes and the number of its name,
// a record the ranges of its leaves and lists, a list its name and the range
// of its records. The leaves of a record, the records of a list and the lists
// of a record each stand together.
class Tree {
 public:
  // A leaf: its text, or (no bytes) its number; `name` numbers a Field
  // without its cell in `names_`.
  struct Leaf {
    const char* bytes;
    uint32_t sizeOrBits;
    uint32_t name;
  };
  struct Record {
    uint32_t index;  // in its list in the file
    uint32_t leaves[2];
    uint32_t lists[2];
  };
  struct List {
    uint32_t name;  // in `listNames_`
    uint32_t records[2];
  };

  class Rows;

  // A record of the tree.
  class Row {
   public:
    Row(const Tree& tree, const Record& record) : tree_(&tree), record_(&record) {}
    size_t Index() const { return record_->index; }
    size_t FieldCount() const { return record_->leaves[1] - record_->leaves[0]; }
    ::qelc::dump::Field FieldAt(size_t i) const { return tree_->FieldOf(record_->leaves[0] + i); }
    size_t ListCount() const { return record_->lists[1] - record_->lists[0]; }
    Rows ListAt(size_t i) const;
    bool HasLists() const { return ListCount() > 0; }

   private:
    const Tree* tree_;
    const Record* record_;
  };

  // A list of records, named by its path below the record that holds it
  // ("rows", "statements.slots").
  class Rows {
   public:
    Rows() = default;
    Rows(const Tree& tree, const List& list)
        : tree_(&tree),
          name_(tree.listNames_[list.name]),
          range_{list.records[0], list.records[1]} {}
    std::string_view Name() const { return name_; }
    size_t Size() const { return range_[1] - range_[0]; }
    Row At(size_t i) const { return Row(*tree_, tree_->records_[range_[0] + i]); }

   private:
    const Tree* tree_ = nullptr;
    std::string_view name_;
    uint32_t range_[2] = {0, 0};
  };

  ::qelc::dump::Field FieldOf(size_t at) const {
    const Leaf& leaf = leaves_[at];
    ::qelc::dump::Field field = names_[leaf.name];
    if (field.cell.IsNumber()) {
      field.cell.bits = int32_t(leaf.sizeOrBits);
    } else if (leaf.bytes) {
      field.cell.text = std::string_view(leaf.bytes, leaf.sizeOrBits);
    }
    return field;
  }

  Row Root() const { return Row(*this, records_.back()); }

 private:
  friend class TreeBuilder;

  std::vector<Leaf> leaves_;
  std::vector<Record> records_;  // the root last
  std::vector<List> lists_;
  std::vector<::qelc::dump::Field> names_;  // the cell holds the kind only
  std::vector<std::string> listNames_;
};

using Row = Tree::Row;
using Rows = Tree::Rows;

Rows Row::ListAt(size_t i) const { return Rows(*tree_, tree_->lists_[record_->lists[0] + i]); }

// Builds the tree of one file from the walk that the text and JSON share. A
// record's leaves and lists, and a list's records, wait in the frame of the
// record or list being walked until it ends, then join the tree's arrays.
class TreeBuilder final : public FieldPrinter {
 public:
  // `like` is a tree of a file of the same kind, whose sizes the arrays
  // start from: two files compared are most often of about one size, and an
  // array that grows holds its old copy and its new one for a moment.
  TreeBuilder(const InputFile& file, const Tree* like) : strings_(file.Strings()) {
    if (like) {
      tree_.leaves_.reserve(like->leaves_.size());
      tree_.records_.reserve(like->records_.size());
      tree_.lists_.reserve(like->lists_.size());
    }
    records_.emplace_back();
    prefixes_.emplace_back();
  }

  Tree Finish() {
    EndRecordOf(0, 0);
    return std::move(tree_);
  }

  void BeginGroup(std::string_view) override {}
  void EndGroup() override {}
  void Strings() override {}

  void BeginRecord(std::string_view name) override {
    prefixes_.push_back(prefixes_.back() + std::string(name) + ".");
  }
  void EndRecord() override { prefixes_.pop_back(); }

  void BeginList(std::string_view name, std::span<const std::optional<size_t>>) override {
    if (lists_.size() == openLists_) lists_.emplace_back();
    OpenList& list = lists_[openLists_++];
    list.name = ListName(prefixes_.back() + std::string(name));
    list.leafName = name;
    list.records.clear();
  }
  void EndList() override {
    OpenList& list = lists_[--openLists_];
    // A list is kept from its first record on.
    if (list.records.empty()) return;
    uint32_t first = uint32_t(tree_.records_.size());
    tree_.records_.insert(tree_.records_.end(), list.records.begin(), list.records.end());
    records_[openRecords_].lists.push_back({list.name, {first, uint32_t(tree_.records_.size())}});
  }

  void BeginElement(size_t index) override {
    ++openRecords_;
    if (records_.size() == openRecords_) records_.emplace_back();
    records_[openRecords_].leaves.clear();
    records_[openRecords_].lists.clear();
    indexes_.push_back(uint32_t(index));
    prefixes_.emplace_back();
  }
  void EndElement() override {
    lists_[openLists_ - 1].records.push_back(EndRecordOf(openRecords_, indexes_.back()));
    --openRecords_;
    indexes_.pop_back();
    prefixes_.pop_back();
  }

  // The names the walk gives are those of the field maps, which outlive it;
  // the leaves of a record are never inside a record of it (a statement list).
  void Field(std::string_view name, const LeafValues& leaf) override { Add(name, -1, leaf); }
  void Element(size_t index, const LeafValues& leaf) override {
    Add(lists_[openLists_ - 1].leafName, int32_t(index), leaf);
  }

 private:
  struct OpenRecord {
    std::vector<Tree::Leaf> leaves;
    std::vector<Tree::List> lists;
  };
  struct OpenList {
    uint32_t name;              // below the record that holds it
    std::string_view leafName;  // as the field map names it
    std::vector<Tree::Record> records;
  };
  struct NameKey {
    const char* name;
    size_t size;
    int32_t index;
    FieldKind kind;
    bool operator==(const NameKey&) const = default;
  };
  struct NameHash {
    size_t operator()(const NameKey& key) const {
      return std::hash<const void*>()(key.name) ^ (size_t(key.size) << 20) ^
             (size_t(uint32_t(key.index)) << 1) ^ size_t(key.kind);
    }
  };

  // Moves the leaves and lists of the open record at `depth` into the tree.
  Tree::Record EndRecordOf(size_t depth, uint32_t index) {
    OpenRecord& open = records_[depth];
    Tree::Record record{index, {}, {}};
    record.leaves[0] = uint32_t(tree_.leaves_.size());
    tree_.leaves_.insert(tree_.leaves_.end(), open.leaves.begin(), open.leaves.end());
    record.leaves[1] = uint32_t(tree_.leaves_.size());
    record.lists[0] = uint32_t(tree_.lists_.size());
    tree_.lists_.insert(tree_.lists_.end(), open.lists.begin(), open.lists.end());
    record.lists[1] = uint32_t(tree_.lists_.size());
    if (depth == 0) tree_.records_.push_back(record);
    return record;
  }

  uint32_t ListName(std::string path) {
    auto [at, added] = listNumbers_.try_emplace(std::move(path), uint32_t(tree_.listNames_.size()));
    if (added) tree_.listNames_.push_back(at->first);
    return at->second;
  }

  void Add(std::string_view name, int32_t index, const LeafValues& leaf) {
    auto [at, added] = nameNumbers_.try_emplace(NameKey{name.data(), name.size(), index, leaf.kind},
                                                uint32_t(tree_.names_.size()));
    if (added) tree_.names_.push_back({name, index, {leaf.kind, ""}});
    Cell cell = CellOf(leaf);
    records_[openRecords_].leaves.push_back(
        {cell.IsNumber() ? nullptr : cell.text.data(),
         cell.IsNumber() ? uint32_t(cell.bits) : uint32_t(cell.text.size()), at->second});
  }

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
  Tree tree_;
  // The records being walked, the root first; the vectors are kept for reuse.
  std::vector<OpenRecord> records_;
  size_t openRecords_ = 0;
  std::vector<uint32_t> indexes_;
  std::vector<OpenList> lists_;
  size_t openLists_ = 0;
  std::vector<std::string> prefixes_;  // of the fields of the current record
  std::unordered_map<std::string, uint32_t> listNumbers_;
  std::unordered_map<NameKey, uint32_t, NameHash> nameNumbers_;
};

// A word that needs no quotes to be read as one: a key shown bare.
bool Plain(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return c > ' ' && c < 0x7F && c != '"' && c != ',' && c != ':' && c != '\\';
  });
}

std::string ConditionShown(std::string_view stored) {
  if (stored == kAlwaysCondition) return std::string(kAlwaysWord);
  std::optional<std::string> source = decompile::ConditionSource(stored);
  if (source && !source->empty()) return std::string(kWhenWord) + " " + *source;
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
  for (std::string_view word : StatementTextWords(text)) {
    shown += (shown.empty() ? "" : " ") + Quote(word);
  }
  return shown.empty() ? Quote("") : shown;
}

class Reviewer {
 public:
  Reviewer(const TableNames& names, bool dab, const DifferenceSink& out)
      : names_(names), dab_(dab), out_(out) {}

  void Files(Row a, Row b) {
    for (size_t i = 0; i < a.FieldCount(); ++i) {
      Field field = a.FieldAt(i);
      std::optional<Cell> other = FieldOf(b, field.name);
      if (other && !(*other == field.cell)) {
        Changed("header", field.name, Shown(field.cell), Shown(*other));
      }
    }
    ListsOf(a, b, "", "");
  }

 private:
  // The leaf `path` of a row: "name", or "name[3]" for an element of a list.
  static std::optional<Cell> FieldOf(Row row, std::string_view path) {
    size_t open = path.find('[');
    std::string_view name = path.substr(0, open);
    int32_t index = -1;
    if (open != std::string_view::npos) {
      std::from_chars(path.data() + open + 1, path.data() + path.size(), index);
    }
    for (size_t i = 0; i < row.FieldCount(); ++i) {
      Field field = row.FieldAt(i);
      if (field.name == name && field.index == index) return field.cell;
    }
    return std::nullopt;
  }

  static std::optional<Rows> ListOf(Row row, std::string_view name) {
    for (size_t i = 0; i < row.ListCount(); ++i) {
      if (row.ListAt(i).Name() == name) return row.ListAt(i);
    }
    return std::nullopt;
  }

  static std::string Shown(const Cell& cell) {
    return cell.IsNumber() ? cell.Raw() : Quote(cell.text);
  }

  // The field `field` of a row of the list at `path`: a leaf, or the leaves
  // of a list of leaves (up to the first empty one in a DAB file).
  // Without `shown`, the value is for comparing only.
  Value ValueOf(Row row, std::string_view field, std::string_view path, bool shown = true) const {
    if (std::optional<Cell> cell = FieldOf(row, field)) {
      if (!shown) return {cell->Raw(), "", cell->IsNumber()};
      if (field == "text" && IsStatementList(path)) {
        return {cell->Raw(), StatementWords(cell->text)};
      }
      return {cell->Raw(), Shown(*cell), cell->IsNumber()};
    }
    Value value;
    for (size_t i = 0; i < row.FieldCount(); ++i) {
      Field element = row.FieldAt(i);
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
  std::vector<Row> Used(const Rows& list, const ListNames* names, std::string_view path) const {
    std::vector<Row> used;
    std::vector<std::string_view> key = names ? names->Key() : std::vector<std::string_view>();
    for (size_t i = 0; i < list.Size(); ++i) {
      Row row = list.At(i);
      if (dab_ && row.Index() != used.size()) break;
      if (dab_ && !key.empty()) {
        Value first = ValueOf(row, key[0], path, false);
        if (first.number ? first.raw == "-1" : first.raw.empty()) break;
        if (IsStatementList(path) && EqualsNoCase(first.raw, kStatementEndKind)) break;
      }
      used.push_back(row);
    }
    return used;
  }

  // The rows of a list as its readers read it, each with its key: the values
  // of its key fields, each ended by a NUL, or its place. The keys stand in one
  // buffer.
  struct Keyed {
    std::vector<Row> rows;
    std::string keys;
    std::vector<size_t> ends;  // of each row's key in `keys`

    std::string_view Key(size_t i) const {
      size_t start = i == 0 ? 0 : ends[i - 1];
      return std::string_view(keys).substr(start, ends[i] - start);
    }
  };

  Keyed KeysOf(std::vector<Row> rows, const ListNames* names, const std::string& path) const {
    Keyed keyed{std::move(rows), {}, {}};
    keyed.ends.reserve(keyed.rows.size());
    std::vector<std::string_view> key = names ? names->Key() : std::vector<std::string_view>();
    for (size_t i = 0; i < keyed.rows.size(); ++i) {
      if (key.empty()) keyed.keys += std::to_string(i);
      for (std::string_view field : key) {
        keyed.keys += ValueOf(keyed.rows[i], field, path, false).raw;
        keyed.keys += '\0';
      }
      keyed.ends.push_back(keyed.keys.size());
    }
    return keyed;
  }

  // A row as the lines name it: by its key fields, or by its `place` in the
  // list as its readers read it.
  std::string Named(Row row, size_t place, const ListNames* names, const std::string& path) const {
    std::vector<std::string_view> key = names ? names->Key() : std::vector<std::string_view>();
    if (key.empty()) return "#" + std::to_string(place);
    std::string named;
    for (std::string_view field : key) {
      Value value = ValueOf(row, field, path);
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
  std::vector<std::pair<std::string, Value>> Columns(Row row, const ListNames* names,
                                                     const std::string& path,
                                                     bool shown = true) const {
    std::vector<std::pair<std::string, Value>> columns;
    if (names) {
      for (const ColumnName& column : names->columns) {
        columns.emplace_back(column.name, ValueOf(row, column.field, path, shown));
      }
    }
    for (size_t i = 0; i < row.FieldCount(); ++i) {
      Field field = row.FieldAt(i);
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
  void OneSided(Difference::Kind kind, const std::string& where, Row row, size_t place,
                const ListNames* names, const std::string& path) {
    std::string details;
    std::vector<std::string_view> key = names ? names->Key() : std::vector<std::string_view>();
    for (const auto& [column, value] : Columns(row, names, path)) {
      const std::string& title = column;  // a structured binding is not captured by clang 14
      bool isKey = std::any_of(key.begin(), key.end(), [&](std::string_view field) {
        return ColumnTitle(*names, field) == title;
      });
      if (isKey || value.raw.empty()) continue;
      details += (details.empty() ? "" : ", ") + column + " " + value.shown;
    }
    for (size_t i = 0; i < row.ListCount(); ++i) {
      Rows list = row.ListAt(i);
      std::string listPath = JoinedPath(path, list.Name());
      const ListNames* inner = names_.Find(listPath);
      size_t used = Used(list, inner, listPath).size();
      if (used == 0) continue;
      details += (details.empty() ? "" : ", ") + std::string(inner ? inner->heading : list.Name()) +
                 " " + std::to_string(used);
    }
    std::string text = where + ": " + (kind == Difference::Kind::kAdded ? "added " : "removed ") +
                       Named(row, place, names, path);
    if (!details.empty()) text += " (" + details + ")";
    out_({kind, std::move(text)});
  }

  // The lists of two matched rows, each matched by its key.
  void ListsOf(Row a, Row b, const std::string& path, const std::string& where) {
    std::vector<std::string_view> names;
    for (Row row : {a, b}) {
      for (size_t i = 0; i < row.ListCount(); ++i) {
        std::string_view name = row.ListAt(i).Name();
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
      }
    }
    const Rows none;
    for (std::string_view name : names) {
      std::string listPath = JoinedPath(path, name);
      const ListNames* listNames = names_.Find(listPath);
      std::optional<Rows> inA = ListOf(a, name);
      std::optional<Rows> inB = ListOf(b, name);
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
    Keyed rowsA = KeysOf(Used(a, names, path), names, path);
    Keyed rowsB = KeysOf(Used(b, names, path), names, path);
    // The n-th row of A with a key takes the n-th row of B with it: the rows
    // of B of one key are chained in order, and the map holds the first that
    // no row of A took yet.
    constexpr size_t kNone = SIZE_MAX;
    std::vector<size_t> sameKeyAfter(rowsB.rows.size(), kNone);
    std::unordered_map<std::string_view, size_t> firstFree;
    for (size_t j = rowsB.rows.size(); j-- > 0;) {
      auto [at, added] = firstFree.try_emplace(rowsB.Key(j), j);
      if (!added) sameKeyAfter[j] = std::exchange(at->second, j);
    }
    std::vector<size_t> partnerOfB(rowsB.rows.size(), kNone);
    for (size_t i = 0; i < rowsA.rows.size(); ++i) {
      auto found = firstFree.find(rowsA.Key(i));
      if (found == firstFree.end() || found->second == kNone) {
        OneSided(Difference::Kind::kRemoved, where, rowsA.rows[i], i, names, path);
        continue;
      }
      partnerOfB[found->second] = i;
      found->second = sameKeyAfter[found->second];
    }
    for (size_t j = 0; j < rowsB.rows.size(); ++j) {
      if (partnerOfB[j] == kNone) {
        OneSided(Difference::Kind::kAdded, where, rowsB.rows[j], j, names, path);
        continue;
      }
      Row rowA = rowsA.rows[partnerOfB[j]];
      Row rowB = rowsB.rows[j];
      // Most rows are the same: they are compared before anything is shown.
      if (!rowA.HasLists() && !rowB.HasLists() &&
          Columns(rowA, names, path, false) == Columns(rowB, names, path, false)) {
        continue;
      }
      std::string rowWhere = where + ", " + Named(rowB, j, names, path);
      auto columnsA = Columns(rowA, names, path);
      for (const auto& [column, value] : Columns(rowB, names, path)) {
        const std::string& title = column;  // a structured binding is not captured by clang 14
        auto other = std::find_if(columnsA.begin(), columnsA.end(),
                                  [&](const auto& c) { return c.first == title; });
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

Tree TreeOf(const InputFile& file, const Tree* like = nullptr) {
  TreeBuilder builder(file, like);
  const InputFile* files[] = {&file};
  WalkFiles(files, true, builder);
  return builder.Finish();
}

}  // namespace

void KeyedDifferences(const InputFile& a, const InputFile& b, const DifferenceSink& out) {
  bool dab = a.kind == FileKind::kDab;
  TableNames names = dab ? TableNames::OfDab() : TableNames::OfIpb();
  Reviewer reviewer(names, dab, out);
  Tree treeA = TreeOf(a);
  Tree treeB = TreeOf(b, &treeA);
  reviewer.Files(treeA.Root(), treeB.Root());
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
